#!/bin/bash
# SPDX-FileCopyrightText: 2026 The Tempolario developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# The class report as a teacher makes it, from real archives: `tempolario-archivio registro`
# over a file and over a server that each hold PUPILS pupils and ANSWERS placements (a
# school year of runs of ten facts), with the time and the peak memory of the tool (GNU
# time). Starts a PostgreSQL server of its own in a temporary folder through
# tests/pg/pgserver.sh, and stops it and removes the folder however the run ends. Not part
# of ctest.
#
#   cmake --build build -j2 --target tempolario-archivio
#   bench/registro-bench.sh [--build DIR] [PUPILS] [ANSWERS]     (default 1000 2000000)
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(dirname "$here")
build_dir="$source_dir/build"
if [ "${1:-}" = "--build" ]; then
    build_dir=$(cd "$2" && pwd)
    shift 2
fi
pupils=${1:-1000}
answers=${2:-2000000}
tool="$build_dir/tools/tempolario-archivio"
pgserver="$source_dir/tests/pg/pgserver.sh"
[ -x "$tool" ] || { echo "registro-bench: build $tool first" >&2; exit 1; }
command -v sqlite3 >/dev/null || { echo "registro-bench: sqlite3 is needed" >&2; exit 1; }
[ -x /usr/bin/time ] || { echo "registro-bench: GNU time (package time) is needed" >&2; exit 1; }

folder=$(mktemp -d /tmp/tempolario-registro-bench.XXXXXX)
server="$folder/server"
cleanup() {
    "$pgserver" stop "$server" >/dev/null 2>&1 || true
    rm -rf "$folder"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# The placements, as SQL both engines run: pupil i % PUPILS, ten placements a deal, five
# deals a run, one run a pupil a school day from 15 September 2025; the first placement on
# a box is right two times in three, then a right one follows.
numbers="WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < $answers - 1)"
placements() {  # $1: "file" or "server"
    local when
    if [ "$1" = file ]; then
        when="strftime('%Y-%m-%dT%H:%M:%S', '2025-09-15 08:00:00', '+' || (i / ($pupils * 50)) || ' days', '+' || (i % 50) || ' seconds')"
    else
        when="timestamptz '2025-09-15 08:00:00' + (i / ($pupils * 50)) * interval '1 day' + (i % 50) * interval '1 second'"
    fi
    local select="SELECT 1 + (i / 50) % $pupils, (i / 50) / $pupils + 1, i % 50, 1 + (i * 37) % 189, 0, 1 + (i % 50) / 10, CAST(1000 + (i * 13) % 900 AS TEXT), (i * 7 % 3 <> 0), (i % 20 < 10), $when"
    if [ "$1" = file ]; then
        echo "$numbers INSERT INTO risposte $select FROM n;"
    else
        echo "INSERT INTO public.risposte $select FROM generate_series(0, $answers - 1) i;"
    fi
}

report() {  # what the report was made from, then the tool's arguments
    local what=$1
    shift
    /usr/bin/time -f "%e %M" -o "$folder/time" "$tool" registro "$@" --uscita "$folder/r.html" >/dev/null
    read -r seconds kilobytes <"$folder/time"
    printf '%-8s %8s s  %8d MiB peak  page %d KiB\n' "$what" "$seconds" $((kilobytes / 1024)) \
        $(($(stat -c %s "$folder/r.html") / 1024))
}

echo "machine: $(nproc) processors, load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "registro over $pupils pupils and $answers placements"

archive="$folder/tempolario.mdb"
"$tool" crea "$archive" >/dev/null
{
    echo "BEGIN;"
    echo "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < $pupils) INSERT INTO tempar (nome, chiave) SELECT 'Alunno ' || i, 'alunno ' || i FROM n;"
    placements file
    echo "COMMIT;"
} | sqlite3 "$archive"
report file "$archive"

"$pgserver" start "$server" >/dev/null
export PGSERVICEFILE="$server/pg_service.conf"
"$tool" crea --servizio tempolario-admin >/dev/null
psql=$("$pgserver" bindir)/psql
"$psql" -X -q -v ON_ERROR_STOP=1 "service=tempolario-admin" <<SQL
INSERT INTO public.tempar (nome, chiave) SELECT 'Alunno ' || i, 'alunno ' || i FROM generate_series(1, $pupils) i;
$(placements server)
ANALYZE public.tempar, public.risposte;
SQL
report server --servizio tempolario
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
