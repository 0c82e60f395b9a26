// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Figures of the archive on a school's server beside the same figures of the file, in one run:
//
//  1. Store latency with 1, 30 and 300 programs storing at once. Each program is a separate
//     process with its own archive (its own server connection, or its own handle on one
//     shared tempolario.mdb in a local temporary folder), as separate computers would be.
//     Each opens its archive, waits until every other is ready, adds its name, then stores
//     under it repeatedly with a random pause before each store. Reported per engine and
//     number of programs: the slowest open (p99), the median add, the median, 99th
//     percentile and largest store time, stores made of those planned, failures (each kind
//     counted and named below the table), stores neither made nor failed ("unmade": the
//     program could not add its name, or the run's time ran out), and the wall time from
//     the start signal to the last program's end. A run is bounded: no store starts after
//     --budget-s seconds, and programs still running a minute after that are killed and
//     counted as failures.
//
//  2. The name window's listing over 100,000 names: open the archive and count (what the
//     window waits for before it shows), the first page, and every name page by page
//     through NameList, each the median of five rounds.
//
// It needs a server with the services "tempolario" (the program's role) and
// "tempolario-admin" (the administrator, allowed to create databases) in PGSERVICEFILE;
// bench/server-bench.sh starts one of its own and runs this. By hand:
//
//   PGSERVICEFILE=... build/bench/server_bench [--clients 1,30,300] [--stores 20]
//                     [--think-ms 100] [--budget-s 120] [--rows 100000] [--skip-listing]
//                     [--server-only (no file runs: how many programs the server serves)]
//                     [--folder DIR (for the files; a temporary folder by default)]
//
// Databases it makes are named sb_<process>_<n> and dropped at the end.

#include <fcntl.h>
#include <libpq-fe.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <iterator>
#include <memory>
#include <vector>

#include <sqlite3.h>

#include "archive/archivefile.h"
#include "archive/namekey.h"
#include "archive/pgarchive.h"
#include "archive/sqlitearchive.h"
#include "session/namelist.h"

using archive::Status;

