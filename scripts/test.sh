#!/usr/bin/env bash
# Runs every check: the include order of the layers, the tests under AddressSanitizer and
# UndefinedBehaviorSanitizer, a short run of each fuzzer, then the tests in the normal build.
#   scripts/test.sh            everything
#   scripts/test.sh --quick    only the layers and the normal build's tests
# FUZZ_SECONDS sets how long each fuzzer runs (default 20).
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
quick=0
[ "${1:-}" = "--quick" ] && quick=1
jobs="$(nproc)"

echo "== layers"
"$top/scripts/check-layers.sh"

if [ $quick -eq 0 ]; then
  echo "== tests under AddressSanitizer + UndefinedBehaviorSanitizer"
  "$top/scripts/build.sh" "$top/build-asan" -DCMAKE_BUILD_TYPE=Debug -DTORVI_SANITIZE=ON \
    -DCMAKE_CXX_COMPILER=clang++
  # Leak checks stay off here: Mesa's driver is unloaded before the report, so its
  # allocations show as an unknown module that no suppression can name. The fuzzers
  # below run the file and settings readers with leak checks on.
  ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir "$top/build-asan" -j "$jobs" --output-on-failure

  echo "== fuzzers"
  "$top/scripts/build.sh" "$top/build-fuzz" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTORVI_FUZZ=ON \
    -DCMAKE_CXX_COMPILER=clang++
  "$top/scripts/fuzz.sh" "$top/build-fuzz" "${FUZZ_SECONDS:-20}"
fi

echo "== tests"
"$top/scripts/build.sh" "$top/build"
ctest --test-dir "$top/build" -j "$jobs" --output-on-failure
