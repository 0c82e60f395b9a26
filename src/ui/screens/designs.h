// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "screens/layout.h"

namespace screens {

// The three window designs.
const WindowSpec& exerciseDesign();  // ftempver
const WindowSpec& nameDesign();      // FormNOME
const WindowSpec& resultsDesign();   // Risultati

// The colours the exercise window paints as a pupil works, over the design's own: a box, and
// a box judged wrong; a date label, and one placed right at least once; a set button done.
constexpr QRgb kBoxColour = qRgb(255, 255, 192);
constexpr QRgb kWrongBoxColour = qRgb(255, 0, 0);
constexpr QRgb kDateColour = qRgb(255, 255, 0);
constexpr QRgb kRightDateColour = qRgb(255, 0, 255);
constexpr QRgb kDoneSetColour = qRgb(224, 224, 224);

}  // namespace screens
