#include "archive/archivefile.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QtEndian>
#include <cerrno>
#include <cstring>

#include "archive/namekey.h"
#include "archive/sqliteconnection.h"

namespace archive {

namespace {

constexpr char kSignature[] = "SQLite format 3";  // with its NUL, the first 16 bytes
constexpr int kHeaderSize = 100;

QString shown(const QString& path) {
    return QFileInfo(path).absoluteFilePath();
}

// Fields of the database header that SQLite itself insists on; a file that starts with the
// signature but breaks them is damaged, not foreign.
bool plausibleHeader(const QByteArray& header) {
    const auto* bytes = reinterpret_cast<const uchar*>(header.constData());
    const quint32 pageSize = qFromBigEndian<quint16>(bytes + 16);
    const bool pageSizeOk =
        pageSize == 1 || (pageSize >= 512 && pageSize <= 32768 && (pageSize & (pageSize - 1)) == 0);
    return pageSizeOk && bytes[21] == 64 && bytes[22] == 32 && bytes[23] == 32;
}

const char kSchema[] =
    "BEGIN;"
    "CREATE TABLE tempar (id INTEGER PRIMARY KEY, nome TEXT, chiave TEXT, giuste INTEGER,"
    " sbagliate INTEGER, data TEXT);"
    "CREATE UNIQUE INDEX nome ON tempar (chiave);"
    "PRAGMA application_id = 1414548562;"
    "PRAGMA user_version = 1;"
    "COMMIT;";
static_assert(ArchiveFile::kApplicationId == 1414548562u && ArchiveFile::kFormatVersion == 1);

// Runs a query and gives back the rows' first column as text.
Status firstColumn(SqliteConnection& connection, const char* sql, QStringList* out) {
    Status status;
    SqliteStatement* statement = connection.cached(sql, &status);
    if (!statement) {
        return status;
    }
    SqliteStatement::Use use(*statement);
    int rc;
    while ((rc = statement->step()) == SQLITE_ROW) {
        out->append(statement->text(0));
    }
    return rc == SQLITE_DONE ? Status() : connection.failure(rc);
}

}  // namespace

Status ArchiveFile::inspect(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) {
        return Status::own(Status::kFileMissing, shown(path));
    }
    if (!info.isFile()) {
        return Status::own(Status::kNotAFile, shown(path));
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return Status::own(Status::kFileUnreadable,
                           QStringLiteral("%1: %2").arg(shown(path), file.errorString()));
    }
    const QByteArray header = file.read(kHeaderSize);
    if (header.isEmpty()) {
        return Status::own(Status::kEmptyFile, shown(path));
    }
    if (header.size() < 16 || std::memcmp(header.constData(), kSignature, 16) != 0) {
        return Status::own(Status::kForeignFile, shown(path));
    }
    if (header.size() < kHeaderSize || !plausibleHeader(header)) {
        return Status::own(Status::kDamagedHeader, shown(path));
    }
    const auto* bytes = reinterpret_cast<const uchar*>(header.constData());
    const auto version = qFromBigEndian<quint32>(bytes + 60);
    const auto applicationId = qFromBigEndian<quint32>(bytes + 68);
    if (applicationId != kApplicationId || version == 0) {
        return Status::own(Status::kNotOurArchive, shown(path));
    }
    if (version > kFormatVersion) {
        return Status::own(Status::kNewerArchive,
                           QStringLiteral("versione %1, questo programma conosce fino alla %2")
                               .arg(version)
                               .arg(kFormatVersion));
    }
    return Status();
}

