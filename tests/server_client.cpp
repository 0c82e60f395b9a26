// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A pupil's computer for the server's fault and load tests: opens the school's archive as
// the program does (Modtempar with a server place), adds its names, stores growing totals,
// reads them back and lists the names. Every failure is answered as the pupil's "Riprova"
// answers it: the archive is opened again and the same operation repeated.
//
//   server_client DATABASE NAME [key=value ...]
//     k=K            totals stored: giuste = i, sbagliate = i + K, data = 2024-01-01 08:00 + i min
//     stores=N       stores i = 1..N (default 5)
//     until=FILE     ...or keeps storing until FILE exists (N is then the upper bound)
//     shared=A,B     names that other clients add too
//     bell=FILE      once open, waits (a minute at most) for FILE before adding anything
//     timeout=MS     the place's time-out (default the program's)
//     pause=MS       wait between a failure and its retry (default 200)
//     retryfor=MS    gives up an operation failing for longer than this (default 60000)
//
// Every time given or waited is one on an idle machine, scaled by TEMPOLARIO_TEST_SLOWDOWN
// as every deadline of the tests.
//
// Prints one line per outcome, flushed at once, so that a parent killing the server knows
// what was acknowledged and what was only attempted:
//   try I                                 store I is about to be sent
//   ok LABEL                              open, add NAME, store I, read, list
//   late list NAME                        NAME, added, not yet in the list read
//   err NUMBER CODE LABEL: MESSAGE        a failure (CODE "-" without a server code)
//   bad LABEL WHAT                        a read or list that did not give what was stored
//   done LAST                             finished; LAST is the last store acknowledged
// Exit 0 when everything ended as stored, 1 after a "bad" line, 3 after giving up.

#include <algorithm>

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <cstdio>
#include <functional>

#include "session/modtempar.h"
#include "testtime.h"

using archive::Status;

