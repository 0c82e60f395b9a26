// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "screens/labelbutton.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>

#include "screens/enterpress.h"

namespace screens {

LabelButton::LabelButton(QWidget* parent) : QAbstractButton(parent) {
    setMouseTracking(true);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    // A label's roles: its background and text are the palette's window colours.
    setBackgroundRole(QPalette::Window);
    setForegroundRole(QPalette::WindowText);
}

void LabelButton::setAlignment(Qt::Alignment alignment) {
    if (m_alignment != alignment) {
        m_alignment = alignment;
        update();
    }
}

void LabelButton::paintEvent(QPaintEvent*) {
    // As a plain-text label with word wrap draws itself, pixel for pixel.
    QPainter painter(this);
    QStyleOption option;
    option.initFrom(this);
    const int flags = static_cast<int>(
        QStyle::visualAlignment(layoutDirection(), m_alignment).toInt() | Qt::TextWordWrap |
        (text().isRightToLeft() ? Qt::TextForceRightToLeft : Qt::TextForceLeftToRight));
    style()->drawItemText(&painter, contentsRect(), flags, option.palette, isEnabled(), text(),
                          foregroundRole());
}

void LabelButton::mouseMoveEvent(QMouseEvent* event) {
    Q_EMIT hovered();
    QAbstractButton::mouseMoveEvent(event);
    // Over the label-button the window's background is not under the mouse.
    event->accept();
}

void LabelButton::keyPressEvent(QKeyEvent* event) {
    if (!pressOnEnter(*this, event)) {
        QAbstractButton::keyPressEvent(event);
    }
}

}  // namespace screens
