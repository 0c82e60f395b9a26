// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The tempolario-archivio command-line tool, run as a separate process, on an archive file or
// on the test server, which it finds through a service file as on a school's computer.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "archive/archivefile.h"
#include "archivetesting.h"
#include "enginetesting.h"
#include "pgtesting.h"
#include "testtime.h"

using namespace archivetesting;

namespace {

struct Run {
    int exitCode = -1;
    QString out;
    QString err;
};

// The tool, with the standard output redirected by the shell when redirection is given
// (">/dev/full", ">&-"), and with PGSERVICEFILE set to serviceFile when that is given.
Run runTool(const QStringList& arguments, const QString& serviceFile = QString(),
            const QString& redirection = QString()) {
    QProcess process;
    if (!serviceFile.isEmpty()) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("PGSERVICEFILE"), serviceFile);
        process.setProcessEnvironment(environment);
    }
    if (redirection.isEmpty()) {
        process.start(QStringLiteral(ARCHIVE_TOOL), arguments);
    } else {
        process.start(
            QStringLiteral("/bin/sh"),
            QStringList{QStringLiteral("-c"), QStringLiteral("exec \"$0\" \"$@\" ") + redirection,
                        QStringLiteral(ARCHIVE_TOOL)} +
                arguments);
    }
    Run run;
    if (process.waitForFinished(testtime::ms(60000)) &&
        process.exitStatus() == QProcess::NormalExit) {
        run.exitCode = process.exitCode();
    }
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

// The archive under test as the tool is given it: the file's path, or --servizio and a
// service of a service file of its own pointed at the test's database, "school" (the
// program's role) or "school-admin" (the administrator).
class ToolArchive : public enginetesting::ArchiveUnderTest {
public:
    ToolArchive() {
        makeEmpty();
        if (!server()) {
            return;
        }
        QFile base(qEnvironmentVariable("PGSERVICEFILE"));
        if (!base.open(QIODevice::ReadOnly)) {
            qFatal("cannot read the test server's service file");
        }
        const QString text = QString::fromUtf8(base.readAll());
        QString mine;
        for (const auto& [section, name] : {std::pair{"[tempolario-admin]", "school-admin"},
                                            std::pair{"[tempolario]", "school"}}) {
            const qsizetype start = text.indexOf(QLatin1String(section));
            qsizetype end = text.indexOf(QLatin1Char('['), start + 1);
            if (end < 0) {
                end = text.size();
            }
            QString body = text.mid(start, end - start);
            body.replace(QLatin1String(section), QStringLiteral("[%1]").arg(QLatin1String(name)));
            body.replace(QRegularExpression(QStringLiteral("(?m)^dbname=.*$")),
                         QStringLiteral("dbname=") + database());
            mine += body + QLatin1Char('\n');
        }
        m_services = m_dir.filePath(QStringLiteral("pg_service.conf"));
        QFile out(m_services);
        if (!out.open(QIODevice::WriteOnly) || out.write(mine.toUtf8()) < 0) {
            qFatal("cannot write a service file");
        }
    }

    // The archive's arguments, and how the tool's advice names it.
    QStringList arguments(bool admin = false) const {
        if (!server()) {
            return {path()};
        }
        return {QStringLiteral("--servizio"),
                admin ? QStringLiteral("school-admin") : QStringLiteral("school")};
    }
    QString named() const { return arguments().join(QLatin1Char(' ')); }

    Run tool(const QString& command, bool admin = false) const {
        return call(QStringList{command} + arguments(admin));
    }
    Run call(const QStringList& arguments, const QString& redirection = QString()) const {
        return runTool(arguments, m_services, redirection);
    }

private:
    QTemporaryDir m_dir;
    QString m_services;
};

// What the server holds, row by row, as text: name, totals and date.
QStringList serverRows(const QString& database) {
    auto server = pgtesting::openOk(database);
    std::vector<archive::StoredRow> rows;
    if (!server->everyRow(&rows).ok()) {
        qFatal("cannot read the rows of %s", qPrintable(database));
    }
    QStringList shown;
    for (const archive::StoredRow& row : rows) {
        shown.append(QStringLiteral("%1|%2|%3|%4")
                         .arg(row.nome.toString(), row.giuste.toString(), row.sbagliate.toString(),
                              row.data.toDateTime().toString(Qt::ISODate)));
    }
    return shown;
}

}  // namespace

class TestArchiveTool : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { ENGINE_INIT(); }
    void help_data();
    void help();
    void createMakesAnArchiveTheProgramOpens();
    void createGrantsOnlyWhatTheProgramNeeds();
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
    void copyIntoTheServerKeepsTheNewestResults();
    void copyThatCannotFinishChangesNothing();
    void anArchiveMadeBeforeTheLimits();
    void badSettingsAreNamed_data();
    void badSettingsAreNamed();
    void purgeRemovesOlderPlacementsOnly_data();
    void purgeRemovesOlderPlacementsOnly();
    void upgradeAddsThePlacements();
    void ripassoSetByTheTeacher_data();
    void ripassoSetByTheTeacher();
    void classReportFromThePlacements();
};

