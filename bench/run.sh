#!/usr/bin/env bash
# Benchmark of the conversion component against peer tools on the same files, in one run.
# Usage: bench/run.sh [build folder] [work folder]   (run by hand, as root or with sudo)
# RUNS=n sets the number of alternating pairs per job (default 5).
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-/tmp/velmaro-bench-build}"
work="${2:-/tmp/velmaro-bench}"
runs="${RUNS:-5}"

# shellcheck source=bench/peers.sh
. "$top/bench/peers.sh"
install_peers sox libsox-fmt-all ffmpeg lame shntool time

build_bench "$top" "$build" velmaro_bench
vb="$build/bench/velmaro_bench"

mkdir -p "$work"
cd "$work"
[ -f src10.wav ] || "$vb" make-wav src10.wav 600
[ -f src60.wav ] || "$vb" make-wav src60.wav 3600
[ -f src1.wav ] || "$vb" make-wav src1.wav 60
[ -f src10.mp3 ] || { rm -rf o && mkdir o && "$vb" split src10.wav o mp3 100000 >/dev/null && mv o/Part_1.mp3 src10.mp3; }
[ -f src60.mp3 ] || { rm -rf o && mkdir o && "$vb" split src60.wav o mp3 100000 >/dev/null && mv o/Part_1.mp3 src60.mp3; }
starts=(0 60 120 180 240 300 360 420 480 540)
mkdir -p cuts
for s in "${starts[@]}"; do [ -f "cuts/p$s.wav" ] || sox src10.wav "cuts/p$s.wav" trim "$s" 60; done
make_tiny_wav
cat src10.wav src60.wav src1.wav cuts/*.wav tiny.wav >/dev/null  # warm the page cache

# ---------------------------------------------------------------------------------------
# Timing. Every figure is a whole process timed from outside, ours and the peer's alike,
# the two run in alternating pairs (ours, peer, ours, peer ...); medians with min-max.
fmt() { printf '%.3f' "$1"; }
sub() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.4f", a - b}'; }

# timed STATE FN: the seconds FN takes, into a fresh folder o/ ("empty") or into o/ already
# holding what FN writes ("existing": FN runs once untimed first); the page cache is
# written back before the clock starts. FN's output goes to last.out.
timed() {
  local state=$1; shift
  rm -rf o && mkdir o
  if [ "$state" = existing ]; then "$@" >/dev/null 2>&1; fi
  sync
  local t0 t1
  t0=$(now); "$@" >last.out 2>&1; t1=$(now)
  sub "$t1" "$t0"
}

# start-up FN: the median whole-process time of FN, a run that does next to no work (three
# times as many runs as a job: it is subtracted from the jobs' times).
startup() {
  local t=()
  for _ in $(seq $((runs * 3))); do t+=("$(timed empty "$@")"); done
  median "${t[@]}"
}

ours_t=(); peer_t=(); inproc_t=()
# pair STATE OURS_FN PEER_FN: alternating runs; fills ours_t, peer_t and inproc_t (the
# component's own time from the first part's start to the last part's end).
pair() {
  local state=$1 ours=$2 peer=$3
  ours_t=(); peer_t=(); inproc_t=()
  for _ in $(seq "$runs"); do
    ours_t+=("$(timed "$state" "$ours")")
    inproc_t+=("$(sed -n 's/.* in \([0-9.]*\) s$/\1/p' last.out)")
    peer_t+=("$(timed "$state" "$peer")")
  done
}

# row NAME STATE OURS_FN PEER_FN PEER_NAME PEER_PROCESSES PEER_STARTUP BAR
row() {
  local name=$1 state=$2 ours=$3 peer=$4 peername=$5 nproc=$6 pstart=$7 bar=$8
  pair "$state" "$ours" "$peer"
  local om pm im
  om=$(median "${ours_t[@]}")
  pm=$(median "${peer_t[@]}")
  im=$(median "${inproc_t[@]}")
  local pairs=()
  for i in "${!ours_t[@]}"; do pairs+=("$(ratio "${ours_t[$i]}" "${peer_t[$i]}")"); done
  local pnet; pnet=$(sub "$pm" "$(awk -v n="$nproc" -v s="$pstart" 'BEGIN {print n * s}')")
  printf '%-28s %-8s velmaro %s s (%s)  %-26s %s s (%s)  ratio %sx (pairs %s)\n' \
    "$name" "$state" "$(fmt "$om")" "$(minmax "${ours_t[@]}")" "$peername" "$(fmt "$pm")" \
    "$(minmax "${peer_t[@]}")" "$(ratio "$om" "$pm")" "$(minmax "${pairs[@]}")"
  printf '%-28s %-8s   in-process: velmaro %s s (%s; its own timer, first start to last end), peer %s s (less %s start-up): %sx   bar %s\n' \
    "" "" "$(fmt "$im")" "$(minmax "${inproc_t[@]}")" "$(fmt "$pnet")" \
    "$([ "$nproc" = 1 ] && echo its || echo "$nproc x its")" "$(ratio "$im" "$pnet")" "$bar"
}

# reference NAME STATE FN: a further peer, medians only
reference() {
  local t=()
  for _ in $(seq "$runs"); do t+=("$(timed "$2" "$3")"); done
  printf '%-28s %-8s %s s (%s)\n' "   $1" "$2" "$(fmt "$(median "${t[@]}")")" "$(minmax "${t[@]}")"
}

# ---------------------------------------------------------------------------------------
# The jobs: the 10-minute WAV split into 10 parts of 60 s, each peer with our settings.
ours_wav() { "$vb" split src10.wav o wav 60; }
ours_mp3() { "$vb" split src10.wav o mp3 60; }
ours_ogg() { "$vb" split src10.wav o ogg 60; }
ours_ima() { "$vb" split src10.wav o ima 60; }
ours_wma() { "$vb" split src10.wav o wma 60; }
peer_cp() { cp src10.wav o/copy.wav; }
peer_shntool() { shntool split -q -O always -d o -l 1:00.000 src10.wav; }
peer_sox_wav() { for s in "${starts[@]}"; do sox src10.wav "o/p$s.wav" trim "$s" 60; done; }
# MP3 128 kbit/s constant, quality 5, plain stereo (the program's defaults), from the parts cut beforehand
peer_lame() { for s in "${starts[@]}"; do lame --quiet -q 5 -b 128 -m s "cuts/p$s.wav" "o/p$s.mp3"; done; }
peer_sox_ogg() { for s in "${starts[@]}"; do sox src10.wav -C 5 "o/p$s.ogg" trim "$s" 60; done; }
# one ffmpeg process doing the same ten cuts: each output takes its range of the one decode
peer_ffmpeg_wav() {
  local a=(); for s in "${starts[@]}"; do a+=(-ss "$s" -t 60 -c:a pcm_s16le "o/p$s.wav"); done
  ffmpeg -v error -y -i src10.wav "${a[@]}"
}
peer_ffmpeg_ima() {
  local a=(); for s in "${starts[@]}"; do a+=(-ss "$s" -t 60 -c:a adpcm_ima_wav "o/p$s.wav"); done
  ffmpeg -v error -y -i src10.wav "${a[@]}"
}
peer_ffmpeg_wma() {
  local a=(); for s in "${starts[@]}"; do a+=(-ss "$s" -t 60 -c:a wmav2 -b:a 128k "o/p$s.wma"); done
  ffmpeg -v error -y -i src10.wav "${a[@]}"
}
# Start-ups: our program with the component created and nothing converted; each peer with
# the job's settings on the 0.1 s WAV (it loads its codec and writes a file, with next to no
# audio), the share of its time that does not grow with the audio.
ours_noop() { "$vb" start-up; }
cp_noop() { cp tiny.wav o/t.wav; }
lame_noop() { lame --quiet -q 5 -b 128 -m s tiny.wav o/t.mp3; }
sox_noop() { sox tiny.wav -C 5 o/t.ogg trim 0 0.05; }
ffmpeg_ima_noop() { ffmpeg -v error -y -i tiny.wav -ss 0 -t 0.05 -c:a adpcm_ima_wav o/t.wav; }
ffmpeg_wma_noop() { ffmpeg -v error -y -i tiny.wav -ss 0 -t 0.05 -c:a wmav2 -b:a 128k o/t.wma; }

machine
load_report "at the start"
echo "file system of the work folder: $(df -T . | awk 'NR==2{print $2}'); $runs alternating pairs per job"
ours_start=$(startup ours_noop)
cp_start=$(startup cp_noop); lame_start=$(startup lame_noop); sox_start=$(startup sox_noop)
ima_start=$(startup ffmpeg_ima_noop); wma_start=$(startup ffmpeg_wma_noop)
echo "start-up (a run on a 0.1 s WAV): velmaro $(fmt "$ours_start") s (component created, nothing converted; $(ldd "$vb" | wc -l) shared libraries); per process: cp $(fmt "$cp_start") s, lame $(fmt "$lame_start") s, sox $(fmt "$sox_start") s, ffmpeg IMA ADPCM $(fmt "$ima_start") s, ffmpeg WMA $(fmt "$wma_start") s"
echo
echo "10-minute 44.1 kHz 16-bit stereo WAV split into 10 parts of 60 s; whole processes, medians (min-max):"
for state in empty existing; do
  row "WAV -> WAV (same format)" "$state" ours_wav peer_cp "cp of the whole file" 1 "$cp_start" "<= 1.5x cp in-process"
  reference "shntool split" "$state" peer_shntool
  reference "sox trim, 10 processes" "$state" peer_sox_wav
  reference "ffmpeg, 1 process, 10 cuts" "$state" peer_ffmpeg_wav
done
for state in empty existing; do
  row "WAV -> MP3 128 kbit/s q5" "$state" ours_mp3 peer_lame "lame -q 5, 10 pre-cut parts" 10 "$lame_start" "<= 1.1x"
  row "WAV -> OGG Vorbis q5" "$state" ours_ogg peer_sox_ogg "sox -C 5, 10 processes" 10 "$sox_start" "<= 1.1x"
  row "WAV -> IMA ADPCM WAV" "$state" ours_ima peer_ffmpeg_ima "ffmpeg, 1 process, 10 cuts" 1 "$ima_start" "<= 1.2x"
  row "WAV -> WMA 128 kbit/s" "$state" ours_wma peer_ffmpeg_wma "ffmpeg, 1 process, 10 cuts" 1 "$wma_start" "<= 1.2x"
done

echo
echo "Linearity: time per second of audio (in-process timer, median of $runs), 360 parts of 10 s from 60 minutes vs 10 parts of 60 s from 10 minutes:"
inproc() {  # median in-process time of a split
  local t=()
  for _ in $(seq "$runs"); do rm -rf o && mkdir o && sync; t+=("$("$vb" split "$@" | sed -n 's/.* in \([0-9.]*\) s$/\1/p')"); done
  median "${t[@]}"
}
for src in wav mp3; do
  t10=$(inproc "src10.$src" o wav 60)
  t360=$(inproc "src60.$src" o wav 10)
  printf '%-34s 10 parts %7.3f s, 360 parts %7.3f s  ratio per second %sx (bar <= 1.2)\n' \
    "$(echo "$src" | tr a-z A-Z) source -> WAV parts" "$t10" "$t360" \
    "$(ratio "$(awk -v t="$t360" 'BEGIN {print t / 3600}')" "$(awk -v t="$t10" 'BEGIN {print t / 600}')")"
done
# The file system's own share: the same bytes cut into the same number of files by
# coreutils split (10 files of 60 s, 360 files of 10 s).
split10() { split -b 10584000 src10.wav o/x; }
split60() { split -b 1764000 src60.wav o/x; }
fs10=$(startup split10); fs60=$(startup split60)
printf '%-34s 10 files %7.3f s, 360 files %7.3f s  ratio per second %sx (the file system'"'"'s share)\n' \
  "for reference: coreutils split -b" "$fs10" "$fs60" \
  "$(ratio "$(awk -v t="$fs60" 'BEGIN {print t / 3600}')" "$(awk -v t="$fs10" 'BEGIN {print t / 600}')")"

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
rm -rf o last.out
load_report "at the end"
