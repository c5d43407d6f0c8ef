#!/usr/bin/env bash
# Installs every Debian package that building, playing and testing the game needs.
# Does nothing when they are all present. Runs apt-get as root, or through sudo.
set -euo pipefail

packages=(
  # build
  g++ cmake make pkg-config
  libsdl2-dev libsdl2-mixer-dev
  libvorbis-dev libmp3lame-dev
  libgtest-dev
  # packaging
  dpkg-dev file
  # tests: independent decoders and validators, a virtual X server with real input
  python3 imagemagick sox libsox-fmt-all vorbis-tools lame
  xvfb xauth xdotool
  desktop-file-utils appstream
  # the static check that scripts/test.sh runs first; the house format (scripts/format.sh)
  cppcheck clang-format
  # the browser version: Debian's emscripten and the acorn parser its optimizer needs;
  # its test drives Debian's headless chromium from Node
  emscripten node-acorn chromium
  # fuzzing: clang builds the libFuzzer targets; libclang-rt-14-dev holds the fuzzer runtime
  clang libclang-rt-14-dev
)
# Node and npm (for the browser test's puppeteer-core) only where no node is installed:
# a node from elsewhere brings its own npm, and Debian's would fight it.
command -v node >/dev/null || packages+=(nodejs)
command -v npm >/dev/null || packages+=(npm)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
as_root=()
if [[ $(id -u) -ne 0 ]]; then
  command -v sudo >/dev/null || { echo "install-deps: need root or sudo to install packages" >&2; exit 1; }
  as_root=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -q
"${as_root[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
