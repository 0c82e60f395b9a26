// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The window tests' common ground: controls found by their designed object names, stored
// pupils to list, the name typed into the input box, dates dragged onto the boxes as a
// pointer drags them, and the contrast of two colours.
#include <algorithm>
#include <cmath>

#include <QColor>
#include <QInputDialog>
#include <QStringList>
#include <QTest>
#include <QWindow>

#include "archivetesting.h"
#include "drilltesting.h"
#include "exercise/drill.h"
#include "modalhelper.h"
#include "screens/builder.h"
#include "windows/ftempver.h"

namespace windowtesting {

// The control of window with that object name (the index-th of a control array); null when
// the window has none.
template <class T = QWidget>
T* control(const QWidget* window, const QString& name, int index = -1) {
    return qobject_cast<T*>(screens::findControl(window, name, index));
}
template <class T = QWidget>
T* control(const QWidget* window, const char* name, int index = -1) {
    return control<T>(window, QString::fromLatin1(name), index);
}

// The contrast ratio of two colours as the accessibility guidelines reckon it, from 1 to 21.
inline double contrastRatio(const QColor& a, const QColor& b) {
    const auto luminance = [](const QColor& c) {
        const auto channel = [](double v) {
            return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) +
               0.0722 * channel(c.blueF());
    };
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// Stores rows with these names, and nothing else, in the archive file at path.
inline void addNames(const QString& path, const QStringList& names) {
    for (const QString& name : names) {
        archivetesting::execRaw(
            path, QStringLiteral("INSERT INTO tempar (nome) VALUES ('%1')").arg(name).toUtf8());
    }
}

// The input box the name window is about to open gets this answer, or "Annulla" when the
// answer is null.
inline void answerNameBox(const QString& answer) {
    whenModal([answer](QWidget* modal) {
        auto* dialog = qobject_cast<QInputDialog*>(modal);
        if (answer.isNull()) {
            dialog->reject();
            return;
        }
        dialog->setTextValue(answer);
        dialog->accept();
    });
}

// Drags date label dateLabel onto box with the mouse, through the platform window.
inline void dragDate(windows::Ftempver& window, int dateLabel, int box) {
    QWindow* handle = window.windowHandle();
    const QPoint from = control(&window, "Label3", dateLabel)->geometry().center();
    const QPoint to = control(&window, "Label2", box)->geometry().center();
    QTest::mousePress(handle, Qt::LeftButton, {}, from);
    QTest::mouseMove(handle, to);
    QTest::mouseRelease(handle, Qt::LeftButton, {}, to);
}

// The box whose row expects date label dateLabel, or with right false the first that does
// not; -1 when there is none.
inline int boxFor(const windows::Ftempver& window, int dateLabel, bool right = true) {
    const exercise::Drill& drill = window.drill();
    for (int box = 0; box < exercise::Drill::kFacts; ++box) {
        if ((exercise::DrillTesting::rowDate(drill)[box + 1] == drill.dateText(dateLabel)) ==
            right) {
            return box;
        }
    }
    return -1;
}

// Places `right` dates right and then `wrong` dates wrong, date label n % 10 the n-th.
inline void placeDates(windows::Ftempver& window, int right, int wrong) {
    for (int n = 0; n < right + wrong; ++n) {
        const int label = n % exercise::Drill::kFacts;
        const int box = boxFor(window, label, n < right);
        if (box >= 0) {
            dragDate(window, label, box);
        }
    }
}

}  // namespace windowtesting
