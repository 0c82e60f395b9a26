// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "screens/layout.h"

namespace screens {

// The three window designs.
const WindowSpec& exerciseDesign();  // ftempver
const WindowSpec& nameDesign();      // FormNOME
const WindowSpec& resultsDesign();   // Risultati

}  // namespace screens
