// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace archive {

// How an archive file is opened.
struct OpenOptions {
    // Read-only handles are for inspecting an archive (the command-line tool); the program
    // always opens for reading and writing.
    bool readOnly = false;
    // How long an operation waits for a file that another program keeps locked before it
    // fails with SQLite's "database is locked" (5).
    static constexpr int kDefaultBusyTimeoutMs = 5000;
    int busyTimeoutMs = kDefaultBusyTimeoutMs;
};

// Where a school's archive lives on a PostgreSQL server: a service of libpq's service file
// (pg_service.conf), which names the host, port, database, user, TLS mode and the password
// file (.pgpass). Nothing secret passes through here.
struct ServerPlace {
    // The longest an operation waits, connecting included, unless told otherwise.
    static constexpr int kDefaultTimeoutMs = 5000;

    QString service;
    QString database;  // empty: the service's own; tests use a database each
    int timeoutMs = kDefaultTimeoutMs;
    // For looking only (the tool's listings and checks): the session writes nothing, and
    // opening leaves wrong keys as they are.
    bool readOnly = false;
    // Opening leaves wrong keys as they are (the tool reports and repairs them itself).
    bool keysAsFound = false;
};

// Where the program's archive is: on the school's server when server.service is set,
// otherwise in the file at path.
struct Place {
    QString path;
    OpenOptions file;
    ServerPlace server;
};

}  // namespace archive
