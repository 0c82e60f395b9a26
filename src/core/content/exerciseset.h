// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QtGlobal>

namespace content {

// A part of the content that exercises are drawn from: the whole table (code 0), one class
// (codes 1 to 5 for classes I to V) or the essential list (code 6). Positions first..last are
// inclusive; for code 6 they are entries of the essential list, otherwise rows of the table.
struct ExerciseSet {
    qint16 code = 0;
    qint16 first = 0;
    qint16 last = 0;

    bool usesEssentialList() const { return code == kEssentialCode; }
    int size() const { return last - first + 1; }
    friend bool operator==(const ExerciseSet&, const ExerciseSet&) = default;

    static constexpr int kWholeTableCode = 0;
    static constexpr int kFirstClassCode = 1;  // class I
    static constexpr int kLastClassCode = 5;   // class V
    static constexpr int kEssentialCode = 6;
    static constexpr int kCount = 7;

    // The set of a code from 0 to 6; any other code is a programming error.
    static ExerciseSet byCode(int code);
    // "Tempolario verbale - TUTTO", "... - I classe", ..., "... - Essenziale".
    static QString title(int code);
};

}  // namespace content
