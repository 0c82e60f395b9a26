// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Every operation of the archive, on a real file in a temporary folder or on the test
// server (TEMPOLARIO_TEST_ENGINE).

#include <QDateTime>
#include <QTemporaryDir>
#include <QTest>

#include "archive/namekey.h"
#include "archivetesting.h"
#include "enginetesting.h"
#include "session/modtempar.h"
#include "session/namelist.h"

using archive::Status;
using archivetesting::foundIn;
using archivetesting::totalsIn;
using enginetesting::onServer;

class TestArchive : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void emptyTable();
    void listingKeepsInsertionOrder();
    void listingCrossesPagesWhileRowsChange();
    void findIgnoresLetterCase_data();
    void findIgnoresLetterCase();
    void neverStoredValuesReadMissing();
    void storeOverwritesTheRow();
    void storeWithoutARowWritesNothing();
    void storeSeenAfterReopening();
    void listOutlivesItsHandle();
    void typedTextKeptUnchanged_data();
    void typedTextKeptUnchanged();
    void rowsWrittenFromOutside();
    void keysSetRightAtOpening();
    void keyRepairIsAllOrNothing();
    void missingTableOrIndex();
    void missingTableOnTheServer();
    void programRoleOnlyReadsAddsAndUpdates_data();
    void programRoleOnlyReadsAddsAndUpdates();

private:
    enginetesting::ArchiveUnderTest m_archive;
    std::unique_ptr<archive::Archive> openOk() const { return m_archive.open(); }
};

void TestArchive::initTestCase() {
    ENGINE_INIT();
}

void TestArchive::init() {
    m_archive.makeEmpty();
}

void TestArchive::emptyTable() {
    auto database = openOk();
    int count = -1;
    QVERIFY(database->countNames(&count).ok());
    QCOMPARE(count, 0);
    QVERIFY(!foundIn(*database, QStringLiteral("Rossi Mario")));
    QVERIFY(!totalsIn(*database, QStringLiteral("Rossi Mario")).found);
    // A name typed into an empty archive is added and then found.
    QVERIFY(database->add(QStringLiteral("Rossi Mario")).ok());
    QVERIFY(foundIn(*database, QStringLiteral("ROSSI MARIO")));
}

void TestArchive::listingKeepsInsertionOrder() {
    const QStringList names{"Zanetti Ugo", "Abate Ada", "Mori Lia", "Bianchi Ezio"};
    {
        auto database = openOk();
        for (const QString& name : names) {
            QVERIFY(database->add(name).ok());
        }
    }
    // Written again from outside, the first row moves to the end of the table's storage;
    // compacted, the storage is laid out anew. Neither moves it in the list.
    m_archive.rawExec(QStringLiteral("UPDATE tempar SET giuste = 1 WHERE nome = 'Zanetti Ugo'"));
    m_archive.rawExec(onServer() ? QStringLiteral("VACUUM FULL tempar") : QStringLiteral("VACUUM"));
    QCOMPARE(m_archive.storedNames(), names);
}

void TestArchive::listingCrossesPagesWhileRowsChange() {
    // The list is read a page at a time, each page continuing from the last; a name added in
    // the middle of the reading must neither shift nor repeat the names already counted.
    const int count = 3 * session::NameList::kPageSize + 10;
    m_archive.rawExec(
        QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                       "WHERE i < %1) INSERT INTO tempar (nome, chiave) "
                       "SELECT 'alunno ' || i, 'alunno ' || i FROM n")
            .arg(count));
    std::shared_ptr<archive::Archive> database = openOk();
    session::NameList list;
    QVERIFY(list.open(database).ok());
    QCOMPARE(list.rowCount(), count);
    QCOMPARE(list.name(0), QStringLiteral("alunno 1"));
    QVERIFY(database->add(QStringLiteral("Nuovo Arrivato")).ok());
    for (int row = 0; row < count; ++row) {
        QCOMPARE(list.name(row), QStringLiteral("alunno %1").arg(row + 1));
    }
    // A jump back into the middle reads the right page too.
    session::NameList jumped;
    QVERIFY(jumped.open(database).ok());
    QCOMPARE(jumped.name(2 * session::NameList::kPageSize + 3),
             QStringLiteral("alunno %1").arg(2 * session::NameList::kPageSize + 4));
    QCOMPARE(jumped.name(5), QStringLiteral("alunno 6"));
    QVERIFY(list.failure().ok() && jumped.failure().ok());
}

