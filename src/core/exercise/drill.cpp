// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "exercise/drill.h"

#include <algorithm>
#include <numeric>
#include <vector>

#include "exercise/uniformsource.h"

namespace exercise {

using content::ExerciseSet;

Drill::Drill(const content::FactTable& table, UniformSource& random)
    : m_table(table), m_random(random) {
    Q_ASSERT(table.isBuilt());
}

void Drill::chooseSet(int code) {
    m_currentSet = ExerciseSet::byCode(code);
    m_hasSet = true;
    // Every button back to its normal look, then the chosen one disabled; a class button
    // starts its blinking at light grey, the whole-table and essential buttons at the face.
    m_buttons.fill(SetButtonLook{});
    m_buttons.at(code) = SetButtonLook{
        false, code >= ExerciseSet::kFirstClassCode && code <= ExerciseSet::kLastClassCode};
    deal();
}

void Drill::deal() {
    Q_ASSERT(m_hasSet);
    fattocasuale();
    datacasuale();
    showDeal();
}

void Drill::dealThese(const std::array<int, kFacts>& rows, const std::array<int, kFacts>& labels) {
    Q_ASSERT(m_hasSet);
    for (int k = 0; k < kFacts; ++k) {
        Q_ASSERT(rows[k] >= m_currentSet.first && rows[k] <= m_currentSet.last);
        m_rowFact[k + 1] = rows[k];
        m_dateOrder[k + 1] = labels[k];
    }
    showDeal();
}

void Drill::showDeal() {
    m_rightInExercise = 0;
    m_answersInExercise = 0;
    m_boxText.fill(QString());
    m_boxState.fill(BoxState::Empty);
    m_placedRight.fill(false);
    m_boxAnswered.fill(false);
    ++m_deal;
    for (int k = 1; k <= kFacts; ++k) {
        const content::FactEntry& entry = entryAt(m_rowFact[k]);
        m_factText[k - 1] = entry.fact;
        m_rowDate[k] = entry.dateLabel;
        m_dateText[k - 1] = entryAt(m_dateOrder[k]).dateLabel;
    }
}

void Drill::fattocasuale() {
    // Only a set of at least ten positions can be dealt.
    Q_ASSERT(m_currentSet.size() >= kFacts);
    if (m_review) {
        drawForReview();
        return;
    }
    std::vector<int> positions(static_cast<std::size_t>(m_currentSet.size()));
    std::iota(positions.begin(), positions.end(), m_currentSet.first);
    // std::sample keeps the set's order; the shuffle makes the rows' order random too.
    int* const rows = m_rowFact.data() + 1;
    std::sample(positions.begin(), positions.end(), rows, kFacts, m_random);
    std::shuffle(rows, rows + kFacts, m_random);
}

void Drill::drawForReview() {
    // The set's positions as table rows: an entry of the essential list names its row, and
    // its last entry names the first row again.
    std::vector<int> candidates;
    QHash<int, int> positionOfRow;
    for (int position = m_currentSet.first; position <= m_currentSet.last; ++position) {
        const int row = m_currentSet.usesEssentialList()
                            ? content::FactTable::essentialRow(position)
                            : position;
        if (!positionOfRow.contains(row)) {
            positionOfRow.insert(row, position);
            candidates.push_back(row);
        }
    }
    // What the pupil remembers of each fact of the set: the stored answers, then this run's.
    QHash<int, std::vector<FirstAnswer>> answers;
    for (const int row : candidates) {
        const auto stored = m_review->history.constFind(row);
        if (stored != m_review->history.cend()) {
            answers.insert(row, *stored);
        }
    }
    for (const Placement& placement : m_placements) {
        if (placement.firstOnBox && positionOfRow.contains(placement.tableRow)) {
            answers[placement.tableRow].push_back(
                {placement.when.toLocalTime().date().toJulianDay(), placement.right});
        }
    }
    QHash<int, FactMemory> memory;
    for (auto it = answers.cbegin(); it != answers.cend(); ++it) {
        memory.insert(it.key(), replay(m_review->model, it.value()));
    }
    const qint64 today = m_clock().toLocalTime().date().toJulianDay();
    const std::vector<int> chosen = chooseForReview(candidates, memory, today, m_review->model,
                                                    m_random, kFacts, m_review->newFacts);
    // Every set has at least ten different rows, so ten come back.
    Q_ASSERT(chosen.size() == static_cast<std::size_t>(kFacts));
    for (int k = 0; k < kFacts; ++k) {
        m_rowFact.at(k + 1) = positionOfRow.value(chosen.at(k));
    }
}

void Drill::datacasuale() {
    std::copy(m_rowFact.begin() + 1, m_rowFact.end(), m_dateOrder.begin() + 1);
    std::shuffle(m_dateOrder.begin() + 1, m_dateOrder.end(), m_random);
}

bool Drill::drop(int box, int dateLabel) {
    Q_ASSERT(box >= 0 && box < kFacts && dateLabel >= 0 && dateLabel < kFacts);
    // The judge compares texts only: a label of another row with the same date is right.
    m_boxText[box] = m_dateText[dateLabel];
    const bool right = m_boxText[box] == m_rowDate[box + 1];
    if (right) {
        ++m_rightInExercise;
        ++m_rightTotal;
        m_placedRight[dateLabel] = true;
        m_boxState[box] = BoxState::Right;
    } else {
        m_boxState[box] = BoxState::Wrong;
    }
    ++m_answersInExercise;
    ++m_answersTotal;
    m_placements.push_back({factRow(box), m_currentSet.code, m_deal, m_boxText[box], right,
                            !m_boxAnswered[box], m_clock()});
    m_boxAnswered[box] = true;
    return right;
}

void Drill::tick() {
    if (!m_hasSet) {
        return;
    }
    SetButtonLook& look = m_buttons.at(m_currentSet.code);
    look.lightGrey = !look.lightGrey;
}

int Drill::factRow(int row) const {
    const int position = m_rowFact.at(row + 1);
    return m_currentSet.usesEssentialList() ? content::FactTable::essentialRow(position) : position;
}

const content::FactEntry& Drill::entryAt(int position) const {
    return m_table.entry(m_currentSet, position);
}

}  // namespace exercise
