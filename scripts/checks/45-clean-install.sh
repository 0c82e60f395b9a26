#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tempolario developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package on a machine that has nothing of ours: a minimal system of the Debian
# release this machine runs (the package is built for it), made afresh with debootstrap,
# from the mirror this machine's apt uses. The .deb built by
# 40-package.sh is installed there with apt, which must find every library and font the
# program needs from the package's Depends alone; then a new user of that system starts the
# program from the menu entry on a virtual X server, stores a result and reads it back.
# The virtual X server and the pointer driver are installed beside it for the test only.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../common.sh"
source "$(dirname "${BASH_SOURCE[0]}")/lib/menu-road.sh"

started=$SECONDS
build=$TEMPOLARIO_ROOT/build-package
app_id=it.tempolario.Tempolario
user=alunno
fail() { say "clean install: $*"; exit 1; }

[ "$(id -u)" -eq 0 ] || { say "clean install: needs root to make a system; skipped"; exit 0; }
ensure_packages debootstrap
deb=$(echo "$build"/tempolario_*.deb)
[ -f "$deb" ] || fail "no package in $build (40-package.sh builds it)"

# The mirror of this machine's own apt sources, deb822 or one-line form. A machine may have
# only one of the two (a system made by debootstrap has only sources.list), so a missing
# file is no failure here.
shopt -s nullglob
mirror=$(cat /etc/apt/sources.list.d/*.sources /dev/null |
    sed -n 's/^URIs: *\([^ ]*\).*/\1/p' | grep -v security | head -n 1 || true)
[ -n "$mirror" ] || mirror=$(cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list /dev/null \
    2>/dev/null | awk '$1 == "deb" && $0 !~ /security/ { print $2; exit }' || true)
shopt -u nullglob
[ -n "$mirror" ] || fail "no Debian mirror in this machine's apt sources"

suite=$( (. /etc/os-release && printf '%s' "${VERSION_CODENAME:-}") || true)
case $suite in
    bookworm | trixie) ;;
    *) fail "this machine runs neither Debian 12 nor 13 (codename: ${suite:-none})" ;;
esac

root=$(mktemp -d /tmp/tempolario-clean.XXXXXX)
chmod 755 "$root"  # the new system's / must be open to its users
cleanup() {
    for mount in dev/pts dev proc; do
        mountpoint -q "$root/$mount" && umount -l "$root/$mount"
    done
    rm -rf --one-file-system "$root"
}
trap cleanup EXIT

debootstrap --variant=minbase "$suite" "$root" "$mirror" >"$build/debootstrap.log" 2>&1 ||
    { tail -20 "$build/debootstrap.log" >&2; fail "debootstrap failed"; }
mount -t proc proc "$root/proc"
mount --bind /dev "$root/dev"
mount --bind /dev/pts "$root/dev/pts"
cp "$deb" "$root/tmp/"
in_root() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 "$@"; }
in_root bash -c "export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq &&
    apt-get install -y -qq --no-install-recommends /tmp/$(basename "$deb") &&
    apt-get install -y -qq --no-install-recommends xvfb xauth xdotool" \
    >"$build/clean-apt.log" 2>&1 || { tail -30 "$build/clean-apt.log" >&2; fail "apt-get install failed"; }
say "installed with apt on a fresh minimal $suite system"

in_root useradd -m -s /bin/bash "$user"
in_root runuser -u "$user" -- env HOME="/home/$user" USER="$user" \
    xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96 -noreset" \
    bash -c "$(declare -f menu_road); menu_road \"\$@\"" menu_road "$app_id" ||
    fail "the program started from the menu entry did not store and give back a result"
say "clean install check passed in $((SECONDS - started)) s"
