// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Ripasso against the designed dealing, on simulated pupils whose memory follows a model
// that is not the scheduler's own. Each pupil does 20 runs of ten facts over eight weeks;
// a week after the last run, the share of the set's facts the pupil would recall is taken,
// for both dealings with the same pupils, on class sets and on the whole table.
//
// Usage: bench_review [pupils]   (default 400)

#include <QCoreApplication>
#include <QHash>
#include <QTextStream>
#include <algorithm>
#include <cmath>
#include <functional>
#include <numeric>
#include <random>
#include <vector>

#include "content/exerciseset.h"
#include "content/facttable.h"
#include "exercise/drill.h"
#include "exercise/review.h"
#include "exercise/uniformsource.h"

namespace {

constexpr int kRuns = 20;
constexpr int kDays = 56;
constexpr int kCheckAfterLastRun = 7;
constexpr int kFacts = exercise::Drill::kFacts;
// Places of each ripasso deal kept for facts never seen, in the third column.
constexpr int kNewFacts = 3;

// One pupil's memory of one fact, in the simulation's own terms.
struct Trace {
    double difficulty = 0;  // 0 easy .. 1 hard, fixed per pupil and fact
    double strength = 0;    // days; 0 = never learnt
    int lastDay = 0;
};

// A memory model of the simulation: the chance of recall after some days, and what an
// exposure (with the answer seen at the end of the deal) does to the trace.
struct PupilModel {
    const char* name;
    std::function<double(const Trace&, int day)> recall;
    std::function<void(Trace&, bool recalled, double chance)> learn;
};

// Forgetting as exp(-t/h); a recall strengthens more when it was hard won (low chance) and
// for easy facts; a lapse falls back to a strength set by the fact's difficulty.
PupilModel exponential() {
    return {"esponenziale",
            [](const Trace& t, int day) {
                return t.strength <= 0 ? 0.0 : std::exp(-(day - t.lastDay) / t.strength);
            },
            [](Trace& t, bool recalled, double chance) {
                const double base = 2.0 + 6.0 * (1.0 - t.difficulty);
                t.strength = recalled
                                 ? t.strength * (1.5 + 3.0 * (1.0 - t.difficulty) * (1.0 - chance))
                                 : std::max(0.6 * t.strength, base);
            }};
}

// Forgetting as a power law (1 + t/(3h))^-1, with slower gains on recall and a deeper fall
// on a lapse.
PupilModel powerLaw() {
    return {"potenza",
            [](const Trace& t, int day) {
                return t.strength <= 0 ? 0.0 : 1.0 / (1.0 + (day - t.lastDay) / (3.0 * t.strength));
            },
            [](Trace& t, bool recalled, double chance) {
                const double base = 0.5 + 1.5 * (1.0 - t.difficulty);
                t.strength = recalled
                                 ? t.strength * (1.2 + 2.0 * (1.0 - t.difficulty) * (1.0 - chance))
                                 : std::max(0.3 * t.strength, base);
            }};
}

enum class Dealing { Designed, Ripasso, RipassoWithNew };

// The share of the set's facts one pupil recalls a week after the last of 20 runs.
double simulatePupil(const PupilModel& model, const content::ExerciseSet& set, Dealing dealing,
                     std::uint64_t seed, const content::FactTable& table) {
    exercise::ClockUniformSource random(seed);
    std::mt19937_64 pupil(seed ^ 0x9e3779b97f4a7c15U);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    QHash<int, Trace> traces;
    std::vector<int> rows(static_cast<std::size_t>(set.size()));
    std::iota(rows.begin(), rows.end(), set.first);
    for (const int row : rows) {
        traces.insert(row, Trace{0.2 + 0.8 * unit(pupil), 0, 0});
    }
    const exercise::MemoryModel scheduler;
    QHash<int, exercise::FactMemory> memory;
    exercise::Drill drill(table, random);
    drill.chooseSet(set.code);
    for (int run = 0; run < kRuns; ++run) {
        const int day = run * kDays / kRuns;
        std::vector<int> dealt;
        if (dealing == Dealing::Designed) {
            drill.deal();
            dealt.clear();
            for (int row = 0; row < kFacts; ++row) {
                dealt.push_back(drill.factRow(row));
            }
        } else {
            dealt = exercise::chooseForReview(rows, memory, day, scheduler, random, kFacts,
                                              dealing == Dealing::RipassoWithNew ? kNewFacts : 0);
        }
        // Facts recalled are placed right at once; the others are guessed among the dates
        // left, so a first placement may still be right by chance.
        std::vector<std::pair<int, double>> forgotten;
        std::vector<std::pair<int, double>> recalled;
        for (const int row : dealt) {
            const double chance = model.recall(traces[row], day);
            if (unit(pupil) < chance) {
                recalled.emplace_back(row, chance);
            } else {
                forgotten.emplace_back(row, chance);
            }
        }
        for (const auto& [row, chance] : recalled) {
            exercise::FactMemory& known = memory[row];
            known.state = scheduler.next(known.state, known.state.seen() ? day - known.lastDay : 0,
                                         exercise::Grade::Good);
            known.lastDay = day;
            known.lastRight = true;
            model.learn(traces[row], true, chance);
            traces[row].lastDay = day;
        }
        for (const auto& [row, chance] : forgotten) {
            const bool lucky = unit(pupil) < 1.0 / static_cast<double>(forgotten.size());
            exercise::FactMemory& known = memory[row];
            known.state = scheduler.next(known.state, known.state.seen() ? day - known.lastDay : 0,
                                         lucky ? exercise::Grade::Good : exercise::Grade::Again);
            known.lastDay = day;
            known.lastRight = lucky;
            // The right date is seen by the end of the deal either way.
            model.learn(traces[row], false, chance);
            traces[row].lastDay = day;
        }
    }
    const int checkDay = (kRuns - 1) * kDays / kRuns + kCheckAfterLastRun;
    const double sum = std::accumulate(rows.begin(), rows.end(), 0.0, [&](double total, int row) {
        return total + model.recall(traces[row], checkDay);
    });
    return sum / static_cast<double>(rows.size());
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int pupils = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 400;
    content::FactTable table;
    table.build();
    QTextStream out(stdout);
    out << "Ricordo una settimana dopo l'ultima di " << kRuns << " prove in " << kDays
        << " giorni, media su " << pupils << " alunni simulati\n";
    out << QStringLiteral("%1 %2 %3 %4 %5 %6 %7\n")
               .arg(QStringLiteral("modello"), -13)
               .arg(QStringLiteral("insieme"), -34)
               .arg(QStringLiteral("classico"), 9)
               .arg(QStringLiteral("ripasso"), 9)
               .arg(QStringLiteral("punti"), 7)
               .arg(QStringLiteral("+%1 nuovi").arg(kNewFacts), 10)
               .arg(QStringLiteral("punti"), 7);
    for (const PupilModel& model : {exponential(), powerLaw()}) {
        for (const int code : {1, 2, 4, 5, 3, 0}) {
            const content::ExerciseSet set = content::ExerciseSet::byCode(code);
            double designed = 0;
            double ripasso = 0;
            double withNew = 0;
            for (int p = 0; p < pupils; ++p) {
                const auto seed = static_cast<std::uint64_t>(p) * 7919U + 17U;
                designed += simulatePupil(model, set, Dealing::Designed, seed, table);
                ripasso += simulatePupil(model, set, Dealing::Ripasso, seed, table);
                withNew += simulatePupil(model, set, Dealing::RipassoWithNew, seed, table);
            }
            withNew /= pupils;
            designed /= pupils;
            ripasso /= pupils;
            out << QStringLiteral("%1 %2 %3 %4 %5 %6 %7\n")
                       .arg(QString::fromUtf8(model.name), -13)
                       .arg(content::ExerciseSet::title(code) +
                                QStringLiteral(" (%1)").arg(set.size()),
                            -34)
                       .arg(100 * designed, 8, 'f', 1)
                       .arg(100 * ripasso, 8, 'f', 1)
                       .arg(100 * (ripasso - designed), 7, 'f', 1)
                       .arg(100 * withNew, 10, 'f', 1)
                       .arg(100 * (withNew - designed), 7, 'f', 1);
        }
    }
    return 0;
}
