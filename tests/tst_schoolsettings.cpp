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

class TestSchoolSettings : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void reading_data() {
        // What stands at the path: "file" (holding text), "nothing", "folder", "link" (to
        // nothing) or "locked" (a file holding text that its reader may not read).
        QTest::addColumn<QString>("what");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("service");
        QTest::addColumn<QString>("fault");  // after "non sono valide: "; "-": unreadable
        const auto row = [](const char* name, const char* what, const char* text,
                            const char* service, const QString& fault = QString()) {
            QTest::newRow(name) << QString::fromUtf8(what) << QByteArray(text)
                                << QString::fromUtf8(service) << fault;
        };
        row("no file", "nothing", "", "");
        row("comments and blanks only", "file", "# servizio = x\n\n  # altro\n", "");
        row("blanks, a tab, a comment, CRLF", "file",
            "# scuola\r\n\r\n\tservizio=2lab-1.a_B   # il server\r\n", "2lab-1.a_B");
        row("unknown setting", "file", "#\ncolore = blu\n", "",
            u"alla riga 2 «colore» non è un'impostazione conosciuta (c'è solo «servizio»)"_qs);
        row("no =", "file", "servizio lab", "",
            u"alla riga 1 manca il segno «=» (si scrive «servizio = NOME»)"_qs);
        for (const char* name : {"lab 1", "lab;rm", "làb", "-x", ".x", ""}) {
            const QString fault =
                u"alla riga 1 «%1» non è un nome di servizio (solo lettere senza "
                "accenti, cifre e i segni _ - . senza spazi)"_qs;
            QTest::addRow("service «%s»", name) << u"file"_qs << QByteArray("servizio = ") + name
                                                << QString() << fault.arg(QString::fromUtf8(name));
        }
        row("twice", "file", "servizio = a\n\nservizio = b\n", "",
            u"«servizio» compare più di una volta (di nuovo alla riga 3)"_qs);
        row("a folder", "folder", "", "", u"-"_qs);
        row("a link to nothing", "link", "", "", u"-"_qs);
        row("no permission", "locked", "servizio = a", "", u"-"_qs);
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
        const QString path = dir.filePath(QStringLiteral("archivio.conf"));
        QFile file(path);
        if (what == u"folder"_qs) {
            QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("archivio.conf")));
        } else if (what == u"link"_qs) {
            QVERIFY(QFile::link(dir.filePath(QStringLiteral("altrove")), path));
        } else if (what != u"nothing"_qs) {
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(text) == text.size());
            file.close();
            QVERIFY(what == u"file"_qs || file.setPermissions(QFileDevice::WriteOwner));
        }

        const archive::SchoolSettings settings = archive::SchoolSettings::read(path);
        QCOMPARE(settings.service, service);
        const QString why =
            fault == u"-"_qs ? u" non si possono leggere"_qs : u" non sono valide: "_qs + fault;
        QCOMPARE(settings.fault,
                 fault.isEmpty() ? QString()
                                 : u"Le impostazioni di Tempolario in "_qs + path + why +
                                       u". Tempolario non parte, perché i risultati finirebbero "
                                       "nel posto sbagliato: chiedi a chi cura i computer della "
                                       "scuola di correggere il file."_qs);
    }
};

QTEST_GUILESS_MAIN(TestSchoolSettings)
#include "tst_schoolsettings.moc"
