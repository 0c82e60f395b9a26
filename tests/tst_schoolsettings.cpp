// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The computer's settings file as the launcher has it read: the service named, or the whole
// Italian message of the fault, with the line it is on.
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "archive/schoolsettings.h"

using archive::SchoolSettings;

class TestSchoolSettings : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void reading_data() {
        // What stands at the path: "text" (the file holding `text`), "nothing", "folder",
        // "link" (to nothing) or "locked" (a file its reader may not read).
        QTest::addColumn<QString>("what");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("service");
        // Between "...in PATH non sono valide: " and ". " with the advice; "unreadable" for
        // the file that cannot be read.
        QTest::addColumn<QString>("fault");

        const QString none = QString();
        QTest::newRow("no file") << "nothing" << QByteArray() << none << none;
        QTest::newRow("empty") << "text" << QByteArray() << none << none;
        QTest::newRow("comments only")
            << "text" << QByteArray("# servizio = x\n\n  # altro\n") << none << none;
        QTest::newRow("plain") << "text" << QByteArray("servizio = lab-1.a_b") << "lab-1.a_b"
                               << none;
        QTest::newRow("no blanks, a comment after")
            << "text" << QByteArray("# scuola\n\n\tservizio=lab-1.a_b   # il server\n")
            << "lab-1.a_b" << none;
        QTest::newRow("CRLF") << "text" << QByteArray("servizio = lab\r\n# fine\r\n") << "lab"
                              << none;
        QTest::newRow("unknown setting") << "text" << QByteArray("#\ncolore = blu\n") << none
                                         << "alla riga 2 «colore» non è un'impostazione "
                                            "conosciuta (c'è solo «servizio»)";
        QTest::newRow("no =") << "text" << QByteArray("servizio lab") << none
                              << "alla riga 1 manca il segno «=» (si scrive «servizio = NOME»)";
        const QString notAName = QStringLiteral(
            "alla riga 1 «%1» non è un nome di servizio (solo lettere senza accenti, cifre e i "
            "segni _ - . senza spazi)");
        for (const char* name : {"lab 1", "lab;rm", "làb", "-x", ""}) {
            QTest::addRow("service «%s»", name)
                << "text" << QByteArray("servizio = ") + name << none << notAName.arg(name);
        }
        QTest::newRow("twice") << "text" << QByteArray("servizio = a\n\nservizio = b\n") << none
                               << "«servizio» compare più di una volta (di nuovo alla riga 3)";
        QTest::newRow("a folder") << "folder" << QByteArray() << none << "unreadable";
        QTest::newRow("a link to nothing") << "link" << QByteArray() << none << "unreadable";
        QTest::newRow("no permission")
            << "locked" << QByteArray("servizio = a") << none << "unreadable";
    }

    void reading() {
        QFETCH(QString, what);
        QFETCH(QByteArray, text);
        QFETCH(QString, service);
        QFETCH(QString, fault);
        if (what == u"locked"_qs && ::geteuid() == 0) {
            QSKIP("root reads every file");
        }
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("archivio.conf"));
        if (what == u"folder"_qs) {
            QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("archivio.conf")));
        } else if (what == u"link"_qs) {
            QVERIFY(QFile::link(dir.filePath(QStringLiteral("altrove")), path));
        } else if (what != u"nothing"_qs) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(text) == text.size());
            file.close();
            QVERIFY(what != u"locked"_qs || file.setPermissions(QFileDevice::WriteOwner));
        }

        const SchoolSettings settings = SchoolSettings::read(path);
        QCOMPARE(settings.service, service);
        const QString advice = QStringLiteral(
            ". Tempolario non parte, perché i risultati finirebbero nel posto sbagliato: chiedi "
            "a chi cura i computer della scuola di correggere il file.");
        const QString prefix = QStringLiteral("Le impostazioni di Tempolario in ") + path;
        if (fault.isEmpty()) {
            QVERIFY2(settings.ok(), qPrintable(settings.fault));
        } else if (fault == u"unreadable"_qs) {
            QCOMPARE(settings.fault, prefix + u" non si possono leggere"_qs + advice);
        } else {
            QCOMPARE(settings.fault, prefix + u" non sono valide: "_qs + fault + advice);
        }
    }

    // The program's command line takes a service by the same rule.
    void serviceNames_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("valid");
        QTest::newRow("letters, digits, signs") << u"Lab-2.a_b"_qs << true;
        QTest::newRow("a digit first") << u"2a"_qs << true;
        QTest::newRow("a sign first") << u"_a"_qs << false;
        QTest::newRow("a dot first") << u".a"_qs << false;
        QTest::newRow("a connection string") << u"host=x"_qs << false;
        QTest::newRow("an accent") << u"città"_qs << false;
    }
    void serviceNames() {
        QFETCH(QString, name);
        QFETCH(bool, valid);
        QCOMPARE(archive::validServiceName(name), valid);
    }
};

QTEST_GUILESS_MAIN(TestSchoolSettings)
#include "tst_schoolsettings.moc"
