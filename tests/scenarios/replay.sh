#!/usr/bin/env bash
# Replays one scenario script headless and holds its page and pool hashes to the answers
# stored beside it (NAME.expected), or with --write stores the answers it gets.
#   replay.sh SCENARIO_TOOL RUN_DIR SCRIPT.txt [--write]
set -euo pipefail
tool=$1
run_dir=$2
script=$3
expected=${script%.txt}.expected
output=$(mktemp --suffix=.bmp)
trap 'rm -f "$output"' EXIT

# The first three lines the tool prints: frame count, page hash, pools hash.
got=$("$tool" "$script" "$run_dir" "$output" | head -n 3)

if [[ ${4:-} == --write ]]; then
    {
        echo "# The end of $(basename "$script") as the game plays it now. Rewritten by"
        echo "# scripts/update-scenario-hashes.sh after an intended change; the commit says why."
        echo "$got"
    } > "$expected"
    echo "wrote $expected"
    exit 0
fi

[[ -f $expected ]] || { echo "FAIL: no stored answers in $expected" >&2; exit 1; }
want=$(grep -v '^#' "$expected")
if [[ $got != "$want" ]]; then
    echo "FAIL: $(basename "$script") no longer plays as stored in $(basename "$expected")" >&2
    diff <(echo "$want") <(echo "$got") | sed 's/^/  /' >&2 || true
    echo "If the change was intended: scripts/update-scenario-hashes.sh, and say why in the commit." >&2
    exit 1
fi
echo "$(basename "$script"): $(tr '\n' ' ' <<< "$got")"
