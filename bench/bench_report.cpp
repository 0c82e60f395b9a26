// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The teacher's class report over a school's worth of answers: generated pupils run
// exercises of ten facts over a school year, and every placement goes to the report's
// builder as the archive's reading loop will give it, one at a time. Prints the time of
// gathering, of the figures, of the page and of the CSV, their sizes, and the peak memory.
//
// Usage: bench_report [pupils] [answers]   (default 1000 and 2000000)

#include <sys/resource.h>

#include <QElapsedTimer>
#include <QTextStream>
#include <random>

#include "content/facttable.h"
#include "exercise/memorymodel.h"
#include "report/classmap.h"
#include "report/pages.h"

namespace {

constexpr int kFactsPerDeal = 10;
constexpr int kDealsPerRun = 5;
constexpr int kSchoolDays = 200;

long peakKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

}  // namespace

int main(int argc, char** argv) {
    const int pupils = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1000;
    const long long total = argc > 2 ? std::max(1LL, std::atoll(argv[2])) : 2000000;
    QTextStream out(stdout);
    content::FactTable table;
    table.build();
    const exercise::MemoryModel model;
    report::ClassMapBuilder builder(table, model);
    std::mt19937_64 random(20260302);
    std::uniform_int_distribution<int> row(1, content::FactTable::kRows);
    std::uniform_real_distribution<double> chance(0, 1);
    const QDate start(2025, 9, 15);
    const long baseline = peakKilobytes();

    QElapsedTimer clock;
    clock.start();
    long long given = 0;
    const long long perPupil = total / pupils;
    for (int p = 0; p < pupils && given < total; ++p) {
        report::Answer answer;
        answer.pupil = QStringLiteral("Alunno %1").arg(p + 1, 4, 10, QLatin1Char('0'));
        const double skill = 0.3 + 0.6 * chance(random);
        for (long long n = 0; n < perPupil && given < total;) {
            const long long deal = n / (2LL * kFactsPerDeal);
            answer.run = p * 100000LL + deal / kDealsPerRun;
            answer.deal = static_cast<int>(deal % kDealsPerRun) + 1;
            // Made once a day: the clock's conversions are the archive reading's cost.
            const QDate day = start.addDays(deal * kSchoolDays * kFactsPerDeal * 2 / perPupil);
            if (answer.when.date() != day) {
                answer.when = QDateTime(day, QTime(9, 0));
            }
            answer.tableRow = row(random);
            // A first try, and after a wrong one a second try, right.
            answer.firstOnBox = true;
            answer.right = chance(random) < skill;
            answer.label = answer.right ? table.row(answer.tableRow).dateLabel
                                        : table.row(row(random)).dateLabel;
            builder.add(answer);
            ++n, ++given;
            if (!answer.right && n < perPupil && given < total) {
                answer.firstOnBox = false;
                answer.right = true;
                answer.label = table.row(answer.tableRow).dateLabel;
                builder.add(answer);
                ++n, ++given;
            }
        }
    }
    const qint64 gathered = clock.restart();
    const report::ClassMap map = builder.build(start.addDays(kSchoolDays + 30));
    const qint64 figured = clock.restart();
    const QByteArray page = report::toHtml(map).toUtf8();
    const qint64 paged = clock.restart();
    const QByteArray csv = report::toCsv(map).toUtf8();
    const qint64 csved = clock.restart();

    out << "report of " << map.pupils.size() << " pupils, " << given << " answers, "
        << map.facts.size() << " facts\n"
        << "  gathering the answers: " << gathered << " ms\n"
        << "  figures:               " << figured << " ms\n"
        << "  page:                  " << paged << " ms, " << page.size() / 1024 << " KiB\n"
        << "  CSV:                   " << csved << " ms, " << csv.size() / 1024 << " KiB\n"
        << "  total:                 " << gathered + figured + paged + csved << " ms\n"
        << "  peak memory:           " << peakKilobytes() / 1024 << " MiB (before: "
        << baseline / 1024 << " MiB)\n";
    return 0;
}
