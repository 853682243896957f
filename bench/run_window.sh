#!/usr/bin/env bash
# Benchmark of the split through the splitter window against the component alone and the
# peer tools, on the 10-minute and the 60-minute WAV, in one run.
# Usage: bench/run_window.sh [build folder] [work folder]   (run by hand)
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-/tmp/velmaro-bench-build}"
work="${2:-/tmp/velmaro-bench}"
runs="${RUNS:-3}"

# shellcheck source=bench/peers.sh
. "$top/bench/peers.sh"
install_peers sox libsox-fmt-all ffmpeg lame bc

cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMARO_TESTS=OFF -DVELMARO_BENCH=ON >/dev/null
cmake --build "$build" --target velmaro_bench velmaro_bench_window >/dev/null
vb="$build/bench/velmaro_bench"
vw="$build/bench/velmaro_bench_window"

export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-/tmp/runtime-$(id -u)}"
mkdir -p -m 700 "$XDG_RUNTIME_DIR"
mkdir -p "$work"
cd "$work"
[ -f src10.wav ] || "$vb" make-wav src10.wav 600
[ -f src60.wav ] || "$vb" make-wav src60.wav 3600

# Seconds of one whole-process run of a command.
clock() {
  rm -rf o && mkdir o
  local t0 t1
  t0=$(now); "$@" >/dev/null 2>&1; t1=$(now)
  echo "$t1 - $t0" | bc -l
}
# Seconds of one in-process split ("N parts in S s" printed by the benchmark programs).
inproc() {
  rm -rf o && mkdir o
  "$@" | sed -n 's/.* in \([0-9.]*\) s$/\1/p'
}

# The parts cut beforehand, for the peers that only encode (lame).
cuts() {  # source part_seconds parts
  local src="$1" len="$2" n="$3" i
  mkdir -p "cuts-$src"
  for ((i = 0; i < n; i++)); do
    [ -f "cuts-$src/p$i.wav" ] || sox "$src.wav" "cuts-$src/p$i.wav" trim $((i * len)) "$len"
  done
}
peer() {  # format source part_seconds parts
  local fmt="$1" src="$2" len="$3" n="$4" i
  for ((i = 0; i < n; i++)); do
    local s=$((i * len))
    case "$fmt" in
      wav) [ "$i" -eq 0 ] && cp "$src.wav" o/copy.wav ;;
      mp3) lame --quiet -b 128 "cuts-$src/p$i.wav" "o/p$i.mp3" ;;
      ogg) sox "$src.wav" -C 5 "o/p$i.ogg" trim "$s" "$len" ;;
      ima) ffmpeg -v error -y -ss "$s" -t "$len" -i "$src.wav" -c:a adpcm_ima_wav "o/p$i.wav" ;;
      wma) ffmpeg -v error -y -ss "$s" -t "$len" -i "$src.wav" -c:a wmav2 -b:a 128k "o/p$i.wma" ;;
    esac
  done
}
peer_name() {
  case "$1" in wav) echo "cp of the whole file" ;; mp3) echo "lame on pre-cut parts" ;; ogg) echo "sox" ;;
    *) echo "ffmpeg" ;; esac
}
bar() { case "$1" in wav) echo 1.5 ;; mp3 | ogg) echo 1.1 ;; *) echo 1.2 ;; esac; }

echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $(free -g | awk '/Mem:/{print $2}') GiB"
echo "split into 10 parts through the splitter window (W), the component alone (C) and the peer (P);"
echo "runs alternate W C P, $runs times; medians with min-max"
for src in src10 src60; do
  len=60
  [ "$src" = src60 ] && len=360
  cuts "$src" "$len" 10
  echo
  echo "$src.wav ($([ "$src" = src10 ] && echo 10 || echo 60) minutes), parts of $len s:"
  printf '%-6s %-22s %-22s %-30s %-16s %s\n' "format" "window" "component" "peer" "window/peer" "window share over component"
  for fmt in wav mp3 ogg ima wma; do
    W=() C=() P=()
    for ((r = 0; r < runs; r++)); do
      W+=("$(inproc "$vw" split "$src.wav" o "$fmt" "$len")")
      C+=("$(inproc "$vb" split "$src.wav" o "$fmt" "$len")")
      P+=("$(clock peer "$fmt" "$src" "$len" 10)")
    done
    w=$(median "${W[@]}"); c=$(median "${C[@]}"); p=$(median "${P[@]}")
    printf '%-6s %7.3f s (%s) %7.3f s (%s) %7.3f s %-20s %5.2fx (bar %s) %+6.1f %%\n' \
      "$fmt" "$w" "$(minmax "${W[@]}")" "$c" "$(minmax "${C[@]}")" "$p" "$(peer_name "$fmt")" \
      "$(echo "$w / $p" | bc -l)" "$(bar "$fmt")" "$(echo "($w - $c) * 100 / $c" | bc -l)"
  done
done
rm -rf o
