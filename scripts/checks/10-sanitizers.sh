#!/usr/bin/env bash
# Builds the program, the tools and the whole test suite with AddressSanitizer and
# UndefinedBehaviorSanitizer in build-asan, runs every test there, and fails on any report:
# from a test, or from a process a test starts (the program on the real-X road, the archive
# tool, the archive children, including the one that runs without root's rights and the
# writers killed on purpose).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../common.sh"

ensure_packages "${TEMPOLARIO_RUN_PACKAGES[@]}" "${TEMPOLARIO_TEST_PACKAGES[@]}"
ensure_italian_locale
: "${CMAKE_BUILD_PARALLEL_LEVEL:=2}"
export CMAKE_BUILD_PARALLEL_LEVEL
tree="$TEMPOLARIO_ROOT/build-asan"
build_tree "$tree" -DTEMPOLARIO_SANITIZE=ON

# Reports go to files rather than to stderr, so that none is lost in a child whose exit
# status or output a test does not look at (the program under road.sh, a tool run that is
# expected to fail with status 1). Every child inherits these variables. The folder is
# writable by all because one child drops root's rights before it runs.
logs="$tree/sanitizer-logs"
rm -rf "$logs"
mkdir -m 1777 "$logs"
asan_options="halt_on_error=1:detect_stack_use_after_return=1:strict_init_order=1:log_exe_name=1:log_path=$logs/asan"
export LSAN_OPTIONS="suppressions=$TEMPOLARIO_ROOT/scripts/checks/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:log_exe_name=1:log_path=$logs/ubsan"

status=0
# Every test but the real-X ones, with leak checking.
(cd "$tree" && ASAN_OPTIONS="$asan_options:detect_leaks=1" \
    ctest --output-on-failure --timeout 600 -j 2 -LE realx) || status=1
# The real-X tests (label realx) without it: LeakSanitizer's tracer, which stops every
# thread to scan their stacks, itself crashes at times in a process with Qt's xcb and D-Bus
# threads ("Tracer caught signal 11"), failing a run that found nothing. The code they
# drive is the same that the offscreen window tests run with leak checking on; address
# errors and undefined behaviour are still reported here.
(cd "$tree" && ASAN_OPTIONS="$asan_options:detect_leaks=0" \
    ctest --output-on-failure --timeout 600 -j 2 -L realx) || status=1

shopt -s nullglob
reports=("$logs"/*)
if [ ${#reports[@]} -gt 0 ]; then
    for report in "${reports[@]}"; do
        say "sanitizer report $(basename "$report"):"
        cat "$report"
    done
    status=1
fi
[ "$status" -eq 0 ] || { say "the sanitizer build found faults (see above)"; exit 1; }
say "sanitizers: no reports"
