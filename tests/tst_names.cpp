// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include <sqlite3.h>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "archive/namekey.h"
#include "archivetesting.h"
#include "enginetesting.h"
#include "session/namechoice.h"

using session::Modtempar;
using session::NameChoice;

class TestNames : public QObject {
    Q_OBJECT

private:
    enginetesting::ArchiveUnderTest m_archive;

    QStringList storedNames() const { return m_archive.storedNames(); }

private Q_SLOTS:
    void initTestCase() { ENGINE_INIT(); }
    void init() { m_archive.makeEmpty(); }

    void tidy_data() {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("name");
        QTest::newRow("blanks around and between") << u" rossi  mario "_qs << u"rossi mario"_qs;
        QTest::newRow("three words") << u"De   Luca    Anna  Maria"_qs << u"De Luca Anna Maria"_qs;
        QTest::newRow("one word with blanks") << u"  Rossi  "_qs << u"Rossi"_qs;
        QTest::newRow("tabs and line breaks") << u"Rossi\t\n Mario"_qs << u"Rossi Mario"_qs;
        QTest::newRow("empty, or Annulla") << QString() << u"Anonimo"_qs;
        QTest::newRow("only blanks") << u"     "_qs << u"Anonimo"_qs;
        QTest::newRow("case kept") << u"dE lA rUe"_qs << u"dE lA rUe"_qs;
        QTest::newRow("quotes and signs")
            << u"O'Brien \"100%\"; --"_qs << u"O'Brien \"100%\"; --"_qs;
        QTest::newRow("emoji and accents") << u"Ünal 😀 Çelik"_qs << u"Ünal 😀 Çelik"_qs;
        // Invisible characters would make a row that looks exactly like a classmate's.
        QTest::newRow("zero-width space and joiner")
            << u"Ros\u200Bsi\u200D Ma\u2060rio"_qs << u"Rossi Mario"_qs;
        QTest::newRow("soft hyphen and byte-order mark") << u"\uFEFFRos\u00ADsi"_qs << u"Rossi"_qs;
        QTest::newRow("bidirectional override and isolate")
            << u"\u202EMario\u202C \u2067Rossi\u2069"_qs << u"Mario Rossi"_qs;
        QTest::newRow("tag character beyond 16 bits") << u"Rossi\U000E0041"_qs << u"Rossi"_qs;
        QTest::newRow("format character between blanks")
            << u"Rossi \u200B Mario"_qs << u"Rossi Mario"_qs;
        QTest::newRow("only format characters") << u"\u200B\u00AD \u200E"_qs << u"Anonimo"_qs;
    }
    void tidy() {
        QFETCH(QString, answer);
        QFETCH(QString, name);
        QCOMPARE(session::tidyName(answer), name);
    }

