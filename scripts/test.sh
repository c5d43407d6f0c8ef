#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test twice: once as the game
# ships, once under AddressSanitizer and UndefinedBehaviorSanitizer.
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

# Fuzzing, soak and thread checks, each timed (README: "Fuzzing, soak and thread checks").
"$root/scripts/check-hardening.sh"