namespace {

const QString kProgramService = QStringLiteral("tempolario");
const QString kAdminService = QStringLiteral("tempolario-admin");
const QString kProgramRole = QStringLiteral("tempolario");

// The file descriptors a client finds the start signal on (end of file: go) and tells it
// is ready on (one byte).
constexpr int kGoFd = 0;
constexpr int kReadyFd = 3;

[[noreturn]] void fail(const QString& what) {
    std::fprintf(stderr, "server_bench: %s\n", qPrintable(what));
    std::exit(1);
}

void check(const Status& status, const char* what) {
    if (!status.ok()) {
        fail(QStringLiteral("%1: %2").arg(QLatin1String(what), status.message()));
    }
}

archive::ServerPlace place(const QString& database, const QString& service = kProgramService,
                           int timeoutMs = 5000) {
    archive::ServerPlace where;
    where.service = service;
    where.database = database;
    where.timeoutMs = timeoutMs;
    return where;
}

// Runs administrative SQL (no parameters: it is our own fixed text) on a database, or on the
// service's own database when `database` is empty; the first value of the result, if any.
QString adminExec(const QString& database, const QString& sql) {
    const QByteArray service = kAdminService.toUtf8();
    const QByteArray name = database.toUtf8();
    const char* keywords[] = {"service", database.isEmpty() ? nullptr : "dbname", nullptr};
    const char* values[] = {service.constData(), name.constData(), nullptr};
    PGconn* connection = PQconnectdbParams(keywords, values, 0);
    if (PQstatus(connection) != CONNECTION_OK) {
        const QString message = QString::fromUtf8(PQerrorMessage(connection));
        PQfinish(connection);
        fail(QStringLiteral("cannot connect as the administrator: %1").arg(message));
    }
    PGresult* result = PQexec(connection, sql.toUtf8().constData());
    const ExecStatusType outcome = PQresultStatus(result);
    const QString message = QString::fromUtf8(PQresultErrorMessage(result));
    QString value = outcome == PGRES_TUPLES_OK && PQntuples(result) > 0
                        ? QString::fromUtf8(PQgetvalue(result, 0, 0))
                        : QString();
    PQclear(result);
    PQfinish(connection);
    if (outcome != PGRES_COMMAND_OK && outcome != PGRES_TUPLES_OK) {
        fail(QStringLiteral("%1: %2").arg(sql.left(60), message));
    }
    return value;
}

// A new database of the administrator's with the archive's table, open to the program role.
QString freshDatabase() {
    static int counter = 0;
    QString database = QStringLiteral("sb_%1_%2").arg(::getpid()).arg(++counter);
    adminExec(QString(), QStringLiteral("CREATE DATABASE %1").arg(database));
    check(archive::PgArchive::create(place(database, kAdminService, 30000), kProgramRole),
          "create the table");
    return database;
}

void dropDatabase(const QString& database) {
    adminExec(QString(), QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(database));
}

// Nearest-rank percentile of sorted values; 0 for none.
double percentile(const std::vector<double>& sorted, double fraction) {
    if (sorted.empty()) {
        return 0;
    }
    const auto rank = static_cast<std::size_t>(std::ceil(fraction * sorted.size()));
    return sorted[std::clamp<std::size_t>(rank, 1, sorted.size()) - 1];
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return percentile(values, 0.5);
}

// ---------------------------------------------------------------------------------------
// The client: one program storing.

struct ClientArgs {
    QString engine;  // "server" or "file"
    QString target;  // database or file path
    QString name;
    int stores = 0;
    int thinkMs = 0;
    int budgetMs = 0;
    QString resultPath;
};

// Writes one line per event to the result file:
//   O <ms>         opened (connection made / file opened) in ms, before the start signal
//   A <ms>         the add took ms
//   S <ms>         a store took ms
//   E <op> <text>  the operation failed (op: open, add, store)
int runClient(const ClientArgs& args) {
    FILE* out = std::fopen(QFile::encodeName(args.resultPath).constData(), "w");
    if (out == nullptr) {
        return 2;
    }
    auto failure = [out](const char* op, const Status& status) {
        // Our number, the server's code when it gave one, and the engine's description.
        QString text = QString::number(status.number());
        if (!status.code.isEmpty()) {
            text += QStringLiteral(" [%1]").arg(status.code);
        }
        text += QLatin1Char(' ') + status.description;
        text.replace(QLatin1Char('\n'), QLatin1Char(' '));
        std::fprintf(out, "E %s %s\n", op, text.toUtf8().constData());
    };

    QElapsedTimer timer;
    timer.start();
    Status status;
    std::unique_ptr<archive::Archive> database;
    if (args.engine == QLatin1String("server")) {
        database = archive::PgArchive::open(place(args.target), &status);
    } else {
        database = archive::SqliteArchive::open(args.target, &status);
    }
    if (database) {
        std::fprintf(out, "O %.3f\n", timer.nsecsElapsed() / 1e6);
    } else {
        failure("open", status);
    }

    // Ready, then wait for the start signal: the end of the pipe on the standard input.
    const char byte = 'r';
    [[maybe_unused]] const ssize_t written = ::write(kReadyFd, &byte, 1);
    ::close(kReadyFd);
    for (;;) {
        char ignored = 0;
        const ssize_t got = ::read(kGoFd, &ignored, 1);
        if (got == 0 || (got < 0 && errno != EINTR)) {
            break;
        }
    }
    const QDeadlineTimer budget(args.budgetMs);

    if (!database) {
        std::fclose(out);
        return 0;
    }
    timer.start();
    status = database->add(args.name);
    if (!status.ok()) {
        failure("add", status);
        std::fclose(out);
        return 0;
    }
    std::fprintf(out, "A %.3f\n", timer.nsecsElapsed() / 1e6);

    QRandomGenerator random(static_cast<quint32>(qHash(args.name)));
    for (int i = 0; i < args.stores; ++i) {
        if (args.thinkMs > 0) {
            QThread::msleep(random.bounded(2 * args.thinkMs + 1));
        }
        if (budget.hasExpired()) {
            break;
        }
        timer.start();
        status = database->store(args.name, i, i + 1, QDateTime::currentDateTime());
        if (status.ok()) {
            std::fprintf(out, "S %.3f\n", timer.nsecsElapsed() / 1e6);
        } else {
            failure("store", status);
        }
    }
    std::fclose(out);
    return 0;
}

// ---------------------------------------------------------------------------------------
// The conductor: starts the clients, gives the signal, gathers their figures.

struct RunFigures {
    int clients = 0;
    int ready = 0;
    int planned = 0;
    std::vector<double> stores;  // ms, sorted
    std::vector<double> adds;
    std::vector<double> opens;
    int errors = 0;
    int storeErrors = 0;
    // Stores neither made nor failed: the time ran out, the client could not open or add
    // its name, or it was killed.
    int notMade() const { return planned - static_cast<int>(stores.size()) - storeErrors; }
    int killed = 0;
    double wallMs = 0;
    QMap<QString, int> failures;  // "op: text" -> how many
};

QString selfPath() {
    char path[4096];
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) {
        fail(QStringLiteral("cannot find my own program"));
    }
    return QString::fromLocal8Bit(path, static_cast<int>(length));
}

