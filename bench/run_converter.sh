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
install_peers sox lame

build_bench "$top" "$build" velmaro_bench_converter
vc="$build/bench/velmaro_bench_converter"

export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-/tmp/runtime-$(id -u)}"
mkdir -p -m 700 "$XDG_RUNTIME_DIR"
mkdir -p "$work/items"
cd "$work"
# Twenty one-minute 44.1 kHz 16-bit stereo WAVs, each its own tone over noise.
for i in $(seq -w 1 20); do
  [ -f "items/item$i.wav" ] || sox -n -r 44100 -c 2 -b 16 "items/item$i.wav" synth 60 sine $((200 + 10#$i * 37)) whitenoise vol 0.5
done
make_tiny_wav
cat items/*.wav tiny.wav >/dev/null  # warm the page cache: both sides read from memory

# W: our whole process (start-up, window, 20 conversions, exit); its in-process job time too.
ours() {
  rm -rf o && mkdir o
  local t0 t1 out
  t0=$(now); out=$("$vc" convert items o); t1=$(now)
  [ "$(ls o | wc -l)" -eq 20 ] || { echo "our run made $(ls o | wc -l) files" >&2; exit 1; }
  W+=("$(elapsed "$t0" "$t1")")
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
  L+=("$(elapsed "$t0" "$t1")")
}
# lame's start-up: the same settings on the 0.1 s WAV.
lame_startup() {
  local t0 t1
  t0=$(now); lame --quiet -b 128 -q 5 -m j tiny.wav o/t.mp3; t1=$(now)
  elapsed "$t0" "$t1"
}

machine
load_report "at the start"
rm -rf o && mkdir o
LS=()
for ((r = 0; r < 3 * runs; r++)); do LS+=("$(lame_startup)"); done
ls=$(median "${LS[@]}")
W=() J=() S=() L=() JR=() WR=()
for ((r = 0; r < runs; r++)); do
  ours
  peer
  JR+=("$(ratio "${J[r]}" "$(awk -v l="${L[r]}" -v s="$ls" 'BEGIN {print l - 20 * s}')")")
  WR+=("$(ratio "${W[r]}" "${L[r]}")")
done
w=$(median "${W[@]}"); j=$(median "${J[@]}"); s=$(median "${S[@]}"); l=$(median "${L[@]}")
ln=$(awk -v l="$l" -v s="$ls" 'BEGIN {print l - 20 * s}')

echo "20 one-minute 44.1 kHz 16-bit stereo WAVs to MP3 128 kbit/s, quality 5, joint stereo; page cache warm;"
echo "runs alternate W L, $runs times; median (min-max)"
printf '%-62s %7.3f s (%s)\n' "W  converter window, whole process" "$w" "$(minmax "${W[@]}")"
printf '%-62s %7.3f s (%s)\n' "   of which the job (hand-over to the last \"Done.\"), in-process" "$j" "$(minmax "${J[@]}")"
printf '%-62s %7.3f s (%s)\n' "   of which the start-up to the loaded window, in-process" "$s" "$(minmax "${S[@]}")"
printf '%-62s %7.3f s (%s)\n' "L  lame -b 128 -q 5 -m j, 20 processes one after another" "$l" "$(minmax "${L[@]}")"
printf '%-62s %7.3f s (%s)\n' "   lame's start-up (the same settings on a 0.1 s WAV), per process" "$ls" "$(minmax "${LS[@]}")"
printf '%-62s %7.3f s\n' "   L less 20 x its start-up" "$ln"
printf 'whole process W / L  %sx (pairs %s)  bar <= 1.1x\n' "$(ratio "$w" "$l")" "$(minmax "${WR[@]}")"
printf 'in-process the job / L less its start-ups  %sx (pairs %s)  bar <= 1.1x\n' "$(ratio "$j" "$ln")" "$(minmax "${JR[@]}")"
rm -rf o
load_report "at the end"