// The command line, read before any archive is opened: the help, each mistake with its
// message and 2, and copia's direction, which is the order on the line in every spelling of
// --servizio: with neither archive there, the one read first is the one the message names.
void TestArchiveTool::help_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("says");  // how the standard error starts
    const auto row = [](const char* name, const QStringList& arguments, const char* says = "") {
        QTest::newRow(name) << arguments << (*says != '\0' ? 2 : 0) << QString::fromUtf8(says);
    };
    row("aiuto", {"aiuto"});
    row("--help", {"--help"});
    row("-h after the command", {"elenco", "a.mdb", "-h"});
    row("no command", {}, "manca il comando.");
    row("unknown command", {"cancella", "x.mdb"}, "comando sconosciuto: cancella.");
    row("an option first", {"--servizio", "s", "elenco"}, "comando sconosciuto: --servizio.");
    row("missing file argument", {"elenco"}, "il comando elenco vuole un solo FILE o un solo");
    row("a file and a service", {"csv", "a", "--servizio", "s"}, "il comando csv vuole un solo");
    row("unknown option", {"elenco", "--colore=blu", "a"}, "opzione sconosciuta: --colore=blu.");
    row("no service name", {"elenco", "--servizio"}, "dopo --servizio ci vuole un nome.");
    row("empty service name", {"elenco", "--servizio", ""}, "dopo --servizio ci vuole un nome.");
    row("empty role", {"crea", "--servizio", "s", "--ruolo", ""}, "dopo --ruolo ci vuole un nome.");
    row("a role for a file", {"crea", "a", "--ruolo", "r"}, "--ruolo vale solo per crea");
    row("a role for elenco", {"elenco", "--servizio", "s", "--ruolo", "r"}, "--ruolo vale solo");
    row("copy of one file", {"copia", "a"}, "il comando copia vuole un FILE e un --servizio");
    row("two servers", {"copia", "--servizio", "a", "--servizio", "b"}, "il comando copia");
    row("copy with a role", {"copia", "a", "--servizio", "s", "--ruolo", "r"}, "il comando copia");
    row("settings without a file", {"impostazioni"}, "il comando impostazioni vuole un solo FILE");
    const QStringList file{u"mancante.mdb"_qs};
    for (const QStringList& service : {QStringList{"--servizio", "nessuno"},
                                       {"--servizio=nessuno"},
                                       {"-servizio", "nessuno"},
                                       {"-servizio=nessuno"}}) {
        const QByteArray spelled = service.join(u' ').toUtf8();
        QTest::addRow("copia FILE %s", spelled.constData())
            << QStringList{u"copia"_qs} + file + service << 1
            << u"Errore 20001 dell'archivio: il file dell'archivio non esiste"_qs;
        QTest::addRow("copia %s FILE", spelled.constData())
            << QStringList{u"copia"_qs} + service + file << 1
            << u"Errore 20304 dell'archivio: il collegamento al server dell'archivio «nessuno»"_qs;
    }
}

void TestArchiveTool::help() {
    FILE_ONLY("the command line is read before any archive");
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, says);
    const Run run = runTool(arguments);
    QCOMPARE(run.exitCode, exitCode);
    if (exitCode == 0) {
        for (const char* command : {"crea FILE", "elenco FILE", "csv FILE", "verifica FILE",
                                    "ripara FILE", "impostazioni FILE"}) {
            QVERIFY2(run.out.contains(QLatin1String(command)), command);
        }
        return;
    }
    QVERIFY2(run.err.startsWith(u"tempolario-archivio: "_qs + says), qPrintable(run.err));
    QCOMPARE(run.err.contains(QStringLiteral("tempolario-archivio aiuto")), exitCode == 2);
    QVERIFY(run.out.isEmpty());
}

// crea makes an empty archive that the program opens and verifica passes.
void TestArchiveTool::createMakesAnArchiveTheProgramOpens() {
    ToolArchive archive;
    if (archive.server()) {
        archive.rawExec(QStringLiteral("DROP TABLE tempar"));
    } else {
        QVERIFY(QFile::remove(archive.path()));
    }
    const Run run = archive.tool(QStringLiteral("crea"), true);
    QCOMPARE(run.exitCode, 0);
    auto database = archive.open();
    int names = -1;
    QVERIFY(database->countNames(&names).ok());
    QCOMPARE(names, 0);
    QVERIFY(!foundIn(*database, QStringLiteral("Rossi Mario")));
    QCOMPARE(archive.tool(QStringLiteral("verifica")).exitCode, 0);
}