pid_t spawnClient(const QByteArray& program, const std::vector<QByteArray>& arguments, int goRead,
                  int readyWrite) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, goRead, kGoFd);
    posix_spawn_file_actions_adddup2(&actions, readyWrite, kReadyFd);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.constData()));
    std::transform(
        arguments.begin(), arguments.end(), std::back_inserter(argv),
        [](const QByteArray& argument) { return const_cast<char*>(argument.constData()); });
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int error =
        posix_spawn(&pid, program.constData(), &actions, nullptr, argv.data(), ::environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) {
        fail(QStringLiteral("cannot start a client: %1")
                 .arg(QString::fromLocal8Bit(strerror(error))));
    }
    return pid;
}

void readResults(const QString& path, RunFigures* figures) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ++figures->errors;
        ++figures->failures[QStringLiteral("client: no result file")];
        return;
    }
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.size() < 3) {
            continue;
        }
        const QString rest = line.mid(2);
        switch (line.at(0).toLatin1()) {
            case 'O':
                figures->opens.push_back(rest.toDouble());
                break;
            case 'A':
                figures->adds.push_back(rest.toDouble());
                break;
            case 'S':
                figures->stores.push_back(rest.toDouble());
                break;
            case 'E': {
                ++figures->errors;
                figures->storeErrors += rest.startsWith(QLatin1String("store ")) ? 1 : 0;
                const qsizetype blank = rest.indexOf(QLatin1Char(' '));
                ++figures->failures[rest.left(blank) + QStringLiteral(": ") +
                                    rest.mid(blank + 1).left(110)];
                break;
            }
            default:
                break;
        }
    }
}

RunFigures runClients(const QString& engine, const QString& target, int clients, int stores,
                      int thinkMs, int budgetMs, const QString& folder) {
    RunFigures figures;
    figures.clients = clients;
    figures.planned = clients * stores;
    int go[2];
    int ready[2];
    if (::pipe2(go, O_CLOEXEC) != 0 || ::pipe2(ready, O_CLOEXEC) != 0) {
        fail(QStringLiteral("pipe"));
    }
    const QByteArray program = QFile::encodeName(selfPath());
    std::vector<pid_t> pids;
    QStringList results;
    for (int i = 0; i < clients; ++i) {
        const QString result =
            QStringLiteral("%1/%2-%3-%4.txt").arg(folder, engine).arg(clients).arg(i);
        results.append(result);
        QFile::remove(result);
        pids.push_back(
            spawnClient(program,
                        {QByteArrayLiteral("--client"), engine.toUtf8(), QFile::encodeName(target),
                         QStringLiteral("Alunno %1").arg(i + 1, 3, 10, QLatin1Char('0')).toUtf8(),
                         QByteArray::number(stores), QByteArray::number(thinkMs),
                         QByteArray::number(budgetMs), QFile::encodeName(result)},
                        go[0], ready[1]));
    }
    ::close(go[0]);
    ::close(ready[1]);

    // Every client says it is ready (or ends); the pipe ends when the last has.
    const QDeadlineTimer readyLimit(120000);
    for (;;) {
        pollfd watched{ready[0], POLLIN, 0};
        const int left = static_cast<int>(readyLimit.remainingTime());
        if (left == 0 || ::poll(&watched, 1, left) == 0) {
            std::fprintf(stderr, "server_bench: %d of %d clients ready after 120 s; starting\n",
                         figures.ready, clients);
            break;
        }
        char bytes[512];
        const ssize_t got = ::read(ready[0], bytes, sizeof bytes);
        if (got > 0) {
            figures.ready += static_cast<int>(got);
        } else if (got == 0 || errno != EINTR) {
            break;
        }
    }
    ::close(ready[0]);

    QElapsedTimer wall;
    wall.start();
    ::close(go[1]);
    const QDeadlineTimer hardLimit(budgetMs + 60000);
    // One call reaps whichever client ended (this process has no other children); between
    // calls the conductor sleeps, so that it takes no processor time from the clients.
    std::vector<bool> ended(pids.size(), false);
    std::size_t remaining = pids.size();
    while (remaining > 0) {
        int wstatus = 0;
        const pid_t done = ::waitpid(-1, &wstatus, WNOHANG);
        const auto which = std::find(pids.begin(), pids.end(), done);
        if (done > 0 && which != pids.end()) {
            ended[which - pids.begin()] = true;
            --remaining;
            figures.wallMs = wall.nsecsElapsed() / 1e6;
            if (!WIFEXITED(wstatus) || WEXITSTATUS(wstatus) != 0) {
                ++figures.errors;
                ++figures.failures[QStringLiteral("client: ended abnormally")];
            }
            continue;
        }
        if (hardLimit.hasExpired()) {
            for (std::size_t i = 0; i < pids.size(); ++i) {
                if (!ended[i]) {
                    ::kill(pids[i], SIGKILL);
                    ::waitpid(pids[i], nullptr, 0);
                    ++figures.killed;
                }
            }
            figures.wallMs = wall.nsecsElapsed() / 1e6;
            break;
        }
        QThread::msleep(5);
    }
    for (const QString& result : std::as_const(results)) {
        readResults(result, &figures);
        QFile::remove(result);
    }
    if (figures.killed > 0) {
        figures.errors += figures.killed;
        figures.failures[QStringLiteral("client: killed at the time limit")] += figures.killed;
    }
    std::sort(figures.stores.begin(), figures.stores.end());
    std::sort(figures.adds.begin(), figures.adds.end());
    std::sort(figures.opens.begin(), figures.opens.end());
    return figures;
}

