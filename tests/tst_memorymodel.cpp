// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include <QFile>
#include <QSet>
#include <QTest>
#include <numeric>

#include "exercise/memorymodel.h"
#include "exercise/review.h"
#include "exercise/uniformsource.h"

using exercise::Grade;
using exercise::MemoryModel;
using exercise::MemoryState;

namespace {

// Written by tools/memory-reference from a second, independent implementation of the model.
QList<QStringList> referenceRows() {
    QFile file(QStringLiteral(TEMPOLARIO_MEMORY_REFERENCE));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        qFatal("cannot read %s", TEMPOLARIO_MEMORY_REFERENCE);
    }
    QList<QStringList> rows;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts)) {
        rows.append(line.split(u'\t'));
    }
    return rows;
}

// The reference rounds what it computes to eight decimals at each step; over a long
// history that moves a stability of hundreds of days in its sixth decimal, so values are
// compared to one part in a million of their size (and to 1e-6 below 1).
bool near(double ours, double reference) {
    return qAbs(ours - reference) <= 1e-6 * qMax(1.0, qAbs(reference));
}

}  // namespace

class TestMemoryModel : public QObject {
    Q_OBJECT
private slots:
    void defaultWeightsAreTheReferenceOnes();
    void statesMatchTheReference_data();
    void statesMatchTheReference();
    void intervalMeetsTheRetention_data();
    void intervalMeetsTheRetention();
    void reviewDealsNeedFirst_data();
    void reviewDealsNeedFirst();
};

void TestMemoryModel::defaultWeightsAreTheReferenceOnes() {
    for (const QStringList& row : referenceRows()) {
        if (row.first() == QLatin1String("# pesi")) {
            QCOMPARE(row.size() - 1, MemoryModel::kWeightCount);
            for (int i = 0; i < MemoryModel::kWeightCount; ++i) {
                QCOMPARE(row[i + 1].toDouble(), MemoryModel::kDefaultWeights.at(i));
            }
            return;
        }
    }
    QFAIL("the reference table has no weights");
}

// Every step of every history, replayed from the start of its history, so that an error in
// one rule shows on the first step that uses it.
void TestMemoryModel::statesMatchTheReference_data() {
    QTest::addColumn<QList<QStringList>>("steps");
    QList<QStringList> history;
    for (const QStringList& row : referenceRows()) {
        if (row.first().startsWith(u'#')) {
            continue;
        }
        if (!history.isEmpty() && history.last().first() != row.first()) {
            history.clear();
        }
        history.append(row);
        QTest::addRow("%s %s", qPrintable(row[0]), qPrintable(row[1])) << history;
    }
}

void TestMemoryModel::statesMatchTheReference() {
    QFETCH(QList<QStringList>, steps);
    const MemoryModel model;
    const MemoryState state = std::accumulate(
        steps.begin(), steps.end(), MemoryState{},
        [&](const MemoryState& before, const QStringList& step) {
            return model.next(before, step[2].toDouble(), static_cast<Grade>(step[3].toInt()));
        });
    const QStringList& expected = steps.last();
    QVERIFY2(near(state.difficulty, expected[4].toDouble()),
             qPrintable(QString::number(state.difficulty, 'f', 10)));
    QVERIFY2(near(state.stability, expected[5].toDouble()),
             qPrintable(QString::number(state.stability, 'f', 10)));
    const int laterDays[] = {0, 1, 7, 30, 365};
    for (int i = 0; i < 5; ++i) {
        QVERIFY2(near(model.recall(state, laterDays[i]), expected[6 + i].toDouble()),
                 qPrintable(QStringLiteral("ricordo dopo %1 giorni").arg(laterDays[i])));
    }
}

