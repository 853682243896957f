#!/usr/bin/env bash
# Benchmark of the audio joiner window: ten one-minute WAVs joined through the window's
# job path into one WAV, against `cat` of their sample data, and into one MP3, against
# lame encoding the joined WAV at the same settings, in one run.
# Usage: bench/run_joiner.sh [build folder] [work folder]   (run by hand)
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-/tmp/velmaro-bench-build}"
work="${2:-/tmp/velmaro-bench-join}"
runs="${RUNS:-5}"

# shellcheck source=bench/peers.sh
. "$top/bench/peers.sh"
install_peers sox lame

build_bench "$top" "$build" velmaro_bench_joiner
vj="$build/bench/velmaro_bench_joiner"

export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-/tmp/runtime-$(id -u)}"
mkdir -p -m 700 "$XDG_RUNTIME_DIR"
mkdir -p "$work/items" "$work/raw"
cd "$work"
# Ten one-minute 44.1 kHz 16-bit stereo WAVs, each its own tone over noise; their sample
# data alone for cat; the joined WAV for lame.
for i in $(seq -w 1 10); do
  [ -f "items/item$i.wav" ] || sox -n -r 44100 -c 2 -b 16 "items/item$i.wav" synth 60 sine $((200 + 10#$i * 37)) whitenoise vol 0.5
  [ -f "raw/item$i.raw" ] || sox "items/item$i.wav" -t raw "raw/item$i.raw"
done
[ -f joined.wav ] || sox items/*.wav joined.wav
# The window joins every file of the folder: other files there (the converter benchmark's
# twenty, in a shared work folder) would make the two sides' work differ.
wavs=(items/*.wav)
[ ${#wavs[@]} -eq 10 ] || { echo "$work/items holds ${#wavs[@]} WAVs, not the ten this benchmark joins: use a work folder of its own" >&2; exit 1; }
make_tiny_wav
cat items/*.wav raw/*.raw joined.wav tiny.wav >/dev/null  # warm the page cache: every side reads from memory

# One run of our process joining into $1 (wav or mp3): whole process, and its job and
# start-up measured inside.
ours() {
  rm -rf o && mkdir o
  local t0 t1 out
  t0=$(now); out=$("$vj" join items o "$1"); t1=$(now)
  [ -s "o/joined.$1" ] || { echo "our run made no joined.$1" >&2; exit 1; }
  if [ "$1" = wav ]; then
    AW+=("$(elapsed "$t0" "$t1")"); AJ+=("$(echo "$out" | sed -n 's/^10 files joined in \([0-9.]*\) s$/\1/p')")
  else
    BW+=("$(elapsed "$t0" "$t1")"); BJ+=("$(echo "$out" | sed -n 's/^10 files joined in \([0-9.]*\) s$/\1/p')")
  fi
  S+=("$(echo "$out" | sed -n 's/^start-up \([0-9.]*\) s$/\1/p')")
}
# C: cat of the ten files' sample data into one file.
peer_cat() {
  rm -rf o && mkdir o
  local t0 t1
  t0=$(now); cat raw/*.raw >o/joined.raw; t1=$(now)
  C+=("$(elapsed "$t0" "$t1")")
}
# L: lame on the joined WAV, the same settings.
peer_lame() {
  rm -rf o && mkdir o
  local t0 t1
  t0=$(now); lame --quiet -b 128 -q 5 -m j joined.wav o/joined.mp3; t1=$(now)
  L+=("$(elapsed "$t0" "$t1")")
}
# The peers' start-ups: each with its settings on the 0.1 s WAV.
startup_of() {  # cat|lame
  rm -rf o && mkdir o
  local t0 t1
  t0=$(now)
  if [ "$1" = cat ]; then cat tiny.wav >o/t.raw; else lame --quiet -b 128 -q 5 -m j tiny.wav o/t.mp3; fi
  t1=$(now)
  elapsed "$t0" "$t1"
}
less() { awk -v p="$1" -v s="$2" 'BEGIN {print p - s}'; }

machine
load_report "at the start"
CS=() LS=()
for ((r = 0; r < 3 * runs; r++)); do CS+=("$(startup_of cat)"); LS+=("$(startup_of lame)"); done
cs=$(median "${CS[@]}"); ls=$(median "${LS[@]}")
AW=() AJ=() BW=() BJ=() S=() C=() L=() AR=() AIR=() BR=() BIR=()
for ((r = 0; r < runs; r++)); do
  ours wav
  peer_cat
  AR+=("$(ratio "${AW[r]}" "${C[r]}")"); AIR+=("$(ratio "${AJ[r]}" "$(less "${C[r]}" "$cs")")")
done
for ((r = 0; r < runs; r++)); do
  ours mp3
  peer_lame
  BR+=("$(ratio "${BW[r]}" "${L[r]}")"); BIR+=("$(ratio "${BJ[r]}" "$(less "${L[r]}" "$ls")")")
done
aw=$(median "${AW[@]}"); aj=$(median "${AJ[@]}"); c=$(median "${C[@]}")
bw=$(median "${BW[@]}"); bj=$(median "${BJ[@]}"); l=$(median "${L[@]}"); s=$(median "${S[@]}")

echo "10 one-minute 44.1 kHz 16-bit stereo WAVs joined; page cache warm;"
echo "runs alternate A C, then B L, $runs times each; median (min-max); start-ups of the peers on a 0.1 s WAV"
printf '%-66s %7.3f s (%s)\n' "A  joiner window to WAV, whole process" "$aw" "$(minmax "${AW[@]}")"
printf '%-66s %7.3f s (%s)\n' "   of which the join (hand-over to \"Done.\"), in-process" "$aj" "$(minmax "${AJ[@]}")"
printf '%-66s %7.3f s (%s)\n' "C  cat of the ten files' sample data into one file" "$c" "$(minmax "${C[@]}")"
printf '%-66s %7.3f s (%s); C less it %.3f s\n' "   cat's start-up" "$cs" "$(minmax "${CS[@]}")" "$(less "$c" "$cs")"
printf 'A / C  whole process %sx (pairs %s); in-process %sx (pairs %s)  bar <= 1.5x\n' \
  "$(ratio "$aw" "$c")" "$(minmax "${AR[@]}")" "$(ratio "$aj" "$(less "$c" "$cs")")" "$(minmax "${AIR[@]}")"
printf '%-66s %7.3f s (%s)\n' "B  joiner window to MP3 128 kbit/s, quality 5, joint stereo, whole process" "$bw" "$(minmax "${BW[@]}")"
printf '%-66s %7.3f s (%s)\n' "   of which the join (hand-over to \"Done.\"), in-process" "$bj" "$(minmax "${BJ[@]}")"
printf '%-66s %7.3f s (%s)\n' "L  lame -b 128 -q 5 -m j on the joined WAV" "$l" "$(minmax "${L[@]}")"
printf '%-66s %7.3f s (%s); L less it %.3f s\n' "   lame's start-up" "$ls" "$(minmax "${LS[@]}")" "$(less "$l" "$ls")"
printf 'B / L  whole process %sx (pairs %s); in-process %sx (pairs %s)  bar <= 1.1x\n' \
  "$(ratio "$bw" "$l")" "$(minmax "${BR[@]}")" "$(ratio "$bj" "$(less "$l" "$ls")")" "$(minmax "${BIR[@]}")"
printf '%-66s %7.3f s (%s)\n' "start-up to the loaded window, in-process (all our runs)" "$s" "$(minmax "${S[@]}")"
rm -rf o
load_report "at the end"
