// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>

#include "content/facttable.h"

namespace content {

// The compiled-in content, UTF-8. Read only by FactTable::build().
struct FactSource {
    const char* fact;
    const char* dateLabel;
};

extern const std::array<FactSource, FactTable::kRows> kFactSource;
extern const std::array<int, FactTable::kEssentialEntries> kEssentialRows;

}  // namespace content
