#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tempolario developers
# SPDX-License-Identifier: GPL-3.0-or-later
# pgserver.sh itself under the faults the archive tests cause: a server frozen with SIGSTOP
# must still stop and leave nothing behind; one killed with SIGKILL (postmaster and backends,
# or the postmaster alone under an open session) must restart and keep what it committed.
# Uses a server of its own in the folder given, not the shared one.
# Usage: faults.sh PGSERVER_SCRIPT DIR
set -euo pipefail
# shellcheck source=tests/testtime.sh
source "$(dirname "${BASH_SOURCE[0]}")/../testtime.sh"
script=$1
dir=$2
server() { bash "$script" "$1" "$dir"; }

bin=$(bash "$script" bindir)
export PGSERVICEFILE=$dir/pg_service.conf
sql() { "$bin/psql" -X -A -t -q -v ON_ERROR_STOP=1 "service=$1" -c "$2"; }

fail() { echo "FAIL: $*"; exit 1; }
trap 'server stop >/dev/null 2>&1 || true' EXIT

# No process may outlive a stop, whether it was running, frozen or orphaned.
none_left() {
    local pid
    for pid in "$@"; do
        if [ -d "/proc/$pid" ] && ! grep -q '^State:[[:space:]]*Z' "/proc/$pid/status" 2>/dev/null; then
            fail "process $pid is still running after stop"
        fi
    done
}

server fresh

# pids: the postmaster first, then its children.
mapfile -t pids < <(server pids)
[ ${#pids[@]} -ge 2 ] || fail "pids listed ${#pids[@]} process(es)"
for pid in "${pids[@]:1}"; do
    [ "$(ps -o ppid= -p "$pid" | tr -d ' ')" = "${pids[0]}" ] ||
        fail "pids: $pid is no child of the first pid listed, ${pids[0]}"
done
echo "ok: pids lists the postmaster and its $((${#pids[@]} - 1)) children"

# Frozen: every process stopped, then stop. Woken, the server shuts down in a few seconds;
# left frozen, it would only go after pg_ctl's minute and a SIGKILL.
kill -STOP "${pids[@]}"
timeout "$(scaled 30)" bash "$script" stop "$dir" ||
    fail "stop of a frozen server failed or took $(scaled 30) s"
none_left "${pids[@]}"
[ ! -e "$dir" ] || fail "stop left $dir behind"
echo "ok: a frozen server stops and leaves nothing"
server stop || fail "stop of a server already gone failed"
echo "ok: stopping a server already gone succeeds"

# Killed: a committed row survives SIGKILL of every process, and restart recovers.
server start
sql tempolario-admin "CREATE TABLE kept (n integer); INSERT INTO kept VALUES (42);
                      GRANT SELECT ON kept TO tempolario"
mapfile -t pids < <(server pids)
kill -KILL "${pids[@]}"
[ -z "$(server pids)" ] || fail "processes listed after all were killed"
server restart
[ "$(sql tempolario 'SELECT n FROM kept')" = 42 ] || fail "the committed row was lost"
echo "ok: after SIGKILL of every process the server restarts with its committed data"

# The postmaster alone killed while a session is open: its backends go, restart works.
"$bin/psql" -X -q service=tempolario -c 'SELECT pg_sleep(60)' >/dev/null 2>&1 &
client=$!
rounds=$(scaled 100)
for ((i = 0; i < rounds; i++)); do
    [ "$(sql tempolario-super "SELECT count(*) FROM pg_stat_activity
                               WHERE query LIKE 'SELECT pg_sleep%'")" = 1 ] && break
    sleep 0.1
done
mapfile -t pids < <(server pids)
kill -KILL "${pids[0]}"
server restart
[ "$(sql tempolario 'SELECT n FROM kept')" = 42 ] || fail "no service after the postmaster was killed"
wait "$client" || true
echo "ok: after SIGKILL of the postmaster alone the server restarts"

mapfile -t pids < <(server pids)
server stop
none_left "${pids[@]}"
[ ! -e "$dir" ] || fail "stop left $dir behind"
echo "ok: a running server stops and leaves nothing"
