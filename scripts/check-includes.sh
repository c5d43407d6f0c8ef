#!/usr/bin/env bash
# Holds src/ to its include graph (docs/layers.md): each folder includes only itself and
# the folders below it, SDL only in src/sdl, emscripten only in src/web, and nothing from
# tools/ or bench/. Prints every include that breaks it and fails; silent when all is well.
#   scripts/check-includes.sh [SRC_DIR]     (default: the repository's src/)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
src=${1:-$root/src}

# Who may include whom: a folder's own files, then the folders listed.
declare -A allowed=(
  [gfx]="gfx"
  [sound]="sound"
  [game]="game gfx sound"
  [sdl]="sdl game gfx sound"
  [web]="web game gfx sound"
)
# System headers that belong to one platform.
declare -A platform_header=([SDL]=sdl [emscripten]=web)
# The headers of gfx a platform may include: the contract it is written against
# (docs/layers.md). The rest of gfx (its state, its drawing forms, the headless display) is
# the layer's own.
platform_gfx_headers=" display.h input.h keys.h controller.h screen.h clock.h pixel_spans.h "

status=0
complain() {
  echo "$1: $2" >&2
  status=1
}
while IFS= read -r file; do
  relative=${file#"$src"/}
  folder=${relative%%/*}
  if [[ $relative != */* ]]; then
    complain "src/$relative" "a file directly in src/ belongs to no layer; put it in a folder"
    continue
  fi
  if [[ -z ${allowed[$folder]+set} ]]; then
    complain "src/$folder/" "a folder that docs/layers.md does not place; add it there and to this script"
    continue
  fi
  while IFS=: read -r line text; do
    if [[ $text =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\"([^\"]+)\" ]]; then
      target=${BASH_REMATCH[1]}
      if [[ $target != */* ]]; then
        complain "src/$relative:$line" "\"$target\" names no folder: include it as \"folder/$target\""
        continue
      fi
      to=${target%%/*}
      if [[ " ${allowed[$folder]} " != *" $to "* ]]; then
        complain "src/$relative:$line" "src/$folder may not include \"$target\" (it may include: ${allowed[$folder]})"
      elif [[ $to == gfx && ($folder == sdl || $folder == web) && $platform_gfx_headers != *" ${target#gfx/} "* ]]; then
        complain "src/$relative:$line" "\"$target\" is private to gfx; a platform includes only:$platform_gfx_headers"
      fi
    elif [[ $text =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\<([^/\>]+)[/\>] ]]; then
      header=${BASH_REMATCH[1]}
      for prefix in "${!platform_header[@]}"; do
        owner=${platform_header[$prefix]}
        if [[ $header == "$prefix"* && $folder != "$owner" ]]; then
          complain "src/$relative:$line" "<$header...> belongs to src/$owner only"
        fi
      done
    fi
  done < <(grep -n '^[[:space:]]*#[[:space:]]*include' "$file" || true)
done < <(find "$src" -type f \( -name '*.cpp' -o -name '*.h' \) | sort)
exit $status
