// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <vector>

#include <QDateTime>
#include <QHash>
#include <QString>

#include "content/exerciseset.h"
#include "content/facttable.h"
#include "exercise/memorymodel.h"
#include "exercise/review.h"

namespace exercise {

class UniformSource;

// What a box shows: empty after dealing, or the last date dropped on it, right or wrong.
enum class BoxState { Empty, Right, Wrong };

// How a set button looks: enabled or not, and whether its face is light grey (otherwise
// the desktop's button face).
struct SetButtonLook {
    bool enabled = true;
    bool lightGrey = false;
    friend bool operator==(const SetButtonLook&, const SetButtonLook&) = default;
};

// One judged placement of a date on a box, kept for the pupil's history.
struct Placement {
    int tableRow = 0;  // the fact's row in the table, 1..189, whatever the set
    int setCode = 0;   // the set in force
    int deal = 0;      // which deal of the run, from 1
    QString label;     // the date placed
    bool right = false;
    // The first placement on that fact's box in that deal: the one that says what the
    // pupil remembered, before the board's answers helped.
    bool firstOnBox = false;
    QDateTime when;
};

// Ripasso, the dealing a teacher may switch on for the whole archive: the ten facts of a deal
// are drawn by the pupil's own history (chooseForReview) instead of at random.
struct ReviewPlan {
    MemoryModel model;
    // The pupil's first answers stored before this run, by table row (1..189), oldest first.
    QHash<int, std::vector<FirstAnswer>> history;
    // Places each deal keeps for facts never seen while there are any. None: the facts got
    // wrong and the facts due come first, as the teacher switched ripasso on for.
    int newFacts = 0;
};

// The drill of the exercise window, without widgets: the set in force, the dealt exercise,
// the judging of drops, the four counters and the blinking of the chosen set button.
// Rows, boxes and date labels are numbered 0..9 in the interface; the lists below keep the
// window's own numbering, entries 1..10.
class Drill {
public:
    static constexpr int kFacts = 10;
    // The chosen set button swaps its face at every tick of this period.
    static constexpr int kBlinkMs = 500;

    // The table must be built and outlive the drill; so must the random source.
    Drill(const content::FactTable& table, UniformSource& random);

    // A click on a set button (code 0 whole table, 1..5 classes I..V, 6 essential): makes it
    // the set in force, marks its button, and deals a new exercise.
    void chooseSet(int code);
    // "ESERCIZIO SUCCESSIVO": a new exercise from the set in force, boxes emptied, the
    // counters of the exercise back to 0.
    void deal();
    // A date label dropped on a box. Returns whether it was right.
    bool drop(int box, int dateLabel);
    // The table row (1..189) of the fact in row k (0..9): an essential entry names its row.
    int factRow(int row) const;
    // Every placement judged since the drill was made, oldest first.
    const std::vector<Placement>& placements() const { return m_placements; }
    // The clock that dates placements; the program's clock unless a test gives another.
    void setClock(std::function<QDateTime()> clock) { m_clock = std::move(clock); }
    // From the next deal on, deals by the plan (ripasso); without one, as designed: every
    // fact of the set equally likely. The run's own first answers join the plan's history
    // as they are given.
    void setReview(std::optional<ReviewPlan> plan) { m_review = std::move(plan); }
    bool reviews() const { return m_review.has_value(); }

    // A tick of the blinking timer (kBlinkMs): the button of the set in force swaps its face.
    void tick();

    // Draws ten different positions of the set in force into rowFact, in random order:
    // every position is equally likely, and so is every order.
    void fattocasuale();
    // Shuffles the positions of rowFact into dateOrder: every order is equally likely.
    void datacasuale();

    bool hasSet() const { return m_hasSet; }
    const content::ExerciseSet& currentSet() const { return m_currentSet; }
    SetButtonLook setButton(int code) const { return m_buttons.at(code); }

    const QString& factText(int row) const { return m_factText.at(row); }
    const QString& dateText(int dateLabel) const { return m_dateText.at(dateLabel); }
    const QString& boxText(int box) const { return m_boxText.at(box); }
    BoxState boxState(int box) const { return m_boxState.at(box); }
    bool placedRight(int dateLabel) const { return m_placedRight.at(dateLabel); }

    int rightInExercise() const { return m_rightInExercise; }      // Label5
    int answersInExercise() const { return m_answersInExercise; }  // Label6
    int rightTotal() const { return m_rightTotal; }                // Label7
    int answersTotal() const { return m_answersTotal; }            // Label8

private:
    // Tests read the dealt lists and deal the exercise they judge (tests/drilltesting.h).
    friend class DrillTesting;

    // Deals the given exercise of the set in force, as deal() does with the lists it draws:
    // row k (0..9) shows position rows[k], and date label k the date of position labels[k].
    void dealThese(const std::array<int, kFacts>& rows, const std::array<int, kFacts>& labels);
    // Empties the boxes, zeroes the exercise's counters, and shows the dealt rowFact and
    // dateOrder: the facts, what each box expects, the dates on the labels.
    void showDeal();
    // fattocasuale's draw under ripasso: the positions of the set in force chosen by the plan.
    void drawForReview();
    const content::FactEntry& entryAt(int position) const;

    const content::FactTable& m_table;
    UniformSource& m_random;
    // UTC: the local time costs a look at the system's time zone at every drop where TZ is
    // not set; a placement's time is turned into local time only when it is kept.
    std::function<QDateTime()> m_clock = [] { return QDateTime::currentDateTimeUtc(); };
    std::vector<Placement> m_placements;
    std::optional<ReviewPlan> m_review;
    int m_deal = 0;
    std::array<bool, kFacts> m_boxAnswered{};

    bool m_hasSet = false;
    content::ExerciseSet m_currentSet;
    std::array<SetButtonLook, content::ExerciseSet::kCount> m_buttons{};

    // Entries 1..10 are used; entry 0 never.
    std::array<int, kFacts + 1> m_rowFact{};
    std::array<int, kFacts + 1> m_dateOrder{};
    std::array<QString, kFacts + 1> m_rowDate;

    std::array<QString, kFacts> m_factText;
    std::array<QString, kFacts> m_dateText;
    std::array<QString, kFacts> m_boxText;
    std::array<BoxState, kFacts> m_boxState{};
    std::array<bool, kFacts> m_placedRight{};

    int m_rightInExercise = 0;
    int m_answersInExercise = 0;
    int m_rightTotal = 0;
    int m_answersTotal = 0;
};

}  // namespace exercise
