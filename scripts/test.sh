#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tempolario developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds, and runs every test: the unit and window tests on the
# offscreen platform, the end-to-end ones on a virtual X server that they start, and the
# checks under scripts/checks (each installs what it needs and fails on any finding).
# A failure does not stop the rest: every check runs, a table of them (result and time)
# ends the output, and the exit status is 1 when any failed. The static analysis, which
# keeps the processors busy, runs beside the tests, which mostly wait (for windows, servers
# and time-outs); its output is shown when it ends, before the fuzzing.
#
# TEMPOLARIO_TEST_SLOWDOWN (a number of at least 1) multiplies every deadline in the tests;
# by default it follows the machine's load as each step starts (2 on an idle machine), so a
# machine that gets busy while the build runs still gets its time, and the sanitizer check
# multiplies it again.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

given_slowdown=${TEMPOLARIO_TEST_SLOWDOWN:-}
# The factor for the next step: the one given, or the machine's load now.
slowdown_now() {
    export TEMPOLARIO_TEST_SLOWDOWN=${given_slowdown:-$(test_slowdown)}
    say "deadlines in the tests scaled by $TEMPOLARIO_TEST_SLOWDOWN (TEMPOLARIO_TEST_SLOWDOWN)"
}

# Nothing can run without the packages and the locale; a failure there ends the command.
(ensure_packages "${TEMPOLARIO_RUN_PACKAGES[@]}" "${TEMPOLARIO_TEST_PACKAGES[@]}" \
    "${TEMPOLARIO_ANALYSIS_PACKAGES[@]}" && ensure_italian_locale) ||
    { say "the test command cannot go on without them"; exit 1; }

summary=()
failed=0
# Runs one step (a name, then the command), timed, and notes its result for the table.
step() {
    local name=$1 began=$SECONDS result=passed
    shift
    say "── $name"
    slowdown_now
    "$@" || { result=FAILED; failed=1; }
    summary+=("$(printf '%-22s %-8s %6s' "$name" "$result" "$(minutes $((SECONDS - began)))")")
    say "$name: $result"
}
minutes() { printf '%d:%02d' $(($1 / 60)) $(($1 % 60)); }
skipped() {
    summary+=("$(printf '%-22s %-8s %6s' "$1" "skipped" "-")")
    say "$1: skipped ($2)"
    failed=1
}
# A step started in the background (one at a time), its output kept in a file until it ends.
beside_pid=""
beside_name=""
beside_log=""
beside_began=0
# In a session of its own, so that an interrupted test command stops it with its children.
trap '[ -z "$beside_pid" ] || kill -- -"$beside_pid" 2>/dev/null; rm -f "$beside_log"' EXIT
start_beside() {
    beside_name=$1 beside_began=$SECONDS
    shift
    beside_log=$(mktemp)
    say "── $beside_name: runs beside the tests; what it says follows when it ends"
    setsid "$@" >"$beside_log" 2>&1 </dev/null &
    beside_pid=$!
}
end_beside() {
    [ -n "$beside_pid" ] || return 0
    local result=passed
    wait "$beside_pid" || { result=FAILED; failed=1; }
    beside_pid=""
    say "── $beside_name (it ran beside the tests)"
    cat "$beside_log"
    rm -f "$beside_log"
    summary+=("$(printf '%-22s %-8s %6s' "$beside_name" "$result" \
        "$(minutes $((SECONDS - beside_began)))")")
    say "$beside_name: $result"
}
# In subshells: build_tree ends its shell on a failure.
build_plain() { (build_tree "$TEMPOLARIO_ROOT/build"); }
plain_tests() {
    (cd "$TEMPOLARIO_ROOT/build" && ctest --output-on-failure --timeout "$(scaled 600)" -j 2)
}

started=$SECONDS
checks=$TEMPOLARIO_ROOT/scripts/checks
analysis=20-static-analysis
step build build_plain
if [[ ${summary[-1]} == *passed* ]]; then
    start_beside "$analysis" bash "$checks/$analysis.sh"
    step "tests (ctest)" plain_tests
else
    skipped "tests (ctest)" "the build failed"
fi
shopt -s nullglob
for check in "$checks"/*.sh; do
    name=$(basename "$check" .sh)
    if [ "$name" = "$analysis" ] && [ -n "$beside_pid" ]; then
        continue
    fi
    # Only the sanitizers' tests run beside the static analysis: the later checks build
    # and fuzz, and would only take the processors from it.
    [ "$name" = 10-sanitizers ] || end_beside
    step "$name" bash "$check"
done
end_beside

say "summary (minutes:seconds):"
printf '  %-22s %-8s %6s\n' check result time
for line in "${summary[@]}"; do
    printf '  %s\n' "$line"
done
printf '  %-22s %-8s %6s\n' total "$([ "$failed" -eq 0 ] && echo passed || echo FAILED)" \
    "$(minutes $((SECONDS - started)))"
exit "$failed"
