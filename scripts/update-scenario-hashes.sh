#!/usr/bin/env bash
# Rewrites the stored answers of the scenario replays (tests/scenarios/*.expected) after a
# change that is meant to alter what the game does or draws. Commit them with the change
# and say in the message why the game now plays differently.
#   scripts/update-scenario-hashes.sh [BUILD_DIR]   (default build-test, as scripts/test.sh)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-test}
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build "$build" -j "$(nproc)" --target crowdfire_scenario crowdfire_art_assets > /dev/null
for script in "$root"/tests/scenarios/*.txt; do
    "$root/tests/scenarios/replay.sh" "$build/scenario" "$build/run" "$script" --write
done
git -C "$root" --no-pager diff --stat -- tests/scenarios
