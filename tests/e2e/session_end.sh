#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tempolario developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The real program ended from outside in the middle of an exercise, on an X server of the
# script's own: three answers, never stored by a button, must be in the archive afterwards.
# HOW is TERM (logout, shutdown), HUP or INT sent to the program, xgone (the X server
# killed), or locked: SIGTERM while another program keeps the archive locked, when the
# program must say on stderr that the run is lost, store nothing and exit with 1.
# Usage: session_end.sh PROGRAM ARCHIVE_TOOL HOW [--servizio]
set -euo pipefail
program=$(realpath "$1")
tool=$(realpath "$2")
how=$3
server=${4:-}
here=$(dirname "$(realpath "${BASH_SOURCE[0]}")")
work=$(mktemp -d)
pid='' xpid='' holder=''
cleanup() {
    for p in "$pid" "$holder" "$xpid"; do [ -z "$p" ] || kill "$p" 2>/dev/null || true; done
    drop_archive 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
cd "$work"
# shellcheck source=tests/e2e/archive.sh
source "$here/archive.sh"
# shellcheck source=tests/e2e/xdo.sh
source "$here/xdo.sh"
fail() { echo "session_end ($how): $*" >&2; exit 1; }

Xvfb -displayfd 4 -screen 0 1280x1024x24 -dpi 96 -nolisten tcp 4>display 2>/dev/null & xpid=$!
timeout "$(scaled 30)" bash -c 'until [ -s display ]; do sleep 0.1; done' || fail "Xvfb did not start"
DISPLAY=:$(cat display)
export DISPLAY

QT_QPA_PLATFORM=xcb "$program" "${program_arguments[@]}" 2>stderr & pid=$!
name=$(window '^Tempolario$') || fail "the name window did not show"
type_name "$name" "Rossi Mario" || fail "the input box did not show"
drill=$(window '^TEMPOLARIO DEI FATTI') || fail "the exercise window did not show"
for k in 0 1 2; do drag_first_date "$drill" "$k"; done
# Time for the program to handle the drops (the X server has them already).
sleep "$(scaled 1)"

if [ "$how" = locked ]; then
    # Another program's transaction, which keeps everyone else out until it ends.
    mkfifo hold
    other_session <hold >held & holder=$!
    exec 3>hold
    if [ "$server" = --servizio ]; then
        echo "BEGIN; LOCK TABLE tempar IN ACCESS EXCLUSIVE MODE; SELECT 'held';" >&3
    else
        printf 'BEGIN EXCLUSIVE;\n.print held\n' >&3
    fi
    timeout "$(scaled 30)" bash -c 'until grep -q held held; do sleep 0.1; done' || fail "no lock taken"
fi
case $how in
    xgone) kill -KILL "$xpid"; xpid= ;;
    *) kill -"${how/locked/TERM}" "$pid" ;;
esac
for _ in $(seq "$(scaled 300)"); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "the program did not end"
code=0
wait "$pid" || code=$?
pid=
if [ "$how" = locked ]; then
    grep -q "«Rossi Mario» (.* giuste su 3, .*NON sono stati salvati" stderr ||
        fail "no message on stderr: $(cat stderr)"
    exec 3>&-
    wait "$holder" || true
    holder=
    expected='' wanted=1
else
    # Qt's X11 plugin ends the program with status 1 when its display is gone.
    expected=3 wanted=$([ "$how" = xgone ] && echo 1 || echo 0)
fi
given=$(stored "SELECT sbagliate FROM tempar WHERE nome = 'Rossi Mario'")
[ "$given" = "$expected" ] || fail "stored answers: '$given' (status $code; stderr: $(cat stderr))"
[ "$code" = "$wanted" ] || fail "the program ended with status $code"
echo "session_end ($how): passed (status $code)"
