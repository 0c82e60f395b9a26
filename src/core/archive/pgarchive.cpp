// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "archive/pgarchive.h"

#include <libpq-fe.h>

#include <QDateTime>
#include <QDeadlineTimer>
#include <QHash>
#include <algorithm>
#include <functional>
#include <tuple>

#include "archive/namekey.h"
#include "archive/pgconnection.h"

namespace archive {

namespace {

bool isNull(const PGresult* result, int row, int column) {
    return PQgetisnull(result, row, column) == 1;
}

QString textAt(const PGresult* result, int row, int column) {
    return QString::fromUtf8(PQgetvalue(result, row, column), PQgetlength(result, row, column));
}

QVariant numberAt(const PGresult* result, int row, int column) {
    if (isNull(result, row, column)) {
        return QVariant();
    }
    return QVariant(QByteArray(PQgetvalue(result, row, column)).toLongLong());
}

// A date column read as seconds since the epoch, shown in local time like the file's.
QVariant dateAt(const PGresult* result, int row, int column) {
    if (isNull(result, row, column)) {
        return QVariant();
    }
    return QVariant(
        QDateTime::fromSecsSinceEpoch(QByteArray(PQgetvalue(result, row, column)).toLongLong()));
}

// Names longer than kMaxNameLength, written from outside, are left out of what the program
// lists and looks up, so that one such row never holds up the program. Their length in
// bytes, which the server knows without reading them, rules out the longest first (a name
// of 10000 characters has at most 40000 bytes).
#define NAME_FITS \
    "(CASE WHEN octet_length(nome) > 40000 THEN false ELSE char_length(nome) <= 10000 END)"
static_assert(PgArchive::kMaxNameLength == 10000,  // NOLINT(readability-magic-numbers)
              "NAME_FITS states the same length");

// What the server refuses because the program could not handle it: a name longer than it
// lists, and a key longer than such a name's (case folding makes at most three characters
// of one). The key's index is a hash, which holds a key of any length, so that one row
// never stops a name from being added or mended. Named as archives made before them lack
// them (setLimits() adds them).
const char* const kLimits[] = {
    "ALTER TABLE public.tempar ADD CONSTRAINT nome_lunghezza CHECK (" NAME_FITS ") NOT VALID",
    "ALTER TABLE public.tempar ADD CONSTRAINT chiave_lunghezza "
    "CHECK (char_length(chiave) <= 40000) NOT VALID",
    "ALTER TABLE public.tempar ADD CONSTRAINT nome EXCLUDE USING hash (chiave WITH =)",
};

#define ROW_COLUMNS                                                                     \
    "SELECT id, nome, giuste, sbagliate, floor(extract(epoch FROM data))::bigint FROM " \
    "public.tempar "

bool needsChange(const KeyedRow& row) {
    return row.key.isNull() != row.want.isNull() || row.key.toString() != row.want.toString();
}

// A whole number as the file may hold it (an integer, or a double written from outside
// with nothing after the point); false for anything else.
bool wholeNumber(const QVariant& value, qint64* number) {
    bool ok = false;
    if (value.typeId() == QMetaType::Double) {
        const double real = value.toDouble();
        *number = static_cast<qint64>(real);
        return static_cast<double>(*number) == real;
    }
    *number = value.toLongLong(&ok);
    return ok;
}

// A role's name cannot be a bound parameter: it is quoted by libpq.
Status quotedRole(PgConnection& server, const QString& role, QByteArray* name) {
    const QByteArray text = role.toUtf8();
    char* quoted =
        PQescapeIdentifier(server.handle(), text.constData(), static_cast<size_t>(text.size()));
    if (quoted == nullptr) {
        return serverFailure(Status::kServerSetting, QString(),
                             pgText(PQerrorMessage(server.handle())), server.where());
    }
    *name = QByteArray(quoted);
    PQfreemem(quoted);
    return Status();
}

// The table of placements, inside the administrator's transaction: the program's role may
// add placements and read them, never change or remove one; and the table of the teacher's
// settings, which it may only read. Made again it changes nothing.
Status createAnswers(PgConnection& server, const QByteArray& role, const QDeadlineTimer& deadline) {
    Status status;
    for (const QByteArray& sql :
         {QByteArray("CREATE TABLE IF NOT EXISTS public.risposte (alunno bigint NOT NULL, "
                     "giro bigint NOT NULL, numero integer NOT NULL, fatto integer NOT NULL, "
                     "insieme integer NOT NULL, mano integer NOT NULL, etichetta text NOT NULL, "
                     "giusta boolean NOT NULL, prima boolean NOT NULL, "
                     "quando timestamptz NOT NULL, PRIMARY KEY (alunno, giro, numero))"),
          QByteArray("COMMENT ON TABLE public.risposte IS 'Tempolario: risposte degli esercizi'"),
          QByteArray("REVOKE ALL ON public.risposte FROM PUBLIC"),
          "GRANT SELECT, INSERT ON public.risposte TO " + role,
          QByteArray("CREATE TABLE IF NOT EXISTS public.impostazioni (chiave text PRIMARY KEY, "
                     "valore text)"),
          QByteArray("COMMENT ON TABLE public.impostazioni IS 'Tempolario: impostazioni "
                     "dell''insegnante'"),
          QByteArray("REVOKE ALL ON public.impostazioni FROM PUBLIC"),
          "GRANT SELECT ON public.impostazioni TO " + role}) {
        if (status.ok()) {
            status = server.exec(sql.constData(), deadline);
        }
    }
    return status;
}

// What the placements of one store send: a row of ten parameters each, so many rows to a
// statement (the server takes at most 65535 parameters).
constexpr int kAnswerFields = 10;
const char* const kAnswerValues[kAnswerFields] = {
    "$?::bigint",  "$?::bigint", "$?::integer", "$?::integer", "$?::integer",
    "$?::integer", "$?::text",   "$?::boolean", "$?::boolean", "to_timestamp($?::bigint)"};
constexpr std::size_t kAnswersPerStatement = 500;

}  // namespace

struct PgArchive::Row {
    qint64 id = 0;
    QVariant nome;
    QVariant giuste, sbagliate, data;

