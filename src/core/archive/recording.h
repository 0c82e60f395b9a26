#pragma once

#include <QDateTime>
#include <QString>

#include "archive/modtempar.h"
#include "archive/recordset.h"
#include "archive/status.h"

namespace archive {

// Writes an outcome into a name's row through the given cursor: the row (found ignoring
// letter case, and given the name as written now) gets the right answers, the answers given
// and the time, in place of whatever it held. Without a row the engine's error comes back
// and nothing is written.
Status storeOutcome(Recordset& cursor, const QString& pupilName, double right, double given,
                    const QDateTime& when);

// Stores a run's totals under the pupil's name on a new cursor over the shared archive. A
// run with no answers given stores nothing: it would replace the pupil's figures with
// 0 out of 0 only because the pupil looked at the archive.
Status archivia(Modtempar& shared, const QString& pupilName, int right, int given,
                const QDateTime& when);

}  // namespace archive
