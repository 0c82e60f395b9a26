// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include <QInputDialog>
#include <QLabel>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "archivetesting.h"
#include "screens/builder.h"
#include "testtime.h"
#include "windows/formnome.h"
#include "windowtesting.h"

using session::Modtempar;
using windows::FormNome;

class TestFormNome : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_path;
    std::unique_ptr<Modtempar> m_shared;
    std::unique_ptr<FormNome> m_window;
    std::unique_ptr<QSignalSpy> m_settled;
    std::unique_ptr<QSignalSpy> m_exits;
    QStringList m_failures;

    template <class T = QWidget>
    T* control(const char* name) const {
        return windowtesting::control<T>(m_window.get(), name);
    }
    QListView* list() const { return control<QListView>("List1"); }
    QString entry(int row) const { return list()->model()->index(row, 0).data().toString(); }
    // Picks an entry as a click does: it becomes the current and the selected one.
    void pickRow(int row) const { list()->setCurrentIndex(list()->model()->index(row, 0)); }

    void open(const QStringList& names = {}) {
        windowtesting::addNames(m_path, names);
        m_shared = std::make_unique<Modtempar>();
        m_shared->archivePath = m_path;
        m_window = std::make_unique<FormNome>(*m_shared);
        m_settled = std::make_unique<QSignalSpy>(m_window.get(), &FormNome::nameSettled);
        m_exits = std::make_unique<QSignalSpy>(m_window.get(), &FormNome::exitRequested);
        connect(m_window.get(), &FormNome::failed, this,
                [this](const archive::Status& s) { m_failures << s.message(); });
        QVERIFY(m_window->start());
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get(), testtime::ms(5000)));
    }

    // Types an answer into the input box, or presses "Annulla" when answer is null.
    void typeName(const QString& answer) {
        QString prompt;
        whenModal([&](QWidget* modal) {
            auto* dialog = qobject_cast<QInputDialog*>(modal);
            QVERIFY(dialog);
            QCOMPARE(dialog->windowTitle(), u"Tempolario"_qs);
            QCOMPARE(dialog->okButtonText(), u"OK"_qs);
            QCOMPARE(dialog->cancelButtonText(), u"Annulla"_qs);
            QVERIFY(dialog->textValue().isEmpty());
            prompt = dialog->labelText();
            if (answer.isNull()) {
                dialog->reject();
            } else {
                dialog->setTextValue(answer);
                dialog->accept();
            }
        });
        QTest::mouseClick(control<QPushButton>("cmdNOME"), Qt::LeftButton);
        QCOMPARE(prompt.split(QLatin1Char('\n')),
                 (QStringList{u"Scrivi qui sotto PRIMA il cognome, POI il nome."_qs,
                              u"Prima di premere OK, controlla che non ci siano errori."_qs,
                              u"Se non vuoi registrare il risultato, clicca su 'Annulla'"_qs}));
    }

    QStringList stored() const { return archivetesting::storedNames(m_path); }

