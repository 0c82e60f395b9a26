// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>

#include <QTest>

#include "content/facttable.h"
#include "drilltesting.h"
#include "exercise/drill.h"
#include "exercise/uniformsource.h"

using content::ExerciseSet;
using content::FactTable;
using exercise::BoxState;
using exercise::ClockUniformSource;
using exercise::Drill;
using exercise::DrillTesting;
using exercise::SetButtonLook;

namespace {

// Chi-square statistic of observed counts against equal expected counts.
double chiSquare(const QList<int>& counts) {
    const double total = std::accumulate(counts.begin(), counts.end(), 0.0);
    const double expected = total / static_cast<double>(counts.size());
    return std::accumulate(counts.begin(), counts.end(), 0.0, [expected](double chi, int c) {
        return chi + (c - expected) * (c - expected) / expected;
    });
}

// A bound that a uniform sample exceeds with probability far below one in a million:
// mean df plus 7 standard deviations of the chi-square distribution.
double chiBound(int degreesOfFreedom) {
    return degreesOfFreedom + 7 * std::sqrt(2.0 * degreesOfFreedom);
}

// The box whose row expects the text of date label j, or -1.
int rightBoxFor(const Drill& drill, int j) {
    for (int box = 0; box < Drill::kFacts; ++box) {
        if (DrillTesting::rowDate(drill)[box + 1] == drill.dateText(j)) {
            return box;
        }
    }
    return -1;
}

}  // namespace

class TestDrill : public QObject {
    Q_OBJECT

private:
    FactTable m_table;

private Q_SLOTS:
    void initTestCase() { m_table.build(); }

    void dealsFromTheSetInForce_data() {
        QTest::addColumn<int>("code");
        for (int code = 0; code < ExerciseSet::kCount; ++code) {
            QTest::newRow(qPrintable(ExerciseSet::title(code))) << code;
        }
    }
    void dealsFromTheSetInForce() {
        QFETCH(int, code);
        ClockUniformSource random(1234 + code);
        Drill drill(m_table, random);
        drill.chooseSet(code);
        const ExerciseSet set = ExerciseSet::byCode(code);
        QCOMPARE(drill.currentSet(), set);
        for (int round = 0; round < 300; ++round) {
            drill.deal();
            QList<int> rows(DrillTesting::rowFact(drill).begin() + 1,
                            DrillTesting::rowFact(drill).begin() + 11);
            QList<int> dates(DrillTesting::dateOrder(drill).begin() + 1,
                             DrillTesting::dateOrder(drill).end());
            for (int p : rows) {
                QVERIFY(p >= set.first && p <= set.last);
            }
            std::sort(rows.begin(), rows.end());
            QVERIFY(std::adjacent_find(rows.begin(), rows.end()) == rows.end());
            std::sort(dates.begin(), dates.end());
            QCOMPARE(dates, rows);

            QStringList expected;
            QStringList shown;
            for (int k = 1; k <= Drill::kFacts; ++k) {
                const content::FactEntry& entry =
                    m_table.entry(set, DrillTesting::rowFact(drill)[k]);
                QCOMPARE(DrillTesting::rowDate(drill)[k], entry.dateLabel);
                QCOMPARE(drill.factText(k - 1), entry.fact);
                QCOMPARE(drill.boxState(k - 1), BoxState::Empty);
                QVERIFY(drill.boxText(k - 1).isEmpty());
                QVERIFY(!drill.placedRight(k - 1));
                expected << entry.dateLabel;
                shown << drill.dateText(k - 1);
            }
            expected.sort();
            shown.sort();
            QCOMPARE(shown, expected);
        }
    }

    // Over many deals every position of the set turns up equally often, in the first row as
    // much as anywhere (a draw that keeps the table's order would put early facts on top),
    // and the date of the first row lands on each of the ten date labels equally often.
    void drawsAndShuffleAreUniform() {
        ClockUniformSource random(99);
        Drill drill(m_table, random);
        drill.chooseSet(0);
        QList<int> positions(189, 0);
        QList<int> firstRowPositions(189, 0);
        QList<int> places(10, 0);
        const int deals = 20000;
        for (int round = 0; round < deals; ++round) {
            drill.deal();
            for (int k = 1; k <= 10; ++k) {
                ++positions[DrillTesting::rowFact(drill)[k] - 1];
            }
            const int firstRow = DrillTesting::rowFact(drill)[1];
            ++firstRowPositions[firstRow - 1];
            const auto* const at = std::find(DrillTesting::dateOrder(drill).begin() + 1,
                                             DrillTesting::dateOrder(drill).end(), firstRow);
            ++places[static_cast<int>(at - DrillTesting::dateOrder(drill).begin()) - 1];
        }
        QVERIFY2(chiSquare(positions) < chiBound(188),
                 qPrintable(QString::number(chiSquare(positions))));
        QVERIFY2(chiSquare(firstRowPositions) < chiBound(188),
                 qPrintable(QString::number(chiSquare(firstRowPositions))));
        QVERIFY2(chiSquare(places) < chiBound(9), qPrintable(QString::number(chiSquare(places))));
    }

