// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/classmap.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <tuple>
#include <unordered_map>

#include "content/spoken.h"
#include "exercise/review.h"

namespace report {

namespace {

// A placement with no date: it counts as given on the day of the answer before it.
constexpr qint64 kNoDay = std::numeric_limits<qint64>::min();

// Sums for the correlation of a fact's first try (x, 0 or 1) with the rest of its deal (y).
struct Sums {
    double n = 0;
    double x = 0;
    double y = 0;
    double xy = 0;
    double yy = 0;

    std::optional<double> correlation() const {
        // x is 0 or 1, so the sum of its squares is its sum.
        const double varX = n * x - x * x;
        const double varY = n * yy - y * y;
        if (n < kLeastDeals || varX <= 0 || varY <= 0) {
            return std::nullopt;
        }
        return (n * xy - x * y) / std::sqrt(varX * varY);
    }
};

}  // namespace

bool isDue(const Cell& cell, double retention) {
    return cell.seen && (!cell.lastRight || cell.recall <= retention);
}

bool isKnown(const Cell& cell, double retention) {
    return cell.seen && !isDue(cell, retention) && cell.recall >= kKnownRecall;
}

bool Selection::takes(const Answer& answer) const {
    if (!names.isEmpty() && !names.contains(answer.pupil)) {
        return false;
    }
    if (from.isNull() && to.isNull()) {
        return true;
    }
    const QDate date = answer.when.date();
    return date.isValid() && (from.isNull() || date >= from) && (to.isNull() || date <= to);
}

ClassMapBuilder::ClassMapBuilder(const content::FactTable& table,
                                 const exercise::MemoryModel& model, Selection selection)
    : m_table(table), m_model(model), m_selection(std::move(selection)) {}

int ClassMapBuilder::intern(QHash<QString, int>& index, std::vector<QString>& values,
                            const QString& text) {
    const auto found = index.constFind(text);
    if (found != index.constEnd()) {
        return *found;
    }
    const int next = static_cast<int>(values.size());
    index.insert(text, next);
    values.push_back(text);
    return next;
}

void ClassMapBuilder::add(const Answer& answer) {
    if (!m_selection.takes(answer)) {
        return;
    }
    const int pupil = intern(m_pupilIndex, m_pupils, answer.pupil);
    if (pupil == static_cast<int>(m_totals.size())) {
        m_totals.emplace_back();
    }
    PupilTotals& totals = m_totals.at(static_cast<std::size_t>(pupil));
    ++totals.answers;
    totals.right += answer.right ? 1 : 0;
    totals.runs.insert(answer.run);
    // Only a first try says what the pupil remembered; later ones on the same box choose
    // among the dates left.
    if (answer.firstOnBox) {
        const QDate date = answer.when.date();
        m_tries.push_back({answer.run, date.isValid() ? date.toJulianDay() : kNoDay, pupil,
                           answer.deal, answer.tableRow, intern(m_labelIndex, m_labels, answer.label),
                           static_cast<int>(m_tries.size()), answer.right});
    }
}

FactFigures ClassMapBuilder::factFigures(std::vector<FirstTry>::const_iterator begin,
                                         std::vector<FirstTry>::const_iterator end,
                                         const std::vector<int>& column, const QDate& day) const {
    FactFigures fact;
    fact.tableRow = begin->row;
    fact.inTable = fact.tableRow >= 1 && fact.tableRow <= content::FactTable::kRows;
    if (fact.inTable) {
        fact.sentence = m_table.row(fact.tableRow).fact;
        fact.rightDate = m_table.row(fact.tableRow).dateLabel;
    } else {
        fact.sentence = QStringLiteral("fatto non presente nella tabella");
    }
    const std::optional<double> rightYear = content::yearOf(fact.rightDate, day.year());
    QHash<int, int> wrongCounts;
    double distance = 0;
    int distances = 0;
    fact.cells.resize(column.size());
    double recallSum = 0;
    int pupilsSeen = 0;
    const qint64 today = day.toJulianDay();
    for (auto pupilStart = begin; pupilStart != end;) {
        std::vector<exercise::FirstAnswer> answers;
        auto it = pupilStart;
        for (; it != end && it->pupil == pupilStart->pupil; ++it) {
            ++fact.seen;
            fact.firstRight += it->right ? 1 : 0;
            qint64 given = it->day == kNoDay ? (answers.empty() ? today : answers.back().day)
                                             : std::min(it->day, today);
            answers.push_back({given, it->right});
            if (!it->right) {
                ++wrongCounts[it->label];
                const std::optional<double> year =
                    content::yearOf(m_labels.at(static_cast<std::size_t>(it->label)), day.year());
                if (rightYear && year) {
                    distance += std::abs(*year - *rightYear);
                    ++distances;
                }
            }
        }
        const exercise::FactMemory memory = exercise::replay(m_model, answers);
        Cell& cell = fact.cells.at(static_cast<std::size_t>(column.at(static_cast<std::size_t>(pupilStart->pupil))));
        cell.seen = true;
        cell.lastRight = memory.lastRight;
        cell.recall = m_model.recall(memory.state, static_cast<double>(today - memory.lastDay));
        recallSum += cell.recall;
        ++pupilsSeen;
        pupilStart = it;
    }
    fact.facility = static_cast<double>(fact.firstRight) / fact.seen;
    fact.meanRecall = recallSum / pupilsSeen;
    if (distances > 0) {
        fact.meanWrongYears = distance / distances;
    }
    for (auto w = wrongCounts.constBegin(); w != wrongCounts.constEnd(); ++w) {
        // Ties go to the date that sorts first, so the same answers give the same map.
        if (w.value() > fact.commonWrongCount ||
            (w.value() == fact.commonWrongCount &&
             m_labels.at(static_cast<std::size_t>(w.key())) < fact.commonWrong)) {
            fact.commonWrongCount = w.value();
            fact.commonWrong = m_labels.at(static_cast<std::size_t>(w.key()));
        }
    }
    return fact;
}

ClassMap ClassMapBuilder::build(const QDate& day) {
    ClassMap map;
    map.day = day;
    map.retention = m_model.desiredRetention();

    // Pupils by name; column[i] is the place of pupil i.
    std::vector<int> order(m_pupils.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [this](int a, int b) {
        const QString& x = m_pupils.at(static_cast<std::size_t>(a));
        const QString& y = m_pupils.at(static_cast<std::size_t>(b));
        const int folded = x.compare(y, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : x < y;
    });
    std::vector<int> column(order.size());
    for (std::size_t place = 0; place < order.size(); ++place) {
        const int pupil = order.at(place);
        column.at(static_cast<std::size_t>(pupil)) = static_cast<int>(place);
        const PupilTotals& totals = m_totals.at(static_cast<std::size_t>(pupil));
        map.pupils.push_back({m_pupils.at(static_cast<std::size_t>(pupil)),
                              static_cast<int>(totals.runs.size()), totals.answers, totals.right,
                              0, 0});
    }

    // Each deal's first tries together: every fact's score against the rest of its deal.
    const auto byDeal = [](const FirstTry& a, const FirstTry& b) {
        return std::tie(a.pupil, a.run, a.deal, a.seq) < std::tie(b.pupil, b.run, b.deal, b.seq);
    };
    std::sort(m_tries.begin(), m_tries.end(), byDeal);
    std::unordered_map<int, Sums> sums;
    for (auto start = m_tries.cbegin(); start != m_tries.cend();) {
        auto end = start;
        int total = 0;
        while (end != m_tries.cend() && end->pupil == start->pupil && end->run == start->run &&
               end->deal == start->deal) {
            total += end->right ? 1 : 0;
            ++end;
        }
        for (auto it = start; it != end; ++it) {
            const double x = it->right ? 1 : 0;
            const double y = total - x;
            Sums& s = sums[it->row];
            s.n += 1;
            s.x += x;
            s.y += y;
            s.xy += x * y;
            s.yy += y * y;
        }
        start = end;
    }

    std::sort(m_tries.begin(), m_tries.end(), [](const FirstTry& a, const FirstTry& b) {
        return std::tie(a.row, a.pupil, a.seq) < std::tie(b.row, b.pupil, b.seq);
    });
    for (auto start = m_tries.cbegin(); start != m_tries.cend();) {
        auto end = std::find_if(start, m_tries.cend(),
                                [row = start->row](const FirstTry& t) { return t.row != row; });
        FactFigures fact = factFigures(start, end, column, day);
        fact.discrimination = sums[fact.tableRow].correlation();
        for (std::size_t place = 0; place < fact.cells.size(); ++place) {
            const Cell& cell = fact.cells.at(place);
            PupilFigures& pupil = map.pupils.at(place);
            pupil.known += isKnown(cell, map.retention) ? 1 : 0;
            pupil.due += isDue(cell, map.retention) ? 1 : 0;
        }
        map.facts.push_back(std::move(fact));
        start = end;
    }
    std::sort(map.facts.begin(), map.facts.end(), [](const FactFigures& a, const FactFigures& b) {
        return std::tie(a.facility, a.meanRecall, a.tableRow) <
               std::tie(b.facility, b.meanRecall, b.tableRow);
    });
    return map;
}

}  // namespace report
