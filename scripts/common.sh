# Shared by run.sh and test.sh: install what is missing, then configure and build.
# Sourced, not run.

TEMPOLARIO_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Debian 12 packages that building and running need.
TEMPOLARIO_RUN_PACKAGES=(cmake ninja-build g++ qt6-base-dev libgl-dev libsqlite3-dev sqlite3
                         fonts-liberation qt6-translations-l10n)
# What the tests need on top: a virtual X server, a pointer driver and screenshot tools, and
# a session bus with the accessibility registry and its Python client for the screen-reader
# test.
TEMPOLARIO_TEST_PACKAGES=(xvfb xauth xdotool x11-utils dbus-daemon at-spi2-core python3-pyatspi)

say() { printf 'tempolario: %s\n' "$*"; }

# Installs the named packages that are not installed yet; quick when all are there.
ensure_packages() {
    local missing=() pkg
    for pkg in "$@"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' ||
            missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    say "installing: ${missing[*]}"
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
    "${sudo[@]}" apt-get update -qq || { say "apt-get update failed"; exit 1; }
    "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null ||
        { say "apt-get install failed for: ${missing[*]}"; exit 1; }
}

# Configures (once) and builds the folder given, with extra CMake arguments after it.
build_tree() {
    local dir=$1
    shift
    if [ ! -f "$dir/build.ninja" ]; then
        cmake -S "$TEMPOLARIO_ROOT" -B "$dir" -G Ninja "$@" >/dev/null ||
            { say "cmake configure failed"; exit 1; }
    fi
    cmake --build "$dir" -- -k 0 || { say "build failed"; exit 1; }
}
