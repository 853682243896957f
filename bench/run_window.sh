#!/usr/bin/env bash
# Benchmark of the split through the splitter window against the component alone and the
# peer tools, on the 10-minute and the 60-minute WAV, in one run.
# Usage: bench/run_window.sh [build folder] [work folder]   (run by hand)
# RUNS=n sets the number of alternating runs per row (default 3).
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-/tmp/velmaro-bench-build}"
work="${2:-/tmp/velmaro-bench}"
runs="${RUNS:-3}"

# shellcheck source=bench/peers.sh
. "$top/bench/peers.sh"
install_peers sox libsox-fmt-all ffmpeg lame

build_bench "$top" "$build" velmaro_bench velmaro_bench_window
vb="$build/bench/velmaro_bench"
vw="$build/bench/velmaro_bench_window"

export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-/tmp/runtime-$(id -u)}"
mkdir -p -m 700 "$XDG_RUNTIME_DIR"
mkdir -p "$work"
cd "$work"
[ -f src10.wav ] || "$vb" make-wav src10.wav 600
[ -f src60.wav ] || "$vb" make-wav src60.wav 3600
make_tiny_wav

# Seconds of one whole-process run of a command, writing into a fresh empty folder o/; the
# page cache is written back before the clock starts. The command's output goes to last.out.
clock() {
  rm -rf o && mkdir o && sync
  local t0 t1
  t0=$(now)
  "$@" >last.out 2>&1 || { echo "failed: $*" >&2; cat last.out >&2; exit 1; }
  t1=$(now)
  elapsed "$t0" "$t1"
}
# The in-process seconds the last run printed ("N parts in S s").
inproc() { sed -n 's/.* in \([0-9.]*\) s$/\1/p' last.out; }

# The parts cut beforehand, for the peer that only encodes (lame).
cuts() {  # source part_seconds parts
  local src="$1" len="$2" n="$3" i
  mkdir -p "cuts-$src"
  for ((i = 0; i < n; i++)); do
    [ -f "cuts-$src/p$i.wav" ] || sox "$src.wav" "cuts-$src/p$i.wav" trim $((i * len)) "$len"
  done
}
# The peers with the window's settings: a same-format WAV split against `cp` of the whole
# file; MP3 128 kbit/s constant, quality 5, plain stereo, one lame process per part cut
# beforehand; Vorbis quality 5 (the window's 50), one sox process per part; IMA ADPCM and
# WMA 2 at 128 kbit/s by one ffmpeg process that reads each part's range of the source
# (one input per part, seeking to its start) and writes the ten parts.
peer() {  # format source part_seconds parts
  local fmt="$1" src="$2" len="$3" n="$4" i in=() out=()
  for ((i = 0; i < n; i++)); do
    case "$fmt" in
      wav) cp "$src.wav" o/copy.wav; return ;;
      mp3) lame --quiet -q 5 -b 128 -m s "cuts-$src/p$i.wav" "o/p$i.mp3" ;;
      ogg) sox "$src.wav" -C 5 "o/p$i.ogg" trim $((i * len)) "$len" ;;
      ima) in+=(-ss $((i * len)) -t "$len" -i "$src.wav"); out+=(-map "$i:a" -c:a adpcm_ima_wav "o/p$i.wav") ;;
      wma) in+=(-ss $((i * len)) -t "$len" -i "$src.wav"); out+=(-map "$i:a" -c:a wmav2 -b:a 128k "o/p$i.wma") ;;
    esac
  done
  if [ ${#in[@]} -gt 0 ]; then ffmpeg -v error -y "${in[@]}" "${out[@]}"; fi
}
# A peer's start-up: the same command making one part of the 0.1 s WAV.
peer_startup() {  # format
  mkdir -p cuts-tiny
  [ -f cuts-tiny/p0.wav ] || cp tiny.wav cuts-tiny/p0.wav
  peer "$1" tiny 1 1
}
peer_processes() { case "$1" in mp3 | ogg) echo 10 ;; *) echo 1 ;; esac; }
peer_name() {
  case "$1" in wav) echo "cp of the whole file" ;; mp3) echo "lame -q 5 -b 128 -m s, pre-cut parts" ;;
    ogg) echo "sox -C 5 trim" ;; ima) echo "ffmpeg adpcm_ima_wav, 10 cuts" ;; wma) echo "ffmpeg wmav2 128k, 10 cuts" ;; esac
}
bar() { case "$1" in wav) echo 1.5 ;; mp3 | ogg) echo 1.1 ;; *) echo 1.2 ;; esac; }

