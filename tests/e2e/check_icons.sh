#!/usr/bin/env bash
# The icons are drawn from the generated art at build time: drawing them twice must give
# the same bytes (no time stamps in the PNG files), and each size must show the figure,
# not an empty or opaque square.
#   check_icons.sh MAKE_ART APP_ID
set -euo pipefail
make_art=$1
app_id=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

"$make_art" --icons "$scratch/first" "$app_id"
sleep 1 # a second later, so that any time stamp written would differ
"$make_art" --icons "$scratch/second" "$app_id"
for size in 32 48 64 128 256; do
    file=hicolor/${size}x${size}/apps/$app_id.png
    cmp -s "$scratch/first/$file" "$scratch/second/$file" || fail "$file differs between two runs"
    # Share of the square the figure covers: a person 16 pixels wide and 13 high fills
    # about half of it.
    coverage=$(/usr/bin/convert "$scratch/first/$file" -alpha extract -format '%[fx:mean]' info:)
    awk -v c="$coverage" 'BEGIN { exit !(c > 0.2 && c < 0.8) }' \
        || fail "$file covers $coverage of its square"
done
if [[ $failures -gt 0 ]]; then
    exit 1
fi
echo "icons are reproducible and show the figure"
