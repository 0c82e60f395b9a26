// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
// tempolario-archivio with an archive on the test server, run as a separate process that
// finds the server through a service file, as on a school's computer.

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "archivetesting.h"
#include "pgtesting.h"
#include "testtime.h"

using namespace archivetesting;

namespace {

struct Run {
    int exitCode = -1;
    QString out;
    QString err;
};

// A service file of its own: the test server's services, pointed at one database, as
// "school-admin" (the administrator) and "school" (the program's role).
class Services {
public:
    explicit Services(const QString& database) {
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
                         QStringLiteral("dbname=") + database);
            mine += body + QLatin1Char('\n');
        }
        m_file = m_dir.filePath(QStringLiteral("pg_service.conf"));
        QFile out(m_file);
        if (!out.open(QIODevice::WriteOnly) || out.write(mine.toUtf8()) < 0) {
            qFatal("cannot write a service file");
        }
    }

    Run tool(const QStringList& arguments) const {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("PGSERVICEFILE"), m_file);
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(ARCHIVE_TOOL), arguments);
        Run run;
        if (process.waitForFinished(testtime::ms(60000)) &&
            process.exitStatus() == QProcess::NormalExit) {
            run.exitCode = process.exitCode();
        }
        run.out = QString::fromUtf8(process.readAllStandardOutput());
        run.err = QString::fromUtf8(process.readAllStandardError());
        return run;
    }

private:
    QTemporaryDir m_dir;
    QString m_file;
};

const QString kAdmin = QStringLiteral("school-admin");
const QString kProgram = QStringLiteral("school");

QStringList on(const QString& command, const QString& service) {
    return {command, QStringLiteral("--servizio"), service};
}

// What the server holds, row by row, as text: name, totals and date.
QStringList serverRows(const QString& database) {
    auto server = pgtesting::openOk(database);
    std::vector<archive::StoredRow> rows;
    if (!server->everyRow(&rows).ok()) {
        qFatal("cannot read the rows of %s", qPrintable(database));
    }
    QStringList shown;
    for (const archive::StoredRow& row : rows) {
        shown.append(QStringLiteral("%1|%2|%3|%4").arg(
            row.nome.toString(), row.giuste.toString(), row.sbagliate.toString(),
            row.data.toDateTime().toString(Qt::ISODate)));
    }
    return shown;
}

}  // namespace

class TestArchiveToolServer : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void createGrantsOnlyWhatTheProgramNeeds();
    void copyIntoTheServerKeepsTheNewestResults();
    void copyThatCannotFinishChangesNothing();
    void serverAndFileListTheSame();
    void verifyAndRepairOnTheServer();
    void anArchiveMadeBeforeTheLimits();
    void badSettingsAreNamed_data();
    void badSettingsAreNamed();
};

void TestArchiveToolServer::initTestCase() {
    if (!pgtesting::serverConfigured()) {
        QSKIP("no test server: PGSERVICEFILE is not set (the CTest fixture sets it)");
    }
}

void TestArchiveToolServer::createGrantsOnlyWhatTheProgramNeeds() {
    const QString database = pgtesting::freshDatabase(QStringLiteral("toolcreate"), false);
    const Services services(database);

    // The program's role may not create the table.
    Run run = services.tool(on(QStringLiteral("crea"), kProgram));
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains(QStringLiteral("«school»")), qPrintable(run.err));

    run = services.tool(on(QStringLiteral("crea"), kAdmin));
    QCOMPARE(run.exitCode, 0);
    auto server = pgtesting::openOk(database);
    QVERIFY(server->add(QStringLiteral("Rossi Mario")).ok());
    QVERIFY(server->store(QStringLiteral("rossi mario"), 3, 4, QDateTime::currentDateTime()).ok());

    // A second creation leaves the archive as it is.
    run = services.tool(on(QStringLiteral("crea"), kAdmin));
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains(QStringLiteral("c'è già la tabella")), qPrintable(run.err));
    QCOMPARE(serverRows(database).size(), 1);

    // Read, add and update, nothing else.
    const QString grants = pgtesting::valueRaw(
        pgtesting::kAdminService, database,
        QStringLiteral("SELECT string_agg(privilege_type, ',' ORDER BY privilege_type) "
                       "FROM information_schema.role_table_grants "
                       "WHERE table_name = 'tempar' AND grantee = 'tempolario'"));
    QCOMPARE(grants, QStringLiteral("INSERT,SELECT"));
    const QString columns = pgtesting::valueRaw(
        pgtesting::kAdminService, database,
        QStringLiteral("SELECT string_agg(column_name, ',' ORDER BY column_name) "
                       "FROM information_schema.column_privileges WHERE table_name = 'tempar' "
                       "AND grantee = 'tempolario' AND privilege_type = 'UPDATE'"));
    QCOMPARE(columns, QStringLiteral("chiave,data,giuste,nome,sbagliate"));
    QCOMPARE(pgtesting::valueRaw(pgtesting::kAdminService, database,
                                 QStringLiteral("SELECT count(*) FROM information_schema."
                                                "role_table_grants WHERE table_name = 'tempar' "
                                                "AND grantee = 'PUBLIC'")),
             QStringLiteral("0"));
}

