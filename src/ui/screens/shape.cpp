// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "screens/shape.h"

#include <QPainter>

namespace screens {

Shape::Shape(bool rounded, const QColor& colour, int lineWidth, QWidget* parent)
    : QWidget(parent), m_rounded(rounded), m_colour(colour), m_lineWidth(lineWidth) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void Shape::setLineWidth(int width) {
    if (width != m_lineWidth) {
        m_lineWidth = width;
        update();
    }
}

void Shape::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!m_rounded) {
        painter.fillRect(rect(), m_colour);
        return;
    }
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(m_colour, m_lineWidth));
    painter.setBrush(Qt::NoBrush);
    const qreal inset = m_lineWidth / 2.0;
    const QRectF outline = QRectF(rect()).adjusted(inset, inset, -inset, -inset);
    const qreal radius = std::min(outline.width(), outline.height()) / 10.0;
    painter.drawRoundedRect(outline, radius, radius);
}

}  // namespace screens
