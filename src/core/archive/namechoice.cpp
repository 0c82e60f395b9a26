// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "archive/namechoice.h"

#include "archive/namekey.h"

namespace archive {

QString tidyName(const QString& answer) {
    const QString name = withoutFormatCharacters(answer).simplified();
    return name.isEmpty() ? kAnonymousName : name;
}

Status NameChoice::start(NameList* names) {
    Status status = m_shared.openArchive();
    return status ? names->open(m_shared.archiveDb) : status;
}

void NameChoice::pick(const QString& name) {
    m_shared.currentName = name;
}

Status NameChoice::confirm(bool* found) {
    Status status = findCurrent(found);
    if (*found) {
        m_recorded = true;
    }
    return status;
}

Status NameChoice::enterTyped(const QString& answer) {
    m_shared.currentName = tidyName(answer);
    m_recorded = true;
    bool found = false;
    Status status = findCurrent(&found);
    if (!status || found) {
        return status;
    }
    return m_shared.archiveDb->add(m_shared.currentName);
}

void NameChoice::enterUnrecorded() {
    m_shared.currentName = kAnonymousName;
    m_recorded = false;
}

Status NameChoice::findCurrent(bool* found) {
    *found = false;
    if (!m_shared.archiveDb) {
        return Status::own(Status::kClosed);
    }
    return m_shared.archiveDb->find(m_shared.currentName, found);
}

}  // namespace archive
