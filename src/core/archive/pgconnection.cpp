// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "archive/pgconnection.h"

#include <poll.h>

#include <QLatin1String>
#include <algorithm>
#include <cerrno>
#include <climits>

namespace archive {

namespace {

// The shortest waits the server is given, whatever the program's own time-out: a statement
// and the connection, and a lock (given up at half the time-out, with its own message).
constexpr int kShortestTimeoutMs = 1000;
constexpr int kShortestLockTimeoutMs = 50;
constexpr int kLockTimeoutDivisor = 2;
constexpr int kMsPerSecond = 1000;
// poll()'s time-out for no deadline.
constexpr int kWaitForever = -1;
// The server's code when a lock waited for was not granted in time.
const QLatin1String kLockNotAvailable("55P03");

// Waits until the socket can be read (or written), or the deadline passes: false then.
bool waitFor(int socket, bool write, const QDeadlineTimer& deadline) {
    for (;;) {
        const qint64 left = deadline.remainingTime();
        if (left == 0 || socket < 0) {
            return false;
        }
        pollfd watched{socket, static_cast<short>(write ? POLLOUT : POLLIN), 0};
        const int ready =
            ::poll(&watched, 1,
                   left < 0 ? kWaitForever : static_cast<int>(std::min<qint64>(left, INT_MAX)));
        if (ready > 0) {
            return true;
        }
        if (ready == 0) {
            return false;
        }
        if (errno != EINTR) {
            return true;  // libpq reports what is wrong with the socket
        }
    }
}

const QString kServerCreateHint = QStringLiteral("«tempolario-archivio crea --servizio SERVIZIO»");

// What to do after a failure on the server, by the server's code where it gave one.
QString serverAdvice(Status::Kind kind, const QString& code) {
    // Read at the start of the program as well as after a failed store: no button named.
    const QString retry = QStringLiteral(
        "Riprova tra qualche secondo: i risultati di un esercizio restano in memoria finché il "
        "programma è aperto.");
    switch (kind) {
        case Status::kServerSetting:
            return QStringLiteral(
                "Questo computer non è configurato bene per il server dell'archivio: avvisa "
                "l'insegnante. Chi cura i computer della scuola deve controllare il servizio in "
                "pg_service.conf e la password in .pgpass.");
        case Status::kServerTimeout:
            return QStringLiteral(
                       "Il server dell'archivio non risponde: forse la rete è "
                       "interrotta o il server è bloccato. %1 Se non passa, avvisa "
                       "l'insegnante o chi cura il server.")
                .arg(retry);
        case Status::kServerUnreachable:
            return QStringLiteral(
                       "Il server dell'archivio non è raggiungibile: forse è spento, "
                       "si sta riavviando o la rete è interrotta. %1 Se non passa, "
                       "avvisa l'insegnante o chi cura il server.")
                .arg(retry);
        case Status::kServerRefused:
            return QStringLiteral(
                "Se il server si sta riavviando o è sovraccarico, riprova tra qualche secondo. Se "
                "il messaggio si ripete, chi cura i computer della scuola deve controllare il "
                "servizio in pg_service.conf: il nome del server e i certificati (sslrootcert, "
                "sslcert e sslkey), o la password in .pgpass per chi entra con una password.");
        case Status::kServerBusy:
            return QStringLiteral(
                       "Un altro collegamento tiene fermi questi risultati da troppo tempo. %1 Se "
                       "si ripete, avvisa chi cura il server: vede chi li tiene (pg_stat_activity) "
                       "e può chiuderne il collegamento (pg_terminate_backend).")
                .arg(retry);
        case Status::kServerTableExists:
            return QStringLiteral(
                "Sul server c'è già un archivio dei risultati, che non viene mai toccato: per "
                "portarci un file usa «tempolario-archivio copia».");
        case Status::kServerBadValue:
            return QStringLiteral(
                "Nulla è stato copiato: correggi o svuota quel valore nel file (per esempio con "
                "sqlite3), poi ripeti la copia.");
        default:
            break;
    }
    const QString family = code.left(2);
    if (family == QLatin1String("08") || code == QLatin1String("57P01") ||
        code == QLatin1String("57P02") || code == QLatin1String("57P03")) {
        return QStringLiteral(
                   "Il server dell'archivio si sta riavviando o la connessione si è "
                   "interrotta. %1")
            .arg(retry);
    }
    if (family == QLatin1String("28") || code == QLatin1String("42501")) {
        return QStringLiteral(
            "Il server dell'archivio rifiuta l'accesso: chi cura i computer della scuola deve "
            "controllare l'utente e la password di Tempolario (file .pgpass) e i suoi permessi.");
    }
    if (kind == Status::kServerLayout || code == QLatin1String("42P01") ||
        code == QLatin1String("42703") || code == QLatin1String("42P10")) {
        return QStringLiteral(
                   "Sul server manca la tabella dei risultati, o non è come Tempolario se "
                   "l'aspetta: chi cura il server la crea con il comando %1.")
            .arg(kServerCreateHint);
    }
    if (family == QLatin1String("53")) {
        return QStringLiteral(
                   "Il server dell'archivio è sovraccarico o ha il disco pieno. %1 Se "
                   "si ripete, avvisa chi cura il server.")
            .arg(retry);
    }
    if (code == QLatin1String("57014") || family == QLatin1String("40") ||
        family == QLatin1String("55")) {
        return QStringLiteral("Il server dell'archivio è occupato. %1").arg(retry);
    }
    if (code == QLatin1String("23505") || code == QLatin1String("23P01")) {
        return QStringLiteral(
            "Nell'archivio c'è già un altro alunno con questo nome: riavvia il programma e "
            "scegli il nome dall'elenco.");
    }
    return QStringLiteral(
               "%1 Se l'errore si ripete, annota questo messaggio e avvisa chi cura "
               "il server dell'archivio.")
        .arg(retry);
}

// The description of a failure on the server; %1 is the server, as where() gives it.
QString serverDescription(Status::Kind kind) {
    switch (kind) {
        case Status::kServerUnreachable:
            return QStringLiteral("non si riesce a collegarsi al server dell'archivio %1");
        case Status::kServerTimeout:
            return QStringLiteral("il server dell'archivio %1 non ha risposto in tempo");
        case Status::kServerRefused:
            return QStringLiteral("il server dell'archivio %1 ha rifiutato il collegamento");
        case Status::kServerBusy:
            return QStringLiteral(
                "l'archivio è occupato da un altro collegamento al server dell'archivio %1");
        case Status::kServerSetting:
            return QStringLiteral(
                "il collegamento al server dell'archivio %1 non è impostato bene");
        case Status::kServerTableExists:
            return QStringLiteral("sul server dell'archivio %1 c'è già la tabella dei risultati");
        case Status::kServerBadValue:
            return QStringLiteral("un valore del file non si può copiare sul server %1");
        case Status::kServerLayout:
            return QStringLiteral(
                "sul server dell'archivio %1 la tabella dei risultati non è "
                "come Tempolario se l'aspetta");
        default:
            return QStringLiteral("il server dell'archivio %1 ha dato un errore");
    }
}

}  // namespace

Status serverFailure(Status::Kind kind, const QString& code, const QString& text,
                     const QString& where) {
    QString description = serverDescription(kind).arg(where).simplified();
    QString detail = text.simplified();
    while (detail.endsWith(QLatin1Char('.'))) {
        detail.chop(1);
    }
    if (!detail.isEmpty()) {
        description += QStringLiteral(": %1").arg(detail);
    }
    return Status::described(kind, 0, code, description, serverAdvice(kind, code));
}

QString asKept(QString text) {
    text.replace(QChar(0), QChar::ReplacementCharacter);
    return text;
}

QString pgText(const char* text) {
    return QString::fromUtf8(text != nullptr ? text : "").trimmed();
}

PgConnection::PgConnection(ServerPlace place) : m_place(std::move(place)) {
    m_where = QStringLiteral("«%1»").arg(m_place.service);
}

Status PgConnection::run(const std::function<Status(const QDeadlineTimer&)>& operation,
                         bool repeatable) {
    const QDeadlineTimer deadline(m_place.timeoutMs);
    const bool hadConnection = m_handle && PQstatus(m_handle.get()) == CONNECTION_OK;
    Status status;
    if (!hadConnection) {
        status = connect(deadline);
        if (!status.ok()) {
            return status;
        }
    }
    m_lost = false;
    status = operation(deadline);
    if (!status.ok() && m_lost && hadConnection && repeatable && !deadline.hasExpired()) {
        Status again = connect(deadline);
        if (!again.ok()) {
            return again;
        }
        status = operation(deadline);
    }
    return status;
}

Status PgConnection::exec(const char* sql, const std::vector<PgParam>& params,
                          const QDeadlineTimer& deadline, PgResult* rows) {
    PgResult first;
    Status status = sendAndWait(sql, params, deadline, &first);
    if (!status.ok()) {
        return status;
    }
    return resultStatus(std::move(first), rows);
}

Status PgConnection::sendAndWait(const char* sql, const std::vector<PgParam>& params,
                                 const QDeadlineTimer& deadline, PgResult* first) {
    PGconn* connection = m_handle.get();
    if (connection == nullptr) {
        return lost(QString(), QString());
    }
    std::vector<const char*> values(params.size());
    std::transform(params.begin(), params.end(), values.begin(), [](const PgParam& param) {
        return param.null ? nullptr : param.value.constData();
    });
    if (PQsendQueryParams(connection, sql, static_cast<int>(values.size()), nullptr, values.data(),
                          nullptr, nullptr, 0) == 0) {
        return lost(QString(), pgText(PQerrorMessage(connection)));
    }
    int flushed;
    while ((flushed = PQflush(connection)) == 1) {
        if (!waitFor(PQsocket(connection), true, deadline)) {
            return timedOut();
        }
    }
    if (flushed < 0) {
        return lost(QString(), pgText(PQerrorMessage(connection)));
    }
    for (;;) {
        while (PQisBusy(connection) == 1) {
            if (!waitFor(PQsocket(connection), false, deadline)) {
                return timedOut();
            }
            if (PQconsumeInput(connection) == 0) {
                return lost(QString(), pgText(PQerrorMessage(connection)));
            }
        }
        PGresult* result = PQgetResult(connection);
        if (result == nullptr) {
            break;
        }
        if (*first) {
            PQclear(result);
        } else {
            first->reset(result);
        }
    }
    if (!*first) {
        return lost(QString(), pgText(PQerrorMessage(connection)));
    }
    return Status();
}

Status PgConnection::resultStatus(PgResult first, PgResult* rows) {
    const ExecStatusType outcome = PQresultStatus(first.get());
    if (outcome == PGRES_TUPLES_OK || outcome == PGRES_COMMAND_OK) {
        if (rows != nullptr) {
            *rows = std::move(first);
        }
        return Status();
    }
    const QString code = pgText(PQresultErrorField(first.get(), PG_DIAG_SQLSTATE));
    QString text = pgText(PQresultErrorField(first.get(), PG_DIAG_MESSAGE_PRIMARY));
    if (text.isEmpty()) {
        text = pgText(PQresultErrorMessage(first.get()));
    }
    if (PQstatus(m_handle.get()) != CONNECTION_OK) {
        return lost(code, text);
    }
    if (code == kLockNotAvailable) {
        return serverFailure(Status::kServerBusy, code, text, m_where);
    }
    return serverFailure(Status::kServerError, code, text, m_where);
}

Status PgConnection::transaction(const QDeadlineTimer& deadline,
                                 const std::function<Status()>& body) {
    Status status = exec("BEGIN", deadline);
    if (!status.ok()) {
        return status;
    }
    status = body();
    if (status.ok()) {
        return exec("COMMIT", deadline);
    }
    if (m_handle && PQstatus(m_handle.get()) == CONNECTION_OK) {
        exec("ROLLBACK", deadline);
    }
    return status;
}

PgConnection::Settings PgConnection::connectionSettings() const {
    const QByteArray timeout = QByteArray::number(std::max(kShortestTimeoutMs, m_place.timeoutMs));
    Settings settings{
        {"service", m_place.service.toUtf8()},
        {"client_encoding", "UTF8"},
        {"application_name", "tempolario"},
        {"options", sessionOptions()},
        // On a network, a peer that vanished is noticed within seconds.
        {"keepalives", "1"},
        {"keepalives_idle", "5"},
        {"keepalives_interval", "2"},
        {"keepalives_count", "2"},
        {"tcp_user_timeout", timeout},
    };
    if (!m_place.database.isEmpty()) {
        settings.emplace_back("dbname", m_place.database.toUtf8());
    }
    return settings;
}

Status PgConnection::connect(const QDeadlineTimer& deadline) {
    m_handle.reset();
    const Settings settings = connectionSettings();
    std::vector<const char*> keywords;
    std::vector<const char*> values;
    for (const auto& [keyword, value] : settings) {
        keywords.push_back(keyword.constData());
        values.push_back(value.constData());
    }
    keywords.push_back(nullptr);
    values.push_back(nullptr);
    Handle attempt(PQconnectStartParams(keywords.data(), values.data(), 0));
    if (!attempt) {
        return serverFailure(Status::kServerSetting, QString(), QStringLiteral("memoria esaurita"),
                             m_where);
    }
    describe(attempt.get());
    if (const QString source = passwordOutsidePassFile(attempt.get()); !source.isEmpty()) {
        return serverFailure(
            Status::kServerSetting, QString(),
            QStringLiteral("la password è scritta %1, dove altri possono leggerla: va "
                           "tolta da lì e messa nel file .pgpass (o in quello indicato "
                           "da passfile), leggibile solo dal suo proprietario")
                .arg(source),
            m_where);
    }
    if (PQstatus(attempt.get()) == CONNECTION_BAD) {
        // Failed at once: either the settings could not be read (no host was worked
        // out from them), or the connection was refused on the spot (a local socket
        // with no server behind it).
        const bool settingsRead = !pgText(PQhost(attempt.get())).isEmpty();
        return serverFailure(settingsRead ? Status::kServerUnreachable : Status::kServerSetting,
                             QString(), pgText(PQerrorMessage(attempt.get())), m_where);
    }
    Status status = pollConnection(attempt.get(), deadline);
    if (!status.ok()) {
        return status;
    }
    describe(attempt.get());
    if (PQsetnonblocking(attempt.get(), 1) != 0) {
        return serverFailure(Status::kServerUnreachable, QString(),
                             pgText(PQerrorMessage(attempt.get())), m_where);
    }
    m_handle = std::move(attempt);
    return applySessionSettings(deadline);
}

Status PgConnection::pollConnection(PGconn* attempt, const QDeadlineTimer& deadline) {
    PostgresPollingStatusType state = PGRES_POLLING_WRITING;
    // Whether the server was reached: a failure after that is the server (or TLS)
    // refusing the connection, which waiting seldom mends, rather than no server there.
    bool reached = false;
    while (state != PGRES_POLLING_OK) {
        if (state == PGRES_POLLING_FAILED) {
            describe(attempt);
            Status::Kind kind = reached ? Status::kServerRefused : Status::kServerUnreachable;
            if (PQconnectionNeedsPassword(attempt) == 1) {
                kind = Status::kServerSetting;
            }
            return serverFailure(kind, QString(), pgText(PQerrorMessage(attempt)), m_where);
        }
        if (!waitFor(PQsocket(attempt), state == PGRES_POLLING_WRITING, deadline)) {
            return serverFailure(Status::kServerTimeout, QString(), noAnswer(), m_where);
        }
        state = PQconnectPoll(attempt);
        const ConnStatusType progress = PQstatus(attempt);
        reached = reached || (progress != CONNECTION_STARTED && progress != CONNECTION_NEEDED &&
                              progress != CONNECTION_BAD);
    }
    return Status();
}

Status PgConnection::applySessionSettings(const QDeadlineTimer& deadline) {
    // The same again, for a pooler that does not pass the options on.
    const Settings session = sessionSettings();
    QByteArray sql = "SELECT ";
    std::vector<PgParam> params;
    for (const auto& [name, value] : session) {
        sql += QByteArray(params.empty() ? "" : ", ") + "set_config('" + name + "', $" +
               QByteArray::number(static_cast<int>(params.size()) + 1) + ", false)";
        params.push_back(PgParam::of(QString::fromUtf8(value)));
    }
    return exec(sql.constData(), params, deadline);
}

// They go in the connection's start-up (options), where they win over whatever the role or
// the database set for themselves (ALTER ROLE ... SET): the role's password is held by every
// pupil, who may change its own settings. The server gives up a statement, and a wait for a
// lock, on its own, so that nothing it holds outlives the program's wait; a lock waited for
// is given up well before that, with a message of its own.
PgConnection::Settings PgConnection::sessionSettings() const {
    const int timeoutMs = std::max(kShortestTimeoutMs, m_place.timeoutMs);
    return {
        {"search_path", "pg_catalog, pg_temp"},
        {"statement_timeout", QByteArray::number(timeoutMs)},
        {"lock_timeout", QByteArray::number(std::max(kShortestLockTimeoutMs,
                                                     m_place.timeoutMs / kLockTimeoutDivisor))},
        {"idle_in_transaction_session_timeout", QByteArray::number(timeoutMs)},
        {"idle_session_timeout", "0"},
        {"default_transaction_read_only", m_place.readOnly ? "on" : "off"},
        {"default_transaction_isolation", "read committed"},
    };
}

QByteArray PgConnection::sessionOptions() const {
    QByteArray options;
    for (auto [name, value] : sessionSettings()) {
        value.replace("\\", "\\\\").replace(" ", "\\ ");
        options += (options.isEmpty() ? "-c " : " -c ") + name + '=' + value;
    }
    return options;
}

// The environment variable PGPASSWORD, or the service's own settings (pg_service.conf is
// read by every user).
QString PgConnection::passwordOutsidePassFile(PGconn* handle) {
    if (!qEnvironmentVariableIsEmpty("PGPASSWORD")) {
        return QStringLiteral("nella variabile d'ambiente PGPASSWORD");
    }
    QString source;
    PQconninfoOption* options = PQconninfo(handle);
    for (PQconninfoOption* option = options; option != nullptr && option->keyword != nullptr;
         ++option) {
        if (qstrcmp(option->keyword, "password") == 0 && option->val != nullptr &&
            option->val[0] != '\0') {
            source = QStringLiteral("nelle impostazioni del servizio (pg_service.conf)");
        }
    }
    PQconninfoFree(options);
    return source;
}

void PgConnection::describe(PGconn* handle) {
    const QString host = pgText(PQhost(handle));
    const QString port = pgText(PQport(handle));
    m_where = QStringLiteral("«%1»").arg(m_place.service);
    if (!host.isEmpty()) {
        m_where += port.isEmpty() ? QStringLiteral(" (%1)").arg(host)
                                  : QStringLiteral(" (%1, porta %2)").arg(host, port);
    }
}

QString PgConnection::noAnswer() const {
    const int seconds = (m_place.timeoutMs + kMsPerSecond - 1) / kMsPerSecond;
    return seconds == 1 ? QStringLiteral("nessuna risposta in un secondo")
                        : QStringLiteral("nessuna risposta in %1 secondi").arg(seconds);
}

Status PgConnection::timedOut() {
    // The server may answer later, or never: the connection cannot be trusted again.
    m_handle.reset();
    return serverFailure(Status::kServerTimeout, QString(), noAnswer(), m_where);
}

Status PgConnection::lost(const QString& code, const QString& text) {
    m_handle.reset();
    m_lost = true;
    return serverFailure(Status::kServerUnreachable, code,
                         text.isEmpty() ? QStringLiteral("collegamento interrotto") : text,
                         m_where);
}

}  // namespace archive
