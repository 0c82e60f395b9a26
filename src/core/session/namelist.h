// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <vector>

#include <QAbstractListModel>
#include <QStringList>

#include "archive/archive.h"
#include "archive/status.h"

namespace session {

// The stored pupil names, in the archive's own order (insertion order), as a list model.
// Only the count is read at the start; names are read a page at a time when a view first
// shows them, so that a window listing a hundred thousand pupils opens as fast as an empty
// one. Rows without a name (written by another program) are not part of the list.
class NameList : public QAbstractListModel {
    Q_OBJECT
public:
    static constexpr int kPageSize = 256;

    explicit NameList(QObject* parent = nullptr);
    ~NameList() override;

    // Counts the named rows of the archive, which the list keeps; the list then holds that
    // many entries.
    archive::Status open(std::shared_ptr<archive::Archive> archive);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    // The name at a row; empty when it cannot be read any more (removed by another program,
    // or a failed read: see failure()).
    QString name(int row) const;
    // The id of the row listed at a row of the list; 0 when it cannot be read.
    qint64 rowId(int row) const;
    // Every name, all pages read; check failure() afterwards.
    QStringList all() const;

    // The engine's report of the first page read that failed (the file locked past the
    // wait, damaged, taken away); ok while every read has worked. After a failure no more
    // pages are read and the list must not be trusted: its holder ends with this message.
    const archive::Status& failure() const { return m_failure; }

Q_SIGNALS:
    // A page read failed; emitted once, from inside whatever asked for the page (often a
    // view painting), so a holder that shows a message should connect it queued.
    void readFailed() const;

private:
    const std::vector<archive::NamedRow>& page(int number) const;
    const archive::NamedRow* entry(int row) const;

    std::shared_ptr<archive::Archive> m_archive;
    int m_count = 0;
    mutable std::vector<std::vector<archive::NamedRow>> m_pages;
    mutable std::vector<bool> m_read;
    mutable archive::Status m_failure;
};

}  // namespace session
