// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace content {

// One row of the fact table: the sentence shown beside a box and the date that answers it.
// Date labels are display text: they are compared exactly and never parsed.
struct FactEntry {
    QString fact;
    QString dateLabel;
};

}  // namespace content
