// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "archive/sqliteconnection.h"

#include <sqlite3.h>

#include <QFile>

namespace archive {

namespace {

// What to do after a failure SQLite reports, by its extended code or else its primary one.
QString engineAdvice(int code) {
    switch (code) {
        case SQLITE_READONLY_DIRECTORY:
            return QStringLiteral(
                "La cartella dell'archivio è di sola lettura: chiedi il permesso di scrivere nella "
                "cartella (a ogni salvataggio vi si crea un file temporaneo) oppure sposta "
                "l'archivio in una cartella tua, poi riprova.");
        case SQLITE_READONLY_ROLLBACK:
            return QStringLiteral(
                "Un salvataggio è stato interrotto e l'archivio, aperto in sola lettura, non può "
                "annullarlo: avvia Tempolario una volta (lo annulla da sé), poi riprova.");
        case SQLITE_READONLY_DBMOVED:
            return QStringLiteral(
                "Il file dell'archivio è stato spostato o cancellato mentre era in uso: rimettilo "
                "al suo posto, poi riprova.");
        default:
            break;
    }
    switch (code & kPrimaryCodeMask) {
        case SQLITE_READONLY:
            return QStringLiteral(
                "Il file dell'archivio è di sola lettura: togli la protezione dalla scrittura (o "
                "chiedi il permesso di scriverlo), poi riprova.");
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return QStringLiteral(
                "L'archivio è bloccato da un altro programma: aspetta qualche secondo che "
                "finisca (o chiudilo), poi riprova.");
        case SQLITE_FULL:
            return QStringLiteral(
                "Il disco è pieno: l'ultimo salvataggio non è stato fatto. Libera spazio sul "
                "disco, poi riprova.");
        case SQLITE_IOERR:
            return QStringLiteral(
                "Il disco ha dato un errore di lettura o scrittura: controlla il disco (o la "
                "chiavetta o la rete), poi riprova; l'archivio resta com'era prima "
                "dell'errore.");
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB:
            return QStringLiteral(
                       "L'archivio è danneggiato: rimettilo da una copia di sicurezza, oppure "
                       "spostalo altrove e crea un archivio vuoto con il comando %1.")
                .arg(createArchiveHint());
        case SQLITE_CANTOPEN:
        case SQLITE_PERM:
        case SQLITE_AUTH:
            return QStringLiteral(
                "Non si riesce ad aprire il file dell'archivio: controlla che tu abbia il permesso "
                "di leggerlo e scriverlo, poi riprova.");
        case SQLITE_CONSTRAINT:
            return QStringLiteral(
                "Nell'archivio c'è già un altro alunno con questo nome: riavvia il programma e "
                "scegli il nome dall'elenco.");
        case SQLITE_NOMEM:
            return QStringLiteral("Manca memoria: chiudi altri programmi, poi riprova.");
        case SQLITE_ERROR:
        case SQLITE_SCHEMA:
        case SQLITE_MISMATCH:
            return QStringLiteral(
                       "Rimetti l'archivio da una copia di sicurezza, oppure spostalo altrove e "
                       "crea un archivio vuoto con il comando %1.")
                .arg(createArchiveHint());
        default:
            return QStringLiteral(
                "Riprova; se l'errore si ripete, controlla l'archivio con il comando "
                "«tempolario-archivio verifica tempolario.mdb».");
    }
}

}  // namespace

Status sqliteFailure(int extendedCode, const QString& description) {
    return Status::described(Status::kEngineError, extendedCode, QString(), description,
                             engineAdvice(extendedCode));
}

SqliteConnection::~SqliteConnection() {
    m_statements.clear();
    sqlite3_close_v2(m_db);
}

std::unique_ptr<SqliteConnection> SqliteConnection::open(const QString& path, bool readOnly,
                                                         int busyTimeoutMs, Status* status) {
    sqlite3* db = nullptr;
    const int flags = readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        const int code = db ? sqlite3_extended_errcode(db) : rc;
        *status = sqliteFailure(code, db ? QString::fromUtf8(sqlite3_errmsg(db))
                                         : QString::fromUtf8(sqlite3_errstr(rc)));
        sqlite3_close_v2(db);
        return nullptr;
    }
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, busyTimeoutMs);
    *status = Status();
    return std::unique_ptr<SqliteConnection>(new SqliteConnection(db));
}

SqliteStatement* SqliteConnection::cached(const char* sql, Status* status) {
    const QByteArray key(sql);
    auto found = m_statements.find(key);
    if (found != m_statements.end()) {
        *status = Status();
        return found->second.get();
    }
    sqlite3_stmt* raw = nullptr;
    const int rc = sqlite3_prepare_v3(m_db, sql, -1, SQLITE_PREPARE_PERSISTENT, &raw, nullptr);
    if (rc != SQLITE_OK) {
        *status = failure(rc);
        sqlite3_finalize(raw);
        return nullptr;
    }
    *status = Status();
    auto statement = std::make_unique<SqliteStatement>(raw);
    SqliteStatement* result = statement.get();
    m_statements.emplace(key, std::move(statement));
    return result;
}

Status SqliteConnection::firstColumn(const char* sql, QStringList* out) {
    return withStatement(sql, [&](SqliteStatement& statement) {
        int rc;
        while ((rc = statement.step()) == SQLITE_ROW) {
            out->append(statement.text(0));
        }
        return done(rc);
    });
}

Status SqliteConnection::done(int rc) const {
    return rc == SQLITE_DONE ? Status() : failure(rc);
}

Status SqliteConnection::exec(const char* sql) {
    const int rc = sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr);
    return rc == SQLITE_OK ? Status() : failure(rc);
}

QString SqliteConnection::fileName() const {
    const char* name = sqlite3_db_filename(m_db, "main");
    return name ? QFile::decodeName(name) : QString();
}

Status SqliteConnection::failure(int code) const {
    // The connection's own code is the extended one; the message names the detail
    // ("no such table: x") where SQLite has one.
    const int extended = sqlite3_extended_errcode(m_db);
    const int number = (extended & kPrimaryCodeMask) == (code & kPrimaryCodeMask) ? extended : code;
    const QString message = QString::fromUtf8(sqlite3_errmsg(m_db));
    if ((number & kPrimaryCodeMask) == SQLITE_ERROR &&
        message.startsWith(QLatin1String("no such "))) {
        // A table, field or index the program needs is missing: the file is at fault, and
        // the teacher has to know which file.
        return sqliteFailure(
            number, QStringLiteral("nel file %1 mancano la tabella, i campi o l'indice di un "
                                   "archivio di Tempolario (%2)")
                        .arg(fileName(), message));
    }
    return sqliteFailure(number, message);
}

Status SqliteConnection::write(const std::function<Status()>& body) {
    const auto stepToEnd = [this](SqliteStatement& statement) { return done(statement.step()); };
    Status status = withStatement("BEGIN IMMEDIATE", stepToEnd);
    if (!status.ok()) {
        return status;
    }
    status = body();
    if (status.ok()) {
        status = withStatement("COMMIT", stepToEnd);
    }
    // A failed statement or commit may leave the transaction open (or SQLite may already
    // have rolled it back); either way nothing of it must stay.
    if (!sqlite3_get_autocommit(m_db)) {
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    }
    return status;
}

}  // namespace archive
