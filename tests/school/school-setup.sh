#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tempolario developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The README's steps for a school's server, run as written on a Debian 12 system made afresh
# with debootstrap (from the mirror this machine's apt uses), which is at once the school's
# server and a computer of its lab. Every command of those steps is read from the README's
# blocks marked <!-- school:NAME -->, so the two cannot drift apart; only what a person
# types at a prompt (the administrator's password, the line put in ~/.pgpass) is typed
# here. The system gets a network of its own that holds only its loopback device, with
# the lab's address 192.168.10.1 on it and archivio.scuola.lan naming that address: the
# server listens on every address it has, as the steps say, and is still reachable from
# this system alone.
#
# On the way it shows: a pupil's run stored on the server by the real program started from
# the menu entry, read back by another pupil and by the administrator; the program's role
# usable only from accounts in the group alunni; the nightly backup made by root's crontab
# line and restored into a new database; and, before the computer was sent to the server,
# one pupil's file archive closed to another pupil.
#
#   tests/school/school-setup.sh [--deb FILE] [--keep]
#       --deb FILE  the package to install (default: build-package/tempolario_*.deb, which
#                   scripts/checks/40-package.sh makes)
#       --keep      leave the system in its folder (stopped) to look at afterwards
#       --base FILE a tar of the bare system that debootstrap made: made on the first run,
#                   unpacked in place of debootstrap on the next ones (quicker when trying)
#   tests/school/school-setup.sh --check-readme
#       only checks that every marked block is in the README and that the shell ones parse
#
# Needs root, the network (apt) and about a gigabyte under /tmp; takes some minutes.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/common.sh"

readme=$TEMPOLARIO_ROOT/README.md
app_id=it.tempolario.Tempolario
started=$SECONDS
fail() { say "school set-up: $*" >&2; exit 1; }
step() { say "school set-up, $((SECONDS - started)) s: $*"; }

