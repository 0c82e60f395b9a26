// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A second process for the archive tests: another copy of the program on the same archive,
// a writer to be killed, or a user without the rights that root has. PLACE is a file's path,
// or "pg:" and a database of the test server (the program's service, PGSERVICEFILE).
//
//   archive_child open PLACE                  open and add a name; prints the status number
//   archive_child save-loop PLACE             stores "Rossi Mario" again and again, adding a
//                                             placement of one run at every store and a
//                                             name every fifth store; prints each store's
//                                             number once the store has returned
//   archive_child share PLACE MINE OTHER N    adds MINE 1..N, then waits until OTHER 1..N
//                                             are all found; exit 0 when they are
//   archive_child type-at PLACE NAME N MS     opens, waits until MS milliseconds since the
//                                             epoch, then types NAME 1..N into the name
//                                             window (found, or else added); exit 0 when
//                                             every one worked
//   archive_child look PLACE NAME             prints what the results window reads for NAME
//                                             once: "found RIGHT GIVEN SECONDS" or "missing"
//   archive_child create-killed PATH          creates an archive at PATH and is killed just
//                                             before it would take its name
// The archive's waits (the file's busy wait, the server's time-out) and the child's own are
// the program's, scaled by TEMPOLARIO_TEST_SLOWDOWN as every deadline of the tests.

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QThread>
#include <csignal>
#include <cstdio>

#include "archive/archivefile.h"
#include "session/modtempar.h"
#include "session/namechoice.h"
#include "session/namelist.h"
#include "session/resultsview.h"
#include "testtime.h"

using archive::Status;

namespace {

void pointAt(session::Modtempar& state, const QString& place) {
    if (place.startsWith(QLatin1String("pg:"))) {
        state.server.service = QStringLiteral("tempolario");
        state.server.database = place.mid(3);
    } else {
        state.archivePath = place;
    }
    state.busyTimeoutMs = testtime::ms(state.busyTimeoutMs);
    state.server.timeoutMs = testtime::ms(state.server.timeoutMs);
}

bool found(archive::Archive& archive, const QString& name) {
    bool found = false;
    return archive.find(name, &found).ok() && found;
}

int fail(const Status& status) {
    std::printf("%d\n%s\n", status.number(), qPrintable(status.message()));
    return 2;
}

int openAndAdd(const QString& path) {
    session::Modtempar state;
    pointAt(state, path);
    Status status = state.openArchive();
    if (status.ok()) {
        status = state.archiveDb->add(QStringLiteral("Prova"));
    }
    std::printf("%d\n%s\n", status.number(), qPrintable(status.message()));
    return 0;
}

int saveLoop(const QString& path) {
    session::Modtempar state;
    pointAt(state, path);
    Status status = state.openArchive();
    if (!status.ok()) {
        return fail(status);
    }
    const QDateTime base(QDate(2024, 1, 1), QTime(8, 0));
    archive::Outcome last;
    if (!(status = state.archiveDb->read(QStringLiteral("Rossi Mario"), &last)).ok()) {
        return fail(status);
    }
    // One run whose every store adds a placement: store i holds i of them.
    archive::RunAnswers answers{7, {}};
    for (qint64 i = 1; i <= last.right.toLongLong(); ++i) {
        answers.answers.push_back({1, 0, 1, QStringLiteral("1492"), true, true, base});
    }
    for (qint64 i = last.right.toLongLong() + 1;; ++i) {
        answers.answers.push_back({static_cast<int>(i % 189) + 1, 0, static_cast<int>(i),
                                   QString::number(i), i % 2 == 0, true, base.addSecs(i)});
        // The exercise window's store.
        status = state.archiveDb->store(QStringLiteral("Rossi Mario"), i, 2 * i, base.addSecs(i),
                                        answers);
        if (status.ok() && i % 5 == 0) {
            status = state.archiveDb->add(QStringLiteral("Alunno %1").arg(i));
        }
        if (!status.ok()) {
            return fail(status);
        }
        std::printf("%lld\n", static_cast<long long>(i));
        std::fflush(stdout);
    }
}

int share(const QString& path, const QString& mine, const QString& other, int count) {
    session::Modtempar state;
    pointAt(state, path);
    Status status = state.openArchive();
    if (!status.ok()) {
        return fail(status);
    }
    for (int i = 1; i <= count && status.ok(); ++i) {
        status = state.archiveDb->add(QStringLiteral("%1 %2").arg(mine).arg(i));
    }
    if (!status.ok()) {
        return fail(status);
    }
    QElapsedTimer waited;
    waited.start();
    int seen = 0;
    while (waited.elapsed() < testtime::ms(20000)) {
        // Reopened each round, as the results window does.
        if (!(status = state.openArchive()).ok()) {
            return fail(status);
        }
        seen = 0;
        for (int i = 1; i <= count; ++i) {
            seen += found(*state.archiveDb, QStringLiteral("%1 %2").arg(other).arg(i)) ? 1 : 0;
        }
        if (seen == count) {
            break;
        }
        QThread::msleep(20);
    }
    std::printf("seen %d\n", seen);
    return seen == count ? 0 : 3;
}

int typeAt(const QString& place, const QString& name, int count, qint64 moment) {
    session::Modtempar state;
    pointAt(state, place);
    session::NameChoice choice(state);
    session::NameList names;
    Status status = choice.start(&names);
    if (!status.ok()) {
        return fail(status);
    }
    while (QDateTime::currentMSecsSinceEpoch() < moment) {
    }
    for (int i = 1; i <= count; ++i) {
        if (!(status = choice.enterTyped(QStringLiteral("%1 %2").arg(name).arg(i))).ok()) {
            return fail(status);
        }
    }
    return 0;
}

int look(const QString& place, const QString& name) {
    session::Modtempar state;
    pointAt(state, place);
    session::ResultsView view(state, session::Pupil{name});
    archive::Outcome outcome;
    Status status = view.start();
    if (status.ok()) {
        status = view.concetti(&outcome);
    }
    if (!status.ok()) {
        return fail(status);
    }
    if (!outcome.found) {
        std::printf("missing\n");
    } else {
        std::printf("found %s %s %lld\n", qPrintable(outcome.right.toString()),
                    qPrintable(outcome.given.toString()),
                    static_cast<long long>(outcome.when.toDateTime().toSecsSinceEpoch()));
    }
    return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const QString mode = arguments.value(1);
    if (mode == QLatin1String("create-killed") && arguments.size() == 3) {
        archive::ArchiveFile::create(arguments.at(2), [] { std::raise(SIGKILL); });
        return 4;
    }
    if (mode == QLatin1String("open") && arguments.size() == 3) {
        return openAndAdd(arguments[2]);
    }
    if (mode == QLatin1String("save-loop") && arguments.size() == 3) {
        return saveLoop(arguments[2]);
    }
    if (mode == QLatin1String("share") && arguments.size() == 6) {
        return share(arguments[2], arguments[3], arguments[4], arguments[5].toInt());
    }
    if (mode == QLatin1String("type-at") && arguments.size() == 6) {
        return typeAt(arguments[2], arguments[3], arguments[4].toInt(), arguments[5].toLongLong());
    }
    if (mode == QLatin1String("look") && arguments.size() == 4) {
        return look(arguments[2], arguments[3]);
    }
    std::fprintf(stderr, "usage: archive_child open|save-loop|share|type-at|look ...\n");
    return 64;
}
