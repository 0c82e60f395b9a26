// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

namespace report {

// Writes bytes to path readable and writable by their owner only (0600): the reports hold
// minors' names and marks. The text goes to a new file beside path, is flushed to disk and
// then takes path's place, so a report of the same name is replaced whole or not at all; an
// earlier file that was stricter than 0600 keeps its stricter mode. Returns an empty string
// on success, otherwise an Italian message saying what went wrong.
QString writeOwnerOnly(const QString& path, const QByteArray& bytes);

}  // namespace report
