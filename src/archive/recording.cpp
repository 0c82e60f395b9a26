#include "archive/recording.h"

#include <memory>

namespace archive {

Status archivia(Modtempar& shared, const QString& pupilName, int right, int given,
                const QDateTime& when) {
    Status status;
    if (!shared.archiveDb) {
        return Status::own(Status::kClosed);
    }
    std::unique_ptr<Recordset> cursor =
        shared.archiveDb->openRecordset(QStringLiteral("tempar"), &status);
    if (!status || !(status = cursor->setIndex(QStringLiteral("nome"))) ||
        !(status = cursor->seek(QStringLiteral("="), pupilName)) || !(status = cursor->edit()) ||
        !(status = cursor->setValue(QStringLiteral("nome"), pupilName)) ||
        !(status = cursor->setValue(QStringLiteral("giuste"), static_cast<double>(right))) ||
        !(status = cursor->setValue(QStringLiteral("sbagliate"), static_cast<double>(given))) ||
        !(status = cursor->setValue(QStringLiteral("data"), when))) {
        return status;
    }
    return cursor->update();
}

}  // namespace archive