void TestArchive::findIgnoresLetterCase_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("sought");
    QTest::addColumn<bool>("found");
    const QString composed = QString::fromUtf8("Niccolò Forlì");
    const QString decomposed = composed.normalized(QString::NormalizationForm_D);
    const QString capitals = QString::fromUtf8("NICCOLÒ FORLÌ");
    QTest::newRow("mixed case by capitals") << "Rossi Mario"
                                            << "ROSSI MARIO" << true;
    QTest::newRow("mixed case by small letters") << "Rossi Mario"
                                                 << "rossi mario" << true;
    QTest::newRow("accents by capitals") << composed << capitals << true;
    QTest::newRow("accents by small letters") << composed << composed.toLower() << true;
    QTest::newRow("stored decomposed, sought composed") << decomposed << capitals << true;
    QTest::newRow("stored composed, sought decomposed")
        << composed << capitals.normalized(QString::NormalizationForm_D) << true;
    QTest::newRow("sharp s") << QString::fromUtf8("Weiß Jörg") << "WEISS JÖRG" << true;
    QTest::newRow("greek final sigma")
        << QString::fromUtf8("Ὀδυσσεύς") << QString::fromUtf8("ὈΔΥΣΣΕΎΣ") << true;
    // Capital I with a dot is its own upper case: its small form, i and a combining dot,
    // must still find it.
    const QString dotted = QString::fromUtf8("\u0130lkay Y\u0131ld\u0131z");
    QTest::newRow("capital I with dot by small letters") << dotted << dotted.toLower() << true;
    QTest::newRow("capital I with dot sought by capitals")
        << dotted.toLower() << dotted.toUpper() << true;
    QTest::newRow("dotless i is another letter") << dotted << "ilkay yildiz" << false;
    QTest::newRow("accent is not ignored") << composed << "NICCOLO FORLI" << false;
    QTest::newRow("trailing blank differs") << "Rossi"
                                            << "ROSSI " << false;
    QTest::newRow("surname and blank is not a two-word name") << "Rossi Mario"
                                                              << "ROSSI " << false;
    QTest::newRow("leading blank differs") << "Rossi Mario"
                                           << " ROSSI MARIO" << false;
    QTest::newRow("two blanks differ from one") << "Rossi Mario"
                                                << "ROSSI  MARIO" << false;
    QTest::newRow("stored trailing blank found exactly") << "Rossi "
                                                         << "ROSSI " << true;
    QTest::newRow("other name") << "Rossi Mario"
                                << "Rossi Maria" << false;
}

void TestArchive::findIgnoresLetterCase() {
    QFETCH(QString, stored);
    QFETCH(QString, sought);
    QFETCH(bool, found);
    auto database = openOk();
    QVERIFY(database->add(QStringLiteral("Altro Nome")).ok());
    QVERIFY(database->add(stored).ok());
    QCOMPARE(foundIn(*database, sought), found);
    QCOMPARE(archive::nameKey(stored) == archive::nameKey(sought), found);
    if (found) {
        // The store reaches the stored row, and no other.
        QVERIFY(database->store(sought, 1, 2, QDateTime::currentDateTime()).ok());
        QCOMPARE(totalsIn(*database, stored).right, QVariant(1LL));
        QVERIFY(totalsIn(*database, QStringLiteral("Altro Nome")).right.isNull());
    }
}

