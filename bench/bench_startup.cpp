// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Times the program's start, from the moment its process is spawned to the name window shown
// and painted, with archives of 0, 1,000, 32,767 and 100,000 names, beside a bare window of
// the same size (the name window's on that screen) holding an empty list and started the
// same way. Every run is a fresh process:
// the benchmark starts itself again as the child, so nothing is warm in the measured process
// but the file cache. It runs on the offscreen platform and, when a display is set, on the
// X server too, where the desktop's services (screens, fonts, accessibility) come in. Prints
// medians in milliseconds; run it by hand, not as a test:
//   xvfb-run -a build/bench/bench_startup [runs] [--against OTHER_BENCH_STARTUP]
// With --against, the program on the empty archive is also started by another build's
// benchmark (say, of the previous version), in the same rounds and beside the same bare
// window: on a busy machine only figures of one run compare.
//
// The child modes, used by the benchmark itself:
//   bench_startup --child ARCHIVE   the program's start on that archive
//   bench_startup --child-bare      the bare window
// A child prints one line of steady-clock instants (nanoseconds, the clock is system-wide)
// and leaves.
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <vector>

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QIcon>
#include <QListWidget>
#include <QProcess>
#include <QProcessEnvironment>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include "app/program.h"
#include "app/warmup.h"
#include "archive/archivefile.h"
#include "archive/namekey.h"
#include "exercise/uniformsource.h"
#include "screens/builder.h"
#include "screens/designs.h"
#include "screens/layout.h"
#include "windows/formnome.h"

