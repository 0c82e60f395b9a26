// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
// What keeping a run's placements costs a store: a run's totals stored alone against the
// same totals stored with 200 placements, on the file and, with --server, on the server of
// the services "tempolario-admin" and "tempolario" (PGSERVICEFILE; tests/pg/pgserver.sh
// makes one). Run by hand:
//   build/bench/bench_placements [--server]
// The server's tables public.tempar and public.risposte are made again from empty. Then the
// read of one pupil's first answers out of 10,000 placements, which ripasso makes once a run.

#include <libpq-fe.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "archive/archivefile.h"
#include "archive/pgarchive.h"
#include "archive/sqlitearchive.h"

using archive::Status;

namespace {

constexpr int kPlacements = 200;
constexpr int kRepeats = 30;

void check(const Status& status, const char* what) {
    if (!status.ok()) {
        std::fprintf(stderr, "%s: %s\n", what, qPrintable(status.message()));
        std::exit(1);
    }
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// A run of 200 placements, as a pupil makes them in twenty deals.
archive::RunAnswers aRun(qint64 id) {
    archive::RunAnswers run{id, {}};
    const QDateTime start = QDateTime::currentDateTime();
    for (int i = 0; i < kPlacements; ++i) {
        run.answers.push_back({1 + (i * 7) % 189, 0, 1 + i / 10, QString::number(1000 + i),
                               i % 3 != 0, i % 10 < 8, start.addSecs(i)});
    }
    return run;
}

// Stores alternate, so that both kinds see the same disk and server: the totals alone, then
// the totals with a new run's 200 placements. Prints the medians and their ratio.
void measure(archive::Archive& database, const char* engine) {
    check(database.add(QStringLiteral("Rossi Mario")), "add");
    std::vector<double> alone;
    std::vector<double> with;
    QElapsedTimer timer;
    for (int i = 0; i < kRepeats; ++i) {
        timer.start();
        check(database.store(QStringLiteral("Rossi Mario"), i, 2 * i + 1,
                             QDateTime::currentDateTime()),
              "store");
        alone.push_back(timer.nsecsElapsed() / 1e6);
        const archive::RunAnswers run = aRun(i + 1);
        timer.start();
        check(database.store(QStringLiteral("Rossi Mario"), i, 2 * i + 2,
                             QDateTime::currentDateTime(), run),
              "store with placements");
        with.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::printf("%-8s  %14.2f  %22.2f  %6.2fx\n", engine, median(alone), median(with),
                median(with) / median(alone));
}

// What the exercise window reads once under ripasso: the pupil's first answers, here out
// of 10,000 placements (the stores above made 6,000 of them).
void measureHistory(archive::Archive& database, const char* engine) {
    for (int i = kRepeats; i < 10000 / kPlacements; ++i) {
        check(database.store(QStringLiteral("Rossi Mario"), i, 2 * i + 2,
                             QDateTime::currentDateTime(), aRun(i + 1)),
              "store with placements");
    }
    std::vector<archive::NamedRow> rows;
    check(database.rowsNamed(QStringLiteral("Rossi Mario"), &rows), "rows");
    std::vector<double> times;
    std::vector<archive::DayAnswer> answers;
    QElapsedTimer timer;
    for (int i = 0; i < 11; ++i) {
        timer.start();
        check(database.firstAnswers(rows.front().id, &answers), "first answers");
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::printf("%-8s  first answers of a pupil with 10,000 placements (%zu): %.2f ms\n", engine,
                answers.size(), median(times));
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    const bool server = argc > 1 && std::strcmp(argv[1], "--server") == 0;
    std::printf("a store with %d placements against the totals alone, medians of %d\n\n",
                kPlacements, kRepeats);
    std::printf("%-8s  %14s  %22s  %7s\n", "engine", "totals (ms)", "totals + 200 (ms)", "ratio");

    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("bench.mdb"));
    check(archive::ArchiveFile::create(path), "create");
    Status status;
    auto file = archive::SqliteArchive::open(path, &status);
    check(status, "open");
    measure(*file, "file");
    measureHistory(*file, "file");

    if (server) {
        PGconn* admin = PQconnectdb("service=tempolario-admin");
        PQclear(PQexec(admin, "DROP TABLE IF EXISTS public.tempar, public.risposte"));
        PQfinish(admin);
        archive::ServerPlace place;
        place.service = QStringLiteral("tempolario-admin");
        check(archive::PgArchive::create(place, QStringLiteral("tempolario")), "create");
        place.service = QStringLiteral("tempolario");
        auto database = archive::PgArchive::open(place, &status);
        check(status, "open");
        measure(*database, "server");
        measureHistory(*database, "server");
    }
    return 0;
}
