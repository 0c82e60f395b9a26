// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "archive/sqlitestatement.h"

#include <sqlite3.h>

namespace archive {

SqliteStatement::~SqliteStatement() {
    sqlite3_finalize(m_statement);
}

void SqliteStatement::bindNull(int index) {
    sqlite3_bind_null(m_statement, index);
}

void SqliteStatement::bindInt64(int index, qint64 value) {
    sqlite3_bind_int64(m_statement, index, value);
}

void SqliteStatement::bindText(int index, const QString& value) {
    // The length is given, so characters such as NUL inside a name are kept.
    const QByteArray utf8 = value.toUtf8();
    sqlite3_bind_text64(m_statement, index, utf8.constData(),
                        static_cast<sqlite3_uint64>(utf8.size()), SQLITE_TRANSIENT, SQLITE_UTF8);
}

void SqliteStatement::bind(int index, const QVariant& value) {
    if (value.isNull()) {
        bindNull(index);
        return;
    }
    switch (value.typeId()) {
        case QMetaType::Int:
        case QMetaType::LongLong:
        case QMetaType::UInt:
        case QMetaType::Bool:
            bindInt64(index, value.toLongLong());
            break;
        case QMetaType::Double:
            sqlite3_bind_double(m_statement, index, value.toDouble());
            break;
        default:
            bindText(index, value.toString());
            break;
    }
}

int SqliteStatement::step() {
    return sqlite3_step(m_statement);
}

void SqliteStatement::reset() {
    sqlite3_reset(m_statement);
    sqlite3_clear_bindings(m_statement);
}

bool SqliteStatement::isNull(int column) const {
    return sqlite3_column_type(m_statement, column) == SQLITE_NULL;
}

qint64 SqliteStatement::int64(int column) const {
    return sqlite3_column_int64(m_statement, column);
}

QString SqliteStatement::text(int column) const {
    const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column));
    const int size = sqlite3_column_bytes(m_statement, column);
    return QString::fromUtf8(data, size);
}

QVariant SqliteStatement::variant(int column) const {
    switch (sqlite3_column_type(m_statement, column)) {
        case SQLITE_INTEGER:
            return QVariant(static_cast<qlonglong>(sqlite3_column_int64(m_statement, column)));
        case SQLITE_FLOAT:
            return QVariant(sqlite3_column_double(m_statement, column));
        case SQLITE_TEXT:
            return QVariant(text(column));
        case SQLITE_BLOB: {
            const auto* data = static_cast<const char*>(sqlite3_column_blob(m_statement, column));
            return QVariant(QByteArray(data, sqlite3_column_bytes(m_statement, column)));
        }
        default:
            return QVariant();
    }
}

}  // namespace archive