namespace {

qint64 nowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// The instants a child reports, in the order they happen.
struct Instants {
    qint64 entered = 0;  // main() entered
    qint64 app = 0;      // QApplication made
    qint64 built = 0;    // the window made (for the program, with its archive not yet open)
    qint64 listed = 0;   // the archive open and the names in the list (the bare window: shown)
    qint64 ready = 0;    // the window painted, and the events queued by then handled
};

// Watches a window for its first paint; once the events of that paint are over, prints the
// instants and ends the child.
class ReadyWatch : public QObject {
public:
    explicit ReadyWatch(Instants& instants) : m_instants(instants) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            // The whole window, children included, is painted and flushed in the same pass
            // as this event, so a zero timer runs after all of it.
            QTimer::singleShot(0, this, [this] {
                m_instants.ready = nowNs();
                std::printf("INSTANTS %lld %lld %lld %lld %lld\n",
                            static_cast<long long>(m_instants.entered),
                            static_cast<long long>(m_instants.app),
                            static_cast<long long>(m_instants.built),
                            static_cast<long long>(m_instants.listed),
                            static_cast<long long>(m_instants.ready));
                std::fflush(stdout);
                QCoreApplication::exit(0);
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    Instants& m_instants;
    bool m_seen = false;
};

// The application set up as the program's main() sets it up.
void setUpApplication() {
    QApplication::setApplicationName(QStringLiteral("Tempolario"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/tempolario.ico")));
    QApplication::setQuitOnLastWindowClosed(false);
}

int runProgramChild(int argc, char* argv[], const QString& archivePath, Instants& instants) {
    const app::FontWarmUp fonts;
    QApplication app(argc, argv);
    screens::preloadBackground(screens::nameDesign());
    setUpApplication();
    instants.app = nowNs();

    exercise::ClockUniformSource random;
    app::Program program(random, archivePath);
    QObject::connect(&program, &app::Program::ended, [](int code) { std::exit(code); });
    ReadyWatch watch(instants);
    program.nameWindow().installEventFilter(&watch);
    instants.built = nowNs();
    if (!program.start()) {
        std::fprintf(stderr, "the program did not start on %s\n", qPrintable(archivePath));
        return EXIT_FAILURE;
    }
    instants.listed = nowNs();
    return QApplication::exec();
}

int runBareChild(int argc, char* argv[], Instants& instants) {
    QApplication app(argc, argv);
    setUpApplication();
    instants.app = nowNs();

    // The name window's size on this screen (it grows on a big screen) and its list's place,
    // with nothing else.
    const screens::WindowSpec& design = screens::nameDesign();
    QWidget window;
    const double zoom = screens::windowZoom(design, window.screen()->availableGeometry().size(),
                                            screens::frameMargins(&window));
    window.setFixedSize(screens::clientSize(design, zoom));
    auto* list = new QListWidget(&window);
    for (const screens::ControlSpec& control : design.controls) {
        if (QLatin1String(control.name) == QLatin1String("List1")) {
            list->setGeometry(screens::pixels(control.left, zoom), screens::pixels(control.top, zoom),
                              screens::pixels(control.width, zoom),
                              screens::pixels(control.height, zoom));
        }
    }
    list->setUniformItemSizes(true);
    ReadyWatch watch(instants);
    window.installEventFilter(&watch);
    instants.built = nowNs();
    window.show();
    instants.listed = nowNs();
    return QApplication::exec();
}

// Pupil names as a school would store them, "Surname Name", all different: a class number
// tells apart the pupils whose surname and name repeat.
QString pupilName(int index) {
    static const char* const kSurnames[] = {
        "Rossi",   "Russo",   "Ferrari",   "Esposito", "Bianchi",    "Romano",  "Colombo",
        "Ricci",   "Marino",  "Greco",     "Bruno",    "Gallo",      "Conti",   "De Luca",
        "Mancini", "Costa",   "Giordano",  "Rizzo",    "Lombardi",   "Moretti", "Barbieri",
        "Fontana", "Santoro", "Mariani",   "Rinaldi",  "Caruso",     "Ferrara", "Galli",
        "Martini", "Leone",   "Longo",     "Gentile",  "Martinelli", "Vitale",  "Lombardo",
        "Serra",   "Coppola", "De Santis", "D'Angelo", "Marchetti",  "Parisi",  "Villa",
        "Conte",   "Ferraro", "Ferri",     "Fabbri",   "Bianco",     "Marini",  "Grasso",
        "Forlì",
    };
    static const char* const kNames[] = {
        "Mario",     "Giulia",   "Luca",       "Sofia",    "Marco",    "Aurora",
        "Francesco", "Alice",    "Alessandro", "Ginevra",  "Lorenzo",  "Emma",
        "Andrea",    "Giorgia",  "Matteo",     "Beatrice", "Leonardo", "Anna",
        "Gabriele",  "Vittoria", "Riccardo",   "Chiara",   "Tommaso",  "Martina",
        "Edoardo",   "Greta",    "Niccolò",    "Noemi",    "Pietro",   "Ludovica",
    };
    constexpr int kSurnameCount = static_cast<int>(std::size(kSurnames));
    constexpr int kNameCount = static_cast<int>(std::size(kNames));
    const int pair = index % (kSurnameCount * kNameCount);
    const int repeat = index / (kSurnameCount * kNameCount);
    QString name = QString::fromUtf8(kSurnames[pair % kSurnameCount]) + QLatin1Char(' ') +
                   QString::fromUtf8(kNames[pair / kSurnameCount]);
    if (repeat > 0) {
        name += QStringLiteral(" %1").arg(repeat);
    }
    return name;
}

// An archive of count pupils, each row with its name and key, written in one transaction.
QString makeArchive(const QString& folder, int count) {
    QDir().mkpath(folder);
    QString path = folder + QStringLiteral("/tempolario.mdb");
    const archive::Status status = archive::ArchiveFile::create(path);
    if (!status.ok()) {
        qFatal("cannot create %s: %s", qPrintable(path), qPrintable(status.message()));
    }
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr) !=
        SQLITE_OK) {
        qFatal("cannot open %s", qPrintable(path));
    }
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    if (sqlite3_prepare_v2(db, "INSERT INTO tempar (nome, chiave) VALUES (?, ?)", -1, &insert,
                           nullptr) != SQLITE_OK) {
        qFatal("cannot prepare the insert: %s", sqlite3_errmsg(db));
    }
    for (int i = 0; i < count; ++i) {
        const QString name = pupilName(i);
        const QByteArray nome = name.toUtf8();
        const QByteArray chiave = archive::nameKey(name).toUtf8();
        sqlite3_bind_text(insert, 1, nome.constData(), static_cast<int>(nome.size()),
                          SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 2, chiave.constData(), static_cast<int>(chiave.size()),
                          SQLITE_TRANSIENT);
        if (sqlite3_step(insert) != SQLITE_DONE) {
            qFatal("cannot insert %s: %s", qPrintable(name), sqlite3_errmsg(db));
        }
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    if (sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
        qFatal("cannot commit: %s", sqlite3_errmsg(db));
    }
    sqlite3_close(db);
    return path;
}

// Milliseconds from the spawn to each instant the child reported.
struct Run {
    double entered = 0;
    double app = 0;
    double built = 0;
    double listed = 0;
    double ready = 0;
};

Run runChild(const QString& program, const QString& platform, const QStringList& arguments) {
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
    child.setProcessEnvironment(environment);
    const qint64 spawned = nowNs();
    child.start(program, arguments);
    if (!child.waitForFinished(120000) || child.exitStatus() != QProcess::NormalExit ||
        child.exitCode() != 0) {
        qFatal("child %s failed: %s", qPrintable(arguments.join(QLatin1Char(' '))),
               child.readAllStandardError().constData());
    }
    long long instants[5] = {};
    const QByteArray output = child.readAllStandardOutput();
    const int at = static_cast<int>(output.indexOf("INSTANTS "));
    if (at < 0 ||
        std::sscanf(output.constData() + at, "INSTANTS %lld %lld %lld %lld %lld", &instants[0],
                    &instants[1], &instants[2], &instants[3], &instants[4]) != 5) {
        qFatal("child %s reported nothing", qPrintable(arguments.join(QLatin1Char(' '))));
    }
    const auto ms = [spawned](long long instant) { return (instant - spawned) / 1e6; };
    return {ms(instants[0]), ms(instants[1]), ms(instants[2]), ms(instants[3]), ms(instants[4])};
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

struct Configuration {
    QString label;
    QString program;  // the benchmark that starts the child
    QStringList arguments;
    std::vector<Run> runs;
};

std::vector<double> readyTimes(const Configuration& configuration) {
    std::vector<double> ready(configuration.runs.size());
    std::transform(configuration.runs.begin(), configuration.runs.end(), ready.begin(),
                   [](const Run& run) { return run.ready; });
    return ready;
}

void printPlatform(const QString& platform, const std::vector<Configuration>& configurations,
                   int runs) {
    std::printf("%s: spawn to name window shown and painted, median of %d runs (ms):\n\n",
                qPrintable(platform), runs);
    std::printf("%-22s %9s %9s %9s %9s %9s  %9s %9s\n", "", "main()", "app", "window", "listed",
                "ready", "min", "max");
    std::map<QString, double> ready;
    std::map<QString, double> inProcess;  // main() entered to ready
    for (const Configuration& configuration : configurations) {
        std::vector<double> entered;
        std::vector<double> made;
        std::vector<double> built;
        std::vector<double> listed;
        std::vector<double> inside;
        for (const Run& run : configuration.runs) {
            entered.push_back(run.entered);
            made.push_back(run.app);
            built.push_back(run.built);
            listed.push_back(run.listed);
            inside.push_back(run.ready - run.entered);
        }
        const std::vector<double> times = readyTimes(configuration);
        ready[configuration.label] = median(times);
        inProcess[configuration.label] = median(inside);
        std::printf("%-22s %9.1f %9.1f %9.1f %9.1f %9.1f  %9.1f %9.1f\n",
                    qPrintable(configuration.label), median(entered), median(made), median(built),
                    median(listed), median(times), *std::min_element(times.begin(), times.end()),
                    *std::max_element(times.begin(), times.end()));
    }
    const double bare = ready[QStringLiteral("bare window")];
    const double empty = ready[QStringLiteral("0 names")];
    const double full = ready[QStringLiteral("100,000 names")];
    const double ratio = full / empty;
    std::printf("\n100,000 names / empty archive: %.2f (%.1f ms / %.1f ms): %s\n", ratio, full,
                empty, ratio <= 2.0 ? "within 2x" : "OVER 2x");
    const double start = empty / bare;
    std::printf("empty archive / bare window:   %.2f (%.1f ms / %.1f ms): %s\n", start, empty, bare,
                start <= 1.5 ? "within 1.5x" : "OVER 1.5x");
    // Both are the same executable, so the loading before main() is the same work for both;
    // on a busy machine it varies most.
    const double bareInside = inProcess[QStringLiteral("bare window")];
    const double emptyInside = inProcess[QStringLiteral("0 names")];
    std::printf("the same from main() on:       %.2f (%.1f ms / %.1f ms)\n", emptyInside / bareInside,
                emptyInside, bareInside);
    if (ready.contains(QStringLiteral("against: 0 names"))) {
        const double other = ready[QStringLiteral("against: 0 names")];
        const double otherInside = inProcess[QStringLiteral("against: 0 names")];
        std::printf("the other build, same ratios:  %.2f (%.1f ms), from main() on %.2f (%.1f ms)\n",
                    other / bare, other, otherInside / bareInside, otherInside);
    }
    std::printf("\n");
}

int runParent(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    int runs = 7;
    QString against;
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    for (int i = 0; i < arguments.size(); ++i) {
        if (arguments.at(i) == QLatin1String("--against") && i + 1 < arguments.size()) {
            against = arguments.at(++i);
        } else {
            runs = std::max(1, arguments.at(i).toInt());
        }
    }
    QTemporaryDir folder;
    if (!folder.isValid()) {
        qFatal("no temporary folder");
    }

    const QString self = QCoreApplication::applicationFilePath();
    std::vector<Configuration> shared;
    shared.push_back({QStringLiteral("bare window"), self, {QStringLiteral("--child-bare")}, {}});
    for (const int count : {0, 1000, 32767, 100000}) {
        const QString path = makeArchive(folder.filePath(QString::number(count)), count);
        shared.push_back({QStringLiteral("%L1 names").arg(count),
                          self,
                          {QStringLiteral("--child"), path},
                          {}});
    }
    if (!against.isEmpty()) {
        shared.push_back({QStringLiteral("against: 0 names"), against, shared[1].arguments, {}});
    }
    QStringList platforms{QStringLiteral("offscreen")};
    if (!qEnvironmentVariableIsEmpty("DISPLAY")) {
        platforms << QStringLiteral("xcb");
    }
    std::map<QString, std::vector<Configuration>> byPlatform;
    for (const QString& platform : platforms) {
        byPlatform[platform] = shared;
    }

    // One round unmeasured, to bring the programs and the archives into the file cache; then
    // the configurations in turn, so a slow spell of the machine falls on all of them. Each
    // round starts one configuration later: a child starts while the X server may still be
    // busy with the one before, and each configuration follows each other as often.
    for (const QString& platform : platforms) {
        for (const Configuration& configuration : byPlatform[platform]) {
            runChild(configuration.program, platform, configuration.arguments);
        }
    }
    for (int round = 0; round < runs; ++round) {
        for (const QString& platform : platforms) {
            std::vector<Configuration>& turn = byPlatform[platform];
            for (std::size_t k = 0; k < turn.size(); ++k) {
                Configuration& configuration = turn[(k + round) % turn.size()];
                configuration.runs.push_back(
                    runChild(configuration.program, platform, configuration.arguments));
            }
        }
    }

    for (const QString& platform : platforms) {
        printPlatform(platform, byPlatform[platform], runs);
    }
    std::printf(
        "  main(): process spawned to main() entered; app: QApplication made;\n"
        "  window: the window built; listed: archive open, names in the list, window shown;\n"
        "  ready: first paint done and the events queued by then handled.\n");
    if (platforms.size() == 1) {
        std::printf("  No display: the X server was left out (run under xvfb-run -a).\n");
    }
    return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    Instants instants;
    instants.entered = nowNs();
    if (argc >= 3 && qstrcmp(argv[1], "--child") == 0) {
        return runProgramChild(argc, argv, QString::fromLocal8Bit(argv[2]), instants);
    }
    if (argc >= 2 && qstrcmp(argv[1], "--child-bare") == 0) {
        return runBareChild(argc, argv, instants);
    }
    return runParent(argc, argv);
}
