// Times dealing one exercise and judging one drop, in the logic alone and in the window with
// a full repaint. Prints the median of many runs; run it by hand, not as a test:
//   QT_QPA_PLATFORM=offscreen build/bench/bench_drill
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

#include <QApplication>
#include <QPushButton>

#include "content/facttable.h"
#include "exercise/drill.h"
#include "exercise/ftempver.h"
#include "exercise/uniformsource.h"
#include "screens/builder.h"

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
    int box = 0;
    std::printf("judge one drop, logic only:       %8.3f us\n",
                medianMicroseconds(100000, [&] { drill.drop(box++ % 10, 3); }));

    exercise::Ftempver window(random);
    window.show();
    QApplication::processEvents();
    auto* next = qobject_cast<QPushButton*>(screens::findControl(&window, QStringLiteral("cmdnuovo")));
    std::printf("deal + full repaint of the window: %8.1f us\n", medianMicroseconds(300, [&] {
                    next->click();
                    window.repaint();
                }));
    std::printf("repaint of the window:             %8.1f us\n",
                medianMicroseconds(300, [&] { window.repaint(); }));
    return 0;
}
