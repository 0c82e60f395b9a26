// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "archive/sqlitearchive.h"

#include <sqlite3.h>
#include <unistd.h>

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <algorithm>
#include <iterator>

#include "archive/archivefile.h"
#include "archive/namekey.h"
#include "archive/sqliteconnection.h"

namespace archive {

namespace {

#define ROW_COLUMNS "SELECT id, nome, giuste, sbagliate, data FROM tempar "

const char kRowByKey[] = ROW_COLUMNS "WHERE chiave = ?1 ORDER BY id LIMIT 1";
const char kRowsWithoutKey[] = ROW_COLUMNS "WHERE chiave IS NULL ORDER BY id";
const char kEveryRow[] = ROW_COLUMNS "ORDER BY id";
const char kIndexExists[] =
    "SELECT 1 FROM sqlite_master WHERE type = 'index' AND tbl_name = 'tempar' AND name = 'nome'";
const QString kDateFormat = QStringLiteral("yyyy-MM-ddTHH:mm:ss");
constexpr int kDateLength = 10;  // "yyyy-MM-dd", before the time

// The parameters of a row's fields, as the statements writing them number them.
enum FieldParameter {
    kNomeParameter = 1,
    kChiaveParameter,
    kGiusteParameter,
    kSbagliateParameter,
    kDataParameter,
    kIdParameter
};

// The parameters of a placement, in the order of its fields.
enum AnswerParameter {
    kAlunnoParameter = 1,
    kGiroParameter,
    kNumeroParameter,
    kFattoParameter,
    kInsiemeParameter,
    kManoParameter,
    kEtichettaParameter,
    kGiustaParameter,
    kPrimaParameter,
    kQuandoParameter
};

// Stored local times read back as moments. Turning a local time into a moment has the C
// library look at the system's time zone again every time where TZ is not set (some 20 µs),
// which a report over millions of placements feels: the offset from UTC is worked out once
// for each hour the times fall in (clocks change on the hour), and the reverse way, from a
// moment to local time, costs nothing of the kind.
class StoredTimes {
public:
    QDateTime moment(const QString& text) {
        constexpr int kHourLength = 13;  // "yyyy-MM-ddTHH"
        const QDate day = QDate::fromString(text.left(kDateLength), Qt::ISODate);
        const QTime time = text.size() == kDateFormat.size() && text.at(kDateLength) == u'T'
                               ? QTime::fromString(text.mid(kDateLength + 1), Qt::ISODate)
                               : QTime();
        if (!day.isValid() || !time.isValid()) {
            return QDateTime::fromString(text, kDateFormat);
        }
        const QString hour = text.left(kHourLength);
        auto offset = m_offsets.constFind(hour);
        if (offset == m_offsets.cend()) {
            offset = m_offsets.insert(hour, QDateTime(day, QTime(time.hour(), 0)).offsetFromUtc());
        }
        return QDateTime::fromSecsSinceEpoch(
            QDateTime(day, time, Qt::UTC).toSecsSinceEpoch() - *offset);
    }

private:
    QHash<QString, int> m_offsets;
};

// An archive locked by another program when it is opened is not given its table of
// placements then: the pupil does not wait for it (the next opening tries again).
constexpr int kAddAnswersWaitMs = 1000;

// The stored text of "data" as a QDateTime; anything else comes back as it is.
QVariant presentDate(const QVariant& stored) {
    if (stored.typeId() != QMetaType::QString) {
        return stored;
    }
    QString text = stored.toString();
    // The sqlite3 program's datetime() form has a space between date and time.
    if (text.size() > kDateLength && text.at(kDateLength) == QLatin1Char(' ')) {
        text[kDateLength] = QLatin1Char('T');
    }
    const QDateTime when = QDateTime::fromString(text, Qt::ISODate);
    return when.isValid() ? QVariant(when) : stored;
}

// The pragma's single result as text, or a failure.
Status pragmaValue(SqliteConnection& connection, const char* sql, QString* value) {
    return connection.withStatement(sql, [&](SqliteStatement& statement) {
        const int rc = statement.step();
        if (rc == SQLITE_ROW) {
            *value = statement.text(0);
        }
        return rc == SQLITE_ROW ? Status() : connection.done(rc);
    });
}

Status readOnlyFailure(int code, const QString& path) {
    return sqliteFailure(
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

// An archive made before placements were kept gains their table, or is left as it is when
// it cannot (locked, a full disk): the totals are stored as ever. Gives why not, or empty.
QString giveAnswersTable(SqliteConnection& connection, const OpenOptions& options) {
    bool present = false;
    Status status = ArchiveFile::hasAnswers(connection, &present);
    if (status.ok() && !present) {
        sqlite3_busy_timeout(connection.handle(),
                             std::min(kAddAnswersWaitMs, options.busyTimeoutMs));
        status = ArchiveFile::addAnswers(connection);
        sqlite3_busy_timeout(connection.handle(), options.busyTimeoutMs);
    }
    if (status.ok()) {
        return QString();
    }
    return QStringLiteral(
               "Le risposte date negli esercizi non vengono conservate: non si è potuta "
               "aggiungere all'archivio %1 la tabella delle risposte (%2). I risultati si "
               "salvano come sempre; la tabella viene aggiunta alla prossima apertura.")
        .arg(connection.fileName(), status.cause());
}

}  // namespace

struct SqliteArchive::Row {
    qint64 id = 0;
    QVariant nome;
    StoredRow fields;  // data as stored: read as a date only when asked for

    static Row from(const SqliteStatement& statement) {
        Row row;
        row.id = statement.int64(0);
        if (!statement.isNull(1)) {
            row.nome = statement.text(1);
        }
        row.fields = {row.nome, statement.variant(2), statement.variant(3), statement.variant(4)};
        return row;
    }
};

SqliteArchive::SqliteArchive(std::unique_ptr<SqliteConnection> connection)
    : m_connection(std::move(connection)) {}

SqliteArchive::~SqliteArchive() = default;

void SqliteArchive::limitWait(int ms) {
    sqlite3_busy_timeout(m_connection->handle(), ms);
}

std::unique_ptr<SqliteArchive> SqliteArchive::open(const QString& path, Status* status,
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
        // overwrite it. Keys are set right before any lookup uses them.
        KeyReport report;
        *status = ArchiveFile::checkKeys(*connection, true, &report);
    }
    if (!status->ok()) {
        return nullptr;
    }
    auto archive = std::unique_ptr<SqliteArchive>(new SqliteArchive(std::move(connection)));
    if (!options.readOnly) {
        archive->m_answersNotKept = giveAnswersTable(*archive->m_connection, options);
    }
    return archive;
}

Status SqliteArchive::countNames(int* count) {
    return m_connection->withStatement("SELECT count(*) FROM tempar WHERE nome IS NOT NULL",
                                       [&](SqliteStatement& statement) {
                                           const int rc = statement.step();
                                           if (rc != SQLITE_ROW) {
                                               return m_connection->failure(rc);
                                           }
                                           *count = static_cast<int>(statement.int64(0));
                                           return Status();
                                       });
}

Status SqliteArchive::readNames(int first, int count, std::vector<NamedRow>* rows) {
    // A page that follows the last one read continues from its last id, so reading the list
    // from the top costs one pass; a jump into the middle skips rows once.
    const bool follows = first > 0 && first == m_nextListed && m_lastListedId > 0;
    const char* sql = follows ? "SELECT id, nome FROM tempar WHERE nome IS NOT NULL "
                                "AND id > ?1 ORDER BY id LIMIT ?2"
                              : "SELECT id, nome FROM tempar WHERE nome IS NOT NULL "
                                "ORDER BY id LIMIT ?2 OFFSET ?1";
    return m_connection->withStatement(sql, [&](SqliteStatement& statement) {
        statement.bindInt64(1, follows ? m_lastListedId : first);
        statement.bindInt64(2, count);
        std::vector<NamedRow> page;
        page.reserve(static_cast<std::size_t>(count));
        qint64 lastId = 0;
        int rc;
        while ((rc = statement.step()) == SQLITE_ROW) {
            lastId = statement.int64(0);
            page.push_back({lastId, statement.text(1)});
        }
        if (rc != SQLITE_DONE) {
            m_nextListed = -1;
            return m_connection->failure(rc);
        }
        m_nextListed = first + static_cast<int>(page.size());
        m_lastListedId = lastId;
        *rows = std::move(page);
        return Status();
    });
}

Status SqliteArchive::checkIndex() {
    if (m_indexChecked) {
        return Status();
    }
    return m_connection->withStatement(kIndexExists, [&](SqliteStatement& statement) {
        const int rc = statement.step();
        if (rc == SQLITE_DONE) {
            // The file lacks what every archive has.
            return Status::own(
                Status::kWrongLayout,
                QStringLiteral("%1: manca l'indice nome").arg(m_connection->fileName()));
        }
        if (rc != SQLITE_ROW) {
            return m_connection->failure(rc);
        }
        m_indexChecked = true;
        return Status();
    });
}

Status SqliteArchive::lookUpByKey(const QString& wanted, Row* row) {
    return m_connection->withStatement(kRowByKey, [&](SqliteStatement& statement) {
        statement.bindText(1, wanted);
        const int rc = statement.step();
        if (rc == SQLITE_ROW) {
            *row = Row::from(statement);
            return Status();
        }
        return m_connection->done(rc);
    });
}

Status SqliteArchive::rowsWithoutKey(const QString& wanted, qint64 except, bool all,
                                     std::vector<Row>* rows) {
    return m_connection->withStatement(kRowsWithoutKey, [&](SqliteStatement& statement) {
        int rc;
        while ((rc = statement.step()) == SQLITE_ROW) {
            if (statement.int64(0) != except && !statement.isNull(1) &&
                nameKey(statement.text(1)) == wanted) {
                rows->push_back(Row::from(statement));
                if (!all) {
                    return Status();
                }
            }
        }
        return m_connection->done(rc);
    });
}

Status SqliteArchive::lookUp(const QString& name, Row* row) {
    *row = Row();
    Status status = checkIndex();
    if (!status.ok()) {
        return status;
    }
    const QString wanted = nameKey(name);
    status = lookUpByKey(wanted, row);
    if (status.ok() && row->id != 0 &&
        (row->nome.isNull() || nameKey(row->nome.toString()) != wanted)) {
        // The name was changed from outside since the archive was opened: the row is not
        // this name's. Keys are set right and the name is looked up again.
        KeyReport report;
        *row = Row();
        status = ArchiveFile::checkKeys(*m_connection, true, &report);
        if (status.ok()) {
            status = lookUpByKey(wanted, row);
        }
    }
    if (!status.ok() || row->id != 0) {
        return status;
    }
    // Rows written from outside without a key: compare their names here. The index finds
    // them directly, so this costs nothing when there are none.
    std::vector<Row> found;
    status = rowsWithoutKey(wanted, 0, false, &found);
    if (status.ok() && !found.empty()) {
        *row = std::move(found.front());
    }
    return status;
}

Status SqliteArchive::add(const QString& name) {
    SqliteConnection& connection = *m_connection;
    return connection.write([&]() {
        return connection.withStatement("INSERT INTO tempar (nome, chiave) VALUES (?1, ?2)",
                                        [&](SqliteStatement& statement) {
                                            statement.bindText(1, name);
                                            statement.bindText(2, nameKey(name));
                                            return connection.done(statement.step());
                                        });
    });
}

Status SqliteArchive::lookUpAll(const QString& name, std::vector<Row>* rows) {
    rows->clear();
    Row first;
    Status status = lookUp(name, &first);
    if (!status.ok() || first.id == 0) {
        return status;
    }
    rows->push_back(first);
    // Others are rows without a key (the first holds it, or is one of them).
    return rowsWithoutKey(nameKey(name), first.id, true, rows);
}

Status SqliteArchive::rowsNamed(const QString& name, std::vector<NamedRow>* rows) {
    rows->clear();
    std::vector<Row> found;
    Status status = lookUpAll(name, &found);
    std::transform(found.begin(), found.end(), std::back_inserter(*rows), [](const Row& row) {
        return NamedRow{row.id, row.nome.toString()};
    });
    std::sort(rows->begin(), rows->end(),
              [](const NamedRow& a, const NamedRow& b) { return a.id < b.id; });
    return status;
}

Status SqliteArchive::writeTotals(qint64 id, const QString& name, qint64 right, qint64 given,
                                  const QDateTime& when, const RunAnswers& answers) {
    // A row whose name another row's key already stands for stays without a key.
    Status status = m_connection->withStatement(
        "UPDATE tempar SET nome = ?1, chiave = CASE WHEN EXISTS (SELECT 1 FROM tempar o "
        "WHERE o.chiave = ?2 AND o.id <> ?6) THEN NULL ELSE ?2 END, "
        "giuste = ?3, sbagliate = ?4, data = ?5 WHERE id = ?6",
        [&](SqliteStatement& statement) {
            statement.bindText(kNomeParameter, name);
            statement.bindText(kChiaveParameter, nameKey(name));
            statement.bindInt64(kGiusteParameter, right);
            statement.bindInt64(kSbagliateParameter, given);
            statement.bindText(kDataParameter, when.toLocalTime().toString(kDateFormat));
            statement.bindInt64(kIdParameter, id);
            return m_connection->done(statement.step());
        });
    if (!status.ok()) {
        return status;
    }
    // Deleted by another program since the lookup.
    if (sqlite3_changes(m_connection->handle()) != 1) {
        return Status::own(Status::kRowGone);
    }
    return addAnswers(id, answers);
}

Status SqliteArchive::addAnswers(qint64 id, const RunAnswers& answers) {
    if (answers.run == 0 || answers.answers.empty() || !m_answersNotKept.isEmpty()) {
        return Status();
    }
    // The run's placements are stored in order, all those of one store together, so those
    // there already are the first ones; the key would refuse any of them a second time.
    qint64 next = 0;
    Status status = m_connection->withStatement(
        "SELECT coalesce(max(numero) + 1, 0) FROM risposte WHERE alunno = ?1 AND giro = ?2",
        [&](SqliteStatement& statement) {
            statement.bindInt64(1, id);
            statement.bindInt64(2, answers.run);
            const int rc = statement.step();
            if (rc != SQLITE_ROW) {
                return m_connection->failure(rc);
            }
            next = statement.int64(0);
            return Status();
        });
    if (!status.ok()) {
        return status;
    }
    return m_connection->withStatement(
        "INSERT OR IGNORE INTO risposte (alunno, giro, numero, fatto, insieme, mano, etichetta,"
        " giusta, prima, quando) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10)",
        [&](SqliteStatement& statement) {
            for (auto i = static_cast<std::size_t>(next); i < answers.answers.size(); ++i) {
                const Answer& answer = answers.answers[i];
                const SqliteStatement::Use use(statement);
                statement.bindInt64(kAlunnoParameter, id);
                statement.bindInt64(kGiroParameter, answers.run);
                statement.bindInt64(kNumeroParameter, static_cast<qint64>(i));
                statement.bindInt64(kFattoParameter, answer.tableRow);
                statement.bindInt64(kInsiemeParameter, answer.setCode);
                statement.bindInt64(kManoParameter, answer.deal);
                statement.bindText(kEtichettaParameter, answer.label);
                statement.bindInt64(kGiustaParameter, answer.right ? 1 : 0);
                statement.bindInt64(kPrimaParameter, answer.firstOnBox ? 1 : 0);
                statement.bindText(kQuandoParameter,
                                   answer.when.toLocalTime().toString(kDateFormat));
                const int rc = statement.step();
                if (rc != SQLITE_DONE) {
                    return m_connection->failure(rc);
                }
            }
            return Status();
        });
}

Status SqliteArchive::removeAnswersBefore(const QDate& day, qint64* removed) {
    *removed = 0;
    return m_connection->write([&]() {
        return m_connection->withStatement(
            "DELETE FROM risposte WHERE quando < ?1", [&](SqliteStatement& statement) {
                statement.bindText(1, QDateTime(day, QTime(0, 0)).toString(kDateFormat));
                Status status = m_connection->done(statement.step());
                *removed = sqlite3_changes64(m_connection->handle());
                return status;
            });
    });
}

Status SqliteArchive::store(const QString& name, qint64 right, qint64 given, const QDateTime& when,
                            const RunAnswers& answers) {
    std::vector<Row> rows;
    Status status = lookUpAll(name, &rows);
    if (!status.ok()) {
        return status;
    }
    if (rows.empty()) {
        return Status::own(Status::kNoCurrentRow, name);
    }
    if (rows.size() > 1) {
        std::vector<NamedRow> named;
        rowsNamed(name, &named);
        return sameNameFailure(named);
    }
    return m_connection->write(
        [&]() { return writeTotals(rows.front().id, name, right, given, when, answers); });
}

Status SqliteArchive::storeRow(qint64 id, const QString& name, qint64 right, qint64 given,
                               const QDateTime& when, const RunAnswers& answers) {
    return m_connection->write([&]() {
        Status status = m_connection->withStatement(
            "SELECT nome FROM tempar WHERE id = ?1", [&](SqliteStatement& statement) {
                statement.bindInt64(1, id);
                const int rc = statement.step();
                if (rc == SQLITE_DONE) {
                    return Status::own(Status::kRowGone);
                }
                if (rc != SQLITE_ROW) {
                    return m_connection->failure(rc);
                }
                if (statement.isNull(0) || nameKey(statement.text(0)) != nameKey(name)) {
                    return Status::own(Status::kNoCurrentRow, name);
                }
                return Status();
            });
        return status.ok() ? writeTotals(id, name, right, given, when, answers) : status;
    });
}

Status SqliteArchive::readRow(qint64 id, Outcome* outcome) {
    *outcome = Outcome();
    return m_connection->withStatement(
        ROW_COLUMNS "WHERE id = ?1", [&](SqliteStatement& statement) {
            statement.bindInt64(1, id);
            const int rc = statement.step();
            if (rc == SQLITE_ROW) {
                const Row row = Row::from(statement);
                *outcome = {true, row.fields.giuste, row.fields.sbagliate,
                            presentDate(row.fields.data)};
                return Status();
            }
            return m_connection->done(rc);
        });
}

Status SqliteArchive::lookUpName(const QString& name, bool withTotals, Outcome* outcome) {
    Row row;
    Status status = lookUp(name, &row);
    if (status.ok() && row.id != 0) {
        *outcome = withTotals ? Outcome{true, row.fields.giuste, row.fields.sbagliate,
                                        presentDate(row.fields.data)}
                              : Outcome{true, {}, {}, {}};
    }
    return status;
}

Status SqliteArchive::insertRows(const std::vector<StoredRow>& rows) {
    SqliteConnection& connection = *m_connection;
    return connection.write([&]() {
        return connection.withStatement(
            "INSERT INTO tempar (nome, chiave, giuste, sbagliate, data) "
            "VALUES (?1, ?2, ?3, ?4, ?5)",
            [&](SqliteStatement& statement) {
                QSet<QString> keys;
                for (const StoredRow& row : rows) {
                    const SqliteStatement::Use use(statement);
                    statement.bind(kNomeParameter, row.nome);
                    if (!row.nome.isNull()) {
                        const QString key = nameKey(row.nome.toString());
                        if (!keys.contains(key)) {
                            keys.insert(key);
                            statement.bindText(kChiaveParameter, key);
                        }
                    }
                    statement.bind(kGiusteParameter, row.giuste);
                    statement.bind(kSbagliateParameter, row.sbagliate);
                    if (row.data.typeId() == QMetaType::QDateTime) {
                        statement.bindText(
                            kDataParameter,
                            row.data.toDateTime().toLocalTime().toString(kDateFormat));
                    } else {
                        statement.bind(kDataParameter, row.data);
                    }
                    const int rc = statement.step();
                    if (rc != SQLITE_DONE) {
                        return connection.failure(rc);
                    }
                }
                return Status();
            });
    });
}

Status SqliteArchive::everyRow(std::vector<StoredRow>* rows) {
    return m_connection->withStatement(kEveryRow, [&](SqliteStatement& statement) {
        int rc;
        while ((rc = statement.step()) == SQLITE_ROW) {
            StoredRow row = Row::from(statement).fields;
            row.data = presentDate(row.data);
            rows->push_back(std::move(row));
        }
        return m_connection->done(rc);
    });
}

Status SqliteArchive::everyAnswer(const AnswerVisitor& each) {
    // A placement's rowid follows the order they were stored in.
    return m_connection->withStatement(
        "SELECT t.nome, r.giro, r.fatto, r.insieme, r.mano, r.etichetta, r.giusta, r.prima, "
        "r.quando FROM risposte r JOIN tempar t ON t.id = r.alunno ORDER BY r.rowid",
        [&](SqliteStatement& statement) {
            StoredTimes times;
            int rc;
            while ((rc = statement.step()) == SQLITE_ROW) {
                const Answer answer{static_cast<int>(statement.int64(2)),
                                    static_cast<int>(statement.int64(3)),
                                    static_cast<int>(statement.int64(4)),
                                    statement.text(5),
                                    statement.int64(6) != 0,
                                    statement.int64(7) != 0,
                                    times.moment(statement.text(8))};
                each(statement.text(0), statement.int64(1), answer);
            }
            return m_connection->done(rc);
        });
}

Status SqliteArchive::readDealing(Dealing* dealing) {
    *dealing = Dealing();
    bool present = false;
    Status status = ArchiveFile::hasTable(*m_connection, "impostazioni", &present);
    if (!status.ok() || !present) {
        return status;
    }
    std::vector<std::pair<QString, QString>> rows;
    status = m_connection->withStatement(
        "SELECT chiave, valore FROM impostazioni", [&](SqliteStatement& statement) {
            int rc;
            while ((rc = statement.step()) == SQLITE_ROW) {
                rows.emplace_back(statement.text(0), statement.text(1));
            }
            return m_connection->done(rc);
        });
    if (status.ok()) {
        *dealing = dealingFrom(rows);
    }
    return status;
}

Status SqliteArchive::writeDealing(const Dealing& dealing) {
    return m_connection->write([&]() {
        Status status = m_connection->exec(
            "CREATE TABLE IF NOT EXISTS impostazioni (chiave TEXT PRIMARY KEY, valore TEXT)");
        for (const std::pair<QString, QString>& row : dealingRows(dealing)) {
            if (!status.ok()) {
                break;
            }
            status = m_connection->withStatement(
                "INSERT OR REPLACE INTO impostazioni (chiave, valore) VALUES (?1, ?2)",
                [&](SqliteStatement& statement) {
                    statement.bindText(1, row.first);
                    statement.bindText(2, row.second);
                    return m_connection->done(statement.step());
                });
        }
        return status;
    });
}

Status SqliteArchive::firstAnswers(qint64 id, std::vector<DayAnswer>* answers) {
    answers->clear();
    bool present = false;
    Status status = ArchiveFile::hasAnswers(*m_connection, &present);
    if (!status.ok() || !present) {
        return status;
    }
    // The table's key starts with the pupil's row, so only their placements are read. The
    // day is the local date that starts the stored time: no time zone to look up.
    return m_connection->withStatement(
        "SELECT fatto, giusta, substr(quando, 1, 10) FROM risposte "
        "WHERE alunno = ?1 AND prima <> 0 ORDER BY quando, rowid",
        [&](SqliteStatement& statement) {
            statement.bindInt64(1, id);
            int rc;
            while ((rc = statement.step()) == SQLITE_ROW) {
                answers->push_back({static_cast<int>(statement.int64(0)),
                                    statement.int64(1) != 0,
                                    QDate::fromString(statement.text(2), Qt::ISODate)});
            }
            return m_connection->done(rc);
        });
}

}  // namespace archive
