// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Helpers shared by the archive test suites: archives made in temporary folders and rows
// written the way the windows write them.

#include <sqlite3.h>

#include <QFile>
#include <QString>
#include <QTest>
#include <memory>

#include "archive/archivefile.h"
#include "archive/sqlitearchive.h"
#include "session/namechoice.h"
#include "session/recording.h"
#include "session/resultsview.h"
#include "testtime.h"

namespace archivetesting {

inline QString makeArchive(const QString& folder,
                           const QString& name = QStringLiteral("tempolario.mdb")) {
    QString path = folder + QLatin1Char('/') + name;
    const archive::Status status = archive::ArchiveFile::create(path);
    if (!status.ok()) {
        qFatal("cannot create %s: %s", qPrintable(path), qPrintable(status.message()));
    }
    return path;
}

inline QByteArray bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Runs SQL on the file with a plain connection, as the sqlite3 program would.
inline void execRaw(const QString& path, const char* sql) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    char* error = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        qFatal("raw SQL failed: %s", error);
    }
    sqlite3_close(db);
}

// PRAGMA integrity_check through a plain connection (which also rolls back a journal left
// by a killed writer).
inline QString integrity(const QString& path) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    QString result;
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &statement, nullptr) == SQLITE_OK) {
        while (sqlite3_step(statement) == SQLITE_ROW) {
            result +=
                QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)));
        }
    } else {
        result = QString::fromUtf8(sqlite3_errmsg(db));
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return result;
}

inline std::unique_ptr<archive::SqliteArchive> openOk(const QString& path,
                                                      int busyTimeoutMs = 5000) {
    archive::Status status;
    archive::OpenOptions options;
    options.busyTimeoutMs = testtime::ms(busyTimeoutMs);
    auto database = archive::SqliteArchive::open(path, &status, options);
    if (!database) {
        qFatal("cannot open %s: %s", qPrintable(path), qPrintable(status.message()));
    }
    return database;
}

// Whether the archive finds a row for the name.
inline bool foundIn(archive::Archive& archive, const QString& name) {
    bool found = false;
    const archive::Status status = archive.find(name, &found);
    if (!status.ok()) {
        qFatal("cannot look %s up: %s", qPrintable(name), qPrintable(status.message()));
    }
    return found;
}

// The totals stored under a name.
inline archive::Outcome totalsIn(archive::Archive& archive, const QString& name) {
    archive::Outcome outcome;
    const archive::Status status = archive.read(name, &outcome);
    if (!status.ok()) {
        qFatal("cannot read %s: %s", qPrintable(name), qPrintable(status.message()));
    }
    return outcome;
}

// How many rows the file's table holds, named or not, counted as the sqlite3 program
// counts them.
inline qint64 rowCount(const QString& path, const QByteArray& table = "tempar") {
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* statement = nullptr;
    qint64 count = -1;
    if (sqlite3_prepare_v2(db, ("SELECT count(*) FROM " + table).constData(), -1, &statement,
                           nullptr) == SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW) {
        count = sqlite3_column_int64(statement, 0);
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return count;
}

// A run's first `count` placements: rows, labels and times told apart by their place.
inline archive::RunAnswers someAnswers(qint64 run, int count, const QDateTime& from) {
    archive::RunAnswers answers{run, {}};
    for (int i = 0; i < count; ++i) {
        answers.answers.push_back({1 + i % 189, i % 7, 1 + i / 10, QString::number(1000 + i),
                                   i % 3 == 0, i % 10 < 5, from.addSecs(i)});
    }
    return answers;
}

// An archive at path with one pupil who has stored an outcome.
inline bool addStoredPupil(const QString& path, const QString& name, int right, int given,
                           const QDateTime& when) {
    return openOk(path)->add(name).ok() && openOk(path)->store(name, right, given, when).ok();
}

// The names that the name window lists from the archive the shared state points at.
inline QStringList namesThrough(session::Modtempar& shared) {
    session::NameChoice choice(shared);
    session::NameList names;
    const archive::Status status = choice.start(&names);
    if (!status) {
        qWarning("%s", qPrintable(status.message()));
    }
    return names.all();
}

// The same from the archive file at path.
inline QStringList storedNames(const QString& path) {
    session::Modtempar shared;
    shared.archivePath = path;
    return namesThrough(shared);
}

// The outcome stored under a name, looked up as the results window looks it up, in the
// archive the shared state points at.
inline archive::Outcome outcomeThrough(session::Modtempar& shared, const QString& name) {
    session::ResultsView view(shared, session::Pupil{name});
    archive::Outcome outcome;
    archive::Status status = view.start();
    if (status) {
        status = view.concetti(&outcome);
    }
    if (!status) {
        qWarning("%s", qPrintable(status.message()));
    }
    return outcome;
}

// The same in the archive file at path.
inline archive::Outcome outcomeOf(const QString& path, const QString& name) {
    session::Modtempar shared;
    shared.archivePath = path;
    return outcomeThrough(shared, name);
}

}  // namespace archivetesting
