// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The program's three windows reached as a pupil reaches them: a stored name picked in the
// name window, a few dates placed in the exercise window (right and wrong), then the
// results window. Shared by the screen-fit and contrast tests.
#include <QItemSelectionModel>
#include <QListView>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

#include "app/program.h"
#include "archivetesting.h"
#include "drilltesting.h"
#include "exercise/drill.h"
#include "exercise/uniformsource.h"
#include "screens/builder.h"
#include "screens/designs.h"
#include "testtime.h"
#include "windows/formnome.h"
#include "windows/ftempver.h"
#include "windows/risultati.h"

namespace threewindows {

class Road {
public:
    Road() {
        m_path = archivetesting::makeArchive(m_dir.path());
        for (const char* name : {"Bianchi Anna", "Rossi Mario"}) {
            archivetesting::execRaw(m_path,
                                    QStringLiteral("INSERT INTO tempar (nome) VALUES ('%1')")
                                        .arg(QString::fromLatin1(name))
                                        .toUtf8());
        }
        m_program = std::make_unique<archive::Program>(m_random, m_path);
        QObject::connect(m_program.get(), &archive::Program::failed,
                         [](const archive::Status& status) {
                             qFatal("archive failure: %s", qPrintable(status.message()));
                         });
    }

    QWidget* control(const QWidget* window, const char* name, int index = -1) const {
        return screens::findControl(window, QString::fromLatin1(name), index);
    }

    // The name window, with the second stored name picked.
    archive::FormNome& nameWindow() {
        if (!m_started) {
            m_started = true;
            if (!m_program->start()) {
                qFatal("the program did not start");
            }
            auto* list = qobject_cast<QListView*>(control(&m_program->nameWindow(), "List1"));
            list->selectionModel()->select(list->model()->index(1, 0),
                                           QItemSelectionModel::ClearAndSelect);
        }
        return m_program->nameWindow();
    }

    // The exercise window, with one date placed right and one wrong.
    exercise::Ftempver& exerciseWindow() {
        if (!m_program->exerciseWindow()) {
            qobject_cast<QPushButton*>(control(&nameWindow(), "CmdOK"))->click();
            exercise::Ftempver* window = m_program->exerciseWindow();
            if (!window || !QTest::qWaitForWindowExposed(window, testtime::ms(5000))) {
                qFatal("no exercise window");
            }
            place(0, true);
            place(1, false);
        }
        return *m_program->exerciseWindow();
    }

    archive::Risultati& resultsWindow() {
        if (!m_program->resultsWindow()) {
            qobject_cast<QPushButton*>(control(&exerciseWindow(), "cmdarchivio"))->click();
        }
        return *m_program->resultsWindow();
    }

    // Drags date label dateLabel onto its right box or onto a wrong one.
    void place(int dateLabel, bool right) {
        exercise::Ftempver& window = *m_program->exerciseWindow();
        const exercise::Drill& drill = window.drill();
        for (int box = 0; box < exercise::Drill::kFacts; ++box) {
            if ((exercise::DrillTesting::rowDate(drill)[box + 1] == drill.dateText(dateLabel)) ==
                right) {
                const QPoint from = control(&window, "Label3", dateLabel)->geometry().center();
                const QPoint to = control(&window, "Label2", box)->geometry().center();
                QTest::mousePress(window.windowHandle(), Qt::LeftButton, {}, from);
                QTest::mouseMove(window.windowHandle(), to);
                QTest::mouseRelease(window.windowHandle(), Qt::LeftButton, {}, to);
                return;
            }
        }
    }

private:
    QTemporaryDir m_dir;
    QString m_path;
    exercise::ClockUniformSource m_random{1234};
    std::unique_ptr<archive::Program> m_program;
    bool m_started = false;
};

}  // namespace threewindows
