#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tempolario developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The pupil's road through the real program on a real X server (run under xvfb-run): a name,
# the exercise window, ten dates placed, the results window, TORNA, ESCO; the archive, read
# with the sqlite3 program (or psql), holds the pupil's row. The way of placing:
#   drag    the name typed with stray blanks, the first date label dragged with the pointer
#           onto each box;
#   keys    the keyboard alone (xdotool key and type): name typed, ten dates placed, the
#           archive, TORNA, ESCO;
#   clicks  the mouse alone, no button ever held while the pointer moves: name picked from
#           the list, ten dates placed by click and click, the archive, TORNA, ESCO.
# Without dragging, date labels 0 to 4 each go onto two boxes, never their own rows: label k
# onto boxes 2k+1 and 2k+2 (label 4 onto 9 and 0). What was placed is then read from the
# screen, as the pupil sees it: both boxes of a label show the same text, a wrong box is red,
# a label is magenta exactly when one of its boxes is right, and labels 5 to 9 stay as dealt.
# The stored row must match it.
# Usage: road.sh drag|keys|clicks PROGRAM ARCHIVE_TOOL SCREENPIXELS [--servizio]
# With --servizio the archive is on the test server (PGSERVICEFILE, as the CTest fixture
# sets it), in a database of its own, reached through a service file as on a school's
# computer.
set -euo pipefail
mode=$1
program=$(realpath "$2")
tool=$(realpath "$3")
pixels=$(realpath "$4")
server=${5:-}
here=$(dirname "$(realpath "${BASH_SOURCE[0]}")")
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
source "$here/archive.sh"

fail() { echo "road ($mode): $*" >&2; exit 1; }
# shellcheck source=tests/e2e/xdo.sh
source "$here/xdo.sh"
keys() { xdotool key --delay 40 "$@"; }
# Waits until the program has handled every event sent so far: a round trip through it.
settle() { sleep 0.3; }

if [ "$mode" = clicks ]; then
    stored "INSERT INTO tempar (nome) VALUES ('Bianchi Anna')"
    pupil='Bianchi Anna'
else
    pupil='Rossi Mario'
fi

"$program" "${program_arguments[@]}" & pid=$!
name=$(window '^Tempolario$') || fail "the name window did not show"

case "$mode" in
    drag)
        # "INSERISCO IL MIO NOME", then the name with stray blanks, then Enter.
        type_name "$name" "  Rossi   Mario " || fail "the input box did not show" ;;
    keys)
        settle
        # The list has the focus; Tab twice reaches "INSERISCO IL MIO NOME".
        keys Tab Tab Return
        timeout "$(scaled 15)" bash -c 'until [ "$(xdotool search --onlyvisible --name "^Tempolario$" | wc -l)" -ge 2 ]; do sleep 0.1; done' ||
            fail "the input box did not show"
        settle
        xdotool type --delay 20 "$pupil"
        keys Return ;;
    clicks)
        settle
        # The first entry of the list, then CmdOK.
        click "$name" $kNameDesign $((1320 + 600)) $((960 + 100))
        settle
        click "$name" $kNameDesign $((6600 + 2227)) $((2400 + 787)) ;;
    *) fail "no such way of placing" ;;
esac
drill=$(window '^TEMPOLARIO DEI FATTI') || fail "the exercise window did not show"

if [ "$mode" = drag ]; then
    xdotool search --onlyvisible --name '^Tempolario$' >/dev/null && fail "the name window is still shown"
    [ "$(stored "SELECT count(*) FROM tempar WHERE nome = 'Rossi Mario'")" = 1 ] ||
        fail "the typed name was not added, tidied, to the archive"
    # The first date label onto each of the ten boxes: every drop counts, at least one is right.
    for k in $(seq 0 9); do drag_first_date "$drill" "$k"; done
    sleep 0.3
