#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tempolario developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The menu entry's launcher and the computer's settings file: a file naming a service starts
# the program on the server and makes no archive; a faulty file stops the start with an
# Italian message and starts nothing; no file keeps the archive in the working folder. The
# launcher runs beside stand-ins that record how they were started. Then the program's own
# command line, and the launcher and example file as `cmake --install` puts them.
# Usage: tst_avvio.sh LAUNCHER PROGRAM CMAKE BUILD_DIR
set -uo pipefail
launcher=$(realpath "$1")
program=$(realpath "$2")
cmake=$3
build=$(realpath "$4")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

failures=0
fail() {
    printf 'FAIL: %s\n' "$*" >&2
    failures=$((failures + 1))
}

# The launcher with a stand-in program that writes its arguments, one a line, and a
# stand-in archive tool that makes the file it is asked to create (a real archive with
# REAL_ARCHIVE set) and leaves the rest to the real tool, which also reads the settings
# file for the launcher (its cases: tst_schoolsettings).
tool=$build/tools/tempolario-archivio
[ -x "$tool" ] || { printf 'FAIL: no archive tool built at %s\n' "$tool" >&2; exit 1; }
mkdir "$work/bin"
cp "$launcher" "$work/bin/tempolario-avvio"
cat >"$work/bin/tempolario" <<'EOF'
#!/bin/sh
printf '%s\n' "$@" >"$STARTED"
EOF
cat >"$work/bin/tempolario-archivio" <<EOF
#!/bin/sh
[ "\$1" = crea ] && [ -z "\${REAL_ARCHIVE:-}" ] && { : >"\$2"; exit; }
exec "$tool" "\$@"
EOF
chmod +x "$work/bin/"*

config=$work/archivio.conf
home=$work/home
# Runs the launcher with the arguments given; sets rc, and leaves its standard error in
# $work/err and the program's arguments (if it was started) in $work/started.
launch() {
    rm -rf "$home" "$work/started"
    env -u DISPLAY -u WAYLAND_DISPLAY TEMPOLARIO_HOME="$home" TEMPOLARIO_CONFIG="$config" \
        STARTED="$work/started" "$work/bin/tempolario-avvio" "$@" 2>"$work/err"
    rc=$?
}
started_with() { [ -f "$work/started" ] && [ "$(cat "$work/started")" = "$1" ]; }

# No settings file, and a file that names no service: the archive in the working folder.
nl=$'\n'
for content in "<none>" "# servizio = tempolario${nl}${nl}   # solo commenti${nl}"; do
    rm -f "$config"
    [ "$content" = "<none>" ] || printf '%s' "$content" >"$config"
    launch uno "due tre"
    [ "$rc" = 0 ] || fail "[$content] the launcher ended with $rc: $(cat "$work/err")"
    started_with "uno${nl}due tre" || fail "[$content] the program was not started as asked"
    [ -f "$home/tempolario.mdb" ] || fail "[$content] no archive made in the working folder"
done

# Who may read the working folder and the archive. Cases: where (the default folder under
# HOME, or one chosen with TEMPOLARIO_HOME), the folder's and the archive's modes before
# ("-" for none), then after. The default folder is made private, or closed when an earlier
# version left it open; a chosen one keeps what it has and the user's umask (002 here).
rm -f "$config"
private_data=(
    "home - - 700 600"
    "home 755 - 700 600"
    "home 755 644 700 600"
    "chosen - - 775 664"
    "chosen 775 664 775 664"
)
for case in "${private_data[@]}"; do
    read -r where folder_before file_before folder_after file_after <<<"$case"
    rm -rf "$work/h" "$home" "$work/started"
    mkdir -m 755 "$work/h"
    dir=$home
    [ "$where" = home ] && dir=$work/h/Tempolario
    if [ "$folder_before" != - ]; then
        mkdir -m "$folder_before" "$dir"
        [ "$file_before" = - ] || install -m "$file_before" /dev/null "$dir/tempolario.mdb"
    fi
    chosen=()
    [ "$where" = chosen ] && chosen=(TEMPOLARIO_HOME="$home")
    (umask 002 && env -u DISPLAY -u WAYLAND_DISPLAY -u TEMPOLARIO_HOME HOME="$work/h" \
        "${chosen[@]}" TEMPOLARIO_CONFIG="$config" STARTED="$work/started" \
        "$work/bin/tempolario-avvio" 2>"$work/err")
    [ -f "$work/started" ] || fail "[$case] not started: $(cat "$work/err")"
    modes=$(stat -c %a "$dir" "$dir/tempolario.mdb" 2>&1 | tr '\n' ' ')
    [ "$modes" = "$folder_after $file_after " ] || fail "[$case] modes after: $modes"
done

# A file naming a service: the program on the server, no archive made.
printf '# archivio della scuola\n   servizio   =   lab-1.a_b   # il server\r\n' >"$config"
launch uno
[ "$rc" = 0 ] || fail "[service] the launcher ended with $rc: $(cat "$work/err")"
started_with "--servizio${nl}lab-1.a_b${nl}uno" ||
    fail "[service] the program was not started with it: $(cat "$work/started" 2>/dev/null)"
