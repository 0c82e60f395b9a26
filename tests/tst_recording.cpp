// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Storing a run's totals and showing them: what a store writes and when it writes nothing,
// and the text of a stored value as the results window and the archive tool show it. Runs
// under an Italian locale and under C, both in Rome's time zone, and on the test server.
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>

#include "archivetesting.h"
#include "enginetesting.h"
#include "session/outcometext.h"
#include "session/recording.h"

class TestRecording : public QObject {
    Q_OBJECT

private:
    enginetesting::ArchiveUnderTest m_archive;
    // Winter time in Rome: an hour ahead of UTC, so a store in UTC is an hour off.
    const QDateTime m_when{QDate(2026, 3, 14), QTime(10, 30, 15)};

    archive::Status storeRun(const QString& name, int right, int given, const QDateTime& when) {
        session::Modtempar shared;
        m_archive.point(shared);
        archive::Status status = shared.openArchive();
        return status ? session::archivia(shared, session::Pupil{name}, right, given, when)
                      : status;
    }

private Q_SLOTS:
    void initTestCase() { ENGINE_INIT(); }
    void init() {
        m_archive.makeEmpty();
        m_archive.rawExec(QStringLiteral("INSERT INTO tempar (nome) VALUES ('Rossi Mario')"));
    }

    // The stored time is the local time of the store, and reads back as written.
    void storesTheLocalTime() {
        QCOMPARE(qgetenv("TZ"), QByteArray("Europe/Rome"));
        QVERIFY(storeRun(QStringLiteral("ROSSI MARIO"), 8, 10, m_when).ok());
        const archive::Outcome outcome = m_archive.outcomeOf(QStringLiteral("rossi mario"));
        QVERIFY(outcome.found);
        QCOMPARE(session::outcomeText(outcome.right), QStringLiteral("8"));
        QCOMPARE(session::outcomeText(outcome.given), QStringLiteral("10"));
        QCOMPARE(session::outcomeText(outcome.when), QStringLiteral("14/03/26 10:30:15"));
    }

    // A stored time reads back as the same moment, to the second, in local time: in winter
    // and in summer, in the hour after the clocks go forward, and in both passes of the hour
    // that autumn repeats. The file keeps the local wall-clock time as text, so the second
    // pass of that hour reads back as the first there: the same text on the screen.
    void storedTimesReadBack_data() {
        QTest::addColumn<QDateTime>("when");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("sameMomentOnFile");
        const auto utc = [](int month, int day, int hour, int minute) {
            return QDateTime(QDate(2026, month, day), QTime(hour, minute, 7), Qt::UTC)
                .toLocalTime();
        };
        QTest::newRow("winter") << m_when << "14/03/26 10:30:15" << true;
        QTest::newRow("summer") << QDateTime(QDate(2026, 7, 1), QTime(23, 59, 59))
                                << "01/07/26 23:59:59" << true;
        QTest::newRow("last second before the clocks go forward")
            << utc(3, 29, 0, 59).addSecs(52) << "29/03/26 01:59:59" << true;
        QTest::newRow("first hour of summer time")
            << utc(3, 29, 1, 0) << "29/03/26 03:00:07" << true;
        QTest::newRow("repeated hour, first pass")
            << utc(10, 25, 0, 30) << "25/10/26 02:30:07" << true;
        QTest::newRow("repeated hour, second pass")
            << utc(10, 25, 1, 30) << "25/10/26 02:30:07" << false;
        QTest::newRow("milliseconds dropped")
            << QDateTime(QDate(2026, 12, 8), QTime(17, 5, 6, 999)) << "08/12/26 17:05:06" << true;
    }
    void storedTimesReadBack() {
        QFETCH(QDateTime, when);
        QFETCH(QString, text);
        QFETCH(bool, sameMomentOnFile);
        QVERIFY(storeRun(QStringLiteral("Rossi Mario"), 1, 2, when).ok());
        const QDateTime read = m_archive.outcomeOf(QStringLiteral("rossi mario")).when.toDateTime();
        const QDateTime second = when.addMSecs(-when.time().msec());
        if (m_archive.server() || sameMomentOnFile) {
            QCOMPARE(read, second);
        }
        QCOMPARE(read.date(), second.date());
        QCOMPARE(read.time(), second.time());
        QCOMPARE(read.timeSpec(), Qt::LocalTime);
        QCOMPARE(session::storedDateText(read), text);
    }

