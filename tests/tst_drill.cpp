#include <algorithm>
#include <cmath>
#include <numeric>

#include <QTest>

#include "content/facttable.h"
#include "exercise/drill.h"
#include "exercise/uniformsource.h"

using content::ExerciseSet;
using content::FactTable;
using exercise::BoxState;
using exercise::ClockUniformSource;
using exercise::Drill;
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
        if (drill.rowDate()[box + 1] == drill.dateText(j)) {
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
            QList<int> rows(drill.rowFact().begin() + 1, drill.rowFact().begin() + 11);
            QList<int> dates(drill.dateOrder().begin() + 1, drill.dateOrder().end());
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
                const content::FactEntry& entry = m_table.entry(set, drill.rowFact()[k]);
                QCOMPARE(drill.rowDate()[k], entry.dateLabel);
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
                ++positions[drill.rowFact()[k] - 1];
            }
            const int firstRow = drill.rowFact()[1];
            ++firstRowPositions[firstRow - 1];
            const auto* const at =
                std::find(drill.dateOrder().begin() + 1, drill.dateOrder().end(), firstRow);
            ++places[static_cast<int>(at - drill.dateOrder().begin()) - 1];
        }
        QVERIFY2(chiSquare(positions) < chiBound(188),
                 qPrintable(QString::number(chiSquare(positions))));
        QVERIFY2(chiSquare(firstRowPositions) < chiBound(188),
                 qPrintable(QString::number(chiSquare(firstRowPositions))));
        QVERIFY2(chiSquare(places) < chiBound(9), qPrintable(QString::number(chiSquare(places))));
    }

    // The essential set names row 1 twice, so one exercise can show it in two rows.
    void essentialSetRepeatsRowOne() {
        ClockUniformSource random(7);
        Drill drill(m_table, random);
        drill.chooseSet(6);
        bool seenTwice = false;
        for (int round = 0; round < 2000 && !seenTwice; ++round) {
            drill.deal();
            const auto& rows = drill.rowFact();
            seenTwice = std::find(rows.begin() + 1, rows.begin() + 11, 1) != rows.begin() + 11 &&
                        std::find(rows.begin() + 1, rows.begin() + 11, 45) != rows.begin() + 11;
        }
        QVERIFY(seenTwice);
        // Either "5 milioni a.fa" label is right on either of the two boxes.
        int boxes[2];
        int labels[2];
        int nBox = 0;
        int nLabel = 0;
        for (int k = 0; k < 10; ++k) {
            if (drill.rowDate()[k + 1] == u"5 milioni a.fa"_qs) {
                boxes[nBox++] = k;
            }
            if (drill.dateText(k) == u"5 milioni a.fa"_qs) {
                labels[nLabel++] = k;
            }
        }
        QCOMPARE(nBox, 2);
        QCOMPARE(nLabel, 2);
        QVERIFY(drill.drop(boxes[0], labels[1]));
        QVERIFY(drill.drop(boxes[1], labels[0]));
        QCOMPARE(drill.rightInExercise(), 2);
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
            if (drill.dateText(k) != drill.rowDate()[box + 1]) {
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

    // Rows sharing a date (1848 for rows 118, 119 and 121) accept each other's labels.
    void sharedDatesAreInterchangeable() {
        ClockUniformSource random(11);
        Drill drill(m_table, random);
        drill.chooseSet(3);
        for (int round = 0; round < 5000; ++round) {
            drill.deal();
            QList<int> boxes;
            QList<int> labels;
            for (int k = 0; k < 10; ++k) {
                if (drill.rowDate()[k + 1] == u"1848"_qs) {
                    boxes << k;
                }
                if (drill.dateText(k) == u"1848"_qs) {
                    labels << k;
                }
            }
            if (boxes.size() >= 2) {
                QCOMPARE(labels.size(), boxes.size());
                QVERIFY(drill.drop(boxes[0], labels.last()));
                QVERIFY(drill.drop(boxes.last(), labels[0]));
                return;
            }
        }
        QFAIL("no exercise with two 1848 rows in 5000 deals");
    }

    void setButtonsAndBlinking() {
        ClockUniformSource random(3);
        Drill drill(m_table, random);
        drill.tick();  // no set yet: nothing blinks
        QVERIFY(!drill.hasSet());
        drill.chooseSet(0);
        QCOMPARE(drill.setButton(0), (SetButtonLook{false, false}));
        drill.tick();
        QCOMPARE(drill.setButton(0), (SetButtonLook{false, true}));
        // A class chosen while cmd0 is light grey gives cmd0 its face back.
        drill.chooseSet(4);
        QCOMPARE(drill.setButton(0), (SetButtonLook{true, false}));
        QCOMPARE(drill.setButton(4), (SetButtonLook{false, true}));
        drill.tick();
        QCOMPARE(drill.setButton(4), (SetButtonLook{false, false}));
        drill.tick();
        QCOMPARE(drill.setButton(4), (SetButtonLook{false, true}));
        drill.chooseSet(6);
        for (int code = 0; code < 6; ++code) {
            QCOMPARE(drill.setButton(code), (SetButtonLook{true, false}));
        }
        QCOMPARE(drill.setButton(6), (SetButtonLook{false, false}));
        drill.tick();
        QCOMPARE(drill.setButton(6), (SetButtonLook{false, true}));
        QCOMPARE(drill.setButton(4), (SetButtonLook{true, false}));
    }
};

QTEST_GUILESS_MAIN(TestDrill)
#include "tst_drill.moc"
