// Every operation of the archive layer against real files in temporary folders.

#include <QDateTime>
#include <QTemporaryDir>
#include <QTest>

#include "archive/modtempar.h"
#include "archive/namekey.h"
#include "archivetesting.h"

using namespace archivetesting;
using archive::Status;

class TestArchive : public QObject {
    Q_OBJECT

private slots:
    void init();

    void emptyTable();
    void listingKeepsInsertionOrder();
    void listingCrossesBatchesWhileRowsChange();
    void seekIgnoresLetterCase_data();
    void seekIgnoresLetterCase();
    void neverStoredValuesReadMissing();
    void storeOverwritesTheRow();
    void savedRowSeenByCursorsOpenedAfterwards();
    void cursorOutlivesItsDatabase();
    void noCurrentRow_data();
    void noCurrentRow();
    void typedTextKeptUnchanged_data();
    void typedTextKeptUnchanged();
    void rowsWrittenByTheSqliteProgram();
    void keysSetRightAtOpening();
    void keyOrderWalk();
    void misuseIsReported_data();
    void misuseIsReported();
    void missingTableOrIndex();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
};

void TestArchive::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_path = makeArchive(m_dir->path());
}

void TestArchive::emptyTable() {
    auto database = openOk(m_path);
    auto rows = tableOf(*database);
    QVERIFY(rows->bof());
    QVERIFY(rows->eof());
    QCOMPARE(rows->recordCount(), 0);
    QVERIFY(rows->setIndex(QStringLiteral("nome")).ok());
    QVERIFY(rows->seek(QStringLiteral("="), QStringLiteral("Rossi Mario")).ok());
    QVERIFY(rows->noMatch());
    QCOMPARE(listing(*rows), QStringList());
    // A name typed into an empty archive is added and then found.
    QVERIFY(addName(*rows, QStringLiteral("Rossi Mario")).ok());
    QVERIFY(rows->seek(QStringLiteral("="), QStringLiteral("ROSSI MARIO")).ok());
    QVERIFY(!rows->noMatch());
}

void TestArchive::listingKeepsInsertionOrder() {
    const QStringList names{"Zanetti Ugo", "Abate Ada", "Mori Lia", "Bianchi Ezio"};
    {
        auto database = openOk(m_path);
        auto rows = tableOf(*database);
        for (const QString& name : names) {
            QVERIFY(addName(*rows, name).ok());
        }
        QCOMPARE(rows->recordCount(), names.size());
    }
    execRaw(m_path, "VACUUM");
    auto database = openOk(m_path);
    auto rows = tableOf(*database);
    QVERIFY(!rows->bof());
    QCOMPARE(valueOf(*rows, "nome").toString(), names.first());  // opened on the first row
    QCOMPARE(listing(*rows), names);
    QCOMPARE(rows->recordCount(), names.size());
    QVERIFY(rows->eof());
    QCOMPARE(rows->moveNext().number, Status::kNoCurrentRow);
}

void TestArchive::listingCrossesBatchesWhileRowsChange() {
    // Rows are read ahead in batches; a save through another cursor in the middle of the
    // walk must neither skip nor repeat rows, and the walk shows the saved value.
    const int count = 3000;
    execRaw(m_path,
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000)"
            " INSERT INTO tempar (nome, chiave) SELECT 'alunno ' || i, 'alunno ' || i FROM n");
    auto database = openOk(m_path);
    auto walker = tableOf(*database);
    auto writer = tableOf(*database);
    int seen = 0;
    while (!walker->eof()) {
        ++seen;
        const QString name = valueOf(*walker, "nome").toString();
        QCOMPARE(archive::nameKey(name), QStringLiteral("alunno %1").arg(seen));
        if (seen == 100) {
            QVERIFY(store(*writer, QStringLiteral("ALUNNO 101"), 7, 9, QDateTime::currentDateTime())
                        .ok());
        }
        if (seen == 101) {
            QCOMPARE(valueOf(*walker, "giuste"), QVariant(7LL));
        }
        QVERIFY(walker->moveNext().ok());
    }
    QCOMPARE(seen, count);
}