void TestArchiveTool::createGrantsOnlyWhatTheProgramNeeds() {
    SERVER_ONLY("the roles' rights on the table");
    ToolArchive archive;
    archive.rawExec(QStringLiteral("DROP TABLE tempar"));
    const QString& database = archive.database();

    // The program's role may not create the table.
    Run run = archive.tool(QStringLiteral("crea"));
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains(QStringLiteral("«school»")), qPrintable(run.err));

    run = archive.tool(QStringLiteral("crea"), true);
    QCOMPARE(run.exitCode, 0);
    auto server = pgtesting::openOk(database);
    QVERIFY(server->add(QStringLiteral("Rossi Mario")).ok());
    QVERIFY(server->store(QStringLiteral("rossi mario"), 3, 4, QDateTime::currentDateTime()).ok());

    // A second creation leaves the archive as it is.
    run = archive.tool(QStringLiteral("crea"), true);
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains(QStringLiteral("c'è già la tabella")), qPrintable(run.err));
    QCOMPARE(serverRows(database).size(), 1);

    // Read, add and update, nothing else.
    QCOMPARE(archive.rawValue(u"SELECT string_agg(privilege_type, ',' ORDER BY privilege_type) "
                              "FROM information_schema.role_table_grants "
                              "WHERE table_name = 'tempar' AND grantee = 'tempolario'"_qs),
             u"INSERT,SELECT"_qs);
    QCOMPARE(
        archive.rawValue(u"SELECT string_agg(column_name, ',' ORDER BY column_name) "
                         "FROM information_schema.column_privileges WHERE table_name = "
                         "'tempar' AND grantee = 'tempolario' AND privilege_type = 'UPDATE'"_qs),
        u"chiave,data,giuste,nome,sbagliate"_qs);
    QCOMPARE(archive.rawValue(u"SELECT count(*) FROM information_schema.role_table_grants "
                              "WHERE table_name = 'tempar' AND grantee = 'PUBLIC'"_qs),
             u"0"_qs);
}

void TestArchiveTool::createNeverOverwrites_data() {
    QTest::addColumn<QByteArray>("existing");
    QTest::newRow("an archive") << QByteArray();
    QTest::newRow("an empty file") << QByteArray("");
    QTest::newRow("another program's file") << QByteArray("Some other data");
}

void TestArchiveTool::createNeverOverwrites() {
    FILE_ONLY("the server's crea is refused by the table already there");
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
    FILE_ONLY("a file's name taken between the check and the rename");
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
    QCOMPARE(QDir(dir.path())
                 .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("tempolario.mdb")});
}

void TestArchiveTool::listShowsEveryPupil() {
    const ToolArchive archive;
    {
        auto rows = archive.open();
        QVERIFY(rows->add(QStringLiteral("Zanetti Ugo")).ok());
        QVERIFY(rows->add(QString::fromUtf8("Forlì Niccolò")).ok());
        QVERIFY(rows->store(QStringLiteral("FORLÌ NICCOLÒ"), 8, 10,
                            QDateTime(QDate(2024, 3, 9), QTime(10, 20, 30)))
                    .ok());
    }
    const Run run = archive.tool(QStringLiteral("elenco"));
    QCOMPARE(run.exitCode, 0);
    const QStringList lines = run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 4);
    QVERIFY(lines[0].startsWith(QStringLiteral("Nome")));
    QCOMPARE(lines[1], QStringLiteral("Zanetti Ugo"));  // never stored: no figures
    QCOMPARE(lines[2].simplified(), QString::fromUtf8("FORLÌ NICCOLÒ 8 10 09/03/24 10:20:30"));
    QCOMPARE(lines[3], QStringLiteral("2 alunni."));
}

// The same text from either engine.
void TestArchiveTool::csvFollowsRfc4180() {
    const ToolArchive archive;
    {
        auto rows = archive.open();
        for (const QString& name :
             {QStringLiteral("Rossi Mario"), QStringLiteral("Bianchi, Eva"),
              QStringLiteral("D'Angelo \"Gigi\""), QStringLiteral("Righe\r\ndue"),
              QString::fromUtf8("Forlì 😀"), QStringLiteral("Eco\x1b[2J\x07")}) {
            QVERIFY(rows->add(name).ok());
        }
        QVERIFY(rows->store(QStringLiteral("rossi mario"), 3, 4,
                            QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5)))
                    .ok());
    }
    const Run run = archive.tool(QStringLiteral("csv"));
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
    const QString listed = archive.tool(QStringLiteral("elenco")).out;
    QVERIFY2(listed.contains(u"\nRighe��due\n"_qs), qPrintable(listed));
    QVERIFY2(listed.contains(u"\nEco�[2J�\n"_qs), qPrintable(listed));
}

// A name a pupil typed must never run as a formula in the teacher's spreadsheet.
void TestArchiveTool::csvShowsFormulasAsText() {
    const ToolArchive archive;
    {
        auto rows = archive.open();
        for (const QString& name :
             {u"=1+1"_qs, u"+39 333"_qs, u"-2"_qs, u"@SOMMA(A1)"_qs, u"\tTab"_qs, u"\rA capo"_qs,
              u"=COLLEGAMENTO.IPERTESTUALE(\"x\")"_qs, u"Rossi =1"_qs, u"'Neri"_qs}) {
            QVERIFY(rows->add(name).ok());
        }
    }
    const Run run = archive.tool(QStringLiteral("csv"));
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
    FILE_ONLY("the output is written the same way from either engine");
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
    const Run run = runTool(
        command == QLatin1String("aiuto") ? QStringList{command} : QStringList{command, path},
        QString(), redirection);
    QVERIFY2(run.exitCode == 1, qPrintable(run.err));
    QVERIFY2(run.err.contains(QStringLiteral("uscita standard")), qPrintable(run.err));
    if (redirection == QLatin1String(">&-") && command == QLatin1String("crea")) {
        QVERIFY(!QFileInfo::exists(path));  // refused before anything was made
    }
}

