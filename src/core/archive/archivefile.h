// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <vector>

#include "archive/status.h"

namespace archive {

// The archive's file format: an SQLite 3 file marked with our application id and format
// version, holding the table `tempar` and the unique index `nome` on its key column.
//
//   tempar(id INTEGER PRIMARY KEY, nome TEXT, chiave TEXT, giuste INTEGER,
//          sbagliate INTEGER, data TEXT)
//   UNIQUE INDEX nome ON tempar(chiave)
//   risposte(alunno INTEGER, giro INTEGER, numero INTEGER, fatto INTEGER, insieme INTEGER,
//            mano INTEGER, etichetta TEXT, giusta INTEGER, prima INTEGER, quando TEXT,
//            PRIMARY KEY (alunno, giro, numero))
//
// `id` gives the listing order (insertion order, kept by VACUUM because it is explicit).
// `chiave` holds nameKey(nome); it is plain text, so the standard sqlite3 program can read
// and write the file. A row written there without `chiave` (NULL) is still listed and found
// by the program, which compares those rows' names itself. `data` is local time written
// 'YYYY-MM-DDTHH:MM:SS'.
//
// `risposte` keeps every judged placement: `alunno` is the pupil's tempar.id (so a name
// changed from outside keeps its placements), `giro` the run's id, `numero` the placement's
// place in the run from 0, then the fact's row in the fact table, the set, the deal, the
// date placed, right (1) or wrong (0), whether it was the first on that box in that deal,
// and `quando` in the form of `data`.
//
// `impostazioni(chiave TEXT PRIMARY KEY, valore TEXT)`, made by the tool when the teacher
// first chooses how the facts are dealt (archive::Dealing), holds that choice. A file
// without it deals as designed.
class SqliteConnection;

// What a look at the key column found: rows whose key is not the key of their name, and
// names that share one key (names equal but for letter case or invisible characters).
struct KeyReport {
    qint64 rows = 0;
    qint64 withoutName = 0;  // rows that cannot be listed or found
    qint64 withoutKey = 0;   // named rows without a key that could take one (added from outside)
    qint64 staleKey = 0;     // a key that is not its name's (name changed from outside)
    qint64 changed = 0;      // rows whose key was set right
    qint64 tooLong = 0;      // rows whose name the server archive does not list (too long)
    // One entry per shared key: the names of the rows, in insertion order. The first row
    // holds the key and is the one found; the others keep their names and results but are
    // left without a key, and are never merged into it.
    QList<QStringList> sameKey;
    QList<QList<qint64>> sameKeyIds;  // the same rows' ids, in the same order
};

// One row as key planning sees it.
struct KeyedRow {
    qint64 id = 0;
    QVariant key;   // as stored
    QVariant want;  // what it should be: the name's key, or null when another row keeps it
    QString name;
    bool named = false;
};

// Works out the key every row should have (rows in insertion order) and fills the report,
// except `changed`. The row that holds a key already keeps it; otherwise the oldest takes it.
void planKeyedRows(std::vector<KeyedRow>* rows, KeyReport* report);

class ArchiveFile {
public:
    static constexpr quint32 kApplicationId = 0x54504c52;  // "TPLR"
    static constexpr quint32 kFormatVersion = 1;

    // Checks made before SQLite is allowed to open the file: it exists, is a regular
    // readable file, starts with the SQLite signature, has a plausible header, and carries
    // our application id and a format version we know. Only reads the first 100 bytes.
    static Status inspect(const QString& path);

    // Creates an empty archive at path. Refuses (kFileExists) when anything is there
    // already. The archive is built under a hidden temporary name beside path and given
    // its name in one step once it is whole and on disk, so path holds either nothing or a
    // whole archive, even if the process is killed. beforePublish, when given, runs just
    // before that step (tests interrupt the creation there).
    static Status create(const QString& path, const std::function<void()>& beforePublish = {});

    // Whether the file has the table of placements (archives made before it have not).
    static Status hasAnswers(SqliteConnection& connection, bool* present);
    // Adds it, in one transaction; rows of tempar are not touched.
    static Status addAnswers(SqliteConnection& connection);
    // Whether the file has the table (of placements, of settings) of that name.
    static Status hasTable(SqliteConnection& connection, const char* table, bool* present);

    // Compares every row's key with the key of its name. With repair, sets each wrong or
    // missing key right in one transaction (taken only when something is wrong); rows
    // without a name, and every row but the first of a shared key, are left without a key
    // so that they cannot stand in the way of another name. A file without the table or
    // its key column is left alone (its layout is reported where the table is used).
    static Status checkKeys(SqliteConnection& connection, bool repair, KeyReport* report);
};

}  // namespace archive