Status ArchiveFile::create(const QString& path) {
    const QByteArray encoded = QFile::encodeName(path);
    // O_EXCL: whatever is at the path (file, folder, link) stays as it is.
    const int fd = ::open(encoded.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        const int error = errno;
        return Status::own(
            error == EEXIST ? Status::kFileExists : Status::kCannotCreate,
            QStringLiteral("%1: %2").arg(shown(path), QString::fromLocal8Bit(strerror(error))));
    }
    ::close(fd);

    // SQLite takes an empty file as a new database, so the CREATE flag is never needed.
    Status status;
    {
        auto connection = SqliteConnection::open(path, false, 5000, &status);
        if (connection) {
            status = connection->exec("PRAGMA journal_mode = DELETE; PRAGMA synchronous = EXTRA;");
        }
        if (status.ok()) {
            status = connection->exec(kSchema);
        }
    }
    if (!status.ok()) {
        QFile::remove(path);
        QFile::remove(path + QStringLiteral("-journal"));
    }
    return status;
}

Status ArchiveFile::verify(const QString& path, QStringList* notes) {
    Status status = inspect(path);
    if (!status.ok()) {
        return status;
    }
    auto connection = SqliteConnection::open(path, true, 5000, &status);
    if (!connection) {
        return status;
    }
    QStringList problems;
    status = firstColumn(*connection, "PRAGMA integrity_check", &problems);
    if (!status.ok()) {
        return status;
    }
    if (problems != QStringList{QStringLiteral("ok")}) {
        return Status::engine(SQLITE_CORRUPT, QStringLiteral("%1: %2").arg(
                                                  QString::fromUtf8(sqlite3_errstr(SQLITE_CORRUPT)),
                                                  problems.mid(0, 5).join(QStringLiteral("; "))));
    }

    QStringList columns;
    status = firstColumn(*connection, "SELECT name FROM pragma_table_info('tempar')", &columns);
    if (!status.ok()) {
        return status;
    }
    for (const char* wanted : {"id", "nome", "chiave", "giuste", "sbagliate", "data"}) {
        if (!columns.contains(QLatin1String(wanted))) {
            return Status::own(
                Status::kWrongLayout,
                columns.isEmpty() ? QStringLiteral("manca la tabella tempar")
                                  : QStringLiteral("manca il campo %1").arg(QLatin1String(wanted)));
        }
    }
    QStringList indexed;
    status =
        firstColumn(*connection,
                    "SELECT ii.name FROM pragma_index_list('tempar') AS il,"
                    " pragma_index_info(il.name) AS ii WHERE il.name = 'nome' AND il.\"unique\"",
                    &indexed);
    if (!status.ok()) {
        return status;
    }
    if (indexed != QStringList{QStringLiteral("chiave")}) {
        return Status::own(Status::kWrongLayout, QStringLiteral("manca l'indice unico nome"));
    }

    // Rows written from outside the program: still usable, but worth a note.
    SqliteStatement* rows = connection->cached("SELECT nome, chiave FROM tempar", &status);
    if (!rows) {
        return status;
    }
    qint64 count = 0;
    qint64 withoutName = 0;
    qint64 withoutKey = 0;
    qint64 staleKey = 0;
    {
        SqliteStatement::Use use(*rows);
        int rc;
        while ((rc = rows->step()) == SQLITE_ROW) {
            ++count;
            if (rows->isNull(0)) {
                ++withoutName;
            } else if (rows->isNull(1)) {
                ++withoutKey;
            } else if (rows->text(1) != nameKey(rows->text(0))) {
                ++staleKey;
            }
        }
        if (rc != SQLITE_DONE) {
            return connection->failure(rc);
        }
    }
    notes->append(QStringLiteral("Alunni registrati: %1.").arg(count));
    if (withoutName > 0) {
        notes->append(
            QStringLiteral("Righe senza nome (non si possono elencare): %1.").arg(withoutName));
    }
    if (withoutKey > 0) {
        notes->append(
            QStringLiteral("Righe senza chiave, aggiunte da fuori (si trovano lo stesso): %1.")
                .arg(withoutKey));
    }
    if (staleKey > 0) {
        notes->append(
            QStringLiteral("Righe con una chiave che non corrisponde al nome (nome cambiato da "
                           "fuori senza cancellare la chiave): %1.")
                .arg(staleKey));
    }
    return Status();
}

}  // namespace archive