// verifica passes a good archive, untouched, and fails a damaged one: a file whose table's
// root page has a damaged header (SQLite's own check must find it), a table on the server
// without the index that keeps one row per name.
void TestArchiveTool::verifyTellsGoodFromBad() {
    const ToolArchive archive;
    {
        auto rows = archive.open();
        for (int i = 0; i < 300; ++i) {
            QVERIFY(rows->add(QStringLiteral("Alunno numero %1").arg(i)).ok());
        }
    }
    const QByteArray before = archive.snapshot();
    Run run = archive.tool(QStringLiteral("verifica"));
    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.out.contains(QStringLiteral("300")));
    // cppcheck-suppress knownConditionTrueFalse ; snapshot() reads the archive again
    QCOMPARE(archive.snapshot(), before);

    if (archive.server()) {
        archive.rawExec(QStringLiteral("ALTER TABLE tempar DROP CONSTRAINT nome"));
    } else {
        QFile file(archive.path());
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.seek(4096));
        file.write(QByteArray(12, '\x5a'));
    }
    const QByteArray damaged = archive.snapshot();
    run = archive.tool(QStringLiteral("verifica"));
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains(archive.server() ? QStringLiteral("manca l'indice unico nome")
                                               : QStringLiteral("danneggiato")),
             qPrintable(run.err));
    // cppcheck-suppress knownConditionTrueFalse ; snapshot() reads the archive again
    QCOMPARE(archive.snapshot(), damaged);

    if (!archive.server()) {
        run = runTool({QStringLiteral("verifica"), archive.path() + QStringLiteral(".manca")});
        QCOMPARE(run.exitCode, 1);
        QVERIFY(run.err.contains(QStringLiteral("non esiste")));
    }
}

// Names changed from outside (the sqlite3 program, psql): ripara sets the keys right at
// once; verifica only reports. Both end with 3 while something needs the teacher, and each
// piece of advice, followed, leads to an archive that verifica passes.
void TestArchiveTool::repairSetsKeysRight() {
    const ToolArchive archive;
    {
        auto rows = archive.open();
        QVERIFY(rows->add(QStringLiteral("Rossi Mario")).ok());
        QVERIFY(rows->add(QStringLiteral("Verdi Ada")).ok());
    }
    archive.rawExec(
        QStringLiteral("UPDATE tempar SET nome = 'Bianchi Carla' WHERE nome = "
                       "'Rossi Mario'; INSERT INTO tempar (nome) VALUES ('VERDI ADA')"));
    const QByteArray before = archive.snapshot();
    Run run = archive.tool(QStringLiteral("verifica"));
    QCOMPARE(run.exitCode, 3);
    QVERIFY2(run.out.contains(QStringLiteral("non corrisponde al nome")), qPrintable(run.out));
    QVERIFY2(run.out.contains(QStringLiteral("Per correggere le chiavi: tempolario-archivio "
                                             "ripara ") +
                              archive.named()),
             qPrintable(run.out));
    QVERIFY2(run.out.contains(QStringLiteral("«Verdi Ada» (id 2), «VERDI ADA» (id 3)")),
             qPrintable(run.out));
    // cppcheck-suppress knownConditionTrueFalse ; snapshot() reads the archive again
    QCOMPARE(archive.snapshot(), before);

    run = archive.tool(QStringLiteral("ripara"));
    QCOMPARE(run.exitCode, 3);  // the names that clash are left to the teacher
    QVERIFY2(run.out.contains(QStringLiteral("Chiavi corrette: 1.")), qPrintable(run.out));
    QCOMPARE(archive.rawValue(
                 archive.server()
                     ? u"SELECT string_agg(coalesce(chiave, '-'), ',' ORDER BY id) FROM tempar"_qs
                     : u"SELECT group_concat(coalesce(chiave, '-'), ',') FROM "
                       "(SELECT chiave FROM tempar ORDER BY id)"_qs),
             u"bianchi carla,verdi ada,-"_qs);
    run = archive.tool(QStringLiteral("verifica"));
    QCOMPARE(run.exitCode, 3);
    QVERIFY2(!run.out.contains(QStringLiteral("Per correggere le chiavi")), qPrintable(run.out));
    const QString rename =
        archive.server() ? QStringLiteral(
                               "psql \"service=school\" -c \"UPDATE public.tempar SET nome = "
                               "'NUOVO NOME' WHERE id = 3\"")
                         : QStringLiteral(
                               "sqlite3 %1 \"UPDATE tempar SET nome = 'NUOVO NOME' WHERE id = "
                               "3\"; poi esegui tempolario-archivio ripara %1.")
                               .arg(archive.path());
    QVERIFY2(run.out.contains(rename), qPrintable(run.out));
    archive.rawExec(QStringLiteral("UPDATE tempar SET nome = 'VERDI ADA seconda' WHERE id = 3"));
    QCOMPARE(archive.tool(QStringLiteral("ripara")).exitCode, 0);
    QCOMPARE(archive.tool(QStringLiteral("verifica")).exitCode, 0);
    auto rows = archive.open();
    QVERIFY(foundIn(*rows, QStringLiteral("BIANCHI CARLA")));
    QVERIFY(foundIn(*rows, QStringLiteral("verdi ada seconda")));
}

