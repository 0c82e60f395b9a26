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
#include "exercise/uniformsource.h"
#include "screens/builder.h"
#include "screens/designs.h"
#include "testtime.h"
#include "windows/formnome.h"
#include "windows/ftempver.h"
#include "windows/risultati.h"
#include "windowtesting.h"

namespace threewindows {

class Road {
public:
    Road() {
        m_path = archivetesting::makeArchive(m_dir.path());
        windowtesting::addNames(m_path,
                                {QStringLiteral("Bianchi Anna"), QStringLiteral("Rossi Mario")});
        m_program = std::make_unique<app::Program>(m_random, m_path);
        QObject::connect(m_program.get(), &app::Program::failed, [](const archive::Status& status) {
            qFatal("archive failure: %s", qPrintable(status.message()));
        });
    }

    QWidget* control(const QWidget* window, const char* name, int index = -1) const {
        return windowtesting::control(window, name, index);
    }

    // The name window, with the second stored name picked.
    windows::FormNome& nameWindow() {
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
    windows::Ftempver& exerciseWindow() {
        if (!m_program->exerciseWindow()) {
            qobject_cast<QPushButton*>(control(&nameWindow(), "CmdOK"))->click();
            windows::Ftempver* window = m_program->exerciseWindow();
            if (!window || !QTest::qWaitForWindowExposed(window, testtime::ms(5000))) {
                qFatal("no exercise window");
            }
            windowtesting::placeDates(*window, 1, 1);
        }
        return *m_program->exerciseWindow();
    }

    windows::Risultati& resultsWindow() {
        if (!m_program->resultsWindow()) {
            qobject_cast<QPushButton*>(control(&exerciseWindow(), "cmdarchivio"))->click();
        }
        return *m_program->resultsWindow();
    }

private:
    QTemporaryDir m_dir;
    QString m_path;
    exercise::ClockUniformSource m_random{1234};
    std::unique_ptr<app::Program> m_program;
    bool m_started = false;
};

}  // namespace threewindows
