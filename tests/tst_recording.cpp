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

#include <libpq-fe.h>
#include <sqlite3.h>

class TestRecording : public QObject {
    Q_OBJECT

private:
    enginetesting::ArchiveUnderTest m_archive;
    // Winter time in Rome: an hour ahead of UTC, so a store in UTC is an hour off.
    const QDateTime m_when{QDate(2026, 3, 14), QTime(10, 30, 15)};

    archive::Status storeRun(const QString& name, int right, int given, const QDateTime& when,
                             const archive::RunAnswers& answers = {}, int timeoutMs = 5000) {
        session::Modtempar shared;
        m_archive.point(shared, timeoutMs);
        archive::Status status = shared.openArchive();
        return status ? session::archivia(shared, session::Pupil{name}, right, given, when, answers)
                      : status;
    }
    // A store of a run's first `count` placements, with totals that say how many.
    archive::Status storePlaced(qint64 run, int count, int timeoutMs = 5000) {
        return storeRun(QStringLiteral("Rossi Mario"), count / 2, count, m_when,
                        archivetesting::someAnswers(run, count, m_when), timeoutMs);
    }
    // The fields of the placement at this place of the run, as "fatto|insieme|mano|etichetta|
    // giusta|prima|seconds since the epoch".
    QString placement(qint64 run, int place) const {
        const QString seconds =
            m_archive.server() ? QStringLiteral("floor(extract(epoch FROM quando))::bigint")
                               : QStringLiteral("CAST(strftime('%s', quando, 'utc') AS INTEGER)");
        return m_archive.rawValue(
            QStringLiteral("SELECT fatto || '|' || insieme || '|' || mano || '|' || etichetta || "
                           "'|' || CASE WHEN giusta THEN 1 ELSE 0 END || '|' || CASE WHEN prima "
                           "THEN 1 ELSE 0 END || '|' || %1 FROM risposte WHERE giro = %2 AND "
                           "numero = %3")
                .arg(seconds)
                .arg(run)
                .arg(place));
    }

