# SPDX-FileCopyrightText: 2026 The Tempolario developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Shared by run.sh and test.sh: install what is missing, then configure and build.
# Sourced, not run.

TEMPOLARIO_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# scaled N: N seconds times TEMPOLARIO_TEST_SLOWDOWN, as the tests scale their deadlines.
# shellcheck source=tests/testtime.sh
source "$TEMPOLARIO_ROOT/tests/testtime.sh"

# --- The Debian release: 12 (bookworm) or 13 (trixie), from /etc/os-release. ---
# Only these names differ between the two; every other package is named alike on both.
#   TEMPOLARIO_DEBIAN        12 or 13
#   TEMPOLARIO_PG_VERSION    the PostgreSQL major version of the release (15 or 17)
#   TEMPOLARIO_PG_PACKAGES   its server and client, for the tests' own server
#   TEMPOLARIO_CLANG_RT      clang's runtime (libFuzzer, sanitizers) for the release's clang
TEMPOLARIO_DEBIAN=$( (. /etc/os-release 2>/dev/null && [ "${ID:-}" = debian ] &&
    printf '%s' "${VERSION_ID:-}") || true)
case $TEMPOLARIO_DEBIAN in
    12) TEMPOLARIO_PG_VERSION=15 TEMPOLARIO_CLANG_RT=libclang-rt-14-dev ;;
    13) TEMPOLARIO_PG_VERSION=17 TEMPOLARIO_CLANG_RT=libclang-rt-19-dev ;;
    *)
        printf 'tempolario: this is not Debian 12 or 13 (/etc/os-release says %s);\n' \
            "$( (. /etc/os-release 2>/dev/null && printf '%s' "${PRETTY_NAME:-nothing}") || echo nothing)" >&2
        printf 'tempolario: the package names below are those of Debian 12.\n' >&2
        TEMPOLARIO_DEBIAN=12 TEMPOLARIO_PG_VERSION=15 TEMPOLARIO_CLANG_RT=libclang-rt-14-dev
        ;;
esac
TEMPOLARIO_PG_PACKAGES=("postgresql-$TEMPOLARIO_PG_VERSION" "postgresql-client-$TEMPOLARIO_PG_VERSION")
# --- end of the release's names ---

# Debian packages that building and running need; libpq is the archive server's client,
# fontconfig the desktop's fonts, read while the program connects to the display.
TEMPOLARIO_RUN_PACKAGES=(cmake ninja-build g++ pkgconf qt6-base-dev libgl-dev libsqlite3-dev
                         libfontconfig-dev sqlite3 libpq-dev libpq5 fonts-liberation
                         qt6-translations-l10n)
# A virtual X server and what xvfb-run needs beside it.
TEMPOLARIO_VIRTUAL_DISPLAY_PACKAGES=(xvfb xauth)
# What the tests need on top: a virtual X server, a window manager to frame its windows
# (openbox), a pointer driver, screenshot tools, the Italian locale and time zone the tests
# run under, a session bus with the accessibility registry and its Python client for the
# screen-reader tests, the screen reader Orca with its speech server and espeak-ng, and the
# release's PostgreSQL server and client that tests/pg/pgserver.sh runs in the build folder
# (Debian may make and start a
# cluster of its own on installing the server; the tests never use it), and openssl, which
# makes the certificates of the TLS test server. Chromium (about 115 MB to fetch) opens the
# teacher's class report headless: the one check that the page a teacher gets renders, and
# that names with markup stay text, in a real browser rather than in our own parser.
TEMPOLARIO_TEST_PACKAGES=("${TEMPOLARIO_VIRTUAL_DISPLAY_PACKAGES[@]}" openbox xdotool x11-utils locales tzdata
                          dbus-daemon at-spi2-core python3-pyatspi
                          orca speech-dispatcher speech-dispatcher-espeak-ng espeak-ng
                          "${TEMPOLARIO_PG_PACKAGES[@]}" openssl chromium)
