// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "screens/screenfit.h"

#include <algorithm>
#include <utility>

#include <QEvent>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include "screens/builder.h"

namespace screens {

ScreenFit::ScreenFit(QWidget* window, Fitting fitting)
    : QObject(window), m_window(window), m_fitting(std::move(fitting)) {
    window->installEventFilter(this);
    fit();
}

void ScreenFit::fit() {
    QScreen* screen = m_window->screen();
    if (screen == nullptr) {
        return;
    }
    follow(screen);
    const QRect available = screen->availableGeometry();
    const QMargins frame = frameMargins(m_window);
    if (m_fitted && available == m_available && frame == m_frame) {
        return;
    }
    m_fitted = true;
    m_available = available;
    m_frame = frame;
    m_fitting(available, frame);
    keepInside();
}

void ScreenFit::keepInside() {
    // A shown window that the desktop moved, or that a smaller free area leaves partly
    // outside, comes back in whole, frame included.
    if (!m_window->isVisible()) {
        return;
    }
    const QSize outer = m_window->size().grownBy(m_frame);
    const QPoint corner = m_window->frameGeometry().topLeft();
    const QPoint at(
        std::max(m_available.left(), std::min(corner.x(), m_available.right() + 1 - outer.width())),
        std::max(m_available.top(), std::min(corner.y(), m_available.bottom() + 1 - outer.height())));
    if (at != corner) {
        m_window->move(at);
    }
}

void ScreenFit::follow(QScreen* screen) {
    if (screen == m_screen) {
        return;
    }
    disconnect(m_areaChanged);
    m_screen = screen;
    m_areaChanged = connect(screen, &QScreen::availableGeometryChanged, this, [this] { fit(); });
}

bool ScreenFit::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_window) {
        switch (event->type()) {
            case QEvent::Show:
                // The native window exists from the first showing on; it tells of a new screen.
                if (!m_windowWatched && m_window->windowHandle() != nullptr) {
                    m_windowWatched = true;
                    connect(m_window->windowHandle(), &QWindow::screenChanged, this,
                            [this] { fit(); });
                }
                fit();
                break;
            case QEvent::WindowActivate:
            case QEvent::Move:
                // The desktop frames a shown window by moving it into its frame: only then is
                // the real frame known. Any other move leaves the frame as it was, and fit()
                // does nothing. A window that grew before it was framed may be framed where
                // it stands, its title above the screen, with no move at all: the desktop
                // then makes it the active window, and the real frame is known by then.
                if (m_window->isVisible()) {
                    fit();
                }
                break;
            default:
                break;
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace screens
