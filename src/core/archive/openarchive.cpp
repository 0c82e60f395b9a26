// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "archive/openarchive.h"

#include "archive/pgarchive.h"
#include "archive/sqlitearchive.h"

namespace archive {

std::unique_ptr<Archive> openArchive(const Place& place, Status* status) {
    if (!place.server.service.isEmpty()) {
        return PgArchive::open(place.server, status);
    }
    return SqliteArchive::open(place.path, status, place.file);
}

}  // namespace archive
