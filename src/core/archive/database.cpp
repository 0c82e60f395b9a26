#include "archive/database.h"

#include <sqlite3.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>

#include "archive/archivefile.h"
#include "archive/sqliteconnection.h"

namespace archive {

namespace {

// The pragma's single result as text, or a failure.
Status pragmaValue(SqliteConnection& connection, const char* sql, QString* value) {
    Status status;
    SqliteStatement* statement = connection.cached(sql, &status);
    if (!statement) {
        return status;
    }
    SqliteStatement::Use use(*statement);
    const int rc = statement->step();
    if (rc != SQLITE_ROW) {
        return rc == SQLITE_DONE ? Status() : connection.failure(rc);
    }
    *value = statement->text(0);
    return Status();
}

Status readOnlyFailure(int code, const QString& path) {
    return Status::engine(
        code, QStringLiteral("%1 (%2)").arg(QString::fromUtf8(sqlite3_errstr(code)), path));
}

// Settings that live in the connection or, for the journal mode, in the file itself (so a
// file last used by another program may come with another mode): set at every open and
// read back.
//
// Rollback journal (DELETE) rather than WAL: WAL needs shared memory between the programs
// using the file, which network shares do not give. synchronous = EXTRA: with a rollback
// journal, FULL syncs the journal and the file but not the deletion of the journal, and
// after a power cut the journal could come back and undo a save that had been reported
// done; EXTRA also syncs the folder, so a save is durable when it returns.
Status forceSafeWrites(SqliteConnection& connection) {
    QString mode;
    Status status = pragmaValue(connection, "PRAGMA journal_mode = DELETE", &mode);
    if (!status.ok()) {
        return status;
    }
    if (mode.compare(QLatin1String("delete"), Qt::CaseInsensitive) != 0) {
        return Status::own(Status::kSettingRefused, QStringLiteral("journal_mode %1").arg(mode));
    }
    status = connection.exec("PRAGMA synchronous = EXTRA");
    QString sync;
    if (status.ok()) {
        status = pragmaValue(connection, "PRAGMA synchronous", &sync);
    }
    if (!status.ok()) {
        return status;
    }
    if (sync != QLatin1String("3")) {
        return Status::own(Status::kSettingRefused, QStringLiteral("synchronous %1").arg(sync));
    }
    return Status();
}

}  // namespace

Database::Database(std::shared_ptr<SqliteConnection> connection, QString path)
    : m_connection(std::move(connection)), m_path(std::move(path)) {}

Database::~Database() = default;

std::unique_ptr<Database> Database::open(const QString& path, Status* status,
                                         const OpenOptions& options) {
    *status = ArchiveFile::inspect(path);
    if (!status->ok()) {
        return nullptr;
    }
    auto connection = SqliteConnection::open(path, options.readOnly, options.busyTimeoutMs, status);
    if (!connection) {
        return nullptr;
    }
    if (!options.readOnly) {
        // Every run of the program writes, so a file or folder it cannot write is reported
        // now, with the number SQLite would give at the first save. (Running as root, both
        // are writable, as they are for SQLite.)
        const QFileInfo info(path);
        if (sqlite3_db_readonly(connection->handle(), "main") == 1) {
            *status = readOnlyFailure(SQLITE_READONLY, info.absoluteFilePath());
            return nullptr;
        }
        if (::access(QFile::encodeName(info.absolutePath()).constData(), W_OK) != 0) {
            *status = readOnlyFailure(SQLITE_READONLY_DIRECTORY, info.absolutePath());
            return nullptr;
        }
    }
    // The first read takes the shared lock (waiting for a writer up to the busy timeout)
    // and loads the schema, so a locked or damaged file is reported here.
    QString tables;
    *status = pragmaValue(*connection, "SELECT count(*) FROM sqlite_master", &tables);
    if (status->ok() && !options.readOnly) {
        *status = forceSafeWrites(*connection);
    }
    if (status->ok() && !options.readOnly) {
        // A name changed from outside (the sqlite3 program) leaves its old key behind: the
        // row could no longer be found by its name, and the old name would find it and
        // overwrite it. Keys are set right before any cursor uses them.
        KeyReport report;
        *status = ArchiveFile::checkKeys(*connection, true, &report);
    }
    if (!status->ok()) {
        return nullptr;
    }
    return std::unique_ptr<Database>(new Database(std::move(connection), path));
}

std::unique_ptr<Recordset> Database::openRecordset(const QString& table, Status* status) {
    if (!m_connection) {
        *status = Status::own(Status::kClosed, m_path);
        return nullptr;
    }
    if (table.compare(QLatin1String("tempar"), Qt::CaseInsensitive) != 0) {
        *status = Status::own(Status::kUnknownTable, table);
        return nullptr;
    }
    std::unique_ptr<Recordset> recordset(new Recordset(m_connection));
    *status = recordset->start();
    if (!status->ok()) {
        return nullptr;
    }
    return recordset;
}

Status Database::close() {
    m_connection.reset();
    return Status();
}

}  // namespace archive
