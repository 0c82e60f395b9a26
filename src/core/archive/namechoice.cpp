#include "archive/namechoice.h"

#include "archive/lookup.h"
#include "archive/namekey.h"

namespace archive {

QString tidyName(const QString& answer) {
    const QString name = withoutFormatCharacters(answer).simplified();
    return name.isEmpty() ? kAnonymousName : name;
}

Status addNameRow(Recordset& cursor, const QString& name) {
    Status status;
    if (!(status = cursor.addNew()) || !(status = cursor.setValue(QStringLiteral("nome"), name))) {
        return status;
    }
    return cursor.update();
}

Status NameChoice::start(NameList* names) {
    Status status = m_shared.openArchive();
    if (!status) {
        return status;
    }
    m_cursor = m_shared.archiveDb->openRecordset(QStringLiteral("tempar"), &status);
    if (!status) {
        return status;
    }
    return names->open(m_shared.archiveDb->path(), m_shared.busyTimeoutMs);
}

void NameChoice::pick(const QString& name) {
    m_shared.currentName = name;
}

Status NameChoice::confirm(bool* found) {
    Status status = seekCurrent();
    *found = status && !m_cursor->noMatch();
    if (*found) {
        m_recorded = true;
    }
    return status;
}

Status NameChoice::enterTyped(const QString& answer) {
    m_shared.currentName = tidyName(answer);
    m_recorded = true;
    Status status = seekCurrent();
    if (!status || !m_cursor->noMatch()) {
        return status;
    }
    return addNameRow(*m_cursor, m_shared.currentName);
}

void NameChoice::enterUnrecorded() {
    m_shared.currentName = kAnonymousName;
    m_recorded = false;
}

Status NameChoice::seekCurrent() {
    return seekName(*m_cursor, m_shared.currentName);
}

}  // namespace archive
