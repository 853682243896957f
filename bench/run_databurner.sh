#!/usr/bin/env bash
# Benchmark of the two data burner components: forty MP3s of about 8 MB each (one with a
# non-ASCII name) written as an ISO 9660 data disc with Rock Ridge and Joliet into an image
# target, against `xorriso -as mkisofs -J -R` and `genisoimage -J -R` writing the same
# files into an image file; whole processes timed in alternating pairs in one run, and
# our in-process time (the files added and the burn to its terminal event) against each
# peer less its start-up.
# Usage: bench/run_databurner.sh [build folder] [work folder]   (run by hand)
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-/tmp/velmaro-bench-build}"
work="${2:-/tmp/velmaro-bench-databurn}"
runs="${RUNS:-5}"

# shellcheck source=bench/peers.sh
. "$top/bench/peers.sh"
install_peers sox lame xorriso genisoimage time

build_bench "$top" "$build" velmaro_bench_databurner
vd="$build/bench/velmaro_bench_databurner"

mkdir -p "$work/files"
cd "$work"
# Forty 200-second tones over noise at 320 kbit/s (about 8 MB each), made four at a time;
# the seventh has a name outside ASCII. A one-file folder for the peers' start-up.
mp3_name() { if [ "$1" -eq 7 ]; then echo "files/07 - Grüße aus Köln.mp3"; else printf 'files/%02d - Tone %d Hz.mp3\n' "$1" $((200 + $1 * 37)); fi; }
for i in $(seq 1 40); do
  f=$(mp3_name "$i")
  [ -s "$f" ] && continue
  (sox -n -r 44100 -c 2 -b 16 -t wav - synth 200 sine $((200 + i * 37)) whitenoise vol 0.5 2>/dev/null |
    lame --quiet -b 320 - "$f.tmp" && mv "$f.tmp" "$f") &
  [ $((i % 4)) -eq 0 ] && wait
done
wait
mapfile -t files < <(for i in $(seq 1 40); do mp3_name "$i"; done)
mkdir -p tiny
[ -s tiny/one.mp3 ] || head -c 4096 "${files[0]}" > tiny/one.mp3
cat "${files[@]}" >/dev/null  # warm the page cache: every side reads from memory
bytes=$(cat "${files[@]}" | wc -c)

machine
load_report "at the start"

# Each side writes into an empty folder o/; the page cache is written back before each
# timed run, so that no run pays for the writing of the one before. Beside the wall clock,
# the processor time of the whole process (user and system, from GNU time, to 10 ms) into
# `cpu`: a figure that other work on the machine disturbs far less.
cpu_of() { awk '{printf "%.2f", $1 + $2}' cpu.txt; }
# ours ENGINE: our whole process into `wall`, its in-process time into `inproc`, its
# start-up in main (its libraries loaded; component created, writers listed) into `startup`.
ours() {
  rm -rf o && mkdir o
  local t0 t1 out
  sync; t0=$(now); out=$(/usr/bin/time -f '%U %S' -o cpu.txt "$vd" "$1" "$work/o/disc" "${files[@]}"); t1=$(now)
  [ -s o/disc.iso ] || { echo "our $1 run wrote no image" >&2; exit 1; }
  wall=$(elapsed "$t0" "$t1")
  cpu=$(cpu_of)
  inproc=$(echo "$out" | sed -n 's/^40 files burned in \([0-9.]*\) s$/\1/p')
  startup=$(echo "$out" | sed -n 's/^start-up \([0-9.]*\) s$/\1/p')
  iso_bytes=$(stat -c %s o/disc.iso)
}
# peer TOOL [FILE...]: the peer writing the files (by default the forty) into o/out.iso,
# its whole process into `wall`.
peer() {
  local tool=$1 t0 t1 cmd
  shift
  [ $# -gt 0 ] || set -- "${files[@]}"
  case $tool in
    xorriso) cmd=(xorriso -as mkisofs -J -R -input-charset UTF-8 -V BENCH -o o/out.iso) ;;
    genisoimage) cmd=(genisoimage -quiet -J -R -input-charset UTF-8 -V BENCH -o o/out.iso) ;;
  esac
  rm -rf o && mkdir o
  sync; t0=$(now); /usr/bin/time -f '%U %S' -o cpu.txt "${cmd[@]}" "$@" 2>peer.log || { cat peer.log >&2; exit 1; }; t1=$(now)
  wall=$(elapsed "$t0" "$t1")
  cpu=$(cpu_of)
  iso_bytes=$(stat -c %s o/out.iso)
}

