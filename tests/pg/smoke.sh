#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tempolario developers
# SPDX-License-Identifier: GPL-3.0-or-later
# What the archive server's security rests on, checked on the tests' running server: only
# the right SCRAM password lets a client in, no rule of the server lets anyone in without
# one, and the role the program connects as can read and write what it is given but cannot
# change the database's shape or reach beyond it.
# Runs under CTest with the pgserver fixture (PGSERVICEFILE, TEMPOLARIO_TEST_PGSERVER set).
set -euo pipefail

dir=${TEMPOLARIO_TEST_PGSERVER:?the pgserver fixture sets TEMPOLARIO_TEST_PGSERVER}
: "${PGSERVICEFILE:?the pgserver fixture sets PGSERVICEFILE}"
while read -r name; do
    [ "$name" = PGSERVICEFILE ] || unset "$name"
done < <(compgen -e | grep '^PG' || true)

# The refusals are told apart by their messages, which the client would otherwise translate.
export LC_ALL=C.UTF-8 LANGUAGE=

bin=$(bash "${TEMPOLARIO_TEST_PGSCRIPT:?the pgserver fixture sets TEMPOLARIO_TEST_PGSCRIPT}" bindir)

failures=0
check() {
    local what=$1 got=$2 want=$3
    if [ "$got" = "$want" ]; then
        echo "ok: $what"
    else
        echo "FAIL: $what: got [$got], want [$want]"
        failures=$((failures + 1))
    fi
}
# One value (or one row, fields joined by |) from a query, as the service given.
query() { "$bin/psql" -X -A -t -q -v ON_ERROR_STOP=1 "service=$1" -c "$2" 2>&1 || true; }
# The error a refused command ends with, or "accepted".
refusal() {
    local out
    if out=$("$bin/psql" -X -A -t -q -v ON_ERROR_STOP=1 "$@" 2>&1); then
        echo accepted
    else
        printf '%s\n' "$out" | grep -oE 'password authentication failed for user "[a-z_]+"|no password supplied|permission denied[^"]*' | head -n 1
    fi
}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Signing in: the right password, a wrong one, none.
check "the program's service signs in as its role" \
    "$(query tempolario 'SELECT current_user, current_database()')" "tempolario|tempolario"
sed 's/^\(\*:\*:\*:tempolario:\).*/\1wrong-password/' "$dir/pgpass" >"$work/pgpass"
chmod 600 "$work/pgpass"
check "a wrong password is refused" \
    "$(refusal "service=tempolario passfile=$work/pgpass" -c 'SELECT 1')" \
    'password authentication failed for user "tempolario"'
check "no password is refused" \
    "$(refusal "service=tempolario passfile=$work/none" -c 'SELECT 1')" "no password supplied"
check "the password file is the test user's alone" \
    "$(stat -c '%a %u' "$dir/pgpass")" "600 $(id -u)"

# The server: SCRAM everywhere, no way in but the socket, room for the load test.
check "settings: password hashing, listening, connections, fsync" \
    "$(query tempolario-super "SELECT current_setting('password_encryption'),
        current_setting('listen_addresses'), current_setting('max_connections'),
        current_setting('fsync')")" "scram-sha-256||420|on"
check "every access rule asks for a SCRAM password, and one serves the socket" \
    "$(query tempolario-super "SELECT count(*) FILTER (WHERE auth_method <> 'scram-sha-256'
                                                       OR error IS NOT NULL),
                                      count(*) FILTER (WHERE type = 'local')
                               FROM pg_hba_file_rules")" "0|1"
check "every role's password is stored as a SCRAM secret" \
    "$(query tempolario-super "SELECT count(*) FROM pg_authid
                               WHERE rolname LIKE 'tempolario%'
                                 AND rolpassword LIKE 'SCRAM-SHA-256\$%'")" "3"

# The program's role: no powers of its own, no tables of its own making.
check "the program's role: not superuser, no inheriting, no databases, no roles" \
    "$(query tempolario-super "SELECT rolsuper, rolinherit, rolcreatedb, rolcreaterole,
                                      rolbypassrls
                               FROM pg_roles WHERE rolname = 'tempolario'")" "f|f|f|f|f"
check "the database belongs to the administrator and grants nothing to everyone" \
    "$(query tempolario-super "SELECT pg_get_userbyid(datdba),
           (SELECT count(*) FROM aclexplode(coalesce(datacl, acldefault('d', datdba)))
            WHERE grantee = 0)
           FROM pg_database WHERE datname = 'tempolario'")" "tempolario_admin|0"
check "the program's role cannot make a table" \
    "$(refusal service=tempolario -c 'CREATE TABLE smoke_probe (n integer)')" \
    "permission denied for schema public"
check "the administrator can make one" \
    "$(refusal service=tempolario-admin -c 'BEGIN' -c 'CREATE TABLE smoke_probe (n integer)' \
        -c 'ROLLBACK')" "accepted"

[ "$failures" -eq 0 ] || { echo "$failures check(s) failed"; exit 1; }