void TestArchiveTool::copyIntoTheServerKeepsTheNewestResults() {
    SERVER_ONLY("a file copied into the server and back");
    const ToolArchive archive;
    const QString& database = archive.database();
    {
        auto server = pgtesting::openOk(database);
        for (const char* name : {"Anna Neri", "Bruno Sala", "Carla Villa"}) {
            QVERIFY(server->add(QString::fromUtf8(name)).ok());
        }
        const QDateTime june(QDate(2024, 6, 1), QTime(10, 0));
        QVERIFY(server->store(QStringLiteral("Anna Neri"), 1, 2, june).ok());
        QVERIFY(server->store(QStringLiteral("Bruno Sala"), 5, 6, june).ok());
    }
    // The file of another computer: Anna older there, Bruno newer, Carla never stored
    // there, plus pupils the server lacks (one with an accented name in another case).
    QTemporaryDir dir;
    const QString file = makeArchive(dir.path());
    execRaw(file,
            "INSERT INTO tempar (nome, chiave, giuste, sbagliate, data) VALUES "
            "('ANNA NERI', 'anna neri', 9, 9, '2024-05-01T10:00:00'),"
            "('Bruno Sala', 'bruno sala', 7, 8, '2024-07-01T10:00:00'),"
            "('Carla Villa', 'carla villa', NULL, NULL, NULL),"
            "('NICCOLÒ FORLÌ', 'niccolò forlì', 2, 3, '2024-03-01T09:30:00'),"
            "('Dario', 'dario', NULL, NULL, NULL),"
            "(NULL, NULL, 4, 4, NULL)");
    const QString fileBefore = QString::fromLatin1(bytesOf(file).toHex());

    Run run = archive.call(QStringList{u"copia"_qs, file} + archive.arguments(true));
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.out.contains(QStringLiteral("alunni nuovi aggiunti: 2")), qPrintable(run.out));
    QVERIFY(run.out.contains(QStringLiteral("(più recenti): 1")));
    QVERIFY(run.out.contains(QStringLiteral("righe senza nome, non copiate: 1")));
    QCOMPARE(serverRows(database),
             (QStringList{"Anna Neri|1|2|2024-06-01T10:00:00", "Bruno Sala|7|8|2024-07-01T10:00:00",
                          "Carla Villa|||", "NICCOLÒ FORLÌ|2|3|2024-03-01T09:30:00", "Dario|||"}));
    QCOMPARE(QString::fromLatin1(bytesOf(file).toHex()), fileBefore);  // read only

    // Copying again changes nothing.
    run = archive.call(QStringList{u"copia"_qs, file} + archive.arguments(true));
    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.out.contains(QStringLiteral("alunni nuovi aggiunti: 0")));
    QCOMPARE(serverRows(database).size(), 5);

    // And back into a new file, which the program finds names in; never over a file.
    const QString back = dir.filePath(QStringLiteral("copia.mdb"));
    run = archive.call(QStringList{u"copia"_qs} + archive.arguments() + QStringList{back});
    QCOMPARE(run.exitCode, 0);
    auto copy = openOk(back);
    archive::Outcome outcome;
    QVERIFY(copy->read(QStringLiteral("niccolò forlì"), &outcome).ok());
    QVERIFY(outcome.found);
    QCOMPARE(outcome.right.toLongLong(), 2);
    QCOMPARE(outcome.when.toDateTime(), QDateTime(QDate(2024, 3, 1), QTime(9, 30)));
    const QByteArray copied = bytesOf(back);
    const Run over =
        archive.call(QStringList{u"copia"_qs} + archive.arguments() + QStringList{back});
    QCOMPARE(over.exitCode, 1);
    QCOMPARE(bytesOf(back), copied);
}

void TestArchiveTool::copyThatCannotFinishChangesNothing() {
    SERVER_ONLY("a file copied into the server");
    const ToolArchive archive;
    const QString& database = archive.database();
    {
        auto server = pgtesting::openOk(database);
        QVERIFY(server->add(QStringLiteral("Anna Neri")).ok());
    }
    const QStringList before = serverRows(database);
    QTemporaryDir dir;
    const QString file = makeArchive(dir.path());
    // Good rows first: none of them may arrive when a later one cannot.
    execRaw(file,
            "INSERT INTO tempar (nome, chiave, giuste, sbagliate, data) VALUES "
            "('Bruno Sala', 'bruno sala', 7, 8, '2024-07-01T10:00:00'),"
            "('Carla Villa', 'carla villa', 1, 1, 'ieri')");
    Run run = archive.call(QStringList{u"copia"_qs, file} + archive.arguments(true));
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains(QStringLiteral("riga 2 («Carla Villa»), campo data")),
             qPrintable(run.err));
    QCOMPARE(serverRows(database), before);

    // The program's role cannot lock the table for a copy: refused, nothing written.
    execRaw(file, "UPDATE tempar SET data = NULL");
    const Run locked = archive.call(QStringList{u"copia"_qs, file} + archive.arguments());
    QCOMPARE(locked.exitCode, 1);
    QVERIFY(locked.err.contains(QStringLiteral("42501")));
    QCOMPARE(serverRows(database), before);
}

