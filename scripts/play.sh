#!/usr/bin/env bash
# Installs what playing needs (scripts/install-deps.sh play), builds the game and its
# pictures and sounds into build/run, and plays. The build says nothing unless it fails,
# and is skipped when no source changed since the last one, so the game starts at once.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build
stamp=$build/.built-for-play
"$root/scripts/install-deps.sh" play

changed() {
  [[ ! -f $stamp || ! -x $build/run/crowdfire ]] ||
    [[ -n $(find "$root/CMakeLists.txt" "$root/src" "$root/tools" "$root/cmake" -newer "$stamp" -print -quit) ]]
}
if changed; then
  echo "crowdfire: building (once, about a minute)..."
  log=$build/play-build.log
  mkdir -p "$build"
  if ! { cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DCROWDFIRE_TESTS=OFF &&
         cmake --build "$build" -j "$(nproc)" --target crowdfire_program crowdfire_art_assets crowdfire_sound_assets; } >"$log" 2>&1; then
    tail -n 30 "$log" >&2
    echo "crowdfire: the build failed; the whole log is in $log" >&2
    exit 1
  fi
  touch "$stamp"
fi
cd "$build/run"
exec ./crowdfire
