// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVariant>

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

// The results archive as the program uses it. Names are found by their key (nameKey): letter
// case, composed or combining accents and invisible characters do not tell names apart.
// Every operation reports failure as a value; a write is durable when it returns.
class Archive {
public:
    virtual ~Archive() = default;

    // The named rows in insertion order: how many, and `count` names from row `first` on,
    // read as a list shows them (a page at a time, mostly in order).
    virtual Status countNames(int* count) = 0;
    virtual Status readNames(int first, int count, QStringList* names) = 0;
    // Whether a row has the name's key.
    virtual Status find(const QString& name, bool* found) = 0;
    // A new row holding only the name.
    virtual Status add(const QString& name) = 0;
    // Overwrites the totals of the name's row, which also takes the name as written now.
    // Without a row, fails with Status::kNoCurrentRow and writes nothing.
    virtual Status store(const QString& name, qint64 right, qint64 given,
                         const QDateTime& when) = 0;
    // The totals stored under the name; outcome->found is false without a row.
    virtual Status read(const QString& name, Outcome* outcome) = 0;
    // From now on, no single wait (for a file another program keeps locked, for a server
    // that does not answer) lasts longer than ms: the last store as the session ends.
    virtual void limitWait(int ms) = 0;
};

}  // namespace archive
