#!/usr/bin/env bash
# Formats our C++ in the house format (.clang-format). With --check it changes nothing
# and lists the files that are not in it.
#   scripts/format.sh [--check] [FILE...]   (default: every source file in src tools tests bench)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
check=false
if [[ ${1:-} == --check ]]; then check=true; shift; fi
if [[ $# -eq 0 ]]; then
    mapfile -t files < <(git ls-files 'src/*.cpp' 'src/*.h' 'tools/*.cpp' 'tools/*.h' \
                                      'tests/*.cpp' 'tests/*.h' 'bench/*.cpp' 'bench/*.h')
else
    files=("$@")
fi
if $check; then
    clang-format --dry-run --Werror "${files[@]}"
else
    clang-format -i "${files[@]}"
fi
