// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include "report/classmap.h"

namespace report {

// The class map as one self-contained page: inline style, no script, a real table with
// headings, and beside every colour a symbol and a number. Every text from the archive is
// escaped, and control characters are shown as U+FFFD.
QString toHtml(const ClassMap& map);

// The same figures for a spreadsheet, in three blocks (facts, pupils, grid) separated by an
// empty line, lines ended by CR LF.
QString toCsv(const ClassMap& map);

// A text as one CSV field that a spreadsheet shows and never runs: quoted when it holds a
// comma or a quote (quotes doubled), an apostrophe before a leading = + - @ tab or CR, and
// control characters as U+FFFD.
QString csvField(const QString& text);

}  // namespace report