    static Row from(const PGresult* result, int row) {
        Row found;
        found.id = QByteArray(PQgetvalue(result, row, 0)).toLongLong();
        if (!isNull(result, row, 1)) {
            found.nome = textAt(result, row, 1);
        }
        found.giuste = numberAt(result, row, 2);
        found.sbagliate = numberAt(result, row, 3);
        found.data = dateAt(result, row, 4);
        return found;
    }
};

PgArchive::PgArchive(std::unique_ptr<PgConnection> connection)
    : m_connection(std::move(connection)) {}

PgArchive::~PgArchive() = default;

void PgArchive::limitWait(int ms) {
    m_connection->limitWait(ms);
}

QString PgArchive::where() const {
    return m_connection->where();
}

std::unique_ptr<PgArchive> PgArchive::open(const ServerPlace& place, Status* status) {
    auto connection = std::make_unique<PgConnection>(place);
    PgConnection& server = *connection;
    *status = server.run([&](const QDeadlineTimer& deadline) {
        return server.exec(
            "SELECT id, nome, chiave, giuste, sbagliate, data FROM public.tempar LIMIT 0",
            deadline);
    });
    if (!status->ok()) {
        return nullptr;
    }
    auto archive = std::unique_ptr<PgArchive>(new PgArchive(std::move(connection)));
    if (place.readOnly || place.keysAsFound) {
        return archive;
    }
    // An archive whose administrator has not added the table of placements yet still
    // stores the totals: a placement written there would fail the whole store.
    *status = server.run([&](const QDeadlineTimer& deadline) {
        PgResult result;
        Status inner = server.exec(
            "SELECT CASE WHEN to_regclass('public.risposte') IS NULL THEN false ELSE "
            "has_table_privilege('public.risposte', 'INSERT') AND "
            "has_table_privilege('public.risposte', 'SELECT') END",
            deadline, &result);
        if (inner.ok() && QByteArray(PQgetvalue(result.get(), 0, 0)) != "t") {
            archive->m_answersNotKept =
                QStringLiteral(
                    "Le risposte date negli esercizi non vengono conservate: sul server %1 "
                    "manca la tabella delle risposte, o il programma non la può scrivere. I "
                    "risultati si salvano come sempre; l'amministratore aggiunge la tabella "
                    "con il comando «tempolario-archivio aggiorna --servizio SERVIZIO».")
                    .arg(server.where());
        }
        return inner;
    });
    if (!status->ok()) {
        return nullptr;
    }
    // A name changed from outside (psql) leaves its old key behind: the row would not be
    // found by its new name, and the pupil typing it would get a second, empty row. Keys
    // are set right before any lookup uses them, as the file's opening does. The server
    // sends only the rows whose key is not simply their name in lower case (the key of
    // nearly every name); their keys are worked out here, and only when one is wrong are
    // all of them set right, in one transaction. So a program opening a large archive
    // does not read every name. (server still refers to the archive's connection.)
    // A name too long for the program (written from outside) is not read: it should have
    // no key at all.
    bool allRight = true;
    *status = server.run([&](const QDeadlineTimer& deadline) {
        PgResult result;
        Status inner = server.exec("SELECT CASE WHEN " NAME_FITS
                                   " THEN nome END, chiave "
                                   "FROM public.tempar WHERE CASE WHEN " NAME_FITS
                                   " THEN chiave IS DISTINCT FROM lower(nome) "
                                   "ELSE chiave IS NOT NULL END",
                                   deadline, &result);
        for (int i = 0; inner.ok() && allRight && i < PQntuples(result.get()); ++i) {
            const bool named = !isNull(result.get(), i, 0);
            const bool keyed = !isNull(result.get(), i, 1);
            allRight = named == keyed && (!named || nameKey(textAt(result.get(), i, 0)) ==
                                                        textAt(result.get(), i, 1));
        }
        return inner;
    });
    if (status->ok() && !allRight) {
        KeyReport report;
        *status = archive->checkKeys(true, &report);
    }
    if (!status->ok()) {
        return nullptr;
    }
    return archive;
}

Status PgArchive::create(const ServerPlace& admin, const QString& programRole) {
    PgConnection server(admin);
    return server.run(
        [&](const QDeadlineTimer& deadline) {
            return server.transaction(deadline, [&]() -> Status {
                PgResult found;
                Status status = server.exec("SELECT to_regclass('public.tempar') IS NOT NULL",
                                            deadline, &found);
                if (!status.ok()) {
                    return status;
                }
                if (QByteArray(PQgetvalue(found.get(), 0, 0)) == "t") {
                    return serverFailure(Status::kServerTableExists, QString(), QString(),
                                         server.where());
                }
                for (const char* sql :
                     {"CREATE TABLE public.tempar (id bigint GENERATED ALWAYS AS IDENTITY "
                      "PRIMARY KEY, nome text, chiave text, giuste bigint, sbagliate bigint, "
                      "data timestamptz)",
                      "COMMENT ON TABLE public.tempar IS 'Tempolario: archivio dei risultati, "
                      "formato 1'",
                      "REVOKE ALL ON public.tempar FROM PUBLIC"}) {
                    status = server.exec(sql, deadline);
                    if (!status.ok()) {
                        return status;
                    }
                }
                for (const char* sql : kLimits) {
                    status = server.exec(sql, deadline);
                    if (!status.ok()) {
                        return status;
                    }
                }
                QByteArray name;
                status = quotedRole(server, programRole, &name);
                for (const QByteArray& sql :
                     {"GRANT SELECT, INSERT ON public.tempar TO " + name,
                      "GRANT UPDATE (nome, chiave, giuste, sbagliate, data) ON public.tempar TO " +
                          name}) {
                    if (status.ok()) {
                        status = server.exec(sql.constData(), deadline);
                    }
                }
                return status.ok() ? createAnswers(server, name, deadline) : status;
            });
        },
        false);
}

Status PgArchive::addAnswersTable(const ServerPlace& admin, const QString& programRole,
                                  bool* added) {
    *added = false;
    PgConnection server(admin);
    return server.run(
        [&](const QDeadlineTimer& deadline) {
            return server.transaction(deadline, [&]() -> Status {
                PgResult found;
                Status status = server.exec(
                    "SELECT to_regclass('public.tempar') IS NOT NULL, "
                    "to_regclass('public.risposte') IS NULL",
                    deadline, &found);
                if (status.ok() && QByteArray(PQgetvalue(found.get(), 0, 0)) != "t") {
                    return serverFailure(Status::kServerError, QStringLiteral("42P01"),
                                         QStringLiteral("manca la tabella dei risultati"),
                                         server.where());
                }
                QByteArray name;
                if (status.ok()) {
                    *added = QByteArray(PQgetvalue(found.get(), 0, 1)) == "t";
                    status = quotedRole(server, programRole, &name);
                }
                return status.ok() ? createAnswers(server, name, deadline) : status;
            });
        },
        false);
}

Status PgArchive::countNames(int* count) {
    PgConnection& server = *m_connection;
    return server.run([&](const QDeadlineTimer& deadline) {
        PgResult result;
        Status status =
            server.exec("SELECT count(*) FROM public.tempar WHERE " NAME_FITS, deadline, &result);
        if (status.ok()) {
            *count = QByteArray(PQgetvalue(result.get(), 0, 0)).toInt();
        }
        return status;
    });
}

Status PgArchive::readNames(int first, int count, std::vector<NamedRow>* rows) {
    // A page that follows the last one read continues from its last id, so reading the list
    // from the top costs one pass; a jump into the middle skips rows once.
    const bool follows = first > 0 && first == m_nextListed && m_lastListedId > 0;
    PgConnection& server = *m_connection;
    return server.run([&](const QDeadlineTimer& deadline) {
        PgResult result;
        Status status = server.exec(
            follows ? "SELECT id, nome FROM public.tempar WHERE " NAME_FITS
                      " AND id > $1 "
                      "ORDER BY id LIMIT $2"
                    : "SELECT id, nome FROM public.tempar WHERE " NAME_FITS
                      " ORDER BY id "
                      "LIMIT $2 OFFSET $1",
            {PgParam::of(follows ? m_lastListedId : qint64{first}), PgParam::of(qint64{count})},
            deadline, &result);
        if (!status.ok()) {
            m_nextListed = -1;
            return status;
        }
        const int listed = PQntuples(result.get());
        std::vector<NamedRow> page;
        page.reserve(static_cast<std::size_t>(listed));
        for (int row = 0; row < listed; ++row) {
            page.push_back({QByteArray(PQgetvalue(result.get(), row, 0)).toLongLong(),
                            textAt(result.get(), row, 1)});
        }
        if (listed > 0) {
            m_lastListedId = page.back().id;
        }
        m_nextListed = first + listed;
        *rows = std::move(page);
        return Status();
    });
}

Status PgArchive::lookUp(const QString& name, Row* row) {
    return m_connection->run(
        [&](const QDeadlineTimer& deadline) { return lookUp(name, row, deadline); });
}

Status PgArchive::lookUp(const QString& name, Row* row, const QDeadlineTimer& deadline) {
    *row = Row();
    const QString wanted = nameKey(name);
    PgConnection& server = *m_connection;
    PgResult result;
    auto fetch = [&]() {
        *row = Row();
        Status status = server.exec(ROW_COLUMNS "WHERE chiave = $1 ORDER BY id LIMIT 1",
                                    {PgParam::of(wanted)}, deadline, &result);
        if (status.ok() && PQntuples(result.get()) == 1) {
            *row = Row::from(result.get(), 0);
        }
        return status;
    };
    Status status = fetch();
    if (status.ok() && row->id != 0 &&
        (row->nome.isNull() || nameKey(row->nome.toString()) != wanted)) {
        // The row's name was changed from outside: it is not this name's. It takes its
        // own name's key (none when another row holds that), and the name is looked up
        // again, so nothing is ever written to another pupil's row.
        const PgParam ownKey =
            row->nome.isNull() ? PgParam::none() : PgParam::of(nameKey(row->nome.toString()));
        status = server.exec(
            "UPDATE public.tempar SET chiave = CASE WHEN EXISTS (SELECT 1 FROM public.tempar o "
            "WHERE o.chiave = $2 AND o.id <> $1) THEN NULL ELSE $2 END WHERE id = $1",
            {PgParam::of(row->id), ownKey}, deadline);
        if (status.ok()) {
            status = fetch();
        }
    }
    if (!status.ok() || row->id != 0) {
        return status;
    }
    // Rows written from outside without a key: their names are compared here.
    status = server.exec(ROW_COLUMNS "WHERE chiave IS NULL AND " NAME_FITS " ORDER BY id", deadline,
                         &result);
    for (int i = 0; status.ok() && i < PQntuples(result.get()); ++i) {
        if (nameKey(textAt(result.get(), i, 1)) == wanted) {
            *row = Row::from(result.get(), i);
            break;
        }
    }
    return status;
}

Status PgArchive::fits(const QString& name) {
    const qsizetype length = name.toUcs4().size();
    if (length <= kMaxNameLength) {
        return Status();
    }
    return Status::own(
        Status::kNameTooLong,
        QStringLiteral("%1 caratteri, al massimo %2").arg(length).arg(kMaxNameLength));
}

Status PgArchive::add(const QString& name) {
    if (Status status = fits(name); !status.ok()) {
        return status;
    }
    // Two computers may add the same new name at once: the second finds it there. The
    // conflict is the key's, on either index an archive may have (see create()).
    PgConnection& server = *m_connection;
    return server.run([&](const QDeadlineTimer& deadline) {
        return server.exec(
            "INSERT INTO public.tempar (nome, chiave) VALUES ($1, $2) ON CONFLICT DO NOTHING",
            {PgParam::of(name), PgParam::of(nameKey(name))}, deadline);
    });
}

Status PgArchive::lookUpAll(const QString& name, std::vector<NamedRow>* rows,
                            const QDeadlineTimer& deadline) {
    rows->clear();
    Row first;
    Status status = lookUp(name, &first, deadline);
    if (!status.ok() || first.id == 0) {
        return status;
    }
    rows->push_back({first.id, first.nome.toString()});
    // Others are rows without a key (the first holds it, or is one of them).
    const QString wanted = nameKey(asKept(name));
    PgResult result;
    status = m_connection->exec(
        "SELECT id, nome FROM public.tempar WHERE chiave IS NULL AND nome IS NOT NULL "
        "AND " NAME_FITS " AND id <> $1",
        {PgParam::of(first.id)}, deadline, &result);
    for (int i = 0; status.ok() && i < PQntuples(result.get()); ++i) {
        if (nameKey(textAt(result.get(), i, 1)) == wanted) {
            rows->push_back({QByteArray(PQgetvalue(result.get(), i, 0)).toLongLong(),
                             textAt(result.get(), i, 1)});
        }
    }
    std::sort(rows->begin(), rows->end(),
              [](const NamedRow& a, const NamedRow& b) { return a.id < b.id; });
    return status;
}

Status PgArchive::rowsNamed(const QString& name, std::vector<NamedRow>* rows) {
    return m_connection->run(
        [&](const QDeadlineTimer& deadline) { return lookUpAll(name, rows, deadline); });
}

Status PgArchive::writeTotals(qint64 id, const QString& name, qint64 right, qint64 given,
                              const QDateTime& when, const RunAnswers& answers,
                              const QDeadlineTimer& deadline) {
    PgConnection& server = *m_connection;
    return server.transaction(deadline, [&]() {
        PgResult held;
        Status status = server.exec("SELECT nome FROM public.tempar WHERE id = $1 FOR UPDATE",
                                    {PgParam::of(id)}, deadline, &held);
        if (!status.ok()) {
            return status;
        }
        if (PQntuples(held.get()) == 0) {
            return Status::own(Status::kRowGone);  // deleted by someone else since the lookup
        }
        if (isNull(held.get(), 0, 0) ||
            nameKey(textAt(held.get(), 0, 0)) != nameKey(asKept(name))) {
            return Status::own(Status::kNoCurrentRow, name);
        }
        // A row whose name another row's key already stands for stays without a key.
        status = server.exec(
            "UPDATE public.tempar SET nome = $1, chiave = CASE WHEN EXISTS (SELECT 1 FROM "
            "public.tempar o WHERE o.chiave = $2 AND o.id <> $6) THEN NULL ELSE $2 END, "
            "giuste = $3, sbagliate = $4, data = to_timestamp($5::bigint) WHERE id = $6",
            {PgParam::of(name), PgParam::of(nameKey(name)), PgParam::of(right), PgParam::of(given),
             PgParam::of(when.toSecsSinceEpoch()), PgParam::of(id)},
            deadline);
        return status.ok() ? addAnswers(id, answers, deadline) : status;
    });
}

Status PgArchive::addAnswers(qint64 id, const RunAnswers& answers, const QDeadlineTimer& deadline) {
    if (answers.run == 0 || answers.answers.empty() || !m_answersNotKept.isEmpty()) {
        return Status();
    }
    // The run's placements are stored in order, all those of one store together, so those
    // there already are the first ones; the key would refuse any of them a second time.
    PgConnection& server = *m_connection;
    PgResult stored;
    Status status = server.exec(
        "SELECT coalesce(max(numero) + 1, 0) FROM public.risposte WHERE alunno = $1 AND giro = $2",
        {PgParam::of(id), PgParam::of(answers.run)}, deadline, &stored);
    if (!status.ok()) {
        return status;
    }
    const auto total = answers.answers.size();
    for (auto first =
             static_cast<std::size_t>(QByteArray(PQgetvalue(stored.get(), 0, 0)).toLongLong());
         status.ok() && first < total; first += kAnswersPerStatement) {
        const std::size_t last = std::min(total, first + kAnswersPerStatement);
        QByteArray sql =
            "INSERT INTO public.risposte (alunno, giro, numero, fatto, insieme, mano, etichetta, "
            "giusta, prima, quando) VALUES ";
        std::vector<PgParam> params;
        params.reserve((last - first) * kAnswerFields);
        for (std::size_t i = first; i < last; ++i) {
            const Answer& answer = answers.answers[i];
            const auto n = static_cast<int>(params.size());
            sql += i == first ? "(" : ", (";
            for (int field = 0; field < kAnswerFields; ++field) {
                sql += QByteArray(field == 0 ? "" : ", ") +
                       QByteArray(kAnswerValues[field])
                           .replace('?', QByteArray::number(n + field + 1));
            }
            sql += ')';
            params.insert(params.end(), {PgParam::of(id), PgParam::of(answers.run),
                                         PgParam::of(static_cast<qint64>(i)),
                                         PgParam::of(static_cast<qint64>(answer.tableRow)),
                                         PgParam::of(static_cast<qint64>(answer.setCode)),
                                         PgParam::of(static_cast<qint64>(answer.deal))});
            params.push_back(PgParam::of(answer.label));
            params.push_back(PgParam::of(QString::fromLatin1(answer.right ? "t" : "f")));
            params.push_back(PgParam::of(QString::fromLatin1(answer.firstOnBox ? "t" : "f")));
            params.push_back(PgParam::of(answer.when.toSecsSinceEpoch()));
        }
        sql += " ON CONFLICT DO NOTHING";
        status = server.exec(sql.constData(), params, deadline);
    }
    return status;
}

Status PgArchive::removeAnswersBefore(const QDate& day, qint64* removed) {
    *removed = 0;
    PgConnection& server = *m_connection;
    return server.run(
        [&](const QDeadlineTimer& deadline) {
            PgResult result;
            Status status = server.exec(
                "WITH tolte AS (DELETE FROM public.risposte WHERE quando < "
                "to_timestamp($1::bigint) RETURNING 1) SELECT count(*) FROM tolte",
                {PgParam::of(QDateTime(day, QTime(0, 0)).toSecsSinceEpoch())}, deadline, &result);
            if (status.ok()) {
                *removed = QByteArray(PQgetvalue(result.get(), 0, 0)).toLongLong();
            }
            return status;
        },
        false);
}

Status PgArchive::store(const QString& name, qint64 right, qint64 given, const QDateTime& when,
                        const RunAnswers& answers) {
    if (Status status = fits(name); !status.ok()) {
        return status;
    }
    // The look-up and the update are one operation with one time-out: a slow look-up does
    // not earn the update a fresh wait. The row is read again under its lock and written by
    // one statement, so it is written whole or not at all; repeating both after a connection
    // lost midway writes the same values again. The transaction is one that only this side
    // commits: a store given up after the time-out (the row locked by someone else) is
    // reported as failed, and must not land when the lock goes.
    return m_connection->run([&](const QDeadlineTimer& deadline) {
        std::vector<NamedRow> rows;
        Status status = lookUpAll(name, &rows, deadline);
        if (!status.ok()) {
            return status;
        }
        if (rows.empty()) {
            return Status::own(Status::kNoCurrentRow, name);
        }
        if (rows.size() > 1) {
            return sameNameFailure(rows);
        }
        return writeTotals(rows.front().id, name, right, given, when, answers, deadline);
    });
}

Status PgArchive::storeRow(qint64 id, const QString& name, qint64 right, qint64 given,
                           const QDateTime& when, const RunAnswers& answers) {
    if (Status status = fits(name); !status.ok()) {
        return status;
    }
    return m_connection->run([&](const QDeadlineTimer& deadline) {
        return writeTotals(id, name, right, given, when, answers, deadline);
    });
}

Status PgArchive::readRow(qint64 id, Outcome* outcome) {
    *outcome = Outcome();
    PgConnection& server = *m_connection;
    return server.run([&](const QDeadlineTimer& deadline) {
        PgResult result;
        Status status =
            server.exec(ROW_COLUMNS "WHERE id = $1", {PgParam::of(id)}, deadline, &result);
        if (status.ok() && PQntuples(result.get()) == 1) {
            const Row row = Row::from(result.get(), 0);
            *outcome = {true, row.giuste, row.sbagliate, row.data};
        }
        return status;
    });
}

Status PgArchive::lookUpName(const QString& name, bool withTotals, Outcome* outcome) {
    Row row;
    Status status = lookUp(name, &row);
    if (status.ok() && row.id != 0) {
        *outcome = withTotals ? Outcome{true, row.giuste, row.sbagliate, row.data}
                              : Outcome{true, {}, {}, {}};
    }
    return status;
}

Status PgArchive::everyRow(std::vector<StoredRow>* rows) {
    PgConnection& server = *m_connection;
    return server.run([&](const QDeadlineTimer& deadline) {
        PgResult result;
        Status status = server.exec(ROW_COLUMNS "ORDER BY id", deadline, &result);
        if (!status.ok()) {
            return status;
        }
        rows->clear();
        const int count = PQntuples(result.get());
        rows->reserve(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i) {
            const Row row = Row::from(result.get(), i);
            rows->push_back({row.nome, row.giuste, row.sbagliate, row.data});
        }
        return status;
    });
}

Status PgArchive::everyAnswer(const AnswerVisitor& each) {
    // Read through a cursor, a portion at a time: a school's year of placements (millions)
    // never sits whole in the program's memory. Not repeated on a lost connection, since
    // the placements read before it have been handed over.
    constexpr int kPortion = 20000;
    PgConnection& server = *m_connection;
    return server.run(
        [&](const QDeadlineTimer& deadline) {
            return server.transaction(deadline, [&]() -> Status {
                Status status = server.exec(
                    "DECLARE risposte_lette NO SCROLL CURSOR FOR "
                    "SELECT t.nome, r.giro, r.fatto, r.insieme, r.mano, r.etichetta, r.giusta, "
                    "r.prima, extract(epoch FROM r.quando)::bigint FROM public.risposte r "
                    "JOIN public.tempar t ON t.id = r.alunno ORDER BY r.quando, r.alunno, "
                    "r.giro, r.numero",
                    deadline);
                const QByteArray fetch =
                    "FETCH FORWARD " + QByteArray::number(kPortion) + " FROM risposte_lette";
                while (status.ok()) {
                    PgResult result;
                    status = server.exec(fetch.constData(), deadline, &result);
                    const int count = status.ok() ? PQntuples(result.get()) : 0;
                    const auto number = [&](int row, int column) {
                        return QByteArray(PQgetvalue(result.get(), row, column)).toLongLong();
                    };
                    for (int i = 0; i < count; ++i) {
                        const Answer answer{static_cast<int>(number(i, 2)),
                                            static_cast<int>(number(i, 3)),
                                            static_cast<int>(number(i, 4)),
                                            textAt(result.get(), i, 5),
                                            QByteArray(PQgetvalue(result.get(), i, 6)) == "t",
                                            QByteArray(PQgetvalue(result.get(), i, 7)) == "t",
                                            QDateTime::fromSecsSinceEpoch(number(i, 8))};
                        each(textAt(result.get(), i, 0), number(i, 1), answer);
                    }
                    if (count < kPortion) {
                        break;
                    }
                }
                return status;
            });
        },
        false);
}

Status PgArchive::layout(Layout* found) {
    PgConnection& server = *m_connection;
    return server.run([&](const QDeadlineTimer& deadline) {
        PgResult result;
        Status status = server.exec(
            "SELECT (SELECT count(*) FROM pg_index i JOIN pg_class c ON c.oid = i.indexrelid "
            "JOIN pg_attribute a ON a.attrelid = i.indrelid AND a.attnum = i.indkey[0] "
            "WHERE i.indrelid = 'public.tempar'::regclass AND c.relname = 'nome' "
            "AND (i.indisunique OR i.indisexclusion) AND i.indnatts = 1 "
            "AND a.attname = 'chiave'), "
            "(SELECT count(*) FROM pg_constraint WHERE conrelid = 'public.tempar'::regclass "
            "AND ((conname = 'nome' AND contype = 'x') OR conname IN ('nome_lunghezza', "
            "'chiave_lunghezza'))), "
            "(SELECT count(*) FROM public.tempar WHERE NOT " NAME_FITS
            "), "
            "pg_has_role((SELECT relowner FROM pg_class WHERE oid = 'public.tempar'::regclass), "
            "'MEMBER')",
            deadline, &result);
        if (status.ok()) {
            found->keyIndex = QByteArray(PQgetvalue(result.get(), 0, 0)) != "0";
            found->limited = QByteArray(PQgetvalue(result.get(), 0, 1)) == "3";
            found->tooLong = QByteArray(PQgetvalue(result.get(), 0, 2)).toLongLong();
            found->owned = QByteArray(PQgetvalue(result.get(), 0, 3)) == "t";
            status =
                server.exec("SELECT to_regclass('public.risposte') IS NOT NULL", deadline, &result);
        }
        found->answers = status.ok() && QByteArray(PQgetvalue(result.get(), 0, 0)) == "t";
        if (found->answers) {
            status = server.exec("SELECT count(*) FROM public.risposte", deadline, &result);
            if (status.ok()) {
                found->answerCount = QByteArray(PQgetvalue(result.get(), 0, 0)).toLongLong();
            }
        }
        return status;
    });
}

Status PgArchive::setLimits() {
    PgConnection& server = *m_connection;
    return server.run(
        [&](const QDeadlineTimer& deadline) {
            return server.transaction(deadline, [&]() -> Status {
                // Nothing may change the table while its index is exchanged.
                Status status =
                    server.exec("LOCK TABLE public.tempar IN ACCESS EXCLUSIVE MODE", deadline);
                for (const char* sql :
                     {"ALTER TABLE public.tempar DROP CONSTRAINT IF EXISTS nome_lunghezza",
                      "ALTER TABLE public.tempar DROP CONSTRAINT IF EXISTS chiave_lunghezza",
                      "ALTER TABLE public.tempar DROP CONSTRAINT IF EXISTS nome",
                      "DROP INDEX IF EXISTS public.nome"}) {
                    if (status.ok()) {
                        status = server.exec(sql, deadline);
                    }
                }
                // Rows written from outside before the limits keep their names; their keys
                // go, which the length check would refuse, and the limits hold for what
                // comes after them (NOT VALID).
                if (status.ok()) {
                    status = server.exec(
                        "UPDATE public.tempar SET chiave = NULL WHERE "
                        "chiave IS NOT NULL AND NOT " NAME_FITS,
                        deadline);
                }
                for (const char* sql : kLimits) {
                    if (status.ok()) {
                        status = server.exec(sql, deadline);
                    }
                }
                return status;
            });
        },
        false);
}

namespace {

// One statement within an operation already running (on its deadline): sql, its parameters,
// and where its rows go (none when null).
using Exec = std::function<Status(const char*, const std::vector<PgParam>&, PgResult*)>;

// Reads every row's key, plans the keys, and with repair sets the wrong ones right, on
// a connection inside a transaction. A name too long for the program is not read, and is
// planned as no name: its row keeps no key.
Status planAndRepairKeys(const Exec& exec, bool repair, KeyReport* report) {
    PgResult result;
    Status status = exec("SELECT id, CASE WHEN " NAME_FITS
                         " THEN nome END, chiave, "
                         "nome IS NOT NULL AND NOT " NAME_FITS " FROM public.tempar ORDER BY id",
                         {}, &result);
    if (!status.ok()) {
        return status;
    }
    std::vector<KeyedRow> rows;
    const int count = PQntuples(result.get());
    rows.reserve(static_cast<std::size_t>(count));
    qint64 tooLong = 0;
    for (int i = 0; i < count; ++i) {
        KeyedRow row;
        row.id = QByteArray(PQgetvalue(result.get(), i, 0)).toLongLong();
        row.named = !isNull(result.get(), i, 1);
        if (row.named) {
            row.name = textAt(result.get(), i, 1);
        }
        if (!isNull(result.get(), i, 2)) {
            row.key = textAt(result.get(), i, 2);
        }
        if (QByteArray(PQgetvalue(result.get(), i, 3)) == "t") {
            ++tooLong;
        }
        rows.push_back(std::move(row));
    }
    planKeyedRows(&rows, report);
    report->withoutName -= tooLong;
    report->tooLong = tooLong;
    if (!repair) {
        return Status();
    }
    // Every key that changes is cleared first, so that no row's new key collides with the
    // old key of a row that has yet to change.
    for (const KeyedRow& row : rows) {
        if (status.ok() && needsChange(row) && !row.key.isNull()) {
            status = exec("UPDATE public.tempar SET chiave = NULL WHERE id = $1",
                          {PgParam::of(row.id)}, nullptr);
        }
    }
    for (const KeyedRow& row : rows) {
        if (status.ok() && needsChange(row)) {
            ++report->changed;
            if (!row.want.isNull()) {
                status = exec("UPDATE public.tempar SET chiave = $2 WHERE id = $1",
                              {PgParam::of(row.id), PgParam::of(row.want.toString())}, nullptr);
            }
        }
    }
    return status;
}

}  // namespace

Status PgArchive::checkKeys(bool repair, KeyReport* report) {
    PgConnection& server = *m_connection;
    return server.run(
        [&](const QDeadlineTimer& deadline) {
            return server.transaction(deadline, [&]() {
                return planAndRepairKeys(
                    [&](const char* sql, const std::vector<PgParam>& params, PgResult* rows) {
                        return server.exec(sql, params, deadline, rows);
                    },
                    repair, report);
            });
        },
        false);
}

namespace {

// A row of a file being copied in, its values checked and ready to bind.
struct Incoming {
    QString name;
    PgParam right, given, when;
    qint64 seconds = 0;
    bool dated = false;
};

// What the server holds under a key, as far as a copy needs to know.
struct Held {
    qint64 id = 0;
    bool dated = false;
    qint64 seconds = 0;
};
using HeldKeys = QHash<QString, Held>;

// Checks the values of the file's row `index` (counted from 0) and makes them parameters.
// A value the server cannot hold fails with kServerBadValue, naming the row and field.
Status checkIncoming(const StoredRow& row, std::size_t index, Incoming* entry) {
    entry->name = row.nome.toString();
    const auto bad = [&](const char* field, const QVariant& value) {
        return serverFailure(Status::kServerBadValue, QString(),
                             QStringLiteral("riga %1 («%2»), campo %3: «%4» non è un valore valido")
                                 .arg(index + 1)
                                 .arg(entry->name, QLatin1String(field), value.toString()),
                             QString());
    };
    qint64 number = 0;
    for (auto [field, value, param] : {std::tuple{"giuste", &row.giuste, &entry->right},
                                       std::tuple{"sbagliate", &row.sbagliate, &entry->given}}) {
        if (value->isNull()) {
            *param = PgParam::none();
        } else if (wholeNumber(*value, &number)) {
            *param = PgParam::of(number);
        } else {
            return bad(field, *value);
        }
    }
    if (row.data.isNull()) {
        entry->when = PgParam::none();
    } else if (row.data.typeId() == QMetaType::QDateTime && row.data.toDateTime().isValid()) {
        entry->seconds = row.data.toDateTime().toSecsSinceEpoch();
        entry->dated = true;
        entry->when = PgParam::of(entry->seconds);
    } else {
        return bad("data", row.data);
    }
    return Status();
}

// Every named row of the file, checked before anything is written; rows without a name are
// counted as skipped.
Status checkEveryIncoming(const std::vector<StoredRow>& rows, std::vector<Incoming>* incoming,
                          CopyReport* report) {
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].nome.isNull()) {
            ++report->skipped;
            continue;
        }
        Incoming entry;
        if (Status status = checkIncoming(rows[i], i, &entry); !status.ok()) {
            return status;
        }
        incoming->push_back(std::move(entry));
    }
    return Status();
}

