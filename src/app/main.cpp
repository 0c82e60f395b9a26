// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include <cstdlib>

#include <QApplication>
#include <QIcon>

#include "app/program.h"
#include "archive/status.h"
#include "exercise/uniformsource.h"
#include "screens/messages.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tempolario"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/tempolario.ico")));
    // Qt's own texts, such as the context menu of a text box, in the program's language.
    archive::loadQtItalian();
    // The program ends through its own exits, each of which closes the archive first.
    QApplication::setQuitOnLastWindowClosed(false);

    exercise::ClockUniformSource random;
    archive::Program program(random, QStringLiteral("tempolario.mdb"));
    // Every save has committed before an exit is offered, so leaving at once loses nothing.
    QObject::connect(&program, &archive::Program::ended, [](int code) { std::exit(code); });
    QObject::connect(&program, &archive::Program::failed, [](const archive::Status& status) {
        screens::showFailure(nullptr, status.message());
    });
    if (!program.start()) {
        return EXIT_FAILURE;
    }
    return QApplication::exec();
}