void TestArchive::neverStoredValuesReadMissing() {
    auto database = openOk();
    QVERIFY(database->add(QStringLiteral("Verdi Anna")).ok());
    const archive::Outcome outcome = totalsIn(*database, QStringLiteral("verdi anna"));
    QVERIFY(outcome.found);
    for (const QVariant& value : {outcome.right, outcome.given, outcome.when}) {
        QVERIFY(value.isNull() && !value.isValid());
    }
}

void TestArchive::storeOverwritesTheRow() {
    const QDateTime when(QDate(2024, 3, 9), QTime(10, 20, 30, 456));
    {
        auto database = openOk();
        QVERIFY(database->add(QStringLiteral("Rossi Mario")).ok());
        QVERIFY(database->store(QStringLiteral("Rossi Mario"), 3, 4, when.addDays(-1)).ok());
        // A new run of the same pupil typed in capitals: the row takes the new letter case
        // and the new totals, not their sum.
        QVERIFY(database->store(QStringLiteral("ROSSI MARIO"), 8, 10, when).ok());
    }
    QCOMPARE(m_archive.rowCount(), 1);
    QCOMPARE(m_archive.storedNames(), QStringList{QStringLiteral("ROSSI MARIO")});
    const archive::Outcome outcome = totalsIn(*openOk(), QStringLiteral("rossi mario"));
    QCOMPARE(outcome.right, QVariant(8LL));
    QCOMPARE(outcome.given, QVariant(10LL));
    QCOMPARE(outcome.when.toDateTime(), when.addMSecs(-456));  // to the second
    QCOMPARE(outcome.when.toDateTime().timeSpec(), Qt::LocalTime);
}

void TestArchive::storeWithoutARowWritesNothing() {
    auto database = openOk();
    QVERIFY(database->add(QStringLiteral("Rossi Mario")).ok());
    const QByteArray before = m_archive.snapshot();
    const Status status =
        database->store(QStringLiteral("Bianchi Ugo"), 1, 1, QDateTime::currentDateTime());
    QCOMPARE(status.kind, Status::kNoCurrentRow);
    QVERIFY(!status.description.isEmpty() && !status.advice.isEmpty());
    // cppcheck-suppress knownConditionTrueFalse ; snapshot() reads the archive again
    QCOMPARE(m_archive.snapshot(), before);
}

void TestArchive::storeSeenAfterReopening() {
    session::Modtempar state;
    m_archive.point(state);
    QVERIFY(state.openArchive().ok());
    std::shared_ptr<archive::Archive> nameWindow = state.archiveDb;
    QVERIFY(nameWindow->add(QStringLiteral("Neri Luca")).ok());
    // Same handle, then a reopened one, as the exercise and results windows do.
    QVERIFY(state.archiveDb->store(QStringLiteral("NERI LUCA"), 1, 2, QDateTime::currentDateTime())
                .ok());
    QVERIFY(state.openArchive().ok());
    QCOMPARE(totalsIn(*state.archiveDb, QStringLiteral("NERI LUCA")).given, QVariant(2LL));
    // The replaced handle, still held by the name list, sees the store too.
    QCOMPARE(totalsIn(*nameWindow, QStringLiteral("neri luca")).right, QVariant(1LL));
}

void TestArchive::listOutlivesItsHandle() {
    session::Modtempar state;
    m_archive.point(state);
    QVERIFY(state.openArchive().ok());
    QVERIFY(state.archiveDb->add(QStringLiteral("Gialli Ida")).ok());
    session::NameList list;
    QVERIFY(list.open(state.archiveDb).ok());
    QVERIFY(state.openArchive().ok());  // replaces the handle the list was opened on
    state.closeArchive();
    QVERIFY(!state.archiveDb);
    QCOMPARE(list.all(), QStringList{QStringLiteral("Gialli Ida")});
    QVERIFY(list.failure().ok());
}

