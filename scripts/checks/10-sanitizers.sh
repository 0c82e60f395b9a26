#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tempolario developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the program, the tools and the whole test suite with AddressSanitizer and
# UndefinedBehaviorSanitizer in build-asan, runs every test there, and fails on any report:
# from a test, or from a process a test starts (the program on the real-X road, the archive
# tool, the archive children, including the one that runs without root's rights and the
# writers killed on purpose).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../common.sh"

ensure_packages "${TEMPOLARIO_RUN_PACKAGES[@]}" "${TEMPOLARIO_TEST_PACKAGES[@]}"
ensure_italian_locale
# Instrumented, the tests and the processes they start run several times slower: their
# deadlines grow four times more than in the plain run.
TEMPOLARIO_TEST_SLOWDOWN=$(awk -v f="${TEMPOLARIO_TEST_SLOWDOWN:-$(test_slowdown)}" \
    'BEGIN { print 4 * f }')
export TEMPOLARIO_TEST_SLOWDOWN
say "deadlines in the tests scaled by $TEMPOLARIO_TEST_SLOWDOWN"
: "${CMAKE_BUILD_PARALLEL_LEVEL:=2}"
export CMAKE_BUILD_PARALLEL_LEVEL
tree="$TEMPOLARIO_ROOT/build-asan"
build_tree "$tree" -DTEMPOLARIO_SANITIZE=ON

# Reports go to files rather than to stderr, so that none is lost in a child whose exit
# status or output a test does not look at (the program under road.sh, a tool run that is
# expected to fail with status 1). Every child inherits these variables. One child drops
# root's rights before it runs, and a sanitizer that cannot reach its report folder or its
# suppressions ends the process at once (GCC 14's does, at start): both lie in a folder
# that anyone may enter, not in the checkout, which may be in a private home (/root). The
# reports are moved to build-asan/sanitizer-logs at the end.
open_dir=$(mktemp -d)
chmod 755 "$open_dir"
logs="$open_dir/logs"
mkdir -m 1777 "$logs"
install -m 644 "$TEMPOLARIO_ROOT/scripts/checks/lsan.supp" "$open_dir/lsan.supp"
kept_logs="$tree/sanitizer-logs"
rm -rf "$kept_logs"
asan_options="halt_on_error=1:detect_stack_use_after_return=1:strict_init_order=1:log_exe_name=1:log_path=$logs/asan"
export LSAN_OPTIONS="suppressions=$open_dir/lsan.supp:print_suppressions=0"

# The tests run with a home and a runtime folder of their own, so that nothing of the
# desktop they are started from reaches them: a screen reader's bus under ~/.cache/at-spi,
# for one, makes every window test start Qt's accessibility bridge and its D-Bus thread,
# beside which LeakSanitizer's tracer crashes.
test_home=$(mktemp -d)
trap 'mv "$logs" "$kept_logs"; rm -rf "$test_home" "$open_dir"' EXIT
mkdir -m 700 "$test_home/runtime"
export HOME="$test_home" XDG_RUNTIME_DIR="$test_home/runtime"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:log_exe_name=1:log_path=$logs/ubsan"

