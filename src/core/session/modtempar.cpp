// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/modtempar.h"

#include <cstdio>

#include "archive/openarchive.h"

namespace session {

archive::Status Modtempar::openArchive() {
    archive::Place place;
    place.path = archivePath;
    place.file.busyTimeoutMs = busyTimeoutMs;
    place.server = server;
    archive::Status status;
    archiveDb = archive::openArchive(place, &status);
    if (archiveDb && answersNotice.isEmpty()) {
        answersNotice = archiveDb->answersNotKept();
        if (!answersNotice.isEmpty()) {
            std::fputs(
                QStringLiteral("Tempolario: %1\n").arg(answersNotice).toLocal8Bit().constData(),
                stderr);
        }
    }
    return status;
}

void Modtempar::closeArchive() {
    // Every write has committed before it returned, so letting go loses nothing.
    archiveDb.reset();
}

}  // namespace session
