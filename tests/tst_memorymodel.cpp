// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include <QFile>
#include <QTest>

#include "exercise/memorymodel.h"

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
    MemoryState state;
    for (const QStringList& step : steps) {
        state = model.next(state, step[2].toDouble(), static_cast<Grade>(step[3].toInt()));
    }
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

QTEST_GUILESS_MAIN(TestMemoryModel)
#include "tst_memorymodel.moc"