void printRun(const char* engine, const RunFigures& f) {
    std::printf("%-6s %7d %9.1f %9.1f %9.1f %9.1f %9.1f %6zu/%-6d %6d %6d %9.1f\n", engine,
                f.clients, percentile(f.opens, 0.99), percentile(f.adds, 0.5),
                percentile(f.stores, 0.5), percentile(f.stores, 0.99),
                f.stores.empty() ? 0.0 : f.stores.back(), f.stores.size(), f.planned, f.errors,
                f.notMade(), f.wallMs / 1000.0);
    std::fflush(stdout);
}

// ---------------------------------------------------------------------------------------
// Listing.

struct ListingFigures {
    double openCountMs = 0;
    double firstPageMs = 0;
    double allMs = 0;
    qint64 listed = 0;
};

// Names "alunno 000001"...: lower-case ASCII, so each is its own key; half with results.
QString pupil(int i) {
    return QStringLiteral("alunno %1").arg(i, 6, 10, QLatin1Char('0'));
}

ListingFigures listing(const std::function<std::shared_ptr<archive::Archive>()>& openArchive) {
    std::vector<double> opens;
    std::vector<double> firsts;
    std::vector<double> alls;
    ListingFigures figures;
    for (int round = 0; round < 5; ++round) {
        QElapsedTimer timer;
        timer.start();
        session::NameList list;
        check(list.open(openArchive()), "count");
        opens.push_back(timer.nsecsElapsed() / 1e6);
        if (list.name(0).isEmpty()) {
            check(list.failure(), "first page");
        }
        firsts.push_back(timer.nsecsElapsed() / 1e6);
        const QStringList names = list.all();
        check(list.failure(), "names");
        alls.push_back(timer.nsecsElapsed() / 1e6);
        figures.listed = names.size();
    }
    figures.openCountMs = median(opens);
    figures.firstPageMs = median(firsts);
    figures.allMs = median(alls);
    return figures;
}

QString makeFile(const QString& folder, int rows) {
    QString path = folder + QStringLiteral("/listing.mdb");
    check(archive::ArchiveFile::create(path), "create the file");
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    const QByteArray sql =
        QStringLiteral(
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
            "INSERT INTO tempar (nome, chiave, giuste, sbagliate, data) "
            "SELECT printf('alunno %06d', i), printf('alunno %06d', i), "
            "CASE WHEN i % 2 THEN i % 50 END, CASE WHEN i % 2 THEN i % 70 END, "
            "CASE WHEN i % 2 THEN '2024-05-06T07:08:09' END FROM n")
            .arg(rows)
            .toUtf8();
    char* error = nullptr;
    if (sqlite3_exec(db, sql.constData(), nullptr, nullptr, &error) != SQLITE_OK) {
        fail(QStringLiteral("fill the file: %1").arg(QString::fromUtf8(error)));
    }
    sqlite3_close(db);
    return path;
}