# The text of the README's block marked NAME: the fenced lines after the marker.
block() {
    awk -v marker="<!-- school:$1 -->" '
        $0 == marker { found = 1; next }
        found == 1 && /^```/ { found = 2; next }
        found == 2 && /^```/ { exit }
        found == 2 { print }
        found == 1 && !/^```/ && NF { exit }' "$readme"
}
shell_blocks=(server-install server-conf certificates hba backup-folder restore lab-install
    lab-files setting admin check)
check_readme() {
    local name text
    for name in "${shell_blocks[@]}" roles crontab; do
        text=$(block "$name")
        [ -n "$text" ] || fail "the README has no block marked school:$name"
    done
    for name in "${shell_blocks[@]}"; do
        bash -n -c "$(block "$name")" 2>/dev/null || fail "the README's block school:$name is no valid shell"
    done
    grep -q '^\\password tempolario_admin$' <<<"$(block roles)" ||
        fail "the roles' block no longer asks for the administrator's password"
    [ "$(block crontab | awk '{ print NF }')" -gt 5 ] || fail "the crontab line has no command"
}

deb=
keep=
base=
while [ $# -gt 0 ]; do
    case $1 in
        --check-readme) check_readme; say "school set-up: the README's blocks are in place"; exit 0 ;;
        --deb) deb=$(realpath "$2"); shift 2 ;;
        --keep) keep=yes; shift ;;
        --base) base=$(realpath "$2"); shift 2 ;;
        *) fail "unknown argument $1" ;;
    esac
done
check_readme
[ "$(id -u)" -eq 0 ] || fail "needs root to make a system"
[ -n "$deb" ] || deb=$(echo "$TEMPOLARIO_ROOT"/build-package/tempolario_*.deb)
[ -f "$deb" ] || fail "no package $deb (scripts/checks/40-package.sh builds it, or give --deb)"
named=$(block lab-install | sed -n 's|.*\./\(tempolario_[^ ]*\.deb\).*|\1|p')
[ "$named" = "$(basename "$deb")" ] ||
    fail "the README installs $named, the package is $(basename "$deb")"
ensure_packages debootstrap iproute2

# The mirror of this machine's own apt sources, as scripts/checks/45-clean-install.sh finds it.
shopt -s nullglob
mirror=$(cat /etc/apt/sources.list.d/*.sources /dev/null |
    sed -n 's/^URIs: *\([^ ]*\).*/\1/p' | grep -v security | head -n 1 || true)
[ -n "$mirror" ] || mirror=$(cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list /dev/null \
    2>/dev/null | awk '$1 == "deb" && $0 !~ /security/ { print $2; exit }' || true)
shopt -u nullglob
[ -n "$mirror" ] || fail "no Debian mirror in this machine's apt sources"

root=$(mktemp -d /tmp/tempolario-school.XXXXXX)
chmod 755 "$root"
net=tempolario-school-$$
log=$root.log
: >"$log"
cleanup() {
    local proc
    set +e
    # Whatever still runs inside the system (the server, a virtual X server) was started here.
    for proc in /proc/[0-9]*; do
        [ "$(readlink "$proc/root" 2>/dev/null)" = "$root" ] && kill "${proc#/proc/}" 2>/dev/null
    done
    true
    sleep 1
    for proc in /proc/[0-9]*; do
        [ "$(readlink "$proc/root" 2>/dev/null)" = "$root" ] && kill -9 "${proc#/proc/}" 2>/dev/null
    done
    ip netns delete "$net" 2>/dev/null || true
    for mount in dev/pts dev proc; do
        mountpoint -q "$root/$mount" && umount -l "$root/$mount"
    done
    mount | grep -q " $root/" && { say "school set-up: $root is still mounted; left there" >&2; return; }
    if [ -n "$keep" ]; then
        say "school set-up: the system is kept in $root, its log in $log"
    else
        rm -rf --one-file-system "$root" "$log"
    fi
}
trap cleanup EXIT

# Inside the system: on its own network, or on this machine's for apt.
inside() {
    ip netns exec "$net" chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin \
        LANG=C.UTF-8 HOME=/root DEBIAN_FRONTEND=noninteractive "$@"
}
online() {
    chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 HOME=/root \
        DEBIAN_FRONTEND=noninteractive "$@"
}
# Runs the README's block NAME with bash, as root in FOLDER or as USER in their home.
run_block() {
    local name=$1 where=$2
    shift 2
    printf '\n### %s\n' "$name" >>"$log"
    if [ "${where#/}" != "$where" ]; then
        "$@" bash -euo pipefail -c "cd $where; $(block "$name")" >>"$log" 2>&1
    else
        "$@" runuser -u "$where" -- env HOME="/home/$where" USER="$where" LOGNAME="$where" \
            SCHOOL_SECRET="${secret:-}" bash -euo pipefail \
            -c "cd; $(declare -f editor); $(block "$name")" >>"$log" 2>&1
    fi || { tail -25 "$log" >&2; fail "the README's step school:$name failed"; }
}
# What the administrator types into ~/.pgpass when the step opens the editor.
editor() {
    printf 'archivio.scuola.lan:5432:tempolario:tempolario_admin:%s\n' "$SCHOOL_SECRET" >>"$1"
}
as_user() {
    local user=$1
    shift
    inside runuser -u "$user" -- env HOME="/home/$user" USER="$user" LOGNAME="$user" "$@"
}

if [ -n "$base" ] && [ -f "$base" ]; then
    step "unpacking the minimal Debian 12 of $base in $root"
    tar -xpf "$base" -C "$root"
else
    step "making a minimal Debian 12 in $root from $mirror"
    debootstrap --variant=minbase bookworm "$root" "$mirror" >>"$log" 2>&1 ||
        { tail -20 "$log" >&2; fail "debootstrap failed"; }
    [ -z "$base" ] || tar -cpf "$base" -C "$root" .
fi
mount -t proc proc "$root/proc"
mount --bind /dev "$root/dev"
mount --bind /dev/pts "$root/dev/pts"
# No service starts by itself while apt installs (there is no init here); the server is
# started on the system's own network below, as Debian's init would start it.
printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d"
chmod 755 "$root/usr/sbin/policy-rc.d"
# apt answers its own questions, as the person following the steps would.
printf 'APT::Get::Assume-Yes "true";\n' >"$root/etc/apt/apt.conf.d/90tempolario-school"
printf '127.0.0.1 localhost\n::1 localhost ip6-localhost ip6-loopback\n192.168.10.1 archivio.scuola.lan\n' \
    >"$root/etc/hosts"
ip netns add "$net"
ip netns exec "$net" ip link set lo up
ip netns exec "$net" ip addr add 192.168.10.1/24 dev lo
online apt-get update -qq >>"$log" 2>&1 || fail "apt-get update failed"

step "1. the server"
run_block server-install /root online
inside pg_ctlcluster 15 main start >>"$log" 2>&1 || fail "the server did not start"
run_block server-conf /root inside
step "2. the certificates"
run_block certificates /root inside
step "3. pg_hba.conf, and the server restarted"
run_block hba /root inside
inside runuser -u postgres -- psql -XtAc "SELECT 1" >/dev/null 2>&1 ||
    fail "the server is not up after the restart"
step "4. the roles and the database"
secret=$(head -c 18 /dev/urandom | base64 | tr '+/' '-_')
# psql reads the password at \password from its input when it has no terminal, twice.
awk -v secret="$secret" '{ print } /^\\password / { print secret; print secret }' \
    <<<"$(block roles)" >"$root/root/roles.sql"
printf '\n### roles\n' >>"$log"
inside setsid -w runuser -u postgres -- psql -X -v ON_ERROR_STOP=1 <"$root/root/roles.sql" \
    >>"$log" 2>&1 || { tail -20 "$log" >&2; fail "the roles' step failed"; }
rm -f "$root/root/roles.sql"
step "5. the backups' folder"
run_block backup-folder /root inside

step "6. a computer of the lab: the package"
cp "$deb" "$root/root/tempolario-lab/"
run_block lab-install /root/tempolario-lab online
online apt-get install -qq --no-install-recommends xvfb xauth xdotool >>"$log" 2>&1 ||
    fail "the virtual X server for the test did not install"
[ "$(stat -c '%U %a' "$root/etc/tempolario")" = "root 755" ] ||
    fail "the package did not make /etc/tempolario, root's and 0755"
step "6. the certificates, the service and the group alunni"
run_block lab-files /root/tempolario-lab inside
for user in alunno1 alunno2; do
    inside useradd -m -s /bin/bash -G alunni "$user"
done
inside useradd -m -s /bin/bash maestra
# The menu road of the package checks: a name typed, three dates placed, ESCO, read back.
source "$TEMPOLARIO_ROOT/scripts/checks/lib/menu-road.sh"
road() {
    as_user "$1" xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96 -noreset" \
        bash -c "$(declare -f menu_road); menu_road \"\$@\"" menu_road "$app_id" "" "${2:-}" \
        >>"$log" 2>&1
}

step "before the setting: pupil 1 stores a run in the file archive of their own"
road alunno1 || { tail -20 "$log" >&2; fail "pupil 1's run in the file archive"; }
modes=$(inside stat -c %a /home/alunno1 /home/alunno1/Tempolario \
    /home/alunno1/Tempolario/tempolario.mdb | tr '\n' ' ')
say "  modes of pupil 1's home, working folder and archive: $modes"
[ "${modes#* }" = "700 600 " ] || fail "pupil 1's folder and archive are not private: $modes"
if as_user alunno2 tempolario-archivio csv /home/alunno1/Tempolario/tempolario.mdb \
    >"$root/tmp/read" 2>&1; then
    fail "pupil 2 read pupil 1's archive: $(cat "$root/tmp/read")"
fi
say "  pupil 2 reading pupil 1's archive: $(head -n 1 "$root/tmp/read")"
if as_user alunno2 cat /home/alunno1/Tempolario/tempolario.mdb >/dev/null 2>"$root/tmp/read"; then
    fail "pupil 2 copied pupil 1's archive"
fi
say "  pupil 2 copying it: $(head -n 1 "$root/tmp/read")"

step "6. the computer's setting"
run_block setting /root inside
step "7. the administrator's service and password, and the table"
run_block admin maestra inside

step "a pupil's run on the server, started from the menu entry"
road alunno1 tempolario || { tail -20 "$log" >&2; fail "pupil 1's run on the server"; }
grep 'menu road: passed' "$log" | tail -n 1 | sed 's/^/  /'
say "  signed in with the lab's certificate and key ($(inside stat -c '%U:%G %a' \
    /etc/tempolario/tempolario.key)), pupil 1 being in the group alunni"
step "9. checking, from pupil 2's account"
printf '\n### check\n' >>"$log"
listing=$(as_user alunno2 bash -c "$(block check)" 2>&1) || fail "pupil 2's check: $listing"
grep -q 'Verdi Anna' <<<"$listing" || fail "pupil 2 does not see pupil 1's run: $listing"
step "the administrator reads it"
listing=$(as_user maestra tempolario-archivio elenco --servizio tempolario-admin 2>&1) ||
    fail "the administrator's listing: $listing"
printf '%s\n' "$listing" | sed 's/^/  /'
grep -q 'Verdi Anna' <<<"$listing" || fail "the administrator does not see the run"
session=$(as_user maestra psql -XtA "service=tempolario-admin" -c \
    "SELECT ssl, version FROM pg_stat_ssl WHERE pid = pg_backend_pid()" 2>&1) ||
    fail "the administrator's session: $session"
say "  the administrator's session (channel_binding=require): TLS $session"

step "who may use the program's role"
key_modes=$(inside stat -c '%U %G %a' /etc/tempolario/tempolario.key)
say "  /etc/tempolario/tempolario.key: $key_modes"
if out=$(as_user maestra tempolario-archivio elenco --servizio tempolario 2>&1); then
    fail "an account outside the group alunni used the program's role: $out"
fi
say "  outside the group: $(head -n 1 <<<"$out")"

step "the nightly backup, as root's crontab runs it"
command=$(block crontab | awk '{ $1 = $2 = $3 = $4 = $5 = ""; sub(/^ +/, ""); print }' |
    sed 's/\\%/%/g')
inside sh -c "$command" >>"$log" 2>&1 || fail "the crontab line's command failed: $command"
dump=/var/backups/tempolario/tempolario-$(inside date +%u).dump
say "  $(inside ls -l "$dump")"
step "5. the backup restored"
day=$(inside date +%u)
restored=$(block restore | sed "s/tempolario-3\.dump/tempolario-$day.dump/" |
    inside bash -euo pipefail 2>&1) || fail "the restore failed: $restored"
printf '%s\n' "$restored" | sed 's/^/  /'
grep -q 'Verdi Anna' <<<"$restored" || fail "the restored archive lacks the pupil's run"

step "every step passed in $((SECONDS - started)) s"
