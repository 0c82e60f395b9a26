// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class QSocketNotifier;

namespace app {

class Program;

// Stores the run before the program is ended from outside. SIGTERM (logout, shutdown),
// SIGHUP and SIGINT reach the user-interface thread through a pipe that the signal handler
// writes to, and end the program through Program::endSession. When the display goes away,
// Qt's X11 plugin ends the process with exit(): a handler that exit() runs stores the run
// then (main's objects are still alive, since exit() does not return to main). One
// instance, living in main beside the program.
class SessionEnd : public QObject {
public:
    explicit SessionEnd(Program& program);
    ~SessionEnd() override;
    SessionEnd(const SessionEnd&) = delete;
    SessionEnd& operator=(const SessionEnd&) = delete;

private:
    void readSignal();

    Program& m_program;
    QSocketNotifier* m_notifier = nullptr;
};

}  // namespace app
