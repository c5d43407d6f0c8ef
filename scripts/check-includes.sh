#!/usr/bin/env bash
# What the build cannot say about the includes of src/ (docs/layers.md). The build lets each
# layer reach only its own folder and the listed headers of the layers it links
# (src/CMakeLists.txt), so the compiler refuses an include that climbs a layer, crosses to
# the other platform or reaches inside gfx. An include path cannot stop three things, held
# here:
#   - a quoted include names its folder ("gfx/screen.h"): a bare "screen.h" is found beside
#     the including file, whatever the build allows;
#   - no include takes a relative step ("../gfx/screen_state.h", "sdl/../gfx/..."): it
#     reaches a file past the include path;
#   - every file sits in a layer's folder, SDL only in src/sdl, emscripten only in src/web
#     (the SDL fence, cmake/sdl_fence, shadows only SDL's main headers).
# Prints every include that breaks them and fails; silent when all is well.
#   scripts/check-includes.sh [SRC_DIR]     (default: the repository's src/)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
src=${1:-$root/src}

# The layers' folders, each a library of its own (src/CMakeLists.txt).
layers=" gfx sound game sdl web "
# System headers that belong to one platform.
declare -A platform_header=([SDL]=sdl [emscripten]=web)

status=0
complain() {
  echo "$1: $2" >&2
  status=1
}
# check_include PLACE FOLDER TEXT: one include line of a file in src/FOLDER.
check_include() {
  local place=$1 folder=$2 text=$3
  [[ $text =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*([\"\<])([^\"\>]+) ]] || return 0
  local quote=${BASH_REMATCH[1]} target=${BASH_REMATCH[2]}
  if [[ /$target/ == */./* || /$target/ == */../* ]]; then
    complain "$place" "\"$target\" takes a relative step past the include path: name the folder, \"folder/file.h\""
  elif [[ $quote == '"' && $target != */* ]]; then
    complain "$place" "\"$target\" names no folder: include it as \"folder/$target\""
  elif [[ $quote == '<' ]]; then
    local prefix owner
    for prefix in "${!platform_header[@]}"; do
      owner=${platform_header[$prefix]}
      if [[ $target == "$prefix"* && $folder != "$owner" ]]; then
        complain "$place" "<$target> belongs to src/$owner only"
      fi
    done
  fi
}

while IFS= read -r file; do
  relative=${file#"$src"/}
  folder=${relative%%/*}
  if [[ $relative != */* ]]; then
    complain "src/$relative" "a file directly in src/ belongs to no layer; put it in a folder"
    continue
  fi
  if [[ $layers != *" $folder "* ]]; then
    complain "src/$folder/" "a folder that no layer builds; add it to src/CMakeLists.txt, docs/layers.md and this script"
    continue
  fi
  while IFS=: read -r line text; do
    check_include "src/$relative:$line" "$folder" "$text"
  done < <(grep -n '^[[:space:]]*#[[:space:]]*include' "$file" || true)
done < <(find "$src" -type f \( -name '*.cpp' -o -name '*.h' \) | sort)
exit $status
