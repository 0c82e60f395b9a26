#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tempolario developers
# SPDX-License-Identifier: GPL-3.0-or-later
# A private PostgreSQL server for the tests, in a folder of the build tree. It listens on
# a Unix socket in that folder only and lets nobody in without a SCRAM password.
#
#   pgserver.sh start DIR [--tls]
#                             make the cluster on first use (roles, database, passwords), then
#                             start it; on an existing cluster only start it, which also
#                             recovers after the server was killed
#   pgserver.sh restart DIR   the same as start, but only for a cluster made already
#   pgserver.sh fresh DIR [--tls]
#                             stop and remove what an earlier run left in DIR, then start
#   pgserver.sh stop DIR      stop the server (stopped, killed or gone alike), remove DIR
#   pgserver.sh pids DIR      the postmaster's pid, then its children's, one per line
#   pgserver.sh bindir        the folder of the server's programs (psql among them)
#
# What clients need is left in DIR: pg_service.conf with the services "tempolario" (the
# program's role), "tempolario-admin" (owner of the database) and "tempolario-super" (the
# cluster's superuser, for tests only), and pgpass, the passwords (mode 0600) it points to.
# Run as root, the server runs as the user nobody (initdb refuses root); the clients stay
# the invoking user and sign in with the passwords. Nothing outside DIR is touched, apart
# from a folder under /tmp when the server user cannot reach DIR or its socket path would
# be too long; that folder goes away with DIR.
#
# With --tls the server is the one a school would run on its network: it listens on
# 127.0.0.1 at a free port (recorded in DIR/port) and lets clients in over TLS only
# (hostnossl and the Unix socket refused). Its certificate, for localhost and 127.0.0.1, is
# signed by a CA made for this cluster alone, DIR/tls/ca.crt, which is also the server's
# ssl_ca_file; DIR/tls/other-ca.crt is a second CA that signed nothing here, for the tests
# that must be refused. The program's role has no password: it signs in with the client
# certificate DIR/tls/tempolario.crt (CN=tempolario, signed by the same CA) and its key
# DIR/tls/tempolario.key, which a run as root leaves owned by root with mode 0640, as on a
# lab's computers; the other roles sign in with SCRAM, and their services require channel
# binding. A database named tempolario_chiaro asks for a password in clear (pg_hba
# "password"), as a server that only pretends to be the school's would. The program's role
# may hold at most 20 of the server's 40 connections and cannot make large objects. The
# services connect with host=localhost, sslmode=verify-full and sslrootcert naming
# DIR/tls/ca.crt. Every connection is logged (log_connections), so a test can tell from
# server.log whether a refused client ever got a session.
set -Eeuo pipefail
# shellcheck source=tests/testtime.sh
source "$(dirname "${BASH_SOURCE[0]}")/../testtime.sh"

port=5432
readonly super_role=tempolario_super admin_role=tempolario_admin app_role=tempolario
readonly database=tempolario
readonly server_user=nobody server_group=nogroup

# Connection settings from the caller's environment would send our clients elsewhere.
while read -r name; do unset "$name"; done < <(compgen -e | grep '^PG' || true)

say() { printf 'pgserver: %s\n' "$*" >&2; }

step=""
log=""
# Exits with status 3 after saying what failed; a caller that sees status 3 from a subshell
# passes it on without saying it again.
fail() {
    say "failed${step:+ while $step}: $*"
    if [ -n "$log" ] && [ -s "$log" ]; then
        say "last lines of $log:"
        tail -n 25 "$log" >&2
    fi
    exit 3
}
status=0
trap 'status=$?; [ "$status" -eq 3 ] && exit 3; fail "command failed (status $status): $BASH_COMMAND"' ERR

usage() {
    say "usage: pgserver.sh start|restart|fresh|stop|pids DIR [--tls], or pgserver.sh bindir"
    exit 2
}

