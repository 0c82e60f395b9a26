// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>

#include <QString>

#include "exercise/drill.h"

namespace exercise {

// What the tests see of a drill beyond what the program sees: the lists of the exercise
// dealt (entries 1..10 are used, entry 0 never), and dealing exactly the case a test judges.
class DrillTesting {
public:
    using Positions = std::array<int, Drill::kFacts + 1>;
    static const Positions& rowFact(const Drill& drill) { return drill.m_rowFact; }
    static const Positions& dateOrder(const Drill& drill) { return drill.m_dateOrder; }
    static const std::array<QString, Drill::kFacts + 1>& rowDate(const Drill& drill) {
        return drill.m_rowDate;
    }
    static void dealThese(Drill& drill, const std::array<int, Drill::kFacts>& rows,
                          const std::array<int, Drill::kFacts>& labels) {
        drill.dealThese(rows, labels);
    }
};

}  // namespace exercise
