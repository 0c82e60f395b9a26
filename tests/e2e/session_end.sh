#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tempolario developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The real program ended from outside in the middle of an exercise, on an X server of the
# script's own: the pupil's answers, never stored by a button, must be in the archive
# afterwards. HOW is TERM (logout, shutdown), HUP or INT sent to the program, xgone (the
# X server killed under it), or locked: SIGTERM while another program keeps the archive
# locked, when the program must say on stderr that the run is lost and exit with 1.
# Usage: session_end.sh PROGRAM ARCHIVE_TOOL HOW [--servizio]
set -euo pipefail
program=$(realpath "$1")
tool=$(realpath "$2")
how=$3
here=$(dirname "$(realpath "${BASH_SOURCE[0]}")")
server=${4:-}
work=$(mktemp -d)
pid=
xpid=
holder=
cleanup() {
    for p in "$pid" "$holder" "$xpid"; do
        if [ -n "$p" ]; then kill "$p" 2>/dev/null || true; fi
    done
    exec 3>&- || true
    drop_archive 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
cd "$work"
# shellcheck source=tests/e2e/archive.sh
source "$here/archive.sh"
fail() { echo "session_end ($how): $*" >&2; exit 1; }
# shellcheck source=tests/e2e/xdo.sh
source "$here/xdo.sh"

Xvfb -displayfd 4 -screen 0 1280x1024x24 -dpi 96 -nolisten tcp 4>"$work/display" 2>/dev/null &
xpid=$!
timeout 30 bash -c "until [ -s '$work/display' ]; do sleep 0.1; done" || fail "Xvfb did not start"
DISPLAY=:$(cat "$work/display")
export DISPLAY

QT_QPA_PLATFORM=xcb "$program" "${program_arguments[@]}" 2>"$work/stderr" & pid=$!
name=$(window '^Tempolario$') || fail "the name window did not show"
type_name "$name" "Rossi Mario" || fail "the input box did not show"
drill=$(window '^TEMPOLARIO DEI FATTI') || fail "the exercise window did not show"
for k in 0 1 2; do drag_first_date "$drill" "$k"; done
sleep 0.5

if [ "$how" = locked ]; then
    # Another program's transaction that keeps everyone else out until it ends.
    mkfifo "$work/hold"
    other_session <"$work/hold" >"$work/held" & holder=$!
    exec 3>"$work/hold"
    if [ "$server" = --servizio ]; then
        echo "BEGIN; LOCK TABLE tempar IN ACCESS EXCLUSIVE MODE; SELECT 'held';" >&3
    else
        printf 'BEGIN EXCLUSIVE;\n.print held\n' >&3
    fi
    timeout 30 bash -c "until grep -q held '$work/held'; do sleep 0.1; done" ||
        fail "the other program did not take the lock"
fi
case $how in
    TERM | HUP | INT | locked) kill -"${how/locked/TERM}" "$pid" ;;
    xgone) kill -KILL "$xpid"; xpid= ;;
    *) fail "unknown way: $how" ;;
esac
for _ in $(seq 300); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "the program did not end"
code=0
wait "$pid" || code=$?
pid=

if [ "$how" = locked ]; then
    grep -q "NON sono stati salvati" "$work/stderr" || fail "no message on stderr: $(cat "$work/stderr")"
    grep -q "Rossi Mario" "$work/stderr" || fail "the message does not name the pupil"
    [ "$code" = 1 ] || fail "the program ended with status $code"
    exec 3>&-
    wait "$holder" || true
    holder=
    [ -z "$(stored "SELECT sbagliate FROM tempar WHERE nome = 'Rossi Mario'")" ] ||
        fail "something was stored through the lock"
    echo "session_end ($how): passed (the loss reported, status $code)"
    exit 0
fi
given=$(stored "SELECT sbagliate FROM tempar WHERE nome = 'Rossi Mario'")
[ "$given" = 3 ] || fail "stored answers: '$given' (status $code; stderr: $(cat "$work/stderr"))"
if [ "$how" != xgone ]; then
    [ "$code" = 0 ] || fail "the program ended with status $code"
fi
echo "session_end ($how): passed (stored, status $code)"
