// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The archive on a server reached over a school's network, the way the README tells
// administrators to set it up: TLS with sslmode=verify-full and the school's CA in
// sslrootcert. The test server (tests/pg/pgserver.sh --tls) takes TLS connections only, with
// a certificate for localhost and 127.0.0.1 signed by a CA of its own. Each case is a
// service of the school's service file, changed in one or two settings; the program's
// engine must work through the right one, encrypted, and refuse every other before its
// session starts.

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>

#include "pgtesting.h"
#include "testtime.h"

using namespace pgtesting;

namespace {

// What the service file's own service for the program says, key by key, in order.
using Settings = QList<std::pair<QString, QString>>;

Settings programSettings(const QString& serviceFile) {
    QFile file(serviceFile);
    if (!file.open(QIODevice::ReadOnly)) {
        qFatal("cannot read %s", qPrintable(serviceFile));
    }
    Settings settings;
    bool inside = false;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1Char('['))) {
            inside = line == QLatin1String("[tempolario]");
        } else if (inside && line.contains(QLatin1Char('='))) {
            settings.append(
                {line.section(QLatin1Char('='), 0, 0), line.section(QLatin1Char('='), 1)});
        }
    }
    return settings;
}

// How many sessions the server has let in so far (it logs every one it authenticates).
int sessionsLetIn(const QString& serverLog) {
    QFile file(serverLog);
    if (!file.open(QIODevice::ReadOnly)) {
        qFatal("cannot read %s", qPrintable(serverLog));
    }
    return static_cast<int>(file.readAll().count("connection authenticated:"));
}

bool logHas(const QString& serverLog, const QString& text) {
    QFile file(serverLog);
    return file.open(QIODevice::ReadOnly) && file.readAll().contains(text.toUtf8());
}

}  // namespace

class TestServerTls : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void connecting_data();
    void connecting();

private:
    QString m_server;  // the TLS server's folder
    QString m_serverLog;
    Settings m_program;
    QTemporaryDir m_dir;
    QString m_serviceFile;
};

void TestServerTls::initTestCase() {
    if (!serverConfigured() || qEnvironmentVariableIsEmpty("TEMPOLARIO_TEST_TLSSERVER")) {
        QSKIP(
            "no TLS test server: run under CTest, whose pgserver_tls fixture starts it "
            "(PGSERVICEFILE and TEMPOLARIO_TEST_TLSSERVER unset)");
    }
    m_server = qEnvironmentVariable("TEMPOLARIO_TEST_TLSSERVER");
    m_serverLog = m_server + QStringLiteral("/server.log");
    const QString schoolFile = qEnvironmentVariable("PGSERVICEFILE");
    m_program = programSettings(schoolFile);
    // The server's services as made, so that the checks below rest on what administrators
    // are told to write.
    const auto setting = [&](const QString& key) {
        for (const auto& [name, value] : m_program) {
            if (name == key) {
                return value;
            }
        }
        return QString();
    };
    QCOMPARE(setting(QStringLiteral("host")), QStringLiteral("localhost"));
    QCOMPARE(setting(QStringLiteral("sslmode")), QStringLiteral("verify-full"));
    QCOMPARE(setting(QStringLiteral("sslrootcert")), m_server + QStringLiteral("/tls/ca.crt"));
    QVERIFY(m_dir.isValid());

    // The school's file, and after it one service per case (libpq reads it at every
    // connection, so one file serves them all).
    QFile school(schoolFile);
    QVERIFY(school.open(QIODevice::ReadOnly));
    m_serviceFile = m_dir.filePath(QStringLiteral("pg_service.conf"));
    QFile file(m_serviceFile);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(school.readAll());
    file.close();
    qputenv("PGSERVICEFILE", m_serviceFile.toLocal8Bit());
}

