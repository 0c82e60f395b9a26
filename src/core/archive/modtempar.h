// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <memory>

#include "archive/archive.h"
#include "archive/pgarchive.h"
#include "archive/sqlitearchive.h"
#include "archive/status.h"

namespace archive {

// The program's shared state: the one open archive and the pupil name in force. One
// instance lives for the whole run; every window uses it on the user-interface thread.
class Modtempar {
public:
    // Relative, so the archive is looked for in the working folder at each opening. Tests
    // point it into a temporary folder.
    QString archivePath = QStringLiteral("tempolario.mdb");
    // How long an opening or a save waits for a file kept locked by another program.
    int busyTimeoutMs = OpenOptions::kDefaultBusyTimeoutMs;
    // A school's archive on a database server: when server.service is set, the archive is
    // there and archivePath is not used.
    ServerPlace server;

    // The one open archive, replaced at every reopen; a name list holds on to the one it
    // was opened on.
    std::shared_ptr<Archive> archiveDb;
    QString currentName;  // the pupil name in force
    // The id of the pupil's own row once the name is settled (picked, or typed and found or
    // added); 0 before, and for a run not recorded. Stores go to this row and no other.
    qint64 currentRow = 0;

    // Opens the server's archive, or else archivePath, into archiveDb in place of the previous handle. On failure
    // archiveDb is left empty.
    Status openArchive();
    // Closes archiveDb; with none open there is nothing to do.
    void closeArchive();
};

}  // namespace archive