// An archive made before the server refused names too long for the program: a pupil's
// 20 MB name, with a key of its own, holds up neither the program nor the tool; verifica
// names it, and ripara with the administrator's service gives the archive the limits.
void TestArchiveTool::anArchiveMadeBeforeTheLimits() {
    SERVER_ONLY("the server's limits on a name's length");
    const ToolArchive archive;
    const QString& database = archive.database();
    archive.rawExec(QStringLiteral(
        "DROP TABLE tempar; CREATE TABLE tempar (id bigint GENERATED ALWAYS AS IDENTITY PRIMARY "
        "KEY, nome text, "
        "chiave text, giuste bigint, sbagliate bigint, data timestamptz);"
        "CREATE UNIQUE INDEX nome ON tempar (chiave); REVOKE ALL ON tempar FROM PUBLIC;"
        "GRANT SELECT, INSERT ON tempar TO tempolario;"
        "GRANT UPDATE (nome, chiave, giuste, sbagliate, data) ON tempar TO tempolario"));
    QVERIFY(pgtesting::openOk(database)->add(QStringLiteral("Anna Neri")).ok());
    const QString longName =
        QStringLiteral("(SELECT string_agg(md5(i::text), '') FROM generate_series(1, 655360) i)");
    pgtesting::execRaw(
        pgtesting::kProgramService, database,
        QStringLiteral("INSERT INTO tempar (nome, chiave) VALUES (%1, 'x')").arg(longName));

    const auto programWorks = [&](const QString& name) {
        auto server = pgtesting::openOk(database);
        QStringList names;
        return server->add(name).ok() &&
               server->store(name, 4, 5, QDateTime::currentDateTime()).ok() &&
               server->readNames(0, 10, &names).ok() && names.endsWith(name) &&
               !names.join(QString()).contains(QStringLiteral("c4ca4238"));
    };
    QVERIFY(programWorks(QStringLiteral("Bruno Sala")));
    // Until the limits are added and the row removed, both commands say there is work to do.
    Run run = archive.tool(QStringLiteral("verifica"));
    QCOMPARE(run.exitCode, 3);
    QVERIFY2(run.out.contains(QStringLiteral("Righe con un nome più lungo di 10000 caratteri")) &&
                 run.out.contains(QStringLiteral("limiti di lunghezza")),
             qPrintable(run.out));
    run = archive.tool(QStringLiteral("ripara"));
    QCOMPARE(run.exitCode, 3);
    QVERIFY2(run.out.contains(QStringLiteral("li aggiunge solo chi possiede la tabella")),
             qPrintable(run.out));
    run = archive.tool(QStringLiteral("ripara"), true);
    QCOMPARE(run.exitCode, 3);  // the long row is still there, for the administrator to remove
    QVERIFY2(run.out.contains(QStringLiteral("Limiti di lunghezza dei nomi aggiunti.")),
             qPrintable(run.out));

    // From now on the server refuses such a name, and the program goes on as before.
    PGconn* pupil = pgtesting::connectRaw(pgtesting::kProgramService, database);
    PGresult* result = PQexec(
        pupil,
        QStringLiteral("INSERT INTO tempar (nome) VALUES (%1)").arg(longName).toUtf8().constData());
    QCOMPARE(QString::fromUtf8(PQresultErrorField(result, PG_DIAG_SQLSTATE)),
             QStringLiteral("23514"));
    PQclear(result);
    PQfinish(pupil);
    QVERIFY(programWorks(QStringLiteral("Carla Villa")));
    // The administrator's command that verifica gives removes the long row.
    pgtesting::execRaw(
        pgtesting::kAdminService, database,
        QStringLiteral("DELETE FROM public.tempar WHERE char_length(nome) > 10000;"));
    run = archive.tool(QStringLiteral("verifica"));
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(!run.out.contains(QStringLiteral("limiti di lunghezza")), qPrintable(run.out));
}

void TestArchiveTool::badSettingsAreNamed_data() {
    QTest::addColumn<QString>("service");
    QTest::addColumn<QString>("settings");
    QTest::addColumn<QString>("passwordVariable");
    QTest::addColumn<QString>("expected");
    const QString server = QStringLiteral("host=%1\nport=5999\ndbname=x\nuser=y\n");
    QTest::newRow("no server") << "spento" << server << QString()
                               << "non si riesce a collegarsi al server dell'archivio «spento»";
    QTest::newRow("unknown service")
        << "altro" << server << QString() << "server dell'archivio «altro» non è impostato bene";
    // A password anywhere but in a password file is refused before anything is sent.
    QTest::newRow("password in the service")
        << "spento" << server + QStringLiteral("password=segreta\n") << QString()
        << "nelle impostazioni del servizio (pg_service.conf)";
    QTest::newRow("password in the environment") << "spento" << server << "segreta"
                                                 << "nella variabile d'ambiente PGPASSWORD";
}