machine
load_report "at the start"
echo "split into 10 parts through the splitter window (W), the component alone (C) and the peer (P);"
echo "runs alternate W C P, $runs times; medians (min-max); page cache warm, written back before each run"
echo "W and C in-process: their own timers (W from the hand-over to the last \"Done.\", C from the first part's start to the last part's end)"
echo "P whole process; P in-process = P less its start-up per process (the same command making one part of a 0.1 s WAV)"

# Each peer's start-up per process, the median of 3 x runs.
declare -A startup
for fmt in wav mp3 ogg ima wma; do
  t=()
  for ((r = 0; r < 3 * runs; r++)); do t+=("$(clock peer_startup "$fmt")"); done
  startup[$fmt]=$(median "${t[@]}")
  printf 'start-up of %-36s %.3f s per process (%s)\n' "$(peer_name "$fmt")" "${startup[$fmt]}" "$(minmax "${t[@]}")"
done

for src in src10 src60; do
  len=60
  [ "$src" = src60 ] && len=360
  cuts "$src" "$len" 10
  cat "$src.wav" "cuts-$src"/*.wav >/dev/null  # warm the page cache: every side reads from memory
  echo
  echo "$src.wav ($([ "$src" = src10 ] && echo 10 || echo 60) minutes), 10 parts of $len s:"
  for fmt in wav mp3 ogg ima wma; do
    W=() WP=() C=() P=() PI=() IR=() WR=()
    n=$(peer_processes "$fmt")
    less=$(awk -v n="$n" -v s="${startup[$fmt]}" 'BEGIN {print n * s}')
    for ((r = 0; r < runs; r++)); do
      WP+=("$(clock "$vw" split "$src.wav" o "$fmt" "$len")"); W+=("$(inproc)")
      clock "$vb" split "$src.wav" o "$fmt" "$len" >/dev/null; C+=("$(inproc)")
      P+=("$(clock peer "$fmt" "$src" "$len" 10)")
      PI+=("$(awk -v p="${P[r]}" -v s="$less" 'BEGIN {print p - s}')")
      IR+=("$(ratio "${W[r]}" "${PI[r]}")"); WR+=("$(ratio "${WP[r]}" "${P[r]}")")
    done
    w=$(median "${W[@]}"); wp=$(median "${WP[@]}"); c=$(median "${C[@]}"); p=$(median "${P[@]}"); pi=$(median "${PI[@]}")
    printf '%-4s W %7.3f s (%s) in-process, %7.3f s (%s) whole process; C %7.3f s (%s) in-process; W over C %+.1f %%\n' \
      "$fmt" "$w" "$(minmax "${W[@]}")" "$wp" "$(minmax "${WP[@]}")" "$c" "$(minmax "${C[@]}")" \
      "$(awk -v w="$w" -v c="$c" 'BEGIN {print (w - c) * 100 / c}')"
    printf '     P %s: %7.3f s (%s) whole process, %7.3f s less %s x its start-up\n' \
      "$(peer_name "$fmt")" "$p" "$(minmax "${P[@]}")" "$pi" "$n"
    printf '     W / P in-process %sx (pairs %s), bar <= %sx; whole process %sx (pairs %s)\n' \
      "$(ratio "$w" "$pi")" "$(minmax "${IR[@]}")" "$(bar "$fmt")" "$(ratio "$wp" "$p")" "$(minmax "${WR[@]}")"
  done
done
rm -rf o last.out
load_report "at the end"
