#include "archive/namechoice.h"

#include "archive/lookup.h"
#include "archive/namekey.h"

namespace archive {

QString tidyName(const QString& answer) {
    const QString name = withoutFormatCharacters(answer).simplified();
    return name.isEmpty() ? kAnonymousName : name;
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
    return status;
}

Status NameChoice::enterTyped(const QString& answer) {
    m_shared.currentName = tidyName(answer);
    Status status = seekCurrent();
    if (!status || !m_cursor->noMatch()) {
        return status;
    }
    if (!(status = m_cursor->addNew()) ||
        !(status = m_cursor->setValue(QStringLiteral("nome"), m_shared.currentName))) {
        return status;
    }
    return m_cursor->update();
}

Status NameChoice::seekCurrent() {
    return seekName(*m_cursor, m_shared.currentName);
}

}  // namespace archive
