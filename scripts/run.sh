#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tempolario developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds, and starts Tempolario in its working folder
# (TEMPOLARIO_HOME, by default ~/Tempolario), creating an empty archive there if none exists.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

ensure_packages "${TEMPOLARIO_RUN_PACKAGES[@]}"
build_tree "$TEMPOLARIO_ROOT/build"

home=${TEMPOLARIO_HOME:-$HOME/Tempolario}
mkdir -p "$home"
say "working folder: $home (the archive is $home/tempolario.mdb)"
if [ ! -e "$home/tempolario.mdb" ] && [ -x "$TEMPOLARIO_ROOT/build/tools/tempolario-archivio" ]; then
    "$TEMPOLARIO_ROOT/build/tools/tempolario-archivio" crea "$home/tempolario.mdb"
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    # The advice below must work as given: the virtual X server and xauth, which xvfb-run
    # needs, are installed before it is given.
    ensure_packages "${TEMPOLARIO_VIRTUAL_DISPLAY_PACKAGES[@]}"
    say "no display to show the windows on (neither DISPLAY nor WAYLAND_DISPLAY is set)."
    say "run this from a desktop session, or under a virtual one:"
    say "  xvfb-run -a bash $TEMPOLARIO_ROOT/scripts/run.sh"
    exit 2
fi
cd "$home"
exec "$TEMPOLARIO_ROOT/build/src/app/tempolario"
