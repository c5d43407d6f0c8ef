#!/usr/bin/env bash
# Installs the Debian packages the game needs, in three sets:
#   scripts/install-deps.sh play   what building and playing need (the compiler, CMake and
#                                  the SDL2, SDL2_mixer, PNG, Vorbis and LAME libraries)
#   scripts/install-deps.sh web    the play set (the pictures and sounds are made natively),
#                                  and what building and serving the browser version need
#   scripts/install-deps.sh test   all of that, and what building the Debian package and
#                                  running the tests need on top (the default)
# Does nothing when they are all present. Runs apt-get as root, or through sudo; without
# either it says which command to have run.
set -euo pipefail

play_packages=(
  g++ cmake make pkg-config
  libsdl2-dev libsdl2-mixer-dev libpng-dev
  libvorbis-dev libmp3lame-dev
)
# Debian's emscripten and the acorn parser its optimizer needs; Python serves the site.
web_packages=(emscripten node-acorn python3)
test_packages=(
  libgtest-dev
  # packaging
  dpkg-dev file lintian
  # tests: independent decoders and validators, a virtual X server with real input
  python3 imagemagick sox libsox-fmt-all vorbis-tools lame
  xvfb xauth xdotool
  desktop-file-utils appstream
  # the static check that scripts/test.sh runs first; the house format (scripts/format.sh)
  cppcheck clang-format
  # the browser version's test drives Debian's headless chromium from Node, and plays it
  # in the two other engines players hold: Firefox, driven over WebDriver BiDi, and WebKit,
  # which every browser on an iPhone or iPad runs (WebKitGTK's driver and MiniBrowser),
  # under the Xvfb above
  chromium firefox-esr webkit2gtk-driver
  # fuzzing: clang builds the libFuzzer targets; libclang-rt-14-dev holds the fuzzer runtime
  clang libclang-rt-14-dev
)
set_name=${1:-test}
case $set_name in
  play) packages=("${play_packages[@]}") ;;
  web) packages=("${play_packages[@]}" "${web_packages[@]}") ;;
  test) packages=("${play_packages[@]}" "${web_packages[@]}" "${test_packages[@]}") ;;
  *) echo "usage: install-deps.sh [play|web|test]" >&2; exit 2 ;;
esac
# Node and npm (for the browser test's puppeteer-core) only where no node is installed:
# a node from elsewhere brings its own npm, and Debian's would fight it.
if [[ $set_name == test ]]; then
  command -v node >/dev/null || packages+=(nodejs)
  command -v npm >/dev/null || packages+=(npm)
fi

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

cannot_install() {
  cat >&2 <<EOF
install-deps: these packages are missing: ${missing[*]}
Installing them needs root, and $1. Ask someone with root to run:

    apt-get update && apt-get install -y --no-install-recommends ${missing[*]}

then run this again.
EOF
  exit 1
}
as_root=()
if [[ $(id -u) -ne 0 ]]; then
  command -v sudo >/dev/null || cannot_install "sudo is not installed"
  # Asks for the password on a terminal; fails where this user may not use sudo.
  sudo -v 2>/dev/null || cannot_install "sudo refused (not allowed, or no terminal to ask for the password)"
  as_root=(sudo)
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -q
"${as_root[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
