// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "archivecheck.h"

#include <sqlite3.h>

#include "archive/archivefile.h"
#include "archive/sqliteconnection.h"

namespace tools {

using archive::ArchiveFile;
using archive::KeyReport;
using archive::SqliteConnection;
using archive::SqliteStatement;
using archive::Status;

namespace {

// The table of placements: its fields when it is there, and how many it holds. An archive
// made before it is still right (the program adds the table when it opens it).
Status checkAnswers(SqliteConnection& connection, const QString& path, QString* note) {
    QStringList columns;
    Status status =
        connection.firstColumn("SELECT name FROM pragma_table_info('risposte')", &columns);
    if (!status.ok()) {
        return status;
    }
    if (columns.isEmpty()) {
        *note = QStringLiteral(
                    "L'archivio non ha ancora la tabella delle risposte date negli esercizi: "
                    "Tempolario la aggiunge da sé quando lo apre (oppure: tempolario-archivio "
                    "aggiorna %1).")
                    .arg(path);
        return Status();
    }
    for (const char* wanted : {"alunno", "giro", "numero", "fatto", "insieme", "mano", "etichetta",
                               "giusta", "prima", "quando"}) {
        if (!columns.contains(QLatin1String(wanted))) {
            return Status::own(Status::kWrongLayout,
                               QStringLiteral("manca il campo %1 della tabella risposte")
                                   .arg(QLatin1String(wanted)));
        }
    }
    QStringList count;
    status = connection.firstColumn("SELECT count(*) FROM risposte", &count);
    *note = QStringLiteral("Risposte registrate: %1.").arg(count.value(0));
    return status;
}

}  // namespace

Status verify(const QString& path, Findings* findings) {
    Status status = ArchiveFile::inspect(path);
    if (!status.ok()) {
        return status;
    }
    auto connection = SqliteConnection::open(path, true, 5000, &status);
    if (!connection) {
        return status;
    }
    QStringList problems;
    status = connection->firstColumn("PRAGMA integrity_check", &problems);
    if (!status.ok()) {
        return status;
    }
    if (problems != QStringList{QStringLiteral("ok")}) {
        return archive::sqliteFailure(
            SQLITE_CORRUPT,
            QStringLiteral("%1: %2").arg(QString::fromUtf8(sqlite3_errstr(SQLITE_CORRUPT)),
                                         problems.mid(0, 5).join(QStringLiteral("; "))));
    }

    QStringList columns;
    status = connection->firstColumn("SELECT name FROM pragma_table_info('tempar')", &columns);
    if (!status.ok()) {
        return status;
    }
    for (const char* wanted : {"id", "nome", "chiave", "giuste", "sbagliate", "data"}) {
        if (!columns.contains(QLatin1String(wanted))) {
            return Status::own(
                Status::kWrongLayout,
                columns.isEmpty() ? QStringLiteral("manca la tabella tempar")
                                  : QStringLiteral("manca il campo %1").arg(QLatin1String(wanted)));
        }
    }
    QStringList indexed;
    status = connection->firstColumn(
        "SELECT ii.name FROM pragma_index_list('tempar') AS il,"
        " pragma_index_info(il.name) AS ii WHERE il.name = 'nome' AND il.\"unique\"",
        &indexed);
    if (!status.ok()) {
        return status;
    }
    if (indexed != QStringList{QStringLiteral("chiave")}) {
        return Status::own(Status::kWrongLayout, QStringLiteral("manca l'indice unico nome"));
    }

    // Rows written from outside the program: still usable, but worth a note.
    KeyReport report;
    status = ArchiveFile::checkKeys(*connection, false, &report);
    if (!status.ok()) {
        return status;
    }
    QString answersNote;
    status = checkAnswers(*connection, path, &answersNote);
    if (!status.ok()) {
        return status;
    }
    *findings = describe(report, false, path, false);
    findings->notes.append(answersNote);
    return Status();
}

Status repair(const QString& path, Findings* findings) {
    Status status = ArchiveFile::inspect(path);
    if (!status.ok()) {
        return status;
    }
    auto connection = SqliteConnection::open(path, false, 5000, &status);
    if (!connection) {
        return status;
    }
    status = connection->exec("PRAGMA journal_mode = DELETE; PRAGMA synchronous = EXTRA;");
    KeyReport report;
    if (status.ok()) {
        status = ArchiveFile::checkKeys(*connection, true, &report);
    }
    if (status.ok()) {
        *findings = describe(report, true, path, false);
    }
    return status;
}

Status verifyServer(const archive::ServerPlace& place, Findings* findings) {
    Status status;
    auto server = archive::PgArchive::open(place, &status);
    if (!server) {
        return status;
    }
    archive::PgArchive::Layout layout;
    status = server->layout(&layout);
    if (status.ok() && !layout.keyIndex) {
        return archive::serverFailure(Status::kServerLayout, QString(),
                                      QStringLiteral("manca l'indice unico nome sul campo chiave"),
                                      server->where());
    }
    QStringList layoutNotes;
    if (status.ok() && !layout.limited) {
        layoutNotes.append(QStringLiteral(
            "L'archivio non ha i limiti di lunghezza dei nomi degli archivi creati ora: un nome "
            "lunghissimo scritto da fuori può bloccare l'aggiunta di nomi nuovi. Per "
            "aggiungerli, con il servizio dell'amministratore: tempolario-archivio ripara "
            "--servizio SERVIZIO."));
    }
    KeyReport report;
    if (status.ok()) {
        status = server->checkKeys(false, &report);
    }
    if (status.ok()) {
        *findings = describe(report, false, place.service, true);
        findings->notes.append(layoutNotes);
        findings->attention = findings->attention || !layoutNotes.isEmpty();
        findings->notes.append(
            layout.answers ? QStringLiteral("Risposte registrate: %1.").arg(layout.answerCount)
                           : QStringLiteral("Sul server manca la tabella delle risposte date negli "
                                            "esercizi: i risultati si salvano, le risposte no. Per "
                                            "aggiungerla, con il servizio dell'amministratore: "
                                            "tempolario-archivio aggiorna --servizio SERVIZIO."));
    }
    return status;
}

Status repairServer(const archive::ServerPlace& place, Findings* findings) {
    Status status;
    auto server = archive::PgArchive::open(place, &status);
    if (!server) {
        return status;
    }
    // Limits first: without them a key too long for the old index would stop the repair.
    archive::PgArchive::Layout layout;
    status = server->layout(&layout);
    QStringList layoutNotes;
    bool limitsMissing = false;
    if (status.ok() && !layout.limited && layout.owned) {
        status = server->setLimits();
        if (status.ok()) {
            layoutNotes.append(QStringLiteral("Limiti di lunghezza dei nomi aggiunti."));
        }
    } else if (status.ok() && !layout.limited) {
        limitsMissing = true;
        layoutNotes.append(QStringLiteral(
            "I limiti di lunghezza dei nomi mancano: li aggiunge solo chi possiede la tabella "
            "(ripara con il servizio dell'amministratore)."));
    }
    KeyReport report;
    if (status.ok()) {
        status = server->checkKeys(true, &report);
    }
    if (status.ok()) {
        *findings = describe(report, true, place.service, true);
        findings->notes.append(layoutNotes);
        findings->attention = findings->attention || limitsMissing;
    }
    return status;
}

Findings describe(const KeyReport& report, bool repaired, const QString& archive, bool onServer) {
    const QString named = onServer ? QStringLiteral("--servizio %1").arg(archive) : archive;
    const QString repairCommand = QStringLiteral("tempolario-archivio ripara %1").arg(named);
    Findings findings;
    QStringList& notes = findings.notes;
    notes.append(QStringLiteral("Alunni registrati: %1.").arg(report.rows));
    if (report.withoutName > 0) {
        notes.append(QStringLiteral("Righe senza nome (non si possono elencare): %1.")
                         .arg(report.withoutName));
    }
    if (report.withoutKey > 0) {
        notes.append(
            QStringLiteral("Righe senza chiave, aggiunte da fuori: %1.").arg(report.withoutKey));
    }
    if (report.tooLong > 0) {
        findings.attention = true;
        notes.append(
            QStringLiteral("Righe con un nome più lungo di %1 caratteri, scritte da fuori, che "
                           "Tempolario non mostra né cerca: %2. Chi cura il server le toglie con: "
                           "DELETE FROM public.tempar WHERE char_length(nome) > %1;")
                .arg(archive::PgArchive::kMaxNameLength)
                .arg(report.tooLong));
    }
    if (report.staleKey > 0) {
        notes.append(
            QStringLiteral("Righe con una chiave che non corrisponde al nome (nome cambiato da "
                           "fuori senza cambiare la chiave): %1.")
                .arg(report.staleKey));
    }
    if (repaired) {
        notes.append(QStringLiteral("Chiavi corrette: %1.").arg(report.changed));
    } else if (report.withoutKey > 0 || report.staleKey > 0) {
        findings.attention = true;
        notes.append(QStringLiteral("Per correggere le chiavi: %1").arg(repairCommand) +
                     (onServer ? QStringLiteral(".")
                               : QStringLiteral(" (Tempolario lo fa anche da sé quando apre "
                                                "l'archivio).")));
    }
    for (qsizetype group = 0; group < report.sameKey.size(); ++group) {
        findings.attention = true;
        const QStringList& names = report.sameKey.at(group);
        const QList<qint64>& ids = report.sameKeyIds.value(group);
        QStringList rows;
        for (qsizetype i = 0; i < names.size(); ++i) {
            rows.append(QStringLiteral("«%1» (id %2)").arg(names.at(i)).arg(ids.value(i)));
        }
        const qint64 other = ids.value(1);
        const QString rename = onServer
                                   ? QStringLiteral(
                                         "psql \"service=%1\" -c \"UPDATE public.tempar SET nome = "
                                         "'NUOVO NOME' WHERE id = %2\"")
                                         .arg(archive)
                                         .arg(other)
                                   : QStringLiteral(
                                         "sqlite3 %1 \"UPDATE tempar SET nome = 'NUOVO NOME' "
                                         "WHERE id = %2\"")
                                         .arg(archive)
                                         .arg(other);
        notes.append(
            QStringLiteral("Nomi uguali a meno di maiuscole o caratteri invisibili: %1. Sono "
                           "alunni distinti e restano con i loro risultati: chi scrive il nome "
                           "viene mandato a sceglierlo dall'elenco. Per tenerli distinti anche "
                           "scrivendo, dai a ogni riga dopo la prima un nome diverso, per "
                           "esempio: %2; poi esegui %3.")
                .arg(rows.join(QStringLiteral(", ")), rename, repairCommand));
    }
    return findings;
}

}  // namespace tools
