// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <map>
#include <memory>
#include <utility>

#include "archive/sqlitestatement.h"
#include "archive/status.h"

struct sqlite3;

namespace archive {

// SQLite's primary result code is the low byte of its extended one.
constexpr int kPrimaryCodeMask = 0xff;

// A failure reported by SQLite: its extended result code and its description, with the
// advice that goes with the code.
Status sqliteFailure(int extendedCode, const QString& description);

// Owns one SQLite connection and the statements prepared on it.
class SqliteConnection {
public:
    ~SqliteConnection();
    SqliteConnection(const SqliteConnection&) = delete;
    SqliteConnection& operator=(const SqliteConnection&) = delete;

    // Opens an existing file; never creates one. Extended result codes are switched on and
    // the busy timeout is set before anything is read.
    static std::unique_ptr<SqliteConnection> open(const QString& path, bool readOnly,
                                                  int busyTimeoutMs, Status* status);

    sqlite3* handle() const { return m_db; }
    // The file's full path, for messages.
    QString fileName() const;

    // A statement prepared once and kept for the life of the connection; null on failure,
    // with *status set.
    SqliteStatement* cached(const char* sql, Status* status);
    // Runs use(statement) on the statement of sql (prepared once, as cached() does) and
    // resets it afterwards, so that no read is left unfinished and holding its lock: the
    // failure to prepare it, or what use returns.
    template <typename Use>
    Status withStatement(const char* sql, Use&& use) {
        Status status;
        SqliteStatement* statement = cached(sql, &status);
        if (statement == nullptr) {
            return status;
        }
        const SqliteStatement::Use scope(*statement);
        return std::forward<Use>(use)(*statement);
    }
    // What a step that should have ended the statement returned: ok for SQLITE_DONE, the
    // failure otherwise.
    Status done(int rc) const;
    // Runs a query and gives back the rows' first column as text.
    Status firstColumn(const char* sql, QStringList* out);
    // Runs statements that return no rows we need.
    Status exec(const char* sql);
    // The engine's status for a code that a call on this connection returned.
    Status failure(int code) const;

    // Runs body inside BEGIN IMMEDIATE ... COMMIT, so that the write lock is taken (waiting
    // up to the busy timeout) before anything is read or changed, and rolls back when body
    // or the commit fails.
    Status write(const std::function<Status()>& body);

private:
    explicit SqliteConnection(sqlite3* db) : m_db(db) {}

    sqlite3* m_db = nullptr;
    std::map<QByteArray, std::unique_ptr<SqliteStatement>> m_statements;
};

}  // namespace archive
