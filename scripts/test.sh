#!/usr/bin/env bash
# Runs every check: the include order of the layers, the tests under AddressSanitizer and
# UndefinedBehaviorSanitizer, the network, replay and two-game tests under ThreadSanitizer, each
# fuzzer over its seeds and corpus, then the tests in the normal build.
#   scripts/test.sh            everything
#   scripts/test.sh --quick    only the layers and the normal build's tests
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
quick=0
[ "${1:-}" = "--quick" ] && quick=1
jobs="$(nproc)"

# Names the next stage after saying how long the one before took.
stage() {
  [ -z "${stage_name:-}" ] || echo "== $stage_name: $((SECONDS - stage_start)) s"
  stage_name="$1"
  stage_start=$SECONDS
  [ -z "$1" ] || echo "== $1"
}

stage "layers"
"$top/scripts/check-layers.sh"

if [ $quick -eq 0 ]; then
  stage "tests under AddressSanitizer + UndefinedBehaviorSanitizer"
  "$top/scripts/build.sh" "$top/build-asan" -DCMAKE_BUILD_TYPE=Debug -DTORVI_SANITIZE=ON \
    -DCMAKE_CXX_COMPILER=clang++
  # Leak checks stay off here: Mesa's driver is unloaded before the report, so its
  # allocations show as an unknown module that no suppression can name. The fuzzers
  # below run the file and settings readers with leak checks on.
  ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir "$top/build-asan" -j "$jobs" --output-on-failure

  stage "network, replay and two-game tests under ThreadSanitizer"
  # Only what these tests run is built. A report fails the process that makes it, a game
  # started by a test included, and with it the test.
  cmake -S "$top" -B "$top/build-tsan" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTORVI_TSAN=ON \
    -DCMAKE_CXX_COMPILER=clang++ >/dev/null
  cmake --build "$top/build-tsan" -j "$jobs" -t tests_net tests_app tests_tools torvi
  tsan=(env TSAN_OPTIONS="halt_on_error=1 exitcode=66 suppressions=$top/scripts/tsan.supp")
  "${tsan[@]}" ctest --test-dir "$top/build-tsan" -j "$jobs" -L '^net$' --no-tests=error \
    --output-on-failure
  "${tsan[@]}" ctest --test-dir "$top/build-tsan" -R '^(TwoGames|Replay)\.' --no-tests=error \
    --output-on-failure

  stage "fuzzers over their seeds and corpus"
  "$top/scripts/build.sh" "$top/build-fuzz" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTORVI_FUZZ=ON \
    -DCMAKE_CXX_COMPILER=clang++
  "$top/scripts/fuzz.sh" "$top/build-fuzz"
fi

stage "tests"
"$top/scripts/build.sh" "$top/build"
ctest --test-dir "$top/build" -j "$jobs" --output-on-failure
stage ""
