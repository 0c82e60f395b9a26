// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The name window: a greyscale picture as background, the list of stored names on the left,
// the chosen name and three large buttons on the right.
#include <array>

#include "screens/designs.h"

namespace screens {

namespace {

constexpr FontSpec kSans12{"MS Sans Serif", 12, false};
constexpr FontSpec kSans12Bold{"MS Sans Serif", 12, true};
constexpr FontSpec kArial1125{"Arial", 11.25, false};
constexpr FontSpec kArial12{"Arial", 12, false};

constexpr QRgb kPaleYellow = qRgb(255, 255, 192);
constexpr QRgb kPaleGreenYellow = qRgb(240, 255, 192);

// Layers: Label1 lowest, then LabNOME, Shape2, Label2, Label7, Label8; the list and the
// buttons above every label.
const std::array kControls{
    ControlSpec{"Label1", Kind::Label, 120, 120, 11535, 495,
                "Clicca sul tuo nome se è già presente nell'elenco. Se non lo trovi, clicca su "
                "INSERISCO IL MIO NOME",
                kButtonFace, qRgb(192, 0, 192), kSans975Bold, kRightAligned, 1},
    ControlSpec{"Label2", Kind::Label, 1320, 720, 3615, 255, "Elenco dei nomi presenti in archivio",
                kNoColour, qRgb(255, 255, 255), kDefaultFont, kTransparent | kCentred, 4},
    ControlSpec{"List1", Kind::ListBox, 1320, 960, 3615, 6510, "", qRgb(255, 224, 192), kWindowText,
                kSans975, 0, 100},
    ControlSpec{"Label8", Kind::Label, 6600, 960, 4455, 375, "Nome selezionato:", kPaleYellow,
                kButtonText, kSans12, 0, 6},
    ControlSpec{"LabNOME", Kind::Label, 6600, 1320, 4455, 375, "", kPaleYellow, kButtonText,
                kSans12Bold, kCentred, 2},
    ControlSpec{"CmdOK", Kind::Button, 6600, 2400, 4455, 1575,
                "CLICCA QUI, se la scelta del nome è giusta. Altrimenti scegli un altro nome "
                "negli elenchi, oppure clicca su INSERISCO IL MIO NOME",
                kPaleGreenYellow, kButtonText, kArial1125, 0, 100},
    ControlSpec{"Label7", Kind::Label, 6600, 2400, 4455, 1575, "", kPaleGreenYellow, kButtonText,
                kDefaultFont, 0, 5},
    ControlSpec{"cmdNOME", Kind::Button, 6600, 4680, 4455, 1455, "INSERISCO IL MIO NOME",
                qRgb(192, 255, 192), kButtonText, kArial12, 0, 100},
    ControlSpec{"cmdesci", Kind::Button, 6600, 6720, 4455, 735, "Esco", qRgb(170, 224, 192),
                kButtonText, kDefaultFont, 0, 100},
    ControlSpec{"Shape2", Kind::FilledRect, 0, 0, 135, 7695, "", kNoColour, kButtonFace, {}, 0, 3},
};

constexpr std::array<const char*, 4> kFocus{"List1", "cmdesci", "cmdNOME", "CmdOK"};

}  // namespace

const WindowSpec& nameDesign() {
    static const WindowSpec design{"FormNOME",  "Tempolario", 11880,     8580,
                                   kButtonFace, ":/nome.jpg", kControls, kFocus};
    return design;
}

}  // namespace screens
