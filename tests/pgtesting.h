// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Helpers for the tests that run on the test server the test command starts (tests/pg).
// Its service file (PGSERVICEFILE) names three services: "tempolario" (the program's role),
// "tempolario-admin" (the administrator, who owns the databases and the table) and
// "tempolario-super" (the server's superuser, for tests only). Each test process works in
// databases of its own, so tests running at once never meet.

#include <libpq-fe.h>
#include <unistd.h>

#include <QByteArray>
#include <QString>
#include <QTest>

#include "archive/pgarchive.h"
#include "testtime.h"

namespace pgtesting {

inline const QString kProgramService = QStringLiteral("tempolario");
inline const QString kAdminService = QStringLiteral("tempolario-admin");
inline const QString kSuperService = QStringLiteral("tempolario-super");
inline const QString kProgramRole = QStringLiteral("tempolario");

// Whether the test server is there (the test runs under the CTest fixture).
inline bool serverConfigured() {
    return !qEnvironmentVariableIsEmpty("PGSERVICEFILE");
}

// A plain libpq connection, as psql would make.
inline PGconn* connectRaw(const QString& service, const QString& database = QString()) {
    const QByteArray serviceName = service.toUtf8();
    const QByteArray databaseName = database.toUtf8();
    const char* keywords[] = {"service", database.isEmpty() ? nullptr : "dbname", nullptr};
    const char* values[] = {serviceName.constData(), databaseName.constData(), nullptr};
    PGconn* connection = PQconnectdbParams(keywords, values, 0);
    if (PQstatus(connection) != CONNECTION_OK) {
        qFatal("cannot connect to %s: %s", serviceName.constData(), PQerrorMessage(connection));
    }
    return connection;
}

// Runs SQL (several statements allowed) as the service's role; fails the process on error.
inline void execRaw(const QString& service, const QString& database, const QString& sql) {
    PGconn* connection = connectRaw(service, database);
    PGresult* result = PQexec(connection, sql.toUtf8().constData());
    const ExecStatusType outcome = PQresultStatus(result);
    if (outcome != PGRES_COMMAND_OK && outcome != PGRES_TUPLES_OK) {
        qFatal("SQL failed on %s: %s", qPrintable(database), PQresultErrorMessage(result));
    }
    PQclear(result);
    PQfinish(connection);
}

// The first column of the first row, as text ("" when there is none).
inline QString valueRaw(const QString& service, const QString& database, const QString& sql) {
    PGconn* connection = connectRaw(service, database);
    PGresult* result = PQexec(connection, sql.toUtf8().constData());
    QString value;
    if (PQresultStatus(result) == PGRES_TUPLES_OK && PQntuples(result) > 0) {
        value = QString::fromUtf8(PQgetvalue(result, 0, 0));
    } else if (PQresultStatus(result) != PGRES_TUPLES_OK) {
        qFatal("SQL failed on %s: %s", qPrintable(database), PQresultErrorMessage(result));
    }
    PQclear(result);
    PQfinish(connection);
    return value;
}

// The server's place with a time-out of timeoutMs on an idle machine, scaled like every
// deadline of the tests: a bound on waiting, never a race with the clock.
inline archive::ServerPlace place(const QString& database, int timeoutMs = 5000,
                                  const QString& service = kProgramService) {
    archive::ServerPlace where;
    where.service = service;
    where.database = database;
    where.timeoutMs = testtime::ms(timeoutMs);
    return where;
}

// A new, empty database owned by the administrator, named after the test process and
// tag; its archive table is created unless withTable is false.
inline QString freshDatabase(const QString& tag, bool withTable = true) {
    static int counter = 0;
    QString database = QStringLiteral("t_%1_%2_%3")
                                 .arg(tag.left(30).toLower())
                                 .arg(::getpid())
                                 .arg(++counter);
    execRaw(kAdminService, QString(),
            QStringLiteral("CREATE DATABASE \"%1\"").arg(database));
    if (withTable) {
        const archive::Status status =
            archive::PgArchive::create(place(database, 30000, kAdminService), kProgramRole);
        if (!status.ok()) {
            qFatal("cannot create the table in %s: %s", qPrintable(database),
                   qPrintable(status.message()));
        }
    }
    return database;
}

inline std::unique_ptr<archive::PgArchive> openOk(const QString& database, int timeoutMs = 5000) {
    archive::Status status;
    auto server = archive::PgArchive::open(place(database, timeoutMs), &status);
    if (!server) {
        qFatal("cannot open %s: %s", qPrintable(database), qPrintable(status.message()));
    }
    return server;
}

}  // namespace pgtesting
