// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The fault and load tests' own test server, which they kill, stop and restart (never the
// one the other server tests share), and the pupils' computers they run against it: client
// processes (server_client) whose lines are read back from a file each.

#include <csignal>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>
#include <QThread>
#include <algorithm>
#include <memory>
#include <vector>

#include "pgtesting.h"
#include "testtime.h"

namespace servertesting {

// The test server's folder and the script that manages it, from the test's environment.
class TestServer {
public:
    TestServer()
        : m_dir(qEnvironmentVariable("TEMPOLARIO_TEST_PGSERVER")),
          m_script(qEnvironmentVariable("TEMPOLARIO_TEST_PGSCRIPT")) {}

    // Empty when the test may kill this server; otherwise why not.
    QString unusable() const {
        if (m_dir.isEmpty() || m_script.isEmpty()) {
            return QStringLiteral(
                "PGSERVICEFILE is set but TEMPOLARIO_TEST_PGSERVER or TEMPOLARIO_TEST_PGSCRIPT "
                "is not: these tests stop their server and need one of their own");
        }
        return QString();
    }

    // Every process of the server, the postmaster first; empty when it is down.
    QList<qint64> pids() const {
        QProcess script;
        script.start(QStringLiteral("bash"), {m_script, QStringLiteral("pids"), m_dir});
        script.waitForFinished(testtime::ms(30000));
        QList<qint64> found;
        for (const QByteArray& line : script.readAllStandardOutput().split('\n')) {
            if (!line.trimmed().isEmpty()) {
                found << line.trimmed().toLongLong();
            }
        }
        return found;
    }

    // Sends the signal to the postmaster and every backend; false if there was none.
    bool signalAll(int number) const {
        const QList<qint64> all = pids();
        for (const qint64 pid : all) {
            ::kill(static_cast<pid_t>(pid), number);
        }
        return !all.isEmpty();
    }

    // A fast shutdown, as the school's administrator stops the server: the postmaster ends
    // every session and removes its socket. True once every process is gone.
    bool stop() const {
        const QList<qint64> all = pids();
        if (!all.isEmpty()) {
            ::kill(static_cast<pid_t>(all.first()), SIGINT);
        }
        return waitGone(all);
    }

    // The server killed outright, every process at once, as a power cut would.
    bool kill() const {
        const QList<qint64> all = pids();
        for (const qint64 pid : all) {
            ::kill(static_cast<pid_t>(pid), SIGKILL);
        }
        return waitGone(all);
    }

    // Starts the server again (after a kill it recovers first); true once it accepts
    // connections. A stopped (SIGSTOP) server is woken first.
    bool start() const {
        QProcess script;
        script.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        script.start(QStringLiteral("bash"), {m_script, QStringLiteral("restart"), m_dir});
        return script.waitForFinished(testtime::ms(100000)) &&
               script.exitStatus() == QProcess::NormalExit && script.exitCode() == 0;
    }

private:
    // Waits until the processes have not only ended but been reaped: a new postmaster takes
    // a dead one that is still a zombie for a running server and refuses to start.
    static bool waitGone(const QList<qint64>& all) {
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < testtime::ms(30000)) {
            if (std::none_of(all.begin(), all.end(), [](qint64 pid) {
                    return QFileInfo::exists(QStringLiteral("/proc/%1").arg(pid));
                })) {
                return true;
            }
            QThread::msleep(50);
        }
        return false;
    }

    QString m_dir;
    QString m_script;
};

// One client's printed lines, as far as it has got.
struct ClientLog {
    qint64 lastOk = 0;     // the last store acknowledged
    qint64 lastTried = 0;  // the last store sent
    QStringList errors;    // "err" lines: err NUMBER CODE LABEL: MESSAGE
    QList<int> errorNumbers;
    QStringList bad;  // "bad" and "gave up" lines
    bool done = false;
    QString text;

    static ClientLog read(const QString& path) {
        ClientLog log;
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            return log;
        }
        log.text = QString::fromUtf8(file.readAll());
        for (const QString& line : log.text.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            const QStringList words = line.split(QLatin1Char(' '));
            if (words.value(0) == QLatin1String("try")) {
                log.lastTried = words.value(1).toLongLong();
            } else if (words.value(0) == QLatin1String("ok") &&
                       words.value(1) == QLatin1String("store")) {
                log.lastOk = words.value(2).toLongLong();
            } else if (words.value(0) == QLatin1String("err")) {
                log.errorNumbers << words.value(1).toInt();
                log.errors << line;
            } else if (words.value(0) == QLatin1String("bad") ||
                       words.value(0) == QLatin1String("gave")) {
                log.bad << line;
            } else if (words.value(0) == QLatin1String("done")) {
                log.done = true;
            }
        }
        return log;
    }
};

// Client processes started at once, each printing into a file of its own.
class Clients {
public:
    Clients(QString program, QString folder)
        : m_program(std::move(program)), m_folder(std::move(folder)) {}

    ~Clients() {
        for (const auto& process : m_processes) {
            if (process->state() != QProcess::NotRunning) {
                process->kill();
                process->waitForFinished(testtime::ms(5000));
            }
        }
    }

    void start(const QStringList& arguments) {
        auto process = std::make_unique<QProcess>();
        const QString logFile =
            QDir(m_folder).filePath(QStringLiteral("client%1.log").arg(m_processes.size()));
        process->setStandardOutputFile(logFile);
        process->setProcessChannelMode(QProcess::SeparateChannels);
        process->setStandardErrorFile(logFile + QStringLiteral(".err"));
        process->start(m_program, arguments);
        m_logs << logFile;
        m_processes.push_back(std::move(process));
    }

    int count() const { return static_cast<int>(m_processes.size()); }
    ClientLog log(int client) const { return ClientLog::read(m_logs.at(client)); }

    // Waits until every client has ended, within the time given; false if one has not.
    bool waitAll(int milliseconds) {
        QElapsedTimer waited;
        waited.start();
        for (const auto& process : m_processes) {
            const qint64 left = milliseconds - waited.elapsed();
            if (left <= 0 || !process->waitForFinished(static_cast<int>(left))) {
                return false;
            }
        }
        return true;
    }
    int exitCode(int client) const {
        const QProcess& process = *m_processes.at(static_cast<std::size_t>(client));
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }

private:
    QString m_program;
    QString m_folder;
    std::vector<std::unique_ptr<QProcess>> m_processes;
    QStringList m_logs;
};

}  // namespace servertesting