// Recall falls to the retention the teacher wants exactly when the interval ends; a wanted
// retention outside the teacher's range is brought into it.
void TestMemoryModel::intervalMeetsTheRetention_data() {
    QTest::addColumn<double>("wanted");
    QTest::addColumn<double>("inForce");
    QTest::newRow("0.9") << 0.9 << 0.9;
    QTest::newRow("0.75") << 0.75 << 0.75;
    QTest::newRow("0.95") << 0.95 << 0.95;
    QTest::newRow("too low") << 0.5 << 0.75;
    QTest::newRow("too high") << 1.2 << 0.95;
}

void TestMemoryModel::intervalMeetsTheRetention() {
    QFETCH(double, wanted);
    QFETCH(double, inForce);
    const MemoryModel model(wanted);
    QCOMPARE(model.desiredRetention(), inForce);
    const MemoryState state{5, 40};
    QVERIFY(near(model.recall(state, model.interval(state.stability)), inForce));
}

// Rows 1..4 were answered wrong last time (row 1 longest ago), 5..8 right long ago (due),
// 9..12 never seen, 13..16 right yesterday after many right answers (not due).
void TestMemoryModel::reviewDealsNeedFirst_data() {
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("newFacts");
    QTest::addColumn<QList<int>>("mustHave");
    QTest::addColumn<QList<int>>("mustNotHave");
    QTest::newRow("wrong first") << 3 << 0 << QList<int>{1, 2, 3} << QList<int>{4, 5, 9, 13};
    QTest::newRow("then due") << 6 << 0 << QList<int>{1, 2, 3, 4, 5, 6} << QList<int>{9, 13};
    QTest::newRow("then never seen") << 12 << 0 << QList<int>{1, 8, 9, 12} << QList<int>{13};
    QTest::newRow("places kept for new") << 6 << 2 << QList<int>{1, 4} << QList<int>{7, 8, 13};
    QTest::newRow("more than there are") << 40 << 0 << QList<int>{1, 9, 16} << QList<int>{};
}

void TestMemoryModel::reviewDealsNeedFirst() {
    QFETCH(int, count);
    QFETCH(int, newFacts);
    QFETCH(QList<int>, mustHave);
    QFETCH(QList<int>, mustNotHave);
    const MemoryModel model;
    const qint64 today = 1000;
    QHash<int, exercise::FactMemory> memory;
    for (int row = 1; row <= 4; ++row) {
        memory.insert(
            row, exercise::replay(model, {{today - 10 + row, true}, {today - 5 + row, false}}));
    }
    for (int row = 5; row <= 8; ++row) {
        memory.insert(row, exercise::replay(model, {{today - 200 + row, true}}));
    }
    for (int row = 13; row <= 16; ++row) {
        std::vector<exercise::FirstAnswer> answers;
        for (qint64 day = today - 300; day < today; day += 30) {
            answers.push_back({day, true});
        }
        // A clock set backwards: an answer dated before the previous one.
        answers.push_back({today - 100, true});
        memory.insert(row, exercise::replay(model, answers));
    }
    std::vector<int> candidates(16);
    std::iota(candidates.begin(), candidates.end(), 1);
    exercise::ClockUniformSource random(7);
    const std::vector<int> chosen =
        exercise::chooseForReview(candidates, memory, today, model, random, count, newFacts);
    QCOMPARE(chosen.size(), std::min<std::size_t>(count, 16));
    QCOMPARE(QSet<int>(chosen.begin(), chosen.end()).size(), int(chosen.size()));
    for (const int row : mustHave) {
        QVERIFY2(std::find(chosen.begin(), chosen.end(), row) != chosen.end(),
                 qPrintable(QString::number(row)));
    }
    for (const int row : mustNotHave) {
        QVERIFY2(std::find(chosen.begin(), chosen.end(), row) == chosen.end(),
                 qPrintable(QString::number(row)));
    }
    if (newFacts > 0) {
        QCOMPARE(
            std::count_if(chosen.begin(), chosen.end(), [](int r) { return r >= 9 && r <= 12; }),
            newFacts);
    }
}

QTEST_GUILESS_MAIN(TestMemoryModel)
#include "tst_memorymodel.moc"
