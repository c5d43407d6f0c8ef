#!/usr/bin/env bash
# Builds the browser version into build-web/: first, natively, the art and sound tools that
# make the pictures and sounds (and the scenario runner the browser test compares with)
# into build-web/host, then the WebAssembly game and its page into build-web/site (what a
# player downloads, and all scripts/web.sh serves) and the tool module that the browser
# test and bench/web_bench.mjs load into build-web/tools-site.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)

cmake -S "$root" -B "$root/build-web/host" -DCMAKE_BUILD_TYPE=Release -DCROWDFIRE_TESTS=OFF >/dev/null
cmake --build "$root/build-web/host" -j "$jobs" --target crowdfire_art_assets crowdfire_sound_assets crowdfire_web_icons crowdfire_scenario

# Debian's emscripten runs its JavaScript optimizer on node and finds the packaged acorn
# only through NODE_PATH when the node on the PATH is not Debian's own.
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}
# Its library cache lives in /usr/share; where that is not writable, a cache of our own.
if [[ ! -w /usr/share/emscripten/cache ]]; then
  export EM_CACHE=${EM_CACHE:-$root/build-web/emscripten-cache}
fi
emcmake cmake -S "$root/web" -B "$root/build-web" -DCROWDFIRE_ASSETS="$root/build-web/host/run" \
  -DCROWDFIRE_WEB_ICONS="$root/build-web/host/web-icons" >/dev/null
# Builds from before the tool module had a site of its own left it beside the game, and
# builds from before the packs left the single data file in both sites and the module
# unpacked in the game's: gone before the build, so the service worker never lists them.
rm -f "$root/build-web/site/tools.html" "$root/build-web/site"/crowdfire_tools.*
rm -f "$root/build-web/site/crowdfire.data" "$root/build-web/tools-site/crowdfire_tools.data"
rm -f "$root/build-web/site/crowdfire.js" "$root/build-web/site/crowdfire.wasm"
cmake --build "$root/build-web" -j "$jobs"