void TestArchive::seekIgnoresLetterCase_data() {
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

void TestArchive::seekIgnoresLetterCase() {
    QFETCH(QString, stored);
    QFETCH(QString, sought);
    QFETCH(bool, found);
    auto database = openOk(m_path);
    auto rows = tableOf(*database);
    QVERIFY(addName(*rows, QStringLiteral("Altro Nome")).ok());
    QVERIFY(addName(*rows, stored).ok());
    auto lookup = tableOf(*database);
    QVERIFY(lookup->setIndex(QStringLiteral("nome")).ok());
    QVERIFY(lookup->seek(QStringLiteral("="), sought).ok());
    QCOMPARE(!lookup->noMatch(), found);
    if (found) {
        QCOMPARE(valueOf(*lookup, "nome").toString(), stored);  // stored as typed
    }
    QCOMPARE(archive::nameKey(stored) == archive::nameKey(sought), found);
}

void TestArchive::neverStoredValuesReadMissing() {
    auto database = openOk(m_path);
    auto rows = tableOf(*database);
    QVERIFY(addName(*rows, QStringLiteral("Verdi Anna")).ok());
    auto reader = tableOf(*database);
    QVERIFY(reader->setIndex(QStringLiteral("nome")).ok());
    QVERIFY(reader->seek(QStringLiteral("="), QStringLiteral("verdi anna")).ok());
    QVERIFY(!reader->noMatch());
    for (const char* field : {"giuste", "sbagliate", "data"}) {
        const QVariant value = valueOf(*reader, field);
        QVERIFY2(value.isNull() && !value.isValid(), field);
    }
}

void TestArchive::storeOverwritesTheRow() {
    const QDateTime when(QDate(2024, 3, 9), QTime(10, 20, 30, 456));
    auto database = openOk(m_path);
    {
        auto rows = tableOf(*database);
        QVERIFY(addName(*rows, QStringLiteral("Rossi Mario")).ok());
        QVERIFY(store(*rows, QStringLiteral("Rossi Mario"), 3, 4, when.addDays(-1)).ok());
    }
    // A new run of the same pupil typed in capitals: the row takes the new letter case
    // and the new totals, not their sum.
    auto rows = tableOf(*database);
    QVERIFY(store(*rows, QStringLiteral("ROSSI MARIO"), 8, 10, when).ok());
    QCOMPARE(valueOf(*rows, "giuste"), QVariant(8LL));  // the cursor stays on the row

    auto reopened = openOk(m_path);
    auto reader = tableOf(*reopened);
    QCOMPARE(reader->recordCount(), 1);
    QCOMPARE(valueOf(*reader, "nome").toString(), QStringLiteral("ROSSI MARIO"));
    QCOMPARE(valueOf(*reader, "giuste"), QVariant(8LL));
    QCOMPARE(valueOf(*reader, "sbagliate"), QVariant(10LL));
    QCOMPARE(valueOf(*reader, "data").toDateTime(), when.addMSecs(-456));  // to the second
    QCOMPARE(valueOf(*reader, "data").toDateTime().timeSpec(), Qt::LocalTime);
}

void TestArchive::savedRowSeenByCursorsOpenedAfterwards() {
    archive::Modtempar state;
    state.archivePath = m_path;
    QVERIFY(state.openArchive().ok());
    auto nameWindow = tableOf(*state.archiveDb);
    QVERIFY(addName(*nameWindow, QStringLiteral("Neri Luca")).ok());

    // Same handle, then a reopened one, as the exercise and results windows do.
    auto exerciseWindow = tableOf(*state.archiveDb);
    QVERIFY(store(*exerciseWindow, QStringLiteral("NERI LUCA"), 1, 2, QDateTime::currentDateTime())
                .ok());
    QVERIFY(state.openArchive().ok());
    auto resultsWindow = tableOf(*state.archiveDb);
    QVERIFY(resultsWindow->setIndex(QStringLiteral("nome")).ok());
    QVERIFY(resultsWindow->seek(QStringLiteral("="), QStringLiteral("NERI LUCA")).ok());
    QVERIFY(!resultsWindow->noMatch());
    QCOMPARE(valueOf(*resultsWindow, "sbagliate"), QVariant(2LL));
    // The name window's old cursor, on the replaced handle, sees the store too.
    QVERIFY(nameWindow->setIndex(QStringLiteral("nome")).ok());
    QVERIFY(nameWindow->seek(QStringLiteral("="), QStringLiteral("neri luca")).ok());
    QCOMPARE(valueOf(*nameWindow, "giuste"), QVariant(1LL));
}

void TestArchive::cursorOutlivesItsDatabase() {
    archive::Modtempar state;
    state.archivePath = m_path;
    QVERIFY(state.openArchive().ok());
    auto kept = tableOf(*state.archiveDb);
    QVERIFY(state.openArchive().ok());  // replaces the handle that opened `kept`
    QVERIFY(state.closeArchive().ok());
    QVERIFY(!state.archiveDb);
    QVERIFY(addName(*kept, QStringLiteral("Gialli Ida")).ok());
    kept.reset();
    auto database = openOk(m_path);
    QCOMPARE(listing(*tableOf(*database)), QStringList{QStringLiteral("Gialli Ida")});
    QVERIFY(database->close().ok());
    Status status;
    QVERIFY(!database->openRecordset(QStringLiteral("tempar"), &status));
    QCOMPARE(status.number, Status::kClosed);
}

void TestArchive::noCurrentRow_data() {
    QTest::addColumn<QString>("situation");
    QTest::newRow("empty table") << "empty";
    QTest::newRow("after a lookup that found nothing") << "no match";
    QTest::newRow("past the last row") << "eof";
}

void TestArchive::noCurrentRow() {
    QFETCH(QString, situation);
    auto database = openOk(m_path);
    auto rows = tableOf(*database);
    if (situation != QLatin1String("empty")) {
        QVERIFY(addName(*rows, QStringLiteral("Rossi Mario")).ok());
        rows = tableOf(*database);
    }
    if (situation == QLatin1String("no match")) {
        QVERIFY(rows->setIndex(QStringLiteral("nome")).ok());
        QVERIFY(rows->seek(QStringLiteral("="), QStringLiteral("Bianchi Ugo")).ok());
        QVERIFY(rows->noMatch());
    } else if (situation == QLatin1String("eof")) {
        QVERIFY(rows->moveNext().ok());
        QVERIFY(rows->eof());
    }
    const Status edit = rows->edit();
    QCOMPARE(edit.number, Status::kNoCurrentRow);
    QVERIFY(!edit.description.isEmpty() && !edit.advice.isEmpty());
    QCOMPARE(rows->setValue(QStringLiteral("giuste"), 1.0).number, Status::kNotEditing);
    QCOMPARE(rows->update().number, Status::kNotEditing);
    QVariant value;
    QCOMPARE(rows->value(QStringLiteral("nome"), &value).number, Status::kNoCurrentRow);
}

void TestArchive::typedTextKeptUnchanged_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("quotes") << QStringLiteral("D'Angelo \"Gigi\" `x`");
    QTest::newRow("SQL in the name") << QStringLiteral("x'); DROP TABLE tempar; --");
    QTest::newRow("percent and underscore") << QStringLiteral("100% _Rossi_ %");
    QTest::newRow("semicolons") << QStringLiteral(";;Rossi;Mario;");
    QTest::newRow("emoji") << QString::fromUtf8("Rossi 😀 Mario 👩‍👩‍👧");
    QTest::newRow("10000 characters") << QString(10000, QLatin1Char('m'));
    QTest::newRow("control characters")
        << QStringLiteral("a\tb\nc\rd\x01\x1b\x7f") + QChar(0) + QStringLiteral("e");
    QTest::newRow("only blanks") << QStringLiteral("   ");
    QTest::newRow("blanks around one word") << QStringLiteral("  Rossi  ");
}

