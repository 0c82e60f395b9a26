// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "screens/labelbutton.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace screens {

LabelButton::LabelButton(QWidget* parent) : QLabel(parent) {
    setMouseTracking(true);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
}

void LabelButton::mouseMoveEvent(QMouseEvent* event) {
    Q_EMIT hovered();
    event->accept();
}

void LabelButton::mousePressEvent(QMouseEvent* event) {
    event->accept();
}

void LabelButton::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        Q_EMIT clicked();
    }
}

}  // namespace screens

namespace screens {

void LabelButton::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Space:
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Select:
            event->accept();
            if (!event->isAutoRepeat()) {
                Q_EMIT clicked();
            }
            return;
        default:
            QLabel::keyPressEvent(event);
    }
}

}  // namespace screens
