#pragma once

#include <QDateTime>
#include <QString>

#include "archive/modtempar.h"
#include "archive/status.h"

namespace archive {

// Stores a run's totals: the row of the pupil's name (found ignoring letter case, and given
// the name as written now) gets the right answers, the answers given and the time of the
// store, in place of whatever it held. The row must exist; without one the engine's error
// comes back and nothing is written.
Status archivia(Modtempar& shared, const QString& pupilName, int right, int given,
                const QDateTime& when);

}  // namespace archive