void TestArchive::typedTextKeptUnchanged() {
    QFETCH(QString, name);
    {
        auto database = openOk(m_path);
        auto rows = tableOf(*database);
        QVERIFY(addName(*rows, QStringLiteral("Primo")).ok());
        QVERIFY(addName(*rows, name).ok());
        QVERIFY(addName(*rows, QStringLiteral("Ultimo")).ok());
    }
    auto database = openOk(m_path);
    auto rows = tableOf(*database);
    QCOMPARE(listing(*rows),
             (QStringList{QStringLiteral("Primo"), name, QStringLiteral("Ultimo")}));
    QVERIFY(rows->setIndex(QStringLiteral("nome")).ok());
    QVERIFY(rows->seek(QStringLiteral("="), name.toUpper()).ok());
    QVERIFY(!rows->noMatch());
    QCOMPARE(valueOf(*rows, "nome").toString(), name);
    QVERIFY(store(*rows, name, 5, 6, QDateTime::currentDateTime()).ok());
    QCOMPARE(integrity(m_path), QStringLiteral("ok"));
}

void TestArchive::rowsWrittenByTheSqliteProgram() {
    // Rows added outside the program have no key; they are listed and found all the same,
    // and get their key at their first save through the program.
    auto database = openOk(m_path);
    QVERIFY(addName(*tableOf(*database), QStringLiteral("Rossi Mario")).ok());
    const QByteArray insert =
        QStringLiteral(
            "INSERT INTO tempar (nome) VALUES ('%1');"
            "INSERT INTO tempar (nome, giuste, sbagliate, data) VALUES ('Bruni Eva', 4, 5, "
            "'2024-05-06 07:08:09');"
            "INSERT INTO tempar (nome) VALUES (NULL);")
            .arg(QString::fromUtf8("Niccolò Forlì").normalized(QString::NormalizationForm_D))
            .toUtf8();
    execRaw(m_path, insert.constData());

    auto rows = tableOf(*database);
    QCOMPARE(listing(*rows).size(), 4);
    QVERIFY(rows->setIndex(QStringLiteral("nome")).ok());
    QVERIFY(rows->seek(QStringLiteral("="), QString::fromUtf8("NICCOLÒ FORLÌ")).ok());
    QVERIFY(!rows->noMatch());
    QVERIFY(rows->seek(QStringLiteral("="), QStringLiteral("bruni eva")).ok());
    QVERIFY(!rows->noMatch());
    QCOMPARE(valueOf(*rows, "data").toDateTime(), QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9)));
    QCOMPARE(valueOf(*rows, "giuste"), QVariant(4LL));
    // A save fills the key, and the row is then found through the index itself.
    QVERIFY(rows->edit().ok());
    QVERIFY(rows->setValue(QStringLiteral("giuste"), 6.0).ok());
    QVERIFY(rows->update().ok());
    QStringList notes;
    QVERIFY(archive::ArchiveFile::verify(m_path, &notes).ok());
    QVERIFY2(notes.join(' ').contains(QStringLiteral("senza chiave")), qPrintable(notes.join(' ')));
    // Renamed from outside while the archive is open, the row answers to its new name only:
    // the old name must not reach it (a store under the old name would overwrite it).
    execRaw(m_path, "UPDATE tempar SET nome = 'Bruni Eva Maria' WHERE chiave = 'bruni eva'");
    auto check = tableOf(*database);
    QVERIFY(check->setIndex(QStringLiteral("nome")).ok());
    QVERIFY(check->seek(QStringLiteral("="), QStringLiteral("BRUNI EVA")).ok());
    QVERIFY(check->noMatch());
    QVERIFY(check->seek(QStringLiteral("="), QStringLiteral("bruni eva maria")).ok());
    QVERIFY(!check->noMatch());
    QCOMPARE(valueOf(*check, "giuste"), QVariant(6LL));
}