// Every key the server holds, with its row and the date of its results.
Status readHeldKeys(const Exec& exec, HeldKeys* held) {
    PgResult result;
    Status status = exec(
        "SELECT chiave, id, floor(extract(epoch FROM data))::bigint "
        "FROM public.tempar WHERE chiave IS NOT NULL",
        {}, &result);
    if (!status.ok()) {
        return status;
    }
    for (int i = 0; i < PQntuples(result.get()); ++i) {
        held->insert(
            textAt(result.get(), i, 0),
            {QByteArray(PQgetvalue(result.get(), i, 1)).toLongLong(), !isNull(result.get(), i, 2),
             QByteArray(PQgetvalue(result.get(), i, 2)).toLongLong()});
    }
    return status;
}

// A name the server does not have: a new row with the file's results.
Status addIncoming(const Exec& exec, const Incoming& entry, const QString& key, HeldKeys* held) {
    PgResult added;
    Status status = exec(
        "INSERT INTO public.tempar (nome, chiave, giuste, sbagliate, data) "
        "VALUES ($1, $2, $3, $4, to_timestamp($5::bigint)) RETURNING id",
        {PgParam::of(entry.name), PgParam::of(key), entry.right, entry.given, entry.when}, &added);
    if (status.ok()) {
        held->insert(key, {QByteArray(PQgetvalue(added.get(), 0, 0)).toLongLong(), entry.dated,
                           entry.seconds});
    }
    return status;
}

