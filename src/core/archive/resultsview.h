// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QString>
#include <QVariant>

#include "archive/archive.h"
#include "archive/modtempar.h"
#include "archive/status.h"

namespace archive {

// What the results window does with the archive and the names: reopen the archive, look a
// name's outcome up, search another pupil by surname and first name, and go back to the
// pupil's own name. While a searched name stands in currentName, savedName keeps the
// pupil's own.
class ResultsView {
public:
    explicit ResultsView(Modtempar& shared) : m_shared(shared) {}

    // Start and refresh: the archive opened again (to read the file's latest content) and
    // the pupil's own name back in force.
    Status start();
    // The outcome stored under currentName.
    Status concetti(Outcome* outcome);
    // Makes "SURNAME FIRST" the name in force, in capitals and tidied as a typed name is,
    // so a one-word name is found with one box empty; false, changing nothing, when both
    // are empty.
    bool search(const QString& first, const QString& surname);
    // "TORNA": the pupil's own name in force again.
    void back();

    const QString& currentName() const { return m_shared.currentName; }
    // Whether the pupil's own run is recorded; an unrecorded pupil has no row to show, and
    // the grid shows empty figures for it rather than another pupil's "Anonimo" row.
    void setPupilRecorded(bool recorded) { m_pupilRecorded = recorded; }
    // The pupil doing the exercise, whatever name the window shows.
    const QString& pupilName() const {
        return m_savedName.isEmpty() ? m_shared.currentName : m_savedName;
    }

private:
    Modtempar& m_shared;
    QString m_savedName;
    bool m_pupilRecorded = true;
};

}  // namespace archive
