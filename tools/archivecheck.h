// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include "archive/archivefile.h"
#include "archive/pgarchive.h"
#include "archive/status.h"

// The teacher's checks and repairs of an archive file, for the command-line tool; the
// program itself does neither (it sets keys right when it opens the archive).
namespace archivetool {

// Full check: the file checks made before opening, SQLite's integrity check, the table,
// fields and index. Opens the file read-only. notes gets Italian lines about what was found.
archive::Status verify(const QString& path, QStringList* notes);

// Opens the archive for writing and sets its keys right; notes gets Italian lines about
// what was done and what is left to the teacher.
archive::Status repair(const QString& path, QStringList* notes);

// The same for the archive on a server: the table and its fields, the unique index on the
// key, and the keys (read only for verify).
archive::Status verifyServer(const archive::ServerPlace& place, QStringList* notes);
archive::Status repairServer(const archive::ServerPlace& place, QStringList* notes);

// Italian lines describing a key report. repairCommand is what sets the keys right now; on
// a server, only that does it (the program mends only the rows it looks up).
QStringList describe(const archive::KeyReport& report, bool repaired,
                     const QString& repairCommand = QString());

}  // namespace archivetool
