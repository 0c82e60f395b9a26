// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QString>

#include <optional>
#include <vector>

#include <QHash>

#include "archive/archive.h"
#include "archive/status.h"
#include "exercise/drill.h"
#include "session/modtempar.h"
#include "session/pupil.h"

namespace session {

// Stores a run's totals under the pupil's name in the shared archive, in place of whatever
// the pupil's row held: the row settled in the name window (pupil.row), or without one the
// row of the name. A run with no answers given stores nothing: it would replace the pupil's
// figures with 0 out of 0 only because the pupil looked at the archive. The run's
// placements go with the totals, in the same transaction (see archive::RunAnswers).
archive::Status archivia(Modtempar& shared, const Pupil& pupil, int right, int given,
                         const QDateTime& when,
                         const archive::RunAnswers& answers = archive::RunAnswers());

// The drill's placements as the archive keeps them, for the run with this id.
archive::RunAnswers runAnswers(qint64 run, const std::vector<exercise::Placement>& placements);

// A new run's id: random, never 0, so that runs of many computers never share one.
qint64 newRunId();

// How the pupil's facts are dealt, as the teacher set it for the archive: with ripasso on, a
// plan holding the first answers kept for the pupil's row (pupil.row, or else the one row of
// the name); otherwise, and for a run not recorded, none: every fact of the set equally
// likely. On failure *plan is none and the status says why; the run is dealt as designed.
archive::Status reviewPlan(Modtempar& shared, const Pupil& pupil,
                           std::optional<exercise::ReviewPlan>* plan);

// Kept first answers by the fact's table row, oldest first, as the memory model replays
// them. An answer whose day is not a day (a time written from outside) is left out.
QHash<int, std::vector<exercise::FirstAnswer>> historyOf(
    const std::vector<archive::DayAnswer>& answers);

}  // namespace session
