#!/usr/bin/env bash
# Configures and builds into a build folder: scripts/build.sh [folder [cmake options...]]
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
dir="${1:-$top/build}"
shift || true
"$top/scripts/install-deps.sh"
cmake -S "$top" -B "$dir" -G Ninja "$@" >/dev/null
cmake --build "$dir" -j "$(nproc)"
