// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/modtempar.h"

#include "archive/pgarchive.h"
#include "archive/sqlitearchive.h"

namespace session {

archive::Status Modtempar::openArchive() {
    archive::Status status;
    if (!server.service.isEmpty()) {
        archiveDb = archive::PgArchive::open(server, &status);
        return status;
    }
    archive::OpenOptions options;
    options.busyTimeoutMs = busyTimeoutMs;
    archiveDb = archive::SqliteArchive::open(archivePath, &status, options);
    return status;
}

archive::Status Modtempar::closeArchive() {
    if (!archiveDb) {
        return archive::Status();
    }
    // Every write has committed before it returned, so letting go loses nothing.
    archiveDb.reset();
    return archive::Status();
}

}  // namespace session
