// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>

class QAbstractItemView;
class QWidget;

namespace screens {

// Installs, once, what the toolkit's own accessibility does not give the program: controls
// pressed by Space speak as push buttons and can be pressed by a screen reader, and the
// program's windows are frames. The builder calls it before it makes any control.
void installAccessibility();

// Sets what a screen reader says of widget: its name (empty: the control's own text) and,
// read after it, its description. Only a real change is set, so that a change is announced
// once and an unchanged text never.
void setSpoken(QWidget* widget, const QString& name, const QString& description = QString());

// Makes a control that the pupil presses with Space (a date to pick, a box to place it on)
// speak as a push button, whose press a screen reader gives as that Space.
void speakAsPressedBySpace(QWidget* widget);

// What a screen reader finds in window, in this order: the reading order of the design, which
// may differ from the order the controls were made in and from the keyboard's focus order.
// A child left out that can take the focus follows them; the rest (pictures, shapes, a label
// whose words a control already says) is left out.
void setReadingOrder(QWidget* window, const QList<QWidget*>& order);

// A view that takes the focus tells a screen reader which of its entries is current, as it
// does when the current entry changes; otherwise the reader names only the view.
void speakCurrentOnFocus(QAbstractItemView* view);

// Says text to a screen reader at once, once, without moving the focus: what an action did.
// The window's last announcement can be read again at the end of its reading order.
void announce(QWidget* window, const QString& text);

}  // namespace screens
