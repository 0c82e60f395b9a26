// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "archive/status.h"

namespace archive {

namespace {

QString ownDescription(Status::Kind kind) {
    switch (kind) {
        case Status::kFileMissing:
            return QStringLiteral("il file dell'archivio non esiste");
        case Status::kNotAFile:
            return QStringLiteral("al posto dell'archivio c'è una cartella o un file speciale");
        case Status::kDanglingLink:
            return QStringLiteral(
                "il nome dell'archivio è un collegamento simbolico a un file che non esiste");
        case Status::kFileUnreadable:
            return QStringLiteral("il file dell'archivio non si può leggere");
        case Status::kEmptyFile:
            return QStringLiteral("il file dell'archivio è vuoto (0 byte)");
        case Status::kForeignFile:
            return QStringLiteral("il file non è un archivio di Tempolario (formato sconosciuto)");
        case Status::kDamagedHeader:
            return QStringLiteral("l'intestazione del file dell'archivio è danneggiata");
        case Status::kNotOurArchive:
            return QStringLiteral("il file è un database SQLite di un altro programma");
        case Status::kNewerArchive:
            return QStringLiteral("l'archivio ha un formato più recente di questo programma");
        case Status::kSettingRefused:
            return QStringLiteral("l'archivio non accetta le impostazioni di scrittura sicura");
        case Status::kFileExists:
            return QStringLiteral("esiste già un file con questo nome");
        case Status::kCannotCreate:
            return QStringLiteral("non si riesce a creare il file dell'archivio");
        case Status::kWrongLayout:
            return QStringLiteral("l'archivio non ha la tabella, i campi o l'indice attesi");
        case Status::kNoCurrentRow:
            return QStringLiteral("nessun record corrente");
        case Status::kRowGone:
            return QStringLiteral("il record è stato cancellato da un altro programma");
        case Status::kClosed:
            return QStringLiteral("l'archivio è già chiuso");
        case Status::kNameTooLong:
            return QStringLiteral("il nome è troppo lungo");
        case Status::kSameName:
            return QStringLiteral("nell'archivio ci sono più alunni con questo nome");
        default:
            return QStringLiteral("errore sconosciuto");
    }
}

QString ownAdvice(Status::Kind kind) {
    switch (kind) {
        case Status::kFileMissing:
            return QStringLiteral(
                       "Crea un archivio vuoto con il comando %1, poi riavvia il programma.")
                .arg(createArchiveHint());
        case Status::kNotAFile:
            return QStringLiteral(
                       "Sposta altrove ciò che ha il nome dell'archivio e crea un archivio vuoto "
                       "con "
                       "il comando %1.")
                .arg(createArchiveHint());
        case Status::kDanglingLink:
            return QStringLiteral(
                "Rimetti al suo posto il file a cui punta il collegamento (per esempio collega "
                "di nuovo la chiavetta o la cartella di rete), poi riprova.");
        case Status::kFileUnreadable:
            return QStringLiteral(
                "Chiedi a chi cura il computer il permesso di leggere e scrivere il file "
                "dell'archivio, poi riprova.");
        case Status::kEmptyFile:
        case Status::kForeignFile:
        case Status::kNotOurArchive:
            return QStringLiteral(
                       "Sposta questo file in un'altra cartella senza cancellarlo (può servire a "
                       "un "
                       "altro programma) e crea un archivio vuoto con il comando %1.")
                .arg(createArchiveHint());
        case Status::kFileExists:
            return QStringLiteral(
                "Un file esistente non viene mai sovrascritto: scegli un altro nome o un'altra "
                "cartella, oppure sposta prima il file che c'è.");
        case Status::kCannotCreate:
            return QStringLiteral(
                "Controlla che la cartella esista, che tu abbia il permesso di scriverci e che il "
                "disco non sia pieno.");
        case Status::kWrongLayout:
        case Status::kDamagedHeader:
            return QStringLiteral(
                       "Rimetti l'archivio da una copia di sicurezza, oppure spostalo altrove e "
                       "crea "
                       "un archivio vuoto con il comando %1.")
                .arg(createArchiveHint());
        case Status::kNewerArchive:
            return QStringLiteral(
                "Usa la versione di Tempolario che ha creato questo archivio, oppure un altro "
                "archivio.");
        case Status::kSettingRefused:
            return QStringLiteral(
                "Sposta l'archivio su un disco di questo computer (non su una cartella di rete) e "
                "riavvia il programma.");
        case Status::kNameTooLong:
            return QStringLiteral("Scrivi solo il cognome e il nome, poi riprova.");
        case Status::kSameName:
            return QStringLiteral(
                "Scegli il tuo nome dall'elenco. Per tenere distinti questi alunni, "
                "l'insegnante esegua «tempolario-archivio ripara» sull'archivio e segua ciò "
                "che dice.");
        case Status::kNoCurrentRow:
        case Status::kRowGone:
            return QStringLiteral(
                "Il nome cercato non è nell'archivio: riavvia il programma e scegli di nuovo il "
                "tuo "
                "nome.");
        default:
            return QStringLiteral(
                "È un errore del programma: annota questo messaggio e segnalalo a chi cura "
                "Tempolario.");
    }
}

}  // namespace

QString createArchiveHint() {
    return QStringLiteral(
        "«tempolario-archivio crea tempolario.mdb» nella cartella da cui avvii Tempolario");
}

QString Status::message() const {
    return ok() ? QString() : cause() + QLatin1Char('\n') + advice;
}

QString Status::cause() const {
    if (ok()) {
        return QString();
    }
    if (!code.isEmpty()) {
        return QStringLiteral("Errore %1 (codice %2) del server dell'archivio: %3.")
            .arg(number())
            .arg(code, description);
    }
    return QStringLiteral("Errore %1 dell'archivio: %2.").arg(number()).arg(description);
}

Status Status::own(Kind kind, const QString& detail) {
    Status status;
    status.kind = kind;
    status.description = ownDescription(kind);
    if (!detail.isEmpty()) {
        status.description += QStringLiteral(" (%1)").arg(detail);
    }
    status.advice = ownAdvice(kind);
    return status;
}

Status Status::described(Kind kind, int engineCode, const QString& serverCode,
                         const QString& description, const QString& advice) {
    Status status;
    status.kind = kind;
    status.engineCode = engineCode;
    status.code = serverCode;
    status.description = description;
    status.advice = advice;
    return status;
}

}  // namespace archive
