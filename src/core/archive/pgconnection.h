// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <libpq-fe.h>

#include <QByteArray>
#include <QDeadlineTimer>
#include <QString>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "archive/place.h"
#include "archive/status.h"

namespace archive {

// A failure on the database server: its kind (one of the kServer kinds), the server's code
// (SQLSTATE, or none), its text, and the server it concerns, as "«service» (host, porta N)".
Status serverFailure(Status::Kind kind, const QString& code, const QString& text,
                     const QString& where);

struct PgResultFree {
    void operator()(PGresult* result) const { PQclear(result); }
};
using PgResult = std::unique_ptr<PGresult, PgResultFree>;

// Text as the server keeps it. Its text cannot hold the character 0, and libpq would cut
// the text there ("Mario\0x" would become another pupil's "Mario"): it is sent as U+FFFD.
QString asKept(QString text);

// libpq's text (a message, a host name) as a QString; a null pointer is empty.
QString pgText(const char* text);

// One parameter, bound in text form; a null one is SQL NULL.
struct PgParam {
    QByteArray value;
    bool null = false;

    static PgParam of(const QString& text) { return {asKept(text).toUtf8(), false}; }
    static PgParam of(qint64 number) { return {QByteArray::number(number), false}; }
    static PgParam none() { return {QByteArray(), true}; }
};

// One connection to the server, made again when it is lost. Every wait, for the connection
// as for each answer, ends at the operation's deadline.
class PgConnection {
public:
    explicit PgConnection(ServerPlace place);

    const QString& where() const { return m_where; }
    const ServerPlace& place() const { return m_place; }
    PGconn* handle() const { return m_handle.get(); }
    // Each later operation, a connection made again included, within ms.
    void limitWait(int ms) { m_place.timeoutMs = ms; }

    // Runs an operation within the time-out, connecting first when needed. When the
    // connection turns out to have been lost since the last operation (the server was
    // restarted, say), connects again and runs it once more, if repeatable.
    Status run(const std::function<Status(const QDeadlineTimer&)>& operation,
               bool repeatable = true);

    // One statement with its parameters; rows, when asked for, get its result.
    Status exec(const char* sql, const std::vector<PgParam>& params, const QDeadlineTimer& deadline,
                PgResult* rows = nullptr);
    Status exec(const char* sql, const QDeadlineTimer& deadline, PgResult* rows = nullptr) {
        return exec(sql, {}, deadline, rows);
    }

    // Runs body inside one transaction, committed when it succeeds and rolled back otherwise.
    Status transaction(const QDeadlineTimer& deadline, const std::function<Status()>& body);

private:
    struct HandleFree {
        void operator()(PGconn* connection) const { PQfinish(connection); }
    };
    using Handle = std::unique_ptr<PGconn, HandleFree>;
    using Settings = std::vector<std::pair<QByteArray, QByteArray>>;

    Status connect(const QDeadlineTimer& deadline);
    // Waits for the connection started to be made, or for its failure.
    Status pollConnection(PGconn* attempt, const QDeadlineTimer& deadline);
    // Sets the session's settings once more by statement, on the connection just made.
    Status applySessionSettings(const QDeadlineTimer& deadline);
    // Sends the statement and waits for its first result (the others are dropped).
    Status sendAndWait(const char* sql, const std::vector<PgParam>& params,
                       const QDeadlineTimer& deadline, PgResult* first);
    // The status of a result the server sent back for a statement.
    Status resultStatus(PgResult first, PgResult* rows);
    Settings connectionSettings() const;
    // Every setting the program's sessions rely on.
    Settings sessionSettings() const;
    QByteArray sessionOptions() const;
    // Where a password was given other than in a password file, or empty.
    static QString passwordOutsidePassFile(PGconn* handle);
    void describe(PGconn* handle);
    QString noAnswer() const;
    Status timedOut();
    Status lost(const QString& code, const QString& text);

    ServerPlace m_place;
    Handle m_handle;
    QString m_where;
    bool m_lost = false;
};

}  // namespace archive
