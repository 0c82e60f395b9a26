#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tempolario developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package as a new user meets it: builds the .deb in build-package (Release),
# validates its desktop entry and AppStream file, installs it with apt, and, as a user
# created for the purpose, starts the program from the menu entry's Exec line on a virtual
# X server, stores a result through the windows and reads it back with the installed
# tempolario-archivio. The package and the user are removed at the end, pass or fail.
# Set TEMPOLARIO_SHOT to a file name to keep a PNG of the exercise window so started
# (needs xwd from x11-apps, and netpbm).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../common.sh"

app_id=it.tempolario.Tempolario
user=tempolario-prova
build=$TEMPOLARIO_ROOT/build-package
started=$SECONDS

if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null 2>&1 || { say "package check: needs root or sudo"; exit 1; }
    root=(sudo)
else
    root=()
fi

ensure_packages "${TEMPOLARIO_RUN_PACKAGES[@]}" "${TEMPOLARIO_TEST_PACKAGES[@]}" \
    "${TEMPOLARIO_PACKAGE_PACKAGES[@]}" appstream desktop-file-utils

fail() { say "package check: $*"; exit 1; }

# Builds only what the package holds; the tests and benchmarks stay out of this folder.
if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$TEMPOLARIO_ROOT" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null ||
        fail "cmake configure failed"
fi
cmake --build "$build" --target tempolario tempolario-archivio -- -j2 >/dev/null ||
    fail "build failed"
rm -f "$build"/tempolario_*.deb
(cd "$build" && cpack >cpack.log 2>&1) || { cat "$build/cpack.log" >&2; fail "cpack failed"; }
deb=$(echo "$build"/tempolario_*.deb)
[ -f "$deb" ] || fail "cpack made no .deb"
say "built $(basename "$deb")"

# What the package states and holds.
depends=$(dpkg-deb -f "$deb" Depends)
say "Depends: $depends"
for needed in fonts-liberation libqt6gui6 libqt6widgets6 libsqlite3-0; do
    grep -qw -- "$needed" <<<"$depends" || fail "Depends lacks $needed"
done

# Whatever happens, the check leaves the machine as it found it: without the package, the
# user it makes and its own scratch folder.
unpacked=$(mktemp -d)
machine_changed=
cleanup() {
    rm -rf "$unpacked"
    [ -n "$machine_changed" ] || return 0
    "${root[@]}" apt-get remove -y -qq tempolario >/dev/null 2>&1 || true
    if id "$user" >/dev/null 2>&1; then
        "${root[@]}" userdel -r -f "$user" 2>/dev/null || true
    fi
}
trap cleanup EXIT
dpkg-deb -x "$deb" "$unpacked"
for file in usr/bin/tempolario usr/bin/tempolario-archivio usr/bin/tempolario-avvio \
    usr/share/applications/$app_id.desktop usr/share/applications/$app_id.Registro.desktop \
    usr/share/metainfo/$app_id.metainfo.xml \
    usr/share/icons/hicolor/32x32/apps/tempolario.png \
    usr/share/icons/hicolor/256x256/apps/tempolario.png usr/share/doc/tempolario/copyright; do
    [ -f "$unpacked/$file" ] || fail "the package lacks /$file"
done
grep -q '^License: GPL-3+$' "$unpacked/usr/share/doc/tempolario/copyright" ||
    fail "the copyright file does not state the GPL-3+ licence"
desktop-file-validate "$unpacked/usr/share/applications/$app_id.desktop" \
    "$unpacked/usr/share/applications/$app_id.Registro.desktop" || fail "desktop entry not valid"
# AppStream 1.0 (Debian 13) warns of a missing homepage, which Tempolario has not got; 0.16
# (Debian 12) neither warns of it nor knows the name to lower it to a note.
appstream_options=(--no-net)
[ "$TEMPOLARIO_DEBIAN" = 12 ] || appstream_options+=(--override=url-homepage-missing=info)
appstreamcli validate "${appstream_options[@]}" "$unpacked/usr/share/metainfo/$app_id.metainfo.xml" >/dev/null ||
    { appstreamcli validate "${appstream_options[@]}" "$unpacked/usr/share/metainfo/$app_id.metainfo.xml" || true
      fail "metainfo not valid"; }

