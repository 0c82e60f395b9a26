#include "archive/modtempar.h"

namespace archive {

Status Modtempar::openArchive() {
    Status status;
    OpenOptions options;
    options.busyTimeoutMs = busyTimeoutMs;
    archiveDb = Database::open(archivePath, &status, options);
    return status;
}

Status Modtempar::closeArchive() {
    if (!archiveDb) {
        return Status();
    }
    Status status = archiveDb->close();
    archiveDb.reset();
    return status;
}

}  // namespace archive