void TestServerTls::connecting_data() {
    QTest::addColumn<QString>("service");
    // Settings replacing or added to the program's service; "@" stands for the server's folder.
    QTest::addColumn<QStringList>("changes");
    QTest::addColumn<int>("number");  // 0: accepted
    // What the server's log shows of a refused attempt ("" when the server sees nothing
    // telling: the client hangs up after reading the certificate).
    QTest::addColumn<QString>("serverSays");
    // Whether a refused attempt got as far as signing in (a password went to the server).
    QTest::addColumn<bool>("signedIn");

    QTest::newRow("verify-full, the school's CA")
        << QStringLiteral("scuola") << QStringList() << 0 << QString() << false;
    QTest::newRow("verify-full by the address in the certificate")
        << QStringLiteral("scuola-indirizzo") << QStringList{QStringLiteral("host=127.0.0.1")} << 0
        << QString() << false;
    QTest::newRow("a CA that did not sign the certificate")
        << QStringLiteral("scuola-ca-estranea")
        << QStringList{QStringLiteral("sslrootcert=@/tls/other-ca.crt")}
        << int(archive::Status::kServerRefused) << QStringLiteral("alert unknown ca") << false;
    QTest::newRow("the CA file missing")
        << QStringLiteral("scuola-ca-assente")
        << QStringList{QStringLiteral("sslrootcert=@/tls/missing.crt")}
        << int(archive::Status::kServerRefused) << QString() << false;
    // hostaddr connects to the right server while libpq checks the certificate against host:
    // a server answering for a name its certificate does not hold.
    QTest::newRow("a name the certificate does not hold")
        << QStringLiteral("scuola-altro-nome")
        << QStringList{QStringLiteral("host=archivio.scuola.invalid"),
                       QStringLiteral("hostaddr=127.0.0.1")}
        << int(archive::Status::kServerRefused) << QString() << false;
    // The same server under verify-ca, which checks the CA but not the name: the refusal
    // just above comes from the name alone.
    QTest::newRow("verify-ca overlooks the name")
        << QStringLiteral("scuola-solo-ca")
        << QStringList{QStringLiteral("host=archivio.scuola.invalid"),
                       QStringLiteral("hostaddr=127.0.0.1"), QStringLiteral("sslmode=verify-ca")}
        << 0 << QString() << false;
    QTest::newRow("sslmode=disable")
        << QStringLiteral("scuola-in-chiaro") << QStringList{QStringLiteral("sslmode=disable")}
        << int(archive::Status::kServerRefused) << QStringLiteral("no encryption") << false;
    // The program's role has no password: without its certificate it does not get in.
    QTest::newRow("the program's role without its certificate")
        << QStringLiteral("scuola-senza-certificato")
        << QStringList{QStringLiteral("sslcert=@/tls/missing.crt")}
        << int(archive::Status::kServerRefused)
        << QStringLiteral("connection requires a valid client certificate") << false;
    // A server with a certificate from the school's CA that asks for the password in clear
    // (pg_hba "password") gets it, unless the service requires channel binding, as the
    // administrator's does.
    const QStringList admin{QStringLiteral("user=tempolario_admin"), QStringLiteral("passfile=@/pgpass"),
                            QStringLiteral("dbname=tempolario_chiaro")};
    QTest::newRow("the password in clear, channel binding required")
        << QStringLiteral("amministratore-legame")
        << admin + QStringList{u"channel_binding=require"_qs}
        << int(archive::Status::kServerRefused) << QString() << false;
    QTest::newRow("the password in clear, without channel binding")
        << QStringLiteral("amministratore-senza-legame")
        << admin + QStringList{u"channel_binding=disable"_qs}
        << int(archive::Status::kServerRefused) << QStringLiteral("method=password") << true;
}

