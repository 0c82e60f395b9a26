#include "archive/recording.h"

#include <memory>

#include "archive/lookup.h"

namespace archive {

Status archivia(Modtempar& shared, const QString& pupilName, int right, int given,
                const QDateTime& when) {
    std::unique_ptr<Recordset> cursor;
    Status status = openAndSeek(shared, pupilName, &cursor);
    // No test of the match: with no row, edit() fails and nothing is written.
    if (!status || !(status = cursor->edit()) ||
        !(status = cursor->setValue(QStringLiteral("nome"), pupilName)) ||
        !(status = cursor->setValue(QStringLiteral("giuste"), static_cast<double>(right))) ||
        !(status = cursor->setValue(QStringLiteral("sbagliate"), static_cast<double>(given))) ||
        !(status = cursor->setValue(QStringLiteral("data"), when))) {
        return status;
    }
    return cursor->update();
}

}  // namespace archive
