# The options of every ASan + UBSan run, sourced by test.sh and fuzz-soak-tsan.sh (a
# caller's own ASAN_OPTIONS, LSAN_OPTIONS or UBSAN_OPTIONS wins): stop at the first error
# with its stack, and report every leak but those the libraries we call make inside
# themselves (tests/lsan.supp, each with its reason).
sanitizer_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$sanitizer_root/tests/lsan.supp:print_suppressions=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
