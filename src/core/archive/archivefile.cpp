// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "archive/archivefile.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRandomGenerator>
#include <QSet>
#include <QtEndian>
#include <algorithm>
#include <cerrno>
#include <cstdio>  // renameat2
#include <cstring>

#include "archive/namekey.h"
#include "archive/sqliteconnection.h"

namespace archive {

namespace {

constexpr char kSignature[] = "SQLite format 3";  // with its NUL, the first 16 bytes
constexpr int kSignatureSize = 16;
constexpr int kHeaderSize = 100;
// Where the header keeps its fields (big-endian), and the values SQLite insists on.
constexpr int kPageSizeAt = 16;
constexpr int kMaxPayloadFractionAt = 21;
constexpr int kMinPayloadFractionAt = 22;
constexpr int kLeafPayloadFractionAt = 23;
constexpr uchar kMaxPayloadFraction = 64;
constexpr uchar kPayloadFraction = 32;
constexpr quint32 kSmallestPageSize = 512;
constexpr quint32 kLargestPageSize = 32768;
constexpr quint32 kPageSizeOf65536 = 1;  // the one size that does not fit in two bytes
constexpr int kFormatVersionAt = 60;     // user_version
constexpr int kApplicationIdAt = 68;     // application_id
// Nobody else knows the temporary file an archive is created in: its lock is never waited
// for long.
constexpr int kCreationBusyTimeoutMs = 5000;
// The temporary name: random, in base 36, tried this many times; the file readable and
// writable by all, less the user's umask.
constexpr int kNameAttempts = 100;
constexpr int kNameBase = 36;
constexpr mode_t kNewFileMode = 0666;

QString shown(const QString& path) {
    return QFileInfo(path).absoluteFilePath();
}

// Fields of the database header that SQLite itself insists on; a file that starts with the
// signature but breaks them is damaged, not foreign.
bool plausibleHeader(const QByteArray& header) {
    const auto* bytes = reinterpret_cast<const uchar*>(header.constData());
    const quint32 pageSize = qFromBigEndian<quint16>(bytes + kPageSizeAt);
    const bool pageSizeOk = pageSize == kPageSizeOf65536 ||
                            (pageSize >= kSmallestPageSize && pageSize <= kLargestPageSize &&
                             (pageSize & (pageSize - 1)) == 0);
    return pageSizeOk && bytes[kMaxPayloadFractionAt] == kMaxPayloadFraction &&
           bytes[kMinPayloadFractionAt] == kPayloadFraction &&
           bytes[kLeafPayloadFractionAt] == kPayloadFraction;
}

// Archives made before placements were kept lack it; the format version stays 1, so that
// older copies of the program still open the file (they never look at this table).
#define ANSWERS_TABLE                                                                      \
    "CREATE TABLE IF NOT EXISTS risposte (alunno INTEGER NOT NULL, giro INTEGER NOT NULL," \
    " numero INTEGER NOT NULL, fatto INTEGER NOT NULL, insieme INTEGER NOT NULL,"          \
    " mano INTEGER NOT NULL, etichetta TEXT NOT NULL, giusta INTEGER NOT NULL,"            \
    " prima INTEGER NOT NULL, quando TEXT NOT NULL, PRIMARY KEY (alunno, giro, numero))"

const char kSchema[] =
    "BEGIN;"
    "CREATE TABLE tempar (id INTEGER PRIMARY KEY, nome TEXT, chiave TEXT, giuste INTEGER,"
    " sbagliate INTEGER, data TEXT);"
    "CREATE UNIQUE INDEX nome ON tempar (chiave);" ANSWERS_TABLE
    ";"
    "PRAGMA application_id = 1414548562;"
    "PRAGMA user_version = 1;"
    "COMMIT;";
// NOLINTNEXTLINE(readability-magic-numbers): the number the schema above states
static_assert(ArchiveFile::kApplicationId == 1414548562u && ArchiveFile::kFormatVersion == 1);

}  // namespace

Status ArchiveFile::inspect(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) {
        if (info.isSymLink()) {
            return Status::own(Status::kDanglingLink,
                               QStringLiteral("%1 → %2").arg(shown(path), info.symLinkTarget()));
        }
        // A folder on the way that this user may not enter (another pupil's private folder)
        // hides the file: it is there, and cannot be read.
        struct stat found {};
        if (::stat(QFile::encodeName(path).constData(), &found) != 0 && errno == EACCES) {
            return Status::own(
                Status::kFileUnreadable,
                QStringLiteral("%1: una cartella del percorso non si può aprire (permesso negato)")
                    .arg(shown(path)));
        }
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
    if (header.size() < kSignatureSize ||
        std::memcmp(header.constData(), kSignature, kSignatureSize) != 0) {
        return Status::own(Status::kForeignFile, shown(path));
    }
    if (header.size() < kHeaderSize || !plausibleHeader(header)) {
        return Status::own(Status::kDamagedHeader, shown(path));
    }
    const auto* bytes = reinterpret_cast<const uchar*>(header.constData());
    const auto version = qFromBigEndian<quint32>(bytes + kFormatVersionAt);
    const auto applicationId = qFromBigEndian<quint32>(bytes + kApplicationIdAt);
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

namespace {

Status cannotCreate(const QString& path, int error) {
    return Status::own(
        error == EEXIST ? Status::kFileExists : Status::kCannotCreate,
        QStringLiteral("%1: %2").arg(shown(path), QString::fromLocal8Bit(strerror(error))));
}

// Makes a finished file and the folder entry that names it durable.
bool syncPath(const QByteArray& path, int flags) {
    const int fd = ::open(path.constData(), flags | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool synced = ::fsync(fd) == 0;
    return ::close(fd) == 0 && synced;
}

// Gives the finished file at from the name to, never replacing anything that is there:
// a hard link where the file system has them, else a rename that refuses an existing name.
int publish(const QByteArray& from, const QByteArray& to) {
    if (::link(from.constData(), to.constData()) == 0) {
        ::unlink(from.constData());
        return 0;
    }
    if (errno == EEXIST) {
        return EEXIST;
    }
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) ==
        0) {
        return 0;
    }
    return errno;
}

}  // namespace

Status ArchiveFile::create(const QString& path, const std::function<void()>& beforePublish) {
    const QFileInfo info(path);
    if (info.exists() || info.isSymLink()) {
        return cannotCreate(path, EEXIST);
    }
    // The archive is made under a temporary name in the same folder and given its name only
    // once it is whole, so an interrupted creation never leaves a half-made archive there.
    const QByteArray folder = QFile::encodeName(info.absolutePath());
    // O_EXCL with 0666 rather than mkstemp's 0600: the archive gets the permissions the
    // user's umask gives every new file, as a class sharing one folder expects.
    QByteArray temporary;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < kNameAttempts; ++attempt) {
        temporary = folder + "/." + QFile::encodeName(info.fileName()) + ".crea-" +
                    QByteArray::number(QRandomGenerator::global()->generate(), kNameBase);
        fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kNewFileMode);
        if (fd < 0 && errno != EEXIST) {
            break;
        }
    }
    if (fd < 0) {
        return cannotCreate(path, errno == EEXIST ? EAGAIN : errno);
    }
    ::close(fd);
    const QString temporaryName = QFile::decodeName(temporary);

    // SQLite takes an empty file as a new database, so the CREATE flag is never needed.
    Status status;
    {
        auto connection =
            SqliteConnection::open(temporaryName, false, kCreationBusyTimeoutMs, &status);
        if (connection) {
            status = connection->exec("PRAGMA journal_mode = DELETE; PRAGMA synchronous = EXTRA;");
        }
        if (status.ok()) {
            status = connection->exec(kSchema);
        }
    }
    if (status.ok() && !syncPath(temporary, O_RDONLY)) {
        status = cannotCreate(path, errno);
    }
    if (status.ok()) {
        if (beforePublish) {
            beforePublish();
        }
        const int error = publish(temporary, QFile::encodeName(info.absoluteFilePath()));
        if (error != 0) {
            status = cannotCreate(path, error);
        } else if (!syncPath(folder, O_RDONLY | O_DIRECTORY)) {
            status = cannotCreate(path, errno);
        }
    }
    if (!status.ok()) {
        QFile::remove(temporaryName);
        QFile::remove(temporaryName + QStringLiteral("-journal"));
    }
    return status;
}

