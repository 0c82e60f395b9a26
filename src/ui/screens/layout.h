// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cmath>
#include <span>

#include <QRgb>

namespace screens {

// Window designs as data. Places and sizes are twips from the top-left corner of the client
// area; 15 twips make one device-independent pixel, so a design scales with the desktop.
constexpr int kTwipsPerPixel = 15;

enum class Kind {
    Label,        // QLabel; opaque unless Transparent
    Button,       // push button whose face can take any colour
    FilledRect,   // filled rectangle, no outline
    RoundedRect,  // rounded outline, no fill
    Picture,      // a picture from the resources, natural size or stretched
    ListBox,
    TextField,
    Grid,
};

// Colours: a real colour is 0xFFRRGGBB (qRgb); these stand for the desktop's system colours.
constexpr QRgb kButtonFace = 0x00000001;
constexpr QRgb kButtonText = 0x00000002;
constexpr QRgb kWindowText = 0x00000003;
constexpr QRgb kNoColour = 0x00000000;

enum Flag : unsigned {
    kBordered = 1u << 0,      // thin sunken border inside the rectangle
    kCentred = 1u << 1,       // each line centred
    kRightAligned = 1u << 2,  // each line flush right
    kTransparent = 1u << 3,   // draws only its text
    kHidden = 1u << 4,
    kStretched = 1u << 5,     // picture scaled to the control, proportions not kept
    kActsAsButton = 1u << 6,  // a label that reports clicks and mouse moves
};

struct FontSpec {
    const char* family = nullptr;  // nullptr: the window's default font
    double points = 0;
    bool bold = false;
};

// "MS Sans Serif" 8.25 pt regular, the default font of every window.
constexpr FontSpec kDefaultFont{"MS Sans Serif", 8.25, false};
// The larger text faces that several windows share.
constexpr FontSpec kSans975{"MS Sans Serif", 9.75, false};
constexpr FontSpec kSans975Bold{"MS Sans Serif", 9.75, true};

struct ControlSpec {
    const char* name;
    Kind kind;
    int left;
    int top;
    int width;
    int height;
    const char* text = "";  // UTF-8; for a picture, its resource path
    QRgb background = kButtonFace;
    QRgb foreground = kButtonText;
    FontSpec font = kDefaultFont;
    unsigned flags = 0;
    // Drawing order: a higher layer is drawn above a lower one.
    int layer = 0;
    // Arrays of like controls: count members, member k placed pitch * k twips lower.
    int count = 1;
    int pitch = 0;
    // For arrays whose members differ in colour: the background of member k, or nullptr.
    QRgb (*backgroundOf)(int index) = nullptr;
    // Outline width in pixels, for a rounded rectangle.
    int lineWidth = 1;
};

struct WindowSpec {
    const char* objectName;
    const char* title;  // UTF-8
    int clientWidth;    // twips
    int clientHeight;
    QRgb background;
    const char* backgroundPicture = nullptr;  // resource path, drawn at natural size at 0, 0
    std::span<const ControlSpec> controls;
    // Names of the controls that take the keyboard focus, in order; the first has it first.
    std::span<const char* const> focusOrder;
};

// Twips to device-independent pixels, rounded to the nearest.
constexpr int pixels(int twips) {
    return (twips >= 0 ? twips + kTwipsPerPixel / 2 : twips - kTwipsPerPixel / 2) / kTwipsPerPixel;
}

// Twips to device-independent pixels at a zoom factor, rounded to the nearest. Rounding the
// two edges of a control, rather than its size, keeps controls that touch in twips touching.
inline int pixels(int twips, double zoom) {
    return static_cast<int>(std::lround(twips * zoom / kTwipsPerPixel));
}

}  // namespace screens
