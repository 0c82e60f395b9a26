// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A pupil with a shell on a lab's computer, using the program's role as every pupil account
// can (its certificate is readable by the pupils' group), tries to stop the program for the
// whole school. Each attack runs against the TLS test server set up as the README tells a
// school (certificate sign-in, connection limit); while it lasts and after it, the program
// opens, stores and lists for another pupil, or fails with the message due.

#include <libpq-fe.h>

#include <QElapsedTimer>
#include <QTest>
#include <vector>

#include "pgtesting.h"
#include "testtime.h"

using archive::Status;
using namespace pgtesting;

namespace {

// The pupil's own sessions, made and held as psql would hold them.
class PupilSessions {
public:
    // count < 0: as many as the server lets in, then refusal says why it stopped.
    PupilSessions(int count, const QString& database) {
        const QByteArray conninfo =
            QStringLiteral("service=%1 dbname=%2").arg(kProgramService, database).toUtf8();
        for (int i = 0; count < 0 ? i < 100 : i < count; ++i) {
            PGconn* session = PQconnectdb(conninfo.constData());
            if (PQstatus(session) != CONNECTION_OK) {
                refusal = QString::fromUtf8(PQerrorMessage(session));
                PQfinish(session);
                break;
            }
            m_sessions.push_back(session);
        }
    }
    PupilSessions(const PupilSessions&) = delete;
    PupilSessions& operator=(const PupilSessions&) = delete;
    ~PupilSessions() {
        for (PGconn* session : m_sessions) {
            PQfinish(session);
        }
    }
    // Runs the statements on the first session; the SQLSTATE of the first refused ("" when
    // all were accepted).
    QString run(const QStringList& statements) {
        for (const QString& sql : statements) {
            PGresult* result = PQexec(m_sessions.front(), sql.toUtf8().constData());
            const ExecStatusType outcome = PQresultStatus(result);
            QString code = QString::fromUtf8(PQresultErrorField(result, PG_DIAG_SQLSTATE));
            PQclear(result);
            if (outcome != PGRES_COMMAND_OK && outcome != PGRES_TUPLES_OK) {
                return code;
            }
        }
        return QString();
    }

    int count() const { return static_cast<int>(m_sessions.size()); }
    QString refusal;

private:
    std::vector<PGconn*> m_sessions;
};

const QString kClassmate = QStringLiteral("Bianchi Anna");
const QString kPupil = QStringLiteral("Verdi Ugo");

// The program as another pupil: opens, adds its name, stores, lists. The first failure.
Status programRun(const QString& database, qint64 right, QStringList* names) {
    Status status;
    auto server = archive::PgArchive::open(place(database, 4000), &status);
    if (!server) {
        return status;
    }
    const QDateTime when = QDateTime::fromSecsSinceEpoch(1700000000 + right);
    for (const QString& name : {kPupil, kClassmate}) {
        if (status.ok()) {
            status = server->add(name);
        }
        if (status.ok()) {
            status = server->store(name, right, right + 1, when);
        }
    }
    if (status.ok()) {
        status = server->readNames(0, 10, names);
    }
    return status;
}

}  // namespace

class TestServerAttacks : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void attack_data();
    void attack();

private:
    QString m_database;
};

void TestServerAttacks::initTestCase() {
    if (!serverConfigured() || qEnvironmentVariableIsEmpty("TEMPOLARIO_TEST_TLSSERVER")) {
        QSKIP("no TLS test server: run under CTest, whose pgserver_tls fixture starts it");
    }
}

// Whatever the attack left on the role goes, as the administrator's psql would undo it.
void TestServerAttacks::cleanup() {
    execRaw(kSuperService, QString(),
            QStringLiteral("ALTER ROLE tempolario RESET ALL; ALTER ROLE tempolario PASSWORD NULL"));
    if (!m_database.isEmpty()) {
        execRaw(kSuperService, QString(),
                QStringLiteral("ALTER ROLE tempolario IN DATABASE \"%1\" RESET ALL")
                    .arg(m_database));
    }
}

