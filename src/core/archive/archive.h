// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <utility>
#include <vector>

#include "archive/status.h"

namespace archive {

// The figures stored under one name, as the results grid shows them. A value never stored
// is a null QVariant, never 0 or "".
struct Outcome {
    bool found = false;
    QVariant right;  // giuste: whole number (a non-whole one written from outside as double)
    QVariant given;  // sbagliate: answers given, right and wrong
    QVariant when;   // data: QDateTime in local time (text that is not a date comes as it is)
};

// One named row as the name list shows it: the name as stored, and the row it stands for.
// Rows whose names differ only in letter case are listed apart, and a pupil who picks one
// is stored in that one: the row is addressed by its id, never found again by its name.
struct NamedRow {
    qint64 id = 0;
    QString name;
};

// One judged placement of a date on a fact's box, kept beside the run's totals.
struct Answer {
    int tableRow = 0;  // the fact's row in the fact table (stored as it comes, checked by none)
    int setCode = 0;   // the set in force
    int deal = 0;      // which deal of the run
    QString label;     // the date placed
    bool right = false;
    bool firstOnBox = false;  // the first placement on that fact's box in that deal
    QDateTime when;
};

// A first placement on a box as ripasso replays it: the fact's row in the fact table, right
// or wrong, and the day it was given, in local time.
struct DayAnswer {
    int tableRow = 0;
    bool right = false;
    QDate day;
};

// What a reading of every kept placement hands over, one at a time: the name of the pupil's
// row, the run, and the placement.
using AnswerVisitor = std::function<void(const QString& pupil, qint64 run, const Answer& answer)>;

// How the program deals the facts for every pupil of this archive, as the teacher set it with
// the tool (tempolario-archivio ripasso) and the archive keeps it. An archive where nobody set
// it deals as designed.
struct Dealing {
    static constexpr double kDefaultRetention = 0.9;
    // Ripasso: the facts of a deal drawn by the pupil's own history.
    bool review = false;
    // The chance of recall the reviews aim at, as the teacher gave it (checked by the tool).
    double retention = kDefaultRetention;
};

// The placements of one run, oldest first. The run's id tells it from every other run, and
// a placement's place in the list tells it from the others of its run: storing the run
// again writes only the placements made since, so none is ever written twice. Run 0, or
// no placements, keeps nothing.
struct RunAnswers {
    qint64 run = 0;
    std::vector<Answer> answers;
};

// The results archive as the program uses it. Names are found by their key (nameKey): letter
// case, composed or combining accents and invisible characters do not tell names apart.
// Every operation reports failure as a value; a write is durable when it returns.
class Archive {
public:
    virtual ~Archive() = default;

    // The named rows in insertion order: how many, and `count` names from row `first` on,
    // read as a list shows them (a page at a time, mostly in order).
    virtual Status countNames(int* count) = 0;
    virtual Status readNames(int first, int count, std::vector<NamedRow>* rows) = 0;
    Status readNames(int first, int count, QStringList* names);
    // Whether a row has the name's key.
    Status find(const QString& name, bool* found);
    // A new row holding only the name.
    virtual Status add(const QString& name) = 0;
    // Overwrites the totals of the name's row, which also takes the name as written now,
    // and adds the run's placements not stored yet, in the same transaction: all of it
    // lands, or none. Without a row, fails with Status::kNoCurrentRow and writes nothing;
    // when several rows have the name's key, fails with Status::kSameName and writes to
    // none of them. Where the archive keeps no placements (answersNotKept()), only the
    // totals are written.
    virtual Status store(const QString& name, qint64 right, qint64 given, const QDateTime& when,
                         const RunAnswers& answers) = 0;
    Status store(const QString& name, qint64 right, qint64 given, const QDateTime& when) {
        return store(name, right, given, when, RunAnswers());
    }
    // The totals stored under the name; outcome->found is false without a row.
    Status read(const QString& name, Outcome* outcome);
    // From now on, no single wait (for a file another program keeps locked, for a server
    // that does not answer) lasts longer than ms: the last store as the session ends.
    virtual void limitWait(int ms) = 0;

    // Every row with the name's key, in insertion order: more than one only where names
    // equal but for letter case or invisible characters were written from outside.
    virtual Status rowsNamed(const QString& name, std::vector<NamedRow>* rows) = 0;
    // Overwrites the totals of the row with this id, which also takes the name as written
    // now, with the run's placements as store() adds them. Fails, writing nothing, with
    // Status::kRowGone when the row is no longer there and with Status::kNoCurrentRow when
    // it holds another pupil's name now (changed from outside, or another archive put in
    // place of this one).
    virtual Status storeRow(qint64 id, const QString& name, qint64 right, qint64 given,
                            const QDateTime& when, const RunAnswers& answers) = 0;
    Status storeRow(qint64 id, const QString& name, qint64 right, qint64 given,
                    const QDateTime& when) {
        return storeRow(id, name, right, given, when, RunAnswers());
    }
    // Why this archive keeps no placements, as one Italian sentence (an older archive that
    // could not be given their table, a server whose administrator has not added it yet);
    // empty when it keeps them.
    virtual QString answersNotKept() const = 0;
    // The totals of the row with this id; outcome->found is false when it is gone.
    virtual Status readRow(qint64 id, Outcome* outcome) = 0;
    // The dealing the teacher set; the designed one where none is set, or where the
    // setting is not one this program knows.
    virtual Status readDealing(Dealing* dealing) = 0;
    // The first placements on a box kept for the row with this id, oldest first: what the
    // pupil remembered of each fact, each time it was dealt. None where nothing is kept.
    virtual Status firstAnswers(qint64 id, std::vector<DayAnswer>* answers) = 0;

protected:
    // The step find() and read() share: the row of the name's key, into *outcome (left as
    // it is without one); its totals are read only when withTotals is true.
    virtual Status lookUpName(const QString& name, bool withTotals, Outcome* outcome) = 0;
};

// The failure of a name that several rows have: Status::kSameName naming them all.
Status sameNameFailure(const std::vector<NamedRow>& rows);

// The dealing as both engines keep it: rows of the table impostazioni (chiave, valore), with
// "ripasso" set to "sì" or "no" and "ritenzione" a decimal number with a point. A value this
// program does not know leaves the designed dealing.
Dealing dealingFrom(const std::vector<std::pair<QString, QString>>& rows);
std::vector<std::pair<QString, QString>> dealingRows(const Dealing& dealing);

}  // namespace archive
