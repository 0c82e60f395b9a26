// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QVariant>

struct sqlite3_stmt;

namespace archive {

// Owns one prepared SQLite statement. Values go in through bound parameters only.
class SqliteStatement {
public:
    explicit SqliteStatement(sqlite3_stmt* statement) : m_statement(statement) {}
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    // Resets the statement and clears its bindings when it goes out of scope, so that no
    // read is left unfinished (and holding its lock) when the next write starts.
    class Use {
    public:
        explicit Use(SqliteStatement& statement) : m_statement(statement) {}
        ~Use() { m_statement.reset(); }
        Use(const Use&) = delete;
        Use& operator=(const Use&) = delete;

    private:
        SqliteStatement& m_statement;
    };

    void bindNull(int index);
    void bindInt64(int index, qint64 value);
    void bindText(int index, const QString& value);
    // Null, whole numbers, doubles and text; anything else binds as text.
    void bind(int index, const QVariant& value);

    // SQLITE_ROW, SQLITE_DONE or an extended error code.
    int step();
    void reset();

    bool isNull(int column) const;
    qint64 int64(int column) const;
    QString text(int column) const;
    // Null as a null QVariant, integers as qlonglong, reals as double, text as QString,
    // blobs as QByteArray.
    QVariant variant(int column) const;

private:
    sqlite3_stmt* m_statement = nullptr;
};

}  // namespace archive
