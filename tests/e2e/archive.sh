# SPDX-FileCopyrightText: 2026 The Tempolario developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Shared by the real-program tests: an empty archive in the current folder, or with
# --servizio on the test server (PGSERVICEFILE, as the CTest fixture sets it) in a database
# of its own reached through a service file as on a school's computer. Sourced, not run.
# Sets program_arguments and defines stored SQL (one query, its rows as text) and
# drop_archive (for the caller's clean-up). Needs tool, work and server set.
# shellcheck shell=bash disable=SC2034,SC2154
database=
program_arguments=()
if [ "$server" = --servizio ]; then
    base=${PGSERVICEFILE:?PGSERVICEFILE is not set (the test server fixture sets it)}
    database=e2e_$$
    PGSERVICEFILE=$base psql -qX "service=tempolario-admin" -c "CREATE DATABASE $database" >/dev/null
    # The fixture's two services, pointed at this database.
    awk -v db="$database" '
        /^\[/ { keep = ($0 == "[tempolario]" || $0 == "[tempolario-admin]") }
        keep && /^dbname=/ { print "dbname=" db; next }
        keep { print }' "$base" >"$work/pg_service.conf"
    export PGSERVICEFILE=$work/pg_service.conf
    "$tool" crea --servizio tempolario-admin >/dev/null
    program_arguments=(--servizio tempolario)
    stored() { psql -qXAt "service=tempolario" -c "$1"; }
    # Another program's session, reading SQL from standard input.
    other_session() { psql -qXAt "service=tempolario-admin"; }
else
    "$tool" crea tempolario.mdb >/dev/null
    stored() { sqlite3 tempolario.mdb "$1"; }
    other_session() { sqlite3 tempolario.mdb; }
fi
drop_archive() {
    if [ -n "$database" ]; then
        PGSERVICEFILE=$base psql -qX "service=tempolario-admin" -c "DROP DATABASE IF EXISTS $database" \
            >/dev/null 2>&1 || true
    fi
}
