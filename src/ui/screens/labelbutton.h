// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>

namespace screens {

// A label that acts as a button: only its text shows, a click on it is reported, and so is
// every move of the mouse over it. Like a push button it takes the focus by Tab or click,
// and Space or Enter press it.
class LabelButton : public QLabel {
    Q_OBJECT
public:
    explicit LabelButton(QWidget* parent = nullptr);

Q_SIGNALS:
    void clicked();
    void hovered();

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace screens
