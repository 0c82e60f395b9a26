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
namespace tools {

// What a check or a repair found, for the teacher.
struct Findings {
    QStringList notes;       // Italian lines about what was found and done, and what to do
    bool attention = false;  // something is left that the teacher must see to
};

// Full check: the file checks made before opening, SQLite's integrity check, the table,
// fields and index. Opens the file read-only.
archive::Status verify(const QString& path, Findings* findings);

// Opens the archive for writing and sets its keys right.
archive::Status repair(const QString& path, Findings* findings);

// The same for the archive on a server: the table and its fields, the unique index on the
// key, and the keys (read only for verify).
archive::Status verifyServer(const archive::ServerPlace& place, Findings* findings);
archive::Status repairServer(const archive::ServerPlace& place, Findings* findings);

// Italian lines describing a key report, each problem with the command that mends it:
// `ripara` for keys, and for names that share a key (which no repair may merge) how to
// rename all but the first, after which `ripara` gives each its own key. archive is the
// file's path, or with onServer the service's name.
Findings describe(const archive::KeyReport& report, bool repaired, const QString& archive,
                  bool onServer);

}  // namespace tools