// A name the server has with older results: the file's take their place.
Status replaceResults(const Exec& exec, const Incoming& entry, const QString& key, qint64 id,
                      HeldKeys* held) {
    Status status = exec(
        "UPDATE public.tempar SET giuste = $2, sbagliate = $3, "
        "data = to_timestamp($4::bigint) WHERE id = $1",
        {PgParam::of(id), entry.right, entry.given, entry.when}, nullptr);
    if (status.ok()) {
        (*held)[key] = {id, true, entry.seconds};
    }
    return status;
}

// Brings each checked row in, counting what became of it; the keys are set right and the
// table locked already.
Status mergeIncoming(const Exec& exec, const std::vector<Incoming>& incoming, HeldKeys* held,
                     CopyReport* report) {
    for (const Incoming& entry : incoming) {
        const QString key = nameKey(entry.name);
        const auto there = held->constFind(key);
        Status status;
        qint64* counted = &report->kept;
        if (there == held->cend()) {
            status = addIncoming(exec, entry, key, held);
            counted = &report->added;
        } else if (entry.dated && (!there->dated || entry.seconds > there->seconds)) {
            status = replaceResults(exec, entry, key, there->id, held);
            counted = &report->replaced;
        }
        if (!status.ok()) {
            return status;
        }
        ++*counted;
    }
    return Status();
}

}  // namespace

