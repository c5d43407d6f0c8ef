#!/usr/bin/env bash
# Builds the Debian package from a finished build and checks what apt would see: the
# control fields, the declared runtime libraries, the file list and lintian's verdict.
#   check_deb.sh BUILD_DIR OUTPUT_DIR APP_ID
set -euo pipefail
build=$1
out=$2
app_id=$3
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

rm -rf "$out"
mkdir -p "$out"
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$out" > "$out/cpack.log" \
    || { cat "$out/cpack.log" >&2; echo "FAIL: cpack failed" >&2; exit 1; }
debs=("$out"/crowdfire_*.deb)
[[ ${#debs[@]} -eq 1 && -f ${debs[0]} ]] || { echo "FAIL: expected one crowdfire_*.deb in $out" >&2; exit 1; }
deb=${debs[0]}

field() { dpkg-deb -f "$deb" "$1"; }
[[ $(field Package) == crowdfire ]] || fail "package name is '$(field Package)'"
[[ $(field Section) == games ]] || fail "section is '$(field Section)'"
[[ $(field Architecture) == "$(dpkg --print-architecture)" ]] || fail "architecture is '$(field Architecture)'"
depends=$(field Depends)
for library in libsdl2-2.0-0 libsdl2-mixer-2.0-0 libpng16-16 libc6 libstdc++6; do
    [[ $depends == *"$library"* ]] || fail "Depends lacks $library: $depends"
done

listing=$(dpkg-deb -c "$deb")
outside=$(awk '{print $6}' <<< "$listing" | grep -v -e '^\./usr/' -e '^\./$' -e '^\./usr/$' || true)
[[ -z $outside ]] || fail "files outside /usr: $outside"
not_root=$(awk '$2 != "root/root"' <<< "$listing")
[[ -z $not_root ]] || fail "entries not owned by root: $not_root"
for path in ./usr/games/crowdfire ./usr/libexec/crowdfire/crowdfire \
            "./usr/share/applications/$app_id.desktop" "./usr/share/metainfo/$app_id.metainfo.xml" \
            "./usr/share/icons/hicolor/256x256/apps/$app_id.png" \
            ./usr/share/games/crowdfire/stooge424.BMP ./usr/share/games/crowdfire/Sound/women_death4.ogg; do
    grep -q " $path\$" <<< "$listing" || fail "package lacks $path"
done
for program in ./usr/games/crowdfire ./usr/libexec/crowdfire/crowdfire; do
    grep -q "^-rwxr-xr-x .* $program\$" <<< "$listing" || fail "$program is not mode 0755"
done

# Debian's own checks: any error or warning fails; the rest is shown.
if ! lintian --fail-on error,warning -I --pedantic "$deb" > "$out/lintian.log" 2>&1; then
    fail "lintian: $(grep -v 'root privileges' "$out/lintian.log")"
fi

if [[ $failures -gt 0 ]]; then
    echo "$failures package check(s) failed" >&2
    exit 1
fi
echo "package $(basename "$deb") is well-formed; Depends: $depends"
