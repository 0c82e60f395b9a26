// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include <QRegularExpression>
#include <QSet>
#include <QTest>

#include "content/facttable.h"
#include "content/spoken.h"

using content::ExerciseSet;
using content::FactTable;

class TestContent : public QObject {
    Q_OBJECT

private:
    FactTable m_table;

private Q_SLOTS:
    void initTestCase() { m_table.build(); }

    void classRangesCoverTheTable() {
        // Codes 1..5 are classes I..V; in the table IV and V come first.
        const int sizes[] = {189, 31, 32, 78, 20, 28, 45};
        for (int code = 0; code < ExerciseSet::kCount; ++code) {
            QCOMPARE(ExerciseSet::byCode(code).size(), sizes[code]);
            QVERIFY(ExerciseSet::byCode(code).size() >= 20);
        }
        QSet<int> covered;
        for (int code = 1; code <= 5; ++code) {
            const ExerciseSet set = ExerciseSet::byCode(code);
            for (int p = set.first; p <= set.last; ++p) {
                QVERIFY2(!covered.contains(p), "classes overlap");
                covered.insert(p);
                QCOMPARE(FactTable::classOf(p), code);
            }
        }
        QCOMPARE(covered.size(), FactTable::kRows);
        QCOMPARE(ExerciseSet::byCode(0).last, 189);
        QCOMPARE(ExerciseSet::byCode(6).last, 45);
    }

