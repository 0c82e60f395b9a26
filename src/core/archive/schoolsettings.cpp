// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "archive/schoolsettings.h"

#include <algorithm>

#include <QFile>
#include <QFileInfo>

namespace archive {

namespace {

bool isAsciiLetterOrDigit(QChar c) {
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
           (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
           (c >= QLatin1Char('0') && c <= QLatin1Char('9'));
}

// The blanks of the C locale, a carriage return of a file written on Windows included;
// a non-breaking space or other Unicode blank is part of what it stands beside.
bool isBlank(QChar c) {
    return c == QLatin1Char(' ') || (c >= QLatin1Char('\t') && c <= QLatin1Char('\r'));
}

QString trimmedRight(QString text) {
    while (!text.isEmpty() && isBlank(text.back())) {
        text.chop(1);
    }
    return text;
}

QString trimmedLeft(const QString& text) {
    qsizetype start = 0;
    while (start < text.size() && isBlank(text.at(start))) {
        ++start;
    }
    return text.mid(start);
}

}  // namespace

bool validServiceName(const QString& name) {
    return !name.isEmpty() && isAsciiLetterOrDigit(name.front()) &&
           std::ranges::all_of(name, [](QChar c) {
               return isAsciiLetterOrDigit(c) || c == QLatin1Char('_') || c == QLatin1Char('-') ||
                      c == QLatin1Char('.');
           });
}

SchoolSettings SchoolSettings::read(const QString& path) {
    const QFileInfo info(path);
    SchoolSettings settings;
    if (!info.exists() && !info.isSymLink()) {
        return settings;
    }
    const QString what = QStringLiteral("Le impostazioni di Tempolario in %1").arg(path);
    const QString advice = QStringLiteral(
        "Tempolario non parte, perché i risultati finirebbero nel posto sbagliato: chiedi a "
        "chi cura i computer della scuola di correggere il file.");
    const auto faulty = [&](const QString& why) {
        settings.service.clear();
        settings.fault = QStringLiteral("%1 non sono valide: %2. %3").arg(what, why, advice);
        return settings;
    };
    // A folder, a link to nothing, a device or a file without permission.
    QFile file(path);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly)) {
        settings.fault = QStringLiteral("%1 non si possono leggere. %2").arg(what, advice);
        return settings;
    }
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    for (qsizetype index = 0; index < lines.size(); ++index) {
        const qsizetype number = index + 1;
        const QString line =
            trimmedLeft(trimmedRight(lines.at(index).section(QLatin1Char('#'), 0, 0)));
        if (line.isEmpty()) {
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals < 0) {
            return faulty(QStringLiteral("alla riga %1 manca il segno «=» (si scrive «servizio "
                                         "= NOME»)")
                              .arg(number));
        }
        const QString key = trimmedRight(line.left(equals));
        const QString value = trimmedLeft(line.mid(equals + 1));
        if (key != QLatin1String("servizio")) {
            return faulty(QStringLiteral("alla riga %1 «%2» non è un'impostazione conosciuta (c'è "
                                         "solo «servizio»)")
                              .arg(number)
                              .arg(key));
        }
        if (!validServiceName(value)) {
            return faulty(QStringLiteral("alla riga %1 «%2» non è un nome di servizio (solo "
                                         "lettere senza accenti, cifre e i segni _ - . senza "
                                         "spazi)")
                              .arg(number)
                              .arg(value));
        }
        if (!settings.service.isEmpty()) {
            return faulty(
                QStringLiteral("«servizio» compare più di una volta (di nuovo alla riga %1)")
                    .arg(number));
        }
        settings.service = value;
    }
    return settings;
}

}  // namespace archive
