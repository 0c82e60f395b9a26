#!/bin/sh
# SPDX-FileCopyrightText: 2026 The Tempolario developers
# SPDX-License-Identifier: GPL-3.0-or-later
# tempolario-avvio: starts Tempolario in the user's working folder, the one the menu entry
# uses. The folder is TEMPOLARIO_HOME, by default ~/Tempolario; it is created when missing,
# and so is an empty archive tempolario.mdb in it. The program and tempolario-archivio are
# looked up beside this script. A menu shows no terminal, so failures also go to a dialog
# when zenity, kdialog or xmessage is there.

here=$(dirname "$(readlink -f "$0")")
home=${TEMPOLARIO_HOME:-$HOME/Tempolario}

fail() {
    printf 'tempolario-avvio: %s\n' "$1" >&2
    if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
        if command -v zenity >/dev/null 2>&1; then
            zenity --error --title=Tempolario --no-markup --text="$1" 2>/dev/null
        elif command -v kdialog >/dev/null 2>&1; then
            kdialog --title Tempolario --error "$1" 2>/dev/null
        elif command -v xmessage >/dev/null 2>&1; then
            # xmessage draws with Latin-1 fonts, which hold every Italian letter.
            printf '%s\n' "$1" | fold -s -w 64 | iconv -f UTF-8 -t ISO-8859-1//TRANSLIT |
                xmessage -center -title Tempolario -buttons OK -file - 2>/dev/null
        fi
    fi
    exit 1
}

if [ -z "${TEMPOLARIO_HOME:-}" ] && [ -z "${HOME:-}" ]; then
    fail "Non so dove tenere l'archivio: né TEMPOLARIO_HOME né HOME sono impostate."
fi
mkdir -p -- "$home" 2>/dev/null ||
    fail "Non riesco a creare la cartella di lavoro $home. Controlla di avere il permesso di scrivere lì, oppure scegli un'altra cartella con TEMPOLARIO_HOME."
if [ ! -d "$home" ] || [ ! -w "$home" ] || [ ! -x "$home" ]; then
    fail "Non ho il permesso di scrivere nella cartella di lavoro $home, dove si trova l'archivio dei risultati. Chiedi a chi gestisce il computer di darti il permesso, oppure scegli un'altra cartella con TEMPOLARIO_HOME."
fi
cd -- "$home" || fail "Non riesco a entrare nella cartella di lavoro $home."

# An archive already there is never touched here: the program reports its troubles itself.
if [ ! -e tempolario.mdb ] && [ ! -L tempolario.mdb ]; then
    why=$("$here/tempolario-archivio" crea tempolario.mdb 2>&1 >/dev/null) ||
        fail "Non riesco a creare l'archivio dei risultati $home/tempolario.mdb. $why"
fi

[ -x "$here/tempolario" ] || fail "Manca il programma $here/tempolario: va installato di nuovo."
exec "$here/tempolario" "$@"
