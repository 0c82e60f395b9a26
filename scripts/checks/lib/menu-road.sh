# SPDX-FileCopyrightText: 2026 The Tempolario developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by the package checks: menu_road APP_ID [PICTURE [SERVICE]] runs, on the display
# it is given, the road of a pupil who starts the program from the installed menu entry: a
# name typed, three dates dragged, ESCO; then it reads the stored row back with the
# installed archive tool, and starts the program once more to see that the archive is kept.
# The archive is the user's file, or with SERVICE the school's server that the computer's
# settings send the menu entry to.
# It is passed whole to a shell of the test user: it uses nothing from around it.
menu_road() {
    set -euo pipefail
    fail() { echo "menu road: $*" >&2; exit 1; }
    window() { timeout 20 xdotool search --sync --onlyvisible --name "$1" | head -n 1; }
    # The screen point of a design point in twips: point WINDOW DESIGN_WIDTH DESIGN_HEIGHT X
    # Y. Each window draws its design at the zoom that fits its client area, centred across;
    # the same arithmetic as tests/e2e/xdo.sh, repeated since this function travels alone.
    point() {
        local X Y WIDTH HEIGHT SCREEN WINDOW
        eval "$(xdotool getwindowgeometry --shell "$1")"
        awk -v x="$X" -v y="$Y" -v w="$WIDTH" -v h="$HEIGHT" -v dw="$2" -v dh="$3" -v tx="$4" \
            -v ty="$5" 'BEGIN { z = w * 15 / dw; if (h * 15 / dh < z) z = h * 15 / dh
                     ox = int((w - int(dw * z / 15 + 0.5)) / 2)
                     printf "%d %d\n", x + ox + int(tx * z / 15 + 0.5), y + int(ty * z / 15 + 0.5) }'
    }
    local entry=/usr/share/applications/$1.desktop shot=${2:-} exec_line pid archive row name drill
    local -a from
    exec_line=$(sed -n 's/^Exec=//p' "$entry" | head -n 1 | sed 's/ *%[fFuUdDnNickvm]//g')
    [ -n "$exec_line" ] || fail "no Exec line in $entry"
    cd /
    # shellcheck disable=SC2086  # the Exec line is split into words as a desktop does
    $exec_line & pid=$!
    name=$(window '^Tempolario$') || fail "the name window did not show"
    archive=$HOME/Tempolario/tempolario.mdb
    from=("$archive")
    if [ -n "${3:-}" ]; then
        from=(--servizio "$3")
    else
        [ -f "$archive" ] || fail "no archive at $archive"
    fi

    # shellcheck disable=SC2046
    xdotool mousemove $(point "$name" 11880 8580 $((6600 + 2227)) $((4680 + 727))) click 1
    timeout 20 bash -c 'until [ "$(xdotool search --onlyvisible --name "^Tempolario$" | wc -l)" -ge 2 ]; do sleep 0.1; done' ||
        fail "the input box did not show"
    xdotool type --delay 10 "Verdi Anna"
    xdotool key Return
    drill=$(window '^TEMPOLARIO DEI FATTI') || fail "the exercise window did not show"
    # shellcheck disable=SC2046
    for k in 0 1 2; do
        xdotool mousemove $(point "$drill" 11880 8730 $((7800 + 547)) $((120 + 307))) mousedown 1 sleep 0.05 \
            mousemove $(point "$drill" 11880 8730 7000 $((120 + 720 * k + 200))) sleep 0.05 \
            mousemove $(point "$drill" 11880 8730 $((6480 + 547)) $((120 + 720 * k + 307))) sleep 0.05 mouseup 1
    done
    sleep 0.3
    if [ -n "$shot" ] && command -v xwdtopnm >/dev/null && command -v pnmtopng >/dev/null; then
        xwd -root -silent | xwdtopnm 2>/dev/null | pnmtopng >"$shot" 2>/dev/null || true
    fi
    # ESCO stores the run's totals and ends the program.
    # shellcheck disable=SC2046
    xdotool mousemove $(point "$drill" 11880 8730 $((9120 + 1327)) $((7810 + 250))) click 1
    timeout 20 bash -c "while kill -0 $pid 2>/dev/null; do sleep 0.1; done" ||
        fail "ESCO did not end the program"

    tempolario-archivio elenco "${from[@]}"
    row=$(tempolario-archivio csv "${from[@]}" | tr -d '\r' | grep '^Verdi Anna,') ||
        fail "the archive tool does not list the pupil"
    IFS=, read -r _ right given when <<<"$row"
    if [ "$given" != 3 ] || [ "$right" -gt 3 ] || [ -z "$when" ]; then
        fail "the stored row reads '$row'"
    fi

    # A second start keeps the archive it finds.
    $exec_line & pid=$!
    window '^Tempolario$' >/dev/null || fail "the name window did not show the second time"
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    tempolario-archivio csv "${from[@]}" | grep -q '^Verdi Anna,' ||
        fail "the second start lost the stored row"
    echo "menu road: passed (stored $right right out of $given)"
}
