// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The program's windows together, offscreen: the pupil's road from the name window through
// the drill to the results window, and the stores made on the way.
#include <algorithm>
#include <cmath>

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

#include "app/program.h"
#include "archive/namekey.h"
#include "archivetesting.h"
#include "drilltesting.h"
#include "enginetesting.h"
#include "exercise/uniformsource.h"
#include "screens/builder.h"
#include "screens/grid.h"
#include "session/outcometext.h"
#include "testtime.h"
#include "windows/formnome.h"
#include "windows/ftempver.h"
#include "windows/risultati.h"
#include "windowtesting.h"

using app::Program;
using exercise::DrillTesting;

namespace {

struct Stored {
    QString name;
    QVariant right;
    QVariant given;
    QVariant when;
};

}  // namespace

class TestProgram : public QObject {
    Q_OBJECT

private:
    enginetesting::ArchiveUnderTest m_archive;
    exercise::ClockUniformSource m_random{77};
    std::unique_ptr<Program> m_program;
    QList<int> m_ends;
    QStringList m_failures;
    QStringList m_messages;
    QStringList m_storeFailures;
    QDateTime m_now;
    std::unique_ptr<enginetesting::HeldArchive> m_lock;
    // Answers to failed stores, in order, and the ways back offered with each.
    QList<Program::StoreChoice> m_choices;
    QList<bool> m_backOffered;
    std::function<void()> m_beforeChoice;

    static QWidget* control(QWidget* window, const char* name, int index = -1) {
        return windowtesting::control(window, name, index);
    }
    windows::Ftempver* exerciseWindow() { return m_program->exerciseWindow(); }
    windows::Risultati* results() { return m_program->resultsWindow(); }
    screens::Grid* grid() { return qobject_cast<screens::Grid*>(control(results(), "Grid5")); }
    QString gridRow() {
        return QStringList{grid()->text(1, 0), grid()->text(1, 1), grid()->text(1, 2),
                           grid()->text(1, 3)}
            .join(QLatin1Char('|'));
    }

    void startProgram(const QStringList& names = {}) {
        for (const QString& name : names) {
            m_archive.rawExec(QStringLiteral("INSERT INTO tempar (nome) VALUES ('%1')").arg(name));
        }
        m_program = std::make_unique<Program>(m_random, m_archive.path());
        connect(m_program.get(), &Program::ended, this, [this](int code) { m_ends << code; });
        connect(m_program.get(), &Program::failed, this,
                [this](const archive::Status& s) { m_failures << s.message(); });
        m_program->clock = [this] { return m_now; };
        m_program->onStoreFailed = [this](const archive::Status& status, bool canGoBack) {
            m_storeFailures << status.message();
            m_backOffered << canGoBack;
            if (m_beforeChoice) {
                m_beforeChoice();
            }
            return m_choices.isEmpty() ? Program::StoreChoice::Leave : m_choices.takeFirst();
        };
        // The server's shortest time-out: long enough to sign in, as it grows with the
        // machine's load like every deadline here, and a held archive's store waits half of
        // it, twice in the tests of a failed store, so that a longer one only adds waiting.
        m_archive.point(m_program->shared(), m_archive.server() ? 1000 : 100);
        QVERIFY(m_program->start());
    }

    // Types a name into the name window's input box.
    void typeName(const QString& name) {
        windowtesting::answerNameBox(name);
        press(&m_program->nameWindow(), "cmdNOME");
        QVERIFY(exerciseWindow() && exerciseWindow()->isVisible());
    }

    // Drops, through the drill's own drop path, `right` right and `wrong` wrong dates.
    void answer(int right, int wrong) {
        windowtesting::placeDates(*exerciseWindow(), right, wrong);
    }

    void press(QWidget* window, const char* name) {
        QTest::mouseClick(qobject_cast<QPushButton*>(control(window, name)), Qt::LeftButton);
    }
    void clickLabel(const char* name) {
        QWidget* label = control(results(), name);
        QTest::mouseClick(label, Qt::LeftButton, {}, label->rect().center());
    }
    void search(const QString& surname, const QString& first) {
        qobject_cast<QLineEdit*>(control(results(), "Text2"))->setText(surname);
        qobject_cast<QLineEdit*>(control(results(), "Text1"))->setText(first);
        whenModalIfAny();
        clickLabel("LabCERCA");
    }
    // Answers a message box if one comes up, remembering its text.
    void whenModalIfAny() {
        whenModal([this](QWidget* modal) {
            if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                m_messages << box->windowTitle() + u": "_qs + box->text();
                box->accept();
            }
        });
    }

    // A name's row, found and read as the name window and the results window find it.
    Stored stored(const QString& key) {
        Stored row;
        for (const QString& name : m_archive.storedNames()) {
            if (archive::nameKey(name) == archive::nameKey(key)) {
                row.name = name;
            }
        }
        const archive::Outcome outcome = m_archive.outcomeOf(key);
        row.right = outcome.right;
        row.given = outcome.given;
        row.when = outcome.when;
        return row;
    }

    // Holds the archive's write lock from another connection, as another program would.
    void lockArchive() {
        QVERIFY(!m_lock);
        m_lock = std::make_unique<enginetesting::HeldArchive>(m_archive, false);
    }
    void unlockArchive() { m_lock.reset(); }

