// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The archive suites run on both engines: the file and a school's server. One executable is
// registered twice, with TEMPOLARIO_TEST_ENGINE=file and =server, and its tests speak to the
// archive through ArchiveUnderTest: it makes an empty archive, opens it, points the
// program's shared state at it, and writes to it from outside as a teacher would (the
// sqlite3 program on the file, psql as the administrator on the server).

#include <libpq-fe.h>

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <vector>

#include "archive/archivefile.h"
#include "archive/pgarchive.h"
#include "archivetesting.h"
#include "pgtesting.h"
#include "session/modtempar.h"
#include "testtime.h"

namespace enginetesting {

inline bool onServer() {
    const QByteArray engine = qgetenv("TEMPOLARIO_TEST_ENGINE");
    if (engine != "server" && engine != "file" && !engine.isEmpty()) {
        qFatal("TEMPOLARIO_TEST_ENGINE must be file or server, not %s", engine.constData());
    }
    return engine == "server";
}

inline const char* engineName() {
    return onServer() ? "server" : "file";
}

}  // namespace enginetesting

// In initTestCase: a server run without a test server skips, and says why.
#define ENGINE_INIT()                                                                      \
    do {                                                                                   \
        qInfo("engine: %s", enginetesting::engineName());                                  \
        if (enginetesting::onServer() && !pgtesting::serverConfigured()) {                 \
            QSKIP("PGSERVICEFILE is not set: no test server (run under CTest's fixture)"); \
        }                                                                                  \
    } while (false)
// A test about one engine's own machinery, skipped on the other with the reason.
#define FILE_ONLY(why)                          \
    do {                                        \
        if (enginetesting::onServer()) {        \
            QSKIP("about the file only: " why); \
        }                                       \
    } while (false)
#define SERVER_ONLY(why)                          \
    do {                                          \
        if (!enginetesting::onServer()) {         \
            QSKIP("about the server only: " why); \
        }                                         \
    } while (false)

namespace enginetesting {

class ArchiveUnderTest {
public:
    ArchiveUnderTest() = default;
    ArchiveUnderTest(const ArchiveUnderTest&) = delete;
    ArchiveUnderTest& operator=(const ArchiveUnderTest&) = delete;
    ~ArchiveUnderTest() {
        if (!m_database.isEmpty()) {
            // The superuser's FORCE ends a session a test may have left open.
            PGconn* connection = pgtesting::connectRaw(pgtesting::kSuperService);
            const QByteArray sql = QStringLiteral("DROP DATABASE IF EXISTS \"%1\" WITH (FORCE)")
                                       .arg(m_database)
                                       .toUtf8();
            PQclear(PQexec(connection, sql.constData()));
            PQfinish(connection);
        }
    }

    bool server() const { return onServer(); }
    // The file's path, or the server's database.
    const QString& path() const { return m_path; }
    const QString& database() const { return m_database; }
    // As archive_child takes it: the file's path, or "pg:" and the database.
    QString place() const { return server() ? QStringLiteral("pg:") + m_database : m_path; }

    // A new, empty archive: a file in a new temporary folder, or the table made again, with
    // its index and the program role's rights, in this process's own database.
    void makeEmpty() {
        if (!server()) {
            m_dir = std::make_unique<QTemporaryDir>();
            if (!m_dir->isValid()) {
                qFatal("no temporary folder");
            }
            m_path = archivetesting::makeArchive(m_dir->path());
            return;
        }
        if (m_database.isEmpty()) {
            m_database = pgtesting::freshDatabase(QCoreApplication::applicationName(), false);
        }
        rawExec(QStringLiteral("DROP TABLE IF EXISTS tempar, risposte, impostazioni"));
        const archive::Status status = archive::PgArchive::create(
            pgtesting::place(m_database, 30000, pgtesting::kAdminService), pgtesting::kProgramRole);
        if (!status.ok()) {
            qFatal("cannot create the table: %s", qPrintable(status.message()));
        }
    }

    std::unique_ptr<archive::Archive> open(int timeoutMs = 5000) const {
        if (server()) {
            return pgtesting::openOk(m_database, timeoutMs);
        }
        return archivetesting::openOk(m_path, timeoutMs);
    }

    // The program's shared state pointed at this archive; timeoutMs is the file's busy wait
    // or the server's time-out on an idle machine, scaled as every deadline of the tests.
    void point(session::Modtempar& shared, int timeoutMs = 5000) const {
        if (server()) {
            shared.server = pgtesting::place(m_database, timeoutMs);
        } else {
            shared.archivePath = m_path;
            shared.busyTimeoutMs = testtime::ms(timeoutMs);
        }
    }

