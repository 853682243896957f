#!/usr/bin/env bash
# Benchmark of speech into a WAV file: a 2,000-word English text spoken by the speech
# component (velmaro_bench_tts) against `espeak-ng -w` on the same text, voice, rate and
# loudness, both as whole processes, timed like with like in the same run.
# Usage: bench/run_tts.sh [build folder] [work folder]   (run by hand)
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-/tmp/velmaro-bench-build}"
work="${2:-/tmp/velmaro-bench-tts}"
runs="${RUNS:-5}"

# shellcheck source=bench/peers.sh
. "$top/bench/peers.sh"
install_peers espeak-ng bc

build_bench "$top" "$build" velmaro_bench_tts
vt="$build/bench/velmaro_bench_tts"

start_load=$(load_report "at the start")
mkdir -p "$work"
cd "$work"
# 2,000 words of plain English sentences (the same text every run), and a one-word text
# for the start-up.
if [ ! -s text.txt ]; then
  words=(the quick brown fox jumps over a lazy dog while seven bright birds sing softly
         in morning light near an old stone bridge where rivers meet and travellers rest)
  out=() n=0
  while [ "$n" -lt 2000 ]; do
    w="${words[$(( (n * 7 + n / 31) % ${#words[@]} ))]}"
    if [ $(( n % 12 )) -eq 11 ]; then w="$w."; fi
    out+=("$w"); n=$((n + 1))
  done
  printf '%s ' "${out[@]}" >text.txt
fi
echo "Hello." >short.txt

voice_name="English (Great Britain)"  # the engine's voice file gmw/en
voice_file="gmw/en"

A=() AI=() B=() SA=() SB=()
for ((r = 0; r < runs; r++)); do
  t0=$(now); out=$("$vt" text.txt ours.wav "$voice_name"); t1=$(now)
  A+=("$(echo "$t1 - $t0" | bc -l)"); AI+=("$(echo "$out" | sed -n 's/^spoken in \([0-9.]*\) s.*/\1/p')")
  t0=$(now); espeak-ng -v "$voice_file" -s 175 -a 100 -w peer.wav -f text.txt; t1=$(now)
  B+=("$(echo "$t1 - $t0" | bc -l)")
  t0=$(now); "$vt" short.txt ours_short.wav "$voice_name" >/dev/null; t1=$(now)
  SA+=("$(echo "$t1 - $t0" | bc -l)")
  t0=$(now); espeak-ng -v "$voice_file" -s 175 -a 100 -w peer_short.wav -f short.txt; t1=$(now)
  SB+=("$(echo "$t1 - $t0" | bc -l)")
done
a=$(median "${A[@]}"); ai=$(median "${AI[@]}"); b=$(median "${B[@]}"); sa=$(median "${SA[@]}"); sb=$(median "${SB[@]}")
ratios=()
for ((r = 0; r < runs; r++)); do ratios+=("$(echo "${A[r]} / ${B[r]}" | bc -l)"); done

echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $(free -g | awk '/Mem:/{print $2}') GiB; $(date -u '+%Y-%m-%d %H:%M UTC')"
echo "$start_load"
load_report "at the end"
echo "text: $(wc -w <text.txt) words; voice $voice_name ($voice_file), 175 words a minute, amplitude 100, 22050 Hz 16 bit mono"
echo "outputs: ours $(stat -c %s ours.wav) bytes, espeak-ng -w $(stat -c %s peer.wav) bytes"
echo "runs alternate A B (with the start-ups after each pair), $runs times; median (min-max)"
printf '%-58s %7.3f s (%s)\n' "start-up (a one-word text): velmaro_bench_tts" "$sa" "$(minmax "${SA[@]}")"
printf '%-58s %7.3f s (%s)\n' "start-up (a one-word text): espeak-ng -w" "$sb" "$(minmax "${SB[@]}")"
printf '%-58s %7.3f s (%s)\n' "A  velmaro_bench_tts, whole process" "$a" "$(minmax "${A[@]}")"
printf '%-58s %7.3f s (%s)\n' "B  espeak-ng -w, whole process" "$b" "$(minmax "${B[@]}")"
printf 'whole process A / B  %.2fx (pairs %s)  bar <= 1.2x\n' "$(echo "$a / $b" | bc -l)" "$(minmax "${ratios[@]}")"
printf '%-58s %7.3f s (%s)\n' "A  SpeakToFile in-process (its own timer)" "$ai" "$(minmax "${AI[@]}")"
