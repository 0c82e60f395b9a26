// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/commandline.h"

#include <QCommandLineParser>

#include "archive/schoolsettings.h"

namespace app {

namespace {

const QString kHelp = QStringLiteral(
    "Uso: tempolario [--servizio NOME]\n"
    "\n"
    "Tempolario, esercizi di storia: abbina i fatti alle date.\n"
    "Senza opzioni, i risultati vanno nell'archivio tempolario.mdb della cartella da cui\n"
    "parte il programma.\n"
    "\n"
    "Opzioni:\n"
    "  --servizio NOME  i risultati vanno nell'archivio della scuola sul server, raggiunto\n"
    "                   con il servizio NOME del file pg_service.conf\n"
    "  -h, --help       mostra questo aiuto\n");

CommandLine wrong(const QString& why) {
    CommandLine line;
    line.outcome = CommandLine::Outcome::Wrong;
    line.text = QStringLiteral("tempolario: %1\nPer l'aiuto: tempolario --help\n").arg(why);
    return line;
}

}  // namespace

CommandLine readCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    // "-servizio" is read as "--servizio", not as the letters s, e, r...
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("mostra questo aiuto"));
    const QCommandLineOption service(QStringLiteral("servizio"),
                                     QStringLiteral("il servizio del server dell'archivio"),
                                     QStringLiteral("NOME"));
    parser.addOption(help);
    parser.addOption(service);
    const bool parsed = parser.parse(arguments);
    // Help is given even beside a mistake: it is what the user needs then.
    if (parser.isSet(help)) {
        CommandLine line;
        line.outcome = CommandLine::Outcome::Help;
        line.text = kHelp;
        return line;
    }
    if (!parser.unknownOptionNames().isEmpty()) {
        // Named as it was typed, dashes included, where it can be found again.
        const QString name = parser.unknownOptionNames().constFirst();
        QString typed = name;
        for (const QString& argument : arguments.mid(1)) {
            QString bare = argument.section(QLatin1Char('='), 0, 0);
            if (bare.startsWith(QLatin1Char('-'))) {
                const QString word = bare;
                while (bare.startsWith(QLatin1Char('-'))) {
                    bare.remove(0, 1);
                }
                if (bare == name) {
                    typed = word;
                    break;
                }
            }
        }
        return wrong(QStringLiteral("l'opzione «%1» non esiste.").arg(typed));
    }
    if (!parsed) {
        // The only other mistake the parser knows: an option without its value.
        return wrong(QStringLiteral("dopo --servizio manca il nome del servizio."));
    }
    if (!parser.positionalArguments().isEmpty()) {
        return wrong(QStringLiteral("non so che cosa fare di «%1»: il programma accetta solo "
                                    "--servizio NOME.")
                         .arg(parser.positionalArguments().constFirst()));
    }
    const QStringList services = parser.values(service);
    if (services.size() > 1) {
        return wrong(QStringLiteral("--servizio va indicato una volta sola."));
    }
    CommandLine line;
    if (!services.isEmpty()) {
        if (services.constFirst().isEmpty()) {
            return wrong(QStringLiteral("dopo --servizio manca il nome del servizio."));
        }
        if (!archive::validServiceName(services.constFirst())) {
            return wrong(QStringLiteral("«%1» non è un nome di servizio: può contenere solo "
                                        "lettere senza accenti, cifre e i segni _ - . e non "
                                        "può cominciare con un segno.")
                             .arg(services.constFirst()));
        }
        line.service = services.constFirst();
    }
    return line;
}

}  // namespace app
