#!/usr/bin/env bash
# Benchmark of the audio editor control: a 60-minute WAV opened and its waveform drawn,
# against ffmpeg drawing the waveform picture of the same file, in one run.
# Usage: bench/editor.sh [build folder] [work folder]   (run by hand)
# RUNS=n sets the number of alternating runs (default 5).
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-/tmp/velmaro-bench-build}"
work="${2:-/tmp/velmaro-bench}"
runs="${RUNS:-5}"

# shellcheck source=bench/peers.sh
. "$top/bench/peers.sh"
install_peers ffmpeg sox

build_bench "$top" "$build" velmaro_bench velmaro_bench_editor
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
make_tiny_wav
cat src60.wav src1.wav tiny.wav >/dev/null  # warm the page cache: both sides read from memory

# One whole-process run of our editor opening a file, timed from outside; the time from
# OpenFile to the waveform drawn that it prints goes to drawn.
ours() {
  local t0 t1 out
  t0=$(now); out=$("$ve" "$1"); t1=$(now)
  ours_t+=("$(elapsed "$t0" "$t1")")
  drawn+=("$(echo "$out" | sed -n 's/.*waveform drawn in \([0-9.]*\) s.*/\1/p')")
}
# One whole-process run of ffmpeg drawing the waveform picture of a file.
peer() {
  local t0 t1
  t0=$(now)
  ffmpeg -v error -y -i "$1" -filter_complex "showwavespic=s=1000x300:split_channels=1" -frames:v 1 peer.png
  t1=$(now)
  elapsed "$t0" "$t1"
}
stats() { printf '%.3f s (%s)' "$(median "$@")" "$(minmax "$@")"; }

machine
load_report "at the start"
# ffmpeg's start-up: the same picture drawn of the 0.1 s WAV.
peer_start=()
for ((r = 0; r < 3 * runs; r++)); do peer_start+=("$(peer tiny.wav)"); done
ps=$(median "${peer_start[@]}")
echo "60-minute 44.1 kHz 16-bit stereo WAV ($(du -m src60.wav | cut -f1) MB), page cache warm, $runs runs alternating, median (min-max):"
drawn=(); ours_t=(); peer_t=()
for ((r = 0; r < runs; r++)); do
  ours src60.wav
  peer_t+=("$(peer src60.wav)")
done
pm=$(median "${peer_t[@]}")
pn=$(awk -v p="$pm" -v s="$ps" 'BEGIN {print p - s}')
printf '%-58s %s (bar < 2 s)\n' "editor: OpenFile to waveform drawn, in-process" "$(stats "${drawn[@]}")"
printf '%-58s %s\n' "editor: whole process (start-up, open, draw, exit)" "$(stats "${ours_t[@]}")"
printf '%-58s %s\n' "ffmpeg showwavespic 1000x300, whole process" "$(stats "${peer_t[@]}")"
printf '%-58s %s\n' "ffmpeg start-up (the same on a 0.1 s WAV)" "$(stats "${peer_start[@]}")"
printf '%-58s %.3f s\n' "ffmpeg less its start-up" "$pn"
printf 'editor / ffmpeg: in-process %sx, whole process %sx\n' \
  "$(ratio "$(median "${drawn[@]}")" "$pn")" "$(ratio "$(median "${ours_t[@]}")" "$pm")"
echo
echo "Peak memory (max RSS of the whole process, Qt included):"
for f in src60.wav src1.wav; do
  printf '%-58s %s\n' "editor opening $f" "$("$ve" "$f" | sed -n 's/.*peak memory \([0-9]*\) KB.*/\1 KB/p')"
done
echo "(bar: 60 minutes under 102400 KB)"
rm -f peer.png
load_report "at the end"
