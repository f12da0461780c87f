#!/usr/bin/env bash
# Installs what a fresh Debian machine lacks to build, run and test torvi.
# Only missing packages are installed; a machine that has them all is left alone.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  libgtest-dev libgmock-dev
  clang libclang-rt-14-dev   # sanitizers and libFuzzer
  libsdl2-dev libsdl2-image-dev libsdl2-ttf-dev libepoxy-dev libassimp-dev
  libfontconfig-dev fonts-dejavu-core zlib1g-dev libenet-dev libsdl2-mixer-dev
  libgl1-mesa-dri libegl1 libegl-mesa0   # Mesa's software renderer for screenless runs
  desktop-file-utils appstream   # validate the installed desktop entry and metadata
  xvfb   # a real X server for the tests that the game never waits for a click
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "torvi: installing ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
