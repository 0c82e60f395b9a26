// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "archive/sqliteconnection.h"

#include <sqlite3.h>

#include <QFile>

namespace archive {

SqliteConnection::~SqliteConnection() {
    m_statements.clear();
    sqlite3_close_v2(m_db);
}

std::unique_ptr<SqliteConnection> SqliteConnection::open(const QString& path, bool readOnly,
                                                         int busyTimeoutMs, Status* status) {
    sqlite3* db = nullptr;
    const int flags = readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        const int code = db ? sqlite3_extended_errcode(db) : rc;
        *status = Status::engine(code, db ? QString::fromUtf8(sqlite3_errmsg(db))
                                          : QString::fromUtf8(sqlite3_errstr(rc)));
        sqlite3_close_v2(db);
        return nullptr;
    }
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, busyTimeoutMs);
    *status = Status();
    return std::unique_ptr<SqliteConnection>(new SqliteConnection(db));
}

SqliteStatement* SqliteConnection::cached(const char* sql, Status* status) {
    const QByteArray key(sql);
    auto found = m_statements.find(key);
    if (found != m_statements.end()) {
        *status = Status();
        return found->second.get();
    }
    sqlite3_stmt* raw = nullptr;
    const int rc = sqlite3_prepare_v3(m_db, sql, -1, SQLITE_PREPARE_PERSISTENT, &raw, nullptr);
    if (rc != SQLITE_OK) {
        *status = failure(rc);
        sqlite3_finalize(raw);
        return nullptr;
    }
    *status = Status();
    auto statement = std::make_unique<SqliteStatement>(raw);
    SqliteStatement* result = statement.get();
    m_statements.emplace(key, std::move(statement));
    return result;
}

Status SqliteConnection::firstColumn(const char* sql, QStringList* out) {
    Status status;
    SqliteStatement* statement = cached(sql, &status);
    if (!statement) {
        return status;
    }
    SqliteStatement::Use use(*statement);
    int rc;
    while ((rc = statement->step()) == SQLITE_ROW) {
        out->append(statement->text(0));
    }
    return rc == SQLITE_DONE ? Status() : failure(rc);
}

Status SqliteConnection::exec(const char* sql) {
    const int rc = sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr);
    return rc == SQLITE_OK ? Status() : failure(rc);
}

QString SqliteConnection::fileName() const {
    const char* name = sqlite3_db_filename(m_db, "main");
    return name ? QFile::decodeName(name) : QString();
}

Status SqliteConnection::failure(int code) const {
    // The connection's own code is the extended one; the message names the detail
    // ("no such table: x") where SQLite has one.
    const int extended = sqlite3_extended_errcode(m_db);
    const int number = (extended & 0xff) == (code & 0xff) ? extended : code;
    const QString message = QString::fromUtf8(sqlite3_errmsg(m_db));
    if ((number & 0xff) == SQLITE_ERROR && message.startsWith(QLatin1String("no such "))) {
        // A table, field or index the program needs is missing: the file is at fault, and
        // the teacher has to know which file.
        return Status::engine(
            number, QStringLiteral("nel file %1 mancano la tabella, i campi o l'indice di un "
                                   "archivio di Tempolario (%2)")
                        .arg(fileName(), message));
    }
    return Status::engine(number, message);
}

Status SqliteConnection::write(const std::function<Status()>& body) {
    Status status;
    SqliteStatement* begin = cached("BEGIN IMMEDIATE", &status);
    if (!begin) {
        return status;
    }
    {
        SqliteStatement::Use use(*begin);
        const int rc = begin->step();
        if (rc != SQLITE_DONE) {
            return failure(rc);
        }
    }
    status = body();
    if (status.ok()) {
        SqliteStatement* commit = cached("COMMIT", &status);
        if (commit) {
            SqliteStatement::Use use(*commit);
            const int rc = commit->step();
            if (rc != SQLITE_DONE) {
                status = failure(rc);
            }
        }
    }
    // A failed statement or commit may leave the transaction open (or SQLite may already
    // have rolled it back); either way nothing of it must stay.
    if (!sqlite3_get_autocommit(m_db)) {
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    }
    return status;
}

}  // namespace archive
