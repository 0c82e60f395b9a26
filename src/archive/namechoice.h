#pragma once

#include <memory>

#include <QString>
#include <QStringList>

#include "archive/modtempar.h"
#include "archive/namelist.h"
#include "archive/recordset.h"
#include "archive/status.h"

namespace archive {

// The name "Anonimo" stands for a pupil who gave no name.
inline const QString kAnonymousName = QStringLiteral("Anonimo");

// A typed answer made into a pupil name: invisible format characters (zero-width space,
// soft hyphen, bidirectional overrides) dropped, blanks around it dropped, every run of
// blanks between words made one blank; an answer of nothing or of blanks only gives
// "Anonimo". Letter case and every other character stay as typed.
QString tidyName(const QString& answer);

// What the name window does with the archive: list the stored names, look up a picked
// one, add a typed one. It owns the window's cursor, opened at the start and kept.
class NameChoice {
public:
    explicit NameChoice(Modtempar& shared) : m_shared(shared) {}

    // Opens the archive into archiveDb and the window's cursor, and opens names on every
    // stored name in the cursor's order. Rows without a name (written by another program)
    // are left out; there is no limit to their number.
    Status start(NameList* names);
    // A name picked from the list becomes the pupil name at once.
    void pick(const QString& name);
    // Looks the picked name up again; found is false when it is gone from the archive.
    Status confirm(bool* found);
    // Settles a typed answer (empty for "Annulla"): tidied, looked up ignoring letter case,
    // and added as a new row when no row has it.
    Status enterTyped(const QString& answer);

private:
    Status seekCurrent();

    Modtempar& m_shared;
    std::unique_ptr<Recordset> m_cursor;
};

}  // namespace archive