# The static analysis, installed with the rest since it runs beside the tests (two apt-gets
# at once would fight over dpkg's lock).
TEMPOLARIO_ANALYSIS_PACKAGES=(clang-tidy cppcheck python3)
# The package check: dpkg-shlibdeps (dpkg-dev) and file, which CPack's Debian generator
# runs on every binary to find the libraries it links.
TEMPOLARIO_PACKAGE_PACKAGES=(dpkg-dev file)

say() { printf 'tempolario: %s\n' "$*"; }

# Installs the named packages that are not installed yet; quick when all are there.
ensure_packages() {
    local missing=() pkg
    for pkg in "$@"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' ||
            missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    say "installing ${#missing[@]} Debian packages with apt-get (with what they need in turn," \
        "a few minutes on a fresh machine): ${missing[*]}"
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        if command -v sudo >/dev/null 2>&1; then
            sudo=(sudo)
        else
            say "these Debian packages are missing and I am not root: ${missing[*]}"
            say "install them as root (apt-get install ${missing[*]}), then run this again."
            exit 1
        fi
    fi
    export DEBIAN_FRONTEND=noninteractive
    # -q keeps apt's lines (what it fetches, unpacks and sets up) without progress bars.
    say "apt-get update: reading the package lists"
    "${sudo[@]}" apt-get update -q || { say "apt-get update failed"; exit 1; }
    say "apt-get install: ${missing[*]}"
    "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}" ||
        { say "apt-get install failed for: ${missing[*]}"; exit 1; }
    say "installed: ${missing[*]}"
}

# The tests run under it_IT.UTF-8 (tests/CMakeLists.txt). Generates that locale once, from
# the locales package, keeping it in /etc/locale.gen so that a later locale-gen keeps it.
ensure_italian_locale() {
    locale -a 2>/dev/null | grep -qiE '^it_IT\.utf-?8$' && return 0
    ensure_packages locales
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        command -v sudo >/dev/null 2>&1 ||
            { say "the locale it_IT.UTF-8 is missing and I am not root: run locale-gen as root"; exit 1; }
        sudo=(sudo)
    fi
    say "generating the locale it_IT.UTF-8"
    "${sudo[@]}" sh -c 'touch /etc/locale.gen
        sed -i "s/^# *\(it_IT\.UTF-8 UTF-8\)/\1/" /etc/locale.gen
        grep -q "^it_IT\.UTF-8 UTF-8" /etc/locale.gen || echo "it_IT.UTF-8 UTF-8" >>/etc/locale.gen
        locale-gen >/dev/null' || { say "locale-gen failed"; exit 1; }
    locale -a 2>/dev/null | grep -qiE '^it_IT\.utf-?8$' ||
        { say "locale-gen did not make it_IT.UTF-8"; exit 1; }
}

# Configures (once) and builds the folder given, with extra CMake arguments after it.
# The first build of a folder compiles everything: about 12 minutes on two idle cores (with
# the tests and tools; the sanitizer build takes longer). Later ones build what changed.
build_tree() {
    local dir=$1
    shift
    if [ ! -f "$dir/build.ninja" ]; then
        say "configuring $dir${*:+ with $*}"
        cmake -S "$TEMPOLARIO_ROOT" -B "$dir" -G Ninja "$@" >/dev/null ||
            { say "cmake configure failed"; exit 1; }
        say "building $dir for the first time: about 12 minutes on two cores"
    else
        say "building what changed in $dir"
    fi
    cmake --build "$dir" -- -k 0 || { say "build failed"; exit 1; }
}

# The factor by which the tests' deadlines grow (TEMPOLARIO_TEST_SLOWDOWN) when none is
# given: 2, or more on a machine already busy, twice its load per processor rounded up, up
# to 10.
test_slowdown() {
    local cores load
    cores=$(nproc 2>/dev/null || echo 1)
    load=$(cut -d ' ' -f 1 /proc/loadavg 2>/dev/null || echo 0)
    awk -v load="$load" -v cores="$cores" 'BEGIN {
        f = 2 * load / cores
        f = (f == int(f)) ? f : int(f) + 1
        print (f < 2) ? 2 : (f > 10) ? 10 : f
    }'
}
