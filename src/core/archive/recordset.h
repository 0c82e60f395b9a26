#pragma once

#include <QString>
#include <QVariant>
#include <array>
#include <memory>
#include <optional>
#include <vector>

#include "archive/status.h"

namespace archive {

class SqliteConnection;
class SqliteStatement;

// A cursor over every row of table `tempar`, updatable.
//
// Row order: insertion order; once the index "nome" is chosen, moves follow the key order
// instead (rows written from outside without a key first). Rows are read in batches, so
// a row changed by another program shows its new values when the cursor next reads it
// from the file (at the next batch, seek or moveFirst/moveLast); a row saved through any
// cursor of this process is seen at once by every cursor.
//
// Fields: "nome" (text), "giuste" and "sbagliate" (whole numbers), "data" (date and time,
// to the second). A value never stored reads as a null QVariant, never as 0 or "".
class Recordset {
public:
    ~Recordset();
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    // Only "nome", the index on the pupil name's key.
    Status setIndex(const QString& name);
    // Only "=": stands on the row whose name has the key nameKey(key); sets noMatch. When
    // nothing matches, the cursor stands on no row.
    Status seek(const QString& comparison, const QString& key);
    bool noMatch() const { return m_noMatch; }

    bool bof() const { return m_bof; }  // true right after opening when there are no rows
    bool eof() const { return m_eof; }  // true once moveNext has moved past the last row
    Status moveFirst();
    Status moveLast();
    Status moveNext();
    // Rows in the table: counted at opening and at moveLast, and counting rows added here.
    qint64 recordCount() const { return m_count; }

    // nome as QString; giuste and sbagliate as qlonglong (a non-whole number written from
    // outside comes as double); data as QDateTime in local time (text that is not a date,
    // written from outside, comes as it is). While adding or changing a row, the value
    // written so far.
    Status value(const QString& field, QVariant* out) const;

    // Starts a new row; its fields stay missing unless written. The cursor keeps its place.
    Status addNew();
    // Starts changing the current row; fails with kNoCurrentRow when there is none.
    Status edit();
    // nome: text; giuste and sbagliate: whole numbers (double, int or numeric text); data:
    // QDateTime (or QDate, or ISO text). A null QVariant makes the field missing.
    Status setValue(const QString& field, const QVariant& value);
    // Saves the new or changed row in one transaction; durable when it returns. After a
    // change the cursor stays on the row; after an addition it stays where it was.
    Status update();

private:
    friend class Database;

    enum Field { kNome, kGiuste, kSbagliate, kData, kFieldCount };
    enum class Editing { None, Adding, Changing };
    struct Row {
        qint64 id = 0;
        std::array<QVariant, kFieldCount> fields;  // as stored: data stays text
        bool keyMissing = false;                   // written from outside without a key
    };

    explicit Recordset(std::shared_ptr<SqliteConnection> connection);
    Status start();

    static int fieldIndex(const QString& field);
    Status prepare(const char* sql, SqliteStatement** statement) const;
    static Row readRow(const SqliteStatement& statement);
    // Runs a row query with its parameters bound; appends every row to rows.
    Status fetch(SqliteStatement& statement, std::vector<Row>* rows) const;
    Status countRows();
    Status loadBatch(bool fromStart);
    Status loadKeyOrder();
    Status loadById(qint64 id, bool* found);
    void standOn(Row row);
    void standNowhere();
    void cancelEdit();

    std::shared_ptr<SqliteConnection> m_connection;
    bool m_indexed = false;
    bool m_noMatch = false;
    bool m_bof = true;
    bool m_eof = true;
    bool m_onRow = false;
    Row m_current;
    qint64 m_count = 0;

    // Insertion-order walking: rows read ahead after the current one.
    std::vector<Row> m_batch;
    std::size_t m_batchNext = 0;
    quint64 m_batchVersion = 0;
    int m_batchSize = 0;

    // Key-order walking: the ids in key order, taken when the walk starts.
    std::vector<qint64> m_keyOrder;
    std::size_t m_keyPos = 0;
    bool m_keyOrderValid = false;

    Editing m_editing = Editing::None;
    std::array<std::optional<QVariant>, kFieldCount> m_pending;
};

}  // namespace archive
