#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tempolario developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the libFuzzer targets with clang in build-fuzz and runs each for a short, bounded
# time on a copy of the corpus under fuzz/corpus; fails on any crash, leak, time-out or
# sanitizer report. Inputs that fail are kept in build-fuzz/artifacts; to replay one:
#   build-fuzz/fuzz/fuzz_archive build-fuzz/artifacts/crash-...
# TEMPOLARIO_FUZZ_SECONDS sets the time of each run (30 by default).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../common.sh"

ensure_packages "${TEMPOLARIO_RUN_PACKAGES[@]}" clang "$TEMPOLARIO_CLANG_RT"

dir=$TEMPOLARIO_ROOT/build-fuzz
seconds=${TEMPOLARIO_FUZZ_SECONDS:-30}
# An input that takes longer than this is reported as a hang: 10 s on an idle machine,
# scaled as the tests' deadlines are.
hang=$(awk -v f="${TEMPOLARIO_TEST_SLOWDOWN:-$(test_slowdown)}" 'BEGIN { printf "%d\n", 10 * f + 0.999 }')
targets=(nametidy archive)

# The compiler is chosen at the first configure only: a folder made another way is made again.
if [ -f "$dir/CMakeCache.txt" ] &&
    ! { grep -q '^CMAKE_CXX_COMPILER:[A-Z]*=.*clang++' "$dir/CMakeCache.txt" &&
        grep -q '^TEMPOLARIO_FUZZ:BOOL=ON' "$dir/CMakeCache.txt"; }; then
    rm -rf "$dir"
fi
export CC=clang CXX=clang++
if [ ! -f "$dir/build.ninja" ]; then
    cmake -S "$TEMPOLARIO_ROOT" -B "$dir" -G Ninja -DTEMPOLARIO_FUZZ=ON >/dev/null ||
        { say "fuzz: cmake configure failed"; exit 1; }
fi
cmake --build "$dir" --parallel 2 --target "${targets[@]/#/fuzz_}" ||
    { say "fuzz: build failed"; exit 1; }

# The archive target saves thousands of times a second, each save synced: on a memory file
# system when there is one. Its temporary folders go under work, removed at the end.
shm=()
[ -d /dev/shm ] && [ -w /dev/shm ] && shm=(-p /dev/shm)
work=$(mktemp -d "${shm[@]}")
trap 'rm -rf "$work"' EXIT
mkdir -p "$dir/artifacts"
for target in "${targets[@]}"; do
    # New inputs go into the copy; the corpus in the repository stays as committed.
    cp -r "$TEMPOLARIO_ROOT/fuzz/corpus/$target" "$work/$target"
    log=$work/$target.log
    if ! TMPDIR=$work "$dir/fuzz/fuzz_$target" "$work/$target" -max_total_time="$seconds" \
        -timeout="$hang" -rss_limit_mb=2048 -max_len=512 -print_final_stats=1 \
        -artifact_prefix="$dir/artifacts/$target-" >"$log" 2>&1; then
        tail -n 80 "$log"
        say "fuzz: fuzz_$target failed; the input is in $dir/artifacts"
        exit 1
    fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    say "fuzz: fuzz_$target clean: $runs inputs in ${seconds}s"
done