// Every value is bound, never spliced into the SQL: typed text comes back exactly, the
// table stays whole, and a name that holds the character 0 stays its own. The server's text
// cannot hold that character, and keeps U+FFFD in its place.
void TestArchive::typedTextKeptUnchanged_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("quotes") << QStringLiteral("D'Angelo \"Gigi\" `x`");
    QTest::newRow("SQL in the name") << QStringLiteral("x'); DROP TABLE tempar; --");
    QTest::newRow("backslashes") << QStringLiteral("Rossi\\' \\\\Mario\\");
    QTest::newRow("placeholders") << QStringLiteral("$1 ?1 :nome $$ %s");
    QTest::newRow("percent and underscore") << QStringLiteral("100% _Rossi_ %");
    QTest::newRow("semicolons") << QStringLiteral(";;Rossi;Mario;");
    QTest::newRow("emoji") << QString::fromUtf8("Rossi 😀 Mario 👩‍👩‍👧");
    QTest::newRow("combining accents") << QStringLiteral("Nicolo\u0300 Forli\u0300 e\u0301\u0327");
    QTest::newRow("2000 characters") << QString(2000, QChar(0x00E8));
    QTest::newRow("10000 characters") << QString(10000, QLatin1Char('m'));
    QTest::newRow("control characters")
        << QStringLiteral("a\tb\nc\rd\x01\x1b\x7f") + QChar(0) + QStringLiteral("e");
    QTest::newRow("character 0 after a classmate's name")
        << QStringLiteral("Mario") + QChar(0) + QStringLiteral("x");
    QTest::newRow("only blanks") << QStringLiteral("   ");
    QTest::newRow("blanks around one word") << QStringLiteral("  Rossi  ");
}

void TestArchive::typedTextKeptUnchanged() {
    QFETCH(QString, name);
    const QString kept = m_archive.asKept(name);
    const QDateTime when(QDate(2025, 1, 2), QTime(3, 4, 5));
    QVERIFY(m_archive.addStoredPupil(QStringLiteral("Mario"), 1, 1, when));
    {
        auto database = openOk();
        QVERIFY(database->add(name).ok());
        QVERIFY(database->add(QStringLiteral("Ultimo")).ok());
    }
    QCOMPARE(m_archive.storedNames(),
             (QStringList{QStringLiteral("Mario"), kept, QStringLiteral("Ultimo")}));
    auto database = openOk();
    QVERIFY(foundIn(*database, name.toUpper()));
    QVERIFY(database->store(name, 5, 6, QDateTime::currentDateTime()).ok());
    QCOMPARE(totalsIn(*database, name).right, QVariant(5LL));
    // The classmate's row is neither found under the name nor written by its store.
    const archive::Outcome mario = totalsIn(*database, QStringLiteral("Mario"));
    QCOMPARE(mario.right, QVariant(1LL));
    QCOMPARE(mario.when.toDateTime(), when);
    QCOMPARE(m_archive.storedNames(),
             (QStringList{QStringLiteral("Mario"), kept, QStringLiteral("Ultimo")}));
    QCOMPARE(m_archive.rowCount(), 3);
    QCOMPARE(m_archive.intact(), QStringLiteral("ok"));
}

