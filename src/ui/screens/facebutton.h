// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPushButton>

namespace screens {

// A push button whose face shows any colour, enabled or not, with its caption centred and
// wrapped over as many lines as its width needs. The face is the palette's Button colour.
// Space and Enter press it when it has the focus.
class FaceButton : public QPushButton {
    Q_OBJECT
public:
    explicit FaceButton(QWidget* parent = nullptr);

    QColor face() const;
    void setFace(const QColor& colour);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace screens
