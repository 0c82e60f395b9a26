// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>

namespace exercise {

// How a pupil answered a fact the first time it was placed in a deal. The drill grades
// objectively: a right first placement is Good, a wrong one Again; Hard and Easy are kept
// so that the model is whole, but the program never gives them.
enum class Grade { Again = 1, Hard = 2, Good = 3, Easy = 4 };

// What is known of one pupil's memory of one fact: how hard the fact is for them (1 to 10)
// and how many days their recall takes to fall to 90 %. A fact never answered has neither.
struct MemoryState {
    double difficulty = 0;
    double stability = 0;

    bool seen() const { return stability > 0; }
};

// The FSRS memory model, version 6, with its published default weights and no training
// per pupil. It predicts the chance of recall after some days, updates the state after an
// answer, and says after how many days recall falls to the retention the teacher wants.
// Days are whole calendar days; an answer on the day of the previous one is a same-day
// review, which the model treats apart.
class MemoryModel {
public:
    static constexpr int kWeightCount = 21;
    using Weights = std::array<double, kWeightCount>;
    static const Weights kDefaultWeights;

    static constexpr double kDefaultRetention = 0.9;
    static constexpr double kLowestRetention = 0.75;
    static constexpr double kHighestRetention = 0.95;

    // A retention outside the teacher's range is brought into it.
    explicit MemoryModel(double desiredRetention = kDefaultRetention,
                         const Weights& weights = kDefaultWeights);

    double desiredRetention() const { return m_retention; }

    // The chance of recalling the fact elapsedDays after the last answer; 0 for a fact never
    // answered, which there is nothing yet to recall of.
    double recall(const MemoryState& state, double elapsedDays) const;

    // The state after an answer given elapsedDays after the previous one (ignored for the
    // first answer).
    MemoryState next(const MemoryState& state, double elapsedDays, Grade grade) const;

    // Days after which recall falls to the desired retention (at least one).
    double interval(double stability) const;

private:
    double initialDifficulty(Grade grade) const;
    double nextDifficulty(double difficulty, Grade grade) const;
    double stabilityAfterRecall(const MemoryState& state, double recall, Grade grade) const;
    double stabilityAfterLapse(const MemoryState& state, double recall) const;
    double sameDayStability(double stability, Grade grade) const;

    Weights m_w;
    double m_retention;
    double m_decay;
    double m_factor;
};

}  // namespace exercise