machine_changed=yes
export DEBIAN_FRONTEND=noninteractive
if dpkg-query -W -f='${Status}' tempolario 2>/dev/null | grep -q 'install ok installed'; then
    say "removing the tempolario package left installed before"
    "${root[@]}" apt-get remove -y -qq tempolario >/dev/null
fi
"${root[@]}" apt-get install -y -qq "$deb" >/dev/null 2>"$build/apt-install.log" ||
    { cat "$build/apt-install.log" >&2; fail "apt-get install of the package failed"; }
say "installed with apt"

# A user that has never run the program, with a home of its own and nothing else.
if id "$user" >/dev/null 2>&1; then
    "${root[@]}" userdel -r -f "$user" 2>/dev/null || true
fi
"${root[@]}" useradd -m -s /bin/bash "$user"
home=$(getent passwd "$user" | cut -d: -f6)
as_user() {
    "${root[@]}" runuser -u "$user" -- env -i HOME="$home" USER="$user" LOGNAME="$user" \
        PATH=/usr/local/bin:/usr/bin:/bin LANG=C.UTF-8 "$@"
}

# The launcher's plain message when the working folder cannot be made.
if message=$(as_user TEMPOLARIO_HOME=/nonposso/Tempolario tempolario-avvio 2>&1); then
    fail "the launcher started with a working folder it cannot create"
fi
grep -q "Non riesco a creare la cartella di lavoro" <<<"$message" ||
    fail "the launcher's message for a folder it cannot create is: $message"

source "$(dirname "${BASH_SOURCE[0]}")/lib/menu-road.sh"

shot_in_home=
[ -n "${TEMPOLARIO_SHOT:-}" ] && shot_in_home=$home/shot.png
as_user xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96 -noreset" \
    bash -c "$(declare -f menu_road); menu_road \"\$@\"" menu_road "$app_id" "$shot_in_home" ||
    fail "the program started from the menu entry did not store and give back a result"
if [ -n "$shot_in_home" ] && "${root[@]}" test -s "$shot_in_home"; then
    "${root[@]}" cat "$shot_in_home" >"$TEMPOLARIO_SHOT"
    say "picture of the exercise window: $TEMPOLARIO_SHOT"
fi

# The class report's menu entry, after that run: the page written owner-only in the working
# folder, with the pupil in it, and handed to the browser (a stand-in that says what it got).
# shellcheck disable=SC2016  # expanded by the stand-in and by the user's shell
printf '#!/bin/sh\nprintf %%s "$1" >"$HOME/opened"\n' |
    as_user sh -c 'mkdir -p "$HOME/bin" && cat >"$HOME/bin/xdg-open" && chmod +x "$HOME/bin/xdg-open"'
registro_exec=$(sed -n 's/^Exec=//p' "/usr/share/applications/$app_id.Registro.desktop")
# shellcheck disable=SC2086  # the Exec line is split into words as a desktop does
as_user env PATH="$home/bin:/usr/local/bin:/usr/bin:/bin" $registro_exec >/dev/null 2>&1 ||
    fail "the class report's menu entry failed"
page=$("${root[@]}" cat "$home/opened" 2>/dev/null)
[ "$page" = "$home/Tempolario/registro.html" ] || fail "the class report was not opened: «$page»"
[ "$("${root[@]}" stat -c %a "$page" 2>&1)" = 600 ] || fail "the class report is not its owner's only"
"${root[@]}" grep -q "Verdi Anna" "$page" || fail "the class report lacks the pupil of the menu road"
say "class report's menu entry: passed"

say "package check passed in $((SECONDS - started)) s"
