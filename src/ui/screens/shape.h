// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

namespace screens {

// A drawn shape: a filled rectangle, or a rounded outline with no fill. It takes no mouse
// events, so a place covered only by a shape behaves as the window's background.
class Shape : public QWidget {
    Q_OBJECT
public:
    Shape(bool rounded, const QColor& colour, int lineWidth, QWidget* parent);

    QColor colour() const { return m_colour; }
    void setLineWidth(int width);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_rounded;
    QColor m_colour;
    int m_lineWidth;
};

}  // namespace screens
