#!/usr/bin/env bash
# Benchmark of the audio converter window: 20 marked one-minute WAVs converted to MP3
# through the window's job path, against lame converting the same files one after
# another at the same settings, in one run.
# Usage: bench/run_converter.sh [build folder] [work folder]   (run by hand)
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-/tmp/velmaro-bench-build}"
work="${2:-/tmp/velmaro-bench}"
runs="${RUNS:-5}"

# shellcheck source=bench/peers.sh
. "$top/bench/peers.sh"
install_peers sox lame bc

cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMARO_TESTS=OFF -DVELMARO_BENCH=ON >/dev/null
cmake --build "$build" --target velmaro_bench_converter >/dev/null
vc="$build/bench/velmaro_bench_converter"

export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-/tmp/runtime-$(id -u)}"
mkdir -p -m 700 "$XDG_RUNTIME_DIR"
mkdir -p "$work/items"
cd "$work"
# Twenty one-minute 44.1 kHz 16-bit stereo WAVs, each its own tone over noise.
for i in $(seq -w 1 20); do
  [ -f "items/item$i.wav" ] || sox -n -r 44100 -c 2 -b 16 "items/item$i.wav" synth 60 sine $((200 + 10#$i * 37)) whitenoise vol 0.5
done
cat items/*.wav >/dev/null  # warm the page cache: both sides read from memory

# W: our whole process (start-up, window, 20 conversions, exit); its in-process job time too.
ours() {
  rm -rf o && mkdir o
  local t0 t1 out
  t0=$(now); out=$("$vc" convert items o); t1=$(now)
  [ "$(ls o | wc -l)" -eq 20 ] || { echo "our run made $(ls o | wc -l) files" >&2; exit 1; }
  W+=("$(echo "$t1 - $t0" | bc -l)")
  J+=("$(echo "$out" | sed -n 's/^20 files in \([0-9.]*\) s$/\1/p')")
  S+=("$(echo "$out" | sed -n 's/^start-up \([0-9.]*\) s$/\1/p')")
}
# L: lame on the same files, one process after another, the same settings.
peer() {
  rm -rf o && mkdir o
  local t0 t1 f
  t0=$(now)
  for f in items/*.wav; do lame --quiet -b 128 -q 5 -m j "$f" "o/$(basename "$f" .wav).mp3"; done
  t1=$(now)
  L+=("$(echo "$t1 - $t0" | bc -l)")
}

W=() J=() S=() L=()
for ((r = 0; r < runs; r++)); do
  ours
  peer
done
w=$(median "${W[@]}"); j=$(median "${J[@]}"); s=$(median "${S[@]}"); l=$(median "${L[@]}")

echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $(free -g | awk '/Mem:/{print $2}') GiB"
echo "20 one-minute 44.1 kHz 16-bit stereo WAVs to MP3 128 kbit/s, quality 5, joint stereo; page cache warm;"
echo "runs alternate W L, $runs times; median (min-max)"
printf '%-62s %7.3f s (%s)\n' "W  converter window, whole process" "$w" "$(minmax "${W[@]}")"
printf '%-62s %7.3f s (%s)\n' "   of which the job (hand-over to the last \"Done.\"), in-process" "$j" "$(minmax "${J[@]}")"
printf '%-62s %7.3f s (%s)\n' "   of which the start-up to the loaded window, in-process" "$s" "$(minmax "${S[@]}")"
printf '%-62s %7.3f s (%s)\n' "L  lame -b 128 -q 5 -m j, 20 processes one after another" "$l" "$(minmax "${L[@]}")"
printf 'W / L  %.2fx (bar 1.1x)\n' "$(echo "$w / $l" | bc -l)"
rm -rf o
