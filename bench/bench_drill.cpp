// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Times dealing one exercise and judging one drop, in the logic alone and in the window with
// a full repaint; then a pick and a place by click and by key, each from the input event to
// the end of the repaint it causes, which must fit in one frame (16 ms), as must a ripasso
// deal over a long history. Prints the median and the slowest of many runs; run it by hand,
// not as a test, at each scale:
//   QT_QPA_PLATFORM=offscreen build/bench/bench_drill
//   QT_QPA_PLATFORM=offscreen QT_SCALE_FACTOR=2 build/bench/bench_drill
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <functional>
#include <vector>

#include <QApplication>
#include <QDate>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "content/facttable.h"
#include "exercise/drill.h"
#include "exercise/uniformsource.h"
#include "screens/builder.h"
#include "windows/datedrag.h"
#include "windows/ftempver.h"

namespace {

double medianMicroseconds(int runs, const std::function<void()>& work) {
    std::vector<double> times;
    times.reserve(runs);
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        const auto end = std::chrono::steady_clock::now();
        times.push_back(std::chrono::duration<double, std::micro>(end - start).count());
    }
    std::nth_element(times.begin(), times.begin() + runs / 2, times.end());
    return times[runs / 2];
}

// Time the program's own thread has run, in microseconds: on a loaded machine the wall clock
// also counts other programs, the display server included.
double threadMicroseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e6 + static_cast<double>(now.tv_nsec) / 1e3;
}

struct Spread {
    double median;
    double p95;
    double slowest;
};

Spread spreadOf(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times[times.size() * 95 / 100], times.back()};
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    content::FactTable table;
    table.build();
    exercise::ClockUniformSource random;
    exercise::Drill drill(table, random);
    drill.chooseSet(0);
    std::printf("deal, logic only (whole table):   %8.2f us\n",
                medianMicroseconds(20000, [&] { drill.deal(); }));
    drill.chooseSet(4);
    std::printf("deal, logic only (class IV):      %8.2f us\n",
                medianMicroseconds(20000, [&] { drill.deal(); }));
    // Ripasso with 10,000 first answers in the pupil's history, spread over the whole table
    // across a school year: every deal replays them all.
    {
        exercise::ReviewPlan plan;
        const qint64 firstDay = QDate(2025, 9, 15).toJulianDay();
        for (int i = 0; i < 10000; ++i) {
            plan.history[1 + i % 189].push_back({firstDay + i / 40, i % 3 != 0});
        }
        exercise::Drill review(table, random);
        review.setReview(plan);
        review.setClock([] { return QDateTime(QDate(2026, 6, 1), QTime(9, 0)); });
        for (const int code : {0, 4}) {
            review.chooseSet(code);
            std::printf("ripasso deal, 10,000 answers (%s): %8.1f us\n",
                        code == 0 ? "whole table" : "class IV",
                        medianMicroseconds(2000, [&] { review.deal(); }));
        }
    }
    int box = 0;
    std::printf("judge one drop, logic only:       %8.3f us\n",
                medianMicroseconds(100000, [&] { drill.drop(box++ % 10, 3); }));

    windows::Ftempver window(random);
    window.show();
    QApplication::processEvents();
    auto* next =
        qobject_cast<QPushButton*>(screens::findControl(&window, QStringLiteral("cmdnuovo")));
    std::printf("deal + full repaint of the window: %8.1f us\n", medianMicroseconds(300, [&] {
                    next->click();
                    window.repaint();
                }));
    std::printf("repaint of the window:             %8.1f us\n",
                medianMicroseconds(300, [&] { window.repaint(); }));

    // Pick date label j and place it on box j, 300 times each way, timing each half.
    QWindow* handle = window.windowHandle();
    const auto child = [&](const char* name, int index) {
        return screens::findControl(&window, QString::fromLatin1(name), index);
    };
    // The input as the platform delivers it, then at once the repaint the platform would ask
    // for at its next frame: every region the event made dirty painted and sent to the screen.
    const auto settle = [] { QApplication::processEvents(); };
    std::vector<double> ownTimes;
    const auto timed = [&](const std::function<void()>& work) {
        const double ownStart = threadMicroseconds();
        const auto start = std::chrono::steady_clock::now();
        work();
        QEvent frame(QEvent::UpdateRequest);
        QCoreApplication::sendEvent(handle, &frame);
        ownTimes.push_back(threadMicroseconds() - ownStart);
        return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
            .count();
    };
    std::vector<double> pickByClick;
    std::vector<double> placeByClick;
    std::vector<double> pickByKey;
    std::vector<double> placeByKey;
    const int answersBefore = window.drill().answersTotal();
    for (int run = 0; run < 300; ++run) {
        const int j = run % 10;
        const QPoint dateAt = child("Label3", j)->geometry().center();
        const QPoint boxAt = child("Label2", j)->geometry().center();
        pickByClick.push_back(
            timed([&] { QTest::mouseClick(handle, Qt::LeftButton, {}, dateAt); }));
        placeByClick.push_back(
            timed([&] { QTest::mouseClick(handle, Qt::LeftButton, {}, boxAt); }));
        child("Label3", j)->setFocus();
        settle();
        pickByKey.push_back(timed([&] { QTest::keyClick(handle, Qt::Key_Space); }));
        child("Label2", j)->setFocus();
        settle();
        placeByKey.push_back(timed([&] { QTest::keyClick(handle, Qt::Key_Space); }));
    }
    if (window.drill().answersTotal() != answersBefore + 600) {
        std::fprintf(stderr, "not every pick was placed: the figures below mean nothing\n");
        return 1;
    }
    std::printf("scale %.2f, in microseconds:       median       95%%   slowest\n",
                window.devicePixelRatio());
    for (const auto& [what, times] : {std::pair{"pick by click + repaint:  ", &pickByClick},
                                      std::pair{"place by click + repaint: ", &placeByClick},
                                      std::pair{"pick by Space + repaint:  ", &pickByKey},
                                      std::pair{"place by Space + repaint: ", &placeByKey}}) {
        const Spread spread = spreadOf(*times);
        std::printf("%s         %8.1f  %8.1f  %8.1f\n", what, spread.median, spread.p95,
                    spread.slowest);
    }
    const Spread own = spreadOf(ownTimes);
    std::printf("the program's own time, all four:  %8.1f  %8.1f  %8.1f\n", own.median, own.p95,
                own.slowest);
    return 0;
}
