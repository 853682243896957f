# Shared by the benchmark scripts (sourced): installs the Debian packages named as
# arguments that are not installed yet; the clock, and the median and min-max of a run's
# figures.
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
