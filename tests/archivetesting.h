#pragma once

// Helpers shared by the archive test suites: archives made in temporary folders and rows
// written the way the windows write them.

#include <sqlite3.h>

#include <QFile>
#include <QString>
#include <QTest>
#include <memory>

#include "archive/archivefile.h"
#include "archive/database.h"
#include "archive/namechoice.h"
#include "archive/recording.h"
#include "archive/resultsview.h"

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

inline std::unique_ptr<archive::Database> openOk(const QString& path, int busyTimeoutMs = 5000) {
    archive::Status status;
    archive::OpenOptions options;
    options.busyTimeoutMs = busyTimeoutMs;
    auto database = archive::Database::open(path, &status, options);
    if (!database) {
        qFatal("cannot open %s: %s", qPrintable(path), qPrintable(status.message()));
    }
    return database;
}

inline std::unique_ptr<archive::Recordset> tableOf(archive::Database& database) {
    archive::Status status;
    auto rows = database.openRecordset(QStringLiteral("tempar"), &status);
    if (!rows) {
        qFatal("cannot open tempar: %s", qPrintable(status.message()));
    }
    return rows;
}

// The name window's addition: a new row with only nome.
inline archive::Status addName(archive::Recordset& rows, const QString& name) {
    return archive::addNameRow(rows, name);
}

// The exercise window's store through the given cursor.
inline archive::Status store(archive::Recordset& rows, const QString& name, double right,
                             double given, const QDateTime& when) {
    return archive::storeOutcome(rows, name, right, given, when);
}

inline QVariant valueOf(const archive::Recordset& rows, const char* field) {
    QVariant value;
    const archive::Status status = rows.value(QLatin1String(field), &value);
    if (!status.ok()) {
        qFatal("cannot read %s: %s", field, qPrintable(status.message()));
    }
    return value;
}

// The name window's listing: every nome in the cursor's order.
inline QStringList listing(archive::Recordset& rows) {
    QStringList names;
    if (rows.bof()) {
        return names;
    }
    rows.moveFirst();
    rows.moveLast();
    const qint64 count = rows.recordCount();
    rows.moveFirst();
    for (qint64 i = 0; i < count && !rows.eof(); ++i) {
        names.append(valueOf(rows, "nome").toString());
        rows.moveNext();
    }
    return names;
}

// An archive at path with one pupil who has stored an outcome.
inline bool addStoredPupil(const QString& path, const QString& name, double right, double given,
                           const QDateTime& when) {
    return addName(*tableOf(*openOk(path)), name).ok() &&
           store(*tableOf(*openOk(path)), name, right, given, when).ok();
}

// The names that the name window lists from the archive at path.
inline QStringList storedNames(const QString& path) {
    archive::Modtempar shared;
    shared.archivePath = path;
    archive::NameChoice choice(shared);
    archive::NameList names;
    const archive::Status status = choice.start(&names);
    if (!status) {
        qWarning("%s", qPrintable(status.message()));
    }
    return names.all();
}

// The outcome stored under a name, looked up as the results window looks it up.
inline archive::Outcome outcomeOf(const QString& path, const QString& name) {
    archive::Modtempar shared;
    shared.archivePath = path;
    shared.currentName = name;
    archive::ResultsView view(shared);
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

}  // namespace archivetesting
