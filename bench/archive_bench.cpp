// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Figures of the archive: lookup, addition and durable overwrite with 100, 10,000 and
// 100,000 rows, an overwrite against a bare SQLite UPDATE on the same file, and the name
// window's listing walk over 100,000 names. Run by hand: build/bench/archive_bench [folder]

#include <sqlite3.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "archive/archivefile.h"
#include "archive/sqlitearchive.h"
#include "session/namelist.h"

using archive::Status;

namespace {

void check(const Status& status, const char* what) {
    if (!status.ok()) {
        std::fprintf(stderr, "%s: %s\n", what, qPrintable(status.message()));
        std::exit(1);
    }
}

// An archive with `rows` pupils, "Alunno 1" to "Alunno N", half of them with results.
QString makeArchive(const QString& folder, int rows) {
    QString path = folder + QStringLiteral("/bench-%1.mdb").arg(rows);
    QFile::remove(path);
    check(archive::ArchiveFile::create(path), "create");
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    const QByteArray sql = QStringLiteral(
                               "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                               "WHERE i < %1) INSERT INTO tempar (nome, chiave, giuste, sbagliate, "
                               "data) SELECT 'Alunno ' || i, 'alunno ' || i, CASE WHEN i % 2 THEN "
                               "i % 50 END, CASE WHEN i % 2 THEN i % 70 END, CASE WHEN i % 2 THEN "
                               "'2024-05-06T07:08:09' END FROM n")
                               .arg(rows)
                               .toUtf8();
    sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return path;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

std::unique_ptr<archive::SqliteArchive> open(const QString& path) {
    Status status;
    auto database = archive::SqliteArchive::open(path, &status);
    check(status, "open");
    return database;
}

// Microseconds per lookup, over random names that are there.
double seekMicros(const QString& path, int rows) {
    auto database = open(path);
    QRandomGenerator random(rows);
    const int lookups = 5000;
    QStringList names;
    for (int i = 0; i < lookups; ++i) {
        names.append(QStringLiteral("ALUNNO %1").arg(random.bounded(1, rows + 1)));
    }
    std::vector<double> rounds;
    for (int round = 0; round < 5; ++round) {
        QElapsedTimer timer;
        timer.start();
        for (const QString& name : std::as_const(names)) {
            bool found = false;
            check(database->find(name, &found), "find");
            if (!found) {
                std::fprintf(stderr, "not found: %s\n", qPrintable(name));
                std::exit(1);
            }
        }
        rounds.push_back(timer.nsecsElapsed() / 1000.0 / lookups);
    }
    return median(rounds);
}

struct WriteFigures {
    double addMs = 0;
    double overwriteMs = 0;
    double bareUpdateMs = 0;
    double ratio = 0;  // median over pairs run back to back, so disk hiccups hit both
};

// Durable writes: ours against a bare UPDATE of one row through a plain connection with
// the same journal and sync settings, on the same file, interleaved so that both see the
// same disk.
WriteFigures writeMillis(const QString& path, int rows) {
    const int repeats = 40;
    auto database = open(path);
    sqlite3* bare = nullptr;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &bare, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_exec(bare, "PRAGMA journal_mode = DELETE; PRAGMA synchronous = EXTRA;", nullptr,
                 nullptr, nullptr);
    sqlite3_stmt* update = nullptr;
    sqlite3_prepare_v2(bare,
                       "UPDATE tempar SET nome = ?1, giuste = ?2, sbagliate = ?3, data = ?4 "
                       "WHERE id = ?5",
                       -1, &update, nullptr);

    std::vector<double> adds;
    std::vector<double> ours;
    std::vector<double> theirs;
    QRandomGenerator random(rows + 1);
    for (int i = 0; i < repeats; ++i) {
        const int target = random.bounded(1, rows + 1);
        const QString name = QStringLiteral("Alunno %1").arg(target);
        QElapsedTimer timer;

        timer.start();
        check(database->store(name, i, i + 1, QDateTime::currentDateTime()), "store");
        ours.push_back(timer.nsecsElapsed() / 1e6);

        timer.start();
        const QByteArray nameUtf8 = name.toUtf8();
        const QByteArray when = QDateTime::currentDateTime().toString(Qt::ISODate).toUtf8();
        sqlite3_bind_text(update, 1, nameUtf8.constData(), -1, SQLITE_TRANSIENT);
        // Values other than those just stored: SQLite skips writing a row that is unchanged.
        sqlite3_bind_int(update, 2, i + 1000);
        sqlite3_bind_int(update, 3, i + 1001);
        sqlite3_bind_text(update, 4, when.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int(update, 5, target);
        if (sqlite3_step(update) != SQLITE_DONE) {
            std::fprintf(stderr, "bare update: %s\n", sqlite3_errmsg(bare));
            std::exit(1);
        }
        sqlite3_reset(update);
        theirs.push_back(timer.nsecsElapsed() / 1e6);

        timer.start();
        check(database->add(QStringLiteral("Nuovo %1").arg(i)), "add");
        adds.push_back(timer.nsecsElapsed() / 1e6);
    }
    sqlite3_finalize(update);
    sqlite3_close(bare);
    std::vector<double> ratios;
    ratios.reserve(ours.size());
    for (std::size_t i = 0; i < ours.size(); ++i) {
        ratios.push_back(ours[i] / theirs[i]);
    }
    return {median(adds), median(ours), median(theirs), median(ratios)};
}

// The name window's start on a large archive: open, count, then every name, page by page.
double listingMillis(const QString& path, qint64* listed) {
    std::vector<double> rounds;
    for (int round = 0; round < 5; ++round) {
        QElapsedTimer timer;
        timer.start();
        session::NameList list;
        check(list.open(open(path)), "list");
        const QStringList names = list.all();
        check(list.failure(), "names");
        rounds.push_back(timer.nsecsElapsed() / 1e6);
        *listed = names.size();
    }
    return median(rounds);
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    QTemporaryDir temporary;
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : temporary.path();
    std::printf("archive figures, files in %s (medians)\n\n", qPrintable(folder));
    std::printf("%8s  %10s  %9s  %13s  %13s  %7s\n", "rows", "seek (us)", "add (ms)",
                "overwrite(ms)", "bare UPDATE", "ratio");
    double firstSeek = 0;
    double lastSeek = 0;
    QString largest;
    for (int rows : {100, 10000, 100000}) {
        const QString path = makeArchive(folder, rows);
        const double seek = seekMicros(path, rows);
        const WriteFigures writes = writeMillis(path, rows);
        std::printf("%8d  %10.2f  %9.3f  %13.3f  %13.3f  %6.2fx\n", rows, seek, writes.addMs,
                    writes.overwriteMs, writes.bareUpdateMs, writes.ratio);
        firstSeek = rows == 100 ? seek : firstSeek;
        lastSeek = seek;
        largest = path;
    }
    std::printf("\nseek with 100,000 rows / seek with 100 rows: %.2fx (limit 3x)\n",
                lastSeek / firstSeek);
    qint64 listed = 0;
    const double listing = listingMillis(largest, &listed);
    std::printf("listing walk over %lld names: %.1f ms (limit 100 ms)\n",
                static_cast<long long>(listed), listing);
    for (int rows : {100, 10000, 100000}) {
        const QString path = folder + QStringLiteral("/bench-%1.mdb").arg(rows);
        QFile::remove(path);
    }
    return 0;
}
