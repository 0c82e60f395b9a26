// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
// What a screen reader is told, read through Qt's accessibility interfaces offscreen: roles
// and names the toolkit alone gets wrong, what a box, a date label and the counters say after
// a drop, the set button in force, the grid's name, and label-buttons pressed by a reader.
// The real AT-SPI tree, and the events that announce the changes, are checked by
// tests/e2e/accessibility.sh.
#include <algorithm>

#include <QAccessible>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "app/program.h"
#include "archivetesting.h"
#include "content/spoken.h"
#include "drilltesting.h"
#include "exercise/uniformsource.h"
#include "screens/builder.h"
#include "testtime.h"
#include "windows/formnome.h"
#include "windows/ftempver.h"
#include "windows/risultati.h"
#include "windowtesting.h"

using app::Program;
using exercise::DrillTesting;

namespace {

QAccessibleInterface* accessible(QObject* object) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(object);
    if (!iface) {
        qFatal("no accessible interface for %s", qPrintable(object->objectName()));
    }
    return iface;
}
QString nameOf(QObject* object) {
    return accessible(object)->text(QAccessible::Name);
}
QString descriptionOf(QObject* object) {
    return accessible(object)->text(QAccessible::Description);
}

// What the program announced last in window: the notification that shows in its status bar.
QObject* lastAnnouncement(QWidget* window) {
    const QList<QWidget*> all = window->findChildren<QWidget*>();
    const auto found = std::find_if(all.begin(), all.end(), [](QWidget* child) {
        return child->isVisible() && accessible(child)->role() == QAccessible::Notification;
    });
    return found != all.end() ? *found : nullptr;
}

}  // namespace