    // SQL run from outside the program, several statements allowed. On the server it runs
    // as the administrator, in the time zone of the tests, as a teacher's psql would.
    void rawExec(const QString& sql) const {
        if (!server()) {
            archivetesting::execRaw(m_path, sql.toUtf8().constData());
            return;
        }
        PGconn* connection = rawConnection();
        PGresult* result = PQexec(connection, sql.toUtf8().constData());
        const ExecStatusType outcome = PQresultStatus(result);
        if (outcome != PGRES_COMMAND_OK && outcome != PGRES_TUPLES_OK) {
            qFatal("SQL failed: %s\n%s", PQresultErrorMessage(result), qPrintable(sql));
        }
        PQclear(result);
        PQfinish(connection);
    }

    // The first value of a query run from outside ("" for none or NULL).
    QString rawValue(const QString& sql) const {
        if (!server()) {
            sqlite3* db = nullptr;
            sqlite3_open_v2(QFile::encodeName(m_path).constData(), &db, SQLITE_OPEN_READONLY,
                            nullptr);
            sqlite3_busy_timeout(db, testtime::ms(5000));  // another process may be writing
            sqlite3_stmt* statement = nullptr;
            QString value;
            if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &statement, nullptr) !=
                SQLITE_OK) {
                qFatal("SQL failed: %s", sqlite3_errmsg(db));
            }
            if (sqlite3_step(statement) == SQLITE_ROW && sqlite3_column_text(statement, 0)) {
                value = QString::fromUtf8(
                    reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)));
            }
            sqlite3_finalize(statement);
            sqlite3_close(db);
            return value;
        }
        PGconn* connection = rawConnection();
        PGresult* result = PQexec(connection, sql.toUtf8().constData());
        if (PQresultStatus(result) != PGRES_TUPLES_OK) {
            qFatal("SQL failed: %s\n%s", PQresultErrorMessage(result), qPrintable(sql));
        }
        QString value =
            PQntuples(result) > 0 ? QString::fromUtf8(PQgetvalue(result, 0, 0)) : QString();
        PQclear(result);
        PQfinish(connection);
        return value;
    }

    // Every row as "nome|giuste|sbagliate" (empty where null), in insertion order.
    QStringList rowTexts() const {
        QStringList rows;
        for (qint64 row = 0; row < rowCount(); ++row) {
            rows << rawValue(QStringLiteral("SELECT coalesce(nome, '') || '|' || "
                                            "coalesce(CAST(giuste AS TEXT), '') || '|' || "
                                            "coalesce(CAST(sbagliate AS TEXT), '') FROM tempar "
                                            "ORDER BY id LIMIT 1 OFFSET %1")
                                 .arg(row));
        }
        return rows;
    }

    // How many placements are kept, of every run.
    qint64 placementCount() const {
        return rawValue(QStringLiteral("SELECT count(*) FROM risposte")).toLongLong();
    }

    // How many rows the table holds, named or not.
    qint64 rowCount() const {
        return rawValue(QStringLiteral("SELECT count(*) FROM tempar")).toLongLong();
    }

    // What tells whether anything was written: the file's bytes, or every row of the table
    // with the transaction that last wrote it (a row written again with the same values
    // still changes).
    QByteArray snapshot() const {
        if (!server()) {
            return archivetesting::bytesOf(m_path);
        }
        return rawValue(
                   QStringLiteral(
                       "SELECT count(*) || E'\\n' || coalesce(string_agg(concat_ws('|', id, "
                       "xmin, nome, chiave, giuste, sbagliate, data), E'\\n' ORDER BY id), '') "
                       "FROM tempar"))
            .toUtf8();
    }

    // "ok" when the archive is whole: the file's integrity check, or the table with its
    // index on the server.
    QString intact() const {
        if (!server()) {
            return archivetesting::integrity(m_path);
        }
        return rawValue(
            QStringLiteral("SELECT CASE WHEN to_regclass('tempar') IS NULL THEN 'no table' "
                           "WHEN to_regclass('nome') IS NULL THEN 'no index' ELSE 'ok' END"));
    }

    // What a key check would find, read from outside without setting anything right.
    archive::KeyReport keyReport() const {
        std::vector<archive::KeyedRow> rows;
        if (server()) {
            PGconn* connection = rawConnection();
            PGresult* result =
                PQexec(connection, "SELECT id, nome, chiave FROM tempar ORDER BY id");
            for (int i = 0; i < PQntuples(result); ++i) {
                archive::KeyedRow row;
                row.id = QByteArray(PQgetvalue(result, i, 0)).toLongLong();
                row.named = PQgetisnull(result, i, 1) == 0;
                if (row.named) {
                    row.name = QString::fromUtf8(PQgetvalue(result, i, 1));
                }
                if (PQgetisnull(result, i, 2) == 0) {
                    row.key = QString::fromUtf8(PQgetvalue(result, i, 2));
                }
                rows.push_back(row);
            }
            PQclear(result);
            PQfinish(connection);
        } else {
            sqlite3* db = nullptr;
            sqlite3_open_v2(QFile::encodeName(m_path).constData(), &db, SQLITE_OPEN_READONLY,
                            nullptr);
            sqlite3_stmt* statement = nullptr;
            sqlite3_prepare_v2(db, "SELECT id, nome, chiave FROM tempar ORDER BY id", -1,
                               &statement, nullptr);
            while (sqlite3_step(statement) == SQLITE_ROW) {
                archive::KeyedRow row;
                row.id = sqlite3_column_int64(statement, 0);
                row.named = sqlite3_column_type(statement, 1) != SQLITE_NULL;
                if (row.named) {
                    row.name = QString::fromUtf8(
                        reinterpret_cast<const char*>(sqlite3_column_text(statement, 1)));
                }
                if (sqlite3_column_type(statement, 2) != SQLITE_NULL) {
                    row.key = QString::fromUtf8(
                        reinterpret_cast<const char*>(sqlite3_column_text(statement, 2)));
                }
                rows.push_back(row);
            }
            sqlite3_finalize(statement);
            sqlite3_close(db);
        }
        archive::KeyReport report;
        archive::planKeyedRows(&rows, &report);
        return report;
    }

    // The names the name window lists, and a name's outcome as the results window reads it.
    QStringList storedNames() const {
        session::Modtempar shared;
        point(shared);
        return archivetesting::namesThrough(shared);
    }
    archive::Outcome outcomeOf(const QString& name) const {
        session::Modtempar shared;
        point(shared);
        return archivetesting::outcomeThrough(shared, name);
    }

    // A pupil who has stored an outcome, each step through a handle of its own.
    bool addStoredPupil(const QString& name, qint64 right, qint64 given,
                        const QDateTime& when) const {
        return open()->add(name).ok() && open()->store(name, right, given, when).ok();
    }

    // How the server keeps a typed name: its text has no character 0, which becomes U+FFFD.
    QString asKept(QString name) const {
        if (server()) {
            name.replace(QChar(0), QChar::ReplacementCharacter);
        }
        return name;
    }

