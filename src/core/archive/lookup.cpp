#include "archive/lookup.h"

namespace archive {

Status seekName(Recordset& cursor, const QString& name) {
    Status status = cursor.setIndex(QStringLiteral("nome"));
    if (status) {
        status = cursor.seek(QStringLiteral("="), name);
    }
    return status;
}

Status openAndSeek(Modtempar& shared, const QString& name, std::unique_ptr<Recordset>* cursor) {
    if (!shared.archiveDb) {
        return Status::own(Status::kClosed);
    }
    Status status;
    *cursor = shared.archiveDb->openRecordset(QStringLiteral("tempar"), &status);
    return status ? seekName(**cursor, name) : status;
}

}  // namespace archive