    // Looking at the archive before answering stores nothing: the pupil's figures stay.
    void aRunWithoutAnswersKeepsTheStoredFigures() {
        QVERIFY(storeRun(QStringLiteral("Rossi Mario"), 7, 9, m_when).ok());
        const QByteArray before = m_archive.snapshot();
        QVERIFY(storeRun(QStringLiteral("Rossi Mario"), 0, 0, m_when.addDays(1)).ok());
        QCOMPARE(m_archive.snapshot(), before);
        const archive::Outcome outcome = m_archive.outcomeOf(QStringLiteral("Rossi Mario"));
        QCOMPARE(outcome.right.toInt(), 7);
        QCOMPARE(outcome.when.toDateTime(), m_when);
        // An answer given, even a wrong one, is a run worth storing.
        QVERIFY(storeRun(QStringLiteral("Rossi Mario"), 0, 1, m_when.addDays(1)).ok());
        QCOMPARE(m_archive.outcomeOf(QStringLiteral("Rossi Mario")).given.toInt(), 1);
    }

    // The program's own form under the system's locale, whatever that is: under C the
    // locale's form would read "14 Mar 2026".
    void systemLocaleGivesAnItalianDate() {
        QCOMPARE(session::storedDateText(m_when), QStringLiteral("14/03/26 10:30:15"));
        QCOMPARE(session::outcomeText(QVariant(m_when)), QStringLiteral("14/03/26 10:30:15"));
    }

    void dateForms_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("text");
        QTest::newRow("Italy") << "it_IT"
                               << "14/03/26 10:30:15";
        // An Italian-speaking region keeps its own short date form.
        QTest::newRow("Switzerland, Italian") << "it_CH"
                                              << "14.03.26 10:30:15";
        // Other languages get the Italian form, never their own words or 12-hour clock.
        QTest::newRow("United States") << "en_US"
                                       << "14/03/26 10:30:15";
        QTest::newRow("Finland") << "fi_FI"
                                 << "14/03/26 10:30:15";
        QTest::newRow("C") << "C"
                           << "14/03/26 10:30:15";
    }
    void dateForms() {
        QFETCH(QString, locale);
        QFETCH(QString, text);
        QCOMPARE(session::storedDateText(m_when, QLocale(locale)), text);
        // Afternoon hours on the 24-hour clock, and the seconds always shown.
        QVERIFY(
            session::storedDateText(QDateTime(QDate(2026, 12, 8), QTime(17, 5, 6)), QLocale(locale))
                .endsWith(QStringLiteral(" 17:05:06")));
    }

    void secondsAfterTheMinutes_data() {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("withSeconds");
        QTest::newRow("colon") << "HH:mm"
                               << "HH:mm:ss";
        QTest::newRow("full stop") << "H.mm"
                                   << "H.mm.ss";
        QTest::newRow("text after") << "h:mm AP"
                                    << "h:mm:ss AP";
        QTest::newRow("seconds already") << "HH:mm:ss t"
                                         << "HH:mm:ss t";
    }
    void secondsAfterTheMinutes() {
        QFETCH(QString, format);
        QFETCH(QString, withSeconds);
        QCOMPARE(session::withSeconds(format), withSeconds);
    }

    void numbers_data() {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("whole") << QVariant(qlonglong(12)) << "12";
        // Written by another program: shown in full, not rounded to six digits.
        QTest::newRow("large double") << QVariant(1234567.0) << "1234567";
        QTest::newRow("non-whole") << QVariant(2.125) << "2.125";
        QTest::newRow("missing") << QVariant() << "";
    }
    void numbers() {
        QFETCH(QVariant, value);
        QFETCH(QString, text);
        QCOMPARE(session::outcomeText(value), text);
    }
};

QTEST_GUILESS_MAIN(TestRecording)
#include "tst_recording.moc"