# The server's programs from a PostgreSQL installation, never from PATH (a wrapper or
# another version may come first there): the one pg_config names, else the newest of
# Debian's under /usr/lib/postgresql (15 on Debian 12, 17 on Debian 13; a machine upgraded
# from 12 may hold both until the old one is removed).
find_bindir() {
    local dir candidates=()
    dir=$(pg_config --bindir 2>/dev/null || true)
    [ -z "$dir" ] || candidates+=("$dir")
    mapfile -t -O ${#candidates[@]} candidates < <(
        printf '%s\n' /usr/lib/postgresql/*/bin | sort -V -r)
    for dir in "${candidates[@]}"; do
        if [ -x "$dir/initdb" ] && [ -x "$dir/postgres" ] && [ -x "$dir/pg_ctl" ] &&
            [ -x "$dir/psql" ]; then
            bin=$dir
            return 0
        fi
    done
    fail "no PostgreSQL server programs found (install postgresql-15 on Debian 12, postgresql-17 on Debian 13)"
}

is_root() { [ "$(id -u)" -eq 0 ]; }

# Runs a server-side command as the server's user, in a small clean environment (the
# tests' locale need not exist for the server, and their PG variables must not leak in).
# Only standard input, output and error go along: a server that inherited the lock on DIR
# would hold it for its lifetime, and one holding a pipe of CTest's would keep the test open.
as_server() {
    local env=(env -i PATH=/usr/bin:/bin LC_ALL=C.UTF-8 ${TZ:+TZ="$TZ"})
    (
        cd /
        for fd in /proc/"$BASHPID"/fd/*; do
            fd=${fd##*/}
            if [ "$fd" -gt 2 ]; then eval "exec $fd>&-"; fi
        done
        if is_root; then
            exec setpriv --reuid="$server_user" --regid="$server_group" --clear-groups -- \
                "${env[@]}" "$@"
        fi
        exec "${env[@]}" "$@"
    )
}

own_for_server() {
    if is_root; then chown "$server_user:$server_group" "$@"; fi
}

password() { head -c 24 /dev/urandom | base64 | tr -d '\n'; }

# The folder holding the server's data, socket and log: DIR itself, or the folder under /tmp
# recorded in DIR/server-home.
server_home() {
    if [ -f "$dir/server-home" ]; then cat "$dir/server-home"; else printf '%s\n' "$dir"; fi
}

