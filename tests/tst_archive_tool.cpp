// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The tempolario-archivio command-line tool, run as a separate process.

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "archive/archivefile.h"
#include "archivetesting.h"
#include "testtime.h"

using namespace archivetesting;

namespace {

struct Run {
    int exitCode = -1;
    QString out;
    QString err;
};

Run runTool(const QStringList& arguments) {
    QProcess tool;
    tool.start(QStringLiteral(ARCHIVE_TOOL), arguments);
    Run run;
    if (tool.waitForFinished(testtime::ms(20000)) && tool.exitStatus() == QProcess::NormalExit) {
        run.exitCode = tool.exitCode();
    }
    run.out = QString::fromUtf8(tool.readAllStandardOutput());
    run.err = QString::fromUtf8(tool.readAllStandardError());
    return run;
}

// The tool run by the shell with its standard output redirected (">/dev/full", ">&-").
Run runToolInto(const QString& redirection, const QStringList& arguments) {
    QProcess shell;
    shell.start(
        QStringLiteral("/bin/sh"),
        QStringList{QStringLiteral("-c"), QStringLiteral("exec \"$0\" \"$@\" ") + redirection,
                    QStringLiteral(ARCHIVE_TOOL)} +
            arguments);
    Run run;
    if (shell.waitForFinished(testtime::ms(20000)) && shell.exitStatus() == QProcess::NormalExit) {
        run.exitCode = shell.exitCode();
    }
    run.err = QString::fromUtf8(shell.readAllStandardError());
    return run;
}

}  // namespace

class TestArchiveTool : public QObject {
    Q_OBJECT

private slots:
    void help_data();
    void help();
    void createMakesAnArchiveTheProgramOpens();
    void createNeverOverwrites_data();
    void createNeverOverwrites();
    void createNeverReplacesWhatCameAfterItsCheck_data();
    void createNeverReplacesWhatCameAfterItsCheck();
    void listShowsEveryPupil();
    void csvFollowsRfc4180();
    void csvShowsFormulasAsText();
    void outputThatCannotBeWrittenFails_data();
    void outputThatCannotBeWrittenFails();
    void verifyTellsGoodFromBad();
    void repairSetsKeysRight();
};

void TestArchiveTool::help_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("aiuto") << QStringList{"aiuto"} << 0;
    QTest::newRow("--help") << QStringList{"--help"} << 0;
    QTest::newRow("no command") << QStringList{} << 2;
    QTest::newRow("unknown command") << QStringList{"cancella", "x.mdb"} << 2;
    QTest::newRow("missing file argument") << QStringList{"elenco"} << 2;
}

void TestArchiveTool::help() {
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    const Run run = runTool(arguments);
    QCOMPARE(run.exitCode, exitCode);
    if (exitCode == 0) {
        for (const char* command :
             {"crea FILE", "elenco FILE", "csv FILE", "verifica FILE", "ripara FILE"}) {
            QVERIFY2(run.out.contains(QLatin1String(command)), command);
        }
    } else {
        QVERIFY(run.err.contains(QStringLiteral("tempolario-archivio aiuto")));
    }
}

void TestArchiveTool::createMakesAnArchiveTheProgramOpens() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("tempolario.mdb"));
    const Run run = runTool({QStringLiteral("crea"), path});
    QCOMPARE(run.exitCode, 0);
    auto database = openOk(path);
    int names = -1;
    QVERIFY(database->countNames(&names).ok());
    QCOMPARE(names, 0);
    QVERIFY(!foundIn(*database, QStringLiteral("Rossi Mario")));
    QCOMPARE(runTool({QStringLiteral("verifica"), path}).exitCode, 0);
}

void TestArchiveTool::createNeverOverwrites_data() {
    QTest::addColumn<QByteArray>("existing");
    QTest::newRow("an archive") << QByteArray();
    QTest::newRow("an empty file") << QByteArray("");
    QTest::newRow("another program's file") << QByteArray("Some other data");
}