namespace {

struct Settings {
    QString database;
    QString name;
    qint64 k = 0;
    qint64 stores = 5;
    QString until;
    QString bell;
    QStringList shared;
    int timeoutMs = archive::ServerPlace().timeoutMs;
    int pauseMs = 200;
    int retryForMs = 60000;
};

void say(const QString& line) {
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

QString oneLine(const QString& text) {
    QString line = text;
    line.replace(QLatin1Char('\n'), QStringLiteral(" | "));
    return line;
}

class Client {
public:
    explicit Client(Settings settings) : m_settings(std::move(settings)) {
        m_state.server.service = QStringLiteral("tempolario");
        m_state.server.database = m_settings.database;
        m_state.server.timeoutMs = testtime::ms(m_settings.timeoutMs);
    }

    int run() {
        if (!attempt(QStringLiteral("open"), [] { return Status(); })) {
            return 3;
        }
        if (!m_settings.bell.isEmpty()) {
            QElapsedTimer waited;
            waited.start();
            while (!QFile::exists(m_settings.bell) && waited.elapsed() < testtime::ms(60000)) {
                QThread::msleep(10);
            }
        }
        QStringList names{m_settings.name};
        names += m_settings.shared;
        const bool added = std::all_of(names.cbegin(), names.cend(), [&](const QString& name) {
            return attempt(QStringLiteral("add ") + name,
                           [&] { return m_state.archiveDb->add(name); });
        });
        if (!added) {
            return 3;
        }
        const QDateTime base(QDate(2024, 1, 1), QTime(8, 0));
        qint64 last = 0;
        QElapsedTimer running;
        running.start();
        for (qint64 i = 1; i <= m_settings.stores; ++i) {
            say(QStringLiteral("try %1").arg(i));
            if (!attempt(QStringLiteral("store %1").arg(i), [&] {
                    return m_state.archiveDb->store(m_settings.name, i, i + m_settings.k,
                                                    base.addSecs(60 * i));
                })) {
                return 3;
            }
            last = i;
            if (!m_settings.until.isEmpty() && QFile::exists(m_settings.until)) {
                break;
            }
            // Bounded even if the parent never says stop.
            if (!m_settings.until.isEmpty() && running.elapsed() > testtime::ms(100000)) {
                break;
            }
        }
        bool right = true;
        archive::Outcome outcome;
        if (!attempt(QStringLiteral("read"),
                     [&] { return m_state.archiveDb->read(m_settings.name, &outcome); })) {
            return 3;
        }
        if (last > 0 && (!outcome.found || outcome.right.toLongLong() != last ||
                         outcome.given.toLongLong() != last + m_settings.k ||
                         outcome.when.toDateTime() != base.addSecs(60 * last))) {
            say(QStringLiteral("bad read %1 %2 %3")
                    .arg(outcome.right.toString(), outcome.given.toString(),
                         outcome.when.toDateTime().toString(Qt::ISODate)));
            right = false;
        }
        // The list as the name window reads it: how many names, then that many from the
        // top. While other computers add names, one added a moment ago may come after the
        // names counted (ids are drawn in one order and committed in another) and shows at
        // the next reading; a name listed twice is always wrong.
        QStringList listed;
        if (!attempt(QStringLiteral("list"), [&] {
                int count = 0;
                Status status = m_state.archiveDb->countNames(&count);
                if (status.ok()) {
                    status = m_state.archiveDb->readNames(0, count, &listed);
                }
                return status;
            })) {
            return 3;
        }
        for (const QString& name : names) {
            if (listed.count(name) > 1) {
                say(QStringLiteral("bad list %1 listed %2 times")
                        .arg(name)
                        .arg(listed.count(name)));
                right = false;
            } else if (listed.count(name) == 0) {
                say(QStringLiteral("late list %1").arg(name));
            }
        }
        say(QStringLiteral("done %1").arg(last));
        return right ? 0 : 1;
    }

private:
    // Runs the operation on the open archive, opening it first when it is not; after a
    // failure opens it again and repeats, as the program's "Riprova" does.
    bool attempt(const QString& label, const std::function<Status()>& operation) {
        QElapsedTimer failing;
        for (;;) {
            Status status = m_state.archiveDb ? Status() : m_state.openArchive();
            if (status.ok()) {
                status = operation();
            }
            if (status.ok()) {
                say(QStringLiteral("ok ") + label);
                return true;
            }
            say(QStringLiteral("err %1 %2 %3: %4")
                    .arg(status.number())
                    .arg(status.code.isEmpty() ? QStringLiteral("-") : status.code, label,
                         oneLine(status.message())));
            if (!failing.isValid()) {
                failing.start();
            } else if (failing.elapsed() > testtime::ms(m_settings.retryForMs)) {
                say(QStringLiteral("gave up ") + label);
                return false;
            }
            m_state.closeArchive();
            QThread::msleep(static_cast<unsigned long>(m_settings.pauseMs));
        }
    }

    Settings m_settings;
    session::Modtempar m_state;
};

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 3) {
        std::fprintf(stderr, "usage: server_client DATABASE NAME [key=value ...]\n");
        return 64;
    }
    Settings settings;
    settings.database = arguments.at(1);
    settings.name = arguments.at(2);
    for (const QString& argument : arguments.mid(3)) {
        const QString key = argument.section(QLatin1Char('='), 0, 0);
        const QString value = argument.section(QLatin1Char('='), 1);
        if (key == QLatin1String("k")) {
            settings.k = value.toLongLong();
        } else if (key == QLatin1String("stores")) {
            settings.stores = value.toLongLong();
        } else if (key == QLatin1String("until")) {
            settings.until = value;
        } else if (key == QLatin1String("bell")) {
            settings.bell = value;
        } else if (key == QLatin1String("shared")) {
            settings.shared = value.split(QLatin1Char(','), Qt::SkipEmptyParts);
        } else if (key == QLatin1String("timeout")) {
            settings.timeoutMs = value.toInt();
        } else if (key == QLatin1String("pause")) {
            settings.pauseMs = value.toInt();
        } else if (key == QLatin1String("retryfor")) {
            settings.retryForMs = value.toInt();
        } else {
            std::fprintf(stderr, "server_client: unknown setting %s\n", qPrintable(argument));
            return 64;
        }
    }
    return Client(std::move(settings)).run();
}
