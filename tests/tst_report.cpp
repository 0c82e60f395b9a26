// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The teacher's map of the class: its figures on a class made by hand, the page's structure
// and colours, escaping, the CSV's defence, and files readable by their owner only.
#include <algorithm>
#include <array>
#include <cmath>

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#include "report/classmap.h"
#include "report/ownerfile.h"
#include "report/pages.h"

using report::Answer;

namespace {

const QDate kDay(2026, 3, 2);
constexpr int kNone = -9999;

int rounded(const std::optional<double>& value, int scale) {
    return value ? static_cast<int>(std::lround(*value * scale)) : kNone;
}

// Rows with their right dates: 118 "1848", 123 "1859", 125 "1861", 127 "1870", 150 "1914-1918".
Answer answer(const QString& pupil, qint64 run, int deal, int row, const QString& label,
              bool right, bool first = true, int daysBefore = 0) {
    return {pupil, run, deal, row, label, right, first, QDateTime(kDay.addDays(-daysBefore), {9, 0})};
}

// Six deals of four facts, two per pupil, and a seventh of one fact. Facts 118, 123 and 127
// go with the rest of their deal, fact 125 against it; fact 150 is in one deal only.
std::vector<Answer> handMadeClass() {
    struct Deal { const char* pupil; qint64 run; int deal; std::array<const char*, 4> labels; };
    const std::array<Deal, 6> deals{{{"Anna", 1, 1, {"1848", "1859", "1848", "1870"}},
                                     {"Anna", 1, 2, {"1848", "1859", "1848", "1870"}},
                                     {"Bruno", 2, 1, {"1848", "1859", "1914-1918", "753 a.C."}},
                                     {"Bruno", 2, 2, {"1859", "1861", "1861", "1870"}},
                                     {"carla", 3, 1, {"1859", "1861", "1861", "1866"}},
                                     {"carla", 4, 1, {"1870", "1861", "1861", "1866"}}}};
    const std::array<int, 4> rows{118, 123, 125, 127};
    const std::array<const char*, 4> right{"1848", "1859", "1861", "1870"};
    std::vector<Answer> answers{answer("Anna", 1, 1, 125, "1861", true, false),
                                answer("carla", 4, 2, 150, "1914-1918", true)};
    for (const Deal& d : deals) {
        for (std::size_t k = 0; k < rows.size(); ++k) {
            answers.push_back(answer(d.pupil, d.run, d.deal, rows.at(k), d.labels.at(k),
                                     qstrcmp(d.labels.at(k), right.at(k)) == 0));
        }
    }
    return answers;
}

report::ClassMap mapOf(const std::vector<Answer>& answers, const QDate& day = kDay) {
    static const content::FactTable table = [] { content::FactTable t; t.build(); return t; }();
    static const exercise::MemoryModel model;
    report::ClassMapBuilder builder(table, model);
    for (const Answer& a : answers) {
        builder.add(a);
    }
    return builder.build(day);
}

const report::FactFigures* factOf(const report::ClassMap& map, int row) {
    const auto found = std::find_if(map.facts.begin(), map.facts.end(),
                                    [row](const report::FactFigures& f) { return f.tableRow == row; });
    return found == map.facts.end() ? nullptr : &*found;
}

double luminance(const QString& hex) {
    const auto channel = [&hex](int at) {
        const double c = hex.mid(at, 2).toInt(nullptr, 16) / 255.0;
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(1) + 0.7152 * channel(3) + 0.0722 * channel(5);
}

// The page read as XML: the elements met, in order, with their attributes and text.
struct Element { QString name; QXmlStreamAttributes attributes; QString text; };
std::vector<Element> elementsOf(const QString& page) {
    std::vector<Element> elements;
    std::vector<std::size_t> open;
    QXmlStreamReader xml(page);
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            open.push_back(elements.size());
            elements.push_back({xml.name().toString(), xml.attributes(), {}});
        } else if (xml.isEndElement()) {
            open.pop_back();
        } else if (xml.isCharacters() && !open.empty()) {
            elements.at(open.back()).text += xml.text();
        }
    }
    if (xml.hasError()) {
        qWarning() << xml.errorString() << xml.lineNumber();
        return {};
    }
    return elements;
}

}  // namespace

