#!/usr/bin/env bash
# Installs what is missing, builds the game and its assets, and plays it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" "$root/build" -DCMAKE_BUILD_TYPE=Release -DCROWDFIRE_TESTS=OFF
cd "$root/build/run"
exec ./crowdfire
