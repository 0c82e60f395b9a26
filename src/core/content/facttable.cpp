// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "content/facttable.h"

#include "content/factdata.h"

namespace content {

void FactTable::build() {
    // Sentences first, then labels, then the essential list from the finished table.
    for (int position = 1; position <= kRows; ++position) {
        m_rows[position - 1].fact = QString::fromUtf8(kFactSource[position - 1].fact);
    }
    for (int position = 1; position <= kRows; ++position) {
        m_rows[position - 1].dateLabel = QString::fromUtf8(kFactSource[position - 1].dateLabel);
    }
    for (int number = 1; number <= kEssentialEntries; ++number) {
        m_essential[number - 1] = m_rows[essentialRow(number) - 1];
    }
    m_built = true;
}

const FactEntry& FactTable::row(int position) const {
    Q_ASSERT(position >= 1 && position <= kRows);
    return m_rows.at(static_cast<std::size_t>(position - 1));
}

const FactEntry& FactTable::essential(int entry) const {
    Q_ASSERT(entry >= 1 && entry <= kEssentialEntries);
    return m_essential.at(static_cast<std::size_t>(entry - 1));
}

int FactTable::essentialRow(int entry) {
    Q_ASSERT(entry >= 1 && entry <= kEssentialEntries);
    return kEssentialRows.at(static_cast<std::size_t>(entry - 1));
}

const FactEntry& FactTable::entry(const ExerciseSet& set, int position) const {
    Q_ASSERT(position >= set.first && position <= set.last);
    return set.usesEssentialList() ? essential(position) : row(position);
}

int FactTable::classOf(int position) {
    Q_ASSERT(position >= 1 && position <= kRows);
    for (int code = ExerciseSet::kFirstClassCode; code <= ExerciseSet::kLastClassCode; ++code) {
        const ExerciseSet set = ExerciseSet::byCode(code);
        if (position >= set.first && position <= set.last) {
            return code;
        }
    }
    return 0;
}

}  // namespace content
