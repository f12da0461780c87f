#!/usr/bin/env bash
# Builds torvi if needed and starts it in the folder that holds config.cfg and Data/.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
"$top/scripts/build.sh" "$top/build" >/dev/null
cd "$top"
exec "$top/build/torvi" "$@"
