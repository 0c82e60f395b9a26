#pragma once

#include <QString>
#include <memory>

#include "archive/recordset.h"
#include "archive/status.h"

namespace archive {

class SqliteConnection;

struct OpenOptions {
    // Read-only handles are for inspecting an archive (the command-line tool); the program
    // always opens for reading and writing.
    bool readOnly = false;
    // How long an operation waits for a file that another program keeps locked before it
    // fails with SQLite's "database is locked" (5).
    int busyTimeoutMs = 5000;
};

// An open archive file. Opening never creates anything, and a file that fails the checks
// of ArchiveFile::inspect() is never handed to SQLite.
class Database {
public:
    ~Database();

    static std::unique_ptr<Database> open(const QString& path, Status* status,
                                          const OpenOptions& options = {});

    // A cursor over every row of table "tempar", in insertion order, positioned on the
    // first row when there is one. It shares this handle's connection and stays usable
    // after this Database has been closed or destroyed.
    std::unique_ptr<Recordset> openRecordset(const QString& table, Status* status);

    // Lets go of the connection. Every saved row is already in the file (each save commits
    // before it returns), so nothing is lost; cursors opened from here keep working.
    Status close();

    const QString& path() const { return m_path; }

private:
    Database(std::shared_ptr<SqliteConnection> connection, QString path);

    std::shared_ptr<SqliteConnection> m_connection;
    QString m_path;
};

}  // namespace archive
