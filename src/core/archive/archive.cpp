// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "archive/archive.h"

namespace archive {

Status Archive::readNames(int first, int count, QStringList* names) {
    std::vector<NamedRow> rows;
    Status status = readNames(first, count, &rows);
    names->clear();
    for (NamedRow& row : rows) {
        names->append(std::move(row.name));
    }
    return status;
}

Status Archive::find(const QString& name, bool* found) {
    Outcome outcome;
    Status status = lookUpName(name, false, &outcome);
    *found = status.ok() && outcome.found;
    return status;
}

Status Archive::read(const QString& name, Outcome* outcome) {
    *outcome = Outcome();
    Outcome found;
    Status status = lookUpName(name, true, &found);
    if (status.ok() && found.found) {
        *outcome = std::move(found);
    }
    return status;
}

Status sameNameFailure(const std::vector<NamedRow>& rows) {
    QStringList names;
    for (const NamedRow& row : rows) {
        names.append(QStringLiteral("«%1»").arg(row.name));
    }
    return Status::own(Status::kSameName, names.join(QStringLiteral(", ")));
}

namespace {
const QString kReviewKey = QStringLiteral("ripasso");
const QString kRetentionKey = QStringLiteral("ritenzione");
const QString kOn = QStringLiteral("sì");
const QString kOff = QStringLiteral("no");
}  // namespace

Dealing dealingFrom(const std::vector<std::pair<QString, QString>>& rows) {
    Dealing dealing;
    for (const auto& [key, value] : rows) {
        if (key == kReviewKey) {
            dealing.review = value.trimmed() == kOn;
        } else if (key == kRetentionKey) {
            bool ok = false;
            const double retention = value.trimmed().toDouble(&ok);
            if (ok && retention > 0 && retention < 1) {
                dealing.retention = retention;
            }
        }
    }
    return dealing;
}

std::vector<std::pair<QString, QString>> dealingRows(const Dealing& dealing) {
    return {{kReviewKey, dealing.review ? kOn : kOff},
            {kRetentionKey, QString::number(dealing.retention, 'g', 4)}};
}

}  // namespace archive
