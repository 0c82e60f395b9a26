// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The school's server failing under the program: killed in the middle of stores, hung (every
// process stopped, as a cut network looks), restarted between two operations, down when the
// program starts, and down while a pupil works. The tests run on a server of their own,
// which they kill and start again; they always leave it running.

#include <libpq-fe.h>
#include <csignal>

#include <QElapsedTimer>
#include <QInputDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <thread>

#include "app/program.h"
#include "drilltesting.h"
#include "exercise/drill.h"
#include "exercise/uniformsource.h"
#include "modalhelper.h"
#include "pgtesting.h"
#include "screens/builder.h"
#include "servertesting.h"
#include "testtime.h"
#include "windows/formnome.h"
#include "windows/ftempver.h"
#include "windows/risultati.h"

using archive::Status;
using exercise::DrillTesting;

namespace {

const QString kPupil = QStringLiteral("Rossi Mario");
const QDateTime kBase(QDate(2024, 1, 1), QTime(8, 0));

// A failure the pupil can act on: one of the numbers allowed, and a text that names the
// server, so that the teacher knows which one to call about.
QString badServerFailure(const Status& status, const QList<int>& allowed) {
    if (!allowed.contains(status.number())) {
        return QStringLiteral("unexpected status: ") + status.message();
    }
    if (!status.message().contains(QStringLiteral("«tempolario»"))) {
        return QStringLiteral("the message does not name the server: ") + status.message();
    }
    return QString();
}

#define VERIFY_SERVER_FAILURE(status, ...)                             \
    do {                                                               \
        const QString why = badServerFailure((status), {__VA_ARGS__}); \
        QVERIFY2(why.isEmpty(), qPrintable(why));                      \
    } while (false)

}  // namespace

class TestServerFaults : public QObject {
    Q_OBJECT

private:
    servertesting::TestServer m_server;
    QTemporaryDir m_dir;

    static void verifyRow(archive::PgArchive& server, const QString& name, qint64 right, qint64 k) {
        archive::Outcome outcome;
        const Status status = server.read(name, &outcome);
        QVERIFY2(status.ok(), qPrintable(status.message()));
        QVERIFY(outcome.found);
        QCOMPARE(outcome.right.toLongLong(), right);
        QCOMPARE(outcome.given.toLongLong(), right + k);
        QCOMPARE(outcome.when.toDateTime(), kBase.addSecs(60 * right));
    }

    static Status store(archive::PgArchive& server, qint64 i, qint64 k = 1) {
        return server.store(kPupil, i, i + k, kBase.addSecs(60 * i));
    }

private Q_SLOTS:
    void initTestCase() {
        if (!pgtesting::serverConfigured()) {
            QSKIP("PGSERVICEFILE is not set: these tests run under CTest's test server");
        }
        QVERIFY2(m_server.unusable().isEmpty(), qPrintable(m_server.unusable()));
        QVERIFY(m_server.start());
        QVERIFY(m_dir.isValid());
        QVERIFY(app::loadQtItalian());
    }
    // Whatever a test did to the server, the next one finds it running.
    void cleanup() { QVERIFY(m_server.start()); }

