// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
// What cppcheck should know about QtTest's check macros, included ahead of every file it
// reads: a failed check returns from the test function, as the real macros do. cppcheck's
// own qt.cfg reads them (where it defines them at all) as expressions that carry on, so it
// followed values past a failed QVERIFY(index >= 0) into the code it guards. A definition
// here replaces any from a --library file, whichever cppcheck's version loads first.
#define QVERIFY(condition) do { if (!(condition)) return; } while (false)
#define QVERIFY2(condition, message) do { (void)(message); if (!(condition)) return; } while (false)
#define QCOMPARE(actual, expected) do { if (!((actual) == (expected))) return; } while (false)
#define QTRY_VERIFY(condition) do { if (!(condition)) return; } while (false)
#define QTRY_COMPARE(actual, expected) do { if (!((actual) == (expected))) return; } while (false)
