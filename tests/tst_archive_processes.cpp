// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The archive shared between processes: a writer killed at random moments, and two copies
// of the program saving into one file at the same time.

#include <signal.h>  // NOLINT(modernize-deprecated-headers): POSIX kill(), not C's signal()

#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include "archive/archivefile.h"
#include "archivetesting.h"

using namespace archivetesting;
using archive::Status;

namespace {

// The store numbers the child has acknowledged, read as they arrive; gives the last.
qint64 readAcks(QProcess& child, QByteArray* pending, qint64 last, QList<qint64>* all) {
    *pending += child.readAllStandardOutput();
    qsizetype end;
    while ((end = pending->indexOf('\n')) >= 0) {
        bool ok = false;
        const qint64 number = pending->left(end).toLongLong(&ok);
        if (ok) {
            last = number;
            all->append(number);
        }
        pending->remove(0, end + 1);
    }
    return last;
}

}  // namespace

class TestArchiveProcesses : public QObject {
    Q_OBJECT

private slots:
    void killedWriterLeavesOldOrNewRow();
    void twoCopiesShareOneArchive();
    void killedCreationLeavesNothingHalfMade();
};

// Killed at the last moment, a creation leaves no file under the archive's name (a 0-byte
// one would be refused by the next creation and by the program); the next one succeeds.
void TestArchiveProcesses::killedCreationLeavesNothingHalfMade() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("tempolario.mdb"));
    QProcess child;
    child.start(QStringLiteral(ARCHIVE_CHILD), {QStringLiteral("create-killed"), path});
    QVERIFY(child.waitForFinished(20000));
    QCOMPARE(child.exitStatus(), QProcess::CrashExit);
    QVERIFY(!QFileInfo(path).exists() && !QFileInfo(path).isSymLink());
    QVERIFY(archive::ArchiveFile::create(path).ok());
    QCOMPARE(integrity(path), QStringLiteral("ok"));
    QVERIFY(
        addStoredPupil(path, QStringLiteral("Rossi Mario"), 1, 2, QDateTime::currentDateTime()));
    // Made under a temporary name, the archive still gets the permissions of any new file.
    QFile other(dir.filePath(QStringLiteral("altro")));
    QVERIFY(other.open(QIODevice::WriteOnly));
    QCOMPARE(QFileInfo(path).permissions(), QFileInfo(other.fileName()).permissions());
}

void TestArchiveProcesses::killedWriterLeavesOldOrNewRow() {
    QTemporaryDir dir;
    const QString path = makeArchive(dir.path());
    QVERIFY(addStoredPupil(path, QStringLiteral("Rossi Mario"), 0, 0,
                           QDateTime(QDate(2024, 1, 1), QTime(8, 0))));
    // A failing run can be replayed with the seed it printed.
    const quint32 seed = qEnvironmentVariableIsSet("ARCHIVE_SEED")
                             ? qEnvironmentVariableIntValue("ARCHIVE_SEED")
                             : QRandomGenerator::global()->generate();
    qInfo("seed %u", seed);
    QRandomGenerator random(seed);
    const QDateTime base(QDate(2024, 1, 1), QTime(8, 0));
    qint64 stored = 0;
    int killedMidSave = 0;
    int killedWithJournal = 0;
    QList<qint64> acknowledged;

    for (int round = 0; round < 30; ++round) {
        QProcess child;
        child.start(QStringLiteral(ARCHIVE_CHILD), {QStringLiteral("save-loop"), path});
        QVERIFY(child.waitForStarted());
        // Let it make a random number of stores (none, for a kill while it opens), then
        // kill it a random fraction of a store later.
        const qint64 first = stored;
        const int wanted = random.bounded(0, 8);
        QByteArray pending;
        qint64 acked = stored;
        while (acked - first < wanted) {
            QVERIFY2(child.waitForReadyRead(10000), child.readAllStandardError().constData());
            acked = readAcks(child, &pending, acked, &acknowledged);
        }
        QElapsedTimer spin;
        spin.start();
        const qint64 delay = random.bounded(0, 3000);  // microseconds; a store takes a few
        while (spin.nsecsElapsed() / 1000 < delay) {
        }
        ::kill(static_cast<pid_t>(child.processId()), SIGKILL);
        QVERIFY(child.waitForFinished(10000));
        acked = readAcks(child, &pending, acked, &acknowledged);
        killedWithJournal += QFile::exists(path + QStringLiteral("-journal")) ? 1 : 0;

        QCOMPARE(integrity(path), QStringLiteral("ok"));
        auto rows = openOk(path);
        const archive::Outcome outcome = totalsIn(*rows, QStringLiteral("rossi mario"));
        QVERIFY(outcome.found);
        stored = outcome.right.toLongLong();
        // Old or new: every acknowledged store is there, and at most the one in progress.
        QVERIFY2(stored == acked || stored == acked + 1,
                 qPrintable(QStringLiteral("stored %1, acknowledged %2").arg(stored).arg(acked)));
        killedMidSave += stored == acked + 1 ? 1 : 0;
        // The row is whole: its fields belong to one store.
        QCOMPARE(outcome.given.toLongLong(), 2 * stored);
        QCOMPARE(outcome.when.toDateTime(), base.addSecs(stored));
        // A name added after an acknowledged store is there too.
        for (qint64 i : std::as_const(acknowledged)) {
            if (i % 5 == 0) {
                QVERIFY2(foundIn(*rows, QStringLiteral("Alunno %1").arg(i)),
                         qPrintable(QStringLiteral("Alunno %1").arg(i)));
            }
        }
    }
    qInfo(
        "%lld stores; of 30 kills, %d left the journal of a save behind and %d came between a save "
        "and its acknowledgement",
        stored, killedWithJournal, killedMidSave);
}

void TestArchiveProcesses::twoCopiesShareOneArchive() {
    QTemporaryDir dir;
    const QString path = makeArchive(dir.path());
    const int count = 40;
    QProcess child;
    child.start(QStringLiteral(ARCHIVE_CHILD),
                {QStringLiteral("share"), path, QStringLiteral("Bianchi"),
                 QStringLiteral("Azzurri"), QString::number(count)});
    QVERIFY(child.waitForStarted());

    auto rows = openOk(path);
    for (int i = 1; i <= count; ++i) {
        const Status status = rows->add(QStringLiteral("Azzurri %1").arg(i));
        QVERIFY2(status.ok(), qPrintable(status.message()));
        if (i % 10 == 0) {
            QVERIFY(
                rows->store(QStringLiteral("AZZURRI %1").arg(i), i, i, QDateTime::currentDateTime())
                    .ok());
        }
    }
    QVERIFY(child.waitForFinished(30000));
    QCOMPARE(child.exitCode(), 0);  // the child found all of ours
    QCOMPARE(child.readAllStandardOutput().trimmed(), QByteArray("seen 40"));

    auto reader = openOk(path);
    QCOMPARE(archivetesting::storedNames(path).size(), 2 * count);
    for (int i = 1; i <= count; ++i) {
        QVERIFY(foundIn(*reader, QStringLiteral("bianchi %1").arg(i)));
    }
    QCOMPARE(integrity(path), QStringLiteral("ok"));
}

QTEST_GUILESS_MAIN(TestArchiveProcesses)
#include "tst_archive_processes.moc"