    // Opening with the server down fails at once, naming the server, whether its socket
    // went with it (a clean stop) or is left with nobody behind it (a killed server); it is
    // never taken for a computer set up wrong, which a service missing from the settings is.
    void downAtStart_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("service");
        QTest::addColumn<int>("number");
        QTest::newRow("stopped") << u"stop"_qs << pgtesting::kProgramService
                                 << int(Status::kServerUnreachable);
        QTest::newRow("killed") << u"kill"_qs << pgtesting::kProgramService
                                << int(Status::kServerUnreachable);
        QTest::newRow("running, service unknown")
            << QString() << u"tempolario-nessuno"_qs << int(Status::kServerSetting);
    }
    void downAtStart() {
        QFETCH(QString, how);
        QFETCH(QString, service);
        QFETCH(int, number);
        const QString database = pgtesting::freshDatabase(QStringLiteral("down"));
        if (how == u"stop"_qs) {
            QVERIFY(m_server.stop());
        } else if (how == u"kill"_qs) {
            QVERIFY(m_server.kill());
        }
        QElapsedTimer took;
        took.start();
        Status status;
        const auto server =
            archive::PgArchive::open(pgtesting::place(database, 3000, service), &status);
        QVERIFY(!server);
        QVERIFY2(took.elapsed() < testtime::ms(1000), qPrintable(QString::number(took.elapsed())));
        QVERIFY2(status.number() == number, qPrintable(status.message()));
        QVERIFY2(status.message().contains(u"«%1»"_qs.arg(service)), qPrintable(status.message()));
    }

    // A server restarted between two operations of an open archive: once it is up again the
    // next operation connects anew by itself, and nothing stored before is lost.
    void restartBetweenOperations_data() {
        QTest::addColumn<bool>("crash");
        QTest::newRow("fast restart") << false;
        QTest::newRow("after a crash") << true;
    }
    void restartBetweenOperations() {
        QFETCH(bool, crash);
        const QString database = pgtesting::freshDatabase(QStringLiteral("restart"));
        auto server = pgtesting::openOk(database);
        QVERIFY(server->add(kPupil).ok());
        QVERIFY(store(*server, 1).ok());

        QVERIFY(crash ? m_server.kill() : m_server.stop());
        QVERIFY(m_server.start());
        Status status = store(*server, 2);
        QVERIFY2(status.ok(), qPrintable(status.message()));
        verifyRow(*server, kPupil, 2, 1);

        // Every kind of operation gets through a restart, not only a store.
        QVERIFY(crash ? m_server.kill() : m_server.stop());
        QVERIFY(m_server.start());
        status = server->add(QStringLiteral("Bianchi Anna"));
        QVERIFY2(status.ok(), qPrintable(status.message()));
        QVERIFY(m_server.stop());
        QVERIFY(m_server.start());
        QStringList names;
        status = server->readNames(0, 10, &names);
        QVERIFY2(status.ok(), qPrintable(status.message()));
        QCOMPARE(names, (QStringList{kPupil, QStringLiteral("Bianchi Anna")}));
    }

    // Every server process stopped, as a hung server or a cut network looks from here: a
    // store and an opening give up within the time-out with a message naming the server;
    // once the server goes on, the next store connects anew and is stored.
    void hungServer() {
        const QString database = pgtesting::freshDatabase(QStringLiteral("hung"));
        auto server = pgtesting::openOk(database, 2000);
        QVERIFY(server->add(kPupil).ok());
        QVERIFY(store(*server, 1).ok());

        QVERIFY(m_server.signalAll(SIGSTOP));
        QElapsedTimer took;
        took.start();
        Status status = store(*server, 2);
        QVERIFY2(took.elapsed() < testtime::ms(4000), qPrintable(QString::number(took.elapsed())));
        VERIFY_SERVER_FAILURE(status, Status::kServerTimeout);

        took.restart();
        const auto other = archive::PgArchive::open(pgtesting::place(database, 2000), &status);
        QVERIFY(!other);
        QVERIFY2(took.elapsed() < testtime::ms(4000), qPrintable(QString::number(took.elapsed())));
        VERIFY_SERVER_FAILURE(status, Status::kServerTimeout);

        QVERIFY(m_server.signalAll(SIGCONT));
        status = store(*server, 3);
        QVERIFY2(status.ok(), qPrintable(status.message()));
        verifyRow(*pgtesting::openOk(database), kPupil, 3, 1);
    }

    // A store is one operation for its time-out: a slow look-up of the name does not earn
    // the update after it a fresh time-out. Here the look-up waits for a hung server for
    // most of the time-out, then the update waits for a row another session holds, which
    // is let go once the store has been given up: the store, reported as failed, must never
    // land then.
    void aStoreGivesUpWithinOneTimeOut() {
        const QString database = pgtesting::freshDatabase(QStringLiteral("onetimeout"));
        auto server = pgtesting::openOk(database, 2000);
        QVERIFY(server->add(kPupil).ok());
        QVERIFY(store(*server, 1).ok());

        PGconn* holder = pgtesting::connectRaw(pgtesting::kAdminService, database);
        PQclear(PQexec(holder, "BEGIN"));
        PGresult* held = PQexec(holder, "SELECT id FROM tempar FOR UPDATE");
        QCOMPARE(PQresultStatus(held), PGRES_TUPLES_OK);
        PQclear(held);

        // The program's own session, which must end without writing.
        const QString session = pgtesting::valueRaw(
            pgtesting::kSuperService, database,
            QStringLiteral("SELECT pid FROM pg_stat_activity WHERE datname = current_database() "
                           "AND application_name = 'tempolario'"));
        QVERIFY(!session.isEmpty());
        const QList<qint64> pids = m_server.pids();
        QVERIFY(m_server.signalAll(SIGSTOP));
        // Woken after more than half the time-out, so that the server's own wait for the
        // row (half the time-out) outlasts this side's.
        std::thread waker([pids] {
            std::this_thread::sleep_for(std::chrono::milliseconds(testtime::ms(1500)));
            for (const qint64 pid : pids) {
                ::kill(static_cast<pid_t>(pid), SIGCONT);
            }
        });
        QElapsedTimer took;
        took.start();
        const Status status = store(*server, 2);
        const qint64 elapsed = took.elapsed();
        waker.join();
        PQclear(PQexec(holder, "ROLLBACK"));
        PQfinish(holder);
        QVERIFY2(elapsed < testtime::ms(2600), qPrintable(QString::number(elapsed)));
        VERIFY_SERVER_FAILURE(status, Status::kServerTimeout);
        // Once the server has ended that session, the row holds the store before, whole;
        // "Riprova" then stores.
        QTRY_COMPARE_WITH_TIMEOUT(
            pgtesting::valueRaw(pgtesting::kSuperService, database,
                                QStringLiteral("SELECT count(*) FROM pg_stat_activity "
                                               "WHERE pid = %1")
                                    .arg(session)),
            QStringLiteral("0"), testtime::ms(20000));
        verifyRow(*pgtesting::openOk(database), kPupil, 1, 1);
        QVERIFY(store(*server, 2).ok());
        verifyRow(*server, kPupil, 2, 1);
    }

    // Pupils storing over and over when the whole server is killed: their stores fail with
    // a message naming the server, succeed again once it is back, and no row is lost or
    // holds totals mixed from two stores.
    void killedDuringStores() {
        const QString database = pgtesting::freshDatabase(QStringLiteral("killed"));
        const QString stopFile = m_dir.filePath(QStringLiteral("stop-killed"));
        const QStringList shared{QStringLiteral("Classe Comune"), QStringLiteral("Gita Comune")};
        constexpr int kClients = 4;
        const auto nameOf = [](int client) { return QStringLiteral("Alunno %1").arg(client); };
        const auto kOf = [](int client) { return 1000 * qint64{client + 1}; };
        QTemporaryDir logs;
        servertesting::Clients clients(QStringLiteral(SERVER_CLIENT), logs.path());
        for (int client = 0; client < kClients; ++client) {
            clients.start({database, nameOf(client), QStringLiteral("k=%1").arg(kOf(client)),
                           QStringLiteral("stores=1000000"), QStringLiteral("until=") + stopFile,
                           QStringLiteral("shared=") + shared.join(QLatin1Char(',')),
                           QStringLiteral("timeout=2000"), QStringLiteral("pause=100")});
        }
        const auto everyClient =
            [&](const std::function<bool(const servertesting::ClientLog&)>& test) {
                for (int client = 0; client < kClients; ++client) {
                    if (!test(clients.log(client))) {
                        return false;
                    }
                }
                return true;
            };
        QTRY_VERIFY_WITH_TIMEOUT(
            everyClient([](const servertesting::ClientLog& log) { return log.lastOk >= 20; }),
            testtime::ms(60000));

        QVERIFY(m_server.kill());
        // Down until every client has met it.
        QTRY_VERIFY_WITH_TIMEOUT(
            everyClient([](const servertesting::ClientLog& log) { return !log.errors.isEmpty(); }),
            testtime::ms(30000));
        QVERIFY(m_server.start());

        // Right after the restart each row holds a whole store: the last one acknowledged
        // before the kill, or one sent later.
        std::vector<servertesting::ClientLog> before;
        before.reserve(kClients);
        for (int client = 0; client < kClients; ++client) {
            before.push_back(clients.log(client));
        }
        std::vector<archive::StoredRow> rows;
        Status status = pgtesting::openOk(database)->everyRow(&rows);
        QVERIFY2(status.ok(), qPrintable(status.message()));
        for (int client = 0; client < kClients; ++client) {
            const servertesting::ClientLog after = clients.log(client);
            const auto row = std::find_if(rows.begin(), rows.end(), [&](const auto& r) {
                return r.nome.toString() == nameOf(client);
            });
            QVERIFY2(row != rows.end(), qPrintable(nameOf(client)));
            const qint64 right = row->giuste.toLongLong();
            QVERIFY2(right >= before[static_cast<std::size_t>(client)].lastOk &&
                         right <= after.lastTried,
                     qPrintable(QStringLiteral("%1: %2 outside %3..%4")
                                    .arg(nameOf(client))
                                    .arg(right)
                                    .arg(before[static_cast<std::size_t>(client)].lastOk)
                                    .arg(after.lastTried)));
            QCOMPARE(row->sbagliate.toLongLong(), right + kOf(client));
            QCOMPARE(row->data.toDateTime(), kBase.addSecs(60 * right));
        }

        // They go on storing, and stop when told.
        const auto storedTenMore = [&] {
            for (int client = 0; client < kClients; ++client) {
                if (clients.log(client).lastOk <
                    before[static_cast<std::size_t>(client)].lastOk + 10) {
                    return false;
                }
            }
            return true;
        };
        QTRY_VERIFY_WITH_TIMEOUT(storedTenMore(), testtime::ms(60000));
        QVERIFY(QFile(stopFile).open(QIODevice::WriteOnly));
        QVERIFY(clients.waitAll(testtime::ms(60000)));

        QVERIFY2(pgtesting::openOk(database)->everyRow(&rows).ok(), "everyRow");
        QCOMPARE(rows.size(), std::size_t{kClients} + shared.size());
        for (int client = 0; client < kClients; ++client) {
            const servertesting::ClientLog log = clients.log(client);
            QVERIFY2(clients.exitCode(client) == 0 && log.done && log.bad.isEmpty(),
                     qPrintable(log.text.right(2000)));
            for (int i = 0; i < log.errors.size(); ++i) {
                // Refused: the server was reached while it was starting up again.
                QVERIFY2(QList<int>({Status::kServerUnreachable, Status::kServerTimeout,
                                     Status::kServerRefused})
                                 .contains(log.errorNumbers.at(i)) &&
                             log.errors.at(i).contains(QStringLiteral("«tempolario»")),
                         qPrintable(log.errors.at(i)));
            }
            const qint64 count = std::count_if(rows.begin(), rows.end(), [&](const auto& r) {
                return r.nome.toString() == nameOf(client);
            });
            QCOMPARE(count, 1);
            verifyRow(*pgtesting::openOk(database), nameOf(client), log.lastOk, kOf(client));
        }
        for (const QString& name : shared) {
            QCOMPARE(std::count_if(rows.begin(), rows.end(),
                                   [&](const auto& r) { return r.nome.toString() == name; }),
                     1);
        }
    }

    // The pupil's program when the server goes down during the exercise: the store's
    // failure is offered with a message naming the server; "Riprova" once the server is back
    // stores the run, and the results window shows it.
    void programRetriesAfterServerDown() {
        const QString database = pgtesting::freshDatabase(QStringLiteral("program"));
        exercise::ClockUniformSource random{77};
        app::Program program(random, m_dir.filePath(QStringLiteral("unused.mdb")));
        program.shared().server = pgtesting::place(database, 3000);
        QDateTime now(QDate(2026, 3, 14), QTime(10, 30, 15));
        program.clock = [now] { return now; };
        QStringList failures;
        connect(&program, &app::Program::failed, this,
                [&](const Status& status) { failures << status.message(); });
        QList<Status> storeFailures;
        program.onStoreFailed = [&](const Status& status, bool canGoBack) {
            storeFailures << status;
            if (!canGoBack || storeFailures.size() > 1) {
                return app::Program::StoreChoice::Leave;
            }
            // The pupil waits for the server to be back, then clicks "Riprova".
            if (!m_server.start()) {
                return app::Program::StoreChoice::Leave;
            }
            return app::Program::StoreChoice::Retry;
        };
        QVERIFY(program.start());

        whenModal([](QWidget* modal) {
            auto* dialog = qobject_cast<QInputDialog*>(modal);
            dialog->setTextValue(kPupil);
            dialog->accept();
        });
        QTest::mouseClick(qobject_cast<QPushButton*>(screens::findControl(
                              &program.nameWindow(), QStringLiteral("cmdNOME"))),
                          Qt::LeftButton);
        windows::Ftempver* window = program.exerciseWindow();
        QVERIFY(window && window->isVisible());
        // Two dates right and one wrong, dropped through the window's own drag.
        const exercise::Drill& drill = window->drill();
        for (int answer = 0; answer < 3; ++answer) {
            const bool right = answer < 2;
            for (int box = 0; box < exercise::Drill::kFacts; ++box) {
                if ((DrillTesting::rowDate(drill)[box + 1] == drill.dateText(answer)) == right) {
                    const QPoint from =
                        screens::findControl(window, QStringLiteral("Label3"), answer)
                            ->geometry()
                            .center();
                    const QPoint to = screens::findControl(window, QStringLiteral("Label2"), box)
                                          ->geometry()
                                          .center();
                    QTest::mousePress(window->windowHandle(), Qt::LeftButton, {}, from);
                    QTest::mouseMove(window->windowHandle(), to);
                    QTest::mouseRelease(window->windowHandle(), Qt::LeftButton, {}, to);
                    break;
                }
            }
        }
        QCOMPARE(drill.answersTotal(), 3);

        QVERIFY(m_server.stop());
        QTest::mouseClick(
            qobject_cast<QPushButton*>(screens::findControl(window, QStringLiteral("cmdarchivio"))),
            Qt::LeftButton);
        QCOMPARE(storeFailures.size(), 1);
        VERIFY_SERVER_FAILURE(storeFailures.first(), Status::kServerUnreachable,
                              Status::kServerRefused);
        QVERIFY(program.resultsWindow() && program.resultsWindow()->isVisible());
        QVERIFY2(failures.isEmpty(), qPrintable(failures.join(QLatin1Char('\n'))));

        archive::Outcome outcome;
        QVERIFY(pgtesting::openOk(database)->read(kPupil, &outcome).ok());
        QVERIFY(outcome.found);
        QCOMPARE(outcome.right.toInt(), 2);
        QCOMPARE(outcome.given.toInt(), 3);
        QCOMPARE(outcome.when.toDateTime(), now);
    }
};

QTEST_MAIN(TestServerFaults)
#include "tst_server_faults.moc"
