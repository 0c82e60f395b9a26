#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The Tempolario developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""What the real screen reader says while a pupil works by keys alone.

Run by orca.sh, which gives it an X display, the accessibility bus, Orca writing its log,
and a working folder holding an archive with one stored pupil. It starts the program and,
by keys alone, picks the stored name, places three dates (right and wrong), picks a date and
lets it go with Esc, presses Space on a box with nothing picked, opens the results, goes back
with Esc and ends with ESCO. After each key it waits for what Orca says, read from the lines
"SPEECH OUTPUT" of Orca's speech log, and at the end checks that each outcome and each count was
said exactly once. The accessibility tree is read only to know which box a date belongs to.

Usage: orca.py PROGRAM SPEECH_LOG FACT_DATA [TRANSCRIPT]
"""

import os
import re
import sqlite3
import subprocess
import sys
import time
from contextlib import closing

import pyatspi

STORED_PUPIL = "Bianchi Anna"
# A busy machine is slower, never wrong: every wait grows with TEMPOLARIO_TEST_SLOWDOWN, as in
# every test (tests/testtime.h).
SCALE = float(os.environ.get("TEMPOLARIO_TEST_SLOWDOWN") or 1)
TIMEOUT = 40.0 * SCALE
SPEECH = None  # what Orca said, for the report of a failure
# Orca's word for a push button: Orca 43 says it in Italian; at-spi2-core has since renamed the
# role "button", which Orca 48 (Debian 13) says as it is.
BUTTON = r"(?:pulsante|button)"
# Orca 48 says first that a cell of the table is not selected.
CELL = r"(?:non selezionat[ao] )?"
SPOKEN = re.compile(r"SPEECH OUTPUT: '(.*)'(?: voice=\S+)?\s*$")


class Failure(Exception):
    pass


def fail(message):
    raise Failure(message)


class Speech:
    """What Orca has said, in order, read from its log as it grows."""

    def __init__(self, path):
        self.path = path
        self.said = []
        self.seen = 0  # the utterance of the last match of expect(), or 0
        self.offset = 0  # where in it that match ended
        self._offset = 0

    def read(self):
        try:
            with open(self.path, encoding="utf-8", errors="replace") as log:
                log.seek(self._offset)
                chunk = log.read()
        except FileNotFoundError:
            return
        end = chunk.rfind("\n") + 1
        self._offset += len(chunk[:end].encode("utf-8"))
        for line in chunk[:end].splitlines():
            match = SPOKEN.search(line)
            if match:
                self.said.append(match.group(1).strip())

    def expect(self, pattern, what=None):
        """Waits for what matches the pattern, said after the last one expected. Orca 43 says
        a window's name, role and description as three utterances; later Orcas say them as
        one: a match may begin where the last one ended in the same utterance, and a pattern's
        trailing ".*" (the rest of what was said) is left for the next expectation."""
        core = pattern[:-2] if pattern.endswith(".*") else pattern
        found = re.compile(r"\s*(?:%s)" % core, re.S | re.I)
        end = time.monotonic() + TIMEOUT
        while True:
            self.read()
            for i in range(self.seen, len(self.said)):
                start = self.offset if i == self.seen else 0
                match = found.match(self.said[i], start)
                if match:
                    self.seen, self.offset = i, match.end()
                    return self.said[i]
            if time.monotonic() > end:
                fail("Orca did not say %s; after the last expected it said: %r"
                     % (what or repr(pattern), self.said[self.seen:]))
            time.sleep(0.05)

    def expect_all(self, patterns):
        """Waits until each pattern has matched the start of an utterance said after the last
        one expected, in any order."""
        end = time.monotonic() + TIMEOUT
        while True:
            self.read()
            at = [next((i for i in range(self.seen + 1, len(self.said))
                        if re.match(p, self.said[i], re.S | re.I)), None) for p in patterns]
            if None not in at:
                self.seen, self.offset = max(at), len(self.said[max(at)])
                return
            if time.monotonic() > end:
                missing = [p for p, i in zip(patterns, at) if i is None]
                fail("Orca did not say %r; after the last expected it said: %r"
                     % (missing, self.said[self.seen:]))
            time.sleep(0.05)

    def quiet(self, seconds):
        """Waits, and gives what was said meanwhile."""
        self.read()
        before = len(self.said)
        time.sleep(seconds)
        self.read()
        return self.said[before:]

    def count(self, text):
        self.read()
        return sum(s.count(text) for s in self.said)


def key(*names):
    for name in names:
        subprocess.run(["xdotool", "key", name], check=True)
        time.sleep(0.15)


def fact_labels(path):
    """Fact sentence -> date label, from the table the program is built with."""
    text = open(path, encoding="utf-8").read()
    literal = r'"((?:[^"\\]|\\.)*)"'
    entries = re.finditer(r"\{((?:\s*%s)+)\s*,\s*%s\s*\}" % (literal, literal), text)
    table = {}
    for entry in entries:
        pieces = re.findall(literal, entry.group(1))
        fact = "".join(pieces).replace('\\"', '"')
        table[fact] = entry.group(entry.lastindex)
    if len(table) < 150:
        fail("only %d facts read from %s" % (len(table), path))
    return table


def exercise_rows(app, table):
    """The label each row of the exercise expects, and the date labels in their column."""

    def nodes(root):
        yield root
        for child in root:
            if child is not None:
                yield from nodes(child)

    rows, dates = {}, []
    for node in nodes(app):
        match = re.fullmatch(r"Riga (\d+): (.*)", node.name or "", re.S)
        if match and node.getRoleName() == "label":
            rows[int(match.group(1))] = table.get(match.group(2))
        match = re.fullmatch(r"Data (.*)", node.name or "")
        if match and node.getRoleName() in ("push button", "button"):
            dates.append(match.group(1))
    if len(rows) != 10 or None in rows.values() or len(dates) != 10:
        fail("the exercise's rows %r and dates %r could not be read" % (rows, dates))
    return rows, dates


def find_app(process):
    end = time.monotonic() + TIMEOUT
    while time.monotonic() < end:
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            if app is not None and app.get_process_id() == process.pid:
                return app
        time.sleep(0.1)
    fail("the program is not on the accessibility bus")


class Exercise:
    """The exercise window's two columns, moved through by keys as a pupil does."""

    def __init__(self, speech):
        self.speech = speech
        self.column = "dates"  # the focus starts on the first date
        self.row = 1

    def go(self, column, row):
        if column != self.column:
            key("Left" if column == "boxes" else "Right")
            self.column = column
        key("Home", *(["Down"] * (row - 1)))
        self.row = row

    def pick(self, row, date):
        self.go("dates", row)
        key("space")
        self.speech.expect(re.escape(date) + r" scelta\.?", "the pick of %s" % date)

    def place(self, row, date, outcome, right, given):
        self.go("boxes", row)
        key("space")
        said = "Casella della riga %d: %s, %s. %d giuste su %d" % (row, date, outcome, right, given)
        self.speech.expect(re.escape(said) + r"\.?", repr(said))
        return said


