#!/usr/bin/env bash
# Runs every fuzzer of a fuzz build (-DTORVI_FUZZ=ON) from the seeds under fuzz/seeds/<name>/
# and the committed corpus under fuzz/corpus/<name>/; fuzz/<name>.flags, when there is one,
# holds libFuzzer flags of its own. A crash fails the run and leaves its input in BUILD_DIR.
#
#   scripts/fuzz.sh BUILD_DIR                    the same run every time, as scripts/test.sh
#       does it: each fuzzer reads those inputs in a fixed order, then tries a fixed number
#       of new ones made from a fixed seed
#   scripts/fuzz.sh BUILD_DIR SECONDS [FLAGS]    exploring: each fuzzer for SECONDS from a
#       random seed, with any extra libFuzzer flags; what it finds stays in BUILD_DIR/corpus/
#   scripts/fuzz.sh BUILD_DIR merge              remakes fuzz/corpus/ from itself and what
#       exploring found: the fewest inputs that reach all the code they reach that the
#       seeds do not (-merge=1), ready to commit
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
dir="$(cd "$1" && pwd)"
mode="${2:-fixed}"
shift $(($# < 2 ? $# : 2))
fixed_seed=1
fixed_runs=100000  # some 40 s for all of them on one core

# The seeds and the committed corpus of a fuzzer, one path a line, in a fixed order.
inputs_of() {
  local name="$1" folder
  for folder in "$top/fuzz/seeds/$name" "$top/fuzz/corpus/$name"; do
    if [ -d "$folder" ]; then find "$folder" -type f; fi
  done | LC_ALL=C sort
}

run_fixed() {
  local name="$1"
  shift
  # New inputs go to a folder emptied first, and the inputs are named in a list, as the
  # order of a folder's files depends on the file system. Compared values are not fed back
  # (some are addresses, which move from run to run) and nothing is re-read on a timer.
  local found="$dir/fixed/$name" list="$dir/fixed/$name.inputs"
  rm -rf "$found" && mkdir -p "$found"
  inputs_of "$name" | paste -sd, >"$list"
  local seeds=()
  [ -s "$list" ] && seeds=("-seed_inputs=@$list")
  echo "-- $name, $fixed_runs runs from seed $fixed_seed"
  "./$name" -seed="$fixed_seed" -runs="$fixed_runs" -use_cmp=0 -reload=0 "$@" "${seeds[@]}" "$found"
}

run_exploring() {
  local name="$1"
  shift
  local folders=("$dir/corpus/$name") folder
  mkdir -p "${folders[0]}"
  for folder in "$top/fuzz/seeds/$name" "$top/fuzz/corpus/$name"; do
    if [ -d "$folder" ]; then folders+=("$folder"); fi
  done
  echo "-- $name for ${mode}s"
  "./$name" -max_total_time="$mode" "$@" "${folders[@]}"
}

run_merge() {
  local name="$1"
  shift
  # The seeds go first, named by their contents, so only what reaches further is taken.
  local merged="$dir/merge/$name" committed="$top/fuzz/corpus/$name"
  rm -rf "$merged" && mkdir -p "$merged" "$committed" "$dir/corpus/$name"
  if [ -d "$top/fuzz/seeds/$name" ]; then
    find "$top/fuzz/seeds/$name" -type f | while read -r seed; do
      cp "$seed" "$merged/$(sha1sum <"$seed" | cut -c1-40)"
    done
  fi
  ls "$merged" >"$merged.seeds"
  echo "-- $name merged"
  "./$name" -merge=1 "$@" "$merged" "$committed" "$dir/corpus/$name"
  rm -f "$committed"/*
  LC_ALL=C comm -23 <(ls "$merged" | LC_ALL=C sort) <(LC_ALL=C sort "$merged.seeds") |
    while read -r input; do cp "$merged/$input" "$committed/"; done
  echo "$name: $(find "$committed" -type f | wc -l) inputs, $(cat "$committed"/* | wc -c) bytes"
}

if ! [[ "$mode" =~ ^(fixed|merge|[0-9]+)$ ]]; then
  echo "usage: scripts/fuzz.sh BUILD_DIR [SECONDS [FLAGS] | merge]" >&2
  exit 2
fi
status=0
for src in "$top"/fuzz/*.cpp; do
  name="$(basename "$src" .cpp)"
  flags=(-timeout=10 -print_final_stats=1 -artifact_prefix="$dir/")
  if [ -f "$top/fuzz/$name.flags" ]; then
    read -r -a own <"$top/fuzz/$name.flags"
    flags+=("${own[@]}")
  fi
  log="$dir/$name.log"
  case "$mode" in
    fixed) run=(run_fixed "$name" "${flags[@]}") ;;
    merge) run=(run_merge "$name" "${flags[@]}") ;;
    *) run=(run_exploring "$name" "${flags[@]}" "$@") ;;
  esac
  if ! (cd "$dir" && "${run[@]}" 2>"$log"); then
    tail -n 40 "$log"
    status=1
  fi
  grep -E '^stat::number_of_executed_units' "$log" || true
done
exit $status
