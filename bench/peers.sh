# Shared by the benchmark scripts (sourced): installs the Debian packages named as
# arguments that are not installed yet.
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
