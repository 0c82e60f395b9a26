// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "screens/screenfit.h"

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
            case QEvent::Move:
                // The desktop frames a shown window by moving it into its frame: only then is
                // the real frame known. Any other move leaves the frame as it was, and fit()
                // does nothing.
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
