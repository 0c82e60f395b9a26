// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace archive {

// The computer's settings file, which sends the menu entry's launcher to the school's
// server: "servizio = NOME" at most once, "#" comments, blank lines, lines ending in CRLF.
// A file that cannot be read or says anything else is a fault, never an empty setting:
// the results would otherwise go to a file nobody collects.
struct SchoolSettings {
    QString service;  // the libpq service named; empty: none, the archive file stays
    QString fault;    // empty when the file was read; otherwise the Italian message, whole

    bool ok() const { return fault.isEmpty(); }

    // Reads the file at path; a path where nothing is (not even a link) names no service.
    static SchoolSettings read(const QString& path);
};

// Whether a service name is one the program and its launcher accept: letters without
// accents, digits and "_", "-", "." only, starting with a letter or a digit (a name can
// never pass for an option or hold a connection string).
bool validServiceName(const QString& name);

}  // namespace archive
