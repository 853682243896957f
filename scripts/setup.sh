#!/usr/bin/env bash
# Installs what Velmaro needs on Debian 12, builds it, and then either starts the program
# ("run") or runs the test suite ("test"). Works as root, or as a user with sudo.
# VELMARO_ALL_TOOLS=ON in the environment makes "run" build the product that offers every
# tool; "test" builds that product too (into build-alltools), as a check that it builds.
set -euo pipefail
mode="${1:-}"
case "$mode" in run|test) ;; *) echo "usage: $0 run|test" >&2; exit 2 ;; esac

top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$top"

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi

packages() {
  sed -n "s/^$1: *//p" scripts/packages.txt
}
wanted="$(packages build) $(packages run)"
if [ "$mode" = test ]; then wanted="$wanted $(packages test)"; fi
missing=""
for p in $wanted; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
  echo "== installing:$missing"
  "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  # shellcheck disable=SC2086
  "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $missing
fi

jobs="$(nproc 2>/dev/null || echo 2)"
if [ "$mode" = run ]; then
  # Given every time, so a build folder configured before goes back to the default product.
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMARO_TESTS=OFF \
    -DVELMARO_ALL_TOOLS="${VELMARO_ALL_TOOLS:-OFF}"
  cmake --build build --parallel "$jobs"
  exec ./build/velmaro/velmaro
else
  cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVELMARO_SANITIZE=ON
  cmake --build build-test --parallel "$jobs"
  # The product that offers every tool: the program alone, unoptimised, to see it builds
  # (its test, tst_alltoolsproduct, is part of the suite).
  cmake -S . -B build-alltools -G Ninja -DCMAKE_BUILD_TYPE=None -DVELMARO_TESTS=OFF -DVELMARO_ALL_TOOLS=ON
  cmake --build build-alltools --target velmaro --parallel "$jobs"
  ctest --test-dir build-test --output-on-failure --parallel "$jobs" --timeout 900
fi
