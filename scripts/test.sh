#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tempolario developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds, and runs every test: the unit and window tests on the
# offscreen platform, the end-to-end ones on a virtual X server that they start, and the
# checks under scripts/checks (each installs what it needs and fails on any finding).
# A failure does not stop the rest: every check runs, a table of them (result and time)
# ends the output, and the exit status is 1 when any failed.
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
(ensure_packages "${TEMPOLARIO_RUN_PACKAGES[@]}" "${TEMPOLARIO_TEST_PACKAGES[@]}" &&
    ensure_italian_locale) || { say "the test command cannot go on without them"; exit 1; }

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
# In subshells: build_tree ends its shell on a failure.
build_plain() { (build_tree "$TEMPOLARIO_ROOT/build"); }
plain_tests() {
    (cd "$TEMPOLARIO_ROOT/build" && ctest --output-on-failure --timeout "$(scaled 600)" -j 2)
}

started=$SECONDS
step build build_plain
if [[ ${summary[-1]} == *passed* ]]; then
    step "tests (ctest)" plain_tests
else
    skipped "tests (ctest)" "the build failed"
fi
shopt -s nullglob
for check in "$TEMPOLARIO_ROOT"/scripts/checks/*.sh; do
    step "$(basename "$check" .sh)" bash "$check"
done

say "summary (minutes:seconds):"
printf '  %-22s %-8s %6s\n' check result time
for line in "${summary[@]}"; do
    printf '  %s\n' "$line"
done
printf '  %-22s %-8s %6s\n' total "$([ "$failed" -eq 0 ] && echo passed || echo FAILED)" \
    "$(minutes $((SECONDS - started)))"
exit "$failed"