void TestServerTls::connecting() {
    QFETCH(QString, service);
    QFETCH(QStringList, changes);
    QFETCH(int, number);
    QFETCH(QString, serverSays);
    QFETCH(bool, signedIn);

    Settings settings = m_program;
    for (QString change : changes) {
        change.replace(QLatin1Char('@'), m_server);
        const QString key = change.section(QLatin1Char('='), 0, 0);
        const QString value = change.section(QLatin1Char('='), 1);
        auto there = std::find_if(settings.begin(), settings.end(),
                                  [&](const auto& setting) { return setting.first == key; });
        if (there != settings.end()) {
            there->second = value;
        } else {
            settings.append({key, value});
        }
    }
    QFile file(m_serviceFile);
    QVERIFY(file.open(QIODevice::Append));
    QString section = QStringLiteral("\n[%1]\n").arg(service);
    for (const auto& [key, value] : settings) {
        section += QStringLiteral("%1=%2\n").arg(key, value);
    }
    file.write(section.toUtf8());
    file.close();

    // A database with the table in it, so that a connection let through by mistake would
    // find everything it needs and the test would see it accepted.
    const QString database = freshDatabase(QStringLiteral("tls"));
    const int letInBefore = sessionsLetIn(m_serverLog);
    archive::Status status;
    const bool ownDatabase = changes.filter(QStringLiteral("dbname=")).isEmpty();
    auto server = archive::PgArchive::open(
        place(ownDatabase ? database : QString(), 10000, service), &status);

    if (number != 0) {
        QVERIFY2(!server, qPrintable(QStringLiteral("accepted through %1").arg(service)));
        QCOMPARE(status.number(), number);
        const QString message = status.message();
        qInfo().noquote() << message;
        QVERIFY2(message.contains(QStringLiteral("«%1»").arg(service)), qPrintable(message));
        QVERIFY2(message.contains(QStringLiteral("server dell'archivio")), qPrintable(message));
        // Refused before signing in: no password went to a server that was not proven to be
        // the school's, nor in clear.
        if (!serverSays.isEmpty()) {
            QTRY_VERIFY_WITH_TIMEOUT(logHas(m_serverLog, serverSays), testtime::ms(5000));
        }
        QCOMPARE(sessionsLetIn(m_serverLog) > letInBefore, signedIn);
        return;
    }

    QVERIFY2(server, qPrintable(status.message()));
    // The log does count the sessions let in (the refusals above rely on it).
    QVERIFY(sessionsLetIn(m_serverLog) > letInBefore);
    const QString name = QStringLiteral("Niccolò Dell'Orto");
    const QDateTime when = QDateTime::fromSecsSinceEpoch(QDateTime::currentSecsSinceEpoch());
    QVERIFY2(server->add(name).ok(), "add");
    archive::Status stored = server->store(name, 8, 10, when);
    QVERIFY2(stored.ok(), qPrintable(stored.message()));
    archive::Outcome outcome;
    QVERIFY(server->read(name, &outcome).ok());
    QVERIFY(outcome.found);
    QCOMPARE(outcome.right.toLongLong(), 8);
    QCOMPARE(outcome.given.toLongLong(), 10);
    QCOMPARE(outcome.when.toDateTime(), when);

    // The engine's own session, as the server sees it while it is open: encrypted.
    QCOMPARE(valueRaw(kSuperService, database,
                      QStringLiteral("SELECT string_agg(s.ssl::text, ',') FROM pg_stat_activity a "
                                     "JOIN pg_stat_ssl s USING (pid) "
                                     "WHERE a.datname = current_database() "
                                     "AND a.pid <> pg_backend_pid() AND a.usename = 'tempolario'")),
             QStringLiteral("true"));
    // And a plain connection through the same service, as the program's role.
    QCOMPARE(valueRaw(service, database,
                      QStringLiteral("SELECT ssl FROM pg_stat_ssl WHERE pid = pg_backend_pid()")),
             QStringLiteral("t"));
    server.reset();
    QCOMPARE(valueRaw(kAdminService, database, QStringLiteral("SELECT count(*) FROM tempar")),
             QStringLiteral("1"));
}

QTEST_GUILESS_MAIN(TestServerTls)
#include "tst_server_tls.moc"
