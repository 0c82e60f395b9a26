// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QWidget>

namespace screens {

// The keyboard focus made visible on one window, whatever the style and however the focus
// came (Tab, arrows, a click, the program): a frame drawn just outside the focused control,
// a black ring inside a white one, so that one of the two stands out at 3:1 or more against
// any background. It sits above the window's controls and lets the mouse through.
class FocusMark : public QWidget {
    Q_OBJECT
public:
    // Width of each of the two rings, in pixels.
    static constexpr int kRing = 2;

    explicit FocusMark(QWidget* window);

    // The control the frame is drawn around, or nullptr while the focus is elsewhere.
    QWidget* target() const { return m_target.data(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void follow(QWidget* focused);
    void place();

    QPointer<QWidget> m_target;
};

}  // namespace screens
