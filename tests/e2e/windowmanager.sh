#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tempolario developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a command under a real window manager (openbox) on the X server in DISPLAY, so that
# windows get the frames, title bars and free area of a desktop: where a window lands with
# its frame, and what a panel leaves free, are the window manager's to decide.
# Usage (under xvfb-run): windowmanager.sh COMMAND [ARGUMENTS...]
set -euo pipefail
# shellcheck source=tests/testtime.sh
source "$(dirname "${BASH_SOURCE[0]}")/../testtime.sh"
# The X server first answers on its own time.
for _ in $(seq "$(scaled 100)"); do xprop -root >/dev/null 2>&1 && break; sleep 0.05; done
logs=$(mktemp -d)
wm=
trap 'kill "$wm" 2>/dev/null || true; rm -rf "$logs"' EXIT
# The window manager announces itself on the root window once it manages the screen. A
# server still settling may refuse the first connection: start it again, a few times.
for _ in 1 2 3; do
    openbox --sm-disable >"$logs/openbox.log" 2>&1 &
    wm=$!
    for _ in $(seq "$(scaled 200)"); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break 2
        kill -0 "$wm" 2>/dev/null || break
        sleep 0.05
    done
    kill -0 "$wm" 2>/dev/null && break
    sleep 0.2
done
xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id' ||
    { cat "$logs/openbox.log" >&2; echo "windowmanager: openbox did not start" >&2; exit 1; }
"$@"