private:
    PGconn* rawConnection() const {
        PGconn* connection = pgtesting::connectRaw(pgtesting::kAdminService, m_database);
        const QByteArray zone = qgetenv("TZ");
        if (!zone.isEmpty()) {
            PQclear(PQexec(connection, ("SET TimeZone TO '" + zone + "'").constData()));
        }
        return connection;
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
    QString m_database;
};

}  // namespace enginetesting

namespace enginetesting {

// Another program holding the archive so that nothing else may read or write it: a write
// transaction on the file, a table lock on the server. Released when it goes.
class HeldArchive {
public:
    // On the server, readsToo false lets others read (a writer's lock): the file's lock
    // keeps the program's reads out either way, but not a look at its bytes.
    explicit HeldArchive(const ArchiveUnderTest& archive, bool readsToo = true) {
        if (archive.server()) {
            m_server = pgtesting::connectRaw(pgtesting::kAdminService, archive.database());
            PQclear(PQexec(m_server, readsToo ? "BEGIN; LOCK TABLE tempar IN ACCESS EXCLUSIVE MODE"
                                              : "BEGIN; LOCK TABLE tempar IN EXCLUSIVE MODE"));
        } else {
            sqlite3_open_v2(QFile::encodeName(archive.path()).constData(), &m_file,
                            SQLITE_OPEN_READWRITE, nullptr);
            sqlite3_exec(m_file, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr);
        }
    }
    HeldArchive(const HeldArchive&) = delete;
    HeldArchive& operator=(const HeldArchive&) = delete;
    ~HeldArchive() {
        if (m_server != nullptr) {
            PQclear(PQexec(m_server, "ROLLBACK"));
            PQfinish(m_server);
        }
        if (m_file != nullptr) {
            sqlite3_exec(m_file, "ROLLBACK", nullptr, nullptr, nullptr);
            sqlite3_close(m_file);
        }
    }

    // Whether a failure is the one an archive held this way gives: the file locked past
    // the wait, or the server's wait for the lock given up, which is told from a server
    // that does not answer.
    static bool keptOut(const archive::Status& status) {
        if (onServer()) {
            return status.kind == archive::Status::kServerBusy &&
                   status.code == QLatin1String("55P03") &&
                   status.message().contains(QStringLiteral("occupato da un altro collegamento"));
        }
        return (status.engineCode & 0xff) == SQLITE_BUSY &&
               status.advice.contains(QStringLiteral("bloccato"));
    }

private:
    PGconn* m_server = nullptr;
    sqlite3* m_file = nullptr;
};

}  // namespace enginetesting
