#!/usr/bin/env bash
# Benchmark of the audio editor control: a 60-minute WAV opened and its waveform drawn,
# against ffmpeg drawing the waveform picture of the same file, in one run.
# Usage: bench/editor.sh [build folder] [work folder]   (run by hand)
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-/tmp/velmaro-bench-build}"
work="${2:-/tmp/velmaro-bench}"

# shellcheck source=bench/peers.sh
. "$top/bench/peers.sh"
install_peers ffmpeg bc

cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMARO_TESTS=OFF -DVELMARO_BENCH=ON >/dev/null
cmake --build "$build" --target velmaro_bench velmaro_bench_editor >/dev/null
vb="$build/bench/velmaro_bench"
ve="$build/bench/velmaro_bench_editor"
export QT_QPA_PLATFORM=offscreen
XDG_RUNTIME_DIR="$(mktemp -d)"
export XDG_RUNTIME_DIR
trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT

mkdir -p "$work"
cd "$work"
[ -f src60.wav ] || "$vb" make-wav src60.wav 3600
[ -f src1.wav ] || "$vb" make-wav src1.wav 60
cat src60.wav src1.wav >/dev/null  # warm the page cache: both sides read from memory

now() { date +%s.%N; }
ours_drawn() { "$ve" "$1" | sed -n 's/.*waveform drawn in \([0-9.]*\) s.*/\1/p'; }
ours_process() { local t0 t1; t0=$(now); "$ve" "$1" >/dev/null; t1=$(now); echo "$t1 - $t0" | bc -l; }
peer_process() {
  local t0 t1; t0=$(now)
  ffmpeg -v error -y -i "$1" -filter_complex "showwavespic=s=1000x300:split_channels=1" -frames:v 1 peer.png
  t1=$(now); echo "$t1 - $t0" | bc -l
}
stats() {  # median (min-max) of the numbers given
  printf '%s\n' "$@" | sort -g | awk '{v[NR]=$1} END {printf "%.3f s (%.3f-%.3f)", v[int((NR+1)/2)], v[1], v[NR]}'
}

echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $(free -g | awk '/Mem:/{print $2}') GiB"
echo "60-minute 44.1 kHz 16-bit stereo WAV ($(du -m src60.wav | cut -f1) MB), page cache warm, 5 runs alternating, median (min-max):"
drawn=(); ours=(); peer=()
for _ in 1 2 3 4 5; do
  drawn+=("$(ours_drawn src60.wav)")
  ours+=("$(ours_process src60.wav)")
  peer+=("$(peer_process src60.wav)")
done
printf '%-58s %s (bar < 2 s)\n' "editor: OpenFile to waveform drawn, in-process" "$(stats "${drawn[@]}")"
printf '%-58s %s\n' "editor: whole process (start-up, open, draw, exit)" "$(stats "${ours[@]}")"
printf '%-58s %s\n' "ffmpeg showwavespic 1000x300, whole process" "$(stats "${peer[@]}")"
echo
echo "Peak memory (max RSS of the whole process, Qt included):"
for f in src60.wav src1.wav; do
  printf '%-58s %s\n' "editor opening $f" "$("$ve" "$f" | sed -n 's/.*peak memory \([0-9]*\) KB.*/\1 KB/p')"
done
echo "(bar: 60 minutes under 102400 KB)"
rm -f peer.png