QString makeServerTable(int rows) {
    QString database = freshDatabase();
    adminExec(database,
              QStringLiteral(
                  "INSERT INTO tempar (nome, chiave, giuste, sbagliate, data) "
                  "SELECT 'alunno ' || lpad(i::text, 6, '0'), 'alunno ' || lpad(i::text, 6, '0'), "
                  "CASE WHEN i % 2 = 1 THEN i % 50 END, CASE WHEN i % 2 = 1 THEN i % 70 END, "
                  "CASE WHEN i % 2 = 1 THEN timestamptz '2024-05-06 07:08:09+02' END "
                  "FROM generate_series(1, %1) AS i")
                  .arg(rows));
    // As the server's own upkeep would have done for a table filled over the years.
    adminExec(database, QStringLiteral("VACUUM ANALYZE tempar"));
    return database;
}

// Every key must be its name's key, as the program computes it, or the figures would be of
// a table the program could not use.
void checkServerKeys(const QString& database, int rows) {
    Status status;
    auto server = archive::PgArchive::open(place(database, kProgramService, 60000), &status);
    check(status, "open the listing table");
    archive::KeyReport report;
    check(server->checkKeys(false, &report), "check the keys");
    if (report.rows != rows || report.withoutKey != 0 || report.staleKey != 0 ||
        archive::nameKey(pupil(rows)) != pupil(rows)) {
        fail(QStringLiteral("the listing table's keys are not the program's"));
    }
}

void printListing(const char* engine, const ListingFigures& f) {
    std::printf("%-6s %9lld %14.1f %14.1f %14.1f\n", engine, static_cast<long long>(f.listed),
                f.openCountMs, f.firstPageMs, f.allMs);
    std::fflush(stdout);
}

// ---------------------------------------------------------------------------------------

struct Options {
    std::vector<int> clients{1, 30, 300};
    int stores = 20;
    int thinkMs = 100;
    int budgetS = 120;
    int rows = 100000;
    bool listing = true;
    bool file = true;
    QString folder;  // for the files; a temporary folder when empty
};

