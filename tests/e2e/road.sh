#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tempolario developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The pupil's road through the real program on a real X server (run under xvfb-run):
# type a name, get the exercise window, drag dates with the pointer, look at the results,
# go back, then leave; the archive, read with the sqlite3 program (or psql), holds the
# pupil's row.
# Usage: road.sh PROGRAM ARCHIVE_TOOL [--servizio]
# With --servizio the archive is on the test server (PGSERVICEFILE, as the CTest fixture
# sets it), in a database of its own, reached through a service file as on a school's
# computer.
set -euo pipefail
program=$(realpath "$1")
tool=$(realpath "$2")
server=${3:-}
work=$(mktemp -d)
pid=
cleanup() {
    if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; fi
    drop_archive 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
cd "$work"
# shellcheck source=tests/e2e/archive.sh
source "$(dirname "${BASH_SOURCE[0]}")/archive.sh"

fail() { echo "road: $*" >&2; exit 1; }
# shellcheck source=tests/e2e/xdo.sh
source "$(dirname "${BASH_SOURCE[0]}")/xdo.sh"

"$program" "${program_arguments[@]}" & pid=$!
name=$(window '^Tempolario$') || fail "the name window did not show"

# "INSERISCO IL MIO NOME", then the name with stray blanks, then Enter.
type_name "$name" "  Rossi   Mario " || fail "the input box did not show"
drill=$(window '^TEMPOLARIO DEI FATTI') || fail "the exercise window did not show"
xdotool search --onlyvisible --name '^Tempolario$' >/dev/null && fail "the name window is still shown"

[ "$(stored "SELECT count(*) FROM tempar WHERE nome = 'Rossi Mario'")" = 1 ] ||
    fail "the typed name was not added, tidied, to the archive"

# The first date label onto each of the ten boxes: every drop counts, at least one is right.
for k in $(seq 0 9); do drag_first_date "$drill" "$k"; done
sleep 0.3

# "Vedo l'archivio dei risultati" stores the totals and shows the results window over the
# exercise window; "TORNA" hides it again.
# shellcheck disable=SC2046
xdotool mousemove $(point "$drill" $kDrillDesign $((9120 + 1327)) $((7440 + 150))) click 1
results=$(window '^Risultati conseguiti nelle esercitazioni$') || fail "the results window did not show"
[ "$(stored "SELECT sbagliate FROM tempar WHERE nome = 'Rossi Mario'")" = 10 ] ||
    fail "the totals were not stored by the archive button"
# shellcheck disable=SC2046
xdotool mousemove $(point "$results" $kResultsDesign $((9600 + 1087)) $((6600 + 400))) click 1
timeout "$(scaled 15)" bash -c "while xdotool search --onlyvisible --name '^Risultati conseguiti' >/dev/null; do sleep 0.1; done" ||
    fail "TORNA did not hide the results window"

# "ESCO" stores the run's totals and ends the program.
# shellcheck disable=SC2046
xdotool mousemove $(point "$drill" $kDrillDesign $((9120 + 1327)) $((7810 + 250))) click 1
for _ in $(seq "$(scaled 150)"); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "ESCO did not end the program"
code=0
wait "$pid" || code=$?
pid=
[ "$code" = 0 ] || fail "the program ended with status $code"
row=$(stored "SELECT giuste, sbagliate, CASE WHEN data IS NULL THEN 0 ELSE 1 END FROM tempar WHERE nome = 'Rossi Mario'")
IFS='|' read -r right given dated <<<"$row"
[ "$given" = 10 ] && [ "$right" -ge 1 ] && [ "$dated" = 1 ] || fail "stored row is '$row'"
echo "road: passed (stored $right right out of $given)"
