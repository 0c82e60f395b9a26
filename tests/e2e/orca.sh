#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tempolario developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The program as a blind pupil meets it: the real screen reader, Orca, on a virtual X server
# with a private session bus, the accessibility bus and its registry, a speech server of its
# own with espeak-ng writing to a silent sound device, and a home folder of its own for
# Orca's and the speech server's settings. orca.py then drives the program by keys alone and
# checks what Orca says, read from Orca's own log of every utterance. Everything started here
# is stopped here, on success and on failure.
# Usage: orca.sh PROGRAM ARCHIVE_TOOL FACT_DATA [TRANSCRIPT]
set -euo pipefail
here=$(dirname "$(realpath "$0")")
program=$(realpath "$1")
tool=$(realpath "$2")
facts=$(realpath "$3")
transcript=${4:+$(realpath -m "$4")}
work=$(mktemp -d)
xserver=
bus=
launcher=
orca=
speechd=
# shellcheck source=tests/testtime.sh
source "$here/../testtime.sh"
# shellcheck source=tests/e2e/ours.sh
source "$here/ours.sh"
# Ends a process of ours: asked first, then made to, for Orca and its speech server may hang
# on a voice that no longer answers.
end() {
    local i
    kill "$1" 2>/dev/null || return 0
    for i in $(seq 50); do kill -0 "$1" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$1" 2>/dev/null || true
    wait "$1" 2>/dev/null || true
}
stop() {
    local code=$? left= p
    unset XDG_RUNTIME_DIR DBUS_SESSION_BUS_ADDRESS
    # Without its session bus the launcher ends, and takes down the accessibility bus and the
    # registry with it.
    if [ -n "$orca" ]; then end "$orca"; fi
    if [ -n "$speechd" ]; then end "$speechd"; fi
    if [ -n "$bus" ]; then end "$bus"; fi
    if [ -n "$launcher" ]; then end "$launcher"; fi
    if [ -n "$xserver" ]; then end "$xserver"; fi
    # What the launcher and Orca started themselves: the registry, the speech server.
    for p in $(ours); do end "$p"; done
    left=$(ours)
    if [ -n "$left" ]; then
        echo "orca: left running:" $(ps -o comm= -p "${left//$'\n'/,}") >&2
        code=1
    fi
    if [ "$code" -ne 0 ] && [ -s "$work/orca.out" ]; then
        echo "orca: what Orca wrote:" >&2
        tail -n 20 "$work/orca.out" >&2
    fi
    rm -rf "$work"
    exit "$code"
}
trap stop EXIT
fail() { echo "orca: $*" >&2; exit 1; }

launch=
for candidate in /usr/libexec/at-spi-bus-launcher /usr/lib/at-spi2-core/at-spi-bus-launcher; do
    [ -x "$candidate" ] && launch=$candidate && break
done
[ -n "$launch" ] || fail "at-spi-bus-launcher not found (Debian package at-spi2-core)"
# Debian's own Python, which has pyatspi, whatever python3 comes first on the PATH.
python=/usr/bin/python3
"$python" -c 'import pyatspi' 2>/dev/null || fail "pyatspi not found (Debian package python3-pyatspi)"
command -v orca >/dev/null || fail "orca not found (Debian package orca)"
[ -x /usr/lib/speech-dispatcher-modules/sd_espeak-ng ] ||
    fail "the espeak-ng speech module not found (Debian packages speech-dispatcher, espeak-ng)"

cd "$work"
"$tool" crea tempolario.mdb >/dev/null
sqlite3 tempolario.mdb "INSERT INTO tempar (nome) VALUES ('Bianchi Anna')"

# The X server picks a free display itself and tells which: no race with other servers. It
# must not reset when its last client leaves (the launcher connects and leaves at its start),
# or a client arriving during the reset is turned away.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -dpi 96 -nolisten tcp -noreset 3>display 2>xserver.log &
xserver=$!
for _ in $(seq "$(scaled 200)"); do [ -s display ] && break; sleep 0.05; done
[ -s display ] || fail "the X server did not start: $(tail -n 5 xserver.log)"
export DISPLAY=:$(head -n 1 display)
for _ in $(seq "$(scaled 50)"); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
xdpyinfo >/dev/null 2>&1 || fail "the X server on $DISPLAY takes no connection: $(tail -n 5 xserver.log)"

# A session bus and a runtime folder of our own, so that nothing else on this machine sees
# or disturbs the tree, and this run disturbs no other.
mkdir -m 700 runtime
export XDG_RUNTIME_DIR=$work/runtime
dbus-daemon --session --nofork --nopidfile --print-address=3 3>bus-address 2>/dev/null &
bus=$!
for _ in $(seq "$(scaled 100)"); do [ -s bus-address ] && break; sleep 0.05; done
[ -s bus-address ] || fail "the session bus did not start"
DBUS_SESSION_BUS_ADDRESS=$(head -n 1 bus-address)
export DBUS_SESSION_BUS_ADDRESS
"$launch" --launch-immediately --a11y=1 >/dev/null 2>&1 &
launcher=$!

