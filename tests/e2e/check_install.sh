#!/usr/bin/env bash
# Checks a staged install (prefix /usr under STAGE_DIR): exactly the expected files,
# each of the right sort, and a launcher that refuses to start without its data.
#   check_install.sh STAGE_DIR APP_ID
set -euo pipefail
stage=$1
app_id=$2
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

expected=$(mktemp)
actual=$(mktemp)
scratch=$(mktemp -d)
trap 'rm -rf "$expected" "$actual" "$scratch"' EXIT

{
    echo usr/games/crowdfire
    echo usr/libexec/crowdfire/crowdfire
    for f in BACKG11a24.BMP BACKG12a24.BMP sprites124.BMP \
             stooge124.BMP stooge224.BMP stooge324.BMP stooge424.BMP; do
        echo "usr/share/games/crowdfire/$f"
    done
    for f in shot.ogg equip.mp3 death1.ogg death2.ogg death3.ogg death4.ogg death5.ogg \
             mushy1.ogg mushy2.ogg wound.ogg explosion.ogg bomb_fall.ogg women_wound.ogg \
             women_death1.ogg women_death2.ogg women_death3.ogg women_death4.ogg; do
        echo "usr/share/games/crowdfire/Sound/$f"
    done
    echo "usr/share/applications/$app_id.desktop"
    echo "usr/share/metainfo/$app_id.metainfo.xml"
    for size in 32 48 64 128 256; do
        echo "usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png"
    done
    echo usr/share/man/man6/crowdfire.6.gz
    echo usr/share/doc/crowdfire/changelog.gz
    echo usr/share/doc/crowdfire/copyright
} | sort > "$expected"
(cd "$stage" && find . -type f -o -type l) | sed 's|^\./||' | sort > "$actual"
if ! diff -u "$expected" "$actual"; then
    fail "installed files differ from the expected list (- missing, + unexpected)"
fi

[[ -x $stage/usr/games/crowdfire ]] || fail "launcher is not executable"
file -b "$stage/usr/libexec/crowdfire/crowdfire" | grep -q '^ELF' || fail "game binary is not an ELF program"
grep -qx 'Exec=/usr/games/crowdfire' "$stage/usr/share/applications/$app_id.desktop" \
    || fail "desktop entry does not start /usr/games/crowdfire"
for size in 32 48 64 128 256; do
    icon=$stage/usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png
    [[ -f $icon ]] || continue
    got=$(/usr/bin/identify -format '%m %wx%h' "$icon")
    [[ $got == "PNG ${size}x${size}" ]] || fail "$icon is '$got', not a ${size}x${size} PNG"
done
for document in man/man6/crowdfire.6.gz doc/crowdfire/changelog.gz; do
    gzip -t "$stage/usr/share/$document" || fail "$document is not valid gzip"
done

# A launcher copied away from its data must say so and fail, not run the game elsewhere.
cp "$stage/usr/games/crowdfire" "$scratch/crowdfire"
set +e
message=$("$scratch/crowdfire" 2>&1)
status=$?
set -e
[[ $status -eq 1 ]] || fail "launcher without data exited with $status, not 1"
[[ $message == *"data directory"*"missing"* ]] || fail "launcher without data said: $message"

# A launcher reached through a symbolic link still looks in its own installation: in a
# copy with the data directory but no game, it gets past the data and misses the game.
mkdir -p "$scratch/copy/usr/games" "$scratch/copy/usr/share/games/crowdfire" "$scratch/elsewhere"
cp "$stage/usr/games/crowdfire" "$scratch/copy/usr/games/crowdfire"
ln -s "$scratch/copy/usr/games/crowdfire" "$scratch/elsewhere/crowdfire"
set +e
message=$("$scratch/elsewhere/crowdfire" 2>&1)
status=$?
set -e
[[ $status -eq 1 && $message == *"game program"*"missing"* ]] \
    || fail "launcher through a link did not look in its own installation: $status $message"

if [[ $failures -gt 0 ]]; then
    echo "$failures install check(s) failed" >&2
    exit 1
fi
echo "staged install is complete and well-formed"
