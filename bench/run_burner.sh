#!/usr/bin/env bash
# Benchmark of the audio CD burner: ten one-minute items of mixed formats (WAV at 48 kHz
# mono and 44.1 kHz stereo, MP3, FLAC, OGG) burned through the burner component into an
# image target, against ffmpeg decoding the same files to 44.1 kHz 16-bit stereo raw (one
# process for all ten files, whole process against whole process; and ten processes in a
# row, with ffmpeg's start-up measured on its own line), in one run.
# Usage: bench/run_burner.sh [build folder] [work folder]   (run by hand)
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-/tmp/velmaro-bench-build}"
work="${2:-/tmp/velmaro-bench-burn}"
runs="${RUNS:-5}"

# shellcheck source=bench/peers.sh
. "$top/bench/peers.sh"
install_peers sox ffmpeg lame bc

build_bench "$top" "$build" velmaro_bench_burner
vb="$build/bench/velmaro_bench_burner"

mkdir -p "$work/items"
cd "$work"
# Ten one-minute items, two of each kind, each its own tone over noise.
kinds=(wav48mono wav44 mp3 flac ogg)
for i in $(seq 0 9); do
  k=${kinds[$((i % 5))]}
  base="items/item$i"
  case $k in
    wav48mono) f="$base.wav"; [ -f "$f" ] || sox -n -r 48000 -c 1 -b 16 "$f" synth 60 sine $((200 + i * 37)) whitenoise vol 0.5 ;;
    wav44) f="$base.wav"; [ -f "$f" ] || sox -n -r 44100 -c 2 -b 16 "$f" synth 60 sine $((200 + i * 37)) whitenoise vol 0.5 ;;
    mp3) f="$base.mp3"; [ -f "$f" ] || { sox -n -r 44100 -c 2 -b 16 tmp.wav synth 60 sine $((200 + i * 37)) whitenoise vol 0.5; lame --quiet -b 128 tmp.wav "$f"; } ;;
    flac) f="$base.flac"; [ -f "$f" ] || sox -n -r 44100 -c 2 -b 16 "$f" synth 60 sine $((200 + i * 37)) whitenoise vol 0.5 ;;
    ogg) f="$base.ogg"; [ -f "$f" ] || { sox -n -r 44100 -c 2 -b 16 tmp.wav synth 60 sine $((200 + i * 37)) whitenoise vol 0.5; ffmpeg -v error -y -i tmp.wav -c:a libvorbis -q:a 5 "$f"; } ;;
  esac
done
rm -f tmp.wav
mapfile -t items < <(ls items/*)
cat "${items[@]}" >/dev/null  # warm the page cache: both sides read from memory

# A: our process, the ten files into the track list and one burn to an image target.
ours() {
  rm -rf o && mkdir o
  local t0 t1 out
  t0=$(now); out=$(TMPDIR="$work/o" "$vb" "$work/o/disc" "${items[@]}"); t1=$(now)
  [ -s o/disc.bin ] && [ -s o/disc.cue ] || { echo "our run wrote no image" >&2; exit 1; }
  A+=("$(echo "$t1 - $t0" | bc -l)")
  AB+=("$(echo "$out" | sed -n 's/^10 files burned in \([0-9.]*\) s$/\1/p')")
  S+=("$(echo "$out" | sed -n 's/^start-up \([0-9.]*\) s$/\1/p')")
}
# F: ffmpeg decoding each file to 44.1 kHz 16-bit stereo raw, one process after another.
peer_ffmpeg() {
  rm -rf o && mkdir o
  local t0 t1 i=0
  t0=$(now)
  for f in "${items[@]}"; do
    ffmpeg -v error -nostdin -i "$f" -f s16le -ar 44100 -ac 2 "o/t$i.raw"
    i=$((i + 1))
  done
  t1=$(now)
  F+=("$(echo "$t1 - $t0" | bc -l)")
}

# G: one ffmpeg process decoding all ten files, each to its own raw output.
peer_ffmpeg_one() {
  rm -rf o && mkdir o
  local t0 t1 args=() i
  for f in "${items[@]}"; do args+=(-i "$f"); done
  for ((i = 0; i < ${#items[@]}; i++)); do args+=(-map "$i:a" -f s16le -ar 44100 -ac 2 "o/t$i.raw"); done
  t0=$(now); ffmpeg -v error -nostdin "${args[@]}"; t1=$(now)
  G+=("$(echo "$t1 - $t0" | bc -l)")
}
# ffmpeg's own start-up: a process that only prints its version.
peer_startup() {
  local t0 t1
  t0=$(now); ffmpeg -v error -version >/dev/null; t1=$(now)
  P+=("$(echo "$t1 - $t0" | bc -l)")
}

A=() AB=() S=() F=() G=() P=()
for ((r = 0; r < runs; r++)); do
  ours
  peer_ffmpeg_one
  peer_ffmpeg
  peer_startup
done
a=$(median "${A[@]}"); ab=$(median "${AB[@]}"); s=$(median "${S[@]}"); f=$(median "${F[@]}")
g=$(median "${G[@]}"); p=$(median "${P[@]}")

load=$(cut -d' ' -f1-3 /proc/loadavg)
echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $(free -g | awk '/Mem:/{print $2}') GiB"
echo "load average at the end: $load$(awk -v l="${load%% *}" -v c="$(nproc)" 'BEGIN { if (l > c / 4) print " (above a quarter of the cores: figures are noisy)" }')"
echo "10 one-minute items (2 each of WAV 48 kHz mono, WAV 44.1 kHz stereo, MP3 128k, FLAC, OGG q5); page cache warm;"
echo "runs alternate A G F P, $runs times; median (min-max)"
printf '%-66s %7.3f s (%s)\n' "A  burner component to an image target, whole process" "$a" "$(minmax "${A[@]}")"
printf '%-66s %7.3f s (%s)\n' "   of which decoding the tracks and writing the image, in-process" "$ab" "$(minmax "${AB[@]}")"
printf '%-66s %7.3f s (%s)\n' "G  ffmpeg to s16le 44.1 kHz stereo, one process for the ten files" "$g" "$(minmax "${G[@]}")"
printf 'A / G  %.2fx (bar 1.2x)\n' "$(echo "$a / $g" | bc -l)"
printf '%-66s %7.3f s (%s)\n' "F  ffmpeg to s16le 44.1 kHz stereo, ten processes in a row" "$f" "$(minmax "${F[@]}")"
printf 'A / F  %.2fx\n' "$(echo "$a / $f" | bc -l)"
printf '%-66s %7.3f s (%s)\n' "P  ffmpeg start-up (-version), whole process" "$p" "$(minmax "${P[@]}")"
printf '%-66s %7.3f s (%s)\n' "start-up to the listed writers, in-process" "$s" "$(minmax "${S[@]}")"
rm -rf o
