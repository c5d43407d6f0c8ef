#!/usr/bin/env bash
# Fuzzing, soak and thread checks, each timed:
#   fuzz   libFuzzer on loadBitmap, the scenario parser and the replay reader, clang with ASan + UBSan
#   soak   random headless play with the pools checked every frame, under ASan + UBSan
#   tsan   the real SDL game under ThreadSanitizer, played under Xvfb with xdotool
# scripts/test.sh runs them after the test suites, whose build-sanitize (soak) and
# build-test/run (the game's pictures and sounds, for tsan) they use.
#
#   scripts/fuzz-soak-tsan.sh [fuzz|soak|tsan]...   (all three by default)
# Lengths: FUZZ_SECONDS per target (30), SOAK_FRAMES (100000), TSAN_SECONDS (30).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)
# The fuzzers and the soak run under ASan with test.sh's options, leaks reported.
source "$root/scripts/sanitizer-options.sh"

fuzz() {
  local dir=$root/build-fuzz
  cmake -S "$root" -B "$dir" -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCROWDFIRE_FUZZ=ON -DCROWDFIRE_SANITIZE=ON -DCROWDFIRE_TESTS=OFF >/dev/null
  cmake --build "$dir" -j "$jobs" --target crowdfire_fuzz_bitmap crowdfire_fuzz_scenario crowdfire_fuzz_replay
  for target in bitmap scenario replay; do
    # New finds go to the build's own corpus; the seeds in the repository stay as they are.
    mkdir -p "$dir/corpus/$target"
    "$dir/fuzz_$target" -max_total_time="${FUZZ_SECONDS:-30}" -max_len=8192 -print_final_stats=1 \
      "$dir/corpus/$target" "$root/tests/fuzz/corpus/$target"
  done
}

soak() {
  "$root/scripts/build.sh" "$root/build-sanitize" -DCMAKE_BUILD_TYPE=Debug -DCROWDFIRE_SANITIZE=ON
  "$root/build-sanitize/soak" "$root/build-sanitize/run" --frames "${SOAK_FRAMES:-100000}"
}

tsan() {
  local dir=$root/build-tsan
  cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCROWDFIRE_TESTS=OFF \
    -DCMAKE_C_FLAGS=-fsanitize=thread -DCMAKE_CXX_FLAGS=-fsanitize=thread \
    -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=thread >/dev/null
  cmake --build "$dir" -j "$jobs" --target crowdfire_program
  [[ -d "$root/build-test/run/Sound" ]] || "$root/scripts/build.sh" "$root/build-test"
  python3 "$root/tests/e2e/tsan_play.py" "$dir/run/crowdfire" "$root/build-test/run" \
    "$root/tests/tsan.supp" "${TSAN_SECONDS:-30}"
}

checks=("$@")
[[ ${#checks[@]} -gt 0 ]] || checks=(fuzz soak tsan)
for check in "${checks[@]}"; do
  case $check in
    fuzz | soak | tsan) ;;
    *) echo "fuzz-soak-tsan: no check named $check (fuzz, soak, tsan)" >&2; exit 2 ;;
  esac
  echo "== $check"
  start=$SECONDS
  "$check"
  echo "== $check took $((SECONDS - start)) s"
done