void TestArchiveTool::badSettingsAreNamed() {
    SERVER_ONLY("the settings of a server");
    QFETCH(QString, service);
    QFETCH(QString, settings);
    QFETCH(QString, passwordVariable);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("pg_service.conf"));
    QFile out(file);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(QStringLiteral("[spento]\n").toUtf8() + settings.arg(dir.path()).toUtf8());
    out.close();
    if (!passwordVariable.isEmpty()) {
        qputenv("PGPASSWORD", passwordVariable.toUtf8());
    }
    const Run run = runTool({u"elenco"_qs, u"--servizio"_qs, service}, file);
    qunsetenv("PGPASSWORD");
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains(expected), qPrintable(run.err));
    QVERIFY(run.out.isEmpty());
}

// sfoltisci removes the placements made before the day given, at the end of a school year,
// and leaves the pupils' totals; a day not written as asked, or on the server the program's
// own role, removes nothing.
void TestArchiveTool::purgeRemovesOlderPlacementsOnly_data() {
    QTest::addColumn<QString>("day");
    QTest::addColumn<bool>("admin");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<int>("left");
    QTest::newRow("end of the school year") << "2026-09-01" << true << 0 << 4;
    QTest::newRow("before every placement") << "2026-01-01" << true << 0 << 7;
    QTest::newRow("Italian order") << "01/09/2026" << true << 2 << 7;
    QTest::newRow("no such day") << "2026-02-30" << true << 2 << 7;
    QTest::newRow("no day") << "" << true << 2 << 7;
    QTest::newRow("program's role") << "2026-09-01" << false << 1 << 7;
}

void TestArchiveTool::purgeRemovesOlderPlacementsOnly() {
    QFETCH(QString, day);
    QFETCH(bool, admin);
    QFETCH(int, exitCode);
    QFETCH(int, left);
    const ToolArchive archive;
    if (!admin && !archive.server()) {
        QSKIP("a file has no roles");
    }
    const QDateTime june(QDate(2026, 6, 5), QTime(9, 0));
    const QDateTime september(QDate(2026, 9, 15), QTime(9, 0));
    {
        auto rows = archive.open();
        QVERIFY(rows->add(QStringLiteral("Rossi Mario")).ok());
        QVERIFY(rows->store(QStringLiteral("Rossi Mario"), 1, 3, june,
                            archivetesting::someAnswers(1, 3, june))
                    .ok());
        QVERIFY(rows->store(QStringLiteral("Rossi Mario"), 2, 4, september,
                            archivetesting::someAnswers(2, 4, september))
                    .ok());
    }
    const QStringList totals = archive.rowTexts();
    const Run run =
        archive.call(QStringList{QStringLiteral("sfoltisci")} + archive.arguments(admin) +
                     QStringList{QStringLiteral("--prima-del"), day});
    QCOMPARE(run.exitCode, exitCode);
    if (exitCode == 0) {
        QVERIFY2(run.out.startsWith(QStringLiteral("Tolte %1 risposte date prima del %2")
                                        .arg(7 - left)
                                        .arg(QDate::fromString(day, Qt::ISODate)
                                                 .toString(QStringLiteral("dd/MM/yyyy")))),
                 qPrintable(run.out));
    } else {
        QVERIFY2(!run.err.isEmpty(), "no reason given");
    }
    QCOMPARE(archive.placementCount(), left);
    // cppcheck-suppress knownConditionTrueFalse ; rowTexts() reads the archive again
    QCOMPARE(archive.rowTexts(), totals);
    QVERIFY2(archive.tool(QStringLiteral("verifica"))
                 .out.contains(QStringLiteral("Risposte registrate: %1.").arg(left)),
             "verifica counts the placements");
}

// registro reads every placement, names escaped, into a file only its owner can read, as a
// page or CSV, for the pupils chosen.
void TestArchiveTool::classReportFromThePlacements() {
    const ToolArchive archive;
    const QDateTime when(QDate(2026, 11, 2), QTime(9, 0));
    {
        auto rows = archive.open();
        for (const QString& name :
             {QStringLiteral("Rossi <b>Mario</b>"), QStringLiteral("Neri Ada")}) {
            QVERIFY(rows->add(name).ok());
            QVERIFY(rows->store(name, 1, 12, when, archivetesting::someAnswers(7, 12, when)).ok());
        }
    }
    const QTemporaryDir out;
    const QString page = out.filePath(QStringLiteral("r.html"));
    const QString csv = out.filePath(QStringLiteral("r.csv"));
    QCOMPARE(archive
                 .call(QStringList{QStringLiteral("registro")} + archive.arguments() +
                       QStringList{QStringLiteral("--uscita"), page})
                 .exitCode,
             0);
    QCOMPARE(archive
                 .call(QStringList{QStringLiteral("registro")} + archive.arguments() +
                       QStringList{QStringLiteral("--csv"), QStringLiteral("--alunno"),
                                   QStringLiteral("Neri Ada"), QStringLiteral("--uscita"), csv})
                 .exitCode,
             0);
    QFile html(page);
    QFile table(csv);
    QVERIFY(html.open(QIODevice::ReadOnly) && table.open(QIODevice::ReadOnly));
    QCOMPARE(html.permissions() &
                 ~(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser),
             QFile::Permissions());
    const QString text = QString::fromUtf8(html.readAll());
    QVERIFY(text.contains(QStringLiteral("Rossi &lt;b&gt;Mario")) &&
            !text.contains(QStringLiteral("<b>Mario")));
    const QString rows = QString::fromUtf8(table.readAll());
    QVERIFY(rows.contains(QStringLiteral("Neri Ada")) && !rows.contains(QStringLiteral("Rossi")));
}