Options parse(const QStringList& arguments) {
    Options options;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        const QString value = i + 1 < arguments.size() ? arguments.at(i + 1) : QString();
        bool ok = true;
        if (argument == QLatin1String("--clients")) {
            options.clients.clear();
            for (const QString& part : value.split(QLatin1Char(','))) {
                options.clients.push_back(part.toInt(&ok));
                ok = ok && options.clients.back() > 0;
                if (!ok) {
                    break;
                }
            }
            ++i;
        } else if (argument == QLatin1String("--stores")) {
            options.stores = value.toInt(&ok);
            ++i;
        } else if (argument == QLatin1String("--think-ms")) {
            options.thinkMs = value.toInt(&ok);
            ++i;
        } else if (argument == QLatin1String("--budget-s")) {
            options.budgetS = value.toInt(&ok);
            ++i;
        } else if (argument == QLatin1String("--rows")) {
            options.rows = value.toInt(&ok);
            ok = ok && options.rows > 0;
            ++i;
        } else if (argument == QLatin1String("--folder")) {
            options.folder = value;
            ok = !value.isEmpty() && QDir().mkpath(value);
            ++i;
        } else if (argument == QLatin1String("--skip-listing")) {
            options.listing = false;
        } else if (argument == QLatin1String("--server-only")) {
            options.file = false;
        } else {
            ok = false;
        }
        if (!ok) {
            fail(QStringLiteral("bad argument %1 (see the head of bench/server_bench.cpp)")
                     .arg(argument));
        }
    }
    return options;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc == 9 && std::strcmp(argv[1], "--client") == 0) {
        ClientArgs args;
        args.engine = QString::fromUtf8(argv[2]);
        args.target = QFile::decodeName(argv[3]);
        args.name = QString::fromUtf8(argv[4]);
        args.stores = std::atoi(argv[5]);
        args.thinkMs = std::atoi(argv[6]);
        args.budgetMs = std::atoi(argv[7]);
        args.resultPath = QFile::decodeName(argv[8]);
        return runClient(args);
    }

    QCoreApplication application(argc, argv);
    const Options options = parse(QCoreApplication::arguments());
    if (qEnvironmentVariableIsEmpty("PGSERVICEFILE")) {
        fail(QStringLiteral("PGSERVICEFILE is not set: run bench/server-bench.sh"));
    }
    // Each client holds a connection, and the conductor one more at a time.
    const int most = *std::max_element(options.clients.begin(), options.clients.end());
    const int allowed = adminExec(QString(), QStringLiteral("SHOW max_connections")).toInt();
    if (allowed < most + 5) {
        fail(QStringLiteral("the server allows %1 connections, fewer than %2 clients need")
                 .arg(allowed)
                 .arg(most));
    }
    QTemporaryDir temporary;
    if (options.folder.isEmpty() && !temporary.isValid()) {
        fail(QStringLiteral("no temporary folder"));
    }
    const QString folder = options.folder.isEmpty() ? temporary.path() : options.folder;

    std::printf("Store latency, programs storing at once (each a process with its own archive)\n");
    std::printf(
        "%d stores each after adding its name, pause 0-%d ms before each store, "
        "no store started after %d s\n",
        options.stores, 2 * options.thinkMs, options.budgetS);
    std::printf("file: one tempolario.mdb in %s\n\n", qPrintable(folder));
    std::printf("%-6s %7s %9s %9s %9s %9s %9s %13s %6s %6s %9s\n", "engine", "clients", "open p99",
                "add p50", "store p50", "store p99", "store max", "stores made", "errors", "unmade",
                "wall (s)");
    std::printf("%-6s %7s %9s %9s %9s %9s %9s %13s %6s %6s %9s\n", "", "", "(ms)", "(ms)", "(ms)",
                "(ms)", "(ms)", "", "", "", "");
    std::fflush(stdout);

    QStringList notes;
    for (int clients : options.clients) {
        const QString database = freshDatabase();
        const RunFigures server =
            runClients(QStringLiteral("server"), database, clients, options.stores, options.thinkMs,
                       options.budgetS * 1000, folder);
        printRun("server", server);
        dropDatabase(database);

        RunFigures local;
        local.clients = clients;
        local.ready = clients;
        if (options.file) {
            const QString file = folder + QStringLiteral("/tempolario-%1.mdb").arg(clients);
            check(archive::ArchiveFile::create(file), "create the file");
            local = runClients(QStringLiteral("file"), file, clients, options.stores,
                               options.thinkMs, options.budgetS * 1000, folder);
            printRun("file", local);
            QFile::remove(file);
        }

        const RunFigures* const localRun = &local;
        for (const auto& [engine, run] :
             {std::pair{"server", &server}, std::pair{"file", localRun}}) {
            if (run->ready < clients) {
                notes.append(QStringLiteral("%1, %2 clients: only %3 were ready at the start")
                                 .arg(QLatin1String(engine))
                                 .arg(clients)
                                 .arg(run->ready));
            }
            for (auto it = run->failures.cbegin(); it != run->failures.cend(); ++it) {
                notes.append(QStringLiteral("%1, %2 clients: %3 x %4")
                                 .arg(QLatin1String(engine))
                                 .arg(clients)
                                 .arg(it.value())
                                 .arg(it.key()));
            }
        }
    }
    std::printf("\nfailures: %s\n", notes.isEmpty() ? "none" : "");
    for (const QString& note : std::as_const(notes)) {
        std::printf("  %s\n", qPrintable(note));
    }

    if (options.listing) {
        std::printf("\nName listing over %d names (medians of 5 rounds, cumulative ms)\n",
                    options.rows);
        std::printf("%-6s %9s %14s %14s %14s\n", "engine", "names", "open+count", "+first page",
                    "+every name");
        std::fflush(stdout);
        const QString database = makeServerTable(options.rows);
        checkServerKeys(database, options.rows);
        printListing("server", listing([&database] {
                         Status status;
                         std::shared_ptr<archive::Archive> server =
                             archive::PgArchive::open(place(database), &status);
                         check(status, "open");
                         return server;
                     }));
        dropDatabase(database);

        const QString file = makeFile(folder, options.rows);
        printListing("file", listing([&file] {
                         Status status;
                         std::shared_ptr<archive::Archive> local =
                             archive::SqliteArchive::open(file, &status);
                         check(status, "open");
                         return local;
                     }));
        QFile::remove(file);
    }
    return 0;
}
