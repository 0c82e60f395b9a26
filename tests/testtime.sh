# SPDX-FileCopyrightText: 2026 The Tempolario developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The deadlines of the shell tests, scaled as those of the C++ tests (testtime.h): "scaled N"
# prints N (seconds, or rounds of a polling loop) times TEMPOLARIO_TEST_SLOWDOWN, rounded up.
# Sourced, not run.

scaled() {
    awk -v n="$1" -v f="${TEMPOLARIO_TEST_SLOWDOWN:-1}" 'BEGIN {
        if (f !~ /^[0-9]+(\.[0-9]+)?$/ || f < 1 || f > 1000) {
            print "TEMPOLARIO_TEST_SLOWDOWN must be a number from 1 to 1000, not " f > "/dev/stderr"
            exit 1
        }
        v = n * f
        printf "%d\n", (v == int(v)) ? v : int(v) + 1
    }'
}
