// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <memory>

#include "archive/archive.h"
#include "archive/place.h"
#include "archive/status.h"
#include "session/pupil.h"

namespace session {

// The program's shared state: the one open archive and the pupil in force. One instance
// lives for the whole run, owned by the program; every window uses it on the
// user-interface thread.
class Modtempar {
public:
    // Relative, so the archive is looked for in the working folder at each opening. Tests
    // point it into a temporary folder.
    QString archivePath = QStringLiteral("tempolario.mdb");
    // How long an opening or a save waits for a file kept locked by another program.
    int busyTimeoutMs = archive::OpenOptions::kDefaultBusyTimeoutMs;
    // A school's archive on a database server: when server.service is set, the archive is
    // there and archivePath is not used.
    archive::ServerPlace server;

    // The one open archive, replaced at every reopen; a name list holds on to the one it
    // was opened on.
    std::shared_ptr<archive::Archive> archiveDb;
    // The pupil in force, once the name window has settled it: its name and its own row
    // (see Pupil). Only the program sets them, through setPupil(); no window writes them.
    QString currentName;
    qint64 currentRow = 0;

    void setPupil(const Pupil& pupil) {
        currentName = pupil.name;
        currentRow = pupil.row;
    }

    // Opens the server's archive, or else archivePath (archive::openArchive), into archiveDb in
    // place of the previous handle. On failure archiveDb is left empty. An archive that keeps
    // no placements is said once a run, on the standard error.
    archive::Status openArchive();
    // Closes archiveDb; with none open there is nothing to do.
    void closeArchive();
    // Why the placements are not kept, once said (empty when they are or nobody said it).
    QString answersNotice;
};

}  // namespace session
