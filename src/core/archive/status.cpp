// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "archive/status.h"

#include <sqlite3.h>

namespace archive {

namespace {

const QString kCreateHint = QStringLiteral(
    "«tempolario-archivio crea tempolario.mdb» nella cartella da cui avvii Tempolario");

QString ownDescription(int number) {
    switch (number) {
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

QString ownAdvice(int number) {
    switch (number) {
        case Status::kFileMissing:
            return QStringLiteral(
                       "Crea un archivio vuoto con il comando %1, poi riavvia il programma.")
                .arg(kCreateHint);
        case Status::kNotAFile:
            return QStringLiteral(
                       "Sposta altrove ciò che ha il nome dell'archivio e crea un archivio vuoto "
                       "con "
                       "il comando %1.")
                .arg(kCreateHint);
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
                .arg(kCreateHint);
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
                .arg(kCreateHint);
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
    switch (code & 0xff) {
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
                .arg(kCreateHint);
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
                .arg(kCreateHint);
        default:
            return QStringLiteral(
                "Riprova; se l'errore si ripete, controlla l'archivio con il comando "
                "«tempolario-archivio verifica tempolario.mdb».");
    }
}

const QString kServerCreateHint =
    QStringLiteral("«tempolario-archivio crea --servizio SERVIZIO»");

// What to do after a failure on the server, by the server's code where it gave one.
QString serverAdvice(int number, const QString& code) {
    // Read at the start of the program as well as after a failed store: no button named.
    const QString retry = QStringLiteral(
        "Riprova tra qualche secondo: i risultati di un esercizio restano in memoria finché il "
        "programma è aperto.");
    switch (number) {
        case Status::kServerSetting:
            return QStringLiteral(
                "Questo computer non è configurato bene per il server dell'archivio: avvisa "
                "l'insegnante. Chi cura i computer della scuola deve controllare il servizio in "
                "pg_service.conf e la password in .pgpass.");
        case Status::kServerTimeout:
            return QStringLiteral("Il server dell'archivio non risponde: forse la rete è "
                                  "interrotta o il server è bloccato. %1 Se non passa, avvisa "
                                  "l'insegnante o chi cura il server.")
                .arg(retry);
        case Status::kServerUnreachable:
            return QStringLiteral("Il server dell'archivio non è raggiungibile: forse è spento, "
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
        return QStringLiteral("Il server dell'archivio si sta riavviando o la connessione si è "
                              "interrotta. %1")
            .arg(retry);
    }
    if (family == QLatin1String("28") || code == QLatin1String("42501")) {
        return QStringLiteral(
            "Il server dell'archivio rifiuta l'accesso: chi cura i computer della scuola deve "
            "controllare l'utente e la password di Tempolario (file .pgpass) e i suoi permessi.");
    }
    if (number == Status::kServerLayout || code == QLatin1String("42P01") ||
        code == QLatin1String("42703") || code == QLatin1String("42P10")) {
        return QStringLiteral(
                   "Sul server manca la tabella dei risultati, o non è come Tempolario se "
                   "l'aspetta: chi cura il server la crea con il comando %1.")
            .arg(kServerCreateHint);
    }
    if (family == QLatin1String("53")) {
        return QStringLiteral("Il server dell'archivio è sovraccarico o ha il disco pieno. %1 Se "
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
    return QStringLiteral("%1 Se l'errore si ripete, annota questo messaggio e avvisa chi cura "
                          "il server dell'archivio.")
        .arg(retry);
}

// The description of a failure on the server; %1 is the server, as where() gives it.
QString serverDescription(int number) {
    switch (number) {
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
            return QStringLiteral("sul server dell'archivio %1 la tabella dei risultati non è "
                                  "come Tempolario se l'aspetta");
        default:
            return QStringLiteral("il server dell'archivio %1 ha dato un errore");
    }
}

}  // namespace

QString Status::message() const {
    return ok() ? QString() : cause() + QLatin1Char('\n') + advice;
}

QString Status::cause() const {
    if (ok()) {
        return QString();
    }
    if (!code.isEmpty()) {
        return QStringLiteral("Errore %1 (codice %2) del server dell'archivio: %3.")
            .arg(number)
            .arg(code, description);
    }
    return QStringLiteral("Errore %1 dell'archivio: %2.").arg(number).arg(description);
}

Status Status::own(int number, const QString& detail) {
    Status status;
    status.number = number;
    status.description = ownDescription(number);
    if (!detail.isEmpty()) {
        status.description += QStringLiteral(" (%1)").arg(detail);
    }
    status.advice = ownAdvice(number);
    return status;
}

Status Status::engine(int extendedCode, const QString& description) {
    Status status;
    status.number = extendedCode;
    status.description = description;
    status.advice = engineAdvice(extendedCode);
    return status;
}

Status Status::server(int number, const QString& code, const QString& text,
                      const QString& where) {
    Status status;
    status.number = number;
    status.code = code;
    status.description = serverDescription(number).arg(where).simplified();
    QString detail = text.simplified();
    while (detail.endsWith(QLatin1Char('.'))) {
        detail.chop(1);
    }
    if (!detail.isEmpty()) {
        status.description += QStringLiteral(": %1").arg(detail);
    }
    status.advice = serverAdvice(number, code);
    return status;
}

}  // namespace archive
