#!/usr/bin/env bash
# The static check: the include graph of src/ (scripts/check-includes.sh, docs/layers.md),
# then cppcheck over our code with the checks that find faults (errors such as
# out-of-bounds access, null use, uninitialised reads, leaks; warnings; portability), not
# style. Any finding fails the run. A finding that is not a fault is suppressed in
# scripts/cppcheck-suppressions.txt, each with its reason. The browser test's npm modules
# (tests/web/node_modules, present after a first test run) are not ours and are skipped.
#   scripts/static-check.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
echo "== include graph of src/"
"$root/scripts/check-includes.sh"
echo "include graph: every include in its place"
command -v cppcheck >/dev/null || { echo "static-check: cppcheck is not installed" >&2; exit 1; }
echo "== static check (cppcheck)"
cppcheck --quiet --error-exitcode=1 --inline-suppr \
    --enable=warning,portability --std=c++20 --language=c++ \
    --library=googletest,posix \
    --suppressions-list=scripts/cppcheck-suppressions.txt \
    -I . -I src -I tools/art -I tools/scenario -I tools/sounds \
    -i tests/web/node_modules \
    -j "$(nproc)" src tools bench tests
echo "static check: no findings"
