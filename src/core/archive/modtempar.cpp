// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "archive/modtempar.h"

#include "archive/pgarchive.h"
#include "archive/sqlitearchive.h"

namespace archive {

Status Modtempar::openArchive() {
    Status status;
    if (!server.service.isEmpty()) {
        archiveDb = PgArchive::open(server, &status);
        return status;
    }
    OpenOptions options;
    options.busyTimeoutMs = busyTimeoutMs;
    archiveDb = SqliteArchive::open(archivePath, &status, options);
    return status;
}

void Modtempar::closeArchive() {
    // Every write has committed before it returned, so letting go loses nothing.
    archiveDb.reset();
}

}  // namespace archive
