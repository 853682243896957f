# shellcheck shell=bash
# Shared by the benchmark scripts (sourced): installs the Debian packages named as
# arguments that are not installed yet; the clock, the median and min-max of a run's
# figures; the machine and its load, which every script prints with its figures.
install_peers() {
  local sudo_cmd=() missing="" p
  if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
  done
  # (apt's progress goes to the error stream: the standard output holds only the figures)
  if [ -n "$missing" ]; then
    "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq >&2
    # shellcheck disable=SC2086
    "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing >&2
  fi
}

# Configures the source tree TOP for the benchmarks (Release, no tests) in the folder
# BUILD and builds the named targets: build_bench TOP BUILD TARGET...
build_bench() {
  local top=$1 build=$2
  shift 2
  cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMARO_TESTS=OFF -DVELMARO_BENCH=ON >/dev/null
  cmake --build "$build" --target "$@" >/dev/null
}

now() { date +%s.%N; }
# The seconds between two readings of the clock: elapsed T0 T1.
elapsed() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.6f", b - a}'; }
median() { printf '%s\n' "$@" | sort -g | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2}'; }
minmax() { printf '%s\n' "$@" | sort -g | awk 'NR == 1 {lo=$1} {hi=$1} END {printf "%.3f-%.3f", lo, hi}'; }
# The ratio of two figures to two decimals (0 when the second is not above 0): ratio A B.
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", (b > 0 ? a / b : 0)}'; }

# The machine the figures come from.
machine() {
  echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $(free -g | awk '/Mem:/{print $2}') GiB; $(date -u '+%Y-%m-%d %H:%M UTC')"
}

# The load average and the number of cores, and a plain warning when the 1-minute load is
# above a quarter of the cores: other work then takes turns with the runs and their
# figures cannot be set beside those of a quiet machine. load_report WHEN
load_report() {
  local one five fifteen cores
  read -r one five fifteen _ </proc/loadavg
  cores=$(nproc)
  echo "load average $one $five $fifteen (1, 5, 15 minutes) on $cores cores $1"
  if awk -v l="$one" -v c="$cores" 'BEGIN {exit !(l > c / 4)}'; then
    echo "LOAD HIGH: figures not comparable (the 1-minute load $one is above a quarter of the $cores cores)"
  fi
}

# A 0.1 s 44.1 kHz 16-bit stereo WAV in the current folder, the input on which a peer's
# start-up is measured (the tool loads its codec and writes a file, with next to no audio).
make_tiny_wav() {
  [ -s tiny.wav ] || sox -n -r 44100 -c 2 -b 16 tiny.wav synth 0.1 whitenoise vol 0.4
}
