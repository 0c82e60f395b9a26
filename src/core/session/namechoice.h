// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include "archive/status.h"
#include "session/modtempar.h"
#include "session/namelist.h"
#include "session/pupil.h"

namespace session {

// The name "Anonimo" stands for a pupil who gave no name.
inline const QString kAnonymousName = QStringLiteral("Anonimo");

// A typed answer made into a pupil name: invisible format characters (zero-width space,
// soft hyphen, bidirectional overrides) dropped, blanks around it dropped, every run of
// blanks between words made one blank; an answer of nothing or of blanks only gives
// "Anonimo". Letter case and every other character stay as typed.
QString tidyName(const QString& answer);

// What the name window does with the archive: list the stored names, look up a picked
// one, add a typed one. The choice is a Pupil of its own, which the window hands on once it
// is settled; the shared state's pupil is not touched here.
class NameChoice {
public:
    explicit NameChoice(Modtempar& shared) : m_shared(shared) {}

    // Opens the archive into archiveDb, and names on every stored name in insertion
    // order. Rows without a name (written by another program) are left out; there is no
    // limit to their number.
    archive::Status start(NameList* names);
    // A name picked from the list becomes the pupil's name at once, and its row the row
    // the run goes to: two rows whose names differ only in letter case stay two pupils.
    void pick(const QString& name, qint64 row);
    // Looks the picked row up again; found is false when it is gone from the archive.
    archive::Status confirm(bool* found);
    // Settles an answer confirmed with OK: tidied, looked up ignoring letter case,
    // and added as a new row when no row has it. When several rows have it (written from
    // outside), fails with Status::kSameName naming them and settles nothing: the pupil
    // picks the right one from the list.
    archive::Status enterTyped(const QString& answer);
    // "Annulla" in the input box: the pupil chose not to record the run. The pupil's name
    // is "Anonimo" for the windows' sake, but no row is added and recorded turns false.
    void enterUnrecorded();
    // The pupil as chosen so far; settled after confirm() found it, enterTyped() succeeded
    // or enterUnrecorded().
    const Pupil& pupil() const { return m_pupil; }

private:
    Modtempar& m_shared;
    Pupil m_pupil;
};

}  // namespace session
