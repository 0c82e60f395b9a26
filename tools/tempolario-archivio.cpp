// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
// tempolario-archivio: creates an empty results archive and lists, exports and checks
// existing ones. Reads archives read-only; never overwrites a file.

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QLocale>
#include <QStringList>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include <fcntl.h>
#include <unistd.h>

#include "archive/archivefile.h"
#include "archive/pgarchive.h"
#include "archive/schoolsettings.h"
#include "archive/sqlitearchive.h"
#include "archivecheck.h"
#include "content/facttable.h"
#include "exercise/memorymodel.h"
#include "report/classmap.h"
#include "report/ownerfile.h"
#include "report/pages.h"
#include "session/outcometext.h"

namespace {

constexpr int kExitFailure = 1;    // the archive could not be created, read or checked
constexpr int kExitUsage = 2;      // wrong command line
constexpr int kExitAttention = 3;  // the archive works, but something needs the teacher

const char kHelp[] =
    "tempolario-archivio: crea e controlla l'archivio dei risultati di Tempolario.\n"
    "\n"
    "Uso:\n"
    "  tempolario-archivio crea FILE      crea un archivio vuoto; se FILE esiste già non lo\n"
    "                                     tocca e si ferma con un errore\n"
    "  tempolario-archivio elenco FILE    mostra in una tabella tutti gli alunni con i loro\n"
    "                                     risultati (Giusti, Su, Quando)\n"
    "  tempolario-archivio csv FILE       scrive gli alunni in formato CSV (RFC 4180, UTF-8,\n"
    "                                     con la riga dei titoli: nome, giuste, risposte date,\n"
    "                                     data) sull'uscita standard\n"
    "  tempolario-archivio verifica FILE  controlla l'integrità dell'archivio e che sia un\n"
    "                                     archivio di Tempolario; dice cosa sistemare e con\n"
    "                                     quale comando\n"
    "  tempolario-archivio ripara FILE    rimette a posto le chiavi di ricerca dei nomi\n"
    "                                     cambiati da fuori (per esempio con sqlite3) e\n"
    "                                     segnala i nomi uguali a meno di maiuscole, che non\n"
    "                                     unisce mai: dice come rinominarli\n"
    "  tempolario-archivio impostazioni FILE\n"
    "                                     legge il file delle impostazioni del computer,\n"
    "                                     quello di tempolario-avvio, e scrive il servizio\n"
    "                                     che nomina (niente se non ne nomina); se il file\n"
    "                                     non va bene dice perché ed esce con 1\n"
    "  tempolario-archivio sfoltisci FILE --prima-del AAAA-MM-GG\n"
    "                                     toglie le risposte date negli esercizi prima di quel\n"
    "                                     giorno (per esempio alla fine dell'anno scolastico);\n"
    "                                     i risultati degli alunni restano\n"
    "  tempolario-archivio registro FILE [--csv] [--alunno NOME]... [--dal AAAA-MM-GG]\n"
    "                                [--al AAAA-MM-GG] [--uscita PERCORSO]\n"
    "                                     scrive la mappa della classe (fatti per alunni,\n"
    "                                     dalle risposte date) in una pagina HTML, o in CSV\n"
    "                                     con --csv, nel file registro.html (registro.csv)\n"
    "                                     o in PERCORSO; solo il suo proprietario può\n"
    "                                     leggerla (contiene dati di minori)\n"
    "  tempolario-archivio ripasso FILE [sì|no] [--ritenzione R]\n"
    "                                     con sì le domande di ogni alunno vengono dalla sua\n"
    "                                     storia: prima i fatti sbagliati l'ultima volta e\n"
    "                                     quelli da ripassare, poi quelli mai visti; con no,\n"
    "                                     come all'inizio, sono estratte a caso; senza sì o no\n"
    "                                     dice com'è ora. R è la probabilità di ricordare a\n"
    "                                     cui mira il ripasso, da 0,75 a 0,95 (se non\n"
    "                                     indicata: 0,9)\n"
    "  tempolario-archivio aiuto          mostra questo aiuto (anche --help)\n"
    "\n"
    "Con un archivio su un server PostgreSQL, al posto di FILE si scrive --servizio SERVIZIO,\n"
    "il nome di un servizio di pg_service.conf (la password sta nel file .pgpass, mai sulla\n"
    "riga di comando):\n"
    "  tempolario-archivio crea --servizio SERVIZIO [--ruolo RUOLO]\n"
    "                                     crea la tabella dei risultati sul server (con il\n"
    "                                     servizio dell'amministratore) e permette al ruolo\n"
    "                                     RUOLO (se non indicato: tempolario), quello usato\n"
    "                                     dal programma, solo di leggere, aggiungere e\n"
    "                                     aggiornare i risultati\n"
    "  tempolario-archivio aggiorna --servizio SERVIZIO [--ruolo RUOLO]\n"
    "                                     aggiunge a un archivio creato prima la tabella delle\n"
    "                                     risposte date negli esercizi (con il servizio\n"
    "                                     dell'amministratore); il ruolo RUOLO può solo\n"
    "                                     leggerle e aggiungerle\n"
    "  tempolario-archivio sfoltisci --servizio SERVIZIO --prima-del AAAA-MM-GG\n"
    "  tempolario-archivio ripasso --servizio SERVIZIO [sì|no] [--ritenzione R]\n"
    "                                     come sopra, con il servizio dell'amministratore\n"
    "  tempolario-archivio elenco|csv|verifica|ripara --servizio SERVIZIO\n"
    "  tempolario-archivio copia FILE --servizio SERVIZIO\n"
    "                                     porta i risultati di un file sul server: gli alunni\n"
    "                                     nuovi vengono aggiunti, quelli già presenti prendono\n"
    "                                     i risultati del file solo se sono più recenti; se\n"
    "                                     qualcosa va storto il server resta com'era\n"
    "  tempolario-archivio copia --servizio SERVIZIO FILE\n"
    "                                     copia l'archivio del server in un nuovo file (FILE\n"
    "                                     non deve esistere)\n"
    "\n"
    "Tempolario cerca l'archivio nel file tempolario.mdb della cartella da cui viene avviato\n"
    "e non lo crea mai da sé; per cominciare, in quella cartella:\n"
    "  tempolario-archivio crea tempolario.mdb\n"
    "\n"
    "Nel CSV una cella che comincia con =, +, -, @, una tabulazione o un ritorno a capo\n"
    "ha davanti un apostrofo ('), perché un foglio di calcolo la mostri come testo e non la\n"
    "esegua come formula. I caratteri di controllo (tabulazioni, ritorni a capo, sequenze\n"
    "del terminale) sono scritti come �, nel CSV come nell'elenco.\n"
    "\n"
    "Elenco, csv e verifica aprono l'archivio in sola lettura. Il programma esce con 0 se\n"
    "tutto è andato bene, con 1 se l'archivio ha un problema o se l'uscita non si può\n"
    "scrivere tutta (disco pieno, uscita chiusa: il messaggio dice quale e cosa fare), con 2\n"
    "se il comando è scritto male, con 3 se verifica o ripara trovano qualcosa che\n"
    "l'insegnante deve sistemare (chiavi da correggere, nomi uguali a meno di maiuscole).\n";

int g_outputError = 0;  // errno of the first failed write to the standard output

void out(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    const auto size = static_cast<size_t>(utf8.size());
    if (std::fwrite(utf8.constData(), 1, size, stdout) != size && g_outputError == 0) {
        g_outputError = errno != 0 ? errno : EIO;
    }
}

// Every byte of the output reaches its file, or the run fails: a teacher's export cut short
// by a full disk must not look finished.
int finishOutput(int exitCode) {
    errno = 0;
    if ((std::fflush(stdout) != 0 || std::ferror(stdout)) && g_outputError == 0) {
        g_outputError = errno != 0 ? errno : EIO;
    }
    errno = 0;
    if (std::fclose(stdout) != 0 && g_outputError == 0) {
        g_outputError = errno != 0 ? errno : EIO;
    }
    if (g_outputError == 0) {
        return exitCode;
    }
    std::fprintf(stderr,
                 "tempolario-archivio: non si riesce a scrivere sull'uscita standard (%s): ciò "
                 "che è stato scritto è incompleto. Controlla che il disco non sia pieno e che "
                 "il file di destinazione si possa scrivere, poi ripeti il comando.\n",
                 std::strerror(g_outputError));
    return exitCode == 0 ? kExitFailure : exitCode;
}

int fail(const archive::Status& status) {
    const QByteArray utf8 = status.message().toUtf8();
    std::fprintf(stderr, "tempolario-archivio: %s\n", utf8.constData());
    return kExitFailure;
}

int usage(const QString& problem) {
    std::fprintf(stderr, "tempolario-archivio: %s\nPer l'aiuto: tempolario-archivio aiuto\n",
                 problem.toUtf8().constData());
    return kExitUsage;
}

using Pupil = archive::StoredRow;

// An archive as the command line names it: a file, or a service of a database server.
struct Place {
    QString path;     // a file
    QString service;  // a server, through the libpq service of this name

