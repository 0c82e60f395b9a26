// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "content/spoken.h"

#include <algorithm>
#include <array>
#include <numeric>

#include <QRegularExpression>

namespace content {

namespace {

constexpr std::array<const char*, 20> kUnits{
    "zero",     "uno",    "due",    "tre",         "quattro",  "cinque",     "sei",
    "sette",    "otto",   "nove",   "dieci",       "undici",   "dodici",     "tredici",
    "quattordici", "quindici", "sedici", "diciassette", "diciotto", "diciannove"};
constexpr std::array<const char*, 10> kTens{"",          "",         "venti",    "trenta",
                                            "quaranta",  "cinquanta", "sessanta", "settanta",
                                            "ottanta",   "novanta"};
constexpr std::array<const char*, 12> kMonths{"gennaio", "febbraio", "marzo",     "aprile",
                                              "maggio",  "giugno",   "luglio",    "agosto",
                                              "settembre", "ottobre", "novembre", "dicembre"};
constexpr std::array<const char*, 11> kOrdinals{"",       "primo",   "secondo", "terzo",
                                                "quarto", "quinto",  "sesto",   "settimo",
                                                "ottavo", "nono",    "decimo"};

constexpr int kTen = 10;
constexpr int kHundred = 100;
constexpr int kThousand = 1000;
constexpr int kLargestSpoken = 999999;
// The units whose words start with a vowel ("uno", "otto").
constexpr int kUno = 1;
constexpr int kOtto = 8;

QString below100(int n) {
    if (n < static_cast<int>(kUnits.size())) {
        return QLatin1String(kUnits.at(n));
    }
    QString tens = QLatin1String(kTens.at(n / kTen));
    const int unit = n % kTen;
    if (unit == 0) {
        return tens;
    }
    // A vowel meets a vowel: "ventuno", "trentotto".
    if (unit == kUno || unit == kOtto) {
        tens.chop(1);
    }
    return tens + QLatin1String(kUnits.at(unit));
}

QString below1000(int n) {
    const int hundreds = n / kHundred;
    const int rest = n % kHundred;
    QString words;
    if (hundreds > 0) {
        words = hundreds == 1 ? QStringLiteral("cento")
                              : QLatin1String(kUnits.at(hundreds)) + QStringLiteral("cento");
    }
    if (rest == 0 && hundreds > 0) {
        return words;
    }
    const QString tail = below100(rest);
    // "centotto", "centottanta".
    if (hundreds > 0 && tail.startsWith(QLatin1Char('o'))) {
        words.chop(1);
    }
    return words + tail;
}

// The day of a month as it is read: the first is "primo".
QString dayWord(int day) {
    return day == 1 ? QStringLiteral("primo") : QString::number(day);
}

QString monthName(int month) {
    return month >= 1 && month <= static_cast<int>(kMonths.size())
               ? QLatin1String(kMonths.at(month - 1))
               : QString();
}

QString era(QChar letter) {
    return letter == QLatin1Char('a') ? QStringLiteral("avanti Cristo")
                                      : QStringLiteral("dopo Cristo");
}

int romanValue(const QString& roman) {
    static const QString kLetters = QStringLiteral("IVXLC");
    static constexpr std::array kValues{1, 5, 10, 50, 100};
    int total = 0;
    int largest = 0;
    // From the right: a letter smaller than one after it is taken away ("IV", "XL").
    for (qsizetype i = roman.size() - 1; i >= 0; --i) {
        const int value = kValues.at(static_cast<std::size_t>(kLetters.indexOf(roman.at(i))));
        total += value < largest ? -value : value;
        largest = std::max(largest, value);
    }
    return total;
}

// "sesto", "undicesimo", "ventunesimo".
QString ordinalWord(int n) {
    if (n < static_cast<int>(kOrdinals.size())) {
        return QLatin1String(kOrdinals.at(n));
    }
    QString words = numberWords(n);
    if (words.endsWith(QStringLiteral("tré"))) {
        words.chop(1);
        words += QLatin1Char('e');
    } else if (!words.endsWith(QStringLiteral("sei"))) {
        words.chop(1);
    }
    return words + QStringLiteral("esimo");
}

// The forms of the table's date labels, read aloud and read as years.
struct LabelForms {
    QRegularExpression millions{QStringLiteral("^(\\d) milioni a\\.? ?fa$")};
    QRegularExpression yearsAgo{QStringLiteral("^(\\d{1,3})(?: ?(\\d{3}))? a\\.? ?fa$")};
    QRegularExpression span{QStringLiteral("^(\\d{1,4})-(\\d{1,4})(?: ([ad])\\.C\\.?)?$")};
    QRegularExpression year{QStringLiteral("^(\\d{1,4}) ([ad])\\.C\\.?$")};
    QRegularExpression plainYear{QStringLiteral("^\\d{1,4}$")};
    QRegularExpression century{QStringLiteral("^([IVXLC]+) sec(?:\\.|\\. | )([ad])\\.C\\.?$")};
};

const LabelForms& labelForms() {
    static const LabelForms kForms;
    return kForms;
}

// The last year of a matched span: "1935-36" ends in the same century, or the next one.
int spanEnd(const QRegularExpressionMatch& span) {
    const int from = span.captured(1).toInt();
    int to = span.captured(2).toInt();
    if (span.captured(2).size() == 2 && span.captured(1).size() == 4) {
        to += from / kHundred * kHundred;
        if (to < from) {
            to += kHundred;
        }
    }
    return to;
}

}  // namespace

QString numberWords(int n) {
    if (n < 0 || n > kLargestSpoken) {
        return QString::number(n);
    }
    const int thousands = n / kThousand;
    const int rest = n % kThousand;
    QString words;
    if (thousands == 1) {
        words = QStringLiteral("mille");
    } else if (thousands > 1) {
        words = below1000(thousands) + QStringLiteral("mila");
    }
    if (rest > 0 || thousands == 0) {
        words += below1000(rest);
    }
    // A final three is stressed: "ventitré", "centotré".
    if (words.size() > 3 && words.endsWith(QStringLiteral("tre"))) {
        words.chop(1);
        words += QStringLiteral("é");
    }
    return words;
}

QString spokenDate(const QString& label) {
    const LabelForms& f = labelForms();
    static const QRegularExpression day(QStringLiteral("^(\\d{1,2})-(\\d{1,2})-(\\d{4})$"));

    QRegularExpressionMatch m = f.millions.match(label);
    if (m.hasMatch()) {
        return numberWords(m.captured(1).toInt()) + QStringLiteral(" milioni di anni fa");
    }
    if (m = f.yearsAgo.match(label); m.hasMatch()) {
        return numberWords((m.captured(1) + m.captured(2)).toInt()) + QStringLiteral(" anni fa");
    }
    if (m = day.match(label); m.hasMatch()) {
        const QString month = monthName(m.captured(2).toInt());
        if (!month.isEmpty()) {
            return dayWord(m.captured(1).toInt()) + QLatin1Char(' ') + month + QLatin1Char(' ') +
                   m.captured(3);
        }
        return label;
    }
    if (m = f.span.match(label); m.hasMatch()) {
        const int from = m.captured(1).toInt();
        const int to = spanEnd(m);
        QString words = QStringLiteral("dal %1 al %2").arg(from).arg(to);
        if (m.hasCaptured(3)) {
            words += QLatin1Char(' ') + era(m.captured(3).at(0));
        }
        return words;
    }
    if (m = f.year.match(label); m.hasMatch()) {
        return m.captured(1) + QLatin1Char(' ') + era(m.captured(2).at(0));
    }
    if (m = f.century.match(label); m.hasMatch()) {
        return ordinalWord(romanValue(m.captured(1))) + QStringLiteral(" secolo ") +
               era(m.captured(2).at(0));
    }
    return label;
}

std::optional<double> yearOf(const QString& label, int thisYear) {
    static const QRegularExpression dated(
        QStringLiteral("^(?:\\d{1,2}-\\d{1,2}-|[a-z]+ )(\\d{4})$"));
    const LabelForms& f = labelForms();
    constexpr double kMillion = 1e6;
    constexpr double kHalfCentury = 50;
    const auto signedYear = [](double value, const QRegularExpressionMatch& m, int eraGroup) {
        return m.captured(eraGroup) == QLatin1String("a") ? -value : value;
    };

    QRegularExpressionMatch m = f.millions.match(label);
    if (m.hasMatch()) {
        return thisYear - m.captured(1).toInt() * kMillion;
    }
    if (m = f.yearsAgo.match(label); m.hasMatch()) {
        return thisYear - (m.captured(1) + m.captured(2)).toDouble();
    }
    if (m = f.span.match(label); m.hasMatch()) {
        return signedYear(std::midpoint<double>(m.captured(1).toInt(), spanEnd(m)), m, 3);
    }
    if (m = f.year.match(label); m.hasMatch()) {
        return signedYear(m.captured(1).toDouble(), m, 2);
    }
    if (m = dated.match(label); m.hasMatch() || f.plainYear.match(label).hasMatch()) {
        return (m.hasMatch() ? m.captured(1) : label).toDouble();
    }
    if (m = f.century.match(label); m.hasMatch()) {
        // The first century after Christ is the years 1 to 100, the first before Christ
        // 100 to 1 before: either way the middle is 50 years from the century's end.
        return signedYear(romanValue(m.captured(1)) * kHundred - kHalfCentury, m, 2);
    }
    return std::nullopt;
}

QString classOrdinal(int code) {
    QString word = ordinalWord(code);
    word.chop(1);
    return word + QLatin1Char('a');
}

QString spokenDateTime(const QDateTime& when) {
    const QDate date = when.date();
    const QTime time = when.time();
    QString words = dayWord(date.day()) + QLatin1Char(' ') + monthName(date.month()) +
                    QLatin1Char(' ') + QString::number(date.year()) + QStringLiteral(", ore ") +
                    QString::number(time.hour());
    if (time.minute() != 0) {
        words += QStringLiteral(" e ") + QString::number(time.minute());
    }
    return words;
}

}  // namespace content
