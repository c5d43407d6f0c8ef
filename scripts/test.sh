#!/usr/bin/env bash
# Installs what is missing, runs the static check, then builds and runs every test twice
# (once as the game ships in build-test, once under AddressSanitizer and
# UndefinedBehaviorSanitizer in build-sanitize), plays the browser version in headless
# Chromium, and ends with the fuzzing, soak and thread checks (scripts/fuzz-soak-tsan.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"

export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

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

# The browser version, played in headless Chromium (tests/web); puppeteer-core comes from
# npm at the version package-lock.json pins, installed again only when the lock changes.
echo "== building build-web"
"$root/scripts/build-web.sh"
echo "== testing build-web in chromium"
(
  cd "$root/tests/web"
  if ! cmp -s package-lock.json node_modules/.crowdfire-lock; then
    npm ci --no-audit --no-fund
    cp package-lock.json node_modules/.crowdfire-lock
  fi
  # One file at a time: each starts its own Chromium, and two at once on a small machine
  # would hold each other under the frame rates the tests ask for.
  for suite in *.test.mjs; do
    node --test "$suite"
  done
)

# Fuzzing, soak and thread checks, each timed (README: "Fuzzing, soak and thread checks").
"$root/scripts/fuzz-soak-tsan.sh"
