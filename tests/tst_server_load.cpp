// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A class, then a whole school, at the bell: every pupil's computer at once adds its pupil
// (and a few names the whole class adds too), stores several times, reads its figures and
// the list of names. Nothing may fail and nothing may be lost.

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <map>

#include "pgtesting.h"
#include "servertesting.h"
#include "testtime.h"

using archive::Status;

class TestServerLoad : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        if (!pgtesting::serverConfigured()) {
            QSKIP("PGSERVICEFILE is not set: this test runs under CTest's test server");
        }
    }

    void atTheBell_data() {
        QTest::addColumn<int>("pupils");
        QTest::newRow("a class") << 30;
        QTest::newRow("a school") << 300;
    }
    void atTheBell() {
        QFETCH(int, pupils);
        constexpr int kStores = 4;
        const QStringList shared{QStringLiteral("Classe Comune"), QStringLiteral("Gita Comune"),
                                 QStringLiteral("Ospite")};
        const QString database = pgtesting::freshDatabase(QStringLiteral("load"));
        const auto nameOf = [](int pupil) { return QStringLiteral("Alunno %1").arg(pupil); };
        QTemporaryDir logs;
        QVERIFY(logs.isValid());
        const QString bell = logs.filePath(QStringLiteral("bell"));

        QElapsedTimer took;
        took.start();
        {
            servertesting::Clients clients(QStringLiteral(SERVER_CLIENT), logs.path());
            for (int pupil = 0; pupil < pupils; ++pupil) {
                clients.start({database, nameOf(pupil), QStringLiteral("k=%1").arg(pupil),
                               QStringLiteral("stores=%1").arg(kStores),
                               QStringLiteral("shared=") + shared.join(QLatin1Char(',')),
                               QStringLiteral("retryfor=0"), QStringLiteral("bell=") + bell,
                               // Three hundred computers are played here by one machine's
                               // few processors: each is given longer than a real one needs.
                               QStringLiteral("timeout=20000")});
            }
            // Every computer connected before the bell rings: then they all add at once.
            const auto opened = [&] {
                int count = 0;
                for (int pupil = 0; pupil < pupils; ++pupil) {
                    count += clients.log(pupil).text.startsWith(u"ok open"_qs) ? 1 : 0;
                }
                return count;
            };
            QTRY_VERIFY2_WITH_TIMEOUT(opened() == pupils,
                                      qPrintable(QStringLiteral("%1 of %2 connected; first: %3")
                                                     .arg(opened())
                                                     .arg(pupils)
                                                     .arg(clients.log(0).text.left(500))),
                                      testtime::ms(60000));
            qInfo("%d pupils connected: %lld ms", pupils, static_cast<long long>(took.elapsed()));
            QVERIFY(QFile(bell).open(QIODevice::WriteOnly));
            QVERIFY(clients.waitAll(testtime::ms(150000)));
            qInfo("%d pupils done: %lld ms", pupils, static_cast<long long>(took.elapsed()));
            for (int pupil = 0; pupil < pupils; ++pupil) {
                const servertesting::ClientLog log = clients.log(pupil);
                QVERIFY2(clients.exitCode(pupil) == 0 && log.done && log.errors.isEmpty() &&
                             log.bad.isEmpty() && log.lastOk == kStores,
                         qPrintable(QStringLiteral("%1, exit %2: %3")
                                        .arg(nameOf(pupil))
                                        .arg(clients.exitCode(pupil))
                                        .arg(log.text.right(2000))));
            }
        }

        std::vector<archive::StoredRow> rows;
        const Status status = pgtesting::openOk(database)->everyRow(&rows);
        QVERIFY2(status.ok(), qPrintable(status.message()));
        QCOMPARE(rows.size(), static_cast<std::size_t>(pupils + shared.size()));
        std::map<QString, const archive::StoredRow*> byName;
        for (const archive::StoredRow& row : rows) {
            QVERIFY2(byName.emplace(row.nome.toString(), &row).second,
                     qPrintable(row.nome.toString()));
        }
        const QDateTime last = QDateTime(QDate(2024, 1, 1), QTime(8, 0)).addSecs(qint64{60} * kStores);
        for (int pupil = 0; pupil < pupils; ++pupil) {
            const auto found = byName.find(nameOf(pupil));
            QVERIFY2(found != byName.end(), qPrintable(nameOf(pupil)));
            QCOMPARE(found->second->giuste.toLongLong(), kStores);
            QCOMPARE(found->second->sbagliate.toLongLong(), kStores + pupil);
            QCOMPARE(found->second->data.toDateTime(), last);
        }
        for (const QString& name : shared) {
            QVERIFY2(byName.count(name) == 1, qPrintable(name));
            QVERIFY(byName.at(name)->giuste.isNull());
        }
        // Once the adding is over, the list as the name window reads it holds every name.
        auto server = pgtesting::openOk(database);
        int count = 0;
        QVERIFY(server->countNames(&count).ok());
        QCOMPARE(count, pupils + shared.size());
        QStringList listed;
        QVERIFY(server->readNames(0, count, &listed).ok());
        QStringList every;
        for (const archive::StoredRow& row : rows) {
            every << row.nome.toString();
        }
        QCOMPARE(listed, every);
    }
};

QTEST_GUILESS_MAIN(TestServerLoad)
#include "tst_server_load.moc"
