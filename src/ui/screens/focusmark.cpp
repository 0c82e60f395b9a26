// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "screens/focusmark.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>

namespace screens {

FocusMark::FocusMark(QWidget* window) : QWidget(window) {
    setObjectName(QStringLiteral("focusMark"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    hide();
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget*, QWidget* now) { follow(now); });
    follow(QApplication::focusWidget());
}

void FocusMark::follow(QWidget* focused) {
    QWidget* window = parentWidget();
    const bool ours = focused != nullptr && focused != window && focused != this &&
                      focused->window() == window && window->isAncestorOf(focused);
    if (m_target && m_target != focused) {
        m_target->removeEventFilter(this);
    }
    if (!ours) {
        m_target = nullptr;
        hide();
        return;
    }
    if (m_target != focused) {
        m_target = focused;
        m_target->installEventFilter(this);
    }
    place();
}

void FocusMark::place() {
    if (!m_target || !m_target->isVisible()) {
        hide();
        return;
    }
    QWidget* window = parentWidget();
    const QRect on(m_target->mapTo(window, QPoint(0, 0)), m_target->size());
    setGeometry(on.adjusted(-2 * kRing, -2 * kRing, 2 * kRing, 2 * kRing));
    raise();
    show();
}

bool FocusMark::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_target) {
        switch (event->type()) {
            case QEvent::Move:
            case QEvent::Resize:
            case QEvent::Show:
            case QEvent::Hide:
                place();
                break;
            default:
                break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void FocusMark::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect outer = rect();
    const QRect inner = outer.adjusted(kRing, kRing, -kRing, -kRing);
    const QRect control = inner.adjusted(kRing, kRing, -kRing, -kRing);
    const QRegion whiteRing = QRegion(outer).subtracted(inner);
    const QRegion blackRing = QRegion(inner).subtracted(control);
    painter.setClipRegion(whiteRing);
    painter.fillRect(outer, Qt::white);
    painter.setClipRegion(blackRing);
    painter.fillRect(inner, Qt::black);
}

}  // namespace screens
