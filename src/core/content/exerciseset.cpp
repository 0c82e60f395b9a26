// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "content/exerciseset.h"

#include <array>

namespace content {

namespace {

struct SetRow {
    qint16 first;
    qint16 last;
    // cppcheck-suppress unusedStructMember ; read by ExerciseSet::title through kSets.at()
    const char* title;
};

// Indexed by code. Classes IV and V come first in the table, but codes follow the numerals.
constexpr std::array<SetRow, ExerciseSet::kCount> kSets{{
    {1, 189, "Tempolario verbale - TUTTO"},
    {49, 79, "Tempolario verbale - I classe"},
    {80, 111, "Tempolario verbale - II classe"},
    {112, 189, "Tempolario verbale - III classe"},
    {1, 20, "Tempolario verbale - IV classe"},
    {21, 48, "Tempolario verbale - V classe"},
    {1, 45, "Tempolario verbale - Essenziale"},
}};

}  // namespace

ExerciseSet ExerciseSet::byCode(int code) {
    Q_ASSERT(code >= 0 && code < kCount);
    const SetRow& row = kSets.at(static_cast<std::size_t>(code));
    return ExerciseSet{static_cast<qint16>(code), row.first, row.last};
}

QString ExerciseSet::title(int code) {
    return QString::fromUtf8(kSets.at(static_cast<std::size_t>(code)).title);
}

}  // namespace content
