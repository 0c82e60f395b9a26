#include "archive/recordset.h"

#include <sqlite3.h>

#include <QDateTime>
#include <algorithm>
#include <cmath>

#include "archive/archivefile.h"
#include "archive/namekey.h"
#include "archive/sqliteconnection.h"

namespace archive {

namespace {

#define ROW_COLUMNS "SELECT id, nome, giuste, sbagliate, data, chiave IS NULL FROM tempar "

const char kFirstRows[] = ROW_COLUMNS "ORDER BY id LIMIT ?1";
const char kRowsAfter[] = ROW_COLUMNS "WHERE id > ?1 ORDER BY id LIMIT ?2";
const char kLastRow[] = ROW_COLUMNS "ORDER BY id DESC LIMIT 1";
const char kRowById[] = ROW_COLUMNS "WHERE id = ?1";
const char kRowByKey[] = ROW_COLUMNS "WHERE chiave = ?1 ORDER BY id LIMIT 1";
const char kRowsWithoutKey[] = ROW_COLUMNS "WHERE chiave IS NULL ORDER BY id";
const char kKeyOrder[] = "SELECT id FROM tempar ORDER BY chiave, id";
const char kCount[] = "SELECT count(*) FROM tempar";
const char kInsert[] =
    "INSERT INTO tempar (nome, chiave, giuste, sbagliate, data) VALUES (?1, ?2, ?3, ?4, ?5)";
const char kIndexExists[] =
    "SELECT 1 FROM sqlite_master WHERE type = 'index' AND tbl_name = 'tempar' AND name = 'nome'";

constexpr int kFirstBatch = 32;
constexpr int kLargestBatch = 4096;
const char* const kFieldNames[] = {"nome", "giuste", "sbagliate", "data"};
const QString kDateFormat = QStringLiteral("yyyy-MM-ddTHH:mm:ss");

// The stored text of "data" as a QDateTime; anything else comes back as it is.
QVariant presentDate(const QVariant& stored) {
    if (stored.typeId() != QMetaType::QString) {
        return stored;
    }
    QString text = stored.toString();
    if (text.size() > 10 && text.at(10) == QLatin1Char(' ')) {
        text[10] = QLatin1Char('T');  // the sqlite3 program's datetime() form
    }
    const QDateTime when = QDateTime::fromString(text, Qt::ISODate);
    return when.isValid() ? QVariant(when) : stored;
}

bool isNumber(const QVariant& value) {
    switch (value.typeId()) {
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Double:
        case QMetaType::Float:
        case QMetaType::QString:
            return true;
        default:
            return false;
    }
}

// A count as a whole number that a double holds exactly, or nothing. Integers, and text
// that spells one, are checked as integers: in a double 2^53 + 1 would already have become
// 2^53 and passed.
std::optional<qlonglong> wholeNumber(const QVariant& value) {
    constexpr qlonglong kLargest = qlonglong(1) << 53;
    bool ok = false;
    qlonglong whole = 0;
    switch (value.typeId()) {
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
            whole = value.toLongLong(&ok);
            break;
        case QMetaType::ULongLong: {
            const qulonglong unsignedWhole = value.toULongLong(&ok);
            ok = ok && unsignedWhole <= static_cast<qulonglong>(kLargest);
            whole = ok ? static_cast<qlonglong>(unsignedWhole) : 0;
            break;
        }
        case QMetaType::QString:
            whole = value.toString().trimmed().toLongLong(&ok);
            break;
        default:
            break;
    }
    if (!ok && isNumber(value)) {
        const double number = value.toDouble(&ok);
        if (!ok || !std::isfinite(number) || number != std::trunc(number) ||
            std::fabs(number) > static_cast<double>(kLargest)) {
            return std::nullopt;
        }
        whole = static_cast<qlonglong>(number);
    }
    if (!ok || whole < -kLargest || whole > kLargest) {
        return std::nullopt;
    }
    return whole;
}

// The value as the field stores it, or nothing when the field cannot hold it.
std::optional<QVariant> storedForm(int field, const QVariant& value) {
    if (value.isNull()) {
        return QVariant();
    }
    switch (field) {
        case 0:  // nome
            if (value.typeId() == QMetaType::QString || value.typeId() == QMetaType::QChar ||
                isNumber(value)) {
                return QVariant(value.toString());
            }
            return std::nullopt;
        case 1:    // giuste
        case 2: {  // sbagliate
            const std::optional<qlonglong> number = wholeNumber(value);
            return number ? std::optional<QVariant>(QVariant(*number)) : std::nullopt;
        }
        default: {  // data
            QDateTime when;
            if (value.typeId() == QMetaType::QDateTime) {
                when = value.toDateTime();
            } else if (value.typeId() == QMetaType::QDate) {
                when = value.toDate().startOfDay();
            } else if (value.typeId() == QMetaType::QString) {
                when = presentDate(value).toDateTime();
            }
            if (!when.isValid()) {
                return std::nullopt;
            }
            return QVariant(when.toLocalTime().toString(kDateFormat));
        }
    }
}

}  // namespace

Recordset::Recordset(std::shared_ptr<SqliteConnection> connection)
    : m_connection(std::move(connection)) {}

Recordset::~Recordset() = default;

int Recordset::fieldIndex(const QString& field) {
    for (int i = 0; i < kFieldCount; ++i) {
        if (field.compare(QLatin1String(kFieldNames[i]), Qt::CaseInsensitive) == 0) {
            return i;
        }
    }
    return -1;
}

Status Recordset::prepare(const char* sql, SqliteStatement** statement) const {
    Status status;
    *statement = m_connection->cached(sql, &status);
    return status;
}

Recordset::Row Recordset::readRow(const SqliteStatement& statement) {
    Row row;
    row.id = statement.int64(0);
    if (!statement.isNull(1)) {
        row.fields[kNome] = statement.text(1);
    }
    row.fields[kGiuste] = statement.variant(2);
    row.fields[kSbagliate] = statement.variant(3);
    row.fields[kData] = statement.variant(4);
    row.keyMissing = statement.int64(5) != 0;
    return row;
}

Status Recordset::fetch(SqliteStatement& statement, std::vector<Row>* rows) const {
    int rc;
    while ((rc = statement.step()) == SQLITE_ROW) {
        rows->push_back(readRow(statement));
    }
    return rc == SQLITE_DONE ? Status() : m_connection->failure(rc);
}

Status Recordset::start() {
    Status status = countRows();
    if (status.ok()) {
        status = loadBatch(true);
    }
    if (!status.ok()) {
        return status;
    }
    if (m_batch.empty()) {
        m_bof = m_eof = true;
        return Status();
    }
    standOn(std::move(m_batch[m_batchNext++]));
    return Status();
}

Status Recordset::countRows() {
    SqliteStatement* statement = nullptr;
    Status status = prepare(kCount, &statement);
    if (!status.ok()) {
        return status;
    }
    SqliteStatement::Use use(*statement);
    const int rc = statement->step();
    if (rc != SQLITE_ROW) {
        return m_connection->failure(rc);
    }
    m_count = statement->int64(0);
    return Status();
}

Status Recordset::loadBatch(bool fromStart) {
    // Small at first, so opening a cursor for one lookup reads little; growing, so a walk
    // over many rows costs few queries.
    m_batchSize = fromStart ? kFirstBatch : std::clamp(m_batchSize * 2, kFirstBatch, kLargestBatch);
    m_batch.clear();
    m_batchNext = 0;
    m_batchVersion = SqliteConnection::writeVersion();
    SqliteStatement* statement = nullptr;
    Status status = prepare(fromStart ? kFirstRows : kRowsAfter, &statement);
    if (!status.ok()) {
        return status;
    }
    SqliteStatement::Use use(*statement);
    if (fromStart) {
        statement->bindInt64(1, m_batchSize);
    } else {
        statement->bindInt64(1, m_current.id);
        statement->bindInt64(2, m_batchSize);
    }
    m_batch.reserve(static_cast<std::size_t>(m_batchSize));
    return fetch(*statement, &m_batch);
}

Status Recordset::loadKeyOrder() {
    SqliteStatement* statement = nullptr;
    Status status = prepare(kKeyOrder, &statement);
    if (!status.ok()) {
        return status;
    }
    SqliteStatement::Use use(*statement);
    m_keyOrder.clear();
    int rc;
    while ((rc = statement->step()) == SQLITE_ROW) {
        m_keyOrder.push_back(statement->int64(0));
    }
    if (rc != SQLITE_DONE) {
        return m_connection->failure(rc);
    }
    m_keyOrderValid = true;
    m_keyPos = 0;
    return Status();
}

Status Recordset::loadById(qint64 id, bool* found) {
    SqliteStatement* statement = nullptr;
    Status status = prepare(kRowById, &statement);
    if (!status.ok()) {
        return status;
    }
    SqliteStatement::Use use(*statement);
    statement->bindInt64(1, id);
    std::vector<Row> rows;
    status = fetch(*statement, &rows);
    *found = status.ok() && !rows.empty();
    if (*found) {
        standOn(std::move(rows.front()));
    }
    return status;
}

void Recordset::standOn(Row row) {
    m_current = std::move(row);
    m_onRow = true;
    m_bof = m_eof = false;
}

void Recordset::standNowhere() {
    m_onRow = false;
    m_batch.clear();
    m_batchNext = 0;
}

void Recordset::cancelEdit() {
    m_editing = Editing::None;
    m_pending = {};
}

Status Recordset::setIndex(const QString& name) {
    if (name.compare(QLatin1String("nome"), Qt::CaseInsensitive) != 0) {
        return Status::own(Status::kUnknownIndex, name);
    }
    SqliteStatement* statement = nullptr;
    Status status = prepare(kIndexExists, &statement);
    if (!status.ok()) {
        return status;
    }
    SqliteStatement::Use use(*statement);
    const int rc = statement->step();
    if (rc == SQLITE_DONE) {
        // The name is right; the file lacks what every archive has.
        return Status::own(Status::kWrongLayout,
                           QStringLiteral("%1: manca l'indice %2")
                               .arg(m_connection->fileName(), name));
    }
    if (rc != SQLITE_ROW) {
        return m_connection->failure(rc);
    }
    m_indexed = true;
    m_keyOrderValid = false;
    return Status();
}

Status Recordset::seek(const QString& comparison, const QString& key) {
    if (comparison.trimmed() != QLatin1String("=")) {
        return Status::own(Status::kBadComparison, comparison);
    }
    if (!m_indexed) {
        return Status::own(Status::kNoIndex);
    }
    cancelEdit();
    standNowhere();
    m_keyOrderValid = false;
    m_noMatch = true;
    const QString wanted = nameKey(key);

    SqliteStatement* statement = nullptr;
    Status status = prepare(kRowByKey, &statement);
    if (!status.ok()) {
        return status;
    }
    std::vector<Row> rows;
    {
        SqliteStatement::Use use(*statement);
        statement->bindText(1, wanted);
        status = fetch(*statement, &rows);
    }
    if (status.ok() && !rows.empty() &&
        (rows.front().fields[kNome].isNull() ||
         nameKey(rows.front().fields[kNome].toString()) != wanted)) {
        // The name was changed from outside since the archive was opened: the row is not
        // this name's. Keys are set right and the name is looked up again, so that nothing
        // is ever written to another pupil's row.
        KeyReport report;
        status = ArchiveFile::checkKeys(*m_connection, true, &report);
        rows.clear();
        if (status.ok()) {
            SqliteStatement::Use use(*statement);
            statement->bindText(1, wanted);
            status = fetch(*statement, &rows);
        }
    }
    if (!status.ok()) {
        return status;
    }
    if (rows.empty()) {
        // Rows written from outside without a key: compare their names here. The index
        // finds them directly, so this costs nothing when there are none.
        status = prepare(kRowsWithoutKey, &statement);
        if (!status.ok()) {
            return status;
        }
        SqliteStatement::Use use(*statement);
        int rc;
        while ((rc = statement->step()) == SQLITE_ROW) {
            if (!statement->isNull(1) && nameKey(statement->text(1)) == wanted) {
                rows.push_back(readRow(*statement));
                break;
            }
        }
        if (rc != SQLITE_ROW && rc != SQLITE_DONE) {
            return m_connection->failure(rc);
        }
    }
    if (!rows.empty()) {
        m_noMatch = false;
        standOn(std::move(rows.front()));
    }
    return Status();
}

Status Recordset::moveFirst() {
    cancelEdit();
    Status status;
    if (m_indexed) {
        status = loadKeyOrder();
        bool found = false;
        while (status.ok() && !found && m_keyPos < m_keyOrder.size()) {
            status = loadById(m_keyOrder[m_keyPos], &found);
            if (!found) {
                ++m_keyPos;
            }
        }
        if (status.ok() && !found) {
            standNowhere();
            m_bof = m_eof = true;
        }
        return status;
    }
    status = loadBatch(true);
    if (!status.ok()) {
        return status;
    }
    if (m_batch.empty()) {
        standNowhere();
        m_bof = m_eof = true;
        return Status();
    }
    standOn(std::move(m_batch[m_batchNext++]));
    return Status();
}

Status Recordset::moveLast() {
    cancelEdit();
    Status status = countRows();
    if (!status.ok()) {
        return status;
    }
    if (m_indexed) {
        status = loadKeyOrder();
        bool found = false;
        m_keyPos = m_keyOrder.size();
        while (status.ok() && !found && m_keyPos > 0) {
            --m_keyPos;
            status = loadById(m_keyOrder[m_keyPos], &found);
        }
        if (status.ok() && !found) {
            standNowhere();
            m_bof = m_eof = true;
        }
        return status;
    }
    SqliteStatement* statement = nullptr;
    status = prepare(kLastRow, &statement);
    if (!status.ok()) {
        return status;
    }
    std::vector<Row> rows;
    {
        SqliteStatement::Use use(*statement);
        status = fetch(*statement, &rows);
    }
    if (!status.ok()) {
        return status;
    }
    standNowhere();
    if (rows.empty()) {
        m_bof = m_eof = true;
    } else {
        standOn(std::move(rows.front()));
    }
    return Status();
}

Status Recordset::moveNext() {
    if (!m_onRow) {
        return Status::own(Status::kNoCurrentRow);
    }
    cancelEdit();
    if (m_indexed) {
        Status status;
        if (!m_keyOrderValid) {
            // The cursor got here by a seek: find its place in the key order.
            status = loadKeyOrder();
            if (!status.ok()) {
                return status;
            }
            const auto place = std::find(m_keyOrder.begin(), m_keyOrder.end(), m_current.id);
            m_keyPos = static_cast<std::size_t>(place - m_keyOrder.begin());
        }
        bool found = false;
        while (status.ok() && !found && ++m_keyPos < m_keyOrder.size()) {
            status = loadById(m_keyOrder[m_keyPos], &found);
        }
        if (status.ok() && !found) {
            standNowhere();
            m_eof = true;
        }
        return status;
    }
    if (m_batchNext >= m_batch.size() || m_batchVersion != SqliteConnection::writeVersion()) {
        Status status = loadBatch(false);
        if (!status.ok()) {
            return status;
        }
    }
    if (m_batchNext >= m_batch.size()) {
        standNowhere();
        m_eof = true;
        return Status();
    }
    standOn(std::move(m_batch[m_batchNext++]));
    return Status();
}

Status Recordset::value(const QString& field, QVariant* out) const {
    const int index = fieldIndex(field);
    if (index < 0) {
        return Status::own(Status::kUnknownField, field);
    }
    QVariant stored;
    if (m_editing != Editing::None && m_pending[index].has_value()) {
        stored = *m_pending[index];
    } else if (m_editing == Editing::Adding) {
        stored = QVariant();
    } else if (m_onRow) {
        stored = m_current.fields[index];
    } else {
        return Status::own(Status::kNoCurrentRow);
    }
    *out = index == kData ? presentDate(stored) : stored;
    return Status();
}

Status Recordset::addNew() {
    cancelEdit();
    m_editing = Editing::Adding;
    return Status();
}

Status Recordset::edit() {
    cancelEdit();
    if (!m_onRow) {
        return Status::own(Status::kNoCurrentRow);
    }
    m_editing = Editing::Changing;
    return Status();
}

Status Recordset::setValue(const QString& field, const QVariant& value) {
    if (m_editing == Editing::None) {
        return Status::own(Status::kNotEditing);
    }
    const int index = fieldIndex(field);
    if (index < 0) {
        return Status::own(Status::kUnknownField, field);
    }
    std::optional<QVariant> stored = storedForm(index, value);
    if (!stored) {
        return Status::own(Status::kWrongValue,
                           QStringLiteral("%1 := %2").arg(field, value.toString().left(40)));
    }
    m_pending[index] = std::move(stored);
    return Status();
}

Status Recordset::update() {
    if (m_editing == Editing::None) {
        return Status::own(Status::kNotEditing);
    }
    SqliteConnection& connection = *m_connection;
    if (m_editing == Editing::Adding) {
        const QVariant nome = m_pending[kNome].value_or(QVariant());
        Status status = connection.write([&]() -> Status {
            SqliteStatement* statement = nullptr;
            Status inner = prepare(kInsert, &statement);
            if (!inner.ok()) {
                return inner;
            }
            SqliteStatement::Use use(*statement);
            statement->bind(1, nome);
            statement->bind(2, nome.isNull() ? QVariant() : QVariant(nameKey(nome.toString())));
            for (int field = kGiuste; field < kFieldCount; ++field) {
                statement->bind(field + 2, m_pending[field].value_or(QVariant()));
            }
            const int rc = statement->step();
            return rc == SQLITE_DONE ? Status() : connection.failure(rc);
        });
        if (status.ok()) {
            ++m_count;
            cancelEdit();
        }
        return status;
    }

    // Changing: write only the fields that were set, and the key whenever the name is
    // written or the row came from outside without one.
    QVariant nome = m_current.fields[kNome];
    const bool writeName = m_pending[kNome].has_value();
    if (writeName) {
        nome = *m_pending[kNome];
    }
    const bool writeKey = writeName || (m_current.keyMissing && !nome.isNull());
    QByteArray sql("UPDATE tempar SET ");
    QList<QVariant> values;
    auto assign = [&](const char* column, const QVariant& value) {
        if (!values.isEmpty()) {
            sql += ", ";
        }
        values.append(value);
        sql += column;
        sql += " = ?" + QByteArray::number(values.size());
    };
    if (writeName) {
        assign("nome", nome);
    }
    if (writeKey) {
        assign("chiave", nome.isNull() ? QVariant() : QVariant(nameKey(nome.toString())));
    }
    for (int field = kGiuste; field < kFieldCount; ++field) {
        if (m_pending[field].has_value()) {
            assign(kFieldNames[field], *m_pending[field]);
        }
    }
    if (values.isEmpty()) {
        cancelEdit();
        return Status();
    }
    sql += " WHERE id = ?" + QByteArray::number(values.size() + 1);
    const qint64 id = m_current.id;
    Status status = connection.write([&]() -> Status {
        SqliteStatement* statement = nullptr;
        Status inner = prepare(sql.constData(), &statement);
        if (!inner.ok()) {
            return inner;
        }
        SqliteStatement::Use use(*statement);
        for (int i = 0; i < values.size(); ++i) {
            statement->bind(i + 1, values[i]);
        }
        statement->bindInt64(static_cast<int>(values.size()) + 1, id);
        const int rc = statement->step();
        if (rc != SQLITE_DONE) {
            return connection.failure(rc);
        }
        return sqlite3_changes(connection.handle()) == 1 ? Status() : Status::own(Status::kRowGone);
    });
    if (status.ok()) {
        for (int field = 0; field < kFieldCount; ++field) {
            if (m_pending[field].has_value()) {
                m_current.fields[field] = *m_pending[field];
            }
        }
        m_current.keyMissing = nome.isNull();
        cancelEdit();
    }
    return status;
}

}  // namespace archive
