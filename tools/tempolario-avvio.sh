#!/bin/sh
# SPDX-FileCopyrightText: 2026 The Tempolario developers
# SPDX-License-Identifier: GPL-3.0-or-later
# tempolario-avvio: starts Tempolario in the user's working folder, the one the menu entry
# uses. The folder is TEMPOLARIO_HOME, by default ~/Tempolario; it is created when missing,
# and so is an empty archive tempolario.mdb in it. The program and tempolario-archivio are
# looked up beside this script. A menu shows no terminal, so failures also go to a dialog
# when zenity, kdialog or xmessage is there.
#
# A school with its archive on a server names the server's service in the computer's
# settings file, which only root can write (its path is set when the launcher is installed;
# TEMPOLARIO_CONFIG names another, for testing):
#     servizio = NOME
# with "#" comments and blank lines. The program then starts with --servizio NOME, and no
# archive is made in the working folder. A settings file that cannot be read or says
# anything else stops the start: the results would otherwise go to a file nobody collects.
# Passwords and keys never pass through here: libpq finds them from the service itself.
#
# With --registro (the second menu entry, "Tempolario - registro") it writes the teacher's
# map of the class for that same archive, the server's or the working folder's, into
# registro.html in the working folder (readable by its owner only), and opens it in the
# desktop's browser.

here=$(dirname "$(readlink -f "$0")")
registro=
if [ "${1:-}" = --registro ]; then
    registro=yes
    shift
fi
home=${TEMPOLARIO_HOME:-$HOME/Tempolario}
config=${TEMPOLARIO_CONFIG:-@TEMPOLARIO_CONFIG@}
newline='
'

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

# The settings file is read before anything else, so that a fault in it leaves the working
# folder untouched. The archive tool reads it: the service on its output, or nothing; a
# fault on its error output, asked for again only then, so that nothing else the tool may
# say there can pass for a service.
service=
if [ -e "$config" ] || [ -L "$config" ]; then
    [ -x "$here/tempolario-archivio" ] ||
        fail "Manca il programma $here/tempolario-archivio: va installato di nuovo."
    service=$("$here/tempolario-archivio" impostazioni "$config" 2>/dev/null) || {
        why=$("$here/tempolario-archivio" impostazioni "$config" 2>&1 >/dev/null)
        why=${why##*"$newline"}
        why=${why#tempolario-archivio: }
        fail "${why:-Non riesco a leggere le impostazioni di Tempolario in $config: $here/tempolario-archivio non funziona, va installato di nuovo.}"
    }
fi
if [ -n "$service" ] && [ -z "$registro" ]; then
    [ -x "$here/tempolario" ] || fail "Manca il programma $here/tempolario: va installato di nuovo."
    exec "$here/tempolario" --servizio "$service" "$@"
fi

if [ -z "${TEMPOLARIO_HOME:-}" ] && [ -z "${HOME:-}" ]; then
    fail "Non so dove tenere l'archivio: né TEMPOLARIO_HOME né HOME sono impostate."
fi
# The default folder is the pupil's own: on a computer where homes are open to every user
# (Debian makes them 0755), the folder 0700 and the archive 0600 keep one pupil's results
# from the others. A folder made by an earlier version, open to all, is closed here too. A
# folder chosen with TEMPOLARIO_HOME may be one a class shares on purpose: it keeps the
# permissions it has, and a new archive there the ones the user's umask gives.
private=
if [ -z "${TEMPOLARIO_HOME:-}" ]; then
    private=$(umask)
    umask 077
fi
mkdir -p -- "$home" 2>/dev/null ||
    fail "Non riesco a creare la cartella di lavoro $home. Controlla di avere il permesso di scrivere lì, oppure scegli un'altra cartella con TEMPOLARIO_HOME."
if [ ! -d "$home" ] || [ ! -w "$home" ] || [ ! -x "$home" ]; then
    fail "Non ho il permesso di scrivere nella cartella di lavoro $home, dove si trova l'archivio dei risultati. Chiedi a chi gestisce il computer di darti il permesso, oppure scegli un'altra cartella con TEMPOLARIO_HOME."
fi
cd -- "$home" || fail "Non riesco a entrare nella cartella di lavoro $home."

# An archive already there is never otherwise touched here: the program reports its
# troubles itself.
if [ -z "$service" ] && [ ! -e tempolario.mdb ] && [ ! -L tempolario.mdb ]; then
    why=$("$here/tempolario-archivio" crea tempolario.mdb 2>&1 >/dev/null) ||
        fail "Non riesco a creare l'archivio dei risultati $home/tempolario.mdb. $why"
fi
if [ -n "$private" ]; then
    # Only what is the user's own, never through a link. The journal SQLite keeps beside the
    # archive while it writes takes the archive's permissions.
    [ -O . ] && chmod 700 . 2>/dev/null
    [ -f tempolario.mdb ] && [ ! -L tempolario.mdb ] && [ -O tempolario.mdb ] &&
        chmod 600 tempolario.mdb 2>/dev/null
    umask "$private"
fi

if [ -n "$registro" ]; then
    [ -x "$here/tempolario-archivio" ] ||
        fail "Manca il programma $here/tempolario-archivio: va installato di nuovo."
    if [ -n "$service" ]; then
        set -- --servizio "$service"
    else
        set -- tempolario.mdb
    fi
    page=$PWD/registro.html
    why=$("$here/tempolario-archivio" registro "$@" --uscita "$page" 2>&1 >/dev/null) || {
        why=${why##*"$newline"}
        fail "Non riesco a scrivere il registro della classe in $page. ${why#tempolario-archivio: }"
    }
    command -v xdg-open >/dev/null 2>&1 ||
        fail "Il registro della classe è in $page: aprilo con il browser."
    exec xdg-open "$page"
fi

[ -x "$here/tempolario" ] || fail "Manca il programma $here/tempolario: va installato di nuovo."
exec "$here/tempolario" "$@"