void TestArchiveToolServer::copyIntoTheServerKeepsTheNewestResults() {
    const QString database = pgtesting::freshDatabase(QStringLiteral("toolcopy"));
    const Services services(database);
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

    Run run = services.tool({QStringLiteral("copia"), file, QStringLiteral("--servizio"), kAdmin});
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.out.contains(QStringLiteral("alunni nuovi aggiunti: 2")), qPrintable(run.out));
    QVERIFY(run.out.contains(QStringLiteral("(più recenti): 1")));
    QVERIFY(run.out.contains(QStringLiteral("righe senza nome, non copiate: 1")));
    QCOMPARE(serverRows(database),
             (QStringList{"Anna Neri|1|2|2024-06-01T10:00:00", "Bruno Sala|7|8|2024-07-01T10:00:00",
                          "Carla Villa|||", "NICCOLÒ FORLÌ|2|3|2024-03-01T09:30:00", "Dario|||"}));
    QCOMPARE(QString::fromLatin1(bytesOf(file).toHex()), fileBefore);  // read only

    // Copying again changes nothing.
    run = services.tool({QStringLiteral("copia"), file, QStringLiteral("--servizio"), kAdmin});
    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.out.contains(QStringLiteral("alunni nuovi aggiunti: 0")));
    QCOMPARE(serverRows(database).size(), 5);

    // And back into a new file, which the program finds names in; never over a file.
    const QString back = dir.filePath(QStringLiteral("copia.mdb"));
    run = services.tool({QStringLiteral("copia"), QStringLiteral("--servizio"), kProgram, back});
    QCOMPARE(run.exitCode, 0);
    auto copy = openOk(back);
    archive::Outcome outcome;
    QVERIFY(copy->read(QStringLiteral("niccolò forlì"), &outcome).ok());
    QVERIFY(outcome.found);
    QCOMPARE(outcome.right.toLongLong(), 2);
    QCOMPARE(outcome.when.toDateTime(), QDateTime(QDate(2024, 3, 1), QTime(9, 30)));
    const QByteArray copied = bytesOf(back);
    run = services.tool({QStringLiteral("copia"), QStringLiteral("--servizio"), kProgram, back});
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(bytesOf(back), copied);
}

void TestArchiveToolServer::copyThatCannotFinishChangesNothing() {
    const QString database = pgtesting::freshDatabase(QStringLiteral("toolhalf"));
    const Services services(database);
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
    Run run = services.tool({QStringLiteral("copia"), file, QStringLiteral("--servizio"), kAdmin});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains(QStringLiteral("riga 2 («Carla Villa»), campo data")),
             qPrintable(run.err));
    QCOMPARE(serverRows(database), before);

    // The program's role cannot lock the table for a copy: refused, nothing written.
    execRaw(file, "UPDATE tempar SET data = NULL");
    run = services.tool({QStringLiteral("copia"), file, QStringLiteral("--servizio"), kProgram});
    QCOMPARE(run.exitCode, 1);
    QVERIFY(run.err.contains(QStringLiteral("42501")));
    QCOMPARE(serverRows(database), before);
}

