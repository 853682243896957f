# Shared by the benchmark scripts (sourced): installs the Debian packages named as
# arguments that are not installed yet; the clock, and the median and min-max of a run's
# figures; and the load-average line every script prints.
install_peers() {
  local sudo_cmd=() missing="" p
  if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
  done
  if [ -n "$missing" ]; then
    "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    # shellcheck disable=SC2086
    "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $missing
  fi
}

now() { date +%s.%N; }
median() { printf '%s\n' "$@" | sort -g | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2}'; }
minmax() { printf '%s\n' "$@" | sort -g | awk 'NR == 1 {lo=$1} {hi=$1} END {printf "%.3f-%.3f", lo, hi}'; }

# The load average, and a plain word when it is above a quarter of the cores: figures
# taken on a busy machine are not those of a quiet one.
load() {
  local one cores
  one=$(cut -d' ' -f1 /proc/loadavg)
  cores=$(nproc)
  echo "load average $(cut -d' ' -f1-3 /proc/loadavg) on $cores cores $1"
  if [ "$(echo "$one > $cores / 4" | bc -l)" -eq 1 ]; then
    echo "THE MACHINE IS LOADED: a load of $one is above a quarter of its $cores cores; these figures are not from a quiet machine."
  fi
}