class TestReport : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void factFigures_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("seen");
        QTest::addColumn<int>("facility");
        QTest::addColumn<int>("discrimination");  // hundredths; kNone: undefined
        QTest::addColumn<QString>("commonWrong");
        QTest::addColumn<int>("meanWrongYears");
        QTest::newRow("with the rest") << 118 << 6 << 50 << 33 << "1859" << 15;
        QTest::newRow("with the rest, one wrong date") << 123 << 6 << 50 << 33 << "1861" << 2;
        QTest::newRow("against the rest") << 125 << 6 << 50 << -93 << "1848" << 27;
        QTest::newRow("far wrong date") << 127 << 6 << 50 << 33 << "1866" << 877;
        QTest::newRow("one deal: undefined") << 150 << 1 << 100 << kNone << "" << kNone;
    }
    void factFigures() {
        QFETCH(int, row);
        const report::ClassMap map = mapOf(handMadeClass());
        const report::FactFigures* fact = factOf(map, row);
        QVERIFY(fact);
        QTEST(fact->seen, "seen");
        QTEST(static_cast<int>(std::lround(fact->facility * 100)), "facility");
        QTEST(rounded(fact->discrimination, 100), "discrimination");
        QTEST(fact->commonWrong, "commonWrong");
        QTEST(rounded(fact->meanWrongYears, 1), "meanWrongYears");
        QCOMPARE(map.facts.size(), std::size_t{5});
        QCOMPARE(map.facts.back().tableRow, 150);  // the fact the class knows best comes last
    }

    // On the day of the answers, a fact whose last first try was right is known; one
    // wrong is due. Two months later nothing is known.
    void pupilFigures_data() {
        QTest::addColumn<int>("daysLater");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QList<int>>("figures");  // runs, answers, right, known, due
        QTest::newRow("Anna") << 0 << "Anna" << QList<int>{1, 9, 7, 3, 1};
        QTest::newRow("Bruno") << 0 << "Bruno" << QList<int>{1, 8, 4, 2, 2};
        QTest::newRow("carla") << 0 << "carla" << QList<int>{2, 9, 3, 2, 3};
        QTest::newRow("Anna, later") << 60 << "Anna" << QList<int>{1, 9, 7, 0, 4};
    }
    void pupilFigures() {
        QFETCH(int, daysLater);
        QFETCH(QString, name);
        const report::ClassMap map = mapOf(handMadeClass(), kDay.addDays(daysLater));
        QCOMPARE(map.pupils.size(), std::size_t{3});
        const auto pupil = std::find_if(map.pupils.begin(), map.pupils.end(),
                                        [&](const report::PupilFigures& p) { return p.name == name; });
        QVERIFY(pupil != map.pupils.end());
        QTEST((QList<int>{pupil->runs, pupil->answers, pupil->right, pupil->known, pupil->due}),
              "figures");
    }

    // Facts the class knows least first: by facility, then by mean recall.
    void leastKnownFirst() {
        const auto map =
            mapOf({answer("Anna", 1, 1, 118, "1848", true), answer("Anna", 1, 1, 123, "1848", false),
                   answer("Anna", 1, 1, 127, "1870", true, true, 40), answer("Anna", 1, 1, 125, "1861", true),
                   answer("Bruno", 2, 1, 118, "1848", false)});
        QList<int> rows;
        for (const report::FactFigures& fact : map.facts) {
            rows.append(fact.tableRow);
        }
        QCOMPARE(rows, (QList<int>{123, 118, 127, 125}));
    }

    // Answers the table cannot place, dated out of order, or very many, are kept and counted.
    void badInput_data() {
        QTest::addColumn<std::vector<Answer>>("answers");
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("lastRight");
        QTest::newRow("row 0") << std::vector<Answer>{answer("Anna", 1, 1, 0, "1848", true)} << 0 << true;
        QTest::newRow("row 500") << std::vector<Answer>{answer("Anna", 1, 1, 500, "x", false)} << 500 << false;
        QTest::newRow("clock set backwards")
            << std::vector<Answer>{answer("Anna", 1, 1, 118, "1848", true, true, 5),
                                   answer("Anna", 1, 2, 118, "1859", false, true, 30)}
            << 118 << false;
        std::vector<Answer> huge;
        huge.reserve(100000);
        for (int i = 0; i < 100000; ++i) {
            huge.push_back(answer("Anna", i / 50, i / 10, 118, "1859", i % 3 == 0, true, 1000 - i / 100));
        }
        QTest::newRow("100,000 answers of one pupil") << huge << 118 << true;
        QTest::newRow("dated tomorrow, then undated")
            << std::vector<Answer>{answer("Anna", 1, 1, 118, "1848", false, true, -1),
                                   {"Anna", 1, 2, 118, "1848", true, true, {}}}
            << 118 << true;
    }
    void badInput() {
        QFETCH(std::vector<Answer>, answers);
        QFETCH(int, row);
        const report::ClassMap map = mapOf(answers);
        const report::FactFigures* fact = factOf(map, row);
        QVERIFY(fact);
        QCOMPARE(fact->seen, static_cast<int>(answers.size()));
        QTEST(fact->cells.at(0).lastRight, "lastRight");
        QVERIFY(fact->cells.at(0).recall >= 0 && fact->cells.at(0).recall <= 1);
        if (!fact->inTable) {
            QCOMPARE(fact->sentence, QStringLiteral("fatto non presente nella tabella"));
            QVERIFY(report::toHtml(map).contains(fact->sentence));
        }
    }

    // A name is typed by a pupil: on the page it is text, never markup, and whole.
    void namesAreText_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("markup") << "<b>Anna</b><img src=x onerror=alert(1)>";
        QTest::newRow("script") << "<script>alert('x')</script>";
        QTest::newRow("quotes and ampersand") << "a\"b'c&amp;d";
        QTest::newRow("10,000 characters") << QString(9999, QLatin1Char('<')) + QLatin1Char('x');
        QTest::newRow("control characters") << QStringLiteral("An\x01na\x1b[31m\nx");
    }
    void namesAreText() {
        QFETCH(QString, name);
        const auto page = [](const QString& pupil) {
            return report::toHtml(mapOf({answer(pupil, 1, 1, 118, "1848", true)}));
        };
        const std::vector<Element> plain = elementsOf(page(QStringLiteral("Anna")));
        const std::vector<Element> typed = elementsOf(page(name));
        QVERIFY(!typed.empty());
        QCOMPARE(typed.size(), plain.size());
        QString shown = name;
        shown.replace(QRegularExpression(QStringLiteral("[\\x00-\\x1f]")), QStringLiteral("\uFFFD"));
        const auto nameCell = std::find_if(typed.begin(), typed.end(), [](const Element& e) {
            return e.attributes.value(QStringLiteral("class")) == QLatin1String("nome");
        });
        QVERIFY(nameCell != typed.end());
        QCOMPARE(nameCell->text, shown);
    }

    // An equivalent of a browser's accessibility check: language, headings, tables with a
    // caption and scoped headings, text beside every colour, contrast of every colour pair.
    void pageIsAccessible() {
        const QString page = report::toHtml(mapOf(handMadeClass()));
        const std::vector<Element> elements = elementsOf(page);
        QVERIFY(!elements.empty());
        QCOMPARE(elements.front().attributes.value(QStringLiteral("lang")), QStringLiteral("it"));
        QVERIFY(std::any_of(elements.begin(), elements.end(), [](const Element& e) { return e.name == QLatin1String("h1"); }));
        int tables = 0;
        for (std::size_t i = 0; i < elements.size(); ++i) {
            const Element& e = elements.at(i);
            if (e.name == QLatin1String("table")) {
                ++tables;
                QCOMPARE(elements.at(i + 1).name, QStringLiteral("caption"));
            } else if (e.name == QLatin1String("th")) {
                QVERIFY(!e.attributes.value(QStringLiteral("scope")).isEmpty());
            } else if (e.name == QLatin1String("tr") && i + 1 < elements.size()) {
                QCOMPARE(elements.at(i + 1).name, QStringLiteral("th"));
            } else if (e.name == QLatin1String("td") || e.name == QLatin1String("span")) {
                QVERIFY2(!e.text.trimmed().isEmpty(), "a colour without a sign");
            }
        }
        QCOMPARE(tables, 3);
        QVERIFY(!page.contains(QStringLiteral("<script")));
        // Every rule that sets a colour sets both, and they contrast enough.
        const QRegularExpression rule(QStringLiteral("([^{}]+)\\{([^{}]*)\\}"));
        const QRegularExpression fg(QStringLiteral("(?:^|;)color:(#[0-9a-f]{6})"));
        const QRegularExpression bg(QStringLiteral("background-color:(#[0-9a-f]{6})"));
        int pairs = 0;
        for (const QRegularExpressionMatch& m : rule.globalMatch(page)) {
            const QString body = m.captured(2);
            const QRegularExpressionMatch text = fg.match(body);
            const QRegularExpressionMatch ground = bg.match(body);
            QCOMPARE(text.hasMatch(), ground.hasMatch());
            if (text.hasMatch()) {
                const double a = luminance(text.captured(1)) + 0.05;
                const double b = luminance(ground.captured(1)) + 0.05;
                QVERIFY2(std::max(a, b) / std::min(a, b) >= 4.5, qPrintable(m.captured(1)));
                ++pairs;
            }
        }
        QCOMPARE(pairs, 6);
    }

    void csvDefence_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("field");
        QTest::newRow("plain") << "Anna" << "Anna";
        QTest::newRow("formula") << "=1+2" << "\"'=1+2\"";
        QTest::newRow("plus, minus, at") << "-2+3@" << "\"'-2+3@\"";
        QTest::newRow("tab") << "\tx" << "\"'\uFFFDx\"";
        QTest::newRow("comma") << "a,b" << "\"a,b\"";
        QTest::newRow("quotes") << R"(say "hi")" << R"("say ""hi""")";
        QTest::newRow("line break") << "a\nb" << "a\uFFFDb";
    }
    void csvDefence() {
        QFETCH(QString, text);
        QTEST(report::csvField(text), "field");
        const QString csv = report::toCsv(mapOf({answer(text, 1, 1, 118, "1848", true)}));
        QVERIFY(csv.contains(QStringLiteral("\r\n") + report::csvField(text) + QLatin1Char(',')));
    }

    void ownerOnly_data() {
        QTest::addColumn<QString>("path");     // in a temporary folder
        QTest::addColumn<int>("earlierMode");  // -1: no earlier file
        QTest::addColumn<int>("mode");         // -1: fails
        QTest::addColumn<QString>("message");
        QTest::newRow("new") << "registro.html" << -1 << 0600 << "";
        QTest::newRow("replaces a readable one") << "registro.html" << 0644 << 0600 << "";
        QTest::newRow("keeps a stricter one") << "registro.html" << 0400 << 0400 << "";
        QTest::newRow("no such folder") << "manca/registro.html" << -1 << -1 << "la cartella non esiste";
        QTest::newRow("a folder") << "." << -1 << -1 << "al suo posto c'è una cartella";
        QTest::newRow("no name") << "" << -1 << -1 << "manca il nome del file";
    }
    void ownerOnly() {
        QFETCH(QString, path);
        QFETCH(int, earlierMode);
        QFETCH(int, mode);
        QTemporaryDir dir;
        const QString file = path.isEmpty() ? path : dir.filePath(path);
        if (earlierMode >= 0) {
            QFile earlier(file);
            QVERIFY(earlier.open(QIODevice::WriteOnly) && earlier.write("older and longer") > 0);
            earlier.close();
            QCOMPARE(::chmod(QFile::encodeName(file).constData(), earlierMode), 0);
        }
        const QString got = report::writeOwnerOnly(file, "report");
        QFETCH(QString, message);
        QVERIFY2(message.isEmpty() ? got.isEmpty() : got.contains(message), qPrintable(got));
        // Nothing left beside it: the new file took its place, or was removed.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), mode >= 0 ? 1 : 0);
        if (mode >= 0) {
            struct stat st {};
            QCOMPARE(::stat(QFile::encodeName(file).constData(), &st), 0);
            QCOMPARE(static_cast<int>(st.st_mode & 0777), mode);
            QFile written(file);
            QVERIFY(written.open(QIODevice::ReadOnly) && written.readAll() == "report");
        }
    }

    // For tests/report/browser.sh: a small class with markup in its names, written where
    // TEMPOLARIO_REPORT_PAGE says.
    void samplePage() {
        const QString path = qEnvironmentVariable("TEMPOLARIO_REPORT_PAGE");
        if (path.isEmpty()) {
            QSKIP("only for the browser check");
        }
        std::vector<Answer> answers = handMadeClass();
        answers.push_back(answer("<b>Dario</b><script>document.title='x'</script>", 5, 1, 118, "1859", false));
        answers.push_back(answer("Elena <i>&amp;</i>", 6, 1, 32, "753 a.C.", true));
        const report::ClassMap map = mapOf(answers, kDay.addDays(1));
        QCOMPARE(report::writeOwnerOnly(path, report::toHtml(map).toUtf8()), QString());
    }
};

QTEST_GUILESS_MAIN(TestReport)
#include "tst_report.moc"
