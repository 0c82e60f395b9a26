// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <set>
#include <utility>
#include <vector>

#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>

#include "content/facttable.h"
#include "exercise/memorymodel.h"

namespace report {

// One judged placement as the archive keeps it: whose, in which run and deal, on which
// fact's box, which date, and whether it was right.
struct Answer {
    QString pupil;
    qint64 run = 0;
    int deal = 0;
    int tableRow = 0;  // 1..189; any other number is kept as a fact the table lacks
    QString label;
    bool right = false;
    bool firstOnBox = false;
    QDateTime when;
};

// The pupils a teacher asks for: all, or those named, and the answers of a date range
// (either end may be open).
struct Selection {
    QStringList names;
    QDate from;
    QDate to;

    bool takes(const Answer& answer) const;
};

// One pupil's memory of one fact on the report's day.
struct Cell {
    bool seen = false;
    bool lastRight = false;  // the last first-try answer
    double recall = 0;       // predicted, 0..1
};

struct FactFigures {
    int tableRow = 0;
    bool inTable = true;
    QString sentence;   // the fact, or a note that the table lacks it
    QString rightDate;  // empty for a fact the table lacks
    int seen = 0;       // first-try answers
    int firstRight = 0;
    double facility = 0;  // firstRight / seen
    // Corrected item-total correlation over the deals the fact was in; none with fewer than
    // kLeastDeals deals or no variance.
    std::optional<double> discrimination;
    QString commonWrong;  // the wrong first-try date given most often, empty if none
    int commonWrongCount = 0;
    std::optional<double> meanWrongYears;  // from the right date, over wrong first tries
    double meanRecall = 0;                 // over the pupils who saw the fact
    std::vector<Cell> cells;               // one per pupil, in the pupils' order
};

struct PupilFigures {
    QString name;
    int runs = 0;
    int answers = 0;  // every placement
    int right = 0;
    int known = 0;  // facts isKnown
    int due = 0;    // facts isDue
};

struct ClassMap {
    QDate day;
    double retention = exercise::MemoryModel::kDefaultRetention;
    std::vector<PupilFigures> pupils;  // by name
    std::vector<FactFigures> facts;    // the facts the class knows least first
};

constexpr double kKnownRecall = 0.9;
constexpr int kLeastDeals = 5;

// A fact seen is due when it was wrong the last time or its recall has fallen to the
// retention wanted, as the review deals it; known when it is not due and its recall is at
// least kKnownRecall.
bool isDue(const Cell& cell, double retention);
bool isKnown(const Cell& cell, double retention);

// Gathers answers one by one, in the order the archive keeps them (which is the order of
// the pupils' answers even when a clock was set backwards), and computes the class map.
// It keeps the first tries only, in a compact form.
class ClassMapBuilder {
public:
    // The table and the model must outlive the builder.
    ClassMapBuilder(const content::FactTable& table, const exercise::MemoryModel& model,
                    Selection selection = {});

    void add(const Answer& answer);
    // The map on a day: recall is predicted for that day. Answers dated after it (a clock
    // set forward, or backwards since) count as given on it.
    ClassMap build(const QDate& day);

private:
    struct FirstTry {
        qint64 run = 0;
        qint64 day = 0;
        int pupil = 0;
        int deal = 0;
        int row = 0;
        int label = 0;
        int seq = 0;  // order of arrival
        bool right = false;
    };
    struct PupilTotals {
        int answers = 0;
        int right = 0;
        std::set<qint64> runs;
    };

    int intern(QHash<QString, int>& index, std::vector<QString>& values, const QString& text);
    // The figures of the fact whose first tries are [begin, end), sorted by pupil and arrival.
    FactFigures factFigures(std::vector<FirstTry>::const_iterator begin,
                            std::vector<FirstTry>::const_iterator end,
                            const std::vector<int>& column, const QDate& day) const;

    const content::FactTable& m_table;
    const exercise::MemoryModel& m_model;
    Selection m_selection;
    QHash<QString, int> m_pupilIndex;
    std::vector<QString> m_pupils;
    std::vector<PupilTotals> m_totals;
    QHash<QString, int> m_labelIndex;
    std::vector<QString> m_labels;
    std::vector<FirstTry> m_tries;
};

}  // namespace report