// Names changed with the sqlite3 program while the program was closed: opening the archive
// sets every key right in one go, and names that now clash are reported, not merged.
void TestArchive::keysSetRightAtOpening() {
    {
        auto database = openOk(m_path);
        for (const char* name : {"Rossi Mario", "Verdi Ada", "Neri Luca"}) {
            QVERIFY(addName(*tableOf(*database), QLatin1String(name)).ok());
        }
    }
    execRaw(m_path,
            "UPDATE tempar SET nome = 'Bianchi Carla', giuste = 7 WHERE nome = 'Rossi Mario';"
            "UPDATE tempar SET nome = 'Rossi Mario' WHERE nome = 'Verdi Ada';"
            "INSERT INTO tempar (nome, giuste) VALUES ('NERI LUCA', 2), ('neri luca', 3);");
    QStringList notes;
    QVERIFY(archive::ArchiveFile::verify(m_path, &notes).ok());
    const QString noted = notes.join(u' ');
    QVERIFY2(noted.contains(QStringLiteral("non corrisponde al nome")) &&
                 noted.contains(QStringLiteral("«Neri Luca», «NERI LUCA», «neri luca»")),
             qPrintable(noted));

    auto database = openOk(m_path);
    auto rows = tableOf(*database);
    QVERIFY(rows->setIndex(QStringLiteral("nome")).ok());
    QVERIFY(rows->seek(QStringLiteral("="), QStringLiteral("bianchi carla")).ok());
    QVERIFY(!rows->noMatch());
    QCOMPARE(valueOf(*rows, "giuste"), QVariant(7LL));
    // The old name finds the row that carries it now, not the renamed one.
    QVERIFY(rows->seek(QStringLiteral("="), QStringLiteral("ROSSI MARIO")).ok());
    QVERIFY(!rows->noMatch());
    QVERIFY(valueOf(*rows, "giuste").isNull());
    QVERIFY(rows->seek(QStringLiteral("="), QStringLiteral("Verdi Ada")).ok());
    QVERIFY(rows->noMatch());
    // Of three rows that differ in case only, the one that had the key keeps it; the
    // others keep their own names and figures.
    QVERIFY(rows->seek(QStringLiteral("="), QStringLiteral("Neri luca")).ok());
    QCOMPARE(valueOf(*rows, "nome").toString(), QStringLiteral("Neri Luca"));
    QCOMPARE(listing(*tableOf(*database)),
             (QStringList{u"Bianchi Carla"_qs, u"Rossi Mario"_qs, u"Neri Luca"_qs,
                          u"NERI LUCA"_qs, u"neri luca"_qs}));
    notes.clear();
    QVERIFY(archive::ArchiveFile::verify(m_path, &notes).ok());
    QVERIFY2(!notes.join(u' ').contains(QStringLiteral("non corrisponde")),
             qPrintable(notes.join(u' ')));
}

