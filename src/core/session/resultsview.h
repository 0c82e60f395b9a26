// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QString>
#include <QVariant>
#include <utility>

#include "archive/archive.h"
#include "archive/status.h"
#include "session/modtempar.h"
#include "session/pupil.h"

namespace session {

// What the results window does with the archive and the names: reopen the archive, look a
// name's outcome up, search another pupil by surname and first name, and go back to the
// pupil's own name. The name shown is the window's own: a search changes it, never the
// pupil, whose row every store still writes.
class ResultsView {
public:
    explicit ResultsView(Modtempar& shared, Pupil pupil = {})
        : m_shared(shared), m_pupil(std::move(pupil)), m_shownName(m_pupil.name) {}

    // Start and refresh: the archive opened again (to read the file's latest content) and
    // the pupil's own name shown again.
    archive::Status start();
    // The outcome stored under the name shown.
    archive::Status concetti(archive::Outcome* outcome);
    // Shows "SURNAME FIRST", in capitals and tidied as a typed name is, so a one-word name
    // is found with one box empty; false, changing nothing, when both are empty.
    bool search(const QString& first, const QString& surname);
    // "TORNA": the pupil's own name shown again.
    void back();

    // The pupil doing the exercise, as the program hands it; an unrecorded pupil has no row
    // to show, and the grid shows empty figures for it rather than another pupil's
    // "Anonimo" row.
    void setPupil(const Pupil& pupil) {
        m_pupil = pupil;
        back();
    }
    const Pupil& pupil() const { return m_pupil; }
    // The name whose outcome the window shows: the pupil's own, or a searched one.
    const QString& shownName() const { return m_shownName; }

private:
    Modtempar& m_shared;
    Pupil m_pupil;
    QString m_shownName;
    bool m_searched = false;  // a searched name is shown
};

}  // namespace session