namespace {

// Reads every row and works out the key each should have.
Status planKeys(SqliteConnection& connection, std::vector<KeyedRow>* rows, KeyReport* report) {
    rows->clear();
    Status status = connection.withStatement(
        "SELECT id, nome, chiave FROM tempar ORDER BY id", [&](SqliteStatement& statement) {
            int rc;
            while ((rc = statement.step()) == SQLITE_ROW) {
                KeyedRow row;
                row.id = statement.int64(0);
                row.named = !statement.isNull(1);
                if (row.named) {
                    row.name = statement.text(1);
                }
                if (!statement.isNull(2)) {
                    row.key = statement.text(2);
                }
                rows->push_back(std::move(row));
            }
            return connection.done(rc);
        });
    if (status.ok()) {
        planKeyedRows(rows, report);
    }
    return status;
}

// True when every named row holds its name's key and no nameless row holds one. Keys are
// unique, so rows that all hold their own keys cannot share one.
Status keysAllRight(SqliteConnection& connection, bool* allRight) {
    *allRight = true;
    return connection.withStatement(
        "SELECT nome, chiave FROM tempar", [&](SqliteStatement& statement) {
            int rc;
            while ((rc = statement.step()) == SQLITE_ROW) {
                if (statement.isNull(0) != statement.isNull(1) ||
                    (!statement.isNull(0) && nameKey(statement.text(0)) != statement.text(1))) {
                    *allRight = false;
                    return Status();
                }
            }
            return connection.done(rc);
        });
}

bool needsChange(const KeyedRow& row) {
    return row.key.isNull() != row.want.isNull() || row.key.toString() != row.want.toString();
}

Status runOnRow(SqliteConnection& connection, const char* sql, const QVariant& key, qint64 id) {
    return connection.withStatement(sql, [&](SqliteStatement& statement) {
        statement.bind(1, key);
        statement.bindInt64(2, id);
        return connection.done(statement.step());
    });
}

}  // namespace

