#!/usr/bin/env bash
# Replays one scenario script, or one replay file recorded by the game, headless and holds
# its page and pool hashes (and a replay's verdict) to the answers stored beside it
# (NAME.expected), or with --write stores the answers it gets.
#   replay.sh SCENARIO_TOOL RUN_DIR SCRIPT.txt|GAME.cfreplay [--write]
set -euo pipefail
tool=$1
run_dir=$2
script=$3
expected=${script%.*}.expected
output=$(mktemp --suffix=.bmp)
trap 'rm -f "$output"' EXIT

# The first three lines the tool prints: frame count, page hash, pools hash; for a replay
# also its last, the verdict, whatever status it leaves with.
if [[ $script == *.cfreplay ]]; then
    all=$("$tool" --replay "$script" "$run_dir" "$output") || true
    got=$(head -n 3 <<< "$all"; tail -n 1 <<< "$all")
    remedy="A change to the game that alters it needs a new recording: tests/replays/record_real_play.py."
    written="Stored with the recording by tests/replays/record_real_play.py."
else
    got=$("$tool" "$script" "$run_dir" "$output" | head -n 3)
    remedy="If the change was intended: scripts/update-scenario-hashes.sh, and say why in the commit."
    written="Rewritten by
# scripts/update-scenario-hashes.sh after an intended change; the commit says why."
fi

if [[ ${4:-} == --write ]]; then
    {
        echo "# The end of $(basename "$script") as the game plays it now. $written"
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
    echo "$remedy" >&2
    exit 1
fi
echo "$(basename "$script"): $(tr '\n' ' ' <<< "$got")"