void TestArchiveToolServer::serverAndFileListTheSame() {
    // The same rows in a file and on the server: elenco and csv print the same text.
    const QString database = pgtesting::freshDatabase(QStringLiteral("toollist"));
    const Services services(database);
    QTemporaryDir dir;
    const QString file = makeArchive(dir.path());
    auto local = openOk(file);
    auto server = pgtesting::openOk(database);
    const QDateTime when(QDate(2024, 1, 2), QTime(3, 4, 5));
    for (archive::Archive* archive : {static_cast<archive::Archive*>(local.get()),
                                      static_cast<archive::Archive*>(server.get())}) {
        for (const char* name : {"=SOMMA(A1)", "Zoë \"la\" Rossi", "Anonimo", "Dario, Bassi"}) {
            QVERIFY(archive->add(QString::fromUtf8(name)).ok());
        }
        QVERIFY(archive->store(QStringLiteral("zoë \"la\" rossi"), 8, 10, when).ok());
        QVERIFY(archive->store(QStringLiteral("=SOMMA(A1)"), 0, 1, when).ok());
    }
    for (const char* command : {"elenco", "csv"}) {
        const Run fromFile = services.tool({QLatin1String(command), file});
        const Run fromServer = services.tool(on(QLatin1String(command), kProgram));
        QCOMPARE(fromServer.exitCode, 0);
        QCOMPARE(fromServer.out, fromFile.out);
    }
}

void TestArchiveToolServer::verifyAndRepairOnTheServer() {
    const QString database = pgtesting::freshDatabase(QStringLiteral("toolverify"));
    const Services services(database);
    {
        auto server = pgtesting::openOk(database);
        QVERIFY(server->add(QStringLiteral("Anna Neri")).ok());
        QVERIFY(server->add(QStringLiteral("Bruno Sala")).ok());
    }
    QCOMPARE(services.tool(on(QStringLiteral("verifica"), kProgram)).exitCode, 0);

    // A name changed from outside, and two rows added without a key, whose names differ
    // only in case: verifica and ripara end with 3 while the teacher has work to do.
    pgtesting::execRaw(pgtesting::kAdminService, database,
                       QStringLiteral("UPDATE tempar SET nome = 'Anna Bianchi' WHERE nome = "
                                      "'Anna Neri'; INSERT INTO tempar (nome) VALUES ('Carla'), "
                                      "('CARLA')"));
    Run run = services.tool(on(QStringLiteral("verifica"), kProgram));
    QCOMPARE(run.exitCode, 3);
    QVERIFY2(run.out.contains(QStringLiteral("ripara --servizio school")), qPrintable(run.out));
    run = services.tool(on(QStringLiteral("ripara"), kProgram));
    QCOMPARE(run.exitCode, 3);
    QVERIFY(run.out.contains(QStringLiteral("Chiavi corrette: 2.")));
    QCOMPARE(pgtesting::valueRaw(pgtesting::kAdminService, database,
                                 QStringLiteral("SELECT string_agg(coalesce(chiave, '-'), ',' "
                                                "ORDER BY id) FROM tempar")),
             QStringLiteral("anna bianchi,bruno sala,carla,-"));
    run = services.tool(on(QStringLiteral("verifica"), kProgram));
    QCOMPARE(run.exitCode, 3);
    QVERIFY2(!run.out.contains(QStringLiteral("Per correggere le chiavi")), qPrintable(run.out));
    QVERIFY2(run.out.contains(QStringLiteral("psql \"service=school\" -c \"UPDATE public.tempar SET "
                                             "nome = 'NUOVO NOME' WHERE id = 4\"")),
             qPrintable(run.out));
    pgtesting::execRaw(pgtesting::kAdminService, database,
                       QStringLiteral("UPDATE tempar SET nome = 'Carla Neri' WHERE id = 4"));
    QCOMPARE(services.tool(on(QStringLiteral("ripara"), kProgram)).exitCode, 0);
    QCOMPARE(services.tool(on(QStringLiteral("verifica"), kProgram)).exitCode, 0);

    // Without the index that keeps one row per name, the archive is not ours.
    pgtesting::execRaw(pgtesting::kAdminService, database,
                       QStringLiteral("ALTER TABLE tempar DROP CONSTRAINT nome"));
    run = services.tool(on(QStringLiteral("verifica"), kProgram));
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains(QStringLiteral("manca l'indice unico nome")), qPrintable(run.err));
}