    // Two rows whose dates have the same text, each given the other row's label: both drops
    // are right, because the judge compares texts, not which row a label came from. Every
    // set with such a pair is tried, and the essential list, whose entry 45 is row 1 again.
    void sharedDatesAcceptEachOthersLabel_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("second");
        for (int code = 0; code < 6; ++code) {
            const ExerciseSet set = ExerciseSet::byCode(code);
            bool found = false;
            for (int a = set.first; a <= set.last && !found; ++a) {
                for (int b = a + 1; b <= set.last && !found; ++b) {
                    if (m_table.entry(set, a).dateLabel == m_table.entry(set, b).dateLabel) {
                        QTest::addRow("%s: %d and %d", qPrintable(ExerciseSet::title(code)), a, b)
                            << code << a << b;
                        found = true;
                    }
                }
            }
        }
        QTest::newRow("essential list: entry 45 repeats row 1") << 6 << 1 << 45;
    }
    void sharedDatesAcceptEachOthersLabel() {
        QFETCH(int, code);
        QFETCH(int, first);
        QFETCH(int, second);
        const ExerciseSet set = ExerciseSet::byCode(code);
        const QString shared = m_table.entry(set, first).dateLabel;
        QCOMPARE(m_table.entry(set, second).dateLabel, shared);
        if (code == 6 && second == 45) {
            QCOMPARE(m_table.entry(set, 45).fact, m_table.entry(set, 1).fact);
        }

        // The two rows first, then eight positions whose dates differ from theirs.
        QList<int> positions{first, second};
        for (int p = set.first; p <= set.last && positions.size() < Drill::kFacts; ++p) {
            if (m_table.entry(set, p).dateLabel != shared) {
                positions << p;
            }
        }
        QCOMPARE(positions.size(), Drill::kFacts);
        ClockUniformSource random(1);
        Drill drill(m_table, random);
        drill.chooseSet(code);
        // Row 0 shows the first, row 1 the second; label 0 the second's date, label 1 the
        // first's, crosswise.
        std::array<int, Drill::kFacts> rows{};
        std::copy(positions.begin(), positions.end(), rows.begin());
        std::array<int, Drill::kFacts> labels = rows;
        std::swap(labels[0], labels[1]);
        DrillTesting::dealThese(drill, rows, labels);
        QCOMPARE(DrillTesting::rowFact(drill)[1], first);
        QCOMPARE(DrillTesting::rowFact(drill)[2], second);
        QCOMPARE(DrillTesting::dateOrder(drill)[1], second);
        QCOMPARE(DrillTesting::dateOrder(drill)[2], first);

        // Label 0 came from the second row, label 1 from the first.
        QVERIFY(drill.drop(0, 0));
        QVERIFY(drill.drop(1, 1));
        QCOMPARE(drill.boxState(0), BoxState::Right);
        QCOMPARE(drill.boxState(1), BoxState::Right);
        QVERIFY(drill.placedRight(0) && drill.placedRight(1));
        // A date of another text stays wrong on either box.
        QVERIFY(!drill.drop(0, 2));
        QVERIFY(!drill.drop(1, 2));
        QCOMPARE(drill.rightInExercise(), 2);
        QCOMPARE(drill.answersInExercise(), 4);
    }

    void judgingAndCounters() {
        ClockUniformSource random(5);
        Drill drill(m_table, random);
        drill.chooseSet(0);
        const int j = 3;
        const int box = rightBoxFor(drill, j);
        QVERIFY(box >= 0);
        int otherLabel = -1;
        for (int k = 0; k < 10; ++k) {
            if (drill.dateText(k) != DrillTesting::rowDate(drill)[box + 1]) {
                otherLabel = k;
                break;
            }
        }
        QVERIFY(otherLabel >= 0);
        QVERIFY(!drill.drop(box, otherLabel));
        QCOMPARE(drill.boxState(box), BoxState::Wrong);
        QCOMPARE(drill.boxText(box), drill.dateText(otherLabel));
        QVERIFY(!drill.placedRight(otherLabel));
        QVERIFY(drill.drop(box, j));
        QCOMPARE(drill.boxState(box), BoxState::Right);
        QVERIFY(drill.placedRight(j));
        QCOMPARE(drill.rightInExercise(), 1);
        QCOMPARE(drill.answersInExercise(), 2);

        // The same right date twice counts twice.
        QVERIFY(drill.drop(box, j));
        QCOMPARE(drill.rightInExercise(), 2);

        // Right, then wrong: the box turns red with the wrong text, the label stays placed.
        QVERIFY(!drill.drop(box, otherLabel));
        QCOMPARE(drill.boxState(box), BoxState::Wrong);
        QVERIFY(drill.placedRight(j));
        QCOMPARE(drill.rightInExercise(), 2);
        QCOMPARE(drill.answersInExercise(), 4);
        QCOMPARE(drill.rightTotal(), 2);
        QCOMPARE(drill.answersTotal(), 4);

        // A new exercise or a new set resets the exercise's counters only.
        drill.deal();
        QCOMPARE(drill.rightInExercise(), 0);
        QCOMPARE(drill.answersInExercise(), 0);
        drill.chooseSet(3);
        QCOMPARE(drill.rightTotal(), 2);
        QCOMPARE(drill.answersTotal(), 4);
    }

    // Every drop is kept with the fact's table row (an essential entry names its row), the
    // set, the deal, the date placed, the outcome, whether it was the box's first in that
    // deal, and the time.
    void placementsAreKept_data() {
        QTest::addColumn<int>("code");
        QTest::newRow("whole table") << 0;
        QTest::newRow("essential") << 6;
    }

    void placementsAreKept() {
        QFETCH(int, code);
        ClockUniformSource random(11);
        Drill drill(m_table, random);
        const QDateTime start(QDate(2026, 12, 9), QTime(10, 0));
        int ticks = 0;
        drill.setClock([&] { return start.addSecs(++ticks); });
        drill.chooseSet(code);
        const int box = rightBoxFor(drill, 0);
        const int wrongLabel = drill.dateText(1) != DrillTesting::rowDate(drill)[box + 1] ? 1 : 2;
        const QStringList placed{drill.dateText(wrongLabel), drill.dateText(0)};
        const int position = DrillTesting::rowFact(drill)[box + 1];
        const int row = code == 6 ? content::FactTable::essentialRow(position) : position;
        QCOMPARE(drill.factRow(box), row);
        drill.drop(box, wrongLabel);
        drill.drop(box, 0);
        drill.deal();
        drill.drop(box, 0);
        const std::vector<exercise::Placement>& kept = drill.placements();
        QCOMPARE(kept.size(), std::size_t{3});
        const QList<std::tuple<int, bool, bool>> expected{
            {1, false, true}, {1, true, false}, {2, kept[2].right, true}};
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(kept[i].setCode, code);
            QCOMPARE(kept[i].deal, std::get<0>(expected[i]));
            QCOMPARE(kept[i].right, std::get<1>(expected[i]));
            QCOMPARE(kept[i].firstOnBox, std::get<2>(expected[i]));
            QCOMPARE(kept[i].when, start.addSecs(i + 1));
            if (i < 2) {
                QCOMPARE(kept[i].tableRow, row);
                QCOMPARE(kept[i].label, placed[i]);
            }
        }
    }

    // Ripasso, in every set: facts got wrong the last time, stored or in this run, are dealt.
    void ripassoDealsTheMistakesFirst_data() { dealsFromTheSetInForce_data(); }
    void ripassoDealsTheMistakesFirst() {
        QFETCH(int, code);
        const ExerciseSet set = ExerciseSet::byCode(code);
        const qint64 today = QDate(2026, 12, 9).toJulianDay();
        exercise::ReviewPlan plan;
        QSet<int> wrong;
        for (int position = set.first; position <= set.last; position += 3) {
            const int row = set.usesEssentialList() ? FactTable::essentialRow(position) : position;
            plan.history[row] = {{today - 9, true}, {today - 1, wrong.size() >= 4}};
            wrong.insert(row);
        }
        wrong.removeIf([&](int row) { return plan.history[row].back().right; });
        ClockUniformSource random(77 + code);
        Drill drill(m_table, random);
        drill.setReview(plan);
        const auto dealt = [&] {
            QSet<int> rows;
            for (int k = 0; k < Drill::kFacts; ++k) {
                rows.insert(drill.factRow(k));
            }
            return rows;
        };
        drill.chooseSet(code);
        QVERIFY(dealt().contains(wrong));
        int box = 0;
        while (wrong.contains(drill.factRow(box))) {
            ++box;
        }
        const int missed = drill.factRow(box);
        drill.drop(box, drill.dateText(0) != DrillTesting::rowDate(drill)[box + 1] ? 0 : 1);
        drill.deal();
        QVERIFY(dealt().contains(missed));
        QCOMPARE(dealt().size(), Drill::kFacts);
    }

    // Ripasso over histories no pupil should have: rows the table lacks, answers dated after
    // today (a clock set backwards), 100,000 answers: every deal is ten different facts of
    // the set, and the run's own answers are kept.
    void ripassoOverOddHistories_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<QList<int>>("rows");  // a history of answers on each
        QTest::addColumn<int>("daysAhead");     // of today, for the answers
        QTest::addColumn<int>("answers");       // per row
        QTest::newRow("rows the table lacks") << 4 << QList<int>{0, -3, 190, 100000} << -2 << 5;
        QTest::newRow("answers after today") << 1 << QList<int>{1, 2, 3, 4, 5} << 30 << 3;
        QTest::newRow("100,000 answers") << 0 << QList<int>{7} << -1 << 100000;
    }
    void ripassoOverOddHistories() {
        QFETCH(int, code);
        QFETCH(QList<int>, rows);
        QFETCH(int, daysAhead);
        QFETCH(int, answers);
        const qint64 today = QDate::currentDate().toJulianDay();
        exercise::ReviewPlan plan;
        for (const int row : rows) {
            for (int i = 0; i < answers; ++i) {
                plan.history[row].push_back({today + daysAhead - i % 7, i % 3 == 0});
            }
        }
        ClockUniformSource random(5);
        Drill drill(m_table, random);
        drill.setReview(plan);
        drill.chooseSet(code);
        const ExerciseSet set = ExerciseSet::byCode(code);
        for (int deal = 0; deal < 3; ++deal) {
            QSet<int> dealt;
            for (int k = 0; k < Drill::kFacts; ++k) {
                dealt.insert(DrillTesting::rowFact(drill)[k + 1]);
                drill.drop(k, k);
            }
            QCOMPARE(dealt.size(), Drill::kFacts);
            for (const int position : dealt) {
                QVERIFY(position >= set.first && position <= set.last);
            }
            drill.deal();
        }
        QCOMPARE(static_cast<int>(drill.placements().size()), 3 * Drill::kFacts);
    }

    // The chosen button is disabled and blinks, starting at light grey for the five classes
    // and at the face for the whole table and the essential list; all others show the face.
    void chosenButtonBlinks_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("startsGrey");
        for (int code = 0; code < ExerciseSet::kCount; ++code) {
            QTest::newRow(qPrintable(ExerciseSet::title(code))) << code << (code >= 1 && code <= 5);
        }
    }
    void chosenButtonBlinks() {
        QFETCH(int, code);
        QFETCH(bool, startsGrey);
        ClockUniformSource random(3);
        Drill drill(m_table, random);
        drill.tick();  // no set yet: nothing blinks
        QVERIFY(!drill.hasSet());
        // Coming from another set, left while its button was light grey (the whole table and
        // the essential list start at the face, so one tick makes them grey).
        const int before = code == 0 ? 6 : 0;
        drill.chooseSet(before);
        drill.tick();
        drill.chooseSet(code);
        for (int phase = 0; phase < 3; ++phase) {
            const bool grey = startsGrey != (phase % 2 == 1);
            QCOMPARE(drill.setButton(code), (SetButtonLook{false, grey}));
            for (int other = 0; other < ExerciseSet::kCount; ++other) {
                if (other != code) {
                    QCOMPARE(drill.setButton(other), (SetButtonLook{true, false}));
                }
            }
            drill.tick();
        }
    }
};

QTEST_GUILESS_MAIN(TestDrill)
#include "tst_drill.moc"
