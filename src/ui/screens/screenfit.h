// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

#include <QMargins>
#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QRect>

class QScreen;
class QWidget;

namespace screens {

// Keeps a top-level window fitted to its screen. The window's fitting (its zoom, size and
// place) is called with the screen's available area and the frame the desktop draws around
// the window, and only when one of them has changed since the last fitting: when the window
// is made and first shown, once the desktop has framed it (its real frame is then known),
// when it goes to another screen, and when its screen's available area changes (a panel
// added, a resolution changed). After each fitting a shown window is moved back inside the
// available area if it stands partly outside. A window moved about on one screen is not
// fitted again.
class ScreenFit : public QObject {
public:
    using Fitting = std::function<void(const QRect& available, const QMargins& frame)>;

    // Fits window at once, before it is ever shown.
    ScreenFit(QWidget* window, Fitting fitting);

    // Fits the window now if its screen's area or its frame has changed.
    void fit();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void follow(QScreen* screen);
    void keepInside();

    QWidget* m_window;
    Fitting m_fitting;
    QPointer<QScreen> m_screen;
    QMetaObject::Connection m_areaChanged;
    bool m_windowWatched = false;
    bool m_fitted = false;
    QRect m_available;
    QMargins m_frame;
};

}  // namespace screens
