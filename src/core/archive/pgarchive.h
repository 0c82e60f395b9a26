// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDeadlineTimer>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

#include "archive/archive.h"
#include "archive/archivefile.h"
#include "archive/pgconnection.h"
#include "archive/place.h"
#include "archive/sqlitearchive.h"
#include "archive/status.h"

namespace archive {

// What copying a file's rows into the server did.
struct CopyReport {
    qint64 added = 0;     // names that were not on the server
    qint64 replaced = 0;  // names the server had, with older results than the file's
    qint64 kept = 0;      // names the server had, with results as recent or more
    qint64 skipped = 0;   // rows of the file without a name
};

// The archive on a PostgreSQL server, shared by every computer of a school. Same table and
// fields as the file, with the server's own types:
//
//   public.tempar(id bigint identity, nome text, chiave text, giuste bigint,
//                 sbagliate bigint, data timestamptz)
//   one row per key: constraint nome EXCLUDE USING hash (chiave WITH =), or in archives
//   made before it the unique index nome on (chiave); checks nome_lunghezza and
//   chiave_lunghezza on the lengths (see setLimits()).
//   public.risposte(alunno bigint, giro bigint, numero integer, fatto integer,
//                   insieme integer, mano integer, etichetta text, giusta boolean,
//                   prima boolean, quando timestamptz, PRIMARY KEY (alunno, giro, numero)),
//   the placements as the file keeps them (archivefile.h); archives made before it gain it
//   through addAnswersTable().
//   public.impostazioni(chiave text PRIMARY KEY, valore text), the teacher's dealing
//   (archive::Dealing), made beside risposte; the program's role may only read it.
//
// The program connects with a role that may only read, add and update rows; whatever that
// role set for itself (ALTER ROLE ... SET) does not reach the program's sessions, which set
// every setting they rely on when they connect. Every value is bound as a parameter. Every
// operation, a connection included, is given up after timeoutMs, so a hung server or network never
// holds the window longer than that; the connection is then dropped. A connection lost since the
// last operation (a restarted server) is made again once within the same time, because every write
// here can be repeated without harm: add leaves an existing name alone, store overwrites.
class PgArchive : public Archive {
public:
    // The longest name, in characters, that the server archive takes and the program lists.
    static constexpr int kMaxNameLength = 10000;

    // What the tool checks of the table beyond its fields.
    struct Layout {
        bool keyIndex = false;   // one row per key, by either index
        bool limited = false;    // the length checks and the hash index of today's archives
        qint64 tooLong = 0;      // rows whose name is longer than kMaxNameLength
        bool owned = false;      // the session's role owns the table (may change its layout)
        bool answers = false;    // the table of placements is there
        qint64 answerCount = 0;  // placements it holds
    };

    ~PgArchive() override;

    // Connects and checks that the table is there with its fields.
    static std::unique_ptr<PgArchive> open(const ServerPlace& place, Status* status);

    // Creates the table and its index on the server, through an administrator's service,
    // and lets programRole read, add and update rows (no deletion, no change of layout),
    // and read and add placements. Refuses when the table is there already. One
    // transaction: all or nothing.
    static Status create(const ServerPlace& admin, const QString& programRole);
    // Gives an archive made before placements were kept their table, with programRole's
    // rights to read and add them, and the table of settings, which it may read; *added is false when it was there already (the rights
    // are given again). One transaction, through an administrator's service.
    static Status addAnswersTable(const ServerPlace& admin, const QString& programRole,
                                  bool* added);

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

    // Keeps the teacher's dealing on the server, in one transaction, through an
    // administrator's service (the program's role may only read it). Fails, naming the
    // command that adds it, where the table of settings is not there yet.
    Status writeDealing(const Dealing& dealing);

    // Removes the placements made before the day (local time), in one transaction; how
    // many went into *removed. Only the table's owner may.
    Status removeAnswersBefore(const QDate& day, qint64* removed);

    // Every row in insertion order, as stored (data as read() gives it).
    Status everyRow(std::vector<StoredRow>* rows);
    // Every kept placement with the name of its pupil's row and its run, oldest first (the
    // teacher's report). each is called once a placement.
    Status everyAnswer(const AnswerVisitor& each);
    Status layout(Layout* found);
    // Gives an archive made before the length limits today's: the checks, and the hash
    // index on the key in place of the unique index. Rows already too long stay, without a
    // key. One transaction; only the table's owner may.
    Status setLimits();
    // Compares every row's key with its name's key, as ArchiveFile::checkKeys does for a
    // file; with repair, sets them right in one transaction.
    Status checkKeys(bool repair, KeyReport* report);
    // Brings a file's rows in, in one transaction: new names are added in the file's
    // order; a name already there takes the file's results only when they are more recent.
    // A value the server cannot hold (a date that is not a date) stops the copy before
    // anything is written, naming the row.
    Status copyIn(const std::vector<StoredRow>& rows, CopyReport* report);

    // The server as messages name it: «service» (host, porta N).
    QString where() const;

protected:
    Status lookUpName(const QString& name, bool withTotals, Outcome* outcome) override;

private:
    struct Row;
    explicit PgArchive(std::unique_ptr<PgConnection> connection);
    // Refuses a name longer than kMaxNameLength before anything is sent.
    static Status fits(const QString& name);
    Status lookUp(const QString& name, Row* row);
    // The same within an operation already running, on its deadline.
    Status lookUp(const QString& name, Row* row, const QDeadlineTimer& deadline);
    // Every row of the name's key in insertion order, within an operation running.
    Status lookUpAll(const QString& name, std::vector<NamedRow>* rows,
                     const QDeadlineTimer& deadline);
    // Writes the totals into the row whose name still has the name's key, with the run's
    // placements not there yet, in one transaction; kRowGone or kNoCurrentRow otherwise.
    Status writeTotals(qint64 id, const QString& name, qint64 right, qint64 given,
                       const QDateTime& when, const RunAnswers& answers,
                       const QDeadlineTimer& deadline);
    Status addAnswers(qint64 id, const RunAnswers& answers, const QDeadlineTimer& deadline);

    std::unique_ptr<PgConnection> m_connection;
    QString m_answersNotKept;
    // Where the last read of names stopped, so the next page continues from its id.
    int m_nextListed = -1;
    qint64 m_lastListedId = 0;
};

}  // namespace archive
