#include <QTemporaryDir>
#include <QTest>

#include "archive/namechoice.h"
#include "archivetesting.h"

using archive::Modtempar;
using archive::NameChoice;

class TestNames : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_path;

    QStringList storedNames() const { return archivetesting::storedNames(m_path); }

private Q_SLOTS:
    void init() {
        QVERIFY(m_dir.isValid());
        QFile::remove(m_dir.filePath(u"tempolario.mdb"_qs));
        m_path = archivetesting::makeArchive(m_dir.path());
    }

    void tidy_data() {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("name");
        QTest::newRow("blanks around and between") << u" rossi  mario "_qs << u"rossi mario"_qs;
        QTest::newRow("three words") << u"De   Luca    Anna  Maria"_qs << u"De Luca Anna Maria"_qs;
        QTest::newRow("one word with blanks") << u"  Rossi  "_qs << u"Rossi"_qs;
        QTest::newRow("tabs and line breaks") << u"Rossi\t\n Mario"_qs << u"Rossi Mario"_qs;
        QTest::newRow("empty, or Annulla") << QString() << u"Anonimo"_qs;
        QTest::newRow("only blanks") << u"     "_qs << u"Anonimo"_qs;
        QTest::newRow("case kept") << u"dE lA rUe"_qs << u"dE lA rUe"_qs;
        QTest::newRow("quotes and signs")
            << u"O'Brien \"100%\"; --"_qs << u"O'Brien \"100%\"; --"_qs;
        QTest::newRow("emoji and accents") << u"Ünal 😀 Çelik"_qs << u"Ünal 😀 Çelik"_qs;
    }
    void tidy() {
        QFETCH(QString, answer);
        QFETCH(QString, name);
        QCOMPARE(archive::tidyName(answer), name);
    }

    void typedNamesAreAddedOnce() {
        Modtempar shared;
        shared.archivePath = m_path;
        NameChoice choice(shared);
        archive::NameList names;
        QVERIFY(choice.start(&names));
        QCOMPARE(names.rowCount(), 0);

        QVERIFY(choice.enterTyped(u" forlì  niccolò "_qs));
        QCOMPARE(shared.currentName, u"forlì niccolò"_qs);
        // The same name in capitals finds the row and adds nothing.
        QVERIFY(choice.enterTyped(u"FORLÌ NICCOLÒ"_qs));
        QCOMPARE(shared.currentName, u"FORLÌ NICCOLÒ"_qs);
        // Two pupils who give no name share one "Anonimo" row.
        QVERIFY(choice.enterTyped(QString()));
        QVERIFY(choice.enterTyped(u"   "_qs));
        const QString longName =
            QString(10000, QLatin1Char('x')) + u" 'a'; DROP TABLE tempar; --"_qs;
        QVERIFY(choice.enterTyped(longName));
        QCOMPARE(storedNames(), (QStringList{u"forlì niccolò"_qs, u"Anonimo"_qs, longName}));

        // A picked name is confirmed while it is there, and reported when it is gone.
        bool found = false;
        choice.pick(u"ANONIMO"_qs);
        QVERIFY(choice.confirm(&found));
        QVERIFY(found);
        archivetesting::execRaw(m_path, "DELETE FROM tempar WHERE nome = 'Anonimo'");
        QVERIFY(choice.confirm(&found));
        QVERIFY(!found);
    }

    // Rows written by another program: one without a name is left out, one without our key
    // is listed and found.
    void rowsWrittenFromOutside() {
        archivetesting::execRaw(m_path,
                                "INSERT INTO tempar (nome) VALUES ('Verdi Luca');"
                                "INSERT INTO tempar (giuste) VALUES (3);"
                                "INSERT INTO tempar (nome) VALUES ('Neri Ada');");
        QCOMPARE(storedNames(), (QStringList{u"Verdi Luca"_qs, u"Neri Ada"_qs}));
        Modtempar shared;
        shared.archivePath = m_path;
        NameChoice choice(shared);
        archive::NameList names;
        QVERIFY(choice.start(&names));
        QVERIFY(choice.enterTyped(u"verdi luca"_qs));
        QCOMPARE(storedNames().size(), 2);
    }

    // More rows than a 16-bit count holds are all listed, in insertion order, however the
    // list is read: from the top, or jumping about as a scroll bar does.
    void listsEveryRowOfALargeArchive() {
        QString sql = u"BEGIN;"_qs;
        QStringList expected;
        for (int i = 0; i < 40000; ++i) {
            if (i % 7 == 3) {
                sql += u"INSERT INTO tempar (giuste) VALUES (1);"_qs;
                continue;
            }
            sql += QStringLiteral("INSERT INTO tempar (nome) VALUES ('Alunno %1');").arg(i);
            expected << QStringLiteral("Alunno %1").arg(i);
        }
        sql += u"COMMIT;"_qs;
        archivetesting::execRaw(m_path, sql.toUtf8().constData());
        QCOMPARE(storedNames(), expected);

        archive::NameList names;
        QVERIFY(names.open(m_path, 1000));
        QCOMPARE(names.rowCount(), expected.size());
        const int last = static_cast<int>(expected.size()) - 1;
        for (int row : {30000, 12345, 30001, 30300, 0, last, 256, 255, 511}) {
            QCOMPARE(names.name(row), expected.at(row));
            QCOMPARE(names.data(names.index(row)).toString(), expected.at(row));
        }
        QVERIFY(names.name(expected.size()).isEmpty());
    }

    void missingArchiveFails() {
        Modtempar shared;
        shared.archivePath = m_dir.filePath(u"nessuno.mdb"_qs);
        NameChoice choice(shared);
        archive::NameList names;
        const archive::Status status = choice.start(&names);
        QVERIFY(!status);
        QVERIFY(!QFile::exists(shared.archivePath));
    }
};

QTEST_GUILESS_MAIN(TestNames)
#include "tst_names.moc"