    // Keys whose case mapping leaves a decomposed form: the key must recompose it, or the
    // same name typed precomposed and typed with combining marks would be two pupils.
    void key_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("key");
        QTest::newRow("j with caron") << u"\u01F0"_qs << u"\u01F0"_qs;
        QTest::newRow("capital J and combining caron") << u"J\u030C"_qs << u"\u01F0"_qs;
        QTest::newRow("iota with dialytika and tonos") << u"\u0390"_qs << u"\u0390"_qs;
        QTest::newRow("capital iota with dialytika, tonos") << u"\u03AA\u0301"_qs << u"\u0390"_qs;
        QTest::newRow("h with line below") << u"\u1E96"_qs << u"\u1E96"_qs;
        QTest::newRow("capital H and line below") << u"H\u0331"_qs << u"\u1E96"_qs;
        QTest::newRow("capital I with dot") << u"\u0130"_qs << u"i\u0307"_qs;
        QTest::newRow("sharp s, small and capital") << u"Stra\u00DFe \u1E9E"_qs << u"strasse ss"_qs;
        QTest::newRow("accents composed")
            << u"NICCOLO\u0300 FORLI\u0300"_qs << u"niccol\u00F2 forl\u00EC"_qs;
        QTest::newRow("invisible characters dropped") << u"Ros\u200Bsi\u00AD"_qs << u"rossi"_qs;
        QTest::newRow("blanks kept") << u" Rossi  "_qs << u" rossi  "_qs;
    }
    void key() {
        QFETCH(QString, name);
        QFETCH(QString, key);
        QCOMPARE(archive::nameKey(name), key);
    }

    // Latin-1 text takes a shorter road to its key; a letter beyond Latin-1 in the same
    // name sends it down the full one, and the two must agree on every character.
    void latin1KeysAgreeWithTheFullKey() {
        const QString beyond = u"\u0100"_qs;  // A with macron: folds alone, composes with nothing
        for (char16_t unit = 0; unit <= 0xff; ++unit) {
            const QString text = u"a"_qs + QChar(unit) + u"Z"_qs;
            QCOMPARE(archive::nameKey(text + beyond), archive::nameKey(text) + u"\u0101"_qs);
        }
    }

    void typedNamesAreAddedOnce() {
        Modtempar shared;
        m_archive.point(shared);
        NameChoice choice(shared);
        session::NameList names;
        QVERIFY(choice.start(&names));
        QCOMPARE(names.rowCount(), 0);

        QVERIFY(choice.enterTyped(u" forlì  niccolò "_qs));
        QCOMPARE(choice.pupil().name, u"forlì niccolò"_qs);
        // The same name in capitals finds the row and adds nothing.
        QVERIFY(choice.enterTyped(u"FORLÌ NICCOLÒ"_qs));
        QCOMPARE(choice.pupil().name, u"FORLÌ NICCOLÒ"_qs);
        // The same name with an invisible character in it is the same pupil.
        QVERIFY(choice.enterTyped(u"forlì\u200B niccolò\u202E"_qs));
        QCOMPARE(choice.pupil().name, u"forlì niccolò"_qs);
        // Two pupils who give no name share one "Anonimo" row.
        QVERIFY(choice.enterTyped(QString()));
        QVERIFY(choice.enterTyped(u"   "_qs));
        // As long as the server archive takes (the longest the program lists).
        const QString sql = u" 'a'; DROP TABLE tempar; --"_qs;
        const QString longName =
            QString(archive::PgArchive::kMaxNameLength - sql.size(), QLatin1Char('x')) + sql;
        QVERIFY(choice.enterTyped(longName));
        QCOMPARE(storedNames(), (QStringList{u"forlì niccolò"_qs, u"Anonimo"_qs, longName}));

        // A picked name is confirmed while it is there, and reported when it is gone.
        bool found = false;
        QVERIFY(choice.start(&names));
        QCOMPARE(names.name(1), u"Anonimo"_qs);
        choice.pick(names.name(1), names.rowId(1));
        QVERIFY(choice.confirm(&found));
        QVERIFY(found);
        m_archive.rawExec(u"DELETE FROM tempar WHERE nome = 'Anonimo'"_qs);
        QVERIFY(choice.confirm(&found));
        QVERIFY(!found);
    }

    // Rows written by another program: one without a name is left out, one without our key
    // is listed and found.
    void rowsWrittenFromOutside() {
        m_archive.rawExec(
            u"INSERT INTO tempar (nome) VALUES ('Verdi Luca');"
            "INSERT INTO tempar (giuste) VALUES (3);"
            "INSERT INTO tempar (nome) VALUES ('Neri Ada');"_qs);
        QCOMPARE(storedNames(), (QStringList{u"Verdi Luca"_qs, u"Neri Ada"_qs}));
        Modtempar shared;
        m_archive.point(shared);
        NameChoice choice(shared);
        session::NameList names;
        QVERIFY(choice.start(&names));
        QVERIFY(choice.enterTyped(u"verdi luca"_qs));
        QCOMPARE(storedNames().size(), 2);
    }

    // More rows than a 16-bit count holds are all listed, in insertion order, however the
    // list is read: from the top, or jumping about as a scroll bar does. The rows carry
    // their keys, as the program writes them: opening the archive then only lists, where
    // rows without keys would have every key set first, in one operation that a busy
    // machine does not finish within the time-out. What counts here is that no name is
    // lost or out of place, not how soon a jump comes back.
    void listsEveryRowOfALargeArchive() {
        QString sql = u"BEGIN;"_qs;
        QStringList expected;
        for (int i = 0; i < 40000; ++i) {
            if (i % 7 == 3) {
                sql += u"INSERT INTO tempar (giuste) VALUES (1);"_qs;
                continue;
            }
            const QString name = QStringLiteral("Alunno %1").arg(i);
            sql += QStringLiteral("INSERT INTO tempar (nome, chiave) VALUES ('%1', '%2');")
                       .arg(name, archive::nameKey(name));
            expected << name;
        }
        sql += u"COMMIT;"_qs;
        m_archive.rawExec(sql);
        QCOMPARE(storedNames(), expected);

        session::NameList names;
        QVERIFY(names.open(m_archive.open()));
        QCOMPARE(names.rowCount(), expected.size());
        const int last = static_cast<int>(expected.size()) - 1;
        for (int row : {30000, 12345, 30001, 30300, 0, last, 256, 255, 511}) {
            QCOMPARE(names.name(row), expected.at(row));
            QCOMPARE(names.data(names.index(row)).toString(), expected.at(row));
        }
        QVERIFY(names.name(expected.size()).isEmpty());
    }

    // A page of names that cannot be read (the archive held by another program past the
    // wait) is a failure with the engine's number, never a short or blank list.
    void failedPageReadIsReported() {
        QString sql = u"BEGIN;"_qs;
        for (int i = 0; i < session::NameList::kPageSize + 10; ++i) {
            const QString name = QStringLiteral("Alunno %1").arg(i);
            sql += QStringLiteral("INSERT INTO tempar (nome, chiave) VALUES ('%1', '%2');")
                       .arg(name, archive::nameKey(name));
        }
        m_archive.rawExec(sql + u"COMMIT;"_qs);
        session::NameList names;
        QSignalSpy failed(&names, &session::NameList::readFailed);
        QVERIFY(names.open(m_archive.open(m_archive.server() ? 300 : 100)));
        QCOMPARE(names.name(0), u"Alunno 0"_qs);
        {
            enginetesting::HeldArchive held(m_archive);
            QVERIFY(names.name(session::NameList::kPageSize).isEmpty());
            QCOMPARE(failed.count(), 1);
            QVERIFY2(enginetesting::HeldArchive::keptOut(names.failure()),
                     qPrintable(names.failure().message()));
        }
        // Once failed, the list stays failed and says so only once.
        names.all();
        QCOMPARE(failed.count(), 1);
        QVERIFY(!names.failure().ok());
    }

    // An archive that is not there is reported, and not made: no file at the path, no
    // database on the server.
    void missingArchiveFails() {
        Modtempar shared;
        QTemporaryDir dir;
        shared.archivePath = dir.filePath(u"nessuno.mdb"_qs);
        const QString database =
            QStringLiteral("t_nessuno_%1").arg(QCoreApplication::applicationPid());
        if (m_archive.server()) {
            shared.server = pgtesting::place(database);
        }
        NameChoice choice(shared);
        session::NameList names;
        const archive::Status status = choice.start(&names);
        QVERIFY(!status);
        QVERIFY(!QFile::exists(shared.archivePath));
        if (m_archive.server()) {
            QCOMPARE(pgtesting::valueRaw(pgtesting::kAdminService, QString(),
                                         u"SELECT count(*) FROM pg_database WHERE datname = '"_qs +
                                             database + u"'"_qs),
                     u"0"_qs);
        }
    }
};

QTEST_GUILESS_MAIN(TestNames)
#include "tst_names.moc"
