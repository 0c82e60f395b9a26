// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The exercise window: ten rows of fact, box and date label on the left, the light blue
// panel of set buttons on the right, the peach strip with the counters at the bottom.
#include <array>

#include "screens/designs.h"

namespace screens {

namespace {

constexpr FontSpec kSansBold{"MS Sans Serif", 8.25, true};

constexpr QRgb kPink = qRgb(255, 192, 255);

// The rows' colours, as the design gives them.
// NOLINTBEGIN(readability-magic-numbers)
QRgb factBackground(int k) {
    return k % 2 == 0 ? qRgb(192, 192, 255) : qRgb(192, 255, 192);
}
QRgb boxBackground(int k) {
    return k < 4 ? qRgb(255, 255, 192) : qRgb(255, 255, 128);
}
QRgb dateBackground(int k) {
    return k == 0 ? qRgb(255, 255, 128) : qRgb(255, 255, 0);
}
// NOLINTEND(readability-magic-numbers)

// Layers: the two filled rectangles lie beneath everything, the counters above their text
// lines, and push buttons above all the rest (cmdarchivio above CMDESCO where they overlap).
const std::array kControls{
    // name, kind, left, top, width, height, text, background, text colour, font, flags, layer,
    // count, pitch, background of member k
    ControlSpec{"Shape2",
                Kind::FilledRect,
                0,
                7320,
                9015,
                1455,
                "",
                kNoColour,
                qRgb(255, 224, 192),
                {},
                0,
                1},
    ControlSpec{"Label10", Kind::Label, 1440, 7800, 3615, 375,
                "                           TOTALE                SU", kPink, kButtonText,
                kDefaultFont, 0, 2},
    ControlSpec{"Shape1",
                Kind::FilledRect,
                9000,
                0,
                2895,
                8775,
                "",
                kNoColour,
                qRgb(192, 192, 255),
                {},
                0,
                3},
    ControlSpec{"Label1", Kind::Label, 120, 120, 6135, 615, "", kNoColour, kButtonText, kSans975,
                kBordered, 4, 10, 720, factBackground},
    ControlSpec{"Label2", Kind::Label, 6480, 120, 1095, 615, "", kNoColour, kButtonText,
                kDefaultFont, kBordered | kCentred, 5, 10, 720, boxBackground},
    ControlSpec{"Label3", Kind::Label, 7800, 120, 1095, 615, "", kNoColour, kButtonText, kSansBold,
                kBordered | kCentred, 6, 10, 720, dateBackground},
    ControlSpec{"Label4", Kind::Label, 1440, 7440, 3615, 375,
                "Nell'esercizio attuale                su ", kPink, kButtonText, kSans975, 0, 7},
    ControlSpec{"Label5", Kind::Label, 3360, 7440, 495, 255, "0", kButtonFace, kButtonText,
                kDefaultFont, kBordered | kCentred, 8},
    ControlSpec{"Label6", Kind::Label, 4320, 7440, 495, 255, "0", kButtonFace, kButtonText,
                kDefaultFont, kBordered | kCentred, 9},
    ControlSpec{"Label7", Kind::Label, 3360, 7800, 495, 255, "0", kButtonFace, kButtonText,
                kDefaultFont, kBordered | kCentred, 10},
    ControlSpec{"Label8", Kind::Label, 4320, 7800, 495, 255, "0", kButtonFace, kButtonText,
                kDefaultFont, kBordered | kCentred, 11},
    ControlSpec{"Label9", Kind::Label, 9120, 6600, 2655, 615, "Tempolario delle classi",
                kButtonFace, kButtonText, kSansBold, kCentred, 12},
    ControlSpec{"Label11", Kind::Label, 5040, 7440, 1215, 735, "Aiuti ricevuti:", kPink,
                kButtonText, kSans975, 0, 13},
    ControlSpec{"Labaiuti", Kind::Label, 5280, 7680, 495, 255, "", kButtonFace, kButtonText,
                kDefaultFont, kBordered, 14},
    ControlSpec{"Image1",
                Kind::Picture,
                9120,
                120,
                2550,
                4245,
                ":/esercizio.jpg",
                kNoColour,
                kNoColour,
                {},
                0,
                15},
    ControlSpec{"cmd0", Kind::Button, 9120, 5160, 2655, 615, "Tempolario completa", kButtonFace,
                kButtonText, kSansBold, 0, 100},
    ControlSpec{"cmdessenz", Kind::Button, 9120, 5880, 2655, 615, "Solo tempolario essenziale",
                kButtonFace, kButtonText, kSansBold, 0, 100},
    // The class buttons read 4°, 5°, then after a gap 1°, 2°, 3°.
    ControlSpec{"Cmd1", Kind::Button, 10320, 6840, 495, 375, "1°", kButtonFace, kButtonText,
                kSansBold, 0, 100},
    ControlSpec{"Cmd1", Kind::Button, 10800, 6840, 495, 375, "2°", kButtonFace, kButtonText,
                kSansBold, 0, 100},
    ControlSpec{"Cmd1", Kind::Button, 11280, 6840, 495, 375, "3°", kButtonFace, kButtonText,
                kSansBold, 0, 100},
    ControlSpec{"Cmd1", Kind::Button, 9120, 6840, 495, 375, "4°", kButtonFace, kButtonText,
                kSansBold, 0, 100},
    ControlSpec{"Cmd1", Kind::Button, 9600, 6840, 495, 375, "5°", kButtonFace, kButtonText,
                kSansBold, 0, 100},
    ControlSpec{"CMDESCO", Kind::Button, 9120, 7810, 2655, 375, "ESCO", kButtonFace, kButtonText,
                kDefaultFont, 0, 100},
    ControlSpec{"cmdarchivio", Kind::Button, 9120, 7440, 2655, 375, "Vedo l'archivio dei risultati",
                kButtonFace, kButtonText, kDefaultFont, 0, 101},
    ControlSpec{"cmdnuovo", Kind::Button, 6480, 7440, 2415, 735, "ESERCIZIO SUCCESSIVO",
                qRgb(128, 128, 255), kButtonText, kDefaultFont, 0, 100},
};

constexpr std::array<const char*, 10> kFocus{"CMDESCO", "cmdnuovo", "cmdarchivio", "Cmd1#0",
                                             "Cmd1#1",  "Cmd1#2",   "cmd0",        "cmdessenz",
                                             "Cmd1#3",  "Cmd1#4"};

}  // namespace

const WindowSpec& exerciseDesign() {
    static const WindowSpec design{
        "ftempver",
        "TEMPOLARIO DEI FATTI IMPORTANTI: clicca sulle date e trascinale nelle caselle a sinistra.",
        11880,
        8730,
        qRgb(192, 192, 192),
        nullptr,
        kControls,
        kFocus};
    return design;
}

}  // namespace screens
