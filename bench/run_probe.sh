#!/usr/bin/env bash
# Benchmark of the probe on a 60-minute VBR MP3 written without an info frame (its length
# stated nowhere, so every frame is counted): our probe against `ffprobe -count_packets`
# on the same file, timed like with like.
# Usage: bench/run_probe.sh [build folder] [work folder]   (run by hand)
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-/tmp/velmaro-bench-build}"
work="${2:-/tmp/velmaro-bench-probe}"
runs="${RUNS:-7}"

# shellcheck source=bench/peers.sh
. "$top/bench/peers.sh"
install_peers sox lame ffmpeg time

build_bench "$top" "$build" velmaro_bench_probe
vp="$build/bench/velmaro_bench_probe"

mkdir -p "$work"
cd "$work"
# 60 minutes of a sweeping tone over noise whose loudness swells and fades, encoded by
# lame in VBR quality 0 without an info frame (-t): the bit rate changes along the file,
# and the container states no length. A 0.1 s file of the same kind for the start-up.
if [ ! -s long.mp3 ]; then
  sox -n -r 44100 -c 2 -b 16 -t wav - synth 3600 sine 200-4000 whitenoise vol 0.4 tremolo 0.05 90 2>/dev/null |
    lame --quiet -t -V 0 - long.mp3
fi
[ -s short.mp3 ] || { sox -n -r 44100 -c 2 -b 16 -t wav - synth 0.1 whitenoise vol 0.4 2>/dev/null | lame --quiet -t -V 0 - short.mp3; }
cat long.mp3 short.mp3 >/dev/null  # warm the page cache: both sides read from memory
machine
load_report "at the start"

ffprobe_packets=(ffprobe -v error -select_streams a:0 -count_packets -show_entries stream=nb_read_packets -of csv=p=0)

# One whole-process run of a command: its wall-clock seconds into `wall`, the processor
# seconds it used (user and system, from GNU time, to 10 ms) into `cpu` (a figure that other
# work on the machine disturbs far less than the wall clock), its output into `out`.
timed() {
  local t0 t1
  t0=$(now); out=$(/usr/bin/time -f '%U %S' -o cpu.txt "$@"); t1=$(now)
  wall=$(elapsed "$t0" "$t1")
  cpu=$(awk '{printf "%.2f", $1 + $2}' cpu.txt)
}

# A: our whole process probing the file (and the probe's own time inside it);
# B: ffprobe counting the packets of the same file. Start-up: each on the 0.1 s file.
A=() AC=() AI=() B=() BC=() SA=() SB=()
for ((r = 0; r < runs; r++)); do
  timed "$vp" long.mp3
  A+=("$wall"); AC+=("$cpu"); AI+=("$(echo "$out" | sed -n 's/.*probed in \([0-9.]*\) s$/\1/p')")
  length=$(echo "$out" | sed -n 's/^length \([0-9.]*\) s.*/\1/p')
  timed "${ffprobe_packets[@]}" long.mp3
  B+=("$wall"); BC+=("$cpu"); packets=$out
  timed "$vp" short.mp3
  SA+=("$wall")
  timed "${ffprobe_packets[@]}" short.mp3
  SB+=("$wall")
done
a=$(median "${A[@]}"); ai=$(median "${AI[@]}"); b=$(median "${B[@]}"); sa=$(median "${SA[@]}"); sb=$(median "${SB[@]}")
ac=$(median "${AC[@]}"); bc=$(median "${BC[@]}")
bi=$(awk -v b="$b" -v s="$sb" 'BEGIN {print b - s}')
ratios=() inratios=() cpuratios=()
for ((r = 0; r < runs; r++)); do
  ratios+=("$(ratio "${A[r]}" "${B[r]}")")
  inratios+=("$(ratio "${AI[r]}" "$(awk -v b="${B[r]}" -v s="$sb" 'BEGIN {print b - s}')")")
  cpuratios+=("$(ratio "${AC[r]}" "${BC[r]}")")
done

echo "file: 60-minute 44.1 kHz stereo VBR MP3 (lame -t -V 0, no info frame), $(stat -c %s long.mp3) bytes; page cache warm"
echo "lengths: ours $length s; ffprobe $packets packets = $(awk -v p="$packets" 'BEGIN {printf "%.3f", p * 1152 / 44100}') s"
echo "runs alternate A B (with the start-ups after each pair), $runs times; median (min-max)"
printf '%-62s %7.3f s (%s)\n' "start-up (probing a 0.1 s file): velmaro_bench_probe" "$sa" "$(minmax "${SA[@]}")"
printf '%-62s %7.3f s (%s)\n' "start-up (probing a 0.1 s file): ffprobe -count_packets" "$sb" "$(minmax "${SB[@]}")"
printf '%-62s %7.3f s (%s)\n' "A  velmaro_bench_probe, whole process" "$a" "$(minmax "${A[@]}")"
printf '%-62s %7.3f s (%s)\n' "B  ffprobe -count_packets, whole process" "$b" "$(minmax "${B[@]}")"
printf 'whole process A / B  %sx (pairs %s)  bar <= 1.5x\n' "$(ratio "$a" "$b")" "$(minmax "${ratios[@]}")"
printf '%-62s %7.3f s (%s)\n' "A  the probe in-process (its own timer)" "$ai" "$(minmax "${AI[@]}")"
printf '%-62s %7.3f s\n' "B  ffprobe less its start-up" "$bi"
printf 'in-process A / B     %sx (pairs %s)  bar <= 1.5x\n' "$(ratio "$ai" "$bi")" "$(minmax "${inratios[@]}")"
printf '%-62s %7.2f s (%s) / %.2f s (%s)\n' "processor time (user + system) of the whole process, A / B" \
  "$ac" "$(minmax "${AC[@]}")" "$bc" "$(minmax "${BC[@]}")"
printf 'processor time A / B %sx (pairs %s)\n' "$(ratio "$ac" "$bc")" "$(minmax "${cpuratios[@]}")"
rm -f cpu.txt
load_report "at the end"