void planKeyedRows(std::vector<KeyedRow>* rows, KeyReport* report) {
    *report = KeyReport();
    report->rows = static_cast<qint64>(rows->size());
    QHash<QString, std::vector<std::size_t>> byKey;
    std::vector<QString> order;  // keys in the order of their first row
    for (std::size_t i = 0; i < rows->size(); ++i) {
        KeyedRow& row = (*rows)[i];
        if (!row.named) {
            ++report->withoutName;
            continue;
        }
        const QString want = nameKey(row.name);
        if (!row.key.isNull() && row.key.toString() != want) {
            ++report->staleKey;
        }
        auto& group = byKey[want];
        if (group.empty()) {
            order.push_back(want);
        }
        group.push_back(i);
    }
    for (const QString& want : order) {
        const std::vector<std::size_t>& group = byKey[want];
        // The row that holds the key already keeps it; otherwise the oldest row takes it.
        std::size_t holder = group.front();
        for (std::size_t i : group) {
            if ((*rows)[i].key.toString() == want && !(*rows)[i].key.isNull()) {
                holder = i;
            }
        }
        (*rows)[holder].want = want;
        // A row left without a key because another holds it is no fault of its key.
        if ((*rows)[holder].key.isNull()) {
            ++report->withoutKey;
        }
        if (group.size() > 1) {
            QStringList names{(*rows)[holder].name};
            QList<qint64> ids{(*rows)[holder].id};
            for (std::size_t i : group) {
                if (i != holder) {
                    names.append((*rows)[i].name);
                    ids.append((*rows)[i].id);
                }
            }
            report->sameKey.append(names);
            report->sameKeyIds.append(ids);
        }
    }
}

Status ArchiveFile::hasAnswers(SqliteConnection& connection, bool* present) {
    return hasTable(connection, "risposte", present);
}

Status ArchiveFile::hasTable(SqliteConnection& connection, const char* table, bool* present) {
    *present = false;
    return connection.withStatement(
        "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?1",
        [&](SqliteStatement& statement) {
            statement.bindText(1, QString::fromLatin1(table));
            const int rc = statement.step();
            *present = rc == SQLITE_ROW;
            return rc == SQLITE_ROW ? Status() : connection.done(rc);
        });
}

Status ArchiveFile::addAnswers(SqliteConnection& connection) {
    return connection.write([&]() { return connection.exec(ANSWERS_TABLE); });
}

Status ArchiveFile::checkKeys(SqliteConnection& connection, bool repair, KeyReport* report) {
    *report = KeyReport();
    QStringList columns;
    Status status =
        connection.firstColumn("SELECT name FROM pragma_table_info('tempar')", &columns);
    if (!status.ok() || !columns.contains(QStringLiteral("nome")) ||
        !columns.contains(QStringLiteral("chiave"))) {
        return status;
    }
    if (repair) {
        // The usual case, every key right, is told by one pass that keeps nothing.
        bool allRight = false;
        status = keysAllRight(connection, &allRight);
        if (!status.ok() || allRight) {
            return status;
        }
    }
    std::vector<KeyedRow> rows;
    if (!repair) {
        return planKeys(connection, &rows, report);
    }
    // Planned inside the transaction, on the rows as they are when the write lock is held.
    qint64 changed = 0;
    status = connection.write([&]() -> Status {
        Status inner = planKeys(connection, &rows, report);
        changed = 0;
        // Every key that changes is cleared first, so that no row's new key collides with
        // the old key of a row that has yet to change.
        for (const KeyedRow& row : rows) {
            if (inner.ok() && needsChange(row) && !row.key.isNull()) {
                inner = runOnRow(connection, "UPDATE tempar SET chiave = ?1 WHERE id = ?2",
                                 QVariant(), row.id);
            }
        }
        for (const KeyedRow& row : rows) {
            if (inner.ok() && needsChange(row)) {
                ++changed;
                if (!row.want.isNull()) {
                    inner = runOnRow(connection, "UPDATE tempar SET chiave = ?1 WHERE id = ?2",
                                     row.want, row.id);
                }
            }
        }
        return inner;
    });
    if (status.ok()) {
        report->changed = changed;
    }
    return status;
}

}  // namespace archive
