#!/usr/bin/env bash
# Benchmark of the CD ripper window: a generated 10-track, 40-minute BIN/CUE image listed
# as a drive, every track ripped through the window's job path, against cd-paranoia on the
# same image (the same paranoia mode: cd-paranoia's default, full paranoia without
# never-skip, which the component uses), to WAV, and cd-paranoia piped into lame at our MP3
# settings, to MP3; whole processes timed in alternating pairs in one run.
# Usage: bench/run_ripper.sh [build folder] [work folder]   (run by hand)
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-/tmp/velmaro-bench-build}"
work="${2:-/tmp/velmaro-bench}"
runs="${RUNS:-5}"

# shellcheck source=bench/peers.sh
. "$top/bench/peers.sh"
install_peers sox lame bc cd-paranoia

build_bench "$top" "$build" velmaro_bench_ripper
vr="$build/bench/velmaro_bench_ripper"

export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-/tmp/runtime-$(id -u)}"
mkdir -p -m 700 "$XDG_RUNTIME_DIR"
mkdir -p "$work/cd"
cd "$work"
# Ten 4-minute tracks, each its own tone over noise, end to end in cd/bench.bin, with a cue
# sheet of one FILE line.
if [ ! -f cd/bench.cue ]; then
  rm -f cd/bench.bin
  {
    echo 'FILE "bench.bin" BINARY'
    for i in $(seq 1 10); do
      start=$(( (i - 1) * 240 ))
      printf '  TRACK %02d AUDIO\n    INDEX 01 %02d:%02d:00\n' "$i" $((start / 60)) $((start % 60))
    done
  } > cd/bench.cue.tmp
  for i in $(seq 1 10); do
    sox -n -r 44100 -c 2 -b 16 -e signed -L -t raw - synth 240 sine $((200 + i * 37)) whitenoise vol 0.5 >> cd/bench.bin
  done
  mv cd/bench.cue.tmp cd/bench.cue
fi
cat cd/bench.bin >/dev/null  # warm the page cache: both sides read from memory
cue="$work/cd/bench.cue"

# Our whole process (start-up, window, 10 tracks, exit), and its in-process job time.
ours() {  # format
  rm -rf o && mkdir o
  local t0 t1 out
  sync; t0=$(now); out=$("$vr" rip "$cue" o "$1"); t1=$(now)
  [ "$(ls o | wc -l)" -eq 10 ] || { echo "our run made $(ls o | wc -l) files" >&2; exit 1; }
  W+=("$(echo "$t1 - $t0" | bc -l)")
  J+=("$(echo "$out" | sed -n 's/^10 tracks in \([0-9.]*\) s$/\1/p')")
  S+=("$(echo "$out" | sed -n 's/^start-up \([0-9.]*\) s$/\1/p')")
}
# cd-paranoia ripping every track of the image to WAV files, one process.
paranoia_wav() {
  rm -rf o && mkdir o
  local t0 t1
  sync; t0=$(now); (cd o && cd-paranoia -q -d "$cue" -B >/dev/null 2>&1); t1=$(now)
  [ "$(ls o | wc -l)" -eq 10 ] || { echo "cd-paranoia made $(ls o | wc -l) files" >&2; exit 1; }
  P+=("$(echo "$t1 - $t0" | bc -l)")
}
# cd-paranoia piped into lame, one pipeline per track, one after another.
paranoia_lame() {
  rm -rf o && mkdir o
  local t0 t1 i
  sync; t0=$(now)
  for i in $(seq 1 10); do
    cd-paranoia -q -d "$cue" "$i" - 2>/dev/null | lame --quiet -b 128 -q 5 -m j - "o/track$i.mp3"
  done
  t1=$(now)
  [ "$(ls o | wc -l)" -eq 10 ] || { echo "cd-paranoia | lame made $(ls o | wc -l) files" >&2; exit 1; }
  P+=("$(echo "$t1 - $t0" | bc -l)")
}

echo "date: $(date -u '+%Y-%m-%d %H:%M UTC'); machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $(free -g | awk '/Mem:/{print $2}') GiB"
echo "load average at the start: $(cut -d' ' -f1-3 /proc/loadavg) (a quarter of the cores: $(echo "$(nproc) / 4" | bc -l | xargs printf '%.2f'))"
echo "image: 10 tracks of 4 minutes (40 minutes, 180000 sectors), tone over noise; page cache warm;"
echo "runs alternate ours, peer; $runs pairs per format; medians (min-max)"
for format in wav mp3; do
  W=() J=() S=() P=()
  for ((r = 0; r < runs; r++)); do
    ours "$format"
    if [ "$format" = wav ]; then paranoia_wav; else paranoia_lame; fi
  done
  w=$(median "${W[@]}"); j=$(median "${J[@]}"); s=$(median "${S[@]}"); p=$(median "${P[@]}")
  if [ "$format" = wav ]; then
    peer="cd-paranoia -B, one process"; bar="1.5x"
  else
    peer="cd-paranoia | lame -b 128 -q 5 -m j, 10 pipelines"; bar="1.1x"
  fi
  echo
  echo "to ${format^^}:"
  printf '%-62s %7.3f s (%s)\n' "ripper window, whole process" "$w" "$(minmax "${W[@]}")"
  printf '%-62s %7.3f s (%s)\n' "   of which the job (hand-over to the last \"Done.\"), in-process" "$j" "$(minmax "${J[@]}")"
  printf '%-62s %7.3f s (%s)\n' "   of which the start-up to the loaded window, in-process" "$s" "$(minmax "${S[@]}")"
  printf '%-62s %7.3f s (%s)\n' "$peer" "$p" "$(minmax "${P[@]}")"
  printf 'ours / peer  %.2fx (bar %s)\n' "$(echo "$w / $p" | bc -l)" "$bar"
done
echo
echo "load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
rm -rf o
