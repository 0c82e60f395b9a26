// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QVariant>
#include <memory>
#include <vector>

#include "archive/archive.h"
#include "archive/place.h"
#include "archive/status.h"

namespace archive {

class SqliteConnection;

// One row as the file holds it, for the command-line tool: every row, named or not.
struct StoredRow {
    QVariant nome, giuste, sbagliate, data;
};

// The archive in an SQLite file (its format is described in archivefile.h). Opening never
// creates anything, and a file that fails the checks of ArchiveFile::inspect() is never
// handed to SQLite. Keys changed from outside are set right at opening, and again when a
// lookup finds a key whose row has since been renamed, so nothing is ever written to
// another pupil's row. Writes run inside BEGIN IMMEDIATE and wait for a locked file up to
// the busy timeout.
//
// It sits on SQLite's C API rather than on QtSql: the pragmas, the extended result codes,
// sqlite3_changes and the tests' fault-injecting file layer all need the raw handle, and
// the core then needs no Qt module or driver package beyond Qt Core.
class SqliteArchive : public Archive {
public:
    ~SqliteArchive() override;

    static std::unique_ptr<SqliteArchive> open(const QString& path, Status* status,
                                               const OpenOptions& options = {});

    using Archive::readNames;
    using Archive::store;
    using Archive::storeRow;
    Status countNames(int* count) override;
    Status readNames(int first, int count, std::vector<NamedRow>* rows) override;
    Status add(const QString& name) override;
    Status store(const QString& name, qint64 right, qint64 given, const QDateTime& when,
                 const RunAnswers& answers) override;
    void limitWait(int ms) override;
    Status rowsNamed(const QString& name, std::vector<NamedRow>* rows) override;
    Status storeRow(qint64 id, const QString& name, qint64 right, qint64 given,
                    const QDateTime& when, const RunAnswers& answers) override;
    Status readRow(qint64 id, Outcome* outcome) override;
    QString answersNotKept() const override { return m_answersNotKept; }
    Status readDealing(Dealing* dealing) override;
    Status firstAnswers(qint64 id, std::vector<DayAnswer>* answers) override;

    // Keeps the teacher's dealing in the file, in one transaction (the tool's ripasso).
    Status writeDealing(const Dealing& dealing);

    // Removes the placements made before the day (local time), in one transaction; how
    // many went into *removed.
    Status removeAnswersBefore(const QDate& day, qint64* removed);

    // Every row in insertion order, as stored (data as read() gives it).
    Status everyRow(std::vector<StoredRow>* rows);
    // Every kept placement with the name of its pupil's row and its run, oldest first (the
    // teacher's report). each is called once a placement.
    Status everyAnswer(const AnswerVisitor& each);
    // Appends rows as they are, in one transaction (an archive copied from a server). A
    // name whose key an earlier row holds is added without a key, as key repair leaves it.
    Status insertRows(const std::vector<StoredRow>& rows);

protected:
    Status lookUpName(const QString& name, bool withTotals, Outcome* outcome) override;

private:
    struct Row;
    explicit SqliteArchive(std::unique_ptr<SqliteConnection> connection);
    // Fails with kWrongLayout when the file lacks the key's index (checked once).
    Status checkIndex();
    // The first row holding the key, or id 0.
    Status lookUpByKey(const QString& wanted, Row* row);
    // Appends the rows without a key whose names have the key wanted, but the row except;
    // all of them, or only the first.
    Status rowsWithoutKey(const QString& wanted, qint64 except, bool all, std::vector<Row>* rows);
    // The row of the name's key, or id 0.
    Status lookUp(const QString& name, Row* row);
    // Every row of the name's key, the one lookUp finds first.
    Status lookUpAll(const QString& name, std::vector<Row>* rows);
    // Writes the totals into the row and adds the run's placements not there yet, inside a
    // write already begun.
    Status writeTotals(qint64 id, const QString& name, qint64 right, qint64 given,
                       const QDateTime& when, const RunAnswers& answers);
    Status addAnswers(qint64 id, const RunAnswers& answers);

    std::unique_ptr<SqliteConnection> m_connection;
    bool m_indexChecked = false;
    QString m_answersNotKept;
    // Where the last read of names stopped, so the next page continues from its id.
    int m_nextListed = -1;
    qint64 m_lastListedId = 0;
};

}  // namespace archive
