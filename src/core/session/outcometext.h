// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QVariant>

namespace session {

// The date and time of a store as the pupils and teachers read it: the regional short date
// form and the time of day to the second when the locale's language is Italian, and the
// Italian forms otherwise, since the program speaks Italian. The window and the archive
// tool both show dates through this function, so they always agree.
QString storedDateText(const QDateTime& when, const QLocale& locale = QLocale::system());

// A time format that shows the seconds: the format itself when it has them, otherwise the
// seconds after the minutes with the separator that stands before the minutes ("H.mm"
// gives "H.mm.ss", "h:mm AP" gives "h:mm:ss AP").
QString withSeconds(const QString& timeFormat);

// How a stored value is shown: whole numbers as plain digits, other numbers to full
// precision, dates as storedDateText; a missing value as the empty text.
QString outcomeText(const QVariant& value, const QLocale& locale = QLocale::system());

}  // namespace session
