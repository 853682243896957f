#!/usr/bin/env bash
# Benchmark of the conversion component against peer tools on the same files, in one run.
# Usage: bench/run.sh [build folder] [work folder]   (run by hand, as root or with sudo)
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-/tmp/velmaro-bench-build}"
work="${2:-/tmp/velmaro-bench}"

# shellcheck source=bench/peers.sh
. "$top/bench/peers.sh"
install_peers sox libsox-fmt-all ffmpeg lame shntool time bc

cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMARO_TESTS=OFF -DVELMARO_BENCH=ON >/dev/null
cmake --build "$build" --target velmaro_bench >/dev/null
vb="$build/bench/velmaro_bench"

mkdir -p "$work"
cd "$work"
[ -f src10.wav ] || "$vb" make-wav src10.wav 600
[ -f src60.wav ] || "$vb" make-wav src60.wav 3600
[ -f src1.wav ] || "$vb" make-wav src1.wav 60
[ -f src10.mp3 ] || { rm -rf o && mkdir o && "$vb" split src10.wav o mp3 100000 >/dev/null && mv o/Part_1.mp3 src10.mp3; }
[ -f src60.mp3 ] || { rm -rf o && mkdir o && "$vb" split src60.wav o mp3 100000 >/dev/null && mv o/Part_1.mp3 src60.mp3; }
cat src10.wav src60.wav src1.wav >/dev/null  # warm the page cache

now() { date +%s.%N; }
# best of three runs of a command (seconds)
timeit() {
  local best=""
  for _ in 1 2 3; do
    rm -rf o && mkdir o
    local t0 t1
    t0=$(now); "$@" >/dev/null 2>&1; t1=$(now)
    local d; d=$(echo "$t1 - $t0" | bc -l)
    if [ -z "$best" ] || [ "$(echo "$d < $best" | bc -l)" = 1 ]; then best=$d; fi
  done
  printf '%.3f' "$best"
}
starts=(0 60 120 180 240 300 360 420 480 540)

peer_cp() { cp src10.wav o/copy.wav; }
peer_shntool() { shntool split -q -O always -d o -l 1:00.000 src10.wav; }
peer_sox_wav() { for s in "${starts[@]}"; do sox src10.wav "o/p$s.wav" trim "$s" 60; done; }
peer_ffmpeg_wav() { for s in "${starts[@]}"; do ffmpeg -v error -y -ss "$s" -t 60 -i src10.wav -c:a pcm_s16le "o/p$s.wav"; done; }
mkdir -p cuts
for s in "${starts[@]}"; do [ -f "cuts/p$s.wav" ] || sox src10.wav "cuts/p$s.wav" trim "$s" 60; done
peer_lame() { for s in "${starts[@]}"; do lame --quiet -b 128 "cuts/p$s.wav" "o/p$s.mp3"; done; }
peer_sox_ogg() { for s in "${starts[@]}"; do sox src10.wav -C 5 "o/p$s.ogg" trim "$s" 60; done; }
peer_ffmpeg_ima() { for s in "${starts[@]}"; do ffmpeg -v error -y -ss "$s" -t 60 -i src10.wav -c:a adpcm_ima_wav "o/p$s.wav"; done; }
peer_ffmpeg_wma() { for s in "${starts[@]}"; do ffmpeg -v error -y -ss "$s" -t 60 -i src10.wav -c:a wmav2 -b:a 128k "o/p$s.wma"; done; }

# best of three in-process times of the component's split (seconds): the time from the
# first part's start to the last part's end, as a running program spends it
ours() {
  local best=""
  for _ in 1 2 3; do
    rm -rf o && mkdir o
    local d; d=$("$vb" split "$@" | sed -n 's/.* in \([0-9.]*\) s$/\1/p')
    if [ -z "$best" ] || [ "$(echo "$d < $best" | bc -l)" = 1 ]; then best=$d; fi
  done
  printf '%.3f' "$best"
}