void TestArchiveTool::createNeverOverwrites() {
    QFETCH(QByteArray, existing);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("tempolario.mdb"));
    if (existing.isNull()) {
        makeArchive(dir.path());
        QVERIFY(openOk(path)->add(QStringLiteral("Rossi Mario")).ok());
    } else {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(existing);
    }
    const QByteArray before = bytesOf(path);
    const Run run = runTool({QStringLiteral("crea"), path});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains(QStringLiteral("esiste già")), qPrintable(run.err));
    QCOMPARE(bytesOf(path), before);
}

// Something put at the archive's name after crea looked (another teacher's crea, a copy)
// is never replaced when the new archive is given that name.
void TestArchiveTool::createNeverReplacesWhatCameAfterItsCheck_data() {
    QTest::addColumn<QString>("what");
    QTest::newRow("a file") << u"file"_qs;
    QTest::newRow("a link to nothing") << u"link"_qs;
    QTest::newRow("a folder") << u"folder"_qs;
}

void TestArchiveTool::createNeverReplacesWhatCameAfterItsCheck() {
    QFETCH(QString, what);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("tempolario.mdb"));
    const archive::Status status = archive::ArchiveFile::create(path, [&] {
        if (what == u"file"_qs) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("risultati di un'altra classe");
        } else if (what == u"link"_qs) {
            QVERIFY(QFile::link(dir.filePath(QStringLiteral("altrove.mdb")), path));
        } else {
            QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("tempolario.mdb")));
        }
    });
    QCOMPARE(status.kind, archive::Status::kFileExists);
    const QFileInfo there(path);
    QCOMPARE(there.isSymLink(), what == u"link"_qs);
    QCOMPARE(there.isDir(), what == u"folder"_qs);
    if (what == u"file"_qs) {
        QCOMPARE(bytesOf(path), QByteArray("risultati di un'altra classe"));
    }
    // Nothing else is left behind.
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                        QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("tempolario.mdb")});
}

void TestArchiveTool::listShowsEveryPupil() {
    QTemporaryDir dir;
    const QString path = makeArchive(dir.path());
    {
        auto rows = openOk(path);
        QVERIFY(rows->add(QStringLiteral("Zanetti Ugo")).ok());
        QVERIFY(rows->add(QString::fromUtf8("Forlì Niccolò")).ok());
        QVERIFY(rows->store(QStringLiteral("FORLÌ NICCOLÒ"), 8, 10,
                            QDateTime(QDate(2024, 3, 9), QTime(10, 20, 30)))
                    .ok());
    }
    const Run run = runTool({QStringLiteral("elenco"), path});
    QCOMPARE(run.exitCode, 0);
    const QStringList lines = run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 4);
    QVERIFY(lines[0].startsWith(QStringLiteral("Nome")));
    QCOMPARE(lines[1], QStringLiteral("Zanetti Ugo"));  // never stored: no figures
    QCOMPARE(lines[2].simplified(), QString::fromUtf8("FORLÌ NICCOLÒ 8 10 09/03/24 10:20:30"));
    QCOMPARE(lines[3], QStringLiteral("2 alunni."));
}