    // Every kept placement, as the teacher's report reads them.
    std::vector<archive::Answer> keptAnswers() const {
        std::vector<archive::Answer> answers;
        const auto keep = [&](const QString&, qint64, const archive::Answer& answer) {
            answers.push_back(answer);
        };
        const std::unique_ptr<archive::Archive> opened = m_archive.open();
        const archive::Status status =
            m_archive.server() ? dynamic_cast<archive::PgArchive&>(*opened).everyAnswer(keep)
                               : dynamic_cast<archive::SqliteArchive&>(*opened).everyAnswer(keep);
        if (!status.ok()) {
            qFatal("cannot read the placements: %s", qPrintable(status.message()));
        }
        return answers;
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
        QVERIFY(storeRun(QStringLiteral("Rossi Mario"), 1, 2, when,
                         archive::RunAnswers{5, {{7, 0, 1, u"1492"_qs, true, true, when}}})
                    .ok());
        const QDateTime second = when.addMSecs(-when.time().msec());
        // The totals' time, and the placement's as the teacher's report reads it.
        for (const QDateTime& read :
             {m_archive.outcomeOf(QStringLiteral("rossi mario")).when.toDateTime(),
              keptAnswers().at(0).when}) {
            if (m_archive.server() || sameMomentOnFile) {
                QCOMPARE(read, second);
            }
            QCOMPARE(read.date(), second.date());
            QCOMPARE(read.time(), second.time());
            QCOMPARE(read.timeSpec(), Qt::LocalTime);
            QCOMPARE(session::storedDateText(read), text);
        }
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

    // Every store of a run adds the placements made since the last one, and none twice, each
    // as the drill handed it over (a row the fact table lacks, a clock set backwards, any
    // label); a run with no answer writes nothing; another run's placements go beside.
    void placementsStoredOnceEach_data() {
        QTest::addColumn<QList<int>>("stores");  // placements made by each store of one run
        QTest::addColumn<int>("tableRow");       // of the last placement
        QTest::addColumn<QString>("label");
        QTest::addColumn<int>("secondsAfter");  // after the run's start
        QTest::newRow("one store") << QList<int>{3} << 7 << "1492" << 5;
        QTest::newRow("stored twice") << QList<int>{3, 3} << 7 << "1492" << 5;
        QTest::newRow("placed since") << QList<int>{3, 5, 5, 12} << 7 << "1492" << 5;
        QTest::newRow("no answer") << QList<int>{0, 0} << 7 << "1492" << 5;
        QTest::newRow("row the table lacks") << QList<int>{2} << 190 << "1492" << 5;
        QTest::newRow("row 0") << QList<int>{2} << 0 << "1492" << 5;
        QTest::newRow("clock set backwards") << QList<int>{2} << 12 << "1492" << -86400;
        QTest::newRow("quotes, accents") << QList<int>{2} << 12 << "'476', d.C. — «caduta»" << 5;
    }
    void placementsStoredOnceEach() {
        QFETCH(QList<int>, stores);
        QFETCH(int, tableRow);
        QFETCH(QString, label);
        QFETCH(int, secondsAfter);
        archive::RunAnswers run;
        for (int count : stores) {
            run = archivetesting::someAnswers(77, count, m_when);
            if (count > 0) {
                run.answers.back() = {
                    tableRow, 3, 2, label, true, false, m_when.addSecs(secondsAfter)};
            }
            QVERIFY(storeRun(QStringLiteral("Rossi Mario"), 0, count, m_when, run).ok());
            QCOMPARE(m_archive.placementCount(), count);
        }
        QCOMPARE(placement(77, stores.last() - 1),
                 stores.last() == 0 ? QString()
                                    : QStringLiteral("%1|3|2|%2|1|0|%3")
                                          .arg(tableRow)
                                          .arg(label)
                                          .arg(m_when.addSecs(secondsAfter).toSecsSinceEpoch()));
        QVERIFY(storePlaced(78, 2).ok());
        QCOMPARE(m_archive.placementCount(), stores.last() + 2);
    }

    // A pupil with a long history, renamed from outside: the next stores add to it (the
    // same run going on, then a new one), and nothing is lost, nor left out of the report.
    void aLongHistoryRenamedFromOutside() {
        m_archive.rawExec(
            m_archive.server()
                ? QStringLiteral("INSERT INTO risposte SELECT 1, 1, i, 1 + i % 189, 0, 1, '1492', "
                                 "i % 2 = 0, true, now() FROM generate_series(0, 99999) i")
                : QStringLiteral(
                      "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n "
                      "WHERE i < 99999) INSERT INTO risposte SELECT 1, 1, i, "
                      "1 + i % 189, 0, 1, '1492', i % 2, 1, '2026-01-01T08:00:00' FROM n"));
        QVERIFY(storePlaced(1, 100010).ok());
        m_archive.rawExec(QStringLiteral("UPDATE tempar SET nome = 'Rossi Maria'"));
        QVERIFY(storeRun(QStringLiteral("Rossi Maria"), 1, 3, m_when,
                         archivetesting::someAnswers(2, 3, m_when))
                    .ok());
        QCOMPARE(m_archive.placementCount(), 100013);
        QCOMPARE(m_archive.rawValue(QStringLiteral("SELECT count(DISTINCT alunno) FROM risposte")),
                 QStringLiteral("1"));
        // The teacher's report reads them all, the server a portion at a time.
        QCOMPARE(keptAnswers().size(), std::size_t{100013});
    }

    // A store that cannot finish writes neither the totals nor any placement, and the next
    // one writes them whole: the archive held past the wait, or on the server the table of
    // placements alone held (the totals are written first there, and go back).
    void heldPastTheWaitWritesNothing_data() {
        QTest::addColumn<bool>("placementsOnly");
        QTest::newRow("archive held") << false;
        QTest::newRow("placements held") << true;
    }
    void heldPastTheWaitWritesNothing() {
        QFETCH(bool, placementsOnly);
        if (placementsOnly) {
            SERVER_ONLY("the file is held as a whole");
        }
        QVERIFY(storePlaced(9, 4).ok());
        const QByteArray before = m_archive.snapshot();
        archive::Status status;
        if (placementsOnly) {
            PGconn* other = pgtesting::connectRaw(pgtesting::kAdminService, m_archive.database());
            PQclear(PQexec(other, "BEGIN; LOCK TABLE risposte IN ACCESS EXCLUSIVE MODE"));
            status = storePlaced(9, 10, 300);
            PQfinish(other);
        } else {
            const enginetesting::HeldArchive held(m_archive);
            status = storePlaced(9, 10, 300);
        }
        QVERIFY2(!status.ok(), "stored into a held archive");
        QCOMPARE(m_archive.snapshot(), before);
        QCOMPARE(m_archive.placementCount(), 4);
        QVERIFY(storePlaced(9, 10).ok());
        QCOMPARE(m_archive.placementCount(), 10);
        QCOMPARE(m_archive.outcomeOf(QStringLiteral("Rossi Mario")).given.toInt(), 10);
    }

    // An archive made before placements were kept gains their table the first time the
    // program opens it, its rows untouched and its format the same (older copies still open
    // it). A file locked then is left as it is, a server's until its administrator adds the
    // table: the totals are stored all the same, and the program says why.
    void anOlderArchiveGainsTheTable_data() {
        QTest::addColumn<bool>("locked");
        QTest::newRow("free") << false;
        QTest::newRow("locked at opening") << true;
    }
    void anOlderArchiveGainsTheTable() {
        QFETCH(bool, locked);
        if (locked) {
            FILE_ONLY("the server's table is added by its administrator");
        }
        QVERIFY(storeRun(QStringLiteral("Rossi Mario"), 7, 9, m_when).ok());
        m_archive.rawExec(QStringLiteral("DROP TABLE risposte"));
        const QString everything =
            m_archive.server()
                ? QStringLiteral("SELECT string_agg(t::text, ';') FROM tempar t")
                : QStringLiteral(
                      "SELECT group_concat(quote(id) || quote(nome) || quote(chiave) || "
                      "quote(giuste) || quote(sbagliate) || quote(data)) || "
                      "(SELECT user_version FROM pragma_user_version) FROM tempar");
        const QString before = m_archive.rawValue(everything);
        session::Modtempar shared;
        m_archive.point(shared);
        sqlite3* other = nullptr;
        if (locked) {
            sqlite3_open(QFile::encodeName(m_archive.path()).constData(), &other);
            sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        }
        QVERIFY(shared.openArchive().ok());
        sqlite3_close(other);  // its transaction goes back
        QCOMPARE(m_archive.rawValue(everything), before);
        const bool gained = !locked && !m_archive.server();
        QCOMPARE(shared.answersNotice.isEmpty(), gained);
        for (int attempt = gained ? 1 : 0; attempt < 2; ++attempt) {
            QVERIFY(session::archivia(shared, session::Pupil{u"Rossi Mario"_qs}, 1, 2, m_when,
                                      archivetesting::someAnswers(3, 2, m_when))
                        .ok());
            QCOMPARE(m_archive.rawValue(u"SELECT sbagliate FROM tempar"_qs), u"2"_qs);
            if (attempt == 0) {  // the totals alone; then the table, and the store again
                QVERIFY(m_archive
                            .rawValue(
                                m_archive.server()
                                    ? u"SELECT to_regclass('risposte')::text"_qs
                                    : u"SELECT name FROM sqlite_master WHERE name = 'risposte'"_qs)
                            .isEmpty());
                bool added = false;
                QVERIFY(!m_archive.server() ||
                        archive::PgArchive::addAnswersTable(
                            pgtesting::place(m_archive.database(), 30000, pgtesting::kAdminService),
                            pgtesting::kProgramRole, &added)
                            .ok());
                QVERIFY(shared.openArchive().ok());
                QVERIFY(shared.archiveDb->answersNotKept().isEmpty());
            }
        }
        QCOMPARE(m_archive.placementCount(), 2);
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
