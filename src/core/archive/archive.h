// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVariant>
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
    // Overwrites the totals of the name's row, which also takes the name as written now.
    // Without a row, fails with Status::kNoCurrentRow and writes nothing; when several rows
    // have the name's key, fails with Status::kSameName and writes to none of them.
    virtual Status store(const QString& name, qint64 right, qint64 given,
                         const QDateTime& when) = 0;
    // The totals stored under the name; outcome->found is false without a row.
    Status read(const QString& name, Outcome* outcome);
    // From now on, no single wait (for a file another program keeps locked, for a server
    // that does not answer) lasts longer than ms: the last store as the session ends.
    virtual void limitWait(int ms) = 0;

    // Every row with the name's key, in insertion order: more than one only where names
    // equal but for letter case or invisible characters were written from outside.
    virtual Status rowsNamed(const QString& name, std::vector<NamedRow>* rows) = 0;
    // Overwrites the totals of the row with this id, which also takes the name as written
    // now. Fails, writing nothing, with Status::kRowGone when the row is no longer there and
    // with Status::kNoCurrentRow when it holds another pupil's name now (changed from
    // outside, or another archive put in place of this one).
    virtual Status storeRow(qint64 id, const QString& name, qint64 right, qint64 given,
                            const QDateTime& when) = 0;
    // The totals of the row with this id; outcome->found is false when it is gone.
    virtual Status readRow(qint64 id, Outcome* outcome) = 0;

protected:
    // The step find() and read() share: the row of the name's key, into *outcome (left as
    // it is without one); its totals are read only when withTotals is true.
    virtual Status lookUpName(const QString& name, bool withTotals, Outcome* outcome) = 0;
};

// The failure of a name that several rows have: Status::kSameName naming them all.
Status sameNameFailure(const std::vector<NamedRow>& rows);

}  // namespace archive
