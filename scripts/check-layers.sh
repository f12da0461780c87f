#!/usr/bin/env bash
# Fails when a file under src/ includes a header from a folder above its own, or from a
# folder its module does not declare in CMakeLists.txt (a logic file: the LOGIC list; a
# backend file, sdl_*, gl_* or enet_*: LOGIC and BACKEND). The order is the README's layout
# list, lowest first; a folder missing from it is an error too.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"

# The folder lines of the layout block: "  name/   what it holds".
mapfile -t order < <(awk '/^src\/<subsystem>\//{in_list=1; next}
                          in_list && /^  [a-z_]+\/ /{sub(/^  /, ""); sub(/\/.*/, ""); print; next}
                          in_list && /^   /{next}
                          in_list{exit}' "$top/README.md")
if [ ${#order[@]} -eq 0 ]; then
  echo "check-layers: no folder order found in README.md's layout" >&2
  exit 1
fi
declare -A rank
for i in "${!order[@]}"; do rank[${order[$i]}]=$i; done

status=0
for dir in "$top"/src/*/; do
  name="$(basename "$dir")"
  if [ -z "${rank[$name]+x}" ]; then
    echo "check-layers: src/$name/ is not in README.md's layout list" >&2
    status=1
  fi
done
[ $status -eq 0 ] || exit $status

while IFS= read -r line; do
  file="${line%%:*}"
  included="$(sed -E 's/.*#include "([a-z_0-9]+)\/.*/\1/' <<<"$line")"
  own="$(basename "$(dirname "$file")")"
  [ -n "${rank[$included]+x}" ] || continue
  if [ "${rank[$included]}" -gt "${rank[$own]}" ]; then
    echo "check-layers: ${file#$top/} includes $included/, a layer above $own/" >&2
    status=1
  fi
done < <(grep -rHE '^#include "[a-z_0-9]+/' "$top/src")
# The modules' declared folders: "name: logic deps | backend deps", one line a module.
declare -A logic_deps backend_deps
while IFS='|' read -r name logic backend; do
  logic_deps[$name]=" $name $logic "
  backend_deps[$name]=" $name $logic $backend "
done < <(tr '\n' ' ' <"$top/CMakeLists.txt" | grep -oE 'torvi_module\([^)]*\)' |
         sed -E 's/torvi_module\(([a-z_]+) *(LOGIC ([a-z_ ]*))?(BACKEND ([a-z_ ]*))?\)/\1|\3|\5/')

while IFS= read -r line; do
  file="${line%%:*}"
  included="$(sed -E 's/.*#include "([a-z_0-9]+)\/.*/\1/' <<<"$line")"
  own="$(basename "$(dirname "$file")")"
  [ -n "${rank[$included]+x}" ] || continue
  allowed="${logic_deps[$own]-}"
  [[ "$(basename "$file")" =~ ^(sdl|gl|enet)_ ]] && allowed="${backend_deps[$own]-}"
  if [[ "$allowed" != *" $included "* ]]; then
    echo "check-layers: ${file#$top/} includes $included/, which torvi_module($own) does not declare" >&2
    status=1
  fi
done < <(grep -rHE '^#include "[a-z_0-9]+/' "$top/src")
[ $status -eq 0 ] && echo "check-layers: ${#order[@]} layers, every include runs downward to a declared module"
exit $status
