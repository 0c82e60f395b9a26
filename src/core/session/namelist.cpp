// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/namelist.h"

namespace session {

NameList::NameList(QObject* parent) : QAbstractListModel(parent) {}

NameList::~NameList() = default;

archive::Status NameList::open(std::shared_ptr<archive::Archive> archive) {
    int count = 0;
    archive::Status status = archive->countNames(&count);
    if (!status.ok()) {
        return status;
    }
    beginResetModel();
    m_failure = archive::Status();
    m_archive = std::move(archive);
    m_count = count;
    const auto pages = static_cast<std::size_t>((m_count + kPageSize - 1) / kPageSize);
    m_pages.assign(pages, std::vector<archive::NamedRow>());
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

const archive::NamedRow* NameList::entry(int row) const {
    if (row < 0 || row >= m_count) {
        return nullptr;
    }
    const std::vector<archive::NamedRow>& rows = page(row / kPageSize);
    const auto at = static_cast<std::size_t>(row % kPageSize);
    return at < rows.size() ? &rows[at] : nullptr;
}

QString NameList::name(int row) const {
    const archive::NamedRow* listed = entry(row);
    return listed ? listed->name : QString();
}

qint64 NameList::rowId(int row) const {
    const archive::NamedRow* listed = entry(row);
    return listed ? listed->id : 0;
}

QStringList NameList::all() const {
    QStringList names;
    names.reserve(m_count);
    for (int number = 0; number < static_cast<int>(m_pages.size()); ++number) {
        for (const archive::NamedRow& row : page(number)) {
            names.append(row.name);
        }
    }
    return names;
}

const std::vector<archive::NamedRow>& NameList::page(int number) const {
    const auto at = static_cast<std::size_t>(number);
    if (m_read[at]) {
        return m_pages[at];
    }
    if (!m_failure.ok()) {
        return m_pages[at];  // empty: pages are only filled by a read that worked
    }
    std::vector<archive::NamedRow> names;
    archive::Status status = m_archive->readNames(number * kPageSize, kPageSize, &names);
    if (!status.ok()) {
        // A page cut short would show a short or blank list as if it were whole.
        m_failure = status;
        Q_EMIT readFailed();
        return m_pages[at];
    }
    m_pages[at] = std::move(names);
    m_read[at] = true;
    return m_pages[at];
}

}  // namespace session
