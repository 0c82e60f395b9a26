// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/sessionend.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <csignal>
#include <cstdlib>

#include <QSocketNotifier>

#include "app/program.h"

namespace app {

namespace {

constexpr std::array kSignals{SIGTERM, SIGHUP, SIGINT};

// Written by the signal handler, read on the user-interface thread.
std::array<int, 2> g_pipe{-1, -1};
// The program to store from exit(), while a SessionEnd lives.
Program* g_program = nullptr;

extern "C" void onSignal(int number) {
    const int saved = errno;
    const auto byte = static_cast<unsigned char>(number);
    // A full pipe already holds a signal that ends the program.
    [[maybe_unused]] const ssize_t written = write(g_pipe[1], &byte, 1);
    errno = saved;
}

void storeOnExit() {
    if (g_program != nullptr) {
        Program* program = g_program;
        g_program = nullptr;
        program->storeAtSessionEnd(
            QStringLiteral("il programma si chiude all'improvviso (collegamento con lo schermo "
                           "interrotto)"));
    }
}

QString causeOf(int number) {
    switch (number) {
        case SIGTERM:
            return QStringLiteral("la sessione si chiude (segnale SIGTERM)");
        case SIGHUP:
            return QStringLiteral("la sessione o il terminale si è chiuso (segnale SIGHUP)");
        default:
            return QStringLiteral("il programma è stato interrotto (segnale SIGINT)");
    }
}

}  // namespace

SessionEnd::SessionEnd(Program& program) : m_program(program) {
    if (pipe2(g_pipe.data(), O_CLOEXEC | O_NONBLOCK) != 0) {
        qWarning("Tempolario: no pipe for the signals that end the session");
        return;
    }
    m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SessionEnd::readSignal);
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int number : kSignals) {
        sigaction(number, &action, nullptr);
    }
    g_program = &program;
    static const bool registered = std::atexit(storeOnExit) == 0;
    Q_UNUSED(registered);
}

SessionEnd::~SessionEnd() {
    g_program = nullptr;
    for (const int number : kSignals) {
        std::signal(number, SIG_DFL);
    }
    for (int& fd : g_pipe) {
        if (fd >= 0) {
            close(fd);
            fd = -1;
        }
    }
}

void SessionEnd::readSignal() {
    unsigned char byte = 0;
    if (read(g_pipe[0], &byte, 1) != 1) {
        return;
    }
    g_program = nullptr;
    m_program.endSession(causeOf(byte));
}

}  // namespace app
