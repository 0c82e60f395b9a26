// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Answers the modal box that the code under test is about to open: polls until it is up,
// then hands it to the given function, which must close it.
#include <functional>
#include <utility>

#include <QApplication>
#include <QTimer>

inline void whenModal(std::function<void(QWidget*)> answer) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, answer = std::move(answer)] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            answer(modal);
        }
    });
    timer->start();
}
