// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QString>

#include "archive/status.h"
#include "session/modtempar.h"
#include "session/pupil.h"

namespace session {

// Stores a run's totals under the pupil's name in the shared archive, in place of whatever
// the pupil's row held: the row settled in the name window (pupil.row), or without one the
// row of the name. A run with no answers given stores nothing: it would replace the pupil's
// figures with 0 out of 0 only because the pupil looked at the archive.
archive::Status archivia(Modtempar& shared, const Pupil& pupil, int right, int given,
                         const QDateTime& when);

}  // namespace session