ratio() { echo "scale=2; $1 / $2" | bc -l; }
row() {  # name ours peer peer-name bar
  printf '%-34s %8.3f s %8.3f s  %-22s %5sx (bar %s)\n' "$1" "$2" "$3" "$4" "$(ratio "$2" "$3")" "$5"
}

echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $(free -g | awk '/Mem:/{print $2}') GiB"
echo "program start-up (not part of a split): $(timeit "$vb" make-wav o/empty.wav 0) s"
echo "10-minute 44.1 kHz 16-bit stereo WAV split into 10 parts of 60 s (best of 3):"
printf '%-34s %10s %10s  %-22s %s\n' "job" "velmaro" "peer" "peer tool" "ratio"
row "WAV -> WAV (same format)" "$(ours src10.wav o wav 60)" "$(timeit peer_cp)" "cp of the whole file" "<= 1.5"
echo "   for reference: shntool $(timeit peer_shntool) s, sox $(timeit peer_sox_wav) s, ffmpeg $(timeit peer_ffmpeg_wav) s"
row "WAV -> MP3 128 kbit/s" "$(ours src10.wav o mp3 60)" "$(timeit peer_lame)" "lame on pre-cut parts" "<= 1.1"
row "WAV -> OGG Vorbis q5" "$(ours src10.wav o ogg 60)" "$(timeit peer_sox_ogg)" "sox" "<= 1.1"
row "WAV -> IMA ADPCM WAV" "$(ours src10.wav o ima 60)" "$(timeit peer_ffmpeg_ima)" "ffmpeg" "<= 1.2"
row "WAV -> WMA 128 kbit/s" "$(ours src10.wav o wma 60)" "$(timeit peer_ffmpeg_wma)" "ffmpeg" "<= 1.2"

echo
echo "Linearity: time per second of audio, 360 parts of 10 s from 60 minutes vs 10 parts of 10 minutes:"
for src in wav mp3; do
  t10=$(ours "src10.$src" o wav 60)
  t360=$(ours "src60.$src" o wav 10)
  per10=$(echo "$t10 / 600" | bc -l); per360=$(echo "$t360 / 3600" | bc -l)
  printf '%-34s 10 parts %7.3f s, 360 parts %7.3f s  ratio per second %5sx (bar <= 1.2)\n' \
    "$(echo "$src" | tr a-z A-Z) source -> WAV parts" "$t10" "$t360" "$(ratio "$per360" "$per10")"
done

# The file system's own share: the same bytes cut into the same number of files by
# coreutils split (10 files of 60 s, 360 files of 10 s).
fs10=$(timeit split -b 10584000 src10.wav o/x); fs60=$(timeit split -b 1764000 src60.wav o/x)
printf '%-34s 10 files %7.3f s, 360 files %7.3f s  ratio per second %5sx (the file system'"'"'s share)\n' \
  "for reference: coreutils split -b" "$fs10" "$fs60" "$(ratio "$(echo "$fs60 / 3600" | bc -l)" "$(echo "$fs10 / 600" | bc -l)")"

echo
echo "Peak memory (max RSS) of a split, 60-minute vs 1-minute source, 10 parts each:"
for fmt in wav mp3; do
  rm -rf o && mkdir o
  m60=$( { /usr/bin/time -f '%M' "$vb" split src60.wav o "$fmt" 360 >/dev/null; } 2>&1 | tail -1)
  rm -rf o && mkdir o
  m1=$( { /usr/bin/time -f '%M' "$vb" split src1.wav o "$fmt" 6 >/dev/null; } 2>&1 | tail -1)
  printf '%-34s 60 min %6d KB, 1 min %6d KB, difference %6d KB (bar <= 16384 KB; 60 min under 65536 KB)\n' \
    "WAV -> $(echo "$fmt" | tr a-z A-Z)" "$m60" "$m1" "$((m60 - m1))"
done
rm -rf o