# A report that is nothing but LeakSanitizer's own tracer crashing: the tool failed, not
# our code ("Tracer caught signal 11" while it stops the threads to scan their stacks).
tracer_crash_only() {
    grep -q 'Tracer caught signal' "$1" &&
        ! grep -qE 'ERROR: (AddressSanitizer|LeakSanitizer: detected)|runtime error|SUMMARY:' "$1"
}
# Moves the tracer-only reports aside; true when there were some and nothing else.
set_tracer_crashes_aside() {
    local report found=1
    shopt -s nullglob
    for report in "$logs"/*; do
        tracer_crash_only "$report" || return 1
        mv "$report" "$tracer_logs/" && found=0
    done
    return $found
}
tracer_logs="$tree/sanitizer-tracer-crashes"
rm -rf "$tracer_logs"
mkdir -p "$tracer_logs"

# The tests that failed so far, as ctest lists them in LastTestsFailed.log ("N:name"): every
# run adds its own, and a run of the failed tests again replaces them with its own.
failed_so_far=$tree/sanitizer-failed-tests
last_failed=$tree/Testing/Temporary/LastTestsFailed.log
: >"$failed_so_far"
run_tests() {
    local code=0
    rm -f "$last_failed"
    (cd "$tree" && ctest --output-on-failure --timeout "$(scaled 600)" "$@") || code=1
    [ "$code" -eq 0 ] || [ ! -f "$last_failed" ] || cat "$last_failed" >>"$failed_so_far"
    return "$code"
}
run_failed_again() {
    mkdir -p "$(dirname "$last_failed")"
    cp "$failed_so_far" "$last_failed"
    : >"$failed_so_far"
    run_tests --rerun-failed
}

status=0
# Every test but the real-X ones, with leak checking. When the only reports are the tracer's
# own crashes, the failed tests run again, up to twice, still with leak checking; a test
# whose tracer crashes every time runs once more without it (address errors and undefined
# behaviour still reported), and that is said, not hidden.
ASAN_OPTIONS="$asan_options:detect_leaks=1" run_tests -j 2 -LE 'realx|load' || status=1
# The load test (label load) starts 300 client processes at once; instrumented, each is
# several times slower and larger, so it runs alone, with nothing else on the processors.
ASAN_OPTIONS="$asan_options:detect_leaks=1" run_tests -L load || status=1
tries=0
while [ "$status" -ne 0 ] && [ "$tries" -lt 2 ] && set_tracer_crashes_aside; do
    tries=$((tries + 1))
    say "LeakSanitizer's tracer crashed (no fault reported); running the failed tests again"
    status=0
    ASAN_OPTIONS="$asan_options:detect_leaks=1" run_failed_again || status=1
done
if [ "$status" -ne 0 ] && set_tracer_crashes_aside; then
    say "LeakSanitizer's tracer crashed on every try; the failed tests once more without leak checking:"
    status=0
    ASAN_OPTIONS="$asan_options:detect_leaks=0" run_failed_again || status=1
fi
# The real-X tests (label realx) without it: LeakSanitizer's tracer, which stops every
# thread to scan their stacks, itself crashes at times in a process with Qt's xcb and D-Bus
# threads ("Tracer caught signal 11"), failing a run that found nothing. The code they
# drive is the same that the offscreen window tests run with leak checking on; address
# errors and undefined behaviour are still reported here.
ASAN_OPTIONS="$asan_options:detect_leaks=0" run_tests -j 2 -L realx || status=1

shopt -s nullglob
reports=("$logs"/*)
if [ ${#reports[@]} -gt 0 ]; then
    for report in "${reports[@]}"; do
        say "sanitizer report $(basename "$report"):"
        cat "$report"
    done
    status=1
fi
# What failed, said apart: tests that failed, and reports of the sanitizers (a test can fail
# without any, as a report can come from a process whose test still passed).
mapfile -t failed_tests < <(cut -d: -f2- "$failed_so_far" | sort -u)
if [ ${#failed_tests[@]} -gt 0 ]; then
    say "tests failed in the sanitizer build (${#failed_tests[@]}): ${failed_tests[*]}"
elif [ "$status" -ne 0 ] && [ ${#reports[@]} -eq 0 ]; then
    say "ctest failed without a failed test (see its output above)"
fi
if [ ${#reports[@]} -gt 0 ]; then
    say "sanitizer reports: ${#reports[@]}, kept in $kept_logs (shown above)"
else
    say "sanitizer reports: none"
fi
tracer_crashes=("$tracer_logs"/*)
[ ${#tracer_crashes[@]} -eq 0 ] ||
    say "LeakSanitizer's tracer crashed ${#tracer_crashes[@]} time(s), no fault in them: $tracer_logs"
[ "$status" -eq 0 ] || exit 1
say "sanitizers: every test passed, no reports"
