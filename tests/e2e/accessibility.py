#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The Tempolario developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""What a screen reader finds in the real program: the accessibility tree on the AT-SPI bus.

Run by accessibility.sh, which gives it an X display, a session bus with the accessibility
bus on it, and a working folder holding an archive with one stored pupil. It starts the
program, walks the name window, the input box, the exercise window and the results window,
and fails on any control that a screen reader could not name or would present in the wrong
role. It places dates with the real pointer and reads each box's outcome from the tree, and
checks that every change of a box and of the counters was announced by an event.

Usage: accessibility.py PROGRAM
"""

import os
import re
import sqlite3
from contextlib import closing
import subprocess
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402
import pyatspi  # noqa: E402

PUPIL = "Rossi Mario"
STORED_PUPIL = "Bianchi Anna"
# Deadlines grow with TEMPOLARIO_TEST_SLOWDOWN, as in every test (tests/testtime.h).
SLOWDOWN = float(os.environ.get("TEMPOLARIO_TEST_SLOWDOWN") or 1)
TIMEOUT = 20.0 * SLOWDOWN

# Roles of the controls a pupil works with: each must have a name.
INTERACTIVE = {
    "push button", "toggle button", "check box", "radio button", "list", "list item", "text",
    "entry", "password text", "table", "table cell", "combo box", "spin button", "slider",
}
# Roles that say "nothing to do here": such a node that can be pressed hides a button.
INERT = {"label", "filler", "panel", "image", "unknown"}
PRESS_ACTIONS = {"press", "click", "activate"}


class Failure(Exception):
    pass


def fail(message):
    raise Failure(message)


def pump():
    """Lets the bus deliver what it holds: events and replies."""
    context = GLib.MainContext.default()
    while context.pending():
        context.iteration(False)


def wait_for(what, check, timeout=TIMEOUT):
    """Polls check() until it gives a true value, keeping events flowing; fails after timeout."""
    end = time.monotonic() + timeout
    while True:
        pump()
        try:
            value = check()
        except GLib.Error:
            value = None  # a node went away while it was read: try again
        if value:
            return value
        if time.monotonic() > end:
            fail("timed out waiting for " + what)
        time.sleep(0.05)


# Newer at-spi2-core (Debian 13's) names the push button's role "button"; the older one
# (Debian 12's) "push button", the name used here for both.
ROLE_NAMES = {pyatspi.ROLE_PUSH_BUTTON: "push button"}


def role(node):
    return ROLE_NAMES.get(node.getRole(), node.getRoleName())


def showing(node):
    return node.getState().contains(pyatspi.STATE_SHOWING)


def actions(node):
    try:
        action = node.queryAction()
    except NotImplementedError:
        return []
    return [action.getName(i) for i in range(action.nActions)]


def nodes(root):
    """root and every node beneath it, depth first."""
    yield root
    for i in range(root.childCount):
        child = root.getChildAtIndex(i)
        if child is not None:
            yield from nodes(child)


def describe(node):
    return "[%s] %r" % (role(node), node.name)


class Program:
    def __init__(self, path):
        self.process = subprocess.Popen([path])
        self.app = wait_for("the program on the accessibility bus", self._find_app)
        # Every read goes to the program itself: a cached name could hide a change.
        self.app.set_cache_mask(Atspi.Cache.NONE)

    def _find_app(self):
        if self.process.poll() is not None:
            fail("the program ended at its start, with status %d" % self.process.returncode)
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            if app is not None and app.get_process_id() == self.process.pid:
                return app
        return None

    def window(self, wanted_role, title):
        """The top-level window of that role and title, once it shows."""

        def showing_windows():
            windows = [self.app.getChildAtIndex(i) for i in range(self.app.childCount)]
            return [w for w in windows if w is not None and w.name == title and showing(w)]

        def find():
            return next((w for w in showing_windows() if role(w) == wanted_role), None)

        try:
            return wait_for("the %s %r" % (wanted_role, title), find)
        except Failure:
            roles = [role(w) for w in showing_windows()]
            if roles:
                fail("window %r shows as %s, not as a %s" % (title, roles, wanted_role))
            raise


def check_tree(window, expected):
    """Fails on a nameless interactive node, on an inert node that can be pressed, and on any
    expected control that is missing or in the wrong role. expected: (roles, name pattern,
    count) triples; the name must match the whole pattern."""
    problems = []
    found = list(nodes(window))
    for node in found:
        name = (node.name or "").strip()
        if role(node) in INTERACTIVE and not name:
            problems.append("no name: %s in %s" % (describe(node), describe(node.parent)))
        pressable = [a for a in actions(node) if a.lower() in PRESS_ACTIONS]
        if role(node) in INERT and pressable:
            problems.append("acts as a button but is presented as %s" % describe(node))
    for roles, pattern, count in expected:
        named = [n for n in found if re.fullmatch(pattern, n.name or "", re.S)]
        right = [n for n in named if role(n) in roles]
        if len(right) != count:
            problems.append(
                "expected %d of %s named %r, found %s"
                % (count, "/".join(sorted(roles)), pattern, [describe(n) for n in named] or "none"))
    if problems:
        fail("%s:\n  " % describe(window) + "\n  ".join(problems))
    return found


def centre(node):
    extents = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    if extents.width <= 0 or extents.height <= 0:
        fail("%s has no place on the screen" % describe(node))
    return extents.x + extents.width // 2, extents.y + extents.height // 2


def xdotool(*steps):
    subprocess.run(["xdotool", *[str(s) for s in steps]], check=True)


def click(node):
    x, y = centre(node)
    xdotool("mousemove", x, y, "sleep", 0.05, "click", 1)


def drag(source, target):
    (x0, y0), (x1, y1) = centre(source), centre(target)
    xdotool("mousemove", x0, y0, "sleep", 0.05, "mousedown", 1, "sleep", 0.05,
            "mousemove", (x0 + x1) // 2, (y0 + y1) // 2, "sleep", 0.05,
            "mousemove", x1, y1, "sleep", 0.05, "mouseup", 1)


def one(found, roles, pattern):
    """The one node of those roles whose whole name matches pattern."""
    matches = [n for n in found if role(n) in roles and re.fullmatch(pattern, n.name or "", re.S)]
    if len(matches) != 1:
        fail("expected one %s named %r, found %d" % ("/".join(sorted(roles)), pattern,
                                                    len(matches)))
    return matches[0]


class Announcements:
    """Collects the names and descriptions that the program announces as changed."""

    KINDS = ("object:property-change:accessible-name",
             "object:property-change:accessible-description")

    def __init__(self):
        self.heard = []
        for kind in self.KINDS:
            pyatspi.Registry.registerEventListener(self._heard, kind)

    def _heard(self, event):
        # The event names its source; what it says now is read from it at once, before the
        # test makes the next change.
        source = event.source
        self.heard.append(source.name if event.type.endswith("name") else source.description)

    def count(self, text):
        pump()
        return self.heard.count(text)


def name_window(program):
    window = program.window("frame", "Tempolario")
    check_tree(window, [
        ({"list"}, "Elenco dei nomi presenti in archivio", 1),
        ({"list item"}, STORED_PUPIL, 1),
        ({"push button"}, "INSERISCO IL MIO NOME", 1),
        ({"push button"}, "Esco", 1),
        ({"push button"}, "CLICCA QUI, se la scelta del nome è giusta.*", 1),
    ])
    click(one(nodes(window), {"push button"}, "INSERISCO IL MIO NOME"))

    box = program.window("dialog", "Tempolario")
    check_tree(box, [
        ({"text"}, "Cognome e nome", 1),
        ({"push button"}, "OK", 1),
        ({"push button"}, "Annulla", 1),
    ])
    xdotool("type", "--delay", 10, PUPIL)
    xdotool("key", "Return")


def exercise_window(program, announced):
    window = program.window(
        "frame",
        "TEMPOLARIO DEI FATTI IMPORTANTI: clicca sulle date e trascinale nelle caselle a sinistra.")
    # A date is picked and a box takes it, by a press: both are buttons.
    placeable = {"push button"}
    found = check_tree(window, [
        ({"label"}, r"Riga (10|[1-9]): \S.*", 10),
        (placeable, r"Casella della riga (10|[1-9]): vuota", 10),
        (placeable, r"Data \S.*", 10),
        ({"label"}, "Giuste nell'esercizio attuale: 0 su 0", 1),
        ({"label"}, "Giuste in totale: 0 su 0", 1),
        ({"push button"}, "Tempolario completa", 1),
        ({"push button"}, "Solo tempolario essenziale", 1),
        ({"push button"}, "(prima|seconda|terza|quarta|quinta) classe", 5),
        ({"push button"}, "ESERCIZIO SUCCESSIVO", 1),
        ({"push button"}, "Vedo l'archivio dei risultati", 1),
        ({"push button"}, "ESCO", 1),
    ])
    # A box is described by its row's fact, so that a pupil on a box hears what it answers.
    boxes = []
    for k in range(1, 11):
        fact = one(found, {"label"}, r"Riga %d: (.*)" % k)
        box = one(found, placeable, "Casella della riga %d: vuota" % k)
        if "Riga %d: %s" % (k, box.description) != fact.name:
            fail("box %d is described as %r, not by its fact" % (k, box.description))
        boxes.append(box)
    dates = [n for n in found if re.fullmatch(r"Data \S.*", n.name or "")]
    date_node = dates[0]
    date = date_node.name[len("Data "):]

    # The first date label onto every box in turn: each box then holds that date and says
    # whether it is right; the counters follow. What the window announced while it was built
    # is left behind.
    pump()
    announced.heard.clear()
    right = 0
    for k, box in enumerate(boxes, start=1):
        drag(date_node, box)
        pattern = r"Casella della riga %d: %s, (giusto|sbagliato)" % (k, re.escape(date))
        name = wait_for("box %d to say its outcome" % k,
                        lambda: re.fullmatch(pattern, box.name) and box.name)
        right += name.endswith(", giusto")
        exercise = "Giuste nell'esercizio attuale: %d su %d" % (right, k)
        total = "Giuste in totale: %d su %d" % (right, k)
        wait_for("the counters to read %r" % exercise,
                 lambda: any(n.name == exercise for n in nodes(window))
                 and any(n.name == total for n in nodes(window)))
        # The answers counter changes last: once it is heard, so is all that came before,
        # and each change was read before the next drop changes it again.
        for change in (name, exercise, total, "Risposte in totale: %d" % k):
            wait_for("the change to %r to be announced" % change,
                     lambda: announced.count(change), timeout=5 * SLOWDOWN)
    if right == 0 or right == 10:
        fail("%d of ten boxes took date %s as right" % (right, date))
    if not date_node.name.endswith("già messa nella casella giusta"):
        fail("the date label placed right reads %r" % date_node.name)

    # Each change was announced once. Then, while the set button in force blinks for three
    # ticks of the timer, nothing is announced: a screen reader has nothing new to say.
    repeated = sorted({h for h in announced.heard if announced.heard.count(h) > 1})
    if repeated:
        fail("announced more than once: %r" % repeated)
    before = len(announced.heard)
    end = time.monotonic() + 1.6
    while time.monotonic() < end:
        pump()
        time.sleep(0.05)
    if len(announced.heard) != before:
        fail("announced while nothing changed: %r" % announced.heard[before:])

    click(one(nodes(window), {"push button"}, "Vedo l'archivio dei risultati"))
    return window, right


def results_window(program, right):
    window = program.window("frame", "Risultati conseguiti nelle esercitazioni")
    found = check_tree(window, [
        ({"push button"}, "OK, mostra i risultati", 1),
        ({"push button"}, "TORNA", 1),
        ({"push button"}, "Esco", 1),
        ({"text"}, "Cognome da cercare", 1),
        ({"text"}, "Nome da cercare", 1),
        ({"table"}, "Risultati di " + PUPIL, 1),
        ({"table column header"}, "Giusti|Su|Quando", 3),
        ({"table row header"}, "Tempolario", 1),
    ])
    table = one(found, {"table"}, "Risultati di " + PUPIL).queryTable()
    headers = [table.getColumnHeader(c).name for c in range(table.nColumns)]
    if headers != ["Giusti", "Su", "Quando"]:
        fail("the table's column headers are %r" % headers)
    # Each cell says its row's and its column's headings, and the time as it is read.
    row = [table.getAccessibleAt(0, c).name for c in range(table.nColumns)]
    if (row[:2] != ["Tempolario, Giusti: %d" % right, "Tempolario, Su: 10"]
            or not re.fullmatch(r"Tempolario, Quando: \d+ \w+ \d{4}, ore \d+( e \d+)?", row[2])):
        fail("the table's row reads %r, not %d right out of 10 with a date" % (row, right))

    # A screen reader presses a label-button through its action, as it does a push button.
    back = one(found, {"push button"}, "TORNA")
    action = back.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    action.doAction(names.index("Press"))
    wait_for("TORNA to hide the results window", lambda: not showing(window))


def main():
    program = Program(sys.argv[1])
    try:
        announced = Announcements()
        name_window(program)
        exercise, right = exercise_window(program, announced)
        results_window(program, right)
        click(one(nodes(exercise), {"push button"}, "ESCO"))
        code = program.process.wait(timeout=TIMEOUT)
        if code != 0:
            fail("the program ended with status %d" % code)
        with closing(sqlite3.connect("file:tempolario.mdb?mode=ro", uri=True)) as archive:
            stored = archive.execute("SELECT giuste, sbagliate FROM tempar WHERE nome = ?",
                                     (PUPIL,)).fetchall()
        if stored != [(right, 10)]:
            fail("ESCO stored %r, not %d right out of 10" % (stored, right))
        print("accessibility: passed (%d right out of 10 read from the tree)" % right)
    finally:
        if program.process.poll() is None:
            program.process.kill()
            program.process.wait()


if __name__ == "__main__":
    try:
        main()
    except Failure as failure:
        print("accessibility: %s" % failure, file=sys.stderr)
        sys.exit(1)
