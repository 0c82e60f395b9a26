#include "archive/recording.h"

#include <memory>

#include "archive/lookup.h"

namespace archive {

Status storeOutcome(Recordset& cursor, const QString& pupilName, double right, double given,
                    const QDateTime& when) {
    Status status = seekName(cursor, pupilName);
    // No test of the match: with no row, edit() fails and nothing is written.
    if (!status || !(status = cursor.edit()) ||
        !(status = cursor.setValue(QStringLiteral("nome"), pupilName)) ||
        !(status = cursor.setValue(QStringLiteral("giuste"), right)) ||
        !(status = cursor.setValue(QStringLiteral("sbagliate"), given)) ||
        !(status = cursor.setValue(QStringLiteral("data"), when))) {
        return status;
    }
    return cursor.update();
}

Status archivia(Modtempar& shared, const QString& pupilName, int right, int given,
                const QDateTime& when) {
    if (given == 0) {
        return Status();
    }
    if (!shared.archiveDb) {
        return Status::own(Status::kClosed);
    }
    Status status;
    std::unique_ptr<Recordset> cursor =
        shared.archiveDb->openRecordset(QStringLiteral("tempar"), &status);
    if (!status) {
        return status;
    }
    return storeOutcome(*cursor, pupilName, right, given, when);
}

}  // namespace archive