class TestAccessibility : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    exercise::ClockUniformSource m_random{31};
    std::unique_ptr<Program> m_program;
    QList<int> m_ends;

    QWidget* control(QWidget* window, const QString& name, int index = -1) const {
        QWidget* found = windowtesting::control(window, name, index);
        if (!found) {
            qFatal("no control %s", qPrintable(name));
        }
        return found;
    }
    windows::Ftempver* exercise() { return m_program->exerciseWindow(); }
    QWidget* box(int k) { return control(exercise(), u"Label2"_qs, k); }
    QWidget* date(int j) { return control(exercise(), u"Label3"_qs, j); }
    QString dateText(int j) { return qobject_cast<QLabel*>(date(j))->text(); }
    QString spokenDate(int j) { return content::spokenDate(dateText(j)); }

    // A box whose row expects date label j's text.
    int rightBox(int j) { return windowtesting::boxFor(*exercise(), j); }
    void drop(int j, int k) { windowtesting::dragDate(*exercise(), j, k); }

    // The road to every window: a stored pupil to list, a typed name, the archive button.
    void openAllWindows() {
        const QString path = archivetesting::makeArchive(m_dir.path());
        windowtesting::addNames(path, {u"Bianchi Anna"_qs});
        m_program = std::make_unique<Program>(m_random, path);
        connect(m_program.get(), &Program::ended, this, [this](int code) { m_ends << code; });
        QVERIFY(m_program->start());
        windowtesting::answerNameBox(u"Rossi Mario"_qs);
        QTest::mouseClick(
            qobject_cast<QPushButton*>(control(&m_program->nameWindow(), u"cmdNOME"_qs)),
            Qt::LeftButton);
        QVERIFY(exercise() && exercise()->isVisible());
        QTest::mouseClick(qobject_cast<QPushButton*>(control(exercise(), u"cmdarchivio"_qs)),
                          Qt::LeftButton);
        QVERIFY(m_program->resultsWindow() && m_program->resultsWindow()->isVisible());
    }
    QWidget* window(const QString& which) {
        return which == u"exercise"_qs ? static_cast<QWidget*>(exercise())
                                       : m_program->resultsWindow();
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_dir.isValid()); }
    void init() {
        QFile::remove(m_dir.filePath(u"tempolario.mdb"_qs));
        m_ends.clear();
    }
    void cleanup() {
        QTRY_VERIFY_WITH_TIMEOUT(!QApplication::activeModalWidget(), testtime::ms(5000));
        m_program.reset();
    }

    // Roles and names that the toolkit alone would get wrong: label-buttons would be text,
    // with the blanks that place "OK," on a line of its own; a window a mere filler; a class
    // button a bare "1°".
    void controlsHaveTheirRoleAndName_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("control");  // empty: the window itself
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("role");
        QTest::addColumn<QString>("name");
        QTest::newRow("exercise window")
            << u"exercise"_qs << QString() << -1 << static_cast<int>(QAccessible::Window)
            << u"TEMPOLARIO DEI FATTI IMPORTANTI: clicca sulle date e trascinale nelle caselle a "
               u"sinistra."_qs;
        QTest::newRow("class I") << u"exercise"_qs << u"Cmd1"_qs << 0
                                 << static_cast<int>(QAccessible::Button) << u"prima classe"_qs;
        // A date is picked and a box takes it: both are pressed, so both are buttons.
        QTest::newRow("box") << u"exercise"_qs << u"Label2"_qs << 0
                             << static_cast<int>(QAccessible::Button)
                             << u"Casella della riga 1: vuota"_qs;
        QTest::newRow("search label-button")
            << u"results"_qs << u"LabCERCA"_qs << -1 << static_cast<int>(QAccessible::Button)
            << u"OK, mostra i risultati"_qs;
        QTest::newRow("back label-button") << u"results"_qs << u"Labtorna"_qs << -1
                                           << static_cast<int>(QAccessible::Button) << u"TORNA"_qs;
        QTest::newRow("exit label-button") << u"results"_qs << u"Labesci"_qs << -1
                                           << static_cast<int>(QAccessible::Button) << u"Esco"_qs;
    }
    void controlsHaveTheirRoleAndName() {
        QFETCH(QString, window);
        QFETCH(QString, control);
        QFETCH(int, index);
        QFETCH(int, role);
        QFETCH(QString, name);
        openAllWindows();
        QObject* object = control.isEmpty() ? this->window(window)
                                            : this->control(this->window(window), control, index);
        QCOMPARE(static_cast<int>(accessible(object)->role()), role);
        QCOMPARE(nameOf(object), name);
    }

    // A box's row and outcome, and the date label's and counters' words, after each drop.
    void dropsAreSpoken_data() {
        QTest::addColumn<QString>("drops");  // on one box: r a right date, w a wrong one
        QTest::addColumn<QString>("outcome");
        QTest::addColumn<bool>("placed");  // the right date label says it is placed
        QTest::addColumn<QString>("exercise");
        QTest::addColumn<QString>("totals");
        QTest::newRow("right") << u"r"_qs << u"giusto"_qs << true
                               << u"Giuste nell'esercizio attuale: 1 su 1"_qs
                               << u"Giuste in totale: 1 su 1"_qs;
        QTest::newRow("wrong") << u"w"_qs << u"sbagliato"_qs << false
                               << u"Giuste nell'esercizio attuale: 0 su 1"_qs
                               << u"Giuste in totale: 0 su 1"_qs;
        QTest::newRow("wrong, then right")
            << u"wr"_qs << u"giusto"_qs << true << u"Giuste nell'esercizio attuale: 1 su 2"_qs
            << u"Giuste in totale: 1 su 2"_qs;
        // The box turns wrong; the date label placed before stays placed.
        QTest::newRow("right, then wrong")
            << u"rw"_qs << u"sbagliato"_qs << true << u"Giuste nell'esercizio attuale: 1 su 2"_qs
            << u"Giuste in totale: 1 su 2"_qs;
    }
    void dropsAreSpoken() {
        QFETCH(QString, drops);
        QFETCH(QString, outcome);
        QFETCH(bool, placed);
        QFETCH(QString, exercise);
        QFETCH(QString, totals);
        openAllWindows();
        m_program->resultsWindow()->hide();
        const int j = 3;
        const int k = rightBox(j);
        QVERIFY(k >= 0);
        const QString row = QString::number(k + 1);
        QCOMPARE(nameOf(box(k)), u"Casella della riga %1: vuota"_qs.arg(row));
        // The box is described by its row's fact, which the fact's own label reads too.
        QVERIFY(!descriptionOf(box(k)).isEmpty());
        QCOMPARE(nameOf(control(this->exercise(), u"Label1"_qs, k)),
                 u"Riga %1: "_qs.arg(row) + descriptionOf(box(k)));

        int wrongLabel = -1;
        for (int other = 0; other < 10 && wrongLabel < 0; ++other) {
            if (dateText(other) != dateText(j)) {
                wrongLabel = other;
            }
        }
        for (const QChar kind : drops) {
            drop(kind == u'r' ? j : wrongLabel, k);
        }
        const QString shown = drops.back() == u'r' ? spokenDate(j) : spokenDate(wrongLabel);
        QCOMPARE(nameOf(box(k)), u"Casella della riga %1: %2, %3"_qs.arg(row, shown, outcome));
        QCOMPARE(nameOf(date(j)),
                 placed ? u"Data %1, già messa nella casella giusta"_qs.arg(spokenDate(j))
                        : u"Data %1"_qs.arg(spokenDate(j)));
        QCOMPARE(nameOf(control(this->exercise(), u"Label4"_qs)), exercise);
        QCOMPARE(nameOf(control(this->exercise(), u"Label10"_qs)), totals);

        // The next exercise empties every box, and the counters of the exercise.
        QTest::mouseClick(qobject_cast<QPushButton*>(control(this->exercise(), u"cmdnuovo"_qs)),
                          Qt::LeftButton);
        QCOMPARE(nameOf(box(k)), u"Casella della riga %1: vuota"_qs.arg(row));
        QVERIFY(!nameOf(date(j)).contains(u"giusta"_qs));
        QVERIFY(nameOf(control(this->exercise(), u"Label4"_qs)).endsWith(u": 0 su 0"_qs));
        QCOMPARE(nameOf(control(this->exercise(), u"Label10"_qs)), totals);
    }

    // The set button in force says so; it blinks on screen, and the blinking changes nothing
    // that is said.
    void setButtonsSayWhichSetIsInForce() {
        openAllWindows();
        QWidget* whole = control(exercise(), u"cmd0"_qs);
        QWidget* fourth = control(exercise(), u"Cmd1"_qs, 3);
        QTest::mouseClick(qobject_cast<QPushButton*>(fourth), Qt::LeftButton);
        for (int tick = 0; tick < 3; ++tick) {
            QVERIFY(QMetaObject::invokeMethod(exercise()->timer(), "timeout"));
            QCOMPARE(descriptionOf(whole), QString());
            QCOMPARE(descriptionOf(fourth), u"scelta attuale"_qs);
            QCOMPARE(nameOf(fourth), u"quarta classe"_qs);
        }
    }

    // A screen reader presses a label-button as it presses a push button.
    void labelButtonsCanBePressed() {
        openAllWindows();
        QAccessibleActionInterface* back =
            accessible(control(m_program->resultsWindow(), u"Labtorna"_qs))->actionInterface();
        QVERIFY(back);
        QVERIFY(back->actionNames().contains(QAccessibleActionInterface::pressAction()));
        back->doAction(QAccessibleActionInterface::pressAction());
        QTRY_VERIFY_WITH_TIMEOUT(!m_program->resultsWindow()->isVisible(), testtime::ms(5000));

        QTest::mouseClick(qobject_cast<QPushButton*>(control(exercise(), u"cmdarchivio"_qs)),
                          Qt::LeftButton);
        accessible(control(m_program->resultsWindow(), u"Labesci"_qs))
            ->actionInterface()
            ->doAction(QAccessibleActionInterface::pressAction());
        QTRY_COMPARE_WITH_TIMEOUT(m_ends, QList<int>{0}, testtime::ms(5000));
    }

    // A screen reader's press picks a date, which then says so, and a press on a box places
    // it there, judged like a drop.
    void datesArePickedAndPlacedByPresses() {
        openAllWindows();
        m_program->resultsWindow()->hide();
        const int j = 2;
        const int k = rightBox(j);
        QVERIFY(k >= 0);
        const auto press = [](QWidget* widget) {
            QAccessibleActionInterface* action = accessible(widget)->actionInterface();
            QVERIFY(action);
            action->doAction(QAccessibleActionInterface::pressAction());
        };
        QCOMPARE(static_cast<int>(accessible(date(j))->role()),
                 static_cast<int>(QAccessible::Button));
        press(date(j));
        QTRY_COMPARE_WITH_TIMEOUT(nameOf(date(j)), u"Data %1, scelta"_qs.arg(spokenDate(j)),
                                  testtime::ms(5000));
        press(box(k));
        QTRY_COMPARE_WITH_TIMEOUT(
            nameOf(box(k)),
            u"Casella della riga %1: %2, giusto"_qs.arg(QString::number(k + 1), spokenDate(j)),
            testtime::ms(5000));
        QCOMPARE(nameOf(date(j)), u"Data %1, già messa nella casella giusta"_qs.arg(spokenDate(j)));
        QCOMPARE(nameOf(control(exercise(), u"Label4"_qs)),
                 u"Giuste nell'esercizio attuale: 1 su 1"_qs);
    }

    // Each key of the exercise says what it did, once, at once; a blink of the set button in
    // force says nothing.
    void keysAreAnnounced_data() {
        QTest::addColumn<QString>("keys");  // p: Space on the date, e: Esc, b: Space on its box
        QTest::addColumn<QStringList>("heard");  // %1 the date as read, %2 its box's row
        QTest::newRow("pick") << u"p"_qs << QStringList{u"%1 scelta"_qs};
        QTest::newRow("pick let go")
            << u"pe"_qs << QStringList{u"%1 scelta"_qs, u"scelta annullata"_qs};
        QTest::newRow("nothing picked") << u"b"_qs << QStringList{u"prima scegli una data"_qs};
        QTest::newRow("placed") << u"pb"_qs
                                << QStringList{
                                       u"%1 scelta"_qs,
                                       u"Casella della riga %2: %1, giusto. 1 giuste su 1"_qs};
    }
    void keysAreAnnounced() {
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
        QSKIP("announcements are the toolkit's own events, which only a screen reader hears");
#endif
        QFETCH(QString, keys);
        QFETCH(QStringList, heard);
        openAllWindows();
        m_program->resultsWindow()->hide();
        const int j = 4;
        const int k = rightBox(j);
        QVERIFY(k >= 0);
        // Each new announcement is a notification of its own that appears; one unchanged is
        // not said again.
        QStringList announced;
        QObject* last = lastAnnouncement(exercise());
        const auto listen = [&] {
            QObject* now = lastAnnouncement(exercise());
            if (now != last && now) {
                announced << nameOf(now);
            }
            last = now;
        };
        for (const QChar press : keys) {
            QWidget* target = press == u'b' ? box(k) : date(j);
            target->setFocus();
            QTest::keyClick(target, press == u'e' ? Qt::Key_Escape : Qt::Key_Space);
            listen();
        }
        for (int tick = 0; tick < 3; ++tick) {
            QVERIFY(QMetaObject::invokeMethod(exercise()->timer(), "timeout"));
            listen();
        }
        for (QString& line : heard) {
            line = line.arg(spokenDate(j), QString::number(k + 1));
        }
        QCOMPARE(announced, heard);
    }

    // Each window is read in the order the eye reads it, each counter once.
    void windowsAreReadInOrder_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QStringList>("names");  // in this order, among the named children
        QTest::newRow("name") << u"name"_qs
                              << QStringList{u"Elenco dei nomi presenti in archivio"_qs,
                                             u"Nome selezionato:"_qs, u"INSERISCO IL MIO NOME"_qs,
                                             u"Esco"_qs};
        QTest::newRow("exercise") << u"exercise"_qs
                                  << QStringList{u"Riga 1: "_qs,
                                                 u"Casella della riga 1: "_qs,
                                                 u"Data "_qs,
                                                 u"Riga 2: "_qs,
                                                 u"Giuste nell'esercizio attuale: 0 su 0"_qs,
                                                 u"Giuste in totale: 0 su 0"_qs,
                                                 u"ESERCIZIO SUCCESSIVO"_qs,
                                                 u"Tempolario completa"_qs,
                                                 u"quarta classe"_qs,
                                                 u"prima classe"_qs,
                                                 u"ESCO"_qs};
        QTest::newRow("results") << u"results"_qs
                                 << QStringList{u"Risultati di Rossi Mario"_qs,
                                                u"Risultati di Rossi Mario"_qs,
                                                u"Cognome da cercare"_qs,
                                                u"Nome da cercare"_qs,
                                                u"OK, mostra i risultati"_qs,
                                                u"TORNA"_qs,
                                                u"Esco"_qs};
    }
    void windowsAreReadInOrder() {
        QFETCH(QString, window);
        QFETCH(QStringList, names);
        openAllWindows();
        QWidget* shown = window == u"name"_qs ? &m_program->nameWindow() : this->window(window);
        QAccessibleInterface* tree = accessible(shown);
        QStringList read;
        for (int i = 0; i < tree->childCount(); ++i) {
            const QString name = tree->child(i)->text(QAccessible::Name);
            if (!name.isEmpty()) {
                read << name;
            }
            QCOMPARE(tree->indexOfChild(tree->child(i)), i);
        }
        qsizetype at = 0;
        for (const QString& name : names) {
            const auto found = std::find_if(read.begin() + at, read.end(),
                                            [&](const QString& r) { return r.startsWith(name); });
            QVERIFY2(found != read.end(),
                     qPrintable(name + u" in order, in "_qs + read.join(u" | ")));
            at = found - read.begin() + 1;
        }
        // The bare figures of the counters are not read apart from their sentences.
        QVERIFY2(!read.contains(u"0"_qs), qPrintable(read.join(u" | ")));
    }

    // The grid says whose results it shows, following a search; a name not found leaves it.
    void gridSaysWhoseResults() {
        openAllWindows();
        windows::Risultati* results = m_program->resultsWindow();
        qobject_cast<QLineEdit*>(control(results, u"Text2"_qs))->setText(u"bianchi"_qs);
        qobject_cast<QLineEdit*>(control(results, u"Text1"_qs))->setText(u"anna"_qs);
        accessible(control(results, u"LabCERCA"_qs))
            ->actionInterface()
            ->doAction(QAccessibleActionInterface::pressAction());
        QTRY_COMPARE_WITH_TIMEOUT(nameOf(control(results, u"Grid5"_qs)),
                                  u"Risultati di BIANCHI ANNA"_qs, testtime::ms(5000));

        qobject_cast<QLineEdit*>(control(results, u"Text2"_qs))->setText(u"verdi"_qs);
        QString message;
        whenModal([&message](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            message = box->text();
            box->accept();
        });
        accessible(control(results, u"LabCERCA"_qs))
            ->actionInterface()
            ->doAction(QAccessibleActionInterface::pressAction());
        QTRY_COMPARE_WITH_TIMEOUT(message, u"Nome non trovato"_qs, testtime::ms(5000));
        QCOMPARE(nameOf(control(results, u"Grid5"_qs)), u"Risultati di BIANCHI ANNA"_qs);
    }
};

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
