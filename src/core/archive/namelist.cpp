#include "archive/namelist.h"

#include <sqlite3.h>

#include "archive/sqliteconnection.h"

namespace archive {

NameList::NameList(QObject* parent) : QAbstractListModel(parent) {}

NameList::~NameList() = default;

Status NameList::open(const QString& path, int busyTimeoutMs) {
    Status status;
    auto connection = SqliteConnection::open(path, /*readOnly=*/true, busyTimeoutMs, &status);
    if (!connection) {
        return status;
    }
    SqliteStatement* count =
        connection->cached("SELECT count(*) FROM tempar WHERE nome IS NOT NULL", &status);
    if (!count) {
        return status;
    }
    SqliteStatement::Use use(*count);
    const int rc = count->step();
    if (rc != SQLITE_ROW) {
        return connection->failure(rc);
    }
    beginResetModel();
    m_failure = Status();
    m_connection = std::move(connection);
    m_count = static_cast<int>(count->int64(0));
    const auto pages = static_cast<std::size_t>((m_count + kPageSize - 1) / kPageSize);
    m_pages.assign(pages, QStringList());
    m_lastIds.assign(pages, 0);
    m_read.assign(pages, false);
    endResetModel();
    return status;
}

int NameList::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_count;
}

QVariant NameList::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) {
        return QVariant();
    }
    return name(index.row());
}

QString NameList::name(int row) const {
    if (row < 0 || row >= m_count) {
        return QString();
    }
    const QStringList& names = page(row / kPageSize);
    const int at = row % kPageSize;
    return at < names.size() ? names.at(at) : QString();
}

QStringList NameList::all() const {
    QStringList names;
    names.reserve(m_count);
    for (int number = 0; number < static_cast<int>(m_pages.size()); ++number) {
        names += page(number);
    }
    return names;
}

const QStringList& NameList::page(int number) const {
    const auto at = static_cast<std::size_t>(number);
    if (m_read[at]) {
        return m_pages[at];
    }
    if (!m_failure.ok()) {
        return m_pages[at];  // empty: pages are only filled by a read that worked
    }
    // A page that follows a read one continues from its last id, so reading the list from
    // the top costs one pass; a jump into the middle skips rows once.
    Status status;
    const bool follows = number > 0 && m_read[at - 1] && m_lastIds[at - 1] > 0;
    SqliteStatement* statement = follows ? m_connection->cached(
                                               "SELECT id, nome FROM tempar WHERE nome IS NOT NULL "
                                               "AND id > ?1 ORDER BY id LIMIT ?2",
                                               &status)
                                         : m_connection->cached(
                                               "SELECT id, nome FROM tempar WHERE nome IS NOT NULL "
                                               "ORDER BY id LIMIT ?2 OFFSET ?1",
                                               &status);
    QStringList names;
    qint64 lastId = 0;
    if (statement) {
        SqliteStatement::Use use(*statement);
        statement->bindInt64(1,
                             follows ? m_lastIds[at - 1] : static_cast<qint64>(number) * kPageSize);
        statement->bindInt64(2, kPageSize);
        names.reserve(kPageSize);
        int rc;
        while ((rc = statement->step()) == SQLITE_ROW) {
            lastId = statement->int64(0);
            names.append(statement->text(1));
        }
        if (rc != SQLITE_DONE) {
            status = m_connection->failure(rc);
        }
    }
    if (!status.ok()) {
        // A page cut short would show a short or blank list as if it were whole.
        m_failure = status;
        Q_EMIT readFailed();
        return m_pages[at];
    }
    m_pages[at] = std::move(names);
    m_lastIds[at] = lastId;
    m_read[at] = true;
    return m_pages[at];
}

}  // namespace archive
