// tempolario-archivio: creates an empty results archive and lists, exports and checks
// existing ones. Reads archives read-only; never overwrites a file.

#include <QCoreApplication>
#include <QDateTime>
#include <QStringList>
#include <cstdio>

#include "archive/archivefile.h"
#include "archive/database.h"
#include "archive/outcometext.h"

namespace {

constexpr int kExitFailure = 1;  // the archive could not be created, read or checked
constexpr int kExitUsage = 2;    // wrong command line

const char kHelp[] =
    "tempolario-archivio: crea e controlla l'archivio dei risultati di Tempolario.\n"
    "\n"
    "Uso:\n"
    "  tempolario-archivio crea FILE      crea un archivio vuoto; se FILE esiste già non lo\n"
    "                                     tocca e si ferma con un errore\n"
    "  tempolario-archivio elenco FILE    mostra in una tabella tutti gli alunni con i loro\n"
    "                                     risultati (Giusti, Su, Quando)\n"
    "  tempolario-archivio csv FILE       scrive gli alunni in formato CSV (RFC 4180, UTF-8,\n"
    "                                     con la riga dei titoli) sull'uscita standard\n"
    "  tempolario-archivio verifica FILE  controlla l'integrità dell'archivio e che sia un\n"
    "                                     archivio di Tempolario\n"
    "  tempolario-archivio aiuto          mostra questo aiuto (anche --help)\n"
    "\n"
    "Tempolario cerca l'archivio nel file tempolario.mdb della cartella da cui viene avviato\n"
    "e non lo crea mai da sé; per cominciare, in quella cartella:\n"
    "  tempolario-archivio crea tempolario.mdb\n"
    "\n"
    "Elenco, csv e verifica aprono l'archivio in sola lettura. Il programma esce con 0 se\n"
    "tutto è andato bene, con 1 se l'archivio ha un problema (il messaggio dice quale e cosa\n"
    "fare), con 2 se il comando è scritto male.\n";

void out(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    std::fwrite(utf8.constData(), 1, static_cast<size_t>(utf8.size()), stdout);
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

struct Pupil {
    QVariant nome, giuste, sbagliate, data;
};

// Every row in the archive's own order, read through the same layer as the program.
archive::Status readPupils(const QString& path, QList<Pupil>* pupils) {
    archive::Status status;
    archive::OpenOptions options;
    options.readOnly = true;
    auto database = archive::Database::open(path, &status, options);
    if (!database) {
        return status;
    }
    auto rows = database->openRecordset(QStringLiteral("tempar"), &status);
    if (!rows) {
        return status;
    }
    while (!rows->eof()) {
        Pupil pupil;
        for (auto [field, value] : {std::pair{"nome", &pupil.nome},
                                    {"giuste", &pupil.giuste},
                                    {"sbagliate", &pupil.sbagliate},
                                    {"data", &pupil.data}}) {
            status = rows->value(QLatin1String(field), value);
            if (!status.ok()) {
                return status;
            }
        }
        pupils->append(pupil);
        status = rows->moveNext();
        if (!status.ok()) {
            return status;
        }
    }
    return database->close();
}

// Values as the results window shows them, dates included.
QString asText(const QVariant& value) {
    return archive::outcomeText(value);
}

// Control characters would break the table's lines; the CSV keeps them.
QString printable(QString text) {
    for (QChar& c : text) {
        if (c.category() == QChar::Other_Control) {
            c = QChar(0xfffd);
        }
    }
    return text;
}

int list(const QString& path) {
    QList<Pupil> pupils;
    const archive::Status status = readPupils(path, &pupils);
    if (!status.ok()) {
        return fail(status);
    }
    QList<QStringList> table{{QStringLiteral("Nome"), QStringLiteral("Giusti"),
                              QStringLiteral("Su"), QStringLiteral("Quando")}};
    for (const Pupil& pupil : pupils) {
        table.append({printable(asText(pupil.nome)), asText(pupil.giuste),
                      asText(pupil.sbagliate), asText(pupil.data)});
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

// RFC 4180: a field with a comma, a quote or a line break goes in quotes, with its quotes
// doubled; records end with CRLF.
QString csvField(const QString& text) {
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\r')) && !text.contains(QLatin1Char('\n'))) {
        return text;
    }
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

int exportCsv(const QString& path) {
    QList<Pupil> pupils;
    const archive::Status status = readPupils(path, &pupils);
    if (!status.ok()) {
        return fail(status);
    }
    QString text = QStringLiteral("nome,giuste,sbagliate,data\r\n");
    for (const Pupil& pupil : pupils) {
        text += csvField(asText(pupil.nome)) + QLatin1Char(',') +
                csvField(asText(pupil.giuste)) + QLatin1Char(',') +
                csvField(asText(pupil.sbagliate)) + QLatin1Char(',') +
                csvField(asText(pupil.data)) + QStringLiteral("\r\n");
    }
    out(text);
    return 0;
}

int create(const QString& path) {
    const archive::Status status = archive::ArchiveFile::create(path);
    if (!status.ok()) {
        return fail(status);
    }
    out(QStringLiteral("Archivio vuoto creato: %1\n").arg(path));
    return 0;
}

int verify(const QString& path) {
    QStringList notes;
    const archive::Status status = archive::ArchiveFile::verify(path, &notes);
    for (const QString& note : notes) {
        out(note + QLatin1Char('\n'));
    }
    if (!status.ok()) {
        return fail(status);
    }
    out(QStringLiteral("L'archivio %1 è integro.\n").arg(path));
    return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.isEmpty()) {
        return usage(QStringLiteral("manca il comando."));
    }
    const QString& command = arguments.first();
    if (command == QLatin1String("aiuto") || command == QLatin1String("--help") ||
        command == QLatin1String("-h")) {
        out(QString::fromUtf8(kHelp));
        return 0;
    }
    const bool known = command == QLatin1String("crea") || command == QLatin1String("elenco") ||
                       command == QLatin1String("csv") || command == QLatin1String("verifica");
    if (!known) {
        return usage(QStringLiteral("comando sconosciuto: %1.").arg(command));
    }
    if (arguments.size() != 2) {
        return usage(QStringLiteral("il comando %1 vuole un solo FILE.").arg(command));
    }
    const QString& path = arguments.at(1);
    if (command == QLatin1String("crea")) {
        return create(path);
    }
    if (command == QLatin1String("elenco")) {
        return list(path);
    }
    if (command == QLatin1String("csv")) {
        return exportCsv(path);
    }
    return verify(path);
}