void TestArchive::keyOrderWalk() {
    auto database = openOk(m_path);
    auto rows = tableOf(*database);
    for (const char* name : {"Mori", "abate", "Zanetti", "Bianchi"}) {
        QVERIFY(addName(*rows, QLatin1String(name)).ok());
    }
    QVERIFY(rows->setIndex(QStringLiteral("nome")).ok());
    QVERIFY(rows->moveFirst().ok());
    QStringList names;
    while (!rows->eof()) {
        names.append(valueOf(*rows, "nome").toString());
        QVERIFY(rows->moveNext().ok());
    }
    QCOMPARE(names, (QStringList{"abate", "Bianchi", "Mori", "Zanetti"}));
    QVERIFY(rows->seek(QStringLiteral("="), QStringLiteral("MORI")).ok());
    QVERIFY(rows->moveNext().ok());
    QCOMPARE(valueOf(*rows, "nome").toString(), QStringLiteral("Zanetti"));
}

void TestArchive::misuseIsReported_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("number");
    QTest::newRow("unknown table") << "table" << Status::kUnknownTable;
    QTest::newRow("unknown index") << "index" << Status::kUnknownIndex;
    QTest::newRow("unknown field read") << "read" << Status::kUnknownField;
    QTest::newRow("unknown field write") << "write" << Status::kUnknownField;
    QTest::newRow("seek without index") << "seek" << Status::kNoIndex;
    QTest::newRow("seek with <") << "compare" << Status::kBadComparison;
    QTest::newRow("count not whole") << "half" << Status::kWrongValue;
    QTest::newRow("count not a number") << "word" << Status::kWrongValue;
    QTest::newRow("count a double cannot hold") << "huge" << Status::kWrongValue;
    QTest::newRow("count a double cannot hold, as text") << "huge text" << Status::kWrongValue;
    QTest::newRow("date not a date") << "date" << Status::kWrongValue;
}