void TestArchiveTool::csvFollowsRfc4180() {
    QTemporaryDir dir;
    const QString path = makeArchive(dir.path());
    {
        auto rows = openOk(path);
        for (const QString& name : {QStringLiteral("Rossi Mario"), QStringLiteral("Bianchi, Eva"),
                                    QStringLiteral("D'Angelo \"Gigi\""),
                                    QStringLiteral("Righe\r\ndue"), QString::fromUtf8("Forlì 😀"),
                                    QStringLiteral("Eco\x1b[2J\x07")}) {
            QVERIFY(rows->add(name).ok());
        }
        QVERIFY(rows->store(QStringLiteral("rossi mario"), 3, 4,
                            QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5)))
                    .ok());
    }
    const Run run = runTool({QStringLiteral("csv"), path});
    QCOMPARE(run.exitCode, 0);
    // The third column holds the answers given, right and wrong. Control characters (a
    // terminal's escapes included) are written as the listing writes them.
    QCOMPARE(run.out, QString::fromUtf8("nome,giuste,risposte date,data\r\n"
                                        "rossi mario,3,4,02/01/24 03:04:05\r\n"
                                        "\"Bianchi, Eva\",,,\r\n"
                                        "\"D'Angelo \"\"Gigi\"\"\",,,\r\n"
                                        "Righe��due,,,\r\n"
                                        "Forlì 😀,,,\r\n"
                                        "Eco�[2J�,,,\r\n"));
    const QString listed = runTool({QStringLiteral("elenco"), path}).out;
    QVERIFY2(listed.contains(u"\nRighe��due\n"_qs), qPrintable(listed));
    QVERIFY2(listed.contains(u"\nEco�[2J�\n"_qs), qPrintable(listed));
}

// A name a pupil typed must never run as a formula in the teacher's spreadsheet.
void TestArchiveTool::csvShowsFormulasAsText() {
    QTemporaryDir dir;
    const QString path = makeArchive(dir.path());
    {
        auto rows = openOk(path);
        for (const QString& name :
             {u"=1+1"_qs, u"+39 333"_qs, u"-2"_qs, u"@SOMMA(A1)"_qs, u"\tTab"_qs, u"\rA capo"_qs,
              u"=COLLEGAMENTO.IPERTESTUALE(\"x\")"_qs, u"Rossi =1"_qs, u"'Neri"_qs}) {
            QVERIFY(rows->add(name).ok());
        }
    }
    const Run run = runTool({QStringLiteral("csv"), path});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, QString::fromUtf8("nome,giuste,risposte date,data\r\n"
                                        "\"'=1+1\",,,\r\n"
                                        "\"'+39 333\",,,\r\n"
                                        "\"'-2\",,,\r\n"
                                        "\"'@SOMMA(A1)\",,,\r\n"
                                        "\"'�Tab\",,,\r\n"
                                        "\"'�A capo\",,,\r\n"
                                        "\"'=COLLEGAMENTO.IPERTESTUALE(\"\"x\"\")\",,,\r\n"
                                        "Rossi =1,,,\r\n"
                                        "'Neri,,,\r\n"));
    QVERIFY(runTool({QStringLiteral("aiuto")}).out.contains(QStringLiteral("apostrofo")));
}

// A full disk or a closed output must not pass for a finished export.
void TestArchiveTool::outputThatCannotBeWrittenFails_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("redirection");
    for (const char* command : {"csv", "elenco", "verifica", "crea", "aiuto"}) {
        QTest::addRow("%s to /dev/full", command)
            << QString::fromLatin1(command) << u">/dev/full"_qs;
        QTest::addRow("%s to a closed output", command)
            << QString::fromLatin1(command) << u">&-"_qs;
    }
}

void TestArchiveTool::outputThatCannotBeWrittenFails() {
    QFETCH(QString, command);
    QFETCH(QString, redirection);
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("tempolario.mdb"));
    if (command != QLatin1String("crea")) {
        makeArchive(dir.path());
        // More than any output buffer holds, so that writes fail before the final flush.
        execRaw(path,
                "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                "WHERE i < 2000) INSERT INTO tempar (nome, chiave) "
                "SELECT 'Alunno numero ' || i, 'alunno numero ' || i FROM n");
    }
    const Run run =
        runToolInto(redirection, command == QLatin1String("aiuto") ? QStringList{command}
                                                                   : QStringList{command, path});
    QVERIFY2(run.exitCode == 1, qPrintable(run.err));
    QVERIFY2(run.err.contains(QStringLiteral("uscita standard")), qPrintable(run.err));
    if (redirection == QLatin1String(">&-") && command == QLatin1String("crea")) {
        QVERIFY(!QFileInfo::exists(path));  // refused before anything was made
    }
}

