// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractButton>
#include <QKeyEvent>

namespace screens {

// Enter presses a focused button as Space does, in any window, not only in dialogs. The
// keypad's Enter comes with the keypad modifier, and is Enter all the same. Returns whether
// the key was Enter (and so taken).
inline bool pressOnEnter(QAbstractButton& button, QKeyEvent* event) {
    if ((event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) ||
        (event->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) {
        return false;
    }
    if (!event->isAutoRepeat() && button.isEnabled()) {
        button.click();
    }
    event->accept();
    return true;
}

}  // namespace screens
