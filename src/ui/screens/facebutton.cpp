// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "screens/facebutton.h"

#include <qdrawutil.h>
#include <QKeyEvent>
#include <QPainter>

#include "screens/enterpress.h"

namespace screens {

FaceButton::FaceButton(QWidget* parent) : QPushButton(parent) {
    setFocusPolicy(Qt::StrongFocus);
    // The window's FocusMark shows the focus, the same way on every control.
    setAutoDefault(false);
}

QColor FaceButton::face() const {
    return palette().color(QPalette::Button);
}

void FaceButton::setFace(const QColor& colour) {
    if (face() == colour) {
        return;
    }
    QPalette pal = palette();
    pal.setColor(QPalette::Button, colour);
    setPalette(pal);
}

void FaceButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QColor faceColour = face();
    const bool sunken = isDown();
    QPalette bevel = palette();
    bevel.setColor(QPalette::Button, faceColour);
    // The bevel's shades, in percent of the face.
    constexpr int kLightPercent = 150;
    constexpr int kMidlightPercent = 115;
    constexpr int kMidPercent = 150;
    constexpr int kDarkPercent = 200;
    bevel.setColor(QPalette::Light, faceColour.lighter(kLightPercent));
    bevel.setColor(QPalette::Midlight, faceColour.lighter(kMidlightPercent));
    bevel.setColor(QPalette::Mid, faceColour.darker(kMidPercent));
    bevel.setColor(QPalette::Dark, faceColour.darker(kDarkPercent));
    bevel.setColor(QPalette::Shadow, Qt::black);
    const QBrush fill(faceColour);
    qDrawWinButton(&painter, rect(), bevel, sunken, &fill);

    QRect textRect = rect().adjusted(4, 3, -4, -3);
    if (sunken) {
        textRect.translate(1, 1);
    }
    const int flags = Qt::AlignCenter | Qt::TextWordWrap;
    painter.setFont(font());
    if (isEnabled()) {
        painter.setPen(palette().color(QPalette::Active, QPalette::ButtonText));
        painter.drawText(textRect, flags, text());
    } else {
        // Greyed, etched caption of a disabled button.
        painter.setPen(bevel.color(QPalette::Light));
        painter.drawText(textRect.translated(1, 1), flags, text());
        painter.setPen(bevel.color(QPalette::Mid));
        painter.drawText(textRect, flags, text());
    }
}

void FaceButton::keyPressEvent(QKeyEvent* event) {
    if (!pressOnEnter(*this, event)) {
        QPushButton::keyPressEvent(event);
    }
}

}  // namespace screens