void TestArchiveTool::verifyTellsGoodFromBad() {
    QTemporaryDir dir;
    const QString path = makeArchive(dir.path());
    {
        auto rows = openOk(path);
        for (int i = 0; i < 300; ++i) {
            QVERIFY(rows->add(QStringLiteral("Alunno numero %1").arg(i)).ok());
        }
    }
    Run run = runTool({QStringLiteral("verifica"), path});
    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.out.contains(QStringLiteral("300")));

    // Damage the header of the table's root page: SQLite's own check must find it.
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.seek(4096));
    file.write(QByteArray(12, '\x5a'));
    file.close();
    const QByteArray damaged = bytesOf(path);
    run = runTool({QStringLiteral("verifica"), path});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains(QStringLiteral("danneggiato")), qPrintable(run.err));
    QCOMPARE(bytesOf(path), damaged);

    run = runTool({QStringLiteral("verifica"), dir.filePath(QStringLiteral("manca.mdb"))});
    QCOMPARE(run.exitCode, 1);
    QVERIFY(run.err.contains(QStringLiteral("non esiste")));
}

// Names changed with the sqlite3 program: ripara sets the keys right at once; verifica only
// reports. Both end with 3 while something needs the teacher, and each piece of advice,
// followed, leads to an archive that verifica passes.
void TestArchiveTool::repairSetsKeysRight() {
    QTemporaryDir dir;
    const QString path = makeArchive(dir.path());
    {
        auto rows = openOk(path);
        QVERIFY(rows->add(QStringLiteral("Rossi Mario")).ok());
        QVERIFY(rows->add(QStringLiteral("Verdi Ada")).ok());
    }
    execRaw(path,
            "UPDATE tempar SET nome = 'Bianchi Carla' WHERE nome = 'Rossi Mario';"
            "INSERT INTO tempar (nome) VALUES ('VERDI ADA');");
    const QByteArray before = bytesOf(path);
    Run run = runTool({QStringLiteral("verifica"), path});
    QCOMPARE(run.exitCode, 3);
    QVERIFY2(run.out.contains(QStringLiteral("non corrisponde al nome")), qPrintable(run.out));
    QVERIFY2(run.out.contains(QStringLiteral("Per correggere le chiavi: tempolario-archivio "
                                             "ripara ") + path),
             qPrintable(run.out));
    QVERIFY2(run.out.contains(QStringLiteral("«Verdi Ada» (id 2), «VERDI ADA» (id 3)")),
             qPrintable(run.out));
    QCOMPARE(bytesOf(path), before);

    run = runTool({QStringLiteral("ripara"), path});
    QCOMPARE(run.exitCode, 3);  // the names that clash are left to the teacher
    QVERIFY2(run.out.contains(QStringLiteral("Chiavi corrette: 1.")), qPrintable(run.out));
    run = runTool({QStringLiteral("verifica"), path});
    QCOMPARE(run.exitCode, 3);
    QVERIFY2(!run.out.contains(QStringLiteral("Per correggere le chiavi")), qPrintable(run.out));
    const QString rename = QStringLiteral("sqlite3 %1 \"UPDATE tempar SET nome = 'NUOVO NOME' "
                                          "WHERE id = 3\"; poi esegui tempolario-archivio "
                                          "ripara %1.")
                               .arg(path);
    QVERIFY2(run.out.contains(rename), qPrintable(run.out));
    execRaw(path, "UPDATE tempar SET nome = 'VERDI ADA seconda' WHERE id = 3");
    QCOMPARE(runTool({QStringLiteral("ripara"), path}).exitCode, 0);
    run = runTool({QStringLiteral("verifica"), path});
    QCOMPARE(run.exitCode, 0);
    auto rows = openOk(path);
    QVERIFY(foundIn(*rows, QStringLiteral("BIANCHI CARLA")));
    QVERIFY(foundIn(*rows, QStringLiteral("verdi ada seconda")));
}

QTEST_GUILESS_MAIN(TestArchiveTool)
#include "tst_archive_tool.moc"
