// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

namespace app {

// What the program's command line asks for. Qt's own options (-platform and the like) are
// taken out by QApplication before this reads the rest.
struct CommandLine {
    enum class Outcome {
        Run,    // start the program
        Help,   // print `text` on standard output and end with 0
        Wrong,  // print `text` on standard error and end with kWrongExitCode
    };
    static constexpr int kWrongExitCode = 2;

    Outcome outcome = Outcome::Run;
    // The libpq service of the school's archive on a server; empty: the file in the
    // working folder.
    QString service;
    QString text;
};

// Reads the arguments, the program's own path first, as main receives them.
CommandLine readCommandLine(const QStringList& arguments);

}  // namespace app