// An archive made before placements were kept: verifica says so and how to mend it; aggiorna
// adds the table (on the server, with the administrator's service only), and again changes
// nothing.
void TestArchiveTool::upgradeAddsThePlacements() {
    const ToolArchive archive;
    QVERIFY(archive.open()->add(QStringLiteral("Rossi Mario")).ok());
    archive.rawExec(QStringLiteral("DROP TABLE risposte"));
    const QStringList rows = archive.rowTexts();
    Run run = archive.tool(QStringLiteral("verifica"));
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.out.contains(archive.server()
                                  ? QStringLiteral("manca la tabella delle risposte")
                                  : QStringLiteral("non ha ancora la tabella delle risposte")) &&
                 run.out.contains(QStringLiteral("tempolario-archivio aggiorna")),
             qPrintable(run.out));
    if (archive.server()) {
        QCOMPARE(archive.tool(QStringLiteral("aggiorna")).exitCode, 1);
    }
    for (const QString& said : {QStringLiteral("aggiunta"), QStringLiteral("c'era già")}) {
        run = archive.tool(QStringLiteral("aggiorna"), true);
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(!archive.server() || run.out.contains(said), qPrintable(run.out));
    }
    // cppcheck-suppress knownConditionTrueFalse ; rowTexts() reads the archive again
    QCOMPARE(archive.rowTexts(), rows);
    QCOMPARE(archive.placementCount(), 0);
}

// ripasso shows and sets the dealing of every pupil in the archive, the retention kept when
// not given again; a value out of range, or one the program does not know, leaves it off.
void TestArchiveTool::ripassoSetByTheTeacher_data() {
    QTest::addColumn<QStringList>("arguments");  // after the archive
    QTest::addColumn<bool>("admin");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("shown");  // what ripasso alone says afterwards
    const QString off = QStringLiteral("Ripasso spento");
    QTest::newRow("on") << QStringList{u"sì"_qs} << true << 0 << u"(ritenzione 0,9)"_qs;
    QTest::newRow("on, comma") << QStringList{u"si"_qs, u"--ritenzione"_qs, u"0,8"_qs} << true
                               << 0 << u"(ritenzione 0,8)"_qs;
    QTest::newRow("retention kept") << QStringList{u"sì"_qs, u"--ritenzione"_qs, u"0.75"_qs, u"|"_qs,
                                                   u"no"_qs, u"|"_qs, u"sì"_qs}
                                    << true << 0 << u"(ritenzione 0,75)"_qs;
    QTest::newRow("off") << QStringList{u"sì"_qs, u"|"_qs, u"no"_qs} << true << 0 << off;
    QTest::newRow("retention too high")
        << QStringList{u"sì"_qs, u"--ritenzione"_qs, u"0.99"_qs} << true << 2 << off;
    QTest::newRow("retention not a number")
        << QStringList{u"sì"_qs, u"--ritenzione"_qs, u"alta"_qs} << true << 2 << off;
    QTest::newRow("retention without sì")
        << QStringList{u"--ritenzione"_qs, u"0.8"_qs} << true << 2 << off;
    QTest::newRow("program's role") << QStringList{u"sì"_qs} << false << 1 << off;
}

void TestArchiveTool::ripassoSetByTheTeacher() {
    QFETCH(QStringList, arguments);
    QFETCH(bool, admin);
    QFETCH(int, exitCode);
    QFETCH(QString, shown);
    const ToolArchive archive;
    if (!admin && !archive.server()) {
        QSKIP("a file has no roles");
    }
    // "|" separates the calls of one row; the last one's outcome counts.
    QList<Run> runs;
    for (const QString& call : arguments.join(u' ').split(u'|')) {
        runs.append(archive.call(QStringList{u"ripasso"_qs} + archive.arguments(admin) +
                                 call.split(u' ', Qt::SkipEmptyParts)));
    }
    const Run& run = runs.last();
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2(exitCode == 0 || !run.err.isEmpty(), "no reason given");
    QVERIFY2(archive.tool(u"ripasso"_qs).out.contains(shown), qPrintable(run.out));
    archive::Dealing dealing;
    QVERIFY(archive.open()->readDealing(&dealing).ok());
    QCOMPARE(dealing.review, shown != QStringLiteral("Ripasso spento"));
    // A value the program does not know deals as designed.
    archive.rawExec(
        u"CREATE TABLE IF NOT EXISTS impostazioni (chiave text PRIMARY KEY, valore text); "
        "DELETE FROM impostazioni WHERE chiave = 'ripasso'; "
        "INSERT INTO impostazioni VALUES ('ripasso', 'forse')"_qs);
    QVERIFY(archive.open()->readDealing(&dealing).ok() && !dealing.review);
}

QTEST_GUILESS_MAIN(TestArchiveTool)
#include "tst_archive_tool.moc"
