// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/recording.h"

#include <QRandomGenerator>
#include <limits>

namespace session {

archive::Status archivia(Modtempar& shared, const Pupil& pupil, int right, int given,
                         const QDateTime& when, const archive::RunAnswers& answers) {
    if (given == 0) {
        return archive::Status();
    }
    if (!shared.archiveDb) {
        return archive::Status::own(archive::Status::kClosed);
    }
    if (pupil.row != 0) {
        return shared.archiveDb->storeRow(pupil.row, pupil.name, right, given, when, answers);
    }
    return shared.archiveDb->store(pupil.name, right, given, when, answers);
}

archive::RunAnswers runAnswers(qint64 run, const std::vector<exercise::Placement>& placements) {
    archive::RunAnswers answers{run, {}};
    answers.answers.reserve(placements.size());
    for (const exercise::Placement& placement : placements) {
        answers.answers.push_back({placement.tableRow, placement.setCode, placement.deal,
                                   placement.label, placement.right, placement.firstOnBox,
                                   placement.when});
    }
    return answers;
}

qint64 newRunId() {
    // Both database engines keep signed 64-bit numbers.
    return static_cast<qint64>(
               QRandomGenerator::system()->bounded(std::numeric_limits<quint64>::max() >> 1)) +
           1;
}

QHash<int, std::vector<exercise::FirstAnswer>> historyOf(
    const std::vector<archive::DayAnswer>& answers) {
    QHash<int, std::vector<exercise::FirstAnswer>> history;
    for (const archive::DayAnswer& answer : answers) {
        if (answer.day.isValid()) {
            history[answer.tableRow].push_back({answer.day.toJulianDay(), answer.right});
        }
    }
    return history;
}

archive::Status reviewPlan(Modtempar& shared, const Pupil& pupil,
                           std::optional<exercise::ReviewPlan>* plan) {
    plan->reset();
    if (!pupil.recorded) {
        return archive::Status();
    }
    if (!shared.archiveDb) {
        return archive::Status::own(archive::Status::kClosed);
    }
    archive::Dealing dealing;
    archive::Status status = shared.archiveDb->readDealing(&dealing);
    if (!status.ok() || !dealing.review) {
        return status;
    }
    qint64 row = pupil.row;
    if (row == 0) {
        std::vector<archive::NamedRow> rows;
        status = shared.archiveDb->rowsNamed(pupil.name, &rows);
        if (!status.ok()) {
            return status;
        }
        row = rows.size() == 1 ? rows.front().id : 0;
    }
    std::vector<archive::DayAnswer> answers;
    if (row != 0) {
        status = shared.archiveDb->firstAnswers(row, &answers);
        if (!status.ok()) {
            return status;
        }
    }
    exercise::ReviewPlan review{exercise::MemoryModel(dealing.retention), historyOf(answers)};
    *plan = std::move(review);
    return status;
}

}  // namespace session
