#include "exercise/drill.h"

#include <algorithm>

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
    m_buttons.at(code) = SetButtonLook{false, code >= 1 && code <= 5};
    deal();
}

void Drill::deal() {
    Q_ASSERT(m_hasSet);
    m_rightInExercise = 0;
    m_answersInExercise = 0;
    m_boxText.fill(QString());
    m_boxState.fill(BoxState::Empty);
    m_placedRight.fill(false);

    fattocasuale();
    for (int k = 1; k <= kFacts; ++k) {
        const content::FactEntry& entry = entryAt(m_rowFact[k]);
        m_factText[k - 1] = entry.fact;
        m_rowDate[k] = entry.dateLabel;
    }
    datacasuale();
    for (int k = 1; k <= kFacts; ++k) {
        m_dateText[k - 1] = entryAt(m_dateOrder[k]).dateLabel;
    }
}

void Drill::fattocasuale() {
    const int first = m_currentSet.first;
    const int size = m_currentSet.size();
    // Only a set of at least ten positions can be dealt without end.
    Q_ASSERT(size >= kFacts);
    m_random.seedFromClock();
    for (int i = 1; i <= kFacts; ++i) {
        int x = 0;
        do {
            m_random.seedFromClock();
            x = static_cast<int>(size * m_random.next() + first);
        } while (std::find(m_pickMarks.begin() + 1, m_pickMarks.begin() + kFacts + 1, x) !=
                 m_pickMarks.begin() + kFacts + 1);
        m_rowFact[i] = x;
        m_pickMarks[i] = x;
    }
}

void Drill::datacasuale() {
    m_random.seedFromClock();
    for (int i = 1; i <= kFacts; ++i) {
        m_pickMarks[i] = m_rowFact[i];
    }
    // Each position is taken from a random slot that still holds one: every order of the
    // ten dates is equally likely.
    for (int k = 1; k <= kFacts; ++k) {
        int r = 0;
        do {
            r = static_cast<int>(m_random.next() * kFacts + 1);
        } while (m_pickMarks[r] == 0);
        m_dateOrder[k] = m_pickMarks[r];
        m_pickMarks[r] = 0;
    }
    m_random.seedFromClock();
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
    return right;
}

void Drill::tick() {
    if (!m_hasSet) {
        return;
    }
    SetButtonLook& look = m_buttons.at(m_currentSet.code);
    look.lightGrey = !look.lightGrey;
}

const content::FactEntry& Drill::entryAt(int position) const {
    return m_table.entry(m_currentSet, position);
}

}  // namespace exercise