void TestServerAttacks::attack_data() {
    QTest::addColumn<QStringList>("sql");      // run as the program's role, in its database
    QTest::addColumn<QString>("refusedWith");  // SQLSTATE of the refusal; "" when accepted
    QTest::addColumn<int>("sessions");         // the pupil's sessions, held while it lasts
    QTest::addColumn<int>("during");           // the program's failure while it lasts, or 0
    QTest::addColumn<QString>("saying");       // what that failure's message says

    // Every role may change its own password: the program signs in without one.
    QTest::newRow("1 a new password for the role")
        << QStringList{u"ALTER ROLE tempolario PASSWORD 'nessuno-entra'"_qs} << QString() << 1
        << 0 << QString();
    QTest::newRow("2 the role's own settings")
        << QStringList{u"ALTER ROLE tempolario SET search_path = nessuno"_qs,
                       u"ALTER ROLE tempolario SET default_transaction_read_only = on"_qs,
                       u"ALTER ROLE tempolario SET idle_session_timeout = 1"_qs,
                       u"ALTER ROLE tempolario IN DATABASE @ SET statement_timeout = 1"_qs,
                       u"ALTER ROLE tempolario IN DATABASE @ SET lock_timeout = 1"_qs}
        << QString() << 1 << 0 << QString();
    QTest::newRow("3 a 20 MB name")
        << QStringList{u"INSERT INTO public.tempar (nome) VALUES "
                       "((SELECT string_agg(md5(i::text), '') FROM generate_series(1, 655360) i))"_qs}
        << u"23514"_qs << 1 << 0 << QString();
    QTest::newRow("3 a key longer than any name")
        << QStringList{u"INSERT INTO public.tempar (nome, chiave) VALUES ('x', repeat('x', 50000))"_qs}
        << u"23514"_qs << 1 << 0 << QString();
    // The classmate's row is held: that store alone waits, and is given up with a message
    // of its own well within the program's time-out.
    QTest::newRow("4 rows held for update")
        << QStringList{u"BEGIN"_qs, u"SELECT id FROM public.tempar FOR UPDATE"_qs} << QString() << 1
        << int(Status::kServerBusy) << u"l'archivio è occupato da un altro collegamento"_qs;
    QTest::newRow("5 every connection the role may hold")
        << QStringList() << QString() << -1 << int(Status::kServerRefused)
        << u"too many connections for role"_qs;
    QTest::newRow("large objects") << QStringList{u"SELECT lo_from_bytea(0, 'x')"_qs}
                                   << u"42501"_qs << 1 << 0 << QString();
    QTest::newRow("large objects, client side")
        << QStringList{u"SELECT lo_creat(-1)"_qs} << u"42501"_qs << 1 << 0 << QString();
}

void TestServerAttacks::attack() {
    QFETCH(QStringList, sql);
    QFETCH(QString, refusedWith);
    QFETCH(int, sessions);
    QFETCH(int, during);
    QFETCH(QString, saying);
    m_database = freshDatabase(QStringLiteral("attack"));
    QStringList names;
    Status status = programRun(m_database, 1, &names);
    QVERIFY2(status.ok(), qPrintable(status.message()));

    {
        PupilSessions pupil(sessions, m_database);
        QVERIFY2(pupil.count() > 0 && pupil.count() <= 20, qPrintable(pupil.refusal));
        sql.replaceInStrings(QStringLiteral("@"), QLatin1Char('"') + m_database + QLatin1Char('"'));
        QCOMPARE(pupil.run(sql), refusedWith);

        QElapsedTimer took;
        took.start();
        status = programRun(m_database, 2, &names);
        QVERIFY2(status.number() == during, qPrintable(status.message()));
        if (during != 0) {
            QVERIFY2(status.message().contains(saying) &&
                         status.message().contains(QStringLiteral("«tempolario»")),
                     qPrintable(status.message()));
            QVERIFY2(took.elapsed() < testtime::ms(4000),
                     qPrintable(QString::number(took.elapsed())));
            // The administrator still gets in, and ends the pupil's sessions.
            QCOMPARE(valueRaw(kAdminService, m_database,
                              QStringLiteral("SELECT count(pg_terminate_backend(pid)) > 0 FROM "
                                             "pg_stat_activity WHERE usename = 'tempolario'")),
                     QStringLiteral("t"));
        }
    }
    QTRY_COMPARE_WITH_TIMEOUT(
        valueRaw(kAdminService, m_database,
                 QStringLiteral(
                     "SELECT count(*) FROM pg_stat_activity WHERE usename = 'tempolario'")),
        QStringLiteral("0"), 20000);

    // Afterwards, for every new start: opening, storing and listing as before.
    status = programRun(m_database, 3, &names);
    QVERIFY2(status.ok(), qPrintable(status.message()));
    QCOMPARE(names, (QStringList{kPupil, kClassmate}));
    archive::Outcome outcome;
    QVERIFY(openOk(m_database)->read(kClassmate, &outcome).ok());
    QCOMPARE(outcome.right.toLongLong(), 3);
}

QTEST_GUILESS_MAIN(TestServerAttacks)
#include "tst_server_attacks.moc"
