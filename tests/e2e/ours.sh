# shellcheck shell=bash disable=SC2154 # work is set by the script that sources this
# SPDX-FileCopyrightText: 2026 The Tempolario developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Shared by the screen-reader tests, which start an X server, a session bus and the
# accessibility bus of their own. Sourced, not run; the caller sets work to its folder.

# Processes of this run are told apart from everyone else's by this folder in their
# environment: the accessibility bus and the registry are started by the launcher and the
# bus, not by this script. Called once the folder is out of this shell's own environment, so
# that the search does not find itself.
ours() {
    local environ p stat
    for environ in $(grep -lzs -- "XDG_RUNTIME_DIR=$work/runtime" /proc/[0-9]*/environ); do
        p=${environ#/proc/}
        p=${p%/environ}
        read -r stat 2>/dev/null <"/proc/$p/stat" || continue
        # The state follows the command's name in brackets: R, S, D... or Z for one that ended.
        stat=${stat##*) }
        case ${stat%% *} in Z | X) ;; *) echo "$p" ;; esac
    done
    return 0
}
