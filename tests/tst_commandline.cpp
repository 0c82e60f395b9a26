// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The program's command line: --servizio NOME, the help, the mistakes; and a service given
// there is the archive the program opens, ahead of the file in the working folder.
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "app/commandline.h"
#include "app/program.h"
#include "archivetesting.h"
#include "exercise/uniformsource.h"
#include "testtime.h"
#include "windows/formnome.h"

using app::CommandLine;

class TestCommandLine : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void reading_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<CommandLine::Outcome>("outcome");
        QTest::addColumn<QString>("service");
        QTest::addColumn<QString>("says");

        using O = CommandLine::Outcome;
        QTest::newRow("nothing: the file") << QStringList{} << O::Run << QString() << QString();
        QTest::newRow("service") << QStringList{u"--servizio"_qs, u"lab-2.a_b"_qs} << O::Run
                                 << u"lab-2.a_b"_qs << QString();
        QTest::newRow("service with =")
            << QStringList{u"--servizio=scuola1"_qs} << O::Run << u"scuola1"_qs << QString();
        QTest::newRow("one dash") << QStringList{u"-servizio"_qs, u"scuola1"_qs} << O::Run
                                  << u"scuola1"_qs << QString();
        QTest::newRow("help") << QStringList{u"--help"_qs} << O::Help << QString()
                              << u"--servizio NOME"_qs;
        QTest::newRow("-h") << QStringList{u"-h"_qs} << O::Help << QString() << u"Uso:"_qs;
        QTest::newRow("help beside a mistake")
            << QStringList{u"--nulla"_qs, u"--help"_qs} << O::Help << QString() << u"Uso:"_qs;
        QTest::newRow("unknown option") << QStringList{u"--servizo"_qs, u"lab"_qs} << O::Wrong
                                        << QString() << u"l'opzione «--servizo» non esiste"_qs;
        QTest::newRow("no value") << QStringList{u"--servizio"_qs} << O::Wrong << QString()
                                  << u"manca il nome del servizio"_qs;
        QTest::newRow("empty value") << QStringList{u"--servizio="_qs} << O::Wrong << QString()
                                     << u"manca il nome del servizio"_qs;
        QTest::newRow("blank in the name") << QStringList{u"--servizio"_qs, u"lab 2"_qs} << O::Wrong
                                           << QString() << u"«lab 2» non è un nome di servizio"_qs;
        QTest::newRow("accent") << QStringList{u"--servizio"_qs, u"città"_qs} << O::Wrong
                                << QString() << u"non è un nome di servizio"_qs;
        QTest::newRow("an option as the name")
            << QStringList{u"--servizio"_qs, u"--help-all"_qs} << O::Wrong << QString()
            << u"non è un nome di servizio"_qs;
        QTest::newRow("connection string as the name")
            << QStringList{u"--servizio"_qs, u"host=x"_qs} << O::Wrong << QString()
            << u"non è un nome di servizio"_qs;
        QTest::newRow("twice") << QStringList{u"--servizio"_qs, u"a"_qs, u"--servizio"_qs, u"b"_qs}
                               << O::Wrong << QString() << u"una volta sola"_qs;
        QTest::newRow("a file named")
            << QStringList{u"tempolario.mdb"_qs} << O::Wrong << QString() << u"«tempolario.mdb»"_qs;
    }
    void reading() {
        QFETCH(QStringList, arguments);
        QFETCH(CommandLine::Outcome, outcome);
        QFETCH(QString, service);
        QFETCH(QString, says);
        arguments.prepend(u"tempolario"_qs);
        const CommandLine line = app::readCommandLine(arguments);
        QCOMPARE(line.outcome, outcome);
        QCOMPARE(line.service, service);
        QVERIFY2(line.text.contains(says), qPrintable(line.text));
        if (outcome == CommandLine::Outcome::Wrong) {
            QVERIFY(line.text.contains(u"tempolario --help"_qs));
        }
    }

    // A service on the command line is what the program opens, even with a good archive
    // file in the working folder; a service this computer does not know is reported by
    // name, and the program ends without showing the name window.
    void theServiceIsTheArchive() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString file = archivetesting::makeArchive(dir.path());
        const CommandLine line = app::readCommandLine(
            {u"tempolario"_qs, u"--servizio"_qs, u"tempolario-mai-definito"_qs});
        QCOMPARE(line.outcome, CommandLine::Outcome::Run);

        exercise::ClockUniformSource random{3};
        app::Program program(random, file);
        program.shared().server.service = line.service;
        program.shared().server.timeoutMs = testtime::ms(2000);
        QSignalSpy failed(&program, &app::Program::failed);
        QSignalSpy ended(&program, &app::Program::ended);
        QVERIFY(!program.start());

        QCOMPARE(failed.size(), 1);
        const QString message = failed.first().first().value<archive::Status>().message();
        QVERIFY2(message.contains(u"«tempolario-mai-definito»"_qs), qPrintable(message));
        QVERIFY2(message.contains(u"server dell'archivio"_qs), qPrintable(message));
        QCOMPARE(ended.size(), 1);
        QCOMPARE(ended.first().first().toInt(), 1);
        QVERIFY(!program.nameWindow().isVisible());
        QVERIFY(!program.shared().archiveDb);
    }
};

QTEST_MAIN(TestCommandLine)
#include "tst_commandline.moc"
