// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QWidget;

namespace screens {

// Installs, once, what the toolkit's own accessibility does not give the program: a label
// that acts as a button speaks as a push button and can be pressed by a screen reader, and
// the program's windows are frames. The builder calls it before it makes any control.
void installAccessibility();

// Sets what a screen reader says of widget: its name (empty: the control's own text) and,
// read after it, its description. Only a real change is set, so that a change is announced
// once and an unchanged text never.
void setSpoken(QWidget* widget, const QString& name, const QString& description = QString());

// Makes a control that the pupil presses with Space (a date to pick, a box to place it on)
// speak as a push button, whose press a screen reader gives as that Space.
void speakAsPressedBySpace(QWidget* widget);

}  // namespace screens