# Every process of this cluster: the postmaster (first, when alive), its children, and
# backends left behind by a postmaster that was killed. All of them run in the data folder,
# which tells them from any other server on the machine.
server_pids() {
    local data home pm="" pid cwd others=()
    home=$(server_home)
    [ -d "$home/data" ] || return 0
    data=$(readlink -f "$home/data")
    if [ -f "$data/postmaster.pid" ]; then
        read -r pm <"$data/postmaster.pid" || true
    fi
    for pid in $(pgrep -x postgres || true); do
        cwd=$(readlink "/proc/$pid/cwd" 2>/dev/null) || continue
        [ "$cwd" = "$data" ] || [ "$cwd" = "$data (deleted)" ] || continue
        if [ "$pid" = "$pm" ]; then
            printf '%s\n' "$pid"
        else
            others+=("$pid")
        fi
    done
    [ ${#others[@]} -eq 0 ] || printf '%s\n' "${others[@]}"
}

postmaster_alive() {
    local home pm
    home=$(server_home)
    [ -f "$home/data/postmaster.pid" ] || return 1
    read -r pm <"$home/data/postmaster.pid" || return 1
    [[ $pm =~ ^[0-9]+$ ]] || return 1
    [ "$(readlink "/proc/$pm/cwd" 2>/dev/null || true)" = "$(readlink -f "$home/data")" ]
}

# True while the process runs; a zombie (killed, not yet reaped by its parent) does not.
running() {
    local stat
    stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 1
    stat=${stat##*) }
    [[ $stat != [ZX]* ]]
}

# Waits up to the seconds given (scaled) for every listed process to end.
wait_gone() {
    local seconds pid alive i
    seconds=$(scaled "$1")
    shift
    for ((i = 0; i < seconds * 10; i++)); do
        alive=0
        for pid in "$@"; do running "$pid" && alive=1 && break; done
        [ "$alive" -eq 0 ] && return 0
        sleep 0.1
    done
    return 1
}

# Wakes processes stopped by a fault test: a stopped server neither stops nor recovers.
wake() {
    local pids
    mapfile -t pids < <(server_pids)
    [ ${#pids[@]} -eq 0 ] || kill -CONT "${pids[@]}" 2>/dev/null || true
}

# Backends whose postmaster was killed serve nobody and keep the shared memory busy, which
# would stop a new postmaster from starting.
kill_orphans() {
    local pids
    mapfile -t pids < <(server_pids)
    [ ${#pids[@]} -eq 0 ] && return 0
    say "ending ${#pids[@]} server process(es) left by a killed postmaster"
    kill -KILL "${pids[@]}" 2>/dev/null || true
    wait_gone 10 "${pids[@]}" || fail "server processes did not end: ${pids[*]}"
}

# With no process of the cluster left, the lock files of a killed postmaster are stale. The
# server removes them itself unless their pid is still taken, as it is while the killed
# postmaster waits to be reaped, so they go here.
remove_stale_locks() {
    local home
    home=$(server_home)
    rm -f "$home/data/postmaster.pid" "$home/run/.s.PGSQL.$port.lock"
}

start_server() {
    local home i
    home=$(server_home)
    log=$home/server.log
    wake
    if postmaster_alive; then
        step="waiting for the running server"
        local rounds
        rounds=$(scaled 600)
        for ((i = 0; i < rounds; i++)); do
            as_server "$bin/pg_isready" -q -h "$home/run" -p "$port" && return 0
            sleep 0.1
        done
        fail "the server in $dir runs but does not accept connections"
    fi
    kill_orphans
    remove_stale_locks
    step="starting the server (pg_ctl start)"
    as_server "$bin/pg_ctl" -w -t "$(scaled 60)" -D "$home/data" -l "$log" start >/dev/null ||
        fail "pg_ctl could not start the server in $home/data"
}

# The cluster's certificates, made with openssl in DIR/tls: a CA, the server's certificate
# and key signed by it (for localhost and 127.0.0.1), and a second CA that signs nothing.
# The server's pair goes into the data folder given, owned by the server's user with the
# key readable by it alone (the server refuses a key others can read). The CAs' keys are
# thrown away once used: nothing else is ever signed with them.
make_certificates() {
    local data=$1 tls=$dir/tls
    step="making the certificates (openssl)"
    command -v openssl >/dev/null || fail "openssl is missing (install the package openssl)"
    mkdir -p "$tls"
    cat >"$tls/openssl.cnf" <<'EOF'
[req]
distinguished_name = name
prompt = no
[name]
[ca]
basicConstraints = critical, CA:TRUE
keyUsage = critical, keyCertSign, cRLSign
subjectKeyIdentifier = hash
[server]
basicConstraints = critical, CA:FALSE
keyUsage = critical, digitalSignature, keyEncipherment
extendedKeyUsage = serverAuth
subjectAltName = DNS:localhost, IP:127.0.0.1
subjectKeyIdentifier = hash
authorityKeyIdentifier = keyid
[client]
basicConstraints = critical, CA:FALSE
keyUsage = critical, digitalSignature
extendedKeyUsage = clientAuth
subjectKeyIdentifier = hash
authorityKeyIdentifier = keyid
EOF
    local ca
    for ca in ca:"Tempolario test CA" other-ca:"Tempolario other test CA"; do
        (umask 077 && openssl genpkey -algorithm EC -pkeyopt ec_paramgen_curve:P-256 \
            -out "$tls/${ca%%:*}.key" 2>>"$tls/openssl.log")
        openssl req -config "$tls/openssl.cnf" -new -x509 -days 30 -key "$tls/${ca%%:*}.key" \
            -subj "/O=Tempolario tests/CN=${ca#*:}" -extensions ca \
            -out "$tls/${ca%%:*}.crt" 2>>"$tls/openssl.log"
    done
    (umask 077 && openssl genpkey -algorithm EC -pkeyopt ec_paramgen_curve:P-256 \
        -out "$tls/server.key" 2>>"$tls/openssl.log")
    openssl req -config "$tls/openssl.cnf" -new -key "$tls/server.key" \
        -subj "/O=Tempolario tests/CN=localhost" -out "$tls/server.csr" 2>>"$tls/openssl.log"
    openssl x509 -req -in "$tls/server.csr" -CA "$tls/ca.crt" -CAkey "$tls/ca.key" \
        -set_serial "0x$(head -c 16 /dev/urandom | od -An -tx1 | tr -d ' \n')" -days 30 \
        -extfile "$tls/openssl.cnf" -extensions server -out "$tls/server.crt" \
        2>>"$tls/openssl.log"
    (umask 077 && openssl genpkey -algorithm EC -pkeyopt ec_paramgen_curve:P-256 \
        -out "$tls/tempolario.key" 2>>"$tls/openssl.log")
    openssl req -config "$tls/openssl.cnf" -new -key "$tls/tempolario.key" \
        -subj "/O=Tempolario tests/CN=$app_role" -out "$tls/tempolario.csr" 2>>"$tls/openssl.log"
    openssl x509 -req -in "$tls/tempolario.csr" -CA "$tls/ca.crt" -CAkey "$tls/ca.key" \
        -set_serial "0x$(head -c 16 /dev/urandom | od -An -tx1 | tr -d ' \n')" -days 30 \
        -extfile "$tls/openssl.cnf" -extensions client -out "$tls/tempolario.crt" \
        2>>"$tls/openssl.log"
    rm -f "$tls/ca.key" "$tls/other-ca.key" "$tls/server.csr" "$tls/tempolario.csr"
    chmod 644 "$tls/ca.crt" "$tls/other-ca.crt" "$tls/server.crt" "$tls/tempolario.crt"
    # As a lab's computer holds it: root's, readable by the pupils' group (here root's own).
    if is_root; then chmod 640 "$tls/tempolario.key"; fi
    install -m 644 "$tls/ca.crt" "$data/ca.crt"
    own_for_server "$data/ca.crt"
    install -m 644 "$tls/server.crt" "$data/server.crt"
    install -m 600 "$tls/server.key" "$data/server.key"
    own_for_server "$data/server.crt" "$data/server.key"
}

# Whether something answers on the loopback port already.
port_taken() {
    timeout 2 bash -c "exec 3<>/dev/tcp/127.0.0.1/$1" 2>/dev/null
}

# Starts a new cluster on a port nobody uses: one picked at random among the free ones,
# tried until the server can bind it (another program may take it in between), at most ten
# times. The port is recorded in DIR/port for every later start.
start_on_free_port() {
    local attempt home
    home=$(server_home)
    log=$home/server.log
    for ((attempt = 1; attempt <= 10; attempt++)); do
        port=$((20000 + RANDOM % 40000))
        port_taken "$port" && continue
        printf '%s\n' "$port" >"$dir/port"
        printf 'port = %s\n' "$port" >>"$home/data/postgresql.conf"
        step="starting the server on port $port (pg_ctl start)"
        if as_server "$bin/pg_ctl" -w -t "$(scaled 60)" -D "$home/data" -l "$log" start >/dev/null; then
            return 0
        fi
        grep -q 'could not bind\|already in use' "$log" || fail "pg_ctl could not start the server"
        say "port $port was taken meanwhile; trying another"
    done
    fail "no free port found on 127.0.0.1 in 10 attempts"
}

# Runs SQL given on standard input as the given service, stopping at the first error. The
# passwords in it never reach a command line or the environment.
run_sql() {
    local service=$1 db=$2
    PGSERVICEFILE="$dir/pg_service.conf" "$bin/psql" -X -q -v ON_ERROR_STOP=1 \
        "service=$service dbname=$db" >/dev/null
}

create_cluster() {
    local home super_pw admin_pw app_pw run
    step="making $dir"
    mkdir -p "$dir"
    chmod 755 "$dir"
    home=$dir
    # The server's user must reach the data folder, and the socket's path must fit in a
    # socket address (107 bytes); otherwise the server lives under /tmp.
    local socket=$dir/run/.s.PGSQL.65535
    if ! as_server test -x "$dir" || [ ${#socket} -gt 107 ]; then
        home=$(mktemp -d /tmp/tempolario-pg.XXXXXX)
        chmod 755 "$home"
        printf '%s\n' "$home" >"$dir/server-home"
        ln -s "$home/data" "$dir/data"
        ln -s "$home/run" "$dir/run"
        ln -s "$home/server.log" "$dir/server.log"
    fi
    mkdir -m 700 "$home/data"
    mkdir -m 755 "$home/run"
    (umask 077 && : >"$home/server.log")
    own_for_server "$home/data" "$home/run" "$home/server.log"
    log=$home/server.log
    run=$home/run

    step="choosing the passwords"
    super_pw=$(password)
    admin_pw=$(password)
    app_pw=$(password)
    (umask 077 && printf '%s\n' "$super_pw" >"$home/super.pw")
    own_for_server "$home/super.pw"

    step="making the cluster (initdb)"
    log=$dir/initdb.log
    as_server "$bin/initdb" -D "$home/data" -U "$super_role" --pwfile="$home/super.pw" \
        --auth=scram-sha-256 -E UTF8 --locale=C.UTF-8 >"$log" 2>&1 ||
        { rm -f "$home/super.pw"; fail "initdb failed"; }
    rm -f "$home/super.pw"
    log=$home/server.log

    step="configuring the server"
    # Appended settings win over initdb's. fsync stays on: fault tests kill the server and
    # expect what it confirmed to survive.
    cat >>"$home/data/postgresql.conf" <<EOF

# Tempolario's test server
listen_addresses = ''
unix_socket_directories = '$run'
unix_socket_permissions = 0777
port = $port
password_encryption = scram-sha-256
max_connections = 420
shared_buffers = 32MB
fsync = on
log_destination = 'stderr'
logging_collector = off
EOF
    if [ "$tls" -eq 1 ]; then
        make_certificates "$home/data"
        cat >>"$home/data/postgresql.conf" <<EOF
listen_addresses = '127.0.0.1'
ssl = on
ssl_ca_file = 'ca.crt'
ssl_min_protocol_version = 'TLSv1.2'
log_connections = on
max_connections = 40
EOF
        cat >"$home/data/pg_hba.conf" <<EOF
# TLS or nothing: unencrypted connections are turned away before any password is asked,
# and the Unix socket has no entry at all. The program's role signs in with its client
# certificate alone; the others with SCRAM. The first line plays a server that asks for
# the password in clear.
hostssl   tempolario_chiaro all         127.0.0.1/32 password
hostssl   all               $app_role   127.0.0.1/32 cert
hostssl   all               all         127.0.0.1/32 scram-sha-256
hostnossl all               all         0.0.0.0/0    reject
EOF
        : >"$dir/tls/enabled"
        start_on_free_port
    else
        cat >"$home/data/pg_hba.conf" <<EOF
# Passwords only, checked with SCRAM; the server listens on its Unix socket alone.
local all all scram-sha-256
host  all all 127.0.0.1/32 scram-sha-256
EOF
        start_server
    fi

    step="writing the client files"
    (umask 077 && cat >"$dir/pgpass" <<EOF
*:*:*:$super_role:$super_pw
*:*:*:$admin_role:$admin_pw
*:*:*:$app_role:$app_pw
EOF
    )
    {
        local service role
        for service in tempolario:$app_role tempolario-admin:$admin_role tempolario-super:$super_role; do
            role=${service#*:}
            if [ "$tls" -eq 1 ] && [ "$role" = "$app_role" ]; then
                printf '[%s]\nhost=localhost\nport=%s\ndbname=%s\nuser=%s\nsslmode=verify-full\nsslrootcert=%s\nsslcert=%s\nsslkey=%s\n\n' \
                    "${service%%:*}" "$port" "$database" "$role" "$dir/tls/ca.crt" \
                    "$dir/tls/tempolario.crt" "$dir/tls/tempolario.key"
            elif [ "$tls" -eq 1 ]; then
                printf '[%s]\nhost=localhost\nport=%s\ndbname=%s\nuser=%s\npassfile=%s\nsslmode=verify-full\nsslrootcert=%s\nchannel_binding=require\n\n' \
                    "${service%%:*}" "$port" "$database" "$role" "$dir/pgpass" "$dir/tls/ca.crt"
            else
                printf '[%s]\nhost=%s\nport=%s\ndbname=%s\nuser=%s\npassfile=%s\n\n' \
                    "${service%%:*}" "$run" "$port" "$database" "$role" "$dir/pgpass"
            fi
        done
    } >"$dir/pg_service.conf"

    step="making the roles and the database"
    local app_sign_in="PASSWORD '$app_pw'"
    [ "$tls" -eq 0 ] || app_sign_in="CONNECTION LIMIT 20"
    printf '%s\n' \
        "CREATE ROLE $admin_role LOGIN CREATEDB PASSWORD '$admin_pw';" \
        "CREATE ROLE $app_role LOGIN NOINHERIT $app_sign_in;" \
        "GRANT pg_signal_backend TO $admin_role;" \
        "CREATE DATABASE $database OWNER $admin_role;" \
        "REVOKE ALL ON DATABASE $database FROM PUBLIC;" \
        "GRANT CONNECT ON DATABASE $database TO $app_role;" |
        run_sql tempolario-super postgres
    if [ "$tls" -eq 1 ]; then
        # Large objects are made by functions anyone may run; revoked in template1 too, so
        # that the tests' own databases, made from it, are the same.
        local db
        for db in template1 $database; do
            printf '%s\n' "REVOKE EXECUTE ON FUNCTION lo_creat(integer), lo_create(oid), lo_from_bytea(oid, bytea), lo_import(text), lo_import(text, oid) FROM PUBLIC;" |
                run_sql tempolario-super "$db"
        done
    fi
    : >"$dir/ready"
}

cmd_start() {
    find_bindir
    if [ -f "$dir/ready" ]; then
        # An existing cluster keeps the kind and port it was made with.
        if [ -f "$dir/tls/enabled" ]; then
            port=$(<"$dir/port")
        elif [ "$tls" -eq 1 ]; then
            fail "$dir holds a server without TLS; use fresh to make it anew with --tls"
        fi
        start_server
        say "server running in $dir"
        return 0
    fi
    if [ -e "$dir" ]; then
        say "$dir holds a cluster that was never finished; making it afresh"
        cmd_stop
    fi
    create_cluster
    say "server made and running in $dir"
}

cmd_stop() {
    local home pids
    [ -e "$dir" ] || return 0
    home=$(server_home)
    log=$home/server.log
    wake
    if postmaster_alive; then
        find_bindir
        step="stopping the server (pg_ctl stop)"
        as_server "$bin/pg_ctl" -D "$home/data" -m fast -w -t "$(scaled 60)" stop >/dev/null ||
            say "pg_ctl stop failed; ending the server's processes"
    fi
    # Whatever is left (a killed postmaster's backends, a server that would not stop) ends here.
    mapfile -t pids < <(server_pids)
    if [ ${#pids[@]} -gt 0 ]; then
        kill -KILL "${pids[@]}" 2>/dev/null || true
        step="ending the server's processes"
        wait_gone 10 "${pids[@]}" || fail "processes still running: ${pids[*]}"
    fi
    step="removing $dir"
    case $home in
        "$dir") ;;
        /tmp/tempolario-pg.*) rm -rf "$home" ;;
        *) say "left alone: $home, named in $dir/server-home, is none of ours" ;;
    esac
    rm -rf "$dir"
}

cmd_pids() {
    [ -d "$dir" ] || fail "no test server in $dir"
    server_pids
}

if [ $# -eq 1 ] && [ "$1" = bindir ]; then
    find_bindir
    printf '%s\n' "$bin"
    exit 0
fi
tls=0
case $# in
    2) ;;
    3)
        if [ "$3" != --tls ] || { [ "$1" != start ] && [ "$1" != fresh ]; }; then usage; fi
        tls=1
        ;;
    *) usage ;;
esac
command=$1
case $2 in
    /*) dir=$2 ;;
    *) dir=$PWD/$2 ;;
esac
dir=${dir%/}
{ [ -n "$dir" ] && [ "$dir" != / ]; } || usage
bin=""
# One start or stop at a time: a fault test's restart must not meet the fixture's stop
# halfway. The lock is on the folder that holds DIR, so that nothing is left behind.
lock_dir() {
    local parent
    parent=$(dirname "$dir")
    mkdir -p "$parent"
    exec {lock}<"$parent"
    flock -w "$(scaled 180)" "$lock" ||
        fail "another pgserver.sh kept $parent locked for $(scaled 180) s"
}

case $command in
    start) lock_dir && cmd_start ;;
    restart)
        lock_dir
        # A fault test restarts the server it had; a new empty one would hide what it lost.
        [ -f "$dir/ready" ] || fail "no test server in $dir to restart"
        cmd_start
        ;;
    fresh) lock_dir && cmd_stop && cmd_start ;;
    stop) lock_dir && cmd_stop ;;
    pids) cmd_pids ;;
    *) usage ;;
esac
