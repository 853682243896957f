#!/usr/bin/env bash
# Runs each fuzz target of the tag classes for a given time and prints what it did.
# Usage: tests/fuzz/run.sh [seconds per target, default 600] [fuzz build folder] [test build folder]
# The seed corpus is made by the tag tests (built in the test build folder, configured
# there if needed), which copy their fixtures into it when VELMARO_ID3_SEEDS is set.
# Run by hand, as root or with sudo (to install clang); not part of the test suite.
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
seconds="${1:-600}"
build="${2:-/tmp/velmaro-fuzz-build}"
tests="${3:-$top/build-test}"
work="${VELMARO_FUZZ_WORK:-/tmp/velmaro-fuzz}"

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
wanted="$(sed -n 's/^build: *//p; s/^test: *//p; s/^fuzz: *//p' "$top/scripts/packages.txt")"
missing=""
for p in $wanted; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
  "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  # shellcheck disable=SC2086
  "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $missing
fi

mkdir -p "$build" "$tests" "$work"
build="$(cd "$build" && pwd)"
tests="$(cd "$tests" && pwd)"
work="$(cd "$work" && pwd)"

# The fuzz targets, built with clang.
CC=clang CXX=clang++ cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVELMARO_FUZZ=ON -DVELMARO_TESTS=OFF >/dev/null
cmake --build "$build" --target fuzz_id3v1 fuzz_id3v2 >/dev/null

# The seeds, from the tag tests.
if [ ! -f "$tests/CMakeCache.txt" ]; then
  cmake -S "$top" -B "$tests" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVELMARO_SANITIZE=ON >/dev/null
fi
tag_tests="tst_id3v1 tst_id3v2read tst_id3v2write tst_id3interop"
# shellcheck disable=SC2086
cmake --build "$tests" --target $tag_tests >/dev/null
mkdir -p "$work/seeds"
for t in $tag_tests; do
  (cd "$work" && env VELMARO_ID3_SEEDS="$work/seeds" QT_QPA_PLATFORM=offscreen LANG=C.UTF-8 LC_ALL=C.UTF-8 \
    ASAN_OPTIONS=detect_leaks=0 HOME="$work" "$tests/tests/$t" >/dev/null 2>&1) || echo "note: $t did not pass"
done
echo "seed corpus: $(find "$work/seeds" -type f | wc -l) files"

# The files the targets write go to memory when it is there.
scratch="$work/scratch"
if [ -d /dev/shm ] && [ -w /dev/shm ]; then scratch="/dev/shm/velmaro-fuzz-$$"; fi
mkdir -p "$scratch"
trap 'rm -rf "$scratch"' EXIT

status=0
for target in fuzz_id3v1 fuzz_id3v2; do
  corpus="$work/corpus-$target"
  mkdir -p "$corpus" "$work/artifacts"
  log="$work/$target.log"
  set +e
  (cd "$work" && env TMPDIR="$scratch" ASAN_OPTIONS=detect_leaks=1 \
    "$build/tests/fuzz/$target" -max_total_time="$seconds" -max_len=65536 -print_final_stats=1 \
    -artifact_prefix="$work/artifacts/$target-" "$corpus" "$work/seeds" >"$log" 2>&1)
  rc=$?
  set -e
  runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)"
  cov="$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)"
  ft="$(grep -o 'ft: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)"
  crashes="$(find "$work/artifacts" -name "$target-*" -type f | wc -l)"
  printf '%-11s %ss: %s executions, coverage %s edges (%s features), corpus %s files, exit %s, artifacts %s\n' \
    "$target" "$seconds" "${runs:-?}" "${cov:-?}" "${ft:-?}" "$(find "$corpus" -type f | wc -l)" "$rc" "$crashes"
  if [ "$rc" -ne 0 ]; then
    status=1
    echo "  see $log"
  fi
done
exit "$status"
