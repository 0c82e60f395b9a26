# SPDX-FileCopyrightText: 2026 The Tempolario developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Shared by the real-X road tests: finding windows and pointing at design places.
# Sourced, not run.

# shellcheck source=tests/testtime.sh
source "$(dirname "${BASH_SOURCE[0]}")/../testtime.sh"

# Waits for a window whose title matches, and prints its id.
window() { timeout "$(scaled 15)" xdotool search --sync --onlyvisible --name "$1" | head -n 1; }

# Design sizes in twips of the three windows' client areas.
kNameDesign="11880 8580"
kDrillDesign="11880 8730"
kResultsDesign="12330 9525"

# The screen point of a design point in twips: point WINDOW DESIGN_WIDTH DESIGN_HEIGHT X Y.
# Each window draws its design at the zoom that fits its client area, centred across (the
# name and results windows are exactly their design's size at that zoom). The tests run on
# screens where that zoom needs no stepping down for the fonts, so it is the plain ratio.
point() {
    eval "$(xdotool getwindowgeometry --shell "$1")"
    awk -v x="$X" -v y="$Y" -v w="$WIDTH" -v h="$HEIGHT" -v dw="$2" -v dh="$3" -v tx="$4" -v ty="$5" \
        'BEGIN { z = w * 15 / dw; if (h * 15 / dh < z) z = h * 15 / dh
                 ox = int((w - int(dw * z / 15 + 0.5)) / 2)
                 printf "%d %d\n", x + ox + int(tx * z / 15 + 0.5), y + int(ty * z / 15 + 0.5) }'
}

# A click at a design point: click WINDOW DESIGN_WIDTH DESIGN_HEIGHT X Y.
click() {
    # shellcheck disable=SC2046
    xdotool mousemove $(point "$@") click 1
}

# In the name window, "INSERISCO IL MIO NOME", then the text typed into the input box and
# Enter: type_name WINDOW TEXT. Fails when the input box does not show.
type_name() {
    # shellcheck disable=SC2086
    click "$1" $kNameDesign $((6600 + 2227)) $((4680 + 727))
    timeout "$(scaled 15)" bash -c 'until [ "$(xdotool search --onlyvisible --name "^Tempolario$" | wc -l)" -ge 2 ]; do sleep 0.1; done' ||
        return 1
    xdotool type --delay 10 "$2"
    xdotool key Return
}

# The first date label dragged onto box K (0 to 9) of the exercise window: drag_first_date
# WINDOW K.
drag_first_date() {
    # shellcheck disable=SC2046,SC2086
    xdotool mousemove $(point "$1" $kDrillDesign $((7800 + 547)) $((120 + 307))) mousedown 1 sleep 0.05 \
        mousemove $(point "$1" $kDrillDesign 7000 $((120 + 720 * $2 + 200))) sleep 0.05 \
        mousemove $(point "$1" $kDrillDesign $((6480 + 547)) $((120 + 720 * $2 + 307))) sleep 0.05 mouseup 1
}