[ -e "$home/tempolario.mdb" ] && fail "[service] an archive was made beside the server's"

# The class report's entry: the page for the same archive, the server's (one that does not
# answer is said in Italian, and nothing is started) or the working folder's, written
# owner-only there and handed to the browser (a stand-in).
# shellcheck disable=SC2016  # written for the stand-in to expand
printf '#!/bin/sh\nprintf "xdg-open %%s" "$@" >"$STARTED"\n' >"$work/bin/xdg-open"
chmod +x "$work/bin/xdg-open"
PATH=$work/bin:$PATH launch --registro
[ "$rc" = 1 ] && grep -q "Non riesco a scrivere il registro della classe" "$work/err" ||
    fail "[registro, server down] ended with $rc: $(cat "$work/err")"
[ -e "$work/started" ] && fail "[registro, server down] something was started"
rm -f "$config"
REAL_ARCHIVE=yes PATH=$work/bin:$PATH launch --registro
[ "$rc" = 0 ] || fail "[registro] the launcher ended with $rc: $(cat "$work/err")"
started_with "xdg-open $home/registro.html" ||
    fail "[registro] the page was not opened: $(cat "$work/started" 2>/dev/null)"
[ "$(stat -c %a "$home/registro.html" 2>&1)" = 600 ] || fail "[registro] the page is not the owner's only"
rm -f "$work/bin/xdg-open"

# A faulty file, and one that is there but cannot be read: the fault's message alone on
# the standard error, exit 1, nothing started and nothing made.
check_refused() {
    [ "$rc" = 1 ] || fail "[$1] the launcher ended with $rc instead of 1"
    [ "$(wc -l <"$work/err")" = 1 ] && grep -q "^tempolario-avvio: $2" "$work/err" ||
        fail "[$1] not the message about the settings file: $(cat "$work/err")"
    [ -e "$work/started" ] && fail "[$1] the program was started anyway"
    [ -e "$home" ] && fail "[$1] the working folder was made anyway"
}
printf 'servizio = a\ncolore = blu\n' >"$config"
launch
check_refused "an unknown setting" \
    "Le impostazioni di Tempolario in $config non sono valide: alla riga 2 «colore» non è"
rm -f "$config"
ln -s "$work/nowhere" "$config"
launch
check_refused "a link to nothing" "Le impostazioni di Tempolario in $config non si possono leggere"
rm -f "$config"

# The program's own command line: a wrong one gets an Italian message and 2; the help
# needs no display.
QT_QPA_PLATFORM=offscreen "$program" --servizo lab >/dev/null 2>"$work/err"
rc=$?
[ "$rc" = 2 ] || fail "a wrong option ended the program with $rc instead of 2"
grep -q "l'opzione «--servizo» non esiste" "$work/err" ||
    fail "a wrong option's message: $(cat "$work/err")"
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" --help >"$work/out" 2>&1
rc=$?
[ "$rc" = 0 ] || fail "--help ended with $rc: $(cat "$work/out")"
grep -q -- "--servizio NOME" "$work/out" || fail "the help does not name --servizio"

# As installed: the settings file's path written into the launcher by the prefix installed to
# (the package installs to /usr), and the example beside the documentation, all commented.
for prefix_and_config in /usr:/etc/tempolario/archivio.conf \
    /usr/local:/usr/local/etc/tempolario/archivio.conf; do
    prefix=${prefix_and_config%%:*}
    expected=${prefix_and_config#*:}
    root=$work/root$(basename "$prefix")
    DESTDIR=$root "$cmake" --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 ||
        { fail "cmake --install to $prefix failed: $(tail -5 "$work/install.log")"; continue; }
    installed=$root$prefix/bin/tempolario-avvio
    [ -x "$installed" ] || fail "no runnable launcher installed under $prefix"
    grep -q "TEMPOLARIO_CONFIG:-$expected}" "$installed" ||
        fail "the launcher installed under $prefix does not read $expected"
    grep -q "@TEMPOLARIO_CONFIG@" "$installed" && fail "the launcher was installed unconfigured"
    [ "$(stat -c %a "$root$(dirname "$expected")" 2>&1)" = 755 ] ||
        fail "the folder of $expected is not installed open to all"
    example=$root$prefix/share/doc/tempolario/archivio.conf
    if [ ! -f "$example" ]; then
        fail "no example settings file under $prefix/share/doc/tempolario"
    else
        grep -vqE '^[[:space:]]*(#|$)' "$example" && fail "the example has a line in force"
        grep -qE '^# *servizio *= *' "$example" || fail "the example does not show «servizio»"
        # The example, put in place as it comes, changes nothing.
        cp "$example" "$config"
        launch
        [ "$rc" = 0 ] && [ -f "$home/tempolario.mdb" ] ||
            fail "the example as it comes does not leave the archive in the working folder"
    fi
    rm -rf "$root"
done

if [ "$failures" -ne 0 ]; then
    printf '%d failures\n' "$failures" >&2
    exit 1
fi
echo "launcher: every case passed"