private Q_SLOTS:
    void init() {
        QVERIFY(m_dir.isValid());
        QFile::remove(m_dir.filePath(u"tempolario.mdb"_qs));
        m_path = archivetesting::makeArchive(m_dir.path());
        m_failures.clear();
    }
    void cleanup() {
        m_settled.reset();
        m_exits.reset();
        m_window.reset();
        m_shared.reset();
        QVERIFY(m_failures.isEmpty());
    }

    void startsWithTheStoredNames() {
        open({u"Rossi Mario"_qs, u"Bianchi Anna"_qs});
        QCOMPARE(list()->model()->rowCount(), 2);
        QCOMPARE(entry(0), u"Rossi Mario"_qs);
        QCOMPARE(entry(1), u"Bianchi Anna"_qs);
        QVERIFY(!control("CmdOK")->isVisible());
        QVERIFY(control<QLabel>("LabNOME")->text().isEmpty());
        QCOMPARE(m_window->pos(), m_window->screen()->availableGeometry().topLeft());
        m_window->activateWindow();
        QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), static_cast<QWidget*>(list()),
                                  testtime::ms(5000));

        // With CmdOK hidden its place shows the pale rectangle of Label7.
        const QImage shot = m_window->grab().toImage();
        QCOMPARE(QColor(shot.pixel(6700 / 15, 2500 / 15)), QColor(240, 255, 192));
        // Label2 lets the picture show between its letters.
        QVERIFY(QColor(shot.pixel(1330 / 15, 730 / 15)) != screens::colourOf(screens::kButtonFace));
    }

    void pickAndConfirm() {
        open({u"Rossi Mario"_qs, u"Bianchi Anna"_qs});
        pickRow(0);
        pickRow(1);
        QCOMPARE(m_window->pupil().name, u"Bianchi Anna"_qs);
        QCOMPARE(control<QLabel>("LabNOME")->text(), u"Bianchi Anna"_qs);
        QVERIFY(control("CmdOK")->isVisible());
        QTest::mouseClick(control<QPushButton>("CmdOK"), Qt::LeftButton);
        QCOMPARE(m_settled->count(), 1);
        QVERIFY(!m_window->isVisible());
        QVERIFY(control<QLabel>("LabNOME")->text().isEmpty());
        QCOMPARE(stored().size(), 2);
    }

    // The list by arrows and Enter: arrows pick, Enter confirms the picked name; Tab leads
    // on to the buttons, and Enter presses a button as Space does.
    void theListByKeys() {
        open({u"Rossi Mario"_qs, u"Bianchi Anna"_qs, u"Verdi Luca"_qs});
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get(), testtime::ms(5000)));
        QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), static_cast<QWidget*>(list()),
                                  testtime::ms(5000));
        QWindow* w = m_window->windowHandle();
        // Enter on an entry that is only current picks it, and confirms nothing yet.
        QTest::keyClick(w, Qt::Key_Return);
        QCOMPARE(m_window->pupil().name, entry(list()->currentIndex().row()));
        QCOMPARE(m_settled->count(), 0);
        QTest::keyClick(w, Qt::Key_Down);
        QTest::keyClick(w, Qt::Key_Down);
        QTest::keyClick(w, Qt::Key_Up);
        QCOMPARE(m_window->pupil().name, u"Bianchi Anna"_qs);
        QCOMPARE(control<QLabel>("LabNOME")->text(), u"Bianchi Anna"_qs);
        QTest::keyClick(w, Qt::Key_Enter);
        QCOMPARE(m_settled->count(), 1);
        QVERIFY(!m_window->isVisible());
    }

    void theButtonsByKeys_data() {
        QTest::addColumn<Qt::Key>("press");
        QTest::newRow("Space") << Qt::Key_Space;
        QTest::newRow("Enter") << Qt::Key_Return;
    }
    void theButtonsByKeys() {
        QFETCH(Qt::Key, press);
        open({u"Rossi Mario"_qs});
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get(), testtime::ms(5000)));
        QWindow* w = m_window->windowHandle();
        QTest::keyClick(w, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), control("cmdesci"));
        QTest::keyClick(w, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), control("cmdNOME"));
        whenModal([](QWidget* modal) {
            auto* dialog = qobject_cast<QInputDialog*>(modal);
            dialog->setTextValue(u"Neri Ada"_qs);
            dialog->accept();
        });
        QTest::keyClick(w, press);
        QCOMPARE(m_settled->count(), 1);
        QCOMPARE(m_window->pupil().name, u"Neri Ada"_qs);
    }

    void aVanishedNameIsReported() {
        open({u"Rossi Mario"_qs});
        pickRow(0);
        archivetesting::execRaw(m_path, "DELETE FROM tempar");
        QString message;
        whenModal([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            QVERIFY(box);
            message = box->windowTitle() + u": "_qs + box->text();
            box->accept();
        });
        QTest::mouseClick(control<QPushButton>("CmdOK"), Qt::LeftButton);
        QCOMPARE(message, u"Tempolario: nome non trovato"_qs);
        QCOMPARE(m_settled->count(), 0);
        QVERIFY(m_window->isVisible());
        QVERIFY(control("CmdOK")->isVisible());
        QCOMPARE(control<QLabel>("LabNOME")->text(), u"Rossi Mario"_qs);
    }

    void typedNames_data() {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("rows");
        QTest::addColumn<bool>("recorded");
        QTest::newRow("new, tidied") << u"  verdi   luca "_qs << u"verdi luca"_qs << 2 << true;
        QTest::newRow("existing, other case")
            << u"ROSSI MARIO"_qs << u"ROSSI MARIO"_qs << 1 << true;
        QTest::newRow("empty") << u""_qs << u"Anonimo"_qs << 2 << true;
        // The prompt says that "Annulla" records nothing: no row is added.
        QTest::newRow("Annulla") << QString() << u"Anonimo"_qs << 1 << false;
        QTest::newRow("pasted text")
            << QString(5000, QLatin1Char('z')) << QString(5000, QLatin1Char('z')) << 2 << true;
    }
    void typedNames() {
        QFETCH(QString, answer);
        QFETCH(QString, name);
        QFETCH(int, rows);
        QFETCH(bool, recorded);
        open({u"Rossi Mario"_qs});
        pickRow(0);  // the typed name wins over a picked one
        typeName(answer);
        QCOMPARE(m_window->pupil().name, name);
        QCOMPARE(m_settled->count(), 1);
        QVERIFY(!m_window->isVisible());
        QCOMPARE(stored().size(), rows);
        QCOMPARE(m_window->pupil().recorded, recorded);
    }

    void escoAndTheFrameEndTheProgram() {
        open();
        QTest::mouseClick(control<QPushButton>("cmdesci"), Qt::LeftButton);
        QCOMPARE(m_exits->count(), 1);
        m_window->show();
        m_window->close();
        QCOMPARE(m_exits->count(), 2);
        QCOMPARE(m_settled->count(), 0);
    }

    void aMissingArchiveIsAFailure() {
        QFile::remove(m_path);
        Modtempar shared;
        shared.archivePath = m_path;
        FormNome window(shared);
        QSignalSpy failures(&window, &FormNome::failed);
        QVERIFY(!window.start());
        QCOMPARE(failures.count(), 1);
        QVERIFY(!QFile::exists(m_path));
    }
};

QTEST_MAIN(TestFormNome)
#include "tst_formnome.moc"
