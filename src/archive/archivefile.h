#pragma once

#include <QString>
#include <QStringList>

#include "archive/status.h"

namespace archive {

// The archive's file format: an SQLite 3 file marked with our application id and format
// version, holding the table `tempar` and the unique index `nome` on its key column.
//
//   tempar(id INTEGER PRIMARY KEY, nome TEXT, chiave TEXT, giuste INTEGER,
//          sbagliate INTEGER, data TEXT)
//   UNIQUE INDEX nome ON tempar(chiave)
//
// `id` gives the listing order (insertion order, kept by VACUUM because it is explicit).
// `chiave` holds nameKey(nome); it is plain text, so the standard sqlite3 program can read
// and write the file. A row written there without `chiave` (NULL) is still listed and found
// by the program, which compares those rows' names itself. `data` is local time written
// 'YYYY-MM-DDTHH:MM:SS'.
class ArchiveFile {
public:
    static constexpr quint32 kApplicationId = 0x54504c52;  // "TPLR"
    static constexpr quint32 kFormatVersion = 1;

    // Checks made before SQLite is allowed to open the file: it exists, is a regular
    // readable file, starts with the SQLite signature, has a plausible header, and carries
    // our application id and a format version we know. Only reads the first 100 bytes.
    static Status inspect(const QString& path);

    // Creates an empty archive at path. Refuses (kFileExists) when anything is there
    // already; a half-made file is removed again.
    static Status create(const QString& path);

    // Full check for the tool: inspect(), SQLite's integrity check, the table, fields and
    // index. Opens the file read-only. notes gets Italian lines about what was found.
    static Status verify(const QString& path, QStringList* notes);
};

}  // namespace archive
