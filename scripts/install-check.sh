#!/usr/bin/env bash
# install-check.sh BUILD_DIR: installs the build into a temporary prefix made read-only and
# plays it as a player with a fresh home folder: the settings, a map and a pose are saved
# into the player's folders and found again after a restart, and nothing under the prefix
# changes. Root ignores read-only bits, so the prefix is compared by a listing of sizes and
# times. The desktop entry and the AppStream metadata are validated where the tools exist.
set -euo pipefail
build="$(cd "${1:?usage: install-check.sh BUILD_DIR}" && pwd)"
work="$(mktemp -d "${TMPDIR:-/tmp}/torvi-install-XXXXXX")"
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
prefix="$work/prefix"
home="$work/home"
mkdir -p "$home"

cmake --install "$build" --prefix "$prefix" >/dev/null
chmod -R a-w "$prefix"
listing() { find "$prefix" -printf '%p %s %T@ %m\n' | sort; }
before="$(listing)"

xvfb=""
fail() {
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  echo "install-check: $*" >&2
  cat "$work/out.txt" >&2 2>/dev/null || true
  exit 1
}

unset XDG_CONFIG_HOME XDG_DATA_HOME XDG_CONFIG_DIRS XDG_DATA_DIRS
export HOME="$home" SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy
# Started in a folder with no config.cfg or Data/, as from a desktop menu.
game() {
  (cd "$work" && "$prefix/bin/torvi" --windowed "$@") >>"$work/out.txt" 2>&1 ||
    fail "torvi $* failed"
}
type_keys() {  # "T0 LETTERS": a key press every 10 ms from time T0
  local t=$1 word=$2 i
  for ((i = 0; i < ${#word}; i++)); do
    echo "$((t + 20 * i)) key down ${word:i:1}"
    echo "$((t + 20 * i + 10)) key up ${word:i:1}"
  done
}

settings="$home/.config/torvi/config.cfg"
maps="$home/.local/share/torvi/maps"
bones="$home/.local/share/torvi/bones"
shipped="$prefix/share/torvi"

version="$(cd "$work" && "$prefix/bin/torvi" --version)" || fail "torvi --version failed"
grep -q "^mode: installed" <<<"$version" || fail "not run as installed: $version"

# F3 in play switches the labels, and quitting saves that into a settings file made from
# the shipped one. The picture the script asks for lands where the game was started.
printf '100 key down F3\n120 key up F3\n150 screenshot play.png\n200 quit\n' >"$work/f3.txt"
game --play --script f3.txt
[ -f "$work/play.png" ] || fail "the script's screenshot is not in the folder the game started in"
[ -f "$maps/test123.map" ] || fail "the start-up map is not in $maps"
diff <(sed 's/^labels=full$/labels=name/' "$shipped/config.cfg") "$settings" >/dev/null ||
  fail "$settings is not the shipped settings with labels=name"

# The editor paints and saves a map, and turns a leg and saves it as the WALK1 key.
{
  echo "100 command 12"
  echo "200 mouse click left 460 578"
  echo "300 mouse move 500 372"
  echo "310 mouse down left 500 372"
  echo "320 mouse move 460 350"
  echo "330 mouse up left 460 350"
  echo "500 command 34"
  echo "510 mouse click left 95 155"
  type_keys 520 MINE
  echo "700 command 43"
  echo "900 command 28"
  echo "910 mouse down middle 600 300"
  echo "920 mouse move 550 300"
  echo "930 mouse up middle 550 300"
  echo "1000 command 65"
  echo "1010 mouse click left 95 155"
  type_keys 1020 WALK1
  echo "1200 command 63"
  echo "1300 quit"
} >"$work/save.txt"
game --script save.txt
[ -f "$maps/MINE.map" ] || fail "the map was not saved into $maps"
[ -f "$bones/WALK1.bones" ] || fail "the pose was not saved into $bones"
cmp -s "$maps/MINE.map" "$maps/test123.map" && fail "the saved map holds no painting"
cmp -s "$bones/WALK1.bones" "$shipped/Data/bones/WALK1.bones" && fail "the saved pose is the shipped one"

# After a restart the settings read back (F3 now switches to the full labels), and the
# editor's lists offer the saved map and pose, which load and save again under new names.
game --play --script f3.txt
grep -qx "labels=full" "$settings" || fail "the saved labels were not read back"
{
  echo "100 command 12"
  echo "200 command 33"
  echo "210 mouse click left 110 162" # test123, then MINE
  echo "220 command 38"
  echo "300 command 34"
  echo "310 mouse click left 95 155"
  type_keys 320 COPY
  echo "500 command 43"
  echo "600 command 28"
  echo "610 command 64"
  echo "620 mouse click left 110 195" # ZOMBIE1, WALK3, WALK2, then WALK1
  echo "630 command 58"
  echo "700 command 65"
  echo "710 mouse click left 95 155"
  type_keys 720 COPY
  echo "900 command 63"
  echo "1000 quit"
} >"$work/load.txt"
game --script load.txt
cmp -s "$maps/COPY.map" "$maps/MINE.map" || fail "the saved map did not load back"
cmp -s "$bones/COPY.bones" "$bones/WALK1.bones" || fail "the saved pose did not load back"

# Under a real X server too: a run nobody watches ends by itself, never waiting on a box.
if command -v Xvfb >/dev/null; then
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
  xvfb=$!
  for _ in $(seq 600); do [ -s "$work/display" ] && break; sleep 0.1; done
  [ -s "$work/display" ] || fail "Xvfb did not start"
  (cd "$work" && env -u SDL_VIDEODRIVER DISPLAY=":$(head -1 "$work/display")" \
    timeout 300 "$prefix/bin/torvi" --windowed --frames 20) >>"$work/out.txt" 2>&1 ||
    fail "the installed game under Xvfb did not end by itself"
  kill "$xvfb"
  wait "$xvfb" 2>/dev/null || true
  xvfb=""

else
  echo "install-check: Xvfb is missing; the installed game runs with the offscreen driver only"
fi

[ "$(listing)" = "$before" ] || fail "the game wrote under $prefix: $(diff <(echo "$before") <(listing))"

if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$prefix/share/applications/torvi.desktop" || fail "bad desktop entry"
else
  echo "install-check: desktop-file-validate is missing; the desktop entry is not checked"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$prefix/share/metainfo/torvi.metainfo.xml" >/dev/null ||
    fail "bad AppStream metadata: $(appstreamcli validate --no-net "$prefix/share/metainfo/torvi.metainfo.xml")"
else
  echo "install-check: appstreamcli is missing; the AppStream metadata is not checked"
fi
for size in 48 64 128 256; do
  [ -f "$prefix/share/icons/hicolor/${size}x$size/apps/torvi.png" ] || fail "no $size pixel icon"
done
[ -f "$prefix/share/man/man6/torvi.6" ] || fail "no manual page"
echo "install-check: ok"