else
    settle
    # The box that the n-th placing (0 to 9) fills, and the date label it takes.
    box_of() { echo $(((n + 1) % 10)); }
    label_of() { echo $((n / 2)); }
    for n in $(seq 0 9); do
        k=$(label_of); b=$(box_of)
        if [ "$mode" = keys ]; then
            # From anywhere in the date column: to label k, pick it, across to the boxes, to
            # box b, place, back across to the dates.
            # shellcheck disable=SC2046
            keys Home $(for _ in $(seq "$k"); do echo Down; done) space Left \
                Home $(for _ in $(seq "$b"); do echo Down; done) space Right
        else
            click "$drill" $kDrillDesign $((7800 + 547)) $((120 + 720 * k + 307))
            click "$drill" $kDrillDesign $((6480 + 547)) $((120 + 720 * b + 307))
        fi
    done
    settle

    # What the screen shows: box k red when wrong; date label k magenta when right (points near
    # the lower left corners, below the text, which stands at the top); and the ink of each box's
    # text, inside its sunken border.
    points=()
    for k in $(seq 0 9); do
        # shellcheck disable=SC2046
        points+=("$(printf '%d,%d' $(point "$drill" $kDrillDesign $((6480 + 60)) $((120 + 720 * k + 540))))")
        # shellcheck disable=SC2046
        points+=("$(printf '%d,%d' $(point "$drill" $kDrillDesign $((7800 + 60)) $((120 + 720 * k + 540))))")
        read -r x0 y0 < <(point "$drill" $kDrillDesign $((6480 + 45)) $((120 + 720 * k + 30)))
        read -r x1 y1 < <(point "$drill" $kDrillDesign $((6480 + 1095 - 45)) $((120 + 720 * k + 585)))
        points+=("$x0,$y0,$((x1 - x0)),$((y1 - y0))")
    done
    mapfile -t seen < <("$pixels" ${SCREENSHOT:+--save "$SCREENSHOT"} "${points[@]}")
    [ "${#seen[@]}" = 30 ] || fail "the screen could not be read"
    red=0
    magenta=0
    boxRight=()
    labelMagenta=()
    ink=()
    for k in $(seq 0 9); do
        box=${seen[$((3 * k))]}
        date=${seen[$((3 * k + 1))]}
        ink[k]=${seen[$((3 * k + 2))]}
        case "$box" in
            "255 0 0") red=$((red + 1)); boxRight[k]=0 ;;
            "255 255 192") boxRight[k]=1 ;;
            *) fail "box $k shows neither pale yellow nor red: $box" ;;
        esac
        case "$date" in
            "255 0 255") magenta=$((magenta + 1)); labelMagenta[k]=1 ;;
            "255 255 0" | "255 255 128") labelMagenta[k]=0 ;;
            *) fail "date label $k shows an unexpected colour: $date" ;;
        esac
        [ "${ink[k]##* }" -gt 0 ] || fail "box $k shows no text"
    done
    for k in $(seq 0 4); do
        first=$(((2 * k + 1) % 10))
        second=$(((2 * k + 2) % 10))
        [ "${ink[first]}" = "${ink[second]}" ] ||
            fail "boxes $first and $second show different texts, both took date label $k"
        expected=$((boxRight[first] | boxRight[second]))
        [ "${labelMagenta[k]}" = "$expected" ] ||
            fail "date label $k is magenta=${labelMagenta[k]}, its boxes $first and $second right=${boxRight[first]},${boxRight[second]}"
    done
    for k in $(seq 5 9); do
        [ "${labelMagenta[k]}" = 0 ] || fail "date label $k, never placed, is magenta"
    done
    distinct=$(printf '%s\n' "${ink[@]}" | sort -u | wc -l)
    [ "$distinct" -ge 2 ] || fail "every box shows the same text"
    right=$((10 - red))
fi

# "Vedo l'archivio dei risultati" stores the totals and shows the results window over the
# exercise window; "TORNA" hides it again.
if [ "$mode" = keys ]; then
    # From the date column: the box column, ESCO, ESERCIZIO SUCCESSIVO, the archive.
    keys Tab Tab Tab Tab Return
else
    click "$drill" $kDrillDesign $((9120 + 1327)) $((7440 + 150))
fi
results=$(window '^Risultati conseguiti nelle esercitazioni$') || fail "the results window did not show"
if [ "$mode" = drag ]; then
    [ "$(stored "SELECT sbagliate FROM tempar WHERE nome = 'Rossi Mario'")" = 10 ] ||
        fail "the totals were not stored by the archive button"
else
    shown=$(stored "SELECT giuste || ' ' || sbagliate FROM tempar WHERE nome = '$pupil'")
    [ "$shown" = "$right 10" ] || fail "the archive button stored '$shown', the screen showed $right of 10"
    settle
fi
if [ "$mode" = keys ]; then
    # The surname box has the focus: its name box, the search, the grid, then TORNA.
    keys Tab Tab Tab Tab Return
else
    click "$results" $kResultsDesign $((9600 + 1087)) $((6600 + 400))
fi
timeout "$(scaled 15)" bash -c "while xdotool search --onlyvisible --name '^Risultati conseguiti' >/dev/null; do sleep 0.1; done" ||
    fail "TORNA did not hide the results window"

# "ESCO" stores the run's totals and ends the program.
if [ "$mode" = keys ]; then
    settle
    # Back on the archive button: ESERCIZIO SUCCESSIVO, then ESCO.
    keys shift+Tab shift+Tab space
else
    [ "$mode" = clicks ] && settle
    click "$drill" $kDrillDesign $((9120 + 1327)) $((7810 + 250))
fi
for _ in $(seq "$(scaled 150)"); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "ESCO did not end the program"
code=0
wait "$pid" || code=$?
pid=
[ "$code" = 0 ] || fail "the program ended with status $code"
row=$(stored "SELECT giuste, sbagliate, CASE WHEN data IS NULL THEN 0 ELSE 1 END FROM tempar WHERE nome = '$pupil'")
IFS='|' read -r stored_right given dated <<<"$row"
if [ "$mode" = drag ]; then
    [ "$given" = 10 ] && [ "$stored_right" -ge 1 ] && [ "$dated" = 1 ] || fail "stored row is '$row'"
    right=$stored_right
else
    [ "$row" = "$right|10|1" ] || fail "stored row is '$row', the screen showed $right right of 10"
    [ "$(stored "SELECT count(*) FROM tempar")" = 1 ] || fail "more than one row"
fi
echo "road ($mode): passed (stored $right right out of 10)"
