// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>

#include "content/exerciseset.h"
#include "content/factentry.h"

namespace content {

// The built-in teaching content: 189 facts at positions 1..189 and the essential list of 45
// entries naming rows of the table.
// build() fills both from data compiled into the program; it cannot fail.
class FactTable {
public:
    static constexpr int kRows = 189;
    static constexpr int kEssentialEntries = 45;

    void build();
    bool isBuilt() const { return m_built; }

    // Row at a position from 1 to 189.
    const FactEntry& row(int position) const;
    // Row named by essential entry 1..45.
    const FactEntry& essential(int entry) const;
    // The table row that essential entry 1..45 names.
    static int essentialRow(int entry);
    // The entry at a position of a set: an essential entry for code 6, a row otherwise.
    const FactEntry& entry(const ExerciseSet& set, int position) const;
    // The class code (1 to 5) that a row from 1 to 189 belongs to.
    static int classOf(int position);

private:
    std::array<FactEntry, kRows> m_rows;
    std::array<FactEntry, kEssentialEntries> m_essential;
    bool m_built = false;
};

}  // namespace content
