// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "exercise/memorymodel.h"

#include <algorithm>
#include <cmath>

namespace exercise {

namespace {

constexpr double kLowestDifficulty = 1;
constexpr double kHighestDifficulty = 10;
constexpr double kLowestStability = 0.01;
constexpr double kHighestStability = 36500;  // a hundred years
constexpr double kLowestFirstStability = 0.1;
// Stability is the number of days after which recall falls to 90 %.
constexpr double kStabilityRecall = 0.9;

int value(Grade grade) {
    return static_cast<int>(grade);
}

double difficultyInRange(double difficulty) {
    return std::clamp(difficulty, kLowestDifficulty, kHighestDifficulty);
}

double stabilityInRange(double stability) {
    return std::clamp(stability, kLowestStability, kHighestStability);
}

}  // namespace

// The weights are numbered, and the formulas written, as the model is published, so that
// each line can be held against its description.
// NOLINTBEGIN(readability-magic-numbers,cppcoreguidelines-avoid-magic-numbers)
const MemoryModel::Weights MemoryModel::kDefaultWeights = {
    0.212,  1.2931, 2.3065, 8.2956, 6.4133, 0.8334, 3.0194, 0.001,  1.8722, 0.1666, 0.796,
    1.4835, 0.0614, 0.2629, 1.6483, 0.6014, 1.8729, 0.5425, 0.0912, 0.0658, 0.1542,
};

MemoryModel::MemoryModel(double desiredRetention, const Weights& weights)
    : m_w(weights),
      m_retention(std::clamp(std::isnan(desiredRetention) ? kDefaultRetention : desiredRetention,
                             kLowestRetention, kHighestRetention)),
      m_decay(-weights[20]),
      m_factor(std::pow(kStabilityRecall, 1 / m_decay) - 1) {}

double MemoryModel::recall(const MemoryState& state, double elapsedDays) const {
    if (!state.seen()) {
        return 0;
    }
    return std::pow(1 + m_factor * std::max(elapsedDays, 0.0) / state.stability, m_decay);
}

double MemoryModel::interval(double stability) const {
    const double days = stability / m_factor * (std::pow(m_retention, 1 / m_decay) - 1);
    return std::max(days, 1.0);
}

MemoryState MemoryModel::next(const MemoryState& state, double elapsedDays, Grade grade) const {
    if (!state.seen()) {
        return {difficultyInRange(initialDifficulty(grade)),
                std::max(m_w[value(grade) - 1], kLowestFirstStability)};
    }
    const MemoryState known{difficultyInRange(state.difficulty), stabilityInRange(state.stability)};
    const double days = std::max(elapsedDays, 0.0);
    double stability = 0;
    if (days < 1) {
        stability = sameDayStability(known.stability, grade);
    } else if (grade == Grade::Again) {
        stability = stabilityAfterLapse(known, recall(known, days));
    } else {
        stability = stabilityAfterRecall(known, recall(known, days), grade);
    }
    return {nextDifficulty(known.difficulty, grade), stabilityInRange(stability)};
}

double MemoryModel::initialDifficulty(Grade grade) const {
    return m_w[4] - std::exp(m_w[5] * (value(grade) - 1)) + 1;
}

double MemoryModel::nextDifficulty(double difficulty, Grade grade) const {
    const double change = -m_w[6] * (value(grade) - value(Grade::Good));
    // The change shrinks as the difficulty nears its top, and the result is drawn back
    // towards the difficulty of a first Easy answer, so that none stays stuck at 10.
    const double damped = difficulty + change * (kHighestDifficulty - difficulty) / 9;
    return difficultyInRange(m_w[7] * initialDifficulty(Grade::Easy) + (1 - m_w[7]) * damped);
}

double MemoryModel::stabilityAfterRecall(const MemoryState& state, double recall,
                                         Grade grade) const {
    const double hardPenalty = grade == Grade::Hard ? m_w[15] : 1;
    const double easyBonus = grade == Grade::Easy ? m_w[16] : 1;
    return state.stability *
           (std::exp(m_w[8]) * (11 - state.difficulty) * std::pow(state.stability, -m_w[9]) *
                std::expm1(m_w[10] * (1 - recall)) * hardPenalty * easyBonus +
            1);
}

double MemoryModel::stabilityAfterLapse(const MemoryState& state, double recall) const {
    const double lapse = m_w[11] * std::pow(state.difficulty, -m_w[12]) *
                         (std::pow(state.stability + 1, m_w[13]) - 1) *
                         std::exp(m_w[14] * (1 - recall));
    // A lapse never leaves the memory stronger than a same-day lapse would.
    return std::min(lapse, state.stability / std::exp(m_w[17] * m_w[18]));
}

double MemoryModel::sameDayStability(double stability, Grade grade) const {
    double growth = std::exp(m_w[17] * (value(grade) - value(Grade::Good) + m_w[18])) *
                    std::pow(stability, -m_w[19]);
    if (grade >= Grade::Good) {
        growth = std::max(growth, 1.0);
    }
    return stability * growth;
}

// NOLINTEND(readability-magic-numbers,cppcoreguidelines-avoid-magic-numbers)

}  // namespace exercise
