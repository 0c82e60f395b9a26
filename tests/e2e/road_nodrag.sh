#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tempolario developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The pupil's road through the real program on a real X server (run under xvfb-run), placing
# every date without dragging:
#   keys    the keyboard alone (xdotool key and type): name typed, ten dates placed, the
#           archive, TORNA, ESCO;
#   clicks  the mouse alone, no button ever held while the pointer moves: name picked from
#           the list, ten dates placed by click and click, the archive, TORNA, ESCO.
# Date label k goes onto box k. What was right is read from the screen, as the pupil sees it:
# a wrong box is red, a rightly placed label magenta. The stored row must match it.
# Usage: road_nodrag.sh keys|clicks PROGRAM ARCHIVE_TOOL SCREENPIXELS
set -euo pipefail
mode=$1
program=$(realpath "$2")
tool=$(realpath "$3")
pixels=$(realpath "$4")
work=$(mktemp -d)
pid=
trap 'if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; fi; rm -rf "$work"' EXIT
cd "$work"
"$tool" crea tempolario.mdb >/dev/null

fail() { echo "road ($mode): $*" >&2; exit 1; }
# shellcheck source=tests/e2e/xdo.sh
source "$(dirname "${BASH_SOURCE[0]}")/xdo.sh"
keys() { xdotool key --delay 40 "$@"; }
# Waits until the program has handled every event sent so far: a round trip through it.
settle() { sleep 0.3; }

if [ "$mode" = clicks ]; then
    sqlite3 tempolario.mdb "INSERT INTO tempar (nome) VALUES ('Bianchi Anna')"
    pupil='Bianchi Anna'
else
    pupil='Rossi Mario'
fi

"$program" & pid=$!
name=$(window '^Tempolario$') || fail "the name window did not show"
settle

if [ "$mode" = keys ]; then
    # The list has the focus; Tab twice reaches "INSERISCO IL MIO NOME".
    keys Tab Tab Return
    timeout "$(scaled 15)" bash -c 'until [ "$(xdotool search --onlyvisible --name "^Tempolario$" | wc -l)" -ge 2 ]; do sleep 0.1; done' ||
        fail "the input box did not show"
    settle
    xdotool type --delay 20 "$pupil"
    keys Return
else
    # The first entry of the list, then CmdOK.
    click "$name" $kNameDesign $((1320 + 600)) $((960 + 100))
    settle
    click "$name" $kNameDesign $((6600 + 2227)) $((2400 + 787))
fi
drill=$(window '^TEMPOLARIO DEI FATTI') || fail "the exercise window did not show"
settle

for k in $(seq 0 9); do
    if [ "$mode" = keys ]; then
        # Focus on date label k: pick it, across to box k, place, back, down to the next.
        keys space Left space Right Down
    else
        click "$drill" $kDrillDesign $((7800 + 547)) $((120 + 720 * k + 307))
        click "$drill" $kDrillDesign $((6480 + 547)) $((120 + 720 * k + 307))
    fi
done
settle

# What the screen shows: box k red when wrong; date label k magenta when right. The points
# lie near the lower left corners, below the text, which stands at the top.
points=()
for k in $(seq 0 9); do
    # shellcheck disable=SC2046
    points+=("$(printf '%d,%d' $(point "$drill" $kDrillDesign $((6480 + 60)) $((120 + 720 * k + 540))))")
    # shellcheck disable=SC2046
    points+=("$(printf '%d,%d' $(point "$drill" $kDrillDesign $((7800 + 60)) $((120 + 720 * k + 540))))")
done
mapfile -t seen < <("$pixels" ${SCREENSHOT:+--save "$SCREENSHOT"} "${points[@]}")
red=0
magenta=0
for k in $(seq 0 9); do
    box=${seen[$((2 * k))]}
    date=${seen[$((2 * k + 1))]}
    case "$box" in
        "255 0 0") red=$((red + 1)) ;;
        "255 255 192") ;;
        *) fail "box $k shows neither pale yellow nor red: $box" ;;
    esac
    case "$date" in
        "255 0 255") magenta=$((magenta + 1)) ;;
        "255 255 0" | "255 255 128") ;;
        *) fail "date label $k shows an unexpected colour: $date" ;;
    esac
done
right=$((10 - red))
[ "$magenta" = "$right" ] || fail "$right boxes right but $magenta labels magenta"

# "Vedo l'archivio dei risultati", then TORNA, then ESCO.
if [ "$mode" = keys ]; then
    # From the date column: the box column, ESCO, ESERCIZIO SUCCESSIVO, the archive.
    keys Tab Tab Tab Tab Return
else
    click "$drill" $kDrillDesign $((9120 + 1327)) $((7440 + 150))
fi
results=$(window '^Risultati conseguiti nelle esercitazioni$') || fail "the results window did not show"
stored=$(sqlite3 tempolario.mdb "SELECT giuste || ' ' || sbagliate FROM tempar WHERE nome = '$pupil'")
[ "$stored" = "$right 10" ] || fail "the archive button stored '$stored', the screen showed $right of 10"
settle
if [ "$mode" = keys ]; then
    # The surname box has the focus: its name box, the search, the grid, then TORNA.
    keys Tab Tab Tab Tab Return
else
    click "$results" $kResultsDesign $((9600 + 1087)) $((6600 + 400))
fi
timeout "$(scaled 15)" bash -c "while xdotool search --onlyvisible --name '^Risultati conseguiti' >/dev/null; do sleep 0.1; done" ||
    fail "TORNA did not hide the results window"
settle
if [ "$mode" = keys ]; then
    # Back on the archive button: ESERCIZIO SUCCESSIVO, then ESCO.
    keys shift+Tab shift+Tab space
else
    click "$drill" $kDrillDesign $((9120 + 1327)) $((7810 + 250))
fi
for _ in $(seq "$(scaled 150)"); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "ESCO did not end the program"
code=0
wait "$pid" || code=$?
pid=
[ "$code" = 0 ] || fail "the program ended with status $code"
row=$(sqlite3 tempolario.mdb "SELECT giuste, sbagliate, data IS NOT NULL FROM tempar WHERE nome = '$pupil'")
[ "$row" = "$right|10|1" ] || fail "stored row is '$row', the screen showed $right right of 10"
[ "$(sqlite3 tempolario.mdb "SELECT count(*) FROM tempar")" = 1 ] || fail "more than one row"
echo "road ($mode): passed (stored $right right out of 10)"
