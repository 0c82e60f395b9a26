#pragma once

#include <QString>
#include <memory>

#include "archive/database.h"
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
    int busyTimeoutMs = 5000;

    std::unique_ptr<Database> archiveDb;  // the one open archive, replaced at every reopen
    QString currentName;                  // the pupil name in force

    // Opens archivePath into archiveDb in place of the previous handle (cursors opened
    // from that one keep working). On failure archiveDb is left empty.
    Status openArchive();
    // Closes archiveDb; with none open there is nothing to do.
    Status closeArchive();
};

}  // namespace archive
