// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include <QDateTime>
#include <QString>

namespace content {

// Italian words of a whole number from 0 to 999 999 ("ventimila", "centocinquantamila").
QString numberWords(int n);

// What a date label says read aloud, as a pupil reads it, for a speech engine that would
// spell the label's abbreviations and its digit groups: "20 000 a.fa" is "ventimila anni
// fa", "VI sec a.C." "sesto secolo avanti Cristo", "25-4-1945" "25 aprile 1945". Years in
// digits stay digits. A label of no known form is given back as it is.
QString spokenDate(const QString& label);

// The year a date label stands for, to measure how far a wrong date is from the right one:
// years before Christ are negative, a century is its middle year ("IV sec a.C." -350), a
// range its middle ("1914-1918" 1916), "N a.fa" is thisYear minus N. A label of no known
// form has none.
std::optional<double> yearOf(const QString& label, int thisYear);

// "prima", "seconda", ... "quinta": the class of a code from 1 to 5, as in "prima classe".
QString classOrdinal(int code);

// A stored date and time as it is read aloud: "9 dicembre 2026, ore 5 e 23".
QString spokenDateTime(const QDateTime& when);

}  // namespace content