Status PgArchive::copyIn(const std::vector<StoredRow>& rows, CopyReport* report) {
    *report = CopyReport();
    // Every value is checked before anything is written.
    std::vector<Incoming> incoming;
    if (Status status = checkEveryIncoming(rows, &incoming, report); !status.ok()) {
        return status;
    }
    PgConnection& server = *m_connection;
    return server.run(
        [&](const QDeadlineTimer& deadline) {
            return server.transaction(deadline, [&]() -> Status {
                const Exec exec = [&](const char* sql, const std::vector<PgParam>& params,
                                      PgResult* result) {
                    return server.exec(sql, params, deadline, result);
                };
                // No program adds a name while the copy decides what is new.
                Status status =
                    exec("LOCK TABLE public.tempar IN SHARE ROW EXCLUSIVE MODE", {}, nullptr);
                KeyReport keys;
                if (status.ok()) {
                    status = planAndRepairKeys(exec, true, &keys);
                }
                HeldKeys held;
                if (status.ok()) {
                    status = readHeldKeys(exec, &held);
                }
                if (!status.ok()) {
                    return status;
                }
                return mergeIncoming(exec, incoming, &held, report);
            });
        },
        false);
}

Status PgArchive::readDealing(Dealing* dealing) {
    *dealing = Dealing();
    PgConnection& server = *m_connection;
    return server.run([&](const QDeadlineTimer& deadline) {
        PgResult result;
        Status status = server.exec("SELECT to_regclass('public.impostazioni') IS NOT NULL",
                                    deadline, &result);
        if (!status.ok() || QByteArray(PQgetvalue(result.get(), 0, 0)) != "t") {
            return status;
        }
        status = server.exec("SELECT chiave, valore FROM public.impostazioni", deadline, &result);
        if (status.ok()) {
            std::vector<std::pair<QString, QString>> rows;
            rows.reserve(static_cast<std::size_t>(PQntuples(result.get())));
            for (int i = 0; i < PQntuples(result.get()); ++i) {
                rows.emplace_back(textAt(result.get(), i, 0), textAt(result.get(), i, 1));
            }
            *dealing = dealingFrom(rows);
        }
        return status;
    });
}

