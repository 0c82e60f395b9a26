// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractButton>

namespace screens {

// A label that acts as a button. It looks like a label: its text only, wrapped over as many
// lines as its width needs and aligned as the design says, in the palette's window text on
// its window colour (when it fills its background). It is a button in everything else: the
// toolkit's own button to the keyboard (Tab, Space) and to a screen reader (its role and its
// press). Enter presses it too, as the window's push buttons, and every move of the mouse
// over it is reported: the window's colours under the mouse stay until the mouse leaves for
// the window's background.
class LabelButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit LabelButton(QWidget* parent = nullptr);

    void setAlignment(Qt::Alignment alignment);

Q_SIGNALS:
    void hovered();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    Qt::Alignment m_alignment = Qt::AlignTop | Qt::AlignLeft;
};

}  // namespace screens