void TestArchive::rowsWrittenFromOutside() {
    // Rows added outside the program (the sqlite3 program, psql) have no key; they are
    // listed and found all the same, and get their key at their first save through the
    // program.
    auto database = openOk();
    QVERIFY(database->add(QStringLiteral("Rossi Mario")).ok());
    m_archive.rawExec(
        QStringLiteral(
            "INSERT INTO tempar (nome) VALUES ('%1');"
            "INSERT INTO tempar (nome, giuste, sbagliate, data) VALUES ('Bruni Eva', 4, 5, "
            "'2024-05-06 07:08:09');"
            "INSERT INTO tempar (nome) VALUES (NULL);")
            .arg(QString::fromUtf8("Niccolò Forlì").normalized(QString::NormalizationForm_D)));

    int named = 0;
    QVERIFY(database->countNames(&named).ok());
    QCOMPARE(named, 3);  // the row without a name is not listed
    QVERIFY(foundIn(*database, QString::fromUtf8("NICCOLÒ FORLÌ")));
    archive::Outcome outcome = totalsIn(*database, QStringLiteral("bruni eva"));
    QVERIFY(outcome.found);
    QCOMPARE(outcome.when.toDateTime(), QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9)));
    QCOMPARE(outcome.right, QVariant(4LL));
    // A save fills the key, and the row is then found through the index itself.
    QVERIFY(database->store(QStringLiteral("Bruni Eva"), 6, 7, QDateTime::currentDateTime()).ok());
    QCOMPARE(
        m_archive.rawValue(QStringLiteral("SELECT chiave FROM tempar WHERE nome = 'Bruni Eva'")),
        QStringLiteral("bruni eva"));
    QCOMPARE(m_archive.keyReport().withoutKey, 1);  // Niccolò's row, never saved
    // Renamed from outside while the archive is open, the row answers to its new name only:
    // the old name must not reach it (a store under the old name would overwrite it).
    m_archive.rawExec(
        QStringLiteral("UPDATE tempar SET nome = 'Bruni Eva Maria' WHERE chiave = 'bruni eva'"));
    QVERIFY(!foundIn(*database, QStringLiteral("BRUNI EVA")));
    QCOMPARE(database->store(QStringLiteral("Bruni Eva"), 1, 1, QDateTime::currentDateTime()).kind,
             Status::kNoCurrentRow);
    QCOMPARE(totalsIn(*database, QStringLiteral("bruni eva maria")).right, QVariant(6LL));
    QCOMPARE(m_archive.rowCount(), 4);
}

// Names changed from outside while the program was closed: opening the archive sets every
// key right in one go, and names that now clash are reported, not merged. Without that, the
// renamed row would not be found by its new name, and the pupil typing it would get a new
// empty row beside the old results.
void TestArchive::keysSetRightAtOpening() {
    {
        auto database = openOk();
        for (const char* name : {"Rossi Mario", "Verdi Ada", "Neri Luca"}) {
            QVERIFY(database->add(QLatin1String(name)).ok());
        }
    }
    m_archive.rawExec(QStringLiteral(
        "UPDATE tempar SET nome = 'Bianchi Carla', giuste = 7 WHERE nome = 'Rossi Mario';"
        "UPDATE tempar SET nome = 'Rossi Mario' WHERE nome = 'Verdi Ada';"
        "INSERT INTO tempar (nome, giuste) VALUES ('NERI LUCA', 2), ('neri luca', 3);"));
    archive::KeyReport report = m_archive.keyReport();
    QCOMPARE(report.staleKey, 2);
    QCOMPARE(report.sameKey,
             QList<QStringList>{(QStringList{u"Neri Luca"_qs, u"NERI LUCA"_qs, u"neri luca"_qs})});

    auto database = openOk();
    QCOMPARE(totalsIn(*database, QStringLiteral("bianchi carla")).right, QVariant(7LL));
    // The old name finds the row that carries it now, not the renamed one.
    const archive::Outcome rossi = totalsIn(*database, QStringLiteral("ROSSI MARIO"));
    QVERIFY(rossi.found);
    QVERIFY(rossi.right.isNull());
    QVERIFY(!foundIn(*database, QStringLiteral("Verdi Ada")));
    QVERIFY(foundIn(*database, QStringLiteral("Bianchi Carla")));
    // Of three rows that differ in case only, the one that had the key keeps it; the
    // others keep their own names and figures, and a store under the name writes to none.
    QCOMPARE(database->store(QStringLiteral("Neri Luca"), 9, 9, QDateTime::currentDateTime()).kind,
             Status::kSameName);
    QCOMPARE(m_archive.storedNames(),
             (QStringList{u"Bianchi Carla"_qs, u"Rossi Mario"_qs, u"Neri Luca"_qs, u"NERI LUCA"_qs,
                          u"neri luca"_qs}));
    QCOMPARE(m_archive.rawValue(QStringLiteral("SELECT sum(giuste) FROM tempar")),
             QStringLiteral("12"));
    QCOMPARE(m_archive.keyReport().staleKey, 0);
}

