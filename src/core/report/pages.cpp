// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/pages.h"

#include <array>
#include <cmath>

#include <QLocale>

namespace report {

namespace {

// Pupils per grid table: a block fits an A4 page across, and the facts' column repeats.
constexpr int kPupilsPerBlock = 20;
// A pupil's name longer than this is cut in the grid's heading (whole in the pupils' table).
constexpr int kShortName = 24;
constexpr int kPercent = 100;

QString printable(QString text) {
    for (QChar& c : text) {
        if (c.category() == QChar::Other_Control) {
            c = QChar::ReplacementCharacter;
        }
    }
    return text;
}

QString escaped(const QString& text) {
    return printable(text).toHtmlEscaped();
}

QString percent(double share) {
    return QString::number(std::lround(share * kPercent)) + QLatin1Char('%');
}

const QLocale& italian() {
    static const QLocale kItalian(QLocale::Italian, QLocale::Italy);
    return kItalian;
}

// The look of a cell: its class, the symbol beside its colour, and what it says in words.
struct CellLook {
    const char* css;
    QString text;
    QString title;
};

CellLook look(const Cell& cell, double retention) {
    if (!cell.seen) {
        return {"n", QStringLiteral("·"), QStringLiteral("mai visto")};
    }
    const QString recall = percent(cell.recall);
    if (!cell.lastRight) {
        return {"w", QStringLiteral("✗ ") + recall,
                QStringLiteral("sbagliato l'ultima volta, ricordo previsto ") + recall};
    }
    const bool due = isDue(cell, retention);
    return {due ? "r" : "k", QStringLiteral("✓ ") + recall,
            (due ? QStringLiteral("giusto l'ultima volta, da ripassare: ricordo previsto ")
                 : QStringLiteral("giusto l'ultima volta, ricordo previsto ")) +
                recall};
}

// Every colour of the page is here, text on ground; each pair has a contrast of at least
// 4.5:1.
constexpr auto kStyle = R"(
body{font-family:sans-serif;color:#1a1a1a;background-color:#ffffff;margin:1em}
h1{font-size:1.5em}h2{font-size:1.2em;margin-top:1.5em}
table{border-collapse:collapse;margin:0.5em 0}
caption{text-align:left;font-weight:bold;padding:0.3em 0}
th,td{border:1px solid #6b6b6b;padding:0.2em 0.4em;vertical-align:top}
th{color:#1a1a1a;background-color:#e6e6e6;text-align:left;font-weight:bold}
td{text-align:center;white-space:nowrap}
th.fatto{font-weight:normal;max-width:22em;font-size:0.85em}
td.testo,th.nome{overflow-wrap:anywhere;white-space:normal;text-align:left;max-width:30em}
.k{color:#1a1a1a;background-color:#c9ecd2}
.r{color:#1a1a1a;background-color:#fff1b8}
.w{color:#1a1a1a;background-color:#f9d0d0}
.n{color:#545454;background-color:#ffffff}
ul.legenda{list-style:none;padding:0}ul.legenda li{margin:0.2em 0}
ul.legenda span{display:inline-block;min-width:4em;text-align:center;border:1px solid #6b6b6b}
@page{size:A4 landscape;margin:1cm}
@media print{body{margin:0;font-size:9pt}thead{display:table-header-group}
tr{break-inside:avoid}table.griglia{break-after:page}}
)";

QString th(const QString& text, const char* scope, const QString& css = {}) {
    return QStringLiteral("<th scope=\"%1\"%2>%3</th>")
        .arg(QLatin1String(scope),
             css.isEmpty() ? QString() : QStringLiteral(" class=\"%1\"").arg(css), text);
}

QString td(const QString& text) {
    return QStringLiteral("<td>") + text + QStringLiteral("</td>");
}

QString factHeading(const FactFigures& fact) {
    return th(QString::number(fact.tableRow) + QStringLiteral(". ") + escaped(fact.sentence),
              "row", QStringLiteral("fatto"));
}

QString optionalNumber(const std::optional<double>& value, int decimals) {
    if (!value) {
        return QStringLiteral("—");
    }
    return decimals > 0 ? italian().toString(*value, 'f', decimals)
                        : italian().toString(std::llround(*value));
}

void grid(const ClassMap& map, QString& page) {
    const int pupils = static_cast<int>(map.pupils.size());
    for (int first = 0; first < std::max(pupils, 1); first += kPupilsPerBlock) {
        const int last = std::min(first + kPupilsPerBlock, pupils);
        page += QStringLiteral("<table class=\"griglia\"><caption>I fatti per alunno");
        if (pupils > kPupilsPerBlock) {
            page += QStringLiteral(" (alunni da %1 a %2 di %3)").arg(first + 1).arg(last).arg(pupils);
        }
        page += QStringLiteral("</caption>\n<thead><tr>") + th(QStringLiteral("Fatto"), "col");
        for (int p = first; p < last; ++p) {
            const QString& name = map.pupils.at(static_cast<std::size_t>(p)).name;
            QString shown = name;
            if (name.size() > kShortName) {
                shown.truncate(kShortName - (name.at(kShortName - 2).isHighSurrogate() ? 2 : 1));
                shown += QStringLiteral("…");
            }
            page += QStringLiteral("<th scope=\"col\" title=\"%1\">%2</th>")
                        .arg(escaped(name), escaped(shown));
        }
        page += QStringLiteral("</tr></thead>\n<tbody>\n");
        for (const FactFigures& fact : map.facts) {
            page += QStringLiteral("<tr>") + factHeading(fact);
            for (int p = first; p < last; ++p) {
                const CellLook cell = look(fact.cells.at(static_cast<std::size_t>(p)), map.retention);
                page += QStringLiteral("<td class=\"%1\" title=\"%2\">%3</td>")
                            .arg(QLatin1String(cell.css), cell.title, cell.text);
            }
            page += QStringLiteral("</tr>\n");
        }
        page += QStringLiteral("</tbody></table>\n");
    }
}

void factTable(const ClassMap& map, QString& page) {
    page += QStringLiteral("<table><caption>I fatti, dal meno saputo</caption>\n<thead><tr>");
    for (const char* heading :
         {"Fatto", "Data giusta", "Volte visto", "Facilità", "Discriminazione",
          "Data sbagliata più spesso", "Distanza media delle date sbagliate (anni)"}) {
        page += th(QString::fromUtf8(heading), "col");
    }
    page += QStringLiteral("</tr></thead>\n<tbody>\n");
    for (const FactFigures& fact : map.facts) {
        const QString wrong = fact.commonWrong.isEmpty()
                                  ? QStringLiteral("—")
                                  : QStringLiteral("%1 (%2 volte)")
                                        .arg(escaped(fact.commonWrong))
                                        .arg(fact.commonWrongCount);
        page += QStringLiteral("<tr>") + factHeading(fact) +
                td(fact.inTable ? escaped(fact.rightDate) : QStringLiteral("—")) +
                td(QString::number(fact.seen)) + td(percent(fact.facility)) +
                td(optionalNumber(fact.discrimination, 2)) + td(wrong) +
                td(optionalNumber(fact.meanWrongYears, 0)) + QStringLiteral("</tr>\n");
    }
    page += QStringLiteral("</tbody></table>\n");
}

void pupilTable(const ClassMap& map, QString& page) {
    page += QStringLiteral("<table><caption>Gli alunni</caption>\n<thead><tr>");
    for (const char* heading : {"Alunno", "Esercizi", "Risposte", "Giuste", "Fatti saputi",
                                "Fatti da ripassare"}) {
        page += th(QString::fromUtf8(heading), "col");
    }
    page += QStringLiteral("</tr></thead>\n<tbody>\n");
    for (const PupilFigures& pupil : map.pupils) {
        const double share = pupil.answers > 0 ? double(pupil.right) / pupil.answers : 0;
        page += QStringLiteral("<tr>") + th(escaped(pupil.name), "row", QStringLiteral("nome")) +
                td(QString::number(pupil.runs)) + td(QString::number(pupil.answers)) +
                td(percent(share)) + td(QString::number(pupil.known)) +
                td(QString::number(pupil.due)) + QStringLiteral("</tr>\n");
    }
    page += QStringLiteral("</tbody></table>\n");
}

}  // namespace

QString toHtml(const ClassMap& map) {
    const QString day = italian().toString(map.day, QStringLiteral("d MMMM yyyy"));
    QString page = QStringLiteral(
                       "<!DOCTYPE html>\n<html lang=\"it\">\n<head>\n<meta charset=\"utf-8\"/>\n"
                       "<title>Registro della classe, %1</title>\n<style>")
                       .arg(day);
    page += QString::fromUtf8(kStyle);
    page += QStringLiteral("</style>\n</head>\n<body>\n<h1>Registro della classe, %1</h1>\n").arg(day);
    page += QStringLiteral(
        "<p>Come si legge: nella griglia ogni riga è un fatto e ogni colonna un alunno. "
        "In ogni casella il segno dice come l'alunno ha risposto l'ultima volta al primo "
        "tentativo (✓ giusto, ✗ sbagliato, · mai visto) e il numero la probabilità che oggi "
        "ricordi la data. In alto i fatti che la classe sa meno. Sotto, per ogni fatto: quante "
        "volte è stato visto, la facilità (la quota di risposte giuste al primo tentativo), la "
        "discriminazione (quanto il fatto distingue chi va bene nello stesso esercizio da chi "
        "va male: da -1 a 1, — se i dati sono pochi), la data sbagliata scelta più spesso e "
        "quanti anni distano in media le date sbagliate; per ogni alunno: esercizi, risposte, "
        "giuste, fatti saputi (ricordo previsto almeno %1) e fatti da ripassare.</p>\n")
                .arg(percent(kKnownRecall));
    page += QStringLiteral("<p>%1 alunni, %2 fatti.</p>\n")
                .arg(map.pupils.size())
                .arg(map.facts.size());
    page += QStringLiteral(
        "<h2>Legenda</h2>\n<ul class=\"legenda\">\n"
        "<li><span class=\"k\">✓ 97%</span> giusto l'ultima volta, non ancora da ripassare</li>\n"
        "<li><span class=\"r\">✓ 80%</span> giusto l'ultima volta, ma da ripassare</li>\n"
        "<li><span class=\"w\">✗ 40%</span> sbagliato l'ultima volta</li>\n"
        "<li><span class=\"n\">·</span> mai visto</li>\n</ul>\n");
    page += QStringLiteral("<h2>La griglia</h2>\n");
    grid(map, page);
    page += QStringLiteral("<h2>Per fatto</h2>\n");
    factTable(map, page);
    page += QStringLiteral("<h2>Per alunno</h2>\n");
    pupilTable(map, page);
    page += QStringLiteral("</body>\n</html>\n");
    return page;
}

QString csvField(const QString& text) {
    static const QString kFormulaStarts = QStringLiteral("=+-@\t\r");
    const bool formula = !text.isEmpty() && kFormulaStarts.contains(text.front());
    QString shown = printable(text);
    if (!formula && !shown.contains(QLatin1Char(',')) && !shown.contains(QLatin1Char('"'))) {
        return shown;
    }
    QString quoted = formula ? QLatin1Char('\'') + shown : shown;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString toCsv(const ClassMap& map) {
    const QString end = QStringLiteral("\r\n");
    const auto number = [](const std::optional<double>& value, int decimals) {
        return value ? QString::number(*value, 'f', decimals) : QString();
    };
    QString text = QStringLiteral(
                       "riga,fatto,data giusta,volte visto,facilità %,discriminazione,"
                       "data sbagliata più spesso,volte,distanza media anni") +
                   end;
    for (const FactFigures& fact : map.facts) {
        text += QStringList{QString::number(fact.tableRow), csvField(fact.sentence),
                            csvField(fact.rightDate), QString::number(fact.seen),
                            QString::number(std::lround(fact.facility * kPercent)),
                            number(fact.discrimination, 2), csvField(fact.commonWrong),
                            QString::number(fact.commonWrongCount),
                            number(fact.meanWrongYears, 0)}
                    .join(QLatin1Char(',')) +
                end;
    }
    text += end + QStringLiteral("alunno,esercizi,risposte,giuste,fatti saputi,fatti da ripassare") + end;
    for (const PupilFigures& pupil : map.pupils) {
        text += QStringList{csvField(pupil.name), QString::number(pupil.runs),
                            QString::number(pupil.answers), QString::number(pupil.right),
                            QString::number(pupil.known), QString::number(pupil.due)}
                    .join(QLatin1Char(',')) +
                end;
    }
    text += end + QStringLiteral("riga");
    for (const PupilFigures& pupil : map.pupils) {
        text += QLatin1Char(',') + csvField(pupil.name);
    }
    text += end;
    for (const FactFigures& fact : map.facts) {
        text += QString::number(fact.tableRow);
        for (const Cell& cell : fact.cells) {
            text += QLatin1Char(',') + look(cell, map.retention).text;
        }
        text += end;
    }
    return text;
}

}  // namespace report