void TestArchive::misuseIsReported() {
    QFETCH(QString, action);
    QFETCH(int, number);
    auto database = openOk(m_path);
    auto rows = tableOf(*database);
    QVERIFY(addName(*rows, QStringLiteral("Rossi")).ok());
    rows = tableOf(*database);
    QVERIFY(rows->edit().ok());
    QVariant value;
    Status status;
    if (action == QLatin1String("table")) {
        QVERIFY(!database->openRecordset(QStringLiteral("sqlite_master"), &status));
    } else if (action == QLatin1String("index")) {
        status = rows->setIndex(QStringLiteral("chiave"));
    } else if (action == QLatin1String("read")) {
        status = rows->value(QStringLiteral("voto"), &value);
    } else if (action == QLatin1String("write")) {
        status = rows->setValue(QStringLiteral("id"), 3);
    } else if (action == QLatin1String("seek")) {
        status = rows->seek(QStringLiteral("="), QStringLiteral("Rossi"));
    } else if (action == QLatin1String("compare")) {
        QVERIFY(rows->setIndex(QStringLiteral("nome")).ok());
        status = rows->seek(QStringLiteral("<"), QStringLiteral("Rossi"));
    } else if (action == QLatin1String("half")) {
        status = rows->setValue(QStringLiteral("giuste"), 2.5);
    } else if (action == QLatin1String("huge")) {
        status = rows->setValue(QStringLiteral("giuste"), (1LL << 53) + 1);
    } else if (action == QLatin1String("huge text")) {
        status = rows->setValue(QStringLiteral("giuste"), QStringLiteral("9007199254740993"));
    } else if (action == QLatin1String("word")) {
        status = rows->setValue(QStringLiteral("sbagliate"), QStringLiteral("tre"));
    } else {
        status = rows->setValue(QStringLiteral("data"), QStringLiteral("ieri"));
    }
    QCOMPARE(status.number, number);
    QVERIFY(status.message().contains(QString::number(number)));
    // A refused write leaves the row as it was.
    QVERIFY(rows->update().ok());
    QVERIFY(valueOf(*rows, "giuste").isNull());
}

void TestArchive::missingTableOrIndex() {
    execRaw(m_path, "DROP INDEX nome");
    auto database = openOk(m_path);
    auto rows = tableOf(*database);
    // The file is at fault, not the program, and the message says which file.
    const QString file = QFileInfo(m_path).absoluteFilePath();
    Status status = rows->setIndex(QStringLiteral("nome"));
    QCOMPARE(status.number, Status::kWrongLayout);
    QVERIFY2(status.message().contains(file), qPrintable(status.message()));
    QVERIFY2(!status.message().contains(QStringLiteral("errore del programma")),
             qPrintable(status.message()));
    execRaw(m_path, "DROP TABLE tempar");
    auto reopened = openOk(m_path);
    QVERIFY(!reopened->openRecordset(QStringLiteral("tempar"), &status));
    QCOMPARE(status.number, SQLITE_ERROR);
    // The Italian sentence, naming the file, before the engine's own words.
    const QString message = status.message();
    QVERIFY2(message.indexOf(file) >= 0 &&
                 message.indexOf(file) < message.indexOf(QStringLiteral("no such table")),
             qPrintable(message));
}

QTEST_GUILESS_MAIN(TestArchive)
#include "tst_archive.moc"