// A key repair that fails midway (here a trigger refuses the last key it sets, after the
// others are cleared and set) leaves every key as it was: one transaction.
void TestArchive::keyRepairIsAllOrNothing() {
    {
        auto database = openOk();
        for (const char* name : {"Rossi Mario", "Verdi Ada", "Neri Luca"}) {
            QVERIFY(database->add(QLatin1String(name)).ok());
        }
    }
    m_archive.rawExec(
        QStringLiteral("UPDATE tempar SET nome = 'Alfa' WHERE nome = 'Rossi Mario';"
                       "UPDATE tempar SET nome = 'Beta' WHERE nome = 'Verdi Ada';"
                       "UPDATE tempar SET nome = 'Zeta' WHERE nome = 'Neri Luca';") +
        (onServer() ? QStringLiteral(
                          "CREATE OR REPLACE FUNCTION guasto() RETURNS trigger LANGUAGE plpgsql "
                          "AS $$BEGIN RAISE EXCEPTION 'guasto'; END$$;"
                          "CREATE TRIGGER guasto BEFORE UPDATE OF chiave ON tempar FOR EACH ROW "
                          "WHEN (NEW.chiave = 'zeta') EXECUTE FUNCTION guasto();")
                    : QStringLiteral("CREATE TRIGGER guasto BEFORE UPDATE OF chiave ON tempar "
                                     "WHEN NEW.chiave = 'zeta' BEGIN SELECT RAISE(ABORT, "
                                     "'guasto'); END;")));
    const QByteArray before = m_archive.snapshot();
    session::Modtempar shared;
    m_archive.point(shared);
    const Status status = shared.openArchive();
    QVERIFY2(status.message().contains(QStringLiteral("guasto")), qPrintable(status.message()));
    // cppcheck-suppress knownConditionTrueFalse ; snapshot() reads the archive again
    QCOMPARE(m_archive.snapshot(), before);
    QCOMPARE(m_archive.keyReport().staleKey, 3);
}

void TestArchive::missingTableOrIndex() {
    FILE_ONLY("the file's own index check and SQLite's message");
    const QString path = m_archive.path();
    m_archive.rawExec(QStringLiteral("DROP INDEX nome"));
    auto database = openOk();
    // The file is at fault, not the program, and the message says which file.
    const QString file = QFileInfo(path).absoluteFilePath();
    bool found = false;
    Status status = database->find(QStringLiteral("Rossi"), &found);
    QCOMPARE(status.kind, Status::kWrongLayout);
    QVERIFY2(status.message().contains(file), qPrintable(status.message()));
    QVERIFY2(!status.message().contains(QStringLiteral("errore del programma")),
             qPrintable(status.message()));
    m_archive.rawExec(QStringLiteral("DROP TABLE tempar"));
    auto reopened = openOk();
    int count = 0;
    status = reopened->countNames(&count);
    QCOMPARE(status.kind, Status::kEngineError);
    QCOMPARE(status.engineCode, SQLITE_ERROR);
    // The Italian sentence, naming the file, before the engine's own words.
    const QString message = status.message();
    QVERIFY2(message.indexOf(file) >= 0 &&
                 message.indexOf(file) < message.indexOf(QStringLiteral("no such table")),
             qPrintable(message));
}

// The table taken away on the server while the program has it open: the server's code,
// the server named, and the Italian advice on how to make the table again. An opening
// refuses at once.
void TestArchive::missingTableOnTheServer() {
    SERVER_ONLY("the server's code for a missing table");
    auto database = openOk();
    QVERIFY(database->add(QStringLiteral("Rossi Mario")).ok());
    m_archive.rawExec(QStringLiteral("DROP TABLE tempar"));
    const auto check = [](const Status& status) {
        QCOMPARE(status.kind, Status::kServerError);
        QCOMPARE(status.code, QStringLiteral("42P01"));
        const QString message = status.message();
        QVERIFY2(message.startsWith(QStringLiteral("Errore 20301 (codice 42P01) del server")) &&
                     message.contains(QStringLiteral("«tempolario»")) &&
                     message.contains(QStringLiteral("manca la tabella dei risultati")) &&
                     message.contains(QStringLiteral("tempolario-archivio crea")),
                 qPrintable(message));
    };
    int count = 0;
    check(database->countNames(&count));
    bool found = true;
    check(database->find(QStringLiteral("Rossi Mario"), &found));
    QVERIFY(!found);
    check(database->add(QStringLiteral("Verdi Ada")));
    Status status;
    QVERIFY(!archive::PgArchive::open(pgtesting::place(m_archive.database()), &status));
    check(status);
}

