#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tempolario developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The program as a screen reader meets it: a virtual X server, a private session bus with the
# accessibility bus and its registry on it, and an archive with one stored pupil in a
# temporary working folder; accessibility.py then starts the program and reads its tree.
# Everything started here is stopped here, on success and on failure.
# Usage: accessibility.sh PROGRAM ARCHIVE_TOOL
set -euo pipefail
# shellcheck source=tests/testtime.sh
source "$(dirname "${BASH_SOURCE[0]}")/../testtime.sh"
here=$(dirname "$(realpath "$0")")
program=$(realpath "$1")
tool=$(realpath "$2")
work=$(mktemp -d)
xserver=
bus=
launcher=
# shellcheck source=tests/e2e/ours.sh
source "$here/ours.sh"
stop() {
    local code=$? left=
    unset XDG_RUNTIME_DIR DBUS_SESSION_BUS_ADDRESS
    # Without its session bus the launcher ends, and takes down the accessibility bus and the
    # registry with it.
    if [ -n "$bus" ]; then kill "$bus" 2>/dev/null || true; wait "$bus" 2>/dev/null || true; fi
    if [ -n "$launcher" ]; then wait "$launcher" 2>/dev/null || true; fi
    if [ -n "$xserver" ]; then kill "$xserver" 2>/dev/null || true; wait "$xserver" 2>/dev/null || true; fi
    local deadline=$((SECONDS + $(scaled 5)))
    while left=$(ours) && [ -n "$left" ] && [ "$SECONDS" -lt "$deadline" ]; do sleep 0.1; done
    if [ -n "$left" ]; then
        echo "accessibility: left running, now stopped:" $(ps -o comm= -p "${left//$'\n'/,}") >&2
        kill $left 2>/dev/null || true
        code=1
    fi
    rm -rf "$work"
    exit "$code"
}
trap stop EXIT
fail() { echo "accessibility: $*" >&2; exit 1; }

launch=
for candidate in /usr/libexec/at-spi-bus-launcher /usr/lib/at-spi2-core/at-spi-bus-launcher; do
    [ -x "$candidate" ] && launch=$candidate && break
done
[ -n "$launch" ] || fail "at-spi-bus-launcher not found (Debian package at-spi2-core)"
# Debian's own Python, which has pyatspi, whatever python3 comes first on the PATH.
python=/usr/bin/python3
"$python" -c 'import pyatspi' 2>/dev/null || fail "pyatspi not found (Debian package python3-pyatspi)"

cd "$work"
"$tool" crea tempolario.mdb >/dev/null
sqlite3 tempolario.mdb "INSERT INTO tempar (nome) VALUES ('Bianchi Anna')"

# The X server picks a free display itself and tells which: no race with other servers. It
# must not reset when its last client leaves (the launcher connects and leaves at its start),
# or a client arriving during the reset is turned away.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -dpi 96 -nolisten tcp -noreset 3>display 2>xserver.log &
xserver=$!
for _ in $(seq "$(scaled 200)"); do [ -s display ] && break; sleep 0.05; done
[ -s display ] || fail "the X server did not start: $(tail -n 5 xserver.log)"
export DISPLAY=:$(head -n 1 display)
for _ in $(seq "$(scaled 50)"); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
xdpyinfo >/dev/null 2>&1 || fail "the X server on $DISPLAY takes no connection: $(tail -n 5 xserver.log)"

# A session bus and a runtime folder of our own, so that nothing else on this machine sees
# or disturbs the tree, and this run disturbs no other.
mkdir -m 700 runtime
export XDG_RUNTIME_DIR=$work/runtime
dbus-daemon --session --nofork --nopidfile --print-address=3 3>bus-address 2>/dev/null &
bus=$!
for _ in $(seq "$(scaled 100)"); do [ -s bus-address ] && break; sleep 0.05; done
[ -s bus-address ] || fail "the session bus did not start"
DBUS_SESSION_BUS_ADDRESS=$(head -n 1 bus-address)
export DBUS_SESSION_BUS_ADDRESS
"$launch" --launch-immediately --a11y=1 >/dev/null 2>&1 &
launcher=$!

export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
"$python" "$here/accessibility.py" "$program"