# Orca, its speech server and the sound library read their settings from this home: Italian
# speech through espeak-ng, played on ALSA's null device (no sound card is needed), and Orca's
# own settings folder, empty, so that it starts with its defaults.
mkdir -p home/.config/speech-dispatcher/modules orca-settings
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_DATA_HOME=$work/home/.local/share \
       XDG_CACHE_HOME=$work/home/.cache
printf 'pcm.!default { type null }\n' >home/.asoundrc
cat >home/.config/speech-dispatcher/speechd.conf <<'CONF'
AddModule "espeak-ng" "sd_espeak-ng" "espeak-ng.conf"
DefaultModule espeak-ng
DefaultLanguage "it"
AudioOutputMethod "alsa"
CONF
cp /etc/speech-dispatcher/modules/espeak-ng.conf home/.config/speech-dispatcher/modules/
export LANG=it_IT.UTF-8 LANGUAGE=it
# Every utterance goes to a file, a line at a time, as Orca speaks, through a hook that Python
# loads at Orca's start. Orca 43 (Debian 12) keeps a log of them that the hook listens to;
# later Orcas (48 on Debian 13) have none, and the hook wraps their speech module's own
# functions once it has loaded, at the next import after it.
site=$(python3 -c 'import site; print(site.getusersitepackages())')
mkdir -p "$site"
cat >"$site/usercustomize.py" <<'HOOK'
import builtins
import logging
import os
import sys

_PATH = os.environ.get("TEMPOLARIO_SPEECH_LOG")


def _write(text):
    with open(_PATH, "a", encoding="utf-8") as log:
        log.write("SPEECH OUTPUT: '%s'\n" % " ".join(str(text).split()))


def _wrap(speech):
    if hasattr(speech, "log"):  # Orca 43: its own log, heard below
        return
    speak, character = speech._speak, speech.speak_character

    def _speak(text, acss, interrupt):
        _write(text)
        return speak(text, acss, interrupt)

    def speak_character(char, acss=None):
        _write(char)
        return character(char, acss)

    speech._speak, speech.speak_character = _speak, speak_character


_plain_import = builtins.__import__


def _watching_import(*args, **kwargs):
    """Imports as ever; the first import after Orca's speech module has loaded wraps it."""
    module = _plain_import(*args, **kwargs)
    speech = sys.modules.get("orca.speech")
    # Imports nest: the outer ones come back here after the inner one has wrapped.
    if builtins.__import__ is _watching_import and hasattr(speech, "speak_character"):
        builtins.__import__ = _plain_import
        _wrap(speech)
    return module


if _PATH:
    _heard = logging.FileHandler(_PATH, encoding="utf-8")
    _heard.setFormatter(logging.Formatter("%(message)s"))
    logging.getLogger("speech").addHandler(_heard)
    builtins.__import__ = _watching_import
HOOK
: >speech.log
# The speech server is started here, not by Orca, whose start would wait on it for as long as
# it takes; Orca finds it by the runtime folder.
mkdir -p "$XDG_RUNTIME_DIR/speech-dispatcher" speech-logs
speech-dispatcher --run-single --timeout 0 --config-dir "$XDG_CONFIG_HOME/speech-dispatcher" \
    --log-dir "$work/speech-logs" --pid-file "$work/speech.pid" \
    --communication-method unix_socket \
    --socket-path "$XDG_RUNTIME_DIR/speech-dispatcher/speechd.sock" </dev/null >speechd.out 2>&1 &
speechd=$!
for _ in $(seq "$(scaled 100)"); do [ -S "$XDG_RUNTIME_DIR/speech-dispatcher/speechd.sock" ] && break; sleep 0.1; done
[ -S "$XDG_RUNTIME_DIR/speech-dispatcher/speechd.sock" ] ||
    fail "the speech server did not start: $(tail -n 5 speechd.out)"
# Orca refuses to start while pgrep finds another Orca of the same user: a developer's own,
# or another test run's on the same machine. This one has a session bus of its own and speaks
# to nobody, so for it the question is answered "none".
mkdir -p bin
cat >bin/pgrep <<'PGREP'
#!/bin/sh
case " $* " in *" -x orca "*) exit 1 ;; esac
exec /usr/bin/pgrep "$@"
PGREP
chmod +x bin/pgrep
TEMPOLARIO_SPEECH_LOG=$work/speech.log PATH=$work/bin:$PATH orca -u "$work/orca-settings" \
    >orca.out 2>&1 &
orca=$!

export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
"$python" "$here/orca.py" "$program" "$work/speech.log" "$facts" ${transcript:+"$transcript"}