// The program's role may read, add and update results, nothing more: a program (or anyone
// holding its password on a pupil's computer) can neither remove results nor change the
// table, nor renumber the rows.
void TestArchive::programRoleOnlyReadsAddsAndUpdates_data() {
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("code");
    QTest::newRow("delete") << "DELETE FROM tempar"
                            << "42501";
    QTest::newRow("truncate") << "TRUNCATE tempar"
                              << "42501";
    QTest::newRow("drop the table") << "DROP TABLE tempar"
                                    << "42501";
    QTest::newRow("drop the index") << "DROP INDEX nome"
                                    << "42501";
    QTest::newRow("add a field") << "ALTER TABLE tempar ADD COLUMN x int"
                                 << "42501";
    QTest::newRow("rename a field") << "ALTER TABLE tempar RENAME nome TO n"
                                    << "42501";
    QTest::newRow("create a table") << "CREATE TABLE altro (x int)"
                                    << "42501";
    QTest::newRow("create an index") << "CREATE INDEX altro ON tempar (nome)"
                                     << "42501";
    QTest::newRow("renumber a row") << "UPDATE tempar SET id = DEFAULT"
                                    << "42501";
    // Placements may be added and read, never changed or removed.
    QTest::newRow("change a placement") << "UPDATE risposte SET giusta = true"
                                        << "42501";
    QTest::newRow("delete a placement") << "DELETE FROM risposte"
                                        << "42501";
    QTest::newRow("truncate placements") << "TRUNCATE risposte"
                                         << "42501";
    QTest::newRow("drop the placements") << "DROP TABLE risposte"
                                         << "42501";
    // The teacher's settings may only be read.
    QTest::newRow("change a setting") << "UPDATE impostazioni SET valore = 'sì'"
                                      << "42501";
    QTest::newRow("add a setting") << "INSERT INTO impostazioni VALUES ('ripasso', 'sì')"
                                   << "42501";
    // An identity column refuses a value of its own before the rights are looked at.
    QTest::newRow("give a row another number") << "UPDATE tempar SET id = id + 1000"
                                               << "428C9";
}

void TestArchive::programRoleOnlyReadsAddsAndUpdates() {
    SERVER_ONLY("the rights of the program's role");
    QFETCH(QString, sql);
    QFETCH(QString, code);
    QVERIFY(m_archive.addStoredPupil(QStringLiteral("Rossi Mario"), 3, 4,
                                     QDateTime::currentDateTime()));
    const QByteArray before = m_archive.snapshot();
    PGconn* program = pgtesting::connectRaw(pgtesting::kProgramService, m_archive.database());
    PGresult* result = PQexec(program, sql.toUtf8().constData());
    const QString refused = QString::fromUtf8(PQresultErrorField(result, PG_DIAG_SQLSTATE));
    PQclear(result);
    PQfinish(program);
    QCOMPARE(refused, code);
    QCOMPARE(m_archive.snapshot(), before);
    QCOMPARE(m_archive.intact(), QStringLiteral("ok"));
    QCOMPARE(m_archive.rawValue(QStringLiteral("SELECT count(*) FROM pg_class WHERE relname IN "
                                               "('altro', 'x')")),
             QStringLiteral("0"));
}

QTEST_GUILESS_MAIN(TestArchive)
#include "tst_archive.moc"
