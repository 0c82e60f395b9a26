// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace session {

// The pupil doing the exercise, as the name window settles it: the name window's choice
// makes it, the program keeps it, and the store and the results window are handed it.
struct Pupil {
    QString name;
    // The id of the pupil's own row: stores go to this row and no other, so that two rows
    // whose names differ only in letter case stay two pupils. 0 before the name is settled,
    // and for a run not recorded.
    qint64 row = 0;
    // Whether the run's totals go to the archive; false only after "Annulla".
    bool recorded = true;
};

}  // namespace session
