// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/resultsview.h"

#include "session/namechoice.h"

namespace session {

archive::Status ResultsView::start() {
    back();
    return m_shared.openArchive();
}

archive::Status ResultsView::concetti(archive::Outcome* outcome) {
    *outcome = archive::Outcome();
    if (!m_searched && !m_pupil.recorded) {
        outcome->found = true;
        return archive::Status();
    }
    if (!m_shared.archiveDb) {
        return archive::Status::own(archive::Status::kClosed);
    }
    // The pupil's own figures come from the pupil's own row.
    if (m_pupil.row != 0 && (!m_searched || m_shownName == m_pupil.name)) {
        return m_shared.archiveDb->readRow(m_pupil.row, outcome);
    }
    return m_shared.archiveDb->read(m_shownName, outcome);
}

bool ResultsView::search(const QString& first, const QString& surname) {
    const QString firstKey = first.toUpper().trimmed();
    const QString surnameKey = surname.toUpper().trimmed();
    if (firstKey.isEmpty() && surnameKey.isEmpty()) {
        return false;
    }
    // Tidied like a typed name, so "ANONIMO" with the first-name box empty finds "Anonimo".
    m_shownName = tidyName(surnameKey + QLatin1Char(' ') + firstKey);
    m_searched = true;
    return true;
}

void ResultsView::back() {
    m_shownName = m_pupil.name;
    m_searched = false;
}

}  // namespace session