# Each round alternates ours and a peer's: C X D G, then the peers' start-ups (each
# writing one 4 KB file).
C=() CI=() CS=() CC=() D=() DI=() DS=() DC=() X=() XC=() G=() GC=() XS=() GS=()
for ((r = 0; r < runs; r++)); do
  ours cd; C+=("$wall"); CI+=("$inproc"); CS+=("$startup"); CC+=("$cpu"); size_c=$iso_bytes
  peer xorriso; X+=("$wall"); XC+=("$cpu"); size_x=$iso_bytes
  ours dvd; D+=("$wall"); DI+=("$inproc"); DS+=("$startup"); DC+=("$cpu"); size_d=$iso_bytes
  peer genisoimage; G+=("$wall"); GC+=("$cpu"); size_g=$iso_bytes
  peer xorriso tiny/one.mp3; XS+=("$wall")
  peer genisoimage tiny/one.mp3; GS+=("$wall")
done
rm -rf o peer.log cpu.txt

c=$(median "${C[@]}"); ci=$(median "${CI[@]}"); d=$(median "${D[@]}"); di=$(median "${DI[@]}")
x=$(median "${X[@]}"); g=$(median "${G[@]}"); xs=$(median "${XS[@]}"); gs=$(median "${GS[@]}")
less() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.6f", a - b}'; }
xi=$(less "$x" "$xs"); gi=$(less "$g" "$gs")
# The ratios of single rounds: ours over the peer next to it (whole process), and our
# in-process time over the peer's time less its median start-up.
cx=() cg=() dx=() dg=() icx=() icg=() idx=() idg=()
for ((r = 0; r < runs; r++)); do
  cx+=("$(ratio "${C[r]}" "${X[r]}")"); cg+=("$(ratio "${C[r]}" "${G[r]}")")
  dx+=("$(ratio "${D[r]}" "${X[r]}")"); dg+=("$(ratio "${D[r]}" "${G[r]}")")
  icx+=("$(ratio "${CI[r]}" "$(less "${X[r]}" "$xs")")"); icg+=("$(ratio "${CI[r]}" "$(less "${G[r]}" "$gs")")")
  idx+=("$(ratio "${DI[r]}" "$(less "${X[r]}" "$xs")")"); idg+=("$(ratio "${DI[r]}" "$(less "${G[r]}" "$gs")")")
done

echo "40 MP3s at 320 kbit/s, $bytes bytes in all (one name outside ASCII); page cache warm, written back before each run"
echo "image sizes: CD-only $size_c, CD/DVD $size_d, xorriso $size_x, genisoimage $size_g bytes"
echo "rounds alternate C X D G (then the peers' start-ups on one 4 KB file), $runs times; median (min-max)"
row() { printf '%-62s %7.3f s (%s)\n' "$1" "$2" "$3"; }
row "C  CD-only component (cAudioDataBurner), whole process" "$c" "$(minmax "${C[@]}")"
row "   of which AddFile x 40 and Burn to Finished, in-process" "$ci" "$(minmax "${CI[@]}")"
row "D  CD/DVD component (cBurner), whole process" "$d" "$(minmax "${D[@]}")"
row "   of which AddFile x 40 and Burn to BurnEnd, in-process" "$di" "$(minmax "${DI[@]}")"
row "   our start-up in main (component created, writers listed)" "$(median "${CS[@]}" "${DS[@]}")" "$(minmax "${CS[@]}" "${DS[@]}")"
row "X  xorriso -as mkisofs -J -R, whole process" "$x" "$(minmax "${X[@]}")"
row "   its start-up (one 4 KB file)" "$xs" "$(minmax "${XS[@]}")"
row "G  genisoimage -J -R, whole process" "$g" "$(minmax "${G[@]}")"
row "   its start-up (one 4 KB file)" "$gs" "$(minmax "${GS[@]}")"
pair() { printf '%-9s whole process %sx (rounds %s); in-process against the peer less its start-up %sx (rounds %s)  bar <= 1.2x\n' "$@"; }
pair "C / X" "$(ratio "$c" "$x")" "$(minmax "${cx[@]}")" "$(ratio "$ci" "$xi")" "$(minmax "${icx[@]}")"
pair "C / G" "$(ratio "$c" "$g")" "$(minmax "${cg[@]}")" "$(ratio "$ci" "$gi")" "$(minmax "${icg[@]}")"
pair "D / X" "$(ratio "$d" "$x")" "$(minmax "${dx[@]}")" "$(ratio "$di" "$xi")" "$(minmax "${idx[@]}")"
pair "D / G" "$(ratio "$d" "$g")" "$(minmax "${dg[@]}")" "$(ratio "$di" "$gi")" "$(minmax "${idg[@]}")"
cc=$(median "${CC[@]}"); dc=$(median "${DC[@]}"); xc=$(median "${XC[@]}"); gc=$(median "${GC[@]}")
printf 'processor time (user + system) of the whole process, median: C %.2f s, D %.2f s, X %.2f s, G %.2f s\n' "$cc" "$dc" "$xc" "$gc"
printf 'processor time  C / X %sx, C / G %sx, D / X %sx, D / G %sx\n' "$(ratio "$cc" "$xc")" "$(ratio "$cc" "$gc")" \
  "$(ratio "$dc" "$xc")" "$(ratio "$dc" "$gc")"
load_report "at the end"
