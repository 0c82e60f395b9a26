// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The results window: a dark window with the pupil's name on a band at the top, the results
// grid, the search panel in an olive frame, the "TORNA" picture and the "Esco" band.
#include <array>

#include "screens/designs.h"

namespace screens {

namespace {

constexpr FontSpec kArial1425{"Arial", 14.25, false};
constexpr FontSpec kArial1425Bold{"Arial", 14.25, true};
constexpr FontSpec kArial12Bold{"Arial", 12, true};

constexpr QRgb kDark = qRgb(64, 64, 64);
constexpr QRgb kNightBlue = qRgb(0, 0, 64);
constexpr QRgb kNavy = qRgb(0, 0, 128);
constexpr QRgb kLavender = qRgb(192, 192, 255);
constexpr QRgb kPink = qRgb(255, 192, 255);

// Layers, lowest first: Label5, Image2, Labtorna, LabNOME, Labesci, Label8, Label9, Shape1,
// LabCERCA; the push button, the text fields and the grid above them all.
const std::array kControls{
    ControlSpec{"LabNOME", Kind::Label, 0, 100, 11895, 375, "", kNightBlue, qRgb(192, 192, 0),
                kArial1425, kCentred, 4},
    ControlSpec{"CMDAGGIORNA", Kind::Button, 9600, 480, 2055, 495, "AGGIORNA I RISULTATI",
                kButtonFace, kButtonText, kDefaultFont, kHidden, 100},
    ControlSpec{"Shape1",
                Kind::RoundedRect,
                9480,
                720,
                2415,
                5535,
                "",
                kNoColour,
                qRgb(128, 128, 0),
                {},
                0,
                8,
                1,
                0,
                nullptr,
                2},
    ControlSpec{"Label9", Kind::Label, 9600, 1320, 1935, 495,
                "CERCA i risultati di........ scrivi qui il COGNOME", kDark, kLavender,
                kDefaultFont, kCentred, 7},
    ControlSpec{"Text2", Kind::TextField, 9600, 1920, 2175, 375, "", kNavy, kLavender, kSans975Bold,
                0, 100},
    ControlSpec{"Label8", Kind::Label, 9600, 2760, 2055, 495, " e qui il NOME", kDark, kLavender,
                kDefaultFont, kCentred, 6},
    ControlSpec{"Text1", Kind::TextField, 9600, 3120, 2175, 375, "", kNavy, kLavender, kSans975Bold,
                0, 100},
    ControlSpec{"LabCERCA", Kind::Label, 9600, 5040, 2175, 735,
                "       OK,          mostra i risultati", kNavy, kLavender, kArial12Bold,
                kCentred | kActsAsButton, 9},
    ControlSpec{"Grid5", Kind::Grid, 1440, 2400, 6735, 3345, "", qRgb(233, 233, 233), kButtonText,
                kSans975, 0, 100},
    ControlSpec{"Image2",
                Kind::Picture,
                9600,
                6600,
                2175,
                1620,
                ":/risultati.jpg",
                kNoColour,
                kNoColour,
                {},
                kStretched,
                2},
    ControlSpec{"Labtorna", Kind::Label, 9600, 6600, 2175, 1575, "TORNA", kNoColour, kPink,
                kArial12Bold, kTransparent | kCentred | kActsAsButton, 3},
    ControlSpec{"Label5", Kind::Label, 0, 8505, 11895, 375, "", kNightBlue, kButtonText,
                kDefaultFont, 0, 1},
    ControlSpec{"Labesci", Kind::Label, 10080, 8520, 1335, 495, "Esco", kNoColour, kPink,
                kArial1425Bold, kTransparent | kCentred | kActsAsButton, 5},
};

constexpr std::array<const char*, 3> kFocus{"Text2", "Text1", "Grid5"};

}  // namespace

const WindowSpec& resultsDesign() {
    static const WindowSpec design{"Risultati", "Risultati conseguiti nelle esercitazioni",
                                   12330,       9525,
                                   kDark,       nullptr,
                                   kControls,   kFocus};
    return design;
}

}  // namespace screens
