// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/outcometext.h"

namespace session {

QString withSeconds(const QString& timeFormat) {
    if (timeFormat.contains(QLatin1Char('s'))) {
        return timeFormat;
    }
    const qsizetype minutes = timeFormat.indexOf(QLatin1String("mm"));
    if (minutes < 0) {
        return timeFormat;
    }
    // The separator is what stands between the hours and the minutes.
    qsizetype start = minutes;
    while (start > 0 && !timeFormat.at(start - 1).isLetter()) {
        --start;
    }
    QString separator = timeFormat.mid(start, minutes - start);
    if (separator.isEmpty()) {
        separator = QStringLiteral(":");
    }
    QString format = timeFormat;
    format.insert(minutes + 2, separator + QStringLiteral("ss"));
    return format;
}

QString storedDateText(const QDateTime& when, const QLocale& locale) {
    const QLocale shown =
        locale.language() == QLocale::Italian ? locale : QLocale(QLocale::Italian, QLocale::Italy);
    return shown.toString(when.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
           shown.toString(when.time(), withSeconds(shown.timeFormat(QLocale::ShortFormat)));
}

// Enough digits for any whole count a double holds exactly, without an exponent.
constexpr int kWholeDoubleDigits = 15;

QString outcomeText(const QVariant& value, const QLocale& locale) {
    if (value.isNull() || !value.isValid()) {
        return QString();
    }
    switch (value.typeId()) {
        case QMetaType::QDateTime:
            return storedDateText(value.toDateTime(), locale);
        case QMetaType::Double:
            return QString::number(value.toDouble(), 'g', kWholeDoubleDigits);
        default:
            return value.toString();
    }
}

}  // namespace session
