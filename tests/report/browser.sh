#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tempolario developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The teacher's page in a real browser: tst_report writes a sample class (names with markup
# and a script among them), headless Chromium loads it, and the page it built must hold those
# names as text only; its picture is saved for a look (docs/registro.png is one of these).
# Skipped (77) when Chromium is not installed.
# Usage: browser.sh TST_REPORT SHOTS_DIR
set -euo pipefail
# shellcheck source=tests/testtime.sh
source "$(dirname "${BASH_SOURCE[0]}")/../testtime.sh"
test_program=$(realpath "$1")
shots=$2
browser=$(command -v chromium || true)
if [ -z "$browser" ]; then
    echo "chromium is not installed: skipped"
    exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
page=$work/registro.html
TEMPOLARIO_REPORT_PAGE=$page "$test_program" samplePage >"$work/sample.log" 2>&1 || {
    cat "$work/sample.log"
    exit 1
}
mode=$(stat -c %a "$page")
[ "$mode" = 600 ] || { echo "the page is written $mode, not 600"; exit 1; }

chrome() {
    timeout "$(scaled 120)" "$browser" --headless --no-sandbox --disable-gpu \
        --disable-dev-shm-usage --user-data-dir="$work/profile" "$@" "file://$page" 2>>"$work/browser.log"
}
chrome --dump-dom >"$work/dom.html" || { cat "$work/browser.log"; exit 1; }
fail=0
# The names as the browser serialises text: markup escaped. An element made from a name
# would be serialised as markup instead, and a script run would have changed the title.
for text in '&lt;b&gt;Dario&lt;/b&gt;&lt;script&gt;' 'Elena &lt;i&gt;&amp;amp;&lt;/i&gt;' \
    '<title>Registro della classe, '; do
    grep -qF -- "$text" "$work/dom.html" || { echo "missing in the page: $text"; fail=1; }
done
for markup in '<b>' '<i>' '<script'; do
    if grep -qF -- "$markup" "$work/dom.html"; then echo "the page holds $markup"; fail=1; fi
done
mkdir -p "$shots"
chrome --screenshot="$shots/registro.png" --window-size=1280,1700 --hide-scrollbars >/dev/null ||
    { cat "$work/browser.log"; exit 1; }
[ -s "$shots/registro.png" ] || { echo "no screenshot"; fail=1; }
exit "$fail"
