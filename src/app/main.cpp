// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include <cstdio>
#include <cstdlib>

#include <QApplication>
#include <QIcon>

#include "app/commandline.h"
#include "app/program.h"
#include "app/sessionend.h"
#include "app/warmup.h"
#include "archive/status.h"
#include "exercise/uniformsource.h"
#include "screens/builder.h"
#include "screens/designs.h"
#include "screens/messages.h"

namespace {

QStringList argumentsOf(int argc, const char* const argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    return arguments;
}

void print(std::FILE* stream, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stream);
}

}  // namespace

int main(int argc, char* argv[]) {
    // The help is printed before anything needs a display, so it works from any terminal.
    const app::CommandLine early = app::readCommandLine(argumentsOf(argc, argv));
    if (early.outcome == app::CommandLine::Outcome::Help) {
        print(stdout, early.text);
        return EXIT_SUCCESS;
    }
    // While the display is connected, the fonts' configuration is read beside it.
    const app::FontWarmUp fonts;
    QApplication app(argc, argv);
    screens::preloadBackground(screens::nameDesign());
    // Read once Qt has taken out its own options (-platform and the like).
    const app::CommandLine line = app::readCommandLine(QApplication::arguments());
    if (line.outcome != app::CommandLine::Outcome::Run) {
        const bool help = line.outcome == app::CommandLine::Outcome::Help;
        print(help ? stdout : stderr, line.text);
        return help ? EXIT_SUCCESS : app::CommandLine::kWrongExitCode;
    }
    QApplication::setApplicationName(QStringLiteral("Tempolario"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/tempolario.ico")));
    // Qt's own texts, such as the context menu of a text box, in the program's language.
    app::loadQtItalian();
    // The program ends through its own exits, each of which closes the archive first.
    QApplication::setQuitOnLastWindowClosed(false);

    exercise::ClockUniformSource random;
    app::Program program(random, QStringLiteral("tempolario.mdb"));
    // With a service, the school's archive on its server; otherwise the file.
    program.shared().server.service = line.service;
    // Every save has committed before an exit is offered, so leaving at once loses nothing:
    // the event loop ends with the code, and main returns it once the windows are gone.
    QObject::connect(&program, &app::Program::ended,
                     [](int code) { QCoreApplication::exit(code); });
    QObject::connect(&program, &app::Program::failed, [](const archive::Status& status) {
        screens::showFailure(nullptr, status.message());
    });
    if (!program.start()) {
        return EXIT_FAILURE;
    }
    // Logout, shutdown or a lost display store the run before the program goes.
    const app::SessionEnd sessionEnd(program);
    return QApplication::exec();
}