private Q_SLOTS:
    void initTestCase() {
        ENGINE_INIT();
        QVERIFY(app::loadQtItalian());
    }
    void init() {
        m_archive.makeEmpty();
        m_ends.clear();
        m_failures.clear();
        m_messages.clear();
        m_storeFailures.clear();
        m_choices.clear();
        m_backOffered.clear();
        m_beforeChoice = nullptr;
        m_now = QDateTime(QDate(2026, 3, 14), QTime(10, 30, 15));
    }
    void cleanup() {
        // Stray message boxes would block later tests.
        QTRY_VERIFY_WITH_TIMEOUT(!QApplication::activeModalWidget(), testtime::ms(5000));
        if (m_lock) {
            unlockArchive();
        }
        m_program.reset();
        QVERIFY2(m_failures.isEmpty(), qPrintable(m_failures.join(u"\n"_qs)));
    }

    // A new pupil types a name, answers eight right and two wrong, and looks at the archive.
    void theRoadOfOneExercise() {
        startProgram();
        typeName(u"Rossi Mario"_qs);
        QVERIFY(!m_program->nameWindow().isVisible());
        Stored row = stored(u"rossi mario"_qs);
        QCOMPARE(row.name, u"Rossi Mario"_qs);
        QVERIFY(row.right.isNull() && row.given.isNull() && row.when.isNull());

        answer(8, 2);
        QCOMPARE(qobject_cast<QLabel*>(control(exerciseWindow(), "Label5"))->text(), u"8"_qs);
        QCOMPARE(qobject_cast<QLabel*>(control(exerciseWindow(), "Label8"))->text(), u"10"_qs);
        press(exerciseWindow(), "cmdarchivio");
        row = stored(u"Rossi Mario"_qs);
        QCOMPARE(row.right.toInt(), 8);
        QCOMPARE(row.given.toInt(), 10);
        QCOMPARE(row.when.toDateTime(), m_now);

        QVERIFY(results() && results()->isVisible());
        QVERIFY(exerciseWindow()->isVisible());
        QCOMPARE(grid()->text(0, 1), u"Giusti"_qs);
        QCOMPARE(grid()->text(0, 2), u"Su"_qs);
        QCOMPARE(grid()->text(0, 3), u"Quando"_qs);
        QCOMPARE(gridRow(), u"Tempolario|8|10|"_qs + session::outcomeText(m_now));
        QVERIFY(session::outcomeText(m_now).contains(u"10:30:15"_qs));
        QCOMPARE(qobject_cast<QLabel*>(control(results(), "LabNOME"))->text(), u"Rossi Mario"_qs);
        // 2200 and 2600 twips at the window's zoom (147 and 173 pixels at zoom 1).
        const double zoom = results()->controls().zoom();
        QCOMPARE(grid()->columnWidthPixels(0), screens::pixels(2200, zoom));
        QCOMPARE(grid()->columnWidthPixels(3), screens::pixels(2600, zoom));
        QVERIFY(!control(results(), "CMDAGGIORNA")->isVisible());
        // The design's hidden refresh button still reads the archive again when clicked.
        m_archive.rawExec(u"UPDATE tempar SET giuste = 9"_qs);
        qobject_cast<QAbstractButton*>(control(results(), "CMDAGGIORNA"))->click();
        QCOMPARE(gridRow(), u"Tempolario|9|10|"_qs + session::outcomeText(m_now));

        // Owned by the exercise window, so a click on that window never hides it.
        QCOMPARE(results()->parentWidget(), exerciseWindow());
        QVERIFY(results()->isWindow());
        QCOMPARE(results()->windowHandle()->transientParent(), exerciseWindow()->windowHandle());

        // The grid's empty areas, under the row heading and right of "Quando", show the
        // grid's own colour, not the window's dark one; the heading row is a row's height.
        QVERIFY(QTest::qWaitForWindowExposed(results(), testtime::ms(5000)));
        const QImage shot = results()->grab().toImage();
        const QHeaderView* top = grid()->horizontalHeader();
        const QHeaderView* side = grid()->verticalHeader();
        const QPoint rightOfQuando(top->geometry().x() + top->length() + 4,
                                   top->geometry().center().y());
        const QPoint underHeading(side->geometry().center().x(),
                                  side->geometry().y() + side->length() + 4);
        for (const QPoint& at : {rightOfQuando, underHeading}) {
            QCOMPARE(QColor(shot.pixel(grid()->mapTo(results(), at))), QColor(233, 233, 233));
        }
        QCOMPARE(top->height(), side->sectionSize(0));
    }

    // Two stores in a row: the later time and the grown totals; a new run starts from 0.
    void storesOverwriteTheRow() {
        startProgram({u"Bianchi Anna"_qs});
        typeName(u"BIANCHI ANNA"_qs);
        answer(2, 1);
        press(exerciseWindow(), "cmdarchivio");
        m_now = m_now.addSecs(60);
        answer(1, 0);
        press(exerciseWindow(), "cmdarchivio");
        Stored row = stored(u"bianchi anna"_qs);
        QCOMPARE(row.name, u"BIANCHI ANNA"_qs);  // the store takes the letter case typed now
        QCOMPARE(row.right.toInt(), 3);
        QCOMPARE(row.given.toInt(), 4);
        QCOMPARE(row.when.toDateTime(), m_now);
        QCOMPARE(gridRow(), u"Tempolario|3|4|"_qs + session::outcomeText(m_now));
        // Every placement of the run once, stored with the totals.
        QCOMPARE(m_archive.placementCount(), 4);

        // A new run under the same name: its first store replaces the larger totals.
        m_program.reset();
        startProgram();
        typeName(u"Bianchi Anna"_qs);
        answer(0, 1);
        press(exerciseWindow(), "cmdarchivio");
        row = stored(u"bianchi anna"_qs);
        QCOMPARE(row.right.toInt(), 0);
        QCOMPARE(row.given.toInt(), 1);
        QCOMPARE(gridRow(), u"Tempolario|0|1|"_qs + session::outcomeText(m_now));
        QCOMPARE(m_program->shared().archiveDb != nullptr, true);
        // and adds its placement to the history, as a run of its own.
        QCOMPARE(m_archive.placementCount(), 5);
        QCOMPARE(m_archive.rawValue(u"SELECT count(DISTINCT giro) FROM risposte"_qs), u"2"_qs);
    }

    void searchingOtherPupils() {
        startProgram({u"Verdi Luca"_qs, u"Neri Ada"_qs, u"Anonimo"_qs});
        m_archive.rawExec(
            u"UPDATE tempar SET giuste = 5, sbagliate = 9, data = "
            "'2025-12-01T09:00:00' WHERE nome = 'Verdi Luca';"
            "UPDATE tempar SET giuste = 1, sbagliate = 2, data = "
            "'2025-12-01T09:00:00' WHERE nome = 'Anonimo'"_qs);
        typeName(u"Rossi Mario"_qs);
        answer(1, 1);
        press(exerciseWindow(), "cmdarchivio");

        // In small letters, surname then first name.
        search(u" verdi "_qs, u"luca"_qs);
        QCOMPARE(results()->view().shownName(), u"VERDI LUCA"_qs);
        // The search changes the name shown, never the pupil in force.
        QCOMPARE(m_program->shared().currentName, u"Rossi Mario"_qs);
        QCOMPARE(gridRow().section(u'|', 1, 2), u"5|9"_qs);
        QCOMPARE(qobject_cast<QLabel*>(control(results(), "LabNOME"))->text(), u"VERDI LUCA"_qs);

        // A pupil never stored shows empty cells, not the previous pupil's figures.
        search(u"Neri"_qs, u"Ada"_qs);
        QCOMPARE(gridRow(), u"Tempolario|||"_qs);

        // Only the surname: no two-word name matches "NERI".
        search(u"Neri"_qs, QString());
        QCOMPARE(m_messages.takeLast(), u"Tempolario: Nome non trovato"_qs);
        QCOMPARE(results()->view().shownName(), u"NERI"_qs);
        QCOMPARE(gridRow(), u"Tempolario|||"_qs);
        QCOMPARE(qobject_cast<QLabel*>(control(results(), "LabNOME"))->text(), u"NERI ADA"_qs);

        // Both empty: the message, and nothing else changes.
        search(u"  "_qs, QString());
        QCOMPARE(m_messages.takeLast(), u"Tempolario: Il tuo nome non è completo.."_qs);
        QCOMPARE(results()->view().shownName(), u"NERI"_qs);

        // A one-word name is found with the first-name box empty.
        search(u" anonimo"_qs, u" "_qs);
        QCOMPARE(results()->view().shownName(), u"ANONIMO"_qs);
        QCOMPARE(gridRow().section(u'|', 1, 2), u"1|2"_qs);

        // A store with the searched name still shown goes to the pupil's own row.
        answer(1, 0);
        press(exerciseWindow(), "cmdarchivio");
        QCOMPARE(stored(u"Rossi Mario"_qs).given.toInt(), 3);
        QCOMPARE(stored(u"Verdi Luca"_qs).given.toInt(), 9);
        QCOMPARE(gridRow().section(u'|', 1, 2), u"2|3"_qs);
        QCOMPARE(results()->view().shownName(), u"Rossi Mario"_qs);

        // Search, then TORNA, then store: the pupil's row again.
        search(u"verdi"_qs, u"luca"_qs);
        search(u"neri"_qs, u"ada"_qs);
        clickLabel("Labtorna");
        QVERIFY(!results()->isVisible());
        QCOMPARE(results()->view().shownName(), u"Rossi Mario"_qs);
        press(exerciseWindow(), "cmdarchivio");
        QVERIFY(results()->isVisible());
        QCOMPARE(stored(u"Rossi Mario"_qs).given.toInt(), 3);

        // Closing the results window by its frame goes back too.
        search(u"verdi"_qs, u"luca"_qs);
        results()->close();
        QCOMPARE(results()->view().shownName(), u"Rossi Mario"_qs);
        QVERIFY(m_ends.isEmpty());
    }

    // The results window by keys alone: Tab reaches the search boxes, the three label-buttons
    // and the grid; Enter in a box searches; Space and Enter press a label-button; Esc goes
    // back, and the exercise window takes the keys again.
    void resultsWindowByKeys() {
        startProgram({u"Verdi Luca"_qs});
        m_archive.rawExec(
            u"UPDATE tempar SET giuste = 5, sbagliate = 9 WHERE nome = 'Verdi Luca'"_qs);
        typeName(u"Rossi Mario"_qs);
        press(exerciseWindow(), "cmdarchivio");
        QVERIFY(QTest::qWaitForWindowActive(results(), testtime::ms(5000)));
        QWindow* w = results()->windowHandle();
        QCOMPARE(QApplication::focusWidget(), control(results(), "Text2"));
        const QList<QWidget*> chain{control(results(), "Text1"),   control(results(), "LabCERCA"),
                                    control(results(), "Grid5"),   control(results(), "Labtorna"),
                                    control(results(), "Labesci"), control(results(), "Text2")};
        for (const QWidget* next : chain) {
            QTest::keyClick(w, Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
        // Enter in the surname box searches.
        QTest::keyClicks(QApplication::focusWidget(), u"verdi"_qs);
        QTest::keyClick(w, Qt::Key_Tab);
        QTest::keyClicks(QApplication::focusWidget(), u"luca"_qs);
        QTest::keyClick(w, Qt::Key_Backtab);
        QTest::keyClick(w, Qt::Key_Return);
        QCOMPARE(results()->view().shownName(), u"VERDI LUCA"_qs);
        QCOMPARE(gridRow().section(u'|', 1, 2), u"5|9"_qs);
        // Esc: back, and the exercise window is the active one again.
        QTest::keyClick(w, Qt::Key_Escape);
        QVERIFY(!results()->isVisible());
        QCOMPARE(results()->view().shownName(), u"Rossi Mario"_qs);
        QTRY_VERIFY_WITH_TIMEOUT(exerciseWindow()->isActiveWindow(), testtime::ms(5000));

        const auto pressLabel = [&](const char* name, Qt::Key key) {
            press(exerciseWindow(), "cmdarchivio");
            QVERIFY(QTest::qWaitForWindowActive(results(), testtime::ms(5000)));
            control(results(), name)->setFocus();
            QTest::keyClick(results()->windowHandle(), key);
        };
        pressLabel("LabCERCA", Qt::Key_Space);
        QCOMPARE(results()->view().shownName(), u"VERDI LUCA"_qs);
        pressLabel("Labtorna", Qt::Key_Enter);
        QVERIFY(!results()->isVisible());
        QCOMPARE(results()->view().shownName(), u"Rossi Mario"_qs);
        pressLabel("Labtorna", Qt::Key_Space);
        QVERIFY(!results()->isVisible());
        QVERIFY(m_ends.isEmpty());
        pressLabel("Labesci", Qt::Key_Return);
        QCOMPARE(m_ends, QList<int>{0});
    }

    // The focus frame shows on the results window's dark backgrounds as on the pale ones:
    // next to whatever surrounds it, one of its two rings stands out at 3:1 or more.
    void focusFrameOnTheResultsWindow_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("surname box") << u"Text2"_qs;
        QTest::newRow("first-name box") << u"Text1"_qs;
        QTest::newRow("search") << u"LabCERCA"_qs;
        QTest::newRow("grid") << u"Grid5"_qs;
        QTest::newRow("TORNA") << u"Labtorna"_qs;
        QTest::newRow("Esco") << u"Labesci"_qs;
    }
    void focusFrameOnTheResultsWindow() {
        QFETCH(QString, name);
        startProgram();
        typeName(u"Rossi Mario"_qs);
        press(exerciseWindow(), "cmdarchivio");
        QVERIFY(QTest::qWaitForWindowActive(results(), testtime::ms(5000)));
        QWidget* focused = screens::findControl(results(), name);
        focused->setFocus();
        QCOMPARE(QApplication::focusWidget(), focused);
        const QImage shot = results()->grab().toImage();
        const qreal ratio = shot.devicePixelRatio();
        const auto at = [&](int x, int y) {
            return QColor(shot.pixel(static_cast<int>(x * ratio), static_cast<int>(y * ratio)));
        };
        // Across the top edge, a little in from the left: outside, white ring, black ring.
        const QRect r = focused->geometry();
        const int x = r.left() + qMin(20, r.width() / 2);
        QCOMPARE(at(x, r.top() - 3), QColor(Qt::white));
        QCOMPARE(at(x, r.top() - 1), QColor(Qt::black));
        const QColor outside = at(x, r.top() - 6);
        const double best = std::max(windowtesting::contrastRatio(outside, Qt::white),
                                     windowtesting::contrastRatio(outside, Qt::black));
        QVERIFY2(best >= 3.0, qPrintable(QString::number(best)));
    }

    void exitsCloseTheArchive_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("stores");
        QTest::newRow("ESCO") << u"ESCO"_qs << true;
        QTest::newRow("exercise window frame") << u"frame"_qs << true;
        // Answers given after "Vedo l'archivio" are not lost to the results window's exit.
        QTest::newRow("results Esco") << u"Esco"_qs << true;
    }
    void exitsCloseTheArchive() {
        QFETCH(QString, how);
        QFETCH(bool, stores);
        startProgram();
        typeName(u"Gialli Ugo"_qs);
        press(exerciseWindow(), "cmdarchivio");
        answer(3, 0);
        m_now = m_now.addSecs(5);
        if (how == u"ESCO"_qs) {
            press(exerciseWindow(), "CMDESCO");
        } else if (how == u"frame"_qs) {
            exerciseWindow()->close();
        } else {
            clickLabel("Labesci");
        }
        QCOMPARE(m_ends, QList<int>{0});
        QVERIFY(!m_program->shared().archiveDb);
        QCOMPARE(stored(u"Gialli Ugo"_qs).right.toInt(), stores ? 3 : 0);
    }

    // The three label-buttons turn red under the mouse and back over the background.
    void hoverColours() {
        startProgram();
        typeName(u"Rossi Mario"_qs);
        press(exerciseWindow(), "cmdarchivio");
        QVERIFY(QTest::qWaitForWindowExposed(results(), testtime::ms(5000)));
        QWindow* window = results()->windowHandle();
        const auto colour = [this](const char* name) {
            return control(results(), name)->palette().color(QPalette::WindowText);
        };
        const auto moveTo = [&](const char* name) {
            QTest::mouseMove(window, control(results(), name)->geometry().center());
        };
        const QColor red(255, 0, 0);
        const QColor pink(255, 192, 255);
        QCOMPARE(colour("LabCERCA"), QColor(192, 192, 255));
        moveTo("LabCERCA");
        QCOMPARE(colour("LabCERCA"), red);
        moveTo("Labtorna");
        moveTo("Labesci");
        QCOMPARE(colour("Labtorna"), red);
        QCOMPARE(colour("Labesci"), red);
        QCOMPARE(colour("LabCERCA"), red);
        // Over the grid, a search box or another label nothing changes.
        moveTo("Grid5");
        moveTo("Text1");
        moveTo("Label9");
        QCOMPARE(colour("LabCERCA"), red);
        // Over the background, inside the olive frame included.
        QTest::mouseMove(window, QPoint(9500 / 15, 4500 / 15));
        QCOMPARE(colour("LabCERCA"), QColor(192, 192, 192));
        QCOMPARE(colour("Labtorna"), pink);
        QCOMPARE(colour("Labesci"), pink);
        results()->activateWindow();
        QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), control(results(), "Text2"),
                                  testtime::ms(5000));
    }

    // Looking at the archive, or leaving, before any answer never wipes a pupil's figures.
    void lookingKeepsTheStoredFigures_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("Vedo l'archivio") << u"archivio"_qs;
        QTest::newRow("ESCO") << u"ESCO"_qs;
    }
    void lookingKeepsTheStoredFigures() {
        QFETCH(QString, how);
        const QDateTime earlier(QDate(2025, 12, 1), QTime(9, 0, 0));
        QVERIFY(m_archive.addStoredPupil(u"Verdi Luca"_qs, 5, 9, earlier));
        startProgram();
        // Picked from the list, as a pupil who wants to see her figures does.
        auto* list = qobject_cast<QListView*>(control(&m_program->nameWindow(), "List1"));
        list->setCurrentIndex(list->model()->index(0, 0));
        press(&m_program->nameWindow(), "CmdOK");
        QVERIFY(exerciseWindow());
        if (how == u"archivio"_qs) {
            press(exerciseWindow(), "cmdarchivio");
            QCOMPARE(gridRow(), u"Tempolario|5|9|"_qs + session::outcomeText(earlier));
        } else {
            press(exerciseWindow(), "CMDESCO");
            QCOMPARE(m_ends, QList<int>{0});
        }
        const Stored row = stored(u"Verdi Luca"_qs);
        QCOMPARE(row.right.toInt(), 5);
        QCOMPARE(row.given.toInt(), 9);
        QCOMPARE(row.when.toDateTime(), earlier);
    }

    // Two rows whose names differ only in letter case, the second written from outside,
    // are two pupils: the pupil who picks one in the list is stored in that one, and a name
    // typed that both rows have is refused, with nothing written.
    void namesEqualButForCaseStayApart_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QStringList>("rows");
        const QStringList second{u"Bianchi Annalisa|1|2"_qs, u"BIANCHI annalisa|2|3"_qs};
        QTest::newRow("picked, Vedo l'archivio") << u"archivio"_qs << second;
        QTest::newRow("picked, ESCO") << u"ESCO"_qs << second;
        QTest::newRow("typed") << u"typed"_qs
                               << QStringList{u"Bianchi Annalisa|1|2"_qs, u"BIANCHI annalisa||"_qs};
    }
    void namesEqualButForCaseStayApart() {
        QFETCH(QString, how);
        QFETCH(QStringList, rows);
        QVERIFY(m_archive.addStoredPupil(u"Bianchi Annalisa"_qs, 1, 2, m_now.addDays(-1)));
        startProgram({u"BIANCHI annalisa"_qs});
        if (how == u"typed"_qs) {
            whenModal([this](QWidget* modal) {
                qobject_cast<QInputDialog*>(modal)->setTextValue(u"bianchi annalisa"_qs);
                qobject_cast<QInputDialog*>(modal)->accept();
                whenModalIfAny();
            });
            press(&m_program->nameWindow(), "cmdNOME");
            QTRY_COMPARE(m_messages.size(), 1);
            QVERIFY(m_messages.first().contains(u"«Bianchi Annalisa», «BIANCHI annalisa»"_qs));
            QVERIFY(m_program->nameWindow().isVisible());
            QVERIFY(!exerciseWindow());
        } else {
            auto* list = qobject_cast<QListView*>(control(&m_program->nameWindow(), "List1"));
            list->setCurrentIndex(list->model()->index(1, 0));
            press(&m_program->nameWindow(), "CmdOK");
            answer(2, 1);
            if (how == u"archivio"_qs) {
                press(exerciseWindow(), "cmdarchivio");
                QCOMPARE(gridRow(), u"Tempolario|2|3|"_qs + session::outcomeText(m_now));
            } else {
                press(exerciseWindow(), "CMDESCO");
                QCOMPARE(m_ends, QList<int>{0});
            }
        }
        QCOMPARE(m_archive.rowTexts(), rows);
    }

    // "Annulla" in the name box records nothing, as its prompt says: no row is added, no
    // way out stores, and an earlier "Anonimo" row is neither shown nor overwritten. The
    // drill and the search for other pupils still work.
    void annullaRecordsNothing() {
        const QDateTime earlier(QDate(2025, 12, 1), QTime(9, 0, 0));
        QVERIFY(m_archive.addStoredPupil(u"Anonimo"_qs, 4, 5, earlier));
        QVERIFY(m_archive.addStoredPupil(u"Verdi Luca"_qs, 5, 9, earlier));
        startProgram();
        whenModal([](QWidget* modal) { qobject_cast<QInputDialog*>(modal)->reject(); });
        press(&m_program->nameWindow(), "cmdNOME");
        QVERIFY(exerciseWindow() && exerciseWindow()->isVisible());
        const QByteArray before = m_archive.snapshot();
        answer(2, 1);
        whenModalIfAny();
        press(exerciseWindow(), "cmdarchivio");
        QVERIFY(results()->isVisible());
        QCOMPARE(gridRow(), u"Tempolario|||"_qs);
        QCOMPARE(m_messages, QStringList());
        search(u"verdi"_qs, u"luca"_qs);
        QCOMPARE(gridRow().section(u'|', 1, 2), u"5|9"_qs);
        clickLabel("Labesci");
        QCOMPARE(m_ends, QList<int>{0});
        QCOMPARE(m_archive.snapshot(), before);
        QCOMPARE(m_archive.storedNames().size(), 2);
    }

    // A store that fails (here: the archive locked by another program past the wait) keeps
    // the run. The pupil is asked after each failure, "Riprova" stores again, and the file
    // is unchanged until a store succeeds.
    void retryAfterAFailedStore_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("backOffered");
        QTest::newRow("ESCO") << u"ESCO"_qs << false;
        QTest::newRow("exercise window frame") << u"frame"_qs << false;
        QTest::newRow("results Esco") << u"Esco"_qs << false;
        QTest::newRow("Vedo l'archivio") << u"archivio"_qs << true;
    }
    void retryAfterAFailedStore() {
        QFETCH(QString, how);
        QFETCH(bool, backOffered);
        startProgram();
        typeName(u"Gialli Ugo"_qs);
        answer(1, 0);
        press(exerciseWindow(), "cmdarchivio");
        answer(2, 1);
        lockArchive();
        const QByteArray before = m_archive.snapshot();
        m_choices = {Program::StoreChoice::Retry, Program::StoreChoice::Retry};
        QList<QByteArray> filesAtFailure;
        // Called only while this test runs; cleanup() drops it before its locals are gone.
        // cppcheck-suppress danglingLifetime
        m_beforeChoice = [&] {
            filesAtFailure << m_archive.snapshot();
            if (filesAtFailure.size() == 2) {
                unlockArchive();  // the other program lets go
            }
        };
        m_now = m_now.addSecs(60);
        if (how == u"ESCO"_qs) {
            press(exerciseWindow(), "CMDESCO");
        } else if (how == u"frame"_qs) {
            exerciseWindow()->close();
        } else if (how == u"Esco"_qs) {
            clickLabel("Labesci");
        } else {
            press(exerciseWindow(), "cmdarchivio");
        }
        QCOMPARE(m_storeFailures.size(), 2);
        const QString& failure = m_storeFailures.first();
        QVERIFY2(m_archive.server()
                     ? failure.contains(u"non risponde"_qs) || failure.contains(u"occupato"_qs)
                     : failure.contains(u"locked"_qs),
                 qPrintable(failure));
        QCOMPARE(m_backOffered, QList<bool>(2, backOffered));
        QCOMPARE(filesAtFailure, QList<QByteArray>(2, before));
        if (backOffered) {
            QVERIFY(m_ends.isEmpty());
            QVERIFY(results()->isVisible());
            QCOMPARE(gridRow().section(u'|', 1, 2), u"3|4"_qs);
        } else {
            QCOMPARE(m_ends, QList<int>{0});
        }
        const Stored row = stored(u"Gialli Ugo"_qs);
        QCOMPARE(row.given.toInt(), 4);
        QCOMPARE(row.when.toDateTime(), m_now);
        // The placements stored before the failure are not written again.
        QCOMPARE(m_archive.placementCount(), 4);
    }

    // The session ends while the pupil is asked about a failed store: the run is stored as
    // the session ends, and the question it interrupted leads to nothing more, neither a
    // second question nor an archive opened again after the end.
    void sessionEndDuringTheStoreQuestion() {
        startProgram();
        typeName(u"Gialli Ugo"_qs);
        answer(2, 1);
        lockArchive();
        m_choices = {Program::StoreChoice::Retry, Program::StoreChoice::Retry};
        // Called only while this test runs; cleanup() drops it before its locals are gone.
        m_beforeChoice = [this] {
            unlockArchive();
            m_program->endSession(u"la sessione si chiude"_qs);
        };
        press(exerciseWindow(), "CMDESCO");
        QCOMPARE(m_storeFailures.size(), 1);
        QCOMPARE(m_ends, QList<int>{0});
        QVERIFY(!m_program->shared().archiveDb);
        QCOMPARE(stored(u"Gialli Ugo"_qs).given.toInt(), 3);
    }

    // "Torna all'esercizio" keeps the totals for a later store; "Esci" ends without them,
    // with the file as it was.
    void backOrLeaveAfterAFailedStore() {
        startProgram();
        typeName(u"Gialli Ugo"_qs);
        answer(2, 0);
        lockArchive();
        m_choices = {Program::StoreChoice::Back};
        press(exerciseWindow(), "cmdarchivio");
        QCOMPARE(m_storeFailures.size(), 1);
        QVERIFY(m_ends.isEmpty());
        QVERIFY(!results());
        answer(1, 1);
        unlockArchive();
        press(exerciseWindow(), "cmdarchivio");
        QCOMPARE(stored(u"Gialli Ugo"_qs).given.toInt(), 4);

        answer(1, 0);
        lockArchive();
        const QByteArray before = m_archive.snapshot();
        m_choices = {Program::StoreChoice::Leave};
        press(exerciseWindow(), "CMDESCO");
        QCOMPARE(m_storeFailures.size(), 2);
        QCOMPARE(m_ends, QList<int>{1});
        QCOMPARE(m_archive.snapshot(), before);
        unlockArchive();
        QCOMPARE(stored(u"Gialli Ugo"_qs).given.toInt(), 4);
    }

    // The question after a failed store, as the pupil sees it: what to do now first, the
    // error's own text (the engine's English) last; the buttons on screen, then the default
    // and the one Escape means, never "Esci".
    void theFailedStoreQuestion_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QStringList>("buttons");
        QTest::newRow("Vedo l'archivio")
            << u"cmdarchivio"_qs
            << QStringList{u"Riprova"_qs, u"Torna all'esercizio"_qs, u"Esci"_qs, u"Riprova"_qs,
                           u"Torna all'esercizio"_qs};
        QTest::newRow("ESCO") << u"CMDESCO"_qs
                              << QStringList{u"Riprova"_qs, u"Esci"_qs, u"Riprova"_qs,
                                             u"Riprova"_qs};
    }
    void theFailedStoreQuestion() {
        QFETCH(QString, how);
        QFETCH(QStringList, buttons);
        startProgram();
        typeName(u"Gialli Ugo"_qs);
        answer(1, 0);
        m_program->onStoreFailed = nullptr;
        lockArchive();
        QString text;
        QStringList shown;
        whenModal([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            text = box->windowTitle() + u": "_qs + box->text();
            QList<QAbstractButton*> row = box->buttons();
            std::sort(row.begin(), row.end(), [](auto* a, auto* b) { return a->x() < b->x(); });
            for (QAbstractButton* button : row) {
                shown << button->text();
            }
            shown << box->defaultButton()->text() << box->escapeButton()->text();
            row.last()->click();
        });
        press(exerciseWindow(), how.toLatin1().constData());
        QCOMPARE(shown, buttons);
        const QStringList parts = text.split(u"\n\n"_qs);
        QVERIFY2(parts.size() == 4 && parts[0] ==
                                          u"Tempolario: Non riesco a salvare i risultati "
                                          "nell'archivio."_qs,
                 qPrintable(text));
        // The advice says to try again, as "Riprova" does, not to restart the program.
        QVERIFY2(parts[1].contains(u"riprova"_qs, Qt::CaseInsensitive) &&
                     !parts[1].contains(u"riavvia"_qs),
                 qPrintable(text));
        QVERIFY(parts[2].contains(u"NON vengono salvati"_qs));
        QVERIFY2(parts[3].startsWith(u"Errore "_qs), qPrintable(text));
        QCOMPARE(m_ends, QList<int>{1});
    }

    // "Riprova" writes into the file now at the archive's path: the teacher has put back a
    // copy, moving the locked file away, between the failure and the retry.
    void retryStoresIntoTheFileNowInPlace() {
        FILE_ONLY("a file replaced at its path; a server has no file to follow");
        startProgram();
        typeName(u"Gialli Ugo"_qs);
        answer(2, 1);
        const QString path = m_archive.path();
        const QString copy = path + u".copia"_qs;
        QVERIFY(QFile::copy(path, copy));
        lockArchive();
        m_choices = {Program::StoreChoice::Retry};
        // Called only while this test runs; cleanup() drops it before its locals are gone.
        // cppcheck-suppress danglingLifetime
        m_beforeChoice = [&] {
            if (m_storeFailures.size() > 1) {
                return;
            }
            QVERIFY(QFile::rename(path, path + u".bloccato"_qs));
            QVERIFY(QFile::rename(copy, path));
        };
        press(exerciseWindow(), "cmdarchivio");
        QCOMPARE(m_storeFailures.size(), 1);
        QVERIFY(m_ends.isEmpty());
        QCOMPARE(stored(u"Gialli Ugo"_qs).given.toInt(), 3);
    }

    // Qt's own texts speak Italian too: the context menu of a search box.
    // With the teacher's ripasso on, the first board already deals the ten facts the pupil got
    // wrong last time; off, the facts come at random.
    void ripassoDealsByThePupilsHistory_data() {
        QTest::addColumn<QString>("setting");
        QTest::addColumn<int>("wrongDealtAgain");
        QTest::newRow("on") << "sì" << 10;
        QTest::newRow("never set") << "" << -1;
        QTest::newRow("off") << "no" << -1;
    }
    void ripassoDealsByThePupilsHistory() {
        QFETCH(QString, setting);
        QFETCH(int, wrongDealtAgain);
        m_archive.rawExec(u"INSERT INTO tempar (nome) VALUES ('Rossi Mario')"_qs);
        for (int row = 1; row <= 10; ++row) {
            m_archive.rawExec(
                QStringLiteral("INSERT INTO risposte SELECT id, 5, %1, %1, 0, 1, '1066', false, "
                               "true, '2026-03-13T09:00:00' FROM tempar")
                    .arg(row));
        }
        if (!setting.isEmpty()) {
            m_archive.rawExec(QStringLiteral("CREATE TABLE IF NOT EXISTS impostazioni (chiave "
                                             "text PRIMARY KEY, valore text); INSERT INTO "
                                             "impostazioni VALUES ('ripasso', '%1')")
                                  .arg(setting));
        }
        startProgram();
        typeName(u"Rossi Mario"_qs);
        int again = 0;
        for (int k = 0; k < exercise::Drill::kFacts; ++k) {
            again += exerciseWindow()->drill().factRow(k) <= 10 ? 1 : 0;
        }
        QCOMPARE(exerciseWindow()->drill().reviews(), wrongDealtAgain > 0);
        if (wrongDealtAgain > 0) {
            QCOMPARE(again, wrongDealtAgain);
        } else {
            QVERIFY2(again < 7, "ten of 189 at random");
        }
    }

    void textBoxMenusSpeakItalian() {
        startProgram();
        typeName(u"Rossi Mario"_qs);
        press(exerciseWindow(), "cmdarchivio");
        auto* box = qobject_cast<QLineEdit*>(control(results(), "Text2"));
        const QPoint at = box->rect().center();
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, box->mapToGlobal(at));
        QApplication::sendEvent(box, &event);
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(menu);
        QStringList entries;
        for (const QAction* action : menu->actions()) {
            entries << action->text().remove(u'&').section(u'\t', 0, 0);
        }
        menu->close();
        QVERIFY2(entries.contains(u"Incolla"_qs), qPrintable(entries.join(u"|"_qs)));
    }
};

QTEST_MAIN(TestProgram)
#include "tst_program.moc"