Status PgArchive::writeDealing(const Dealing& dealing) {
    PgConnection& server = *m_connection;
    return server.run(
        [&](const QDeadlineTimer& deadline) {
            return server.transaction(deadline, [&]() -> Status {
                PgResult found;
                Status status = server.exec(
                    "SELECT to_regclass('public.impostazioni') IS NOT NULL", deadline, &found);
                if (status.ok() && QByteArray(PQgetvalue(found.get(), 0, 0)) != "t") {
                    return serverFailure(
                        Status::kServerError, QStringLiteral("42P01"),
                        QStringLiteral("manca la tabella delle impostazioni: l'amministratore la "
                                       "aggiunge con «tempolario-archivio aggiorna --servizio "
                                       "SERVIZIO»"),
                        server.where());
                }
                for (const auto& [key, value] : dealingRows(dealing)) {
                    if (status.ok()) {
                        status = server.exec(
                            "INSERT INTO public.impostazioni (chiave, valore) VALUES ($1, $2) "
                            "ON CONFLICT (chiave) DO UPDATE SET valore = excluded.valore",
                            {PgParam::of(key), PgParam::of(value)}, deadline);
                    }
                }
                return status;
            });
        },
        false);
}

Status PgArchive::firstAnswers(qint64 id, std::vector<DayAnswer>* answers) {
    answers->clear();
    PgConnection& server = *m_connection;
    return server.run([&](const QDeadlineTimer& deadline) {
        answers->clear();
        PgResult result;
        Status status = server.exec("SELECT to_regclass('public.risposte') IS NOT NULL",
                                    deadline, &result);
        if (!status.ok() || QByteArray(PQgetvalue(result.get(), 0, 0)) != "t") {
            return status;
        }
        status = server.exec(
            "SELECT fatto, giusta, extract(epoch FROM quando)::bigint FROM public.risposte "
            "WHERE alunno = $1 AND prima ORDER BY quando, giro, numero",
            {PgParam::of(id)}, deadline, &result);
        if (!status.ok()) {
            return status;
        }
        // A time's local day, looked up once a quarter of an hour (every time zone moves its
        // clocks on one): a history of many answers costs a few look-ups a school day.
        constexpr qint64 kSlotSeconds = 900;
        QHash<qint64, QDate> dayOfSlot;
        const int count = PQntuples(result.get());
        answers->reserve(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i) {
            const qint64 seconds = QByteArray(PQgetvalue(result.get(), i, 2)).toLongLong();
            const qint64 slot = seconds >= 0 ? seconds / kSlotSeconds
                                             : (seconds - kSlotSeconds + 1) / kSlotSeconds;
            auto day = dayOfSlot.constFind(slot);
            if (day == dayOfSlot.cend()) {
                day = dayOfSlot.insert(
                    slot, QDateTime::fromSecsSinceEpoch(slot * kSlotSeconds).toLocalTime().date());
            }
            answers->push_back({QByteArray(PQgetvalue(result.get(), i, 0)).toInt(),
                                QByteArray(PQgetvalue(result.get(), i, 1)) == "t", *day});
        }
        return status;
    });
}

}  // namespace archive