    void classBoundaries_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("label");
        QTest::addColumn<int>("classCode");
        QTest::newRow("first of IV") << 1 << "5 milioni a.fa" << 4;
        QTest::newRow("last of IV") << 20 << "1200 a.C." << 4;
        QTest::newRow("first of V") << 21 << "4000 a.fa" << 5;
        QTest::newRow("last of V") << 48 << "476" << 5;
        QTest::newRow("first of I") << 49 << "553" << 1;
        QTest::newRow("last of I") << 79 << "1453" << 1;
        QTest::newRow("first of II") << 80 << "1454" << 2;
        QTest::newRow("last of II") << 111 << "1795" << 2;
        QTest::newRow("first of III") << 112 << "1804" << 3;
        QTest::newRow("last of III") << 189 << "1945-1980" << 3;
        // Irregular labels are kept exactly as written.
        QTest::newRow("no point") << 13 << "6 000 a fa" << 4;
        QTest::newRow("century") << 22 << "XI sec.a.C" << 5;
        QTest::newRow("no final point") << 35 << "295 a.C" << 5;
        QTest::newRow("short range") << 160 << "1935-36" << 3;
        QTest::newRow("day") << 170 << "25-4-1945" << 3;
        QTest::newRow("month") << 179 << "aprile 1948" << 3;
        QTest::newRow("out of order") << 128 << "1813" << 3;
    }
    void classBoundaries() {
        QFETCH(int, row);
        QFETCH(QString, label);
        QFETCH(int, classCode);
        QCOMPARE(m_table.row(row).dateLabel, label);
        QCOMPARE(FactTable::classOf(row), classCode);
    }

    void quotedFactsAreVerbatim() {
        const QHash<int, QString> quoted{
            {1,
             u"Compare, in Africa, l'AUSTRALOPITECO, il primo ominide che può muoversi senza "
             u"aiutarsi con le zampe anteriori."_qs},
            {5, u"Il più antico reperto di ominide, in EUROPA, risale a...."_qs},
            {6, u"I più antichi reperti di HOMO SAPIENS (trovati in Africa), risalgono a....."_qs},
            {32, u"ROMOLO, secondo la leggenda, fonda ROMA."_qs},
            {54, u"Carlo Magno viene incoronato imperatore del SACRO ROMANO IMPERO."_qs},
            {82,
             u"Cristoforo Colombo scopre l'America. Gli spagnoli cominciano a colonizzare il "
             u"Centro ed il Sud America."_qs},
            {119,
             u"Anno delle rivoluzioni in tutta Europa. Si lotta per la giustizia sociale, per "
             u"i diritti politici e per l'indipendenza."_qs},
            {170, u"Liberazione dell'Italia dal Nazi-fascismo. In Italia termina la guerra."_qs},
        };
        for (auto it = quoted.cbegin(); it != quoted.cend(); ++it) {
            QCOMPARE(m_table.row(it.key()).fact, it.value());
        }
    }

    // Every fact can be read and never gives its own answer away.
    void factsAreWellFormed() {
        QSet<QString> seen;
        const QRegularExpression digit(QStringLiteral("[0-9]"));
        for (int p = 1; p <= FactTable::kRows; ++p) {
            const content::FactEntry& e = m_table.row(p);
            const QByteArray where = "row " + QByteArray::number(p);
            QVERIFY2(e.fact.size() >= 13 && e.fact.size() <= 154, where);
            QVERIFY2(e.dateLabel.size() >= 3 && e.dateLabel.size() <= 14, where);
            QVERIFY2(!seen.contains(e.fact), where + " repeats a sentence");
            seen.insert(e.fact);
            QVERIFY2(!e.fact.contains(e.dateLabel), where + " states its own date");
            // Beyond the four quoted sentences that name no number either, no fact carries a
            // number, so none can hint at a date.
            QVERIFY2(!e.fact.contains(digit), where + " contains a number");
            QVERIFY2(e.fact == e.fact.trimmed() && !e.fact.contains(QLatin1String("  ")), where);
            QVERIFY2(!e.fact.contains(QLatin1String("TODO")), where);
        }
    }

    // Slips that a teacher marks in red and that no other check sees: each pattern must match
    // no sentence of the table.
    void factsFollowItalianTypography_data() {
        QTest::addColumn<QString>("pattern");
        // "ed" and "ad" before the same vowel: "ed EMIGRANO", "ad ATENE".
        QTest::newRow("euphonic d") << u"\\b(e [eèéEÈÉ]|a [aàAÀ])"_qs;
        // An apostrophe standing for an accent: "MOSE'", "CIVILTA'", "perche'".
        QTest::newRow("apostrophe for accent") << u"\\p{L}'(?!\\p{L})"_qs;
        // Literals split across lines lose or double their blanks.
        QTest::newRow("no blank after a mark") << u"[,;:!?](?![\\s»]|$)|\\.(?=\\p{L})"_qs;
        QTest::newRow("blank before a mark") << u"\\s[,.;:!?»]|«\\s"_qs;
        QTest::newRow("unfinished sentence") << u"[^.!?»]$"_qs;
        // Titles and sayings are set in «»; a closing mark needs its opening one and vice versa.
        QTest::newRow("straight quotes") << u"\""_qs;
        QTest::newRow("unpaired quotes") << u"«[^»]*(«|$)|(^|»)[^«]*»"_qs;
    }
    void factsFollowItalianTypography() {
        QFETCH(QString, pattern);
        const QRegularExpression slip(pattern, QRegularExpression::UseUnicodePropertiesOption);
        QVERIFY(slip.isValid());
        for (int p = 1; p <= FactTable::kRows; ++p) {
            const QString& fact = m_table.row(p).fact;
            const QRegularExpressionMatch m = slip.match(fact);
            QVERIFY2(
                !m.hasMatch(),
                qPrintable(QStringLiteral("row %1: \"%2\" in %3").arg(p).arg(m.captured(0), fact)));
        }
    }

    void labelsHaveTheKnownForms() {
        const QRegularExpression forms(
            QStringLiteral("^(\\d milioni a\\.fa"
                           "|\\d{1,3}( ?\\d{3})? a\\.? ?fa"
                           "|\\d{2,4} a\\.C\\.?"
                           "|\\d{3}-\\d{3} a\\.C\\."
                           "|[IVX]+ sec(\\.| )[ad]\\.C\\.?"
                           "|\\d{3,4}"
                           "|\\d{4}-\\d{2,4}"
                           "|\\d{1,2}-\\d{1,2}-\\d{4}"
                           "|aprile \\d{4})$"));
        for (int p = 1; p <= FactTable::kRows; ++p) {
            QVERIFY2(forms.match(m_table.row(p).dateLabel).hasMatch(),
                     qPrintable(m_table.row(p).dateLabel));
        }
    }

    // What a speech engine is given for a label: one row per form of the table's labels.
    void labelsAreSpokenAsRead_data() {
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("spoken");
        QTest::newRow("millions") << "5 milioni a.fa" << "cinque milioni di anni fa";
        QTest::newRow("thousands, spaced") << "20 000 a.fa" << "ventimila anni fa";
        QTest::newRow("hundred thousands") << "150 000 a.fa" << "centocinquantamila anni fa";
        QTest::newRow("thousands, joined") << "4000 a.fa" << "quattromila anni fa";
        QTest::newRow("years ago, no stop") << "6 000 a fa" << "seimila anni fa";
        QTest::newRow("year BC") << "753 a.C." << "753 avanti Cristo";
        QTest::newRow("year BC, no final stop") << "295 a.C" << "295 avanti Cristo";
        QTest::newRow("span BC") << "490-479 a.C." << "dal 490 al 479 avanti Cristo";
        QTest::newRow("century BC") << "VI sec a.C." << "sesto secolo avanti Cristo";
        QTest::newRow("century AD") << "III sec d.C." << "terzo secolo dopo Cristo";
        QTest::newRow("century, stop, no space") << "XI sec.a.C" << "undicesimo secolo avanti Cristo";
        QTest::newRow("century IV") << "IV sec a.C." << "quarto secolo avanti Cristo";
        QTest::newRow("year") << "1848" << "1848";
        QTest::newRow("span") << "1914-1918" << "dal 1914 al 1918";
        QTest::newRow("span, short end") << "1935-36" << "dal 1935 al 1936";
        QTest::newRow("day") << "25-4-1945" << "25 aprile 1945";
        QTest::newRow("first of the month") << "1-1-1948" << "primo gennaio 1948";
        QTest::newRow("month and year") << "aprile 1948" << "aprile 1948";
    }
    void labelsAreSpokenAsRead() {
        QFETCH(QString, label);
        QFETCH(QString, spoken);
        QCOMPARE(content::spokenDate(label), spoken);
    }

    // A label read as a year, in 2026: one row per form; NaN for a label of no known form.
    void labelsAreYears_data() {
        QTest::addColumn<QString>("label");
        QTest::addColumn<double>("year");
        QTest::newRow("millions") << "5 milioni a.fa" << -4997974.0;
        QTest::newRow("thousands, spaced") << "20 000 a.fa" << -17974.0;
        QTest::newRow("years ago, no stop") << "6 000 a fa" << -3974.0;
        QTest::newRow("year BC") << "753 a.C." << -753.0;
        QTest::newRow("span BC") << "490-479 a.C." << -484.5;
        QTest::newRow("century BC") << "IV sec a.C." << -350.0;
        QTest::newRow("century AD") << "III sec d.C." << 250.0;
        QTest::newRow("century, stop, no space") << "XI sec.a.C" << -1050.0;
        QTest::newRow("year") << "962" << 962.0;
        QTest::newRow("span") << "1914-1918" << 1916.0;
        QTest::newRow("span, short end") << "1935-36" << 1935.5;
        QTest::newRow("day") << "25-4-1945" << 1945.0;
        QTest::newRow("month and year") << "aprile 1948" << 1948.0;
        QTest::newRow("unknown") << "domani" << qQNaN();
        QTest::newRow("empty") << "" << qQNaN();
    }
    void labelsAreYears() {
        QFETCH(QString, label);
        QFETCH(double, year);
        const std::optional<double> read = content::yearOf(label, 2026);
        QCOMPARE(read.has_value(), !qIsNaN(year));
        if (read) {
            QCOMPARE(*read, year);
        }
    }
    void everyLabelIsAYear() {
        for (int p = 1; p <= FactTable::kRows; ++p) {
            QVERIFY2(content::yearOf(m_table.row(p).dateLabel, 2026), qPrintable(m_table.row(p).dateLabel));
        }
    }

    // Every label of the table: nothing left that an engine spells or reads digit by digit
    // (abbreviations, a spaced group of digits, a dash, a Roman numeral).
    void everyLabelIsSpokenInWords() {
        const QRegularExpression unreadable(
            QStringLiteral("a\\.|\\bfa\\b(?<!anni fa)|C\\.|\\bsec\\b|\\d \\d|-|\\b[IVX]+\\b"));
        for (int p = 1; p <= FactTable::kRows; ++p) {
            const QString spoken = content::spokenDate(m_table.row(p).dateLabel);
            QVERIFY2(!unreadable.match(spoken).hasMatch(),
                     qPrintable(m_table.row(p).dateLabel + QStringLiteral(" -> ") + spoken));
        }
    }

    void numbersInWords_data() {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("words");
        QTest::newRow("zero") << 0 << "zero";
        QTest::newRow("vowels meet") << 28 << "ventotto";
        QTest::newRow("final three") << 23 << "ventitré";
        QTest::newRow("hundred and eight") << 108 << "centotto";
        QTest::newRow("three thousand, three inside") << 23000 << "ventitremila";
        QTest::newRow("one thousand") << 1000 << "mille";
        QTest::newRow("eleven thousand") << 11000 << "undicimila";
        QTest::newRow("largest") << 999999 << "novecentonovantanovemilanovecentonovantanove";
    }
    void numbersInWords() {
        QFETCH(int, number);
        QFETCH(QString, words);
        QCOMPARE(content::numberWords(number), words);
    }

    void storedTimesAreSpoken_data() {
        QTest::addColumn<QDateTime>("when");
        QTest::addColumn<QString>("spoken");
        QTest::newRow("morning") << QDateTime(QDate(2026, 12, 9), QTime(5, 23, 40))
                                 << "9 dicembre 2026, ore 5 e 23";
        QTest::newRow("first, on the hour") << QDateTime(QDate(2027, 3, 1), QTime(17, 0))
                                            << "primo marzo 2027, ore 17";
    }
    void storedTimesAreSpoken() {
        QFETCH(QDateTime, when);
        QFETCH(QString, spoken);
        QCOMPARE(content::spokenDateTime(when), spoken);
    }

    void sharedLabelsAreTheTwelveOfClassThree() {
        QHash<QString, QList<int>> rowsByLabel;
        for (int p = 1; p <= FactTable::kRows; ++p) {
            rowsByLabel[m_table.row(p).dateLabel].append(p);
        }
        QHash<QString, QList<int>> shared;
        for (auto it = rowsByLabel.cbegin(); it != rowsByLabel.cend(); ++it) {
            if (it->size() > 1) {
                shared.insert(it.key(), it.value());
            }
        }
        const QHash<QString, QList<int>> expected{
            {u"1848"_qs, {118, 119, 121}}, {u"1859"_qs, {123, 141}},      {u"1861"_qs, {125, 142}},
            {u"1866"_qs, {126, 131}},      {u"1867"_qs, {129, 134}},      {u"1871"_qs, {132, 133}},
            {u"1917"_qs, {147, 153}},      {u"1919-1920"_qs, {152, 156}}, {u"1922"_qs, {154, 157}},
            {u"1929"_qs, {146, 155, 159}}, {u"1945"_qs, {166, 171, 172}}, {u"1990"_qs, {186, 188}},
        };
        QCOMPARE(shared, expected);
    }

    void essentialList() {
        QList<int> rows;
        QSet<QString> labels;
        int perClass[6] = {};
        for (int entry = 1; entry <= FactTable::kEssentialEntries; ++entry) {
            const int row = FactTable::essentialRow(entry);
            QCOMPARE(m_table.essential(entry).fact, m_table.row(row).fact);
            QCOMPARE(m_table.essential(entry).dateLabel, m_table.row(row).dateLabel);
            if (entry < FactTable::kEssentialEntries) {
                QVERIFY(rows.isEmpty() || rows.last() < row);
                rows.append(row);
                labels.insert(m_table.row(row).dateLabel);
                ++perClass[FactTable::classOf(row)];
            }
        }
        QCOMPARE(FactTable::essentialRow(45), 1);
        QCOMPARE(FactTable::essentialRow(1), 1);
        QCOMPARE(labels.size(), 44);
        QCOMPARE(perClass[4], 4);
        QCOMPARE(perClass[5], 6);
        QCOMPARE(perClass[1], 8);
        QCOMPARE(perClass[2], 6);
        QCOMPARE(perClass[3], 20);
        const ExerciseSet essential = ExerciseSet::byCode(6);
        QCOMPARE(&m_table.entry(essential, 45), &m_table.essential(45));
    }
};

QTEST_GUILESS_MAIN(TestContent)
#include "tst_content.moc"