    bool onServer() const { return !service.isEmpty(); }
    QString shown() const {
        return onServer() ? QStringLiteral("sul server «%1»").arg(service) : path;
    }
    // The tool may wait longer than the program: a copy moves a whole school's results.
    archive::ServerPlace server(bool readOnly = false) const {
        archive::ServerPlace place;
        place.service = service;
        place.timeoutMs = 120000;
        place.readOnly = readOnly;
        place.keysAsFound = true;
        return place;
    }
};

// Every row in the archive's own order, read through the same layer as the program.
archive::Status readPupils(const Place& place, std::vector<Pupil>* pupils) {
    archive::Status status;
    if (place.onServer()) {
        auto server = archive::PgArchive::open(place.server(true), &status);
        return server ? server->everyRow(pupils) : status;
    }
    archive::OpenOptions options;
    options.readOnly = true;
    auto database = archive::SqliteArchive::open(place.path, &status, options);
    return database ? database->everyRow(pupils) : status;
}

// Values as the results window shows them, dates included.
QString asText(const QVariant& value) {
    return session::outcomeText(value);
}

// Control characters (line breaks, tabs, a terminal's escapes) would break the table's
// lines, and in a spreadsheet's cell they would reach whoever shows it on a terminal:
// both outputs write them as U+FFFD.
QString printable(QString text) {
    for (QChar& c : text) {
        if (c.category() == QChar::Other_Control) {
            c = QChar(0xfffd);
        }
    }
    return text;
}

int list(const Place& path) {
    std::vector<Pupil> pupils;
    const archive::Status status = readPupils(path, &pupils);
    if (!status.ok()) {
        return fail(status);
    }
    QList<QStringList> table{{QStringLiteral("Nome"), QStringLiteral("Giusti"),
                              QStringLiteral("Su"), QStringLiteral("Quando")}};
    for (const Pupil& pupil : pupils) {
        table.append({printable(asText(pupil.nome)), printable(asText(pupil.giuste)),
                      printable(asText(pupil.sbagliate)), printable(asText(pupil.data))});
    }
    QList<qsizetype> widths(4, 0);
    for (const QStringList& row : table) {
        for (int column = 0; column < 4; ++column) {
            widths[column] = std::max(widths[column], row[column].size());
        }
    }
    for (const QStringList& row : table) {
        QString line = row[0].leftJustified(widths[0]) + QStringLiteral("  ") +
                       row[1].rightJustified(widths[1]) + QStringLiteral("  ") +
                       row[2].rightJustified(widths[2]) + QStringLiteral("  ") + row[3];
        while (line.endsWith(QLatin1Char(' '))) {
            line.chop(1);
        }
        out(line + QLatin1Char('\n'));
    }
    out(QStringLiteral("%1 alunni.\n").arg(pupils.size()));
    return 0;
}

// RFC 4180, with the spreadsheet defence: report::csvField, the rule of every CSV written.
using report::csvField;

int exportCsv(const Place& path) {
    std::vector<Pupil> pupils;
    const archive::Status status = readPupils(path, &pupils);
    if (!status.ok()) {
        return fail(status);
    }
    // Headings say what each column holds: the third one is every answer given, right
    // and wrong (the table's field sbagliate).
    QString text = QStringLiteral("nome,giuste,risposte date,data\r\n");
    for (const Pupil& pupil : pupils) {
        text += csvField(asText(pupil.nome)) + QLatin1Char(',') + csvField(asText(pupil.giuste)) +
                QLatin1Char(',') + csvField(asText(pupil.sbagliate)) + QLatin1Char(',') +
                csvField(asText(pupil.data)) + QStringLiteral("\r\n");
    }
    out(text);
    return 0;
}

int create(const Place& place, const QString& role) {
    const archive::Status status = place.onServer()
                                       ? archive::PgArchive::create(place.server(), role)
                                       : archive::ArchiveFile::create(place.path);
    if (!status.ok()) {
        return fail(status);
    }
    if (place.onServer()) {
        out(QStringLiteral("Archivio vuoto creato %1; il ruolo «%2» può leggere, aggiungere e "
                           "aggiornare i risultati.\n")
                .arg(place.shown(), role));
    } else {
        out(QStringLiteral("Archivio vuoto creato: %1\n").arg(place.path));
    }
    return 0;
}

int repair(const Place& place) {
    tools::Findings findings;
    const archive::Status status = place.onServer() ? tools::repairServer(place.server(), &findings)
                                                    : tools::repair(place.path, &findings);
    if (!status.ok()) {
        return fail(status);
    }
    for (const QString& note : findings.notes) {
        out(note + QLatin1Char('\n'));
    }
    return findings.attention ? kExitAttention : 0;
}

int verify(const Place& place) {
    tools::Findings findings;
    const archive::Status status = place.onServer()
                                       ? tools::verifyServer(place.server(true), &findings)
                                       : tools::verify(place.path, &findings);
    for (const QString& note : findings.notes) {
        out(note + QLatin1Char('\n'));
    }
    if (!status.ok()) {
        return fail(status);
    }
    if (findings.attention) {
        out(QStringLiteral("L'archivio %1 è integro, ma va sistemato come detto sopra.\n")
                .arg(place.shown()));
        return kExitAttention;
    }
    out(QStringLiteral("L'archivio %1 è integro.\n").arg(place.shown()));
    return 0;
}

// A file's results into the server: all or nothing.
int copyToServer(const Place& from, const Place& to) {
    std::vector<Pupil> pupils;
    archive::Status status = readPupils(from, &pupils);
    if (!status.ok()) {
        return fail(status);
    }
    auto server = archive::PgArchive::open(to.server(), &status);
    if (!server) {
        return fail(status);
    }
    archive::CopyReport report;
    status = server->copyIn(pupils, &report);
    if (!status.ok()) {
        std::fprintf(stderr,
                     "tempolario-archivio: la copia non è stata fatta: il server non "
                     "è stato cambiato.\n");
        return fail(status);
    }
    out(QStringLiteral("Copia di %1 %2 fatta:\n"
                       "  alunni nuovi aggiunti: %3\n"
                       "  alunni già presenti, con i risultati del file (più recenti): %4\n"
                       "  alunni già presenti, lasciati come erano (risultati del server "
                       "uguali o più recenti): %5\n")
            .arg(from.path, to.shown())
            .arg(report.added)
            .arg(report.replaced)
            .arg(report.kept));
    if (report.skipped > 0) {
        out(QStringLiteral("  righe senza nome, non copiate: %1\n").arg(report.skipped));
    }
    return 0;
}

// The server's archive into a new file, which is removed again if the copy fails.
int copyToFile(const Place& from, const Place& to) {
    std::vector<Pupil> pupils;
    archive::Status status = readPupils(from, &pupils);
    if (!status.ok()) {
        return fail(status);
    }
    status = archive::ArchiveFile::create(to.path);
    if (!status.ok()) {
        return fail(status);
    }
    auto file = archive::SqliteArchive::open(to.path, &status);
    if (file) {
        status = file->insertRows(pupils);
        file.reset();
    }
    if (!status.ok()) {
        QFile::remove(to.path);
        std::fprintf(stderr,
                     "tempolario-archivio: la copia non è stata fatta: il file %s non "
                     "è stato lasciato.\n",
                     QFile::encodeName(to.path).constData());
        return fail(status);
    }
    out(QStringLiteral("Copiati %1 alunni dal server «%2» nel nuovo archivio %3.\n")
            .arg(pupils.size())
            .arg(from.service, to.path));
    return 0;
}

// The settings file the launcher reads, on its behalf: the service named on the standard
// output, or nothing; a fault in the file on the standard error.
int readSettings(const QString& path) {
    const archive::SchoolSettings settings = archive::SchoolSettings::read(path);
    if (!settings.ok()) {
        std::fprintf(stderr, "tempolario-archivio: %s\n", settings.fault.toUtf8().constData());
        return kExitFailure;
    }
    if (!settings.service.isEmpty()) {
        out(settings.service + QLatin1Char('\n'));
    }
    return 0;
}

// Gives an archive made before placements were kept their table: on a server through the
// administrator's service; a file gains it by being opened for writing.
int upgrade(const Place& place, const QString& role) {
    archive::Status status;
    bool added = false;
    if (place.onServer()) {
        status = archive::PgArchive::addAnswersTable(place.server(), role, &added);
    } else {
        auto file = archive::SqliteArchive::open(place.path, &status);
        if (file && !file->answersNotKept().isEmpty()) {
            std::fprintf(stderr, "tempolario-archivio: %s\n",
                         file->answersNotKept().toUtf8().constData());
            return kExitFailure;
        }
        added = true;
    }
    if (!status.ok()) {
        return fail(status);
    }
    if (!place.onServer()) {
        out(QStringLiteral("L'archivio %1 ha la tabella delle risposte.\n").arg(place.path));
    } else {
        out(QStringLiteral("%1 %2; il ruolo «%3» può leggere e aggiungere le risposte.\n")
                .arg(added ? QStringLiteral("Tabella delle risposte aggiunta")
                           : QStringLiteral("La tabella delle risposte c'era già"),
                     place.shown(), role));
    }
    return 0;
}

// The teacher's map of the class, from every kept placement of the pupils chosen, written to
// a file only its owner can read.
int classReport(const Place& place, const report::Selection& selection, bool csv,
                const QString& output) {
    content::FactTable table;
    table.build();
    // Recall is predicted for the retention the archive's ripasso aims at.
    std::unique_ptr<archive::PgArchive> server;
    std::unique_ptr<archive::SqliteArchive> file;
    archive::Status status;
    if (place.onServer()) {
        server = archive::PgArchive::open(place.server(true), &status);
    } else {
        archive::OpenOptions options;
        options.readOnly = true;
        file = archive::SqliteArchive::open(place.path, &status, options);
    }
    archive::Archive* const archive =
        server ? static_cast<archive::Archive*>(server.get()) : file.get();
    archive::Dealing dealing;
    if (archive != nullptr) {
        status = archive->readDealing(&dealing);
    }
    const exercise::MemoryModel model(dealing.retention);
    report::ClassMapBuilder builder(table, model, selection);
    const auto each = [&](const QString& pupil, qint64 run, const archive::Answer& answer) {
        builder.add({pupil, run, answer.deal, answer.tableRow, answer.label, answer.right,
                     answer.firstOnBox, answer.when});
    };
    if (status.ok()) {
        status = server ? server->everyAnswer(each) : file->everyAnswer(each);
    }
    if (!status.ok()) {
        return fail(status);
    }
    const report::ClassMap map = builder.build(QDate::currentDate());
    const QString path =
        output.isEmpty() ? QString::fromLatin1(csv ? "registro.csv" : "registro.html") : output;
    const QString problem =
        report::writeOwnerOnly(path, (csv ? report::toCsv(map) : report::toHtml(map)).toUtf8());
    if (!problem.isEmpty()) {
        std::fprintf(stderr, "tempolario-archivio: %s\n", problem.toUtf8().constData());
        return kExitFailure;
    }
    out(QStringLiteral("Registro della classe scritto in %1 (alunni: %2, fatti: %3).\n")
            .arg(path)
            .arg(map.pupils.size())
            .arg(map.facts.size()));
    return 0;
}

// Removes the placements made before a day, in one transaction.
int purge(const Place& place, const QString& before) {
    const QDate day = QDate::fromString(before, QStringLiteral("yyyy-MM-dd"));
    if (!day.isValid()) {
        return usage(
            before.isEmpty()
                ? QStringLiteral("sfoltisci: manca --prima-del AAAA-MM-GG.")
                : QStringLiteral("sfoltisci: «%1» non è una data come 2026-06-30.").arg(before));
    }
    archive::Status status;
    qint64 removed = 0;
    if (place.onServer()) {
        auto server = archive::PgArchive::open(place.server(), &status);
        if (server) {
            status = server->removeAnswersBefore(day, &removed);
        }
    } else {
        auto file = archive::SqliteArchive::open(place.path, &status);
        if (file) {
            status = file->removeAnswersBefore(day, &removed);
        }
    }
    if (!status.ok()) {
        std::fprintf(stderr, "tempolario-archivio: nessuna risposta è stata tolta.\n");
        return fail(status);
    }
    out(QStringLiteral("Tolte %1 risposte date prima del %2 dall'archivio %3.\n")
            .arg(removed)
            .arg(day.toString(QStringLiteral("dd/MM/yyyy")), place.shown()));
    return 0;
}

// The teacher's dealing for every pupil of the archive: shown, or set by choice ("sì", "no").
int review(const Place& place, const QString& choice, const QString& retentionText) {
    archive::Dealing wanted;
    wanted.review = choice == QStringLiteral("sì") || choice == QLatin1String("si");
    if (!retentionText.isEmpty()) {
        bool ok = false;
        wanted.retention = QString(retentionText).replace(QLatin1Char(','), QLatin1Char('.'))
                               .toDouble(&ok);
        if (!ok || wanted.retention < exercise::MemoryModel::kLowestRetention - 1e-9 ||
            wanted.retention > exercise::MemoryModel::kHighestRetention + 1e-9) {
            return usage(QStringLiteral("ripasso: la ritenzione «%1» non va bene: scrivi un "
                                        "numero da 0,75 a 0,95, per esempio 0,9.")
                             .arg(retentionText));
        }
    }
    // A choice given without a retention keeps the one set before.
    archive::Status status;
    archive::Dealing found;
    const auto readThenWrite = [&](auto& archive) {
        status = archive.readDealing(&found);
        if (status.ok() && !choice.isEmpty()) {
            if (retentionText.isEmpty()) {
                wanted.retention = found.retention;
            }
            status = archive.writeDealing(wanted);
        }
    };
    if (place.onServer()) {
        auto server = archive::PgArchive::open(place.server(choice.isEmpty()), &status);
        if (server) {
            readThenWrite(*server);
        }
    } else {
        archive::OpenOptions options;
        options.readOnly = choice.isEmpty();
        auto file = archive::SqliteArchive::open(place.path, &status, options);
        if (file) {
            readThenWrite(*file);
        }
    }
    if (!status.ok()) {
        if (!choice.isEmpty()) {
            std::fprintf(stderr, "tempolario-archivio: il ripasso non è stato cambiato.\n");
        }
        return fail(status);
    }
    const archive::Dealing& now = choice.isEmpty() ? found : wanted;
    out(now.review
            ? QStringLiteral("Ripasso acceso nell'archivio %1: le domande di ogni alunno vengono "
                             "dalla sua storia (ritenzione %2).\n")
                  .arg(place.shown(), QLocale(QLocale::Italian).toString(now.retention, 'g', 3))
            : QStringLiteral("Ripasso spento nell'archivio %1: le domande sono estratte a "
                             "caso.\n")
                  .arg(place.shown()));
    return 0;
}

// Whether an argument is --servizio as the parser takes it: "--servizio", "-servizio",
// either with "=SERVIZIO".
bool isServiceOption(const QString& argument) {
    QString name = argument.section(QLatin1Char('='), 0, 0);
    if (name.startsWith(QLatin1String("--"))) {
        name.remove(0, 2);
    } else if (name.startsWith(QLatin1Char('-'))) {
        name.remove(0, 1);
    } else {
        return false;
    }
    return name == QLatin1String("servizio");
}

int run() {
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 2) {
        return usage(QStringLiteral("manca il comando."));
    }
    const QString& command = arguments.at(1);
    if (command == QLatin1String("aiuto") || command == QLatin1String("--help") ||
        command == QLatin1String("-h")) {
        out(QString::fromUtf8(kHelp));
        return 0;
    }
    const QStringList commands{QStringLiteral("crea"),     QStringLiteral("elenco"),
                               QStringLiteral("csv"),      QStringLiteral("verifica"),
                               QStringLiteral("ripara"),   QStringLiteral("copia"),
                               QStringLiteral("aggiorna"), QStringLiteral("sfoltisci"),
                               QStringLiteral("registro"), QStringLiteral("impostazioni"),
                               QStringLiteral("ripasso")};
    if (!commands.contains(command)) {
        return usage(QStringLiteral("comando sconosciuto: %1.").arg(command));
    }

