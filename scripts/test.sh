#!/usr/bin/env bash
# Installs what is missing, runs the static check, then builds and runs every test twice
# (once as the game ships in build-test, once under AddressSanitizer and
# UndefinedBehaviorSanitizer in build-sanitize), plays the browser version in headless
# Chromium, Firefox and WebKit, and ends with the fuzzing, soak and thread checks (scripts/fuzz-soak-tsan.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"

# Leaks are reported, but for the few the libraries we call make inside themselves.
source "$root/scripts/sanitizer-options.sh"

run_suite() {
  local dir=$1; shift
  echo "== building $dir"
  "$root/scripts/build.sh" "$dir" "$@"
  echo "== testing $dir"
  ctest --test-dir "$dir" --output-on-failure -j "$(nproc)"
}

# The static check first: it takes seconds and its findings fail the run.
"$root/scripts/static-check.sh"

run_suite "$root/build-test" -DCMAKE_BUILD_TYPE=RelWithDebInfo
run_suite "$root/build-sanitize" -DCMAKE_BUILD_TYPE=Debug -DCROWDFIRE_SANITIZE=ON

# The browser version, played in each engine a player may hold, all Debian's own and
# headless: Chromium, Firefox and WebKit (tests/web/browser.mjs), one after another (two at
# once on a small machine would hold each other under the frame rates the tests ask for).
# puppeteer-core comes from npm at the version package-lock.json pins, installed again
# only when the lock changes.
echo "== building build-web"
"$root/scripts/build-web.sh"
(
  cd "$root/tests/web"
  if ! cmp -s package-lock.json node_modules/.crowdfire-lock; then
    npm ci --no-audit --no-fund
    cp package-lock.json node_modules/.crowdfire-lock
  fi
  # Every browser, driver and X server a test starts leads a process group, listed here;
  # after each file the groups are ended, so a crashed or hung browser leaves nothing.
  CROWDFIRE_PROCESS_GROUPS=$(mktemp)
  export CROWDFIRE_PROCESS_GROUPS
  trap 'rm -f "$CROWDFIRE_PROCESS_GROUPS"' EXIT
  # One file in one browser within 10 minutes (each test within 2: tests/web/limits.mjs).
  play_in() {
    local status=0
    CROWDFIRE_BROWSER=$1 timeout --kill-after=10 600 node --test "$2" || status=$?
    while read -r group; do kill -KILL -- "-$group" 2>/dev/null || true; done <"$CROWDFIRE_PROCESS_GROUPS"
    : >"$CROWDFIRE_PROCESS_GROUPS"
    return "$status"
  }
  for browser in chromium firefox webkit; do
    echo "== testing build-web in $browser"
    started=$SECONDS
    # Chromium plays every file (its phone emulation, gamepads, packs); the other two the
    # game itself, what every engine must do and the replays (game.test.mjs, engines.test.mjs,
    # replays.test.mjs).
    suites=(game.test.mjs engines.test.mjs replays.test.mjs)
    [[ $browser == chromium ]] && suites=(*.test.mjs)
    for suite in "${suites[@]}"; do
      play_in "$browser" "$suite"
    done
    echo "== $browser: $((SECONDS - started)) s"
  done
)

# Fuzzing, soak and thread checks, each timed (README: "Fuzzing, soak and thread checks").
"$root/scripts/fuzz-soak-tsan.sh"
