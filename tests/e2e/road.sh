#!/usr/bin/env bash
# The pupil's road through the real program on a real X server (run under xvfb-run):
# type a name, get the exercise window, drag dates with the pointer, look at the results,
# go back, then leave; the
# archive, read with the sqlite3 program, holds the pupil's row.
# Usage: road.sh PROGRAM ARCHIVE_TOOL
set -euo pipefail
program=$(realpath "$1")
tool=$(realpath "$2")
work=$(mktemp -d)
pid=
trap 'if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; fi; rm -rf "$work"' EXIT
cd "$work"
"$tool" crea tempolario.mdb >/dev/null

fail() { echo "road: $*" >&2; exit 1; }
# Waits for a window whose title matches, and prints its id.
window() { timeout 15 xdotool search --sync --onlyvisible --name "$1" | head -n 1; }
# Pixel of a design point in twips, for windows at the top-left corner of the screen.
px() { echo $(( ($1 + 7) / 15 )); }

"$program" & pid=$!
name=$(window '^Tempolario$') || fail "the name window did not show"

# "INSERISCO IL MIO NOME", then the name with stray blanks, then Enter.
xdotool mousemove "$(px $((6600 + 2227)))" "$(px $((4680 + 727)))" click 1
timeout 15 bash -c 'until [ "$(xdotool search --onlyvisible --name "^Tempolario$" | wc -l)" -ge 2 ]; do sleep 0.1; done' ||
    fail "the input box did not show"
xdotool type --delay 10 "  Rossi   Mario "
xdotool key Return
window '^TEMPOLARIO DEI FATTI' >/dev/null || fail "the exercise window did not show"
xdotool search --onlyvisible --name '^Tempolario$' >/dev/null && fail "the name window is still shown"

[ "$(sqlite3 tempolario.mdb "SELECT count(*) FROM tempar WHERE nome = 'Rossi Mario'")" = 1 ] ||
    fail "the typed name was not added, tidied, to the archive"

# The first date label onto each of the ten boxes: every drop counts, at least one is right.
for k in $(seq 0 9); do
    xdotool mousemove "$(px $((7800 + 547)))" "$(px $((120 + 307)))" mousedown 1 sleep 0.05 \
        mousemove "$(px 7000)" "$(px $((120 + 720 * k + 200)))" sleep 0.05 \
        mousemove "$(px $((6480 + 547)))" "$(px $((120 + 720 * k + 307)))" sleep 0.05 mouseup 1
done
sleep 0.3

# "Vedo l'archivio dei risultati" stores the totals and shows the results window over the
# exercise window; "TORNA" hides it again.
xdotool mousemove "$(px $((9120 + 1327)))" "$(px $((7440 + 150)))" click 1
results=$(window '^Risultati conseguiti nelle esercitazioni$') || fail "the results window did not show"
[ "$(sqlite3 tempolario.mdb "SELECT sbagliate FROM tempar WHERE nome = 'Rossi Mario'")" = 10 ] ||
    fail "the totals were not stored by the archive button"
eval "$(xdotool getwindowgeometry --shell "$results")"
xdotool mousemove $((X + $(px $((9600 + 1087))))) $((Y + $(px $((6600 + 400))))) click 1
timeout 15 bash -c "while xdotool search --onlyvisible --name '^Risultati conseguiti' >/dev/null; do sleep 0.1; done" ||
    fail "TORNA did not hide the results window"

# "ESCO" stores the run's totals and ends the program.
xdotool mousemove "$(px $((9120 + 1327)))" "$(px $((7810 + 250)))" click 1
for _ in $(seq 150); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "ESCO did not end the program"
code=0
wait "$pid" || code=$?
pid=
[ "$code" = 0 ] || fail "the program ended with status $code"
row=$(sqlite3 tempolario.mdb "SELECT giuste, sbagliate, data IS NOT NULL FROM tempar WHERE nome = 'Rossi Mario'")
IFS='|' read -r right given dated <<<"$row"
[ "$given" = 10 ] && [ "$right" -ge 1 ] && [ "$dated" = 1 ] || fail "stored row is '$row'"
echo "road: passed (stored $right right out of $given)"
