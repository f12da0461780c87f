#!/usr/bin/env bash
# Runs every fuzzer of a fuzz build for a while: scripts/fuzz.sh BUILD_DIR SECONDS [extra libFuzzer flags]
# Each fuzzer starts from the seeds under fuzz/seeds/<name>/ and fails the run on a crash;
# fuzz/<name>.flags, when there is one, holds libFuzzer flags of its own.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
dir="$(cd "$1" && pwd)"
seconds="$2"
shift 2
status=0
for src in "$top"/fuzz/*.cpp; do
  name="$(basename "$src" .cpp)"
  corpus="$dir/corpus/$name"
  mkdir -p "$corpus"
  seeds=()
  [ -d "$top/fuzz/seeds/$name" ] && seeds=("$top/fuzz/seeds/$name")
  flags=()
  [ -f "$top/fuzz/$name.flags" ] && read -r -a flags <"$top/fuzz/$name.flags"
  echo "-- $name for ${seconds}s"
  if ! (cd "$dir" && "./$name" -max_total_time="$seconds" -print_final_stats=1 -timeout=10 "${flags[@]}" "$@" \
          "$corpus" "${seeds[@]}" 2>"$dir/$name.log"); then
    tail -n 40 "$dir/$name.log"
    status=1
  fi
  grep -E '^stat::number_of_executed_units' "$dir/$name.log" || true
done
exit $status