// An archive made before the server refused names too long for the program: a pupil's
// 20 MB name, with a key of its own, holds up neither the program nor the tool; verifica
// names it, and ripara with the administrator's service gives the archive the limits.
void TestArchiveToolServer::anArchiveMadeBeforeTheLimits() {
    const QString database = pgtesting::freshDatabase(QStringLiteral("toolold"), false);
    const Services services(database);
    pgtesting::execRaw(
        pgtesting::kAdminService, database,
        QStringLiteral(
            "CREATE TABLE tempar (id bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY, nome text, "
            "chiave text, giuste bigint, sbagliate bigint, data timestamptz);"
            "CREATE UNIQUE INDEX nome ON tempar (chiave); REVOKE ALL ON tempar FROM PUBLIC;"
            "GRANT SELECT, INSERT ON tempar TO tempolario;"
            "GRANT UPDATE (nome, chiave, giuste, sbagliate, data) ON tempar TO tempolario"));
    QVERIFY(pgtesting::openOk(database)->add(QStringLiteral("Anna Neri")).ok());
    const QString longName = QStringLiteral(
        "(SELECT string_agg(md5(i::text), '') FROM generate_series(1, 655360) i)");
    pgtesting::execRaw(pgtesting::kProgramService, database,
                       QStringLiteral("INSERT INTO tempar (nome, chiave) VALUES (%1, 'x')")
                           .arg(longName));

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
    Run run = services.tool(on(QStringLiteral("verifica"), kProgram));
    QCOMPARE(run.exitCode, 3);
    QVERIFY2(run.out.contains(QStringLiteral("Righe con un nome più lungo di 10000 caratteri")) &&
                 run.out.contains(QStringLiteral("limiti di lunghezza")),
             qPrintable(run.out));
    run = services.tool(on(QStringLiteral("ripara"), kProgram));
    QCOMPARE(run.exitCode, 3);
    QVERIFY2(run.out.contains(QStringLiteral("li aggiunge solo chi possiede la tabella")),
             qPrintable(run.out));
    run = services.tool(on(QStringLiteral("ripara"), kAdmin));
    QCOMPARE(run.exitCode, 3);  // the long row is still there, for the administrator to remove
    QVERIFY2(run.out.contains(QStringLiteral("Limiti di lunghezza dei nomi aggiunti.")),
             qPrintable(run.out));

    // From now on the server refuses such a name, and the program goes on as before.
    PGconn* pupil = pgtesting::connectRaw(pgtesting::kProgramService, database);
    PGresult* result = PQexec(
        pupil,
        QStringLiteral("INSERT INTO tempar (nome) VALUES (%1)").arg(longName).toUtf8().constData());
    QCOMPARE(QString::fromUtf8(PQresultErrorField(result, PG_DIAG_SQLSTATE)), QStringLiteral("23514"));
    PQclear(result);
    PQfinish(pupil);
    QVERIFY(programWorks(QStringLiteral("Carla Villa")));
    // The administrator's command that verifica gives removes the long row.
    pgtesting::execRaw(pgtesting::kAdminService, database,
                       QStringLiteral("DELETE FROM public.tempar WHERE char_length(nome) > 10000;"));
    run = services.tool(on(QStringLiteral("verifica"), kProgram));
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(!run.out.contains(QStringLiteral("limiti di lunghezza")), qPrintable(run.out));
}

void TestArchiveToolServer::badSettingsAreNamed_data() {
    QTest::addColumn<QString>("service");
    QTest::addColumn<QString>("settings");
    QTest::addColumn<QString>("passwordVariable");
    QTest::addColumn<QString>("expected");
    const QString server = QStringLiteral("host=%1\nport=5999\ndbname=x\nuser=y\n");
    QTest::newRow("no server") << "spento" << server << QString()
                               << "non si riesce a collegarsi al server dell'archivio «spento»";
    QTest::newRow("unknown service") << "altro" << server << QString()
                                     << "server dell'archivio «altro» non è impostato bene";
    // A password anywhere but in a password file is refused before anything is sent.
    QTest::newRow("password in the service")
        << "spento" << server + QStringLiteral("password=segreta\n") << QString()
        << "nelle impostazioni del servizio (pg_service.conf)";
    QTest::newRow("password in the environment")
        << "spento" << server << "segreta" << "nella variabile d'ambiente PGPASSWORD";
}

void TestArchiveToolServer::badSettingsAreNamed() {
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
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PGSERVICEFILE"), file);
    if (!passwordVariable.isEmpty()) {
        environment.insert(QStringLiteral("PGPASSWORD"), passwordVariable);
    }
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(ARCHIVE_TOOL),
                  {QStringLiteral("elenco"), QStringLiteral("--servizio"), service});
    QVERIFY(process.waitForFinished(testtime::ms(30000)));
    QCOMPARE(process.exitCode(), 1);
    const QString err = QString::fromUtf8(process.readAllStandardError());
    QVERIFY2(err.contains(expected), qPrintable(err));
    QVERIFY(process.readAllStandardOutput().isEmpty());
}

QTEST_GUILESS_MAIN(TestArchiveToolServer)
#include "tst_archive_tool_server.moc"
