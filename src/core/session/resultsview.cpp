// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/resultsview.h"

#include "session/namechoice.h"

namespace session {

archive::Status ResultsView::start() {
    back();
    m_savedName.clear();
    return m_shared.openArchive();
}

archive::Status ResultsView::concetti(archive::Outcome* outcome) {
    *outcome = archive::Outcome();
    if (m_savedName.isEmpty() && !m_pupilRecorded) {
        outcome->found = true;
        return archive::Status();
    }
    if (!m_shared.archiveDb) {
        return archive::Status::own(archive::Status::kClosed);
    }
    // The pupil's own figures come from the pupil's own row.
    if (m_shared.currentRow != 0 &&
        (m_savedName.isEmpty() || m_shared.currentName == m_savedName)) {
        return m_shared.archiveDb->readRow(m_shared.currentRow, outcome);
    }
    return m_shared.archiveDb->read(m_shared.currentName, outcome);
}

bool ResultsView::search(const QString& first, const QString& surname) {
    const QString firstKey = first.toUpper().trimmed();
    const QString surnameKey = surname.toUpper().trimmed();
    if (firstKey.isEmpty() && surnameKey.isEmpty()) {
        return false;
    }
    if (m_savedName.isEmpty()) {
        m_savedName = m_shared.currentName;
    }
    // Tidied like a typed name, so "ANONIMO" with the first-name box empty finds "Anonimo".
    m_shared.currentName = tidyName(surnameKey + QLatin1Char(' ') + firstKey);
    return true;
}

void ResultsView::back() {
    if (!m_savedName.isEmpty()) {
        m_shared.currentName = m_savedName;
    }
}

}  // namespace session
