#!/bin/bash
# SPDX-FileCopyrightText: 2026 The Tempolario developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Figures of the archive on a school's server beside the file (see bench/server_bench.cpp):
# store latency with 1, 30 and 300 programs storing at once, and the name listing over
# 100,000 names. Starts a PostgreSQL server of its own in a temporary folder through
# tests/pg/pgserver.sh, runs build/bench/server_bench against it, prints its table, and
# stops the server and removes the folder however the run ends. Not part of ctest.
#
#   cmake --build build -j2 --target server_bench
#   bench/server-bench.sh [--build DIR] [server_bench options...]
#
# e.g. bench/server-bench.sh --clients 1,30 --stores 10 --skip-listing
# Options of server_bench: --clients 1,30,300  --stores 20  --think-ms 100  --budget-s 120
# --rows 100000  --skip-listing  --server-only. A full run takes two to five minutes; the
# file at 300 programs is the slow part. The figures depend on the machine's load: the script prints the
# processors and the load average before and after.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(dirname "$here")
build_dir="$source_dir/build"
if [ "${1:-}" = "--build" ]; then
    build_dir=$(cd "$2" && pwd)
    shift 2
fi
bench="$build_dir/bench/server_bench"
pgserver="$source_dir/tests/pg/pgserver.sh"
if [ ! -x "$bench" ]; then
    echo "server-bench: $bench is missing; build it with: cmake --build build --target server_bench" >&2
    exit 1
fi
if [ ! -x "$pgserver" ]; then
    echo "server-bench: $pgserver is missing" >&2
    exit 1
fi

folder=$(mktemp -d /tmp/tempolario-server-bench.XXXXXX)
# pgserver.sh makes the server's folder itself.
server="$folder/server"
stop_server() {
    "$pgserver" stop "$server" >/dev/null 2>&1 || true
    rm -rf "$folder"
}
trap stop_server EXIT
trap 'exit 130' INT TERM

"$pgserver" start "$server" >/dev/null
export PGSERVICEFILE="$server/pg_service.conf"

echo "machine: $(nproc) processors, load average before: $(cut -d' ' -f1-3 /proc/loadavg)," \
     "$(date -u '+%Y-%m-%d %H:%M UTC')"
echo "server: $(psql -X -tA "service=tempolario-admin" -c 'SELECT version()' | cut -d, -f1)," \
     "max_connections $(psql -X -tA "service=tempolario-admin" -c 'SHOW max_connections')," \
     "Unix socket on this machine"
echo
# The files go into our folder too, so an interrupted run leaves nothing behind.
"$bench" --folder "$folder/files" "$@"
echo
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