    // What follows the command: FILEs as positional arguments, "-servizio" read as
    // "--servizio" and not as the letters s, e, r...
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("mostra l'aiuto"));
    const QCommandLineOption serviceOption(QStringLiteral("servizio"),
                                           QStringLiteral("archivio sul server"),
                                           QStringLiteral("SERVIZIO"));
    const QCommandLineOption roleOption(
        QStringLiteral("ruolo"), QStringLiteral("ruolo del programma"), QStringLiteral("RUOLO"));
    const QCommandLineOption beforeOption(QStringLiteral("prima-del"), QStringLiteral("giorno"),
                                          QStringLiteral("AAAA-MM-GG"));
    const QCommandLineOption csvOption(QStringLiteral("csv"), QStringLiteral("in CSV"));
    const QCommandLineOption pupilOption(QStringLiteral("alunno"), QStringLiteral("alunno"),
                                         QStringLiteral("NOME"));
    const QCommandLineOption fromOption(QStringLiteral("dal"), QStringLiteral("dal giorno"),
                                        QStringLiteral("AAAA-MM-GG"));
    const QCommandLineOption toOption(QStringLiteral("al"), QStringLiteral("al giorno"),
                                      QStringLiteral("AAAA-MM-GG"));
    const QCommandLineOption outputOption(QStringLiteral("uscita"), QStringLiteral("file"),
                                          QStringLiteral("PERCORSO"));
    const QCommandLineOption retentionOption(
        QStringLiteral("ritenzione"), QStringLiteral("ritenzione"), QStringLiteral("R"));
    parser.addOptions({help, serviceOption, roleOption, beforeOption, csvOption, pupilOption,
                       fromOption, toOption, outputOption, retentionOption});
    const QStringList line = QStringList{arguments.first()} + arguments.mid(2);
    const bool parsed = parser.parse(line);
    if (parser.isSet(help)) {
        out(QString::fromUtf8(kHelp));
        return 0;
    }
    if (!parser.unknownOptionNames().isEmpty()) {
        // Named whole, as typed: the first argument that is that option.
        const QString name = parser.unknownOptionNames().constFirst();
        const auto typed =
            std::ranges::find_if(line.begin() + 1, line.end(), [&](const QString& a) {
                const QString bare = a.section(QLatin1Char('='), 0, 0);
                return bare == QLatin1Char('-') + name || bare == QLatin1String("--") + name;
            });
        return usage(QStringLiteral("opzione sconosciuta: %1.")
                         .arg(typed != line.end() ? *typed : QLatin1String("--") + name));
    }
    if (!parsed) {
        // The parser's one other mistake: the last argument is an option that wants a value.
        return usage(QStringLiteral("dopo %1 ci vuole un nome.").arg(line.last()));
    }
    const QStringList services = parser.values(serviceOption);
    const QStringList roles = parser.values(roleOption);
    const char* emptyValue = services.contains(QString()) ? "--servizio"
                             : roles.contains(QString())  ? "--ruolo"
                                                          : nullptr;
    if (emptyValue != nullptr) {
        return usage(QStringLiteral("dopo %1 ci vuole un nome.").arg(QLatin1String(emptyValue)));
    }
    const QString role = roles.isEmpty() ? QString() : roles.last();
    QStringList files = parser.positionalArguments();
    // ripasso's last word may be its choice.
    QString choice;
    if (command == QLatin1String("ripasso") && !files.isEmpty() &&
        QStringList({QStringLiteral("sì"), QStringLiteral("si"), QStringLiteral("no")})
            .contains(files.last())) {
        choice = files.takeLast();
    }
    if (parser.isSet(retentionOption) &&
        (command != QLatin1String("ripasso") || choice == QLatin1String("no"))) {
        return usage(QStringLiteral("--ritenzione vale solo per ripasso sì."));
    }
    if (parser.isSet(beforeOption) && command != QLatin1String("sfoltisci")) {
        return usage(QStringLiteral("--prima-del vale solo per sfoltisci."));
    }
    const bool reportOptions = parser.isSet(csvOption) || parser.isSet(pupilOption) ||
                               parser.isSet(fromOption) || parser.isSet(toOption) ||
                               parser.isSet(outputOption);
    if (reportOptions && command != QLatin1String("registro")) {
        return usage(
            QStringLiteral("--csv, --alunno, --dal, --al e --uscita valgono solo per "
                           "registro."));
    }

    if (command == QLatin1String("impostazioni")) {
        if (files.size() != 1 || !services.isEmpty() || !roles.isEmpty()) {
            return usage(QStringLiteral(
                "il comando impostazioni vuole un solo FILE, il file delle impostazioni."));
        }
        return readSettings(files.first());
    }
    if (command == QLatin1String("copia")) {
        if (files.size() != 1 || services.size() != 1 || !role.isEmpty()) {
            return usage(QStringLiteral(
                "il comando copia vuole un FILE e un --servizio SERVIZIO: prima l'archivio da "
                "cui copiare, poi quello in cui copiare."));
        }
        // The direction is the order on the line, which the parser does not keep: with one
        // FILE and one --servizio only, the line starts with one or the other.
        const Place file{files.first(), QString()};
        const Place server{QString(), services.first()};
        return isServiceOption(line.at(1)) ? copyToFile(server, file) : copyToServer(file, server);
    }
    if (files.size() + services.size() != 1) {
        return usage(
            QStringLiteral("il comando %1 vuole un solo FILE o un solo --servizio SERVIZIO.")
                .arg(command));
    }
    const Place place =
        files.isEmpty() ? Place{QString(), services.first()} : Place{files.first(), QString()};
    const bool grants = command == QLatin1String("crea") || command == QLatin1String("aggiorna");
    if (!role.isEmpty() && (!grants || !place.onServer())) {
        return usage(
            QStringLiteral("--ruolo vale solo per crea --servizio e aggiorna --servizio."));
    }
    if (command == QLatin1String("aggiorna")) {
        return upgrade(place, role.isEmpty() ? QStringLiteral("tempolario") : role);
    }
    if (command == QLatin1String("sfoltisci")) {
        return purge(place, parser.value(beforeOption));
    }
    if (command == QLatin1String("ripasso")) {
        if (parser.isSet(retentionOption) && choice.isEmpty()) {
            return usage(QStringLiteral("--ritenzione vale solo per ripasso sì."));
        }
        return review(place, choice, parser.value(retentionOption));
    }
    if (command == QLatin1String("registro")) {
        report::Selection selection;
        selection.names = parser.values(pupilOption);
        for (const auto& [option, day] :
             {std::pair{&fromOption, &selection.from}, std::pair{&toOption, &selection.to}}) {
            if (parser.isSet(*option)) {
                *day = QDate::fromString(parser.value(*option), QStringLiteral("yyyy-MM-dd"));
                if (!day->isValid()) {
                    return usage(QStringLiteral("registro: «%1» non è una data come 2026-06-30.")
                                     .arg(parser.value(*option)));
                }
            }
        }
        return classReport(place, selection, parser.isSet(csvOption), parser.value(outputOption));
    }
    if (command == QLatin1String("crea")) {
        return create(place, role.isEmpty() ? QStringLiteral("tempolario") : role);
    }
    if (command == QLatin1String("elenco")) {
        return list(place);
    }
    if (command == QLatin1String("csv")) {
        return exportCsv(place);
    }
    if (command == QLatin1String("ripara")) {
        return repair(place);
    }
    return verify(place);
}

}  // namespace

int main(int argc, char* argv[]) {
    // With the standard output closed, the next file opened (an archive being created)
    // would take its number and receive what is meant for the output.
    if (::fcntl(STDOUT_FILENO, F_GETFD) < 0) {
        std::fprintf(stderr,
                     "tempolario-archivio: l'uscita standard è chiusa: il comando non viene "
                     "eseguito.\n");
        return kExitFailure;
    }
    QCoreApplication application(argc, argv);
    return finishOutput(run());
}
