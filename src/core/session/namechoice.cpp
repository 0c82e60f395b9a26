// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/namechoice.h"

#include "archive/namekey.h"

namespace session {

QString tidyName(const QString& answer) {
    const QString name = archive::withoutFormatCharacters(answer).simplified();
    return name.isEmpty() ? kAnonymousName : name;
}

archive::Status NameChoice::start(NameList* names) {
    archive::Status status = m_shared.openArchive();
    return status ? names->open(m_shared.archiveDb) : status;
}

void NameChoice::pick(const QString& name, qint64 row) {
    m_pupil.name = name;
    m_pupil.row = row;
}

archive::Status NameChoice::confirm(bool* found) {
    *found = false;
    if (!m_shared.archiveDb) {
        return archive::Status::own(archive::Status::kClosed);
    }
    archive::Outcome outcome;
    archive::Status status = m_shared.archiveDb->readRow(m_pupil.row, &outcome);
    *found = status.ok() && outcome.found;
    if (*found) {
        m_pupil.recorded = true;
    }
    return status;
}

archive::Status NameChoice::enterTyped(const QString& answer) {
    if (!m_shared.archiveDb) {
        return archive::Status::own(archive::Status::kClosed);
    }
    const QString name = tidyName(answer);
    std::vector<archive::NamedRow> rows;
    archive::Status status = m_shared.archiveDb->rowsNamed(name, &rows);
    if (status && rows.empty()) {
        // Another computer may add the same name at the same moment: it is read back.
        status = m_shared.archiveDb->add(name);
        if (status) {
            status = m_shared.archiveDb->rowsNamed(name, &rows);
        }
    }
    if (status && rows.size() != 1) {
        return rows.empty() ? archive::Status::own(archive::Status::kNoCurrentRow, name)
                            : sameNameFailure(rows);
    }
    if (status) {
        m_pupil = Pupil{name, rows.front().id, true};
    }
    return status;
}

void NameChoice::enterUnrecorded() {
    m_pupil = Pupil{kAnonymousName, 0, false};
}

}  // namespace session