def main():
    program, log, facts = sys.argv[1:4]
    transcript = sys.argv[4] if len(sys.argv) > 4 else None
    global SPEECH
    speech = SPEECH = Speech(log)
    speech.expect(r"Lettore schermo attivo\.?", "that it is running")
    start = len(speech.said)
    process = subprocess.Popen([program])
    try:
        # The name window: where the pupil is, what to do, and the name that has the focus.
        # Orca 48 hears what to do as an announcement, which may come before the rest.
        speech.expect_all([r"Tempolario cornice", r"Scegli il tuo nome nell'elenco ", STORED_PUPIL])
        key("Return")
        speech.expect(r"Nome selezionato: %s\. CLICCA QUI, .*" % STORED_PUPIL, "the choice")
        key("Return")

        speech.expect(r"TEMPOLARIO DEI FATTI IMPORTANTI: .* cornice\.?", "the exercise window")
        speech.expect(r"Con la tastiera: .*", "the keys of the exercise window")
        speech.expect(r"Data .* %s\.?" % BUTTON, "the first date")
        app = find_app(process)
        rows, dates = exercise_rows(app, fact_labels(facts))
        # A year alone reads as it is written, so it is found by its name alone.
        years = [(j + 1, d) for j, d in enumerate(dates) if re.fullmatch(r"\d{3,4}", d)]
        if not years:
            fail("no date of this exercise is a year alone: %r" % dates)
        exercise = Exercise(speech)
        outcomes = []

        # Right, then wrong on the same box, then right or wrong again elsewhere.
        first_row, first = years[0]
        box = min(r for r, label in rows.items() if label == first)
        exercise.pick(first_row, first)
        outcomes.append(exercise.place(box, first, "giusto", 1, 1))
        second_row, second = next((j, d) for j, d in enumerate(dates, 1) if d != first)
        exercise.pick(second_row, second)
        outcomes.append(exercise.place(box, second, "sbagliato", 1, 2))
        if len(years) > 1:
            third_row, third = years[1]
            third_box = min(r for r, label in rows.items() if label == third)
            exercise.pick(third_row, third)
            outcomes.append(exercise.place(third_box, third, "giusto", 2, 3))
            right = 2
        else:
            exercise.pick(first_row, first)
            outcomes.append(exercise.place(box, first, "giusto", 2, 3))
            right = 2

        # A pick let go with Esc, and Space on a box with nothing picked.
        exercise.pick(first_row, first)
        key("Escape")
        speech.expect(r"scelta annullata\.?", "that the pick was let go")
        exercise.go("boxes", 1)
        key("space")
        speech.expect(r"prima scegli una data\.?", "what to do first")

        # The set button in force blinks; nothing is said while it does.
        time.sleep(1.0 * SCALE)
        said = speech.quiet(2.0)
        if said:
            fail("Orca spoke while nothing changed: %r" % said)

        # The results, through the buttons: ESCO, ESERCIZIO SUCCESSIVO, then the archive.
        key("Tab")
        speech.expect(r"ESCO %s\.?" % BUTTON, "ESCO")
        key("Tab")
        speech.expect(r"ESERCIZIO SUCCESSIVO %s\.?" % BUTTON, "ESERCIZIO SUCCESSIVO")
        key("Tab")
        speech.expect(r"Vedo l'archivio dei risultati %s\.?" % BUTTON, "the archive button")
        key("space")
        speech.expect(r"Risultati conseguiti nelle esercitazioni cornice\.?", "the results window")
        speech.expect(r"Risultati di %s\. .*" % STORED_PUPIL, "whose results they are")
        speech.expect(r"Cognome da cercare.*", "the first search box")
        key("Tab", "Tab", "Tab")
        speech.expect(CELL + r"Tempolario, Giusti: %d.*" % right, "the right answers with their heading")
        key("Right")
        speech.expect(CELL + r"Tempolario, Su: 3.*", "the answers given with their heading")
        key("Right")
        speech.expect(CELL + r"Tempolario, Quando: \d+ \w+ \d{4}, ore \d+.*", "when, as it is read")
        key("Escape")
        speech.expect(r"TEMPOLARIO DEI FATTI IMPORTANTI: .* cornice\.?", "the way back")
        key("shift+Tab", "shift+Tab")
        speech.expect(r"ESCO %s\.?" % BUTTON, "ESCO")
        key("space")
        code = process.wait(timeout=TIMEOUT)
        if code != 0:
            fail("the program ended with status %d" % code)

        for text in outcomes:
            if speech.count(text) != 1:
                fail("%r was said %d times, not once" % (text, speech.count(text)))
        with closing(sqlite3.connect("file:tempolario.mdb?mode=ro", uri=True)) as archive:
            stored = archive.execute("SELECT giuste, sbagliate FROM tempar").fetchall()
        if stored != [(right, 3)]:
            fail("ESCO stored %r, not %d right out of 3" % (stored, right))
        if transcript:
            with open(transcript, "w", encoding="utf-8") as out:
                out.write("\n".join(speech.said[start:]) + "\n")
        print("orca: passed; Orca said %d things, each outcome once" % (len(speech.said) - start))
    finally:
        if process.poll() is None:
            process.kill()
            process.wait()


if __name__ == "__main__":
    try:
        main()
    except Failure as failure:
        print("orca: %s" % failure, file=sys.stderr)
        if SPEECH:
            print("orca: all that Orca said:\n  " + "\n  ".join(SPEECH.said), file=sys.stderr)
        sys.exit(1)
