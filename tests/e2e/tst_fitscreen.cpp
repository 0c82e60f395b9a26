// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The three windows on real X screens of several sizes (the test command runs this at
// 800x600, 1024x768, 1280x1024 at 200 % and 1920x1080): every control of the layout tables,
// and the outline of a drag, lies inside the screen, and the exercise window's design fills
// at least 90 % of the screen's height. Pictures of the screen go to the folder named by
// TEMPOLARIO_SHOTS, when set.
#include <QDir>
#include <QLabel>
#include <QProcess>
#include <QScreen>
#include <QScrollBar>
#include <QTest>

#include "../testtime.h"
#include "../threewindows.h"
#include "windows/datedrag.h"

class TestFitScreen : public QObject {
    Q_OBJECT

private:
    QStringList m_outside;

    QRect available() const { return QGuiApplication::primaryScreen()->availableGeometry(); }

    // slack: pixels that global may stand out on each side.
    void expectInside(const QString& what, const QRect& global, int slack = 0) {
        if (!available().adjusted(-slack, -slack, slack, slack).contains(global)) {
            m_outside << QStringLiteral("%1 at %2,%3 %4x%5")
                             .arg(what)
                             .arg(global.x())
                             .arg(global.y())
                             .arg(global.width())
                             .arg(global.height());
        }
    }
    static QRect globalRect(const QWidget* widget) {
        return {widget->mapToGlobal(QPoint(0, 0)), widget->size()};
    }

    // The window, its frame and every visible control of its design; of a window that
    // scrolls (scrolls), the part of each control within the window.
    void expectWindowInside(QWidget* window, const screens::WindowSpec& design,
                            bool scrolls = false) {
        QVERIFY(QTest::qWaitForWindowExposed(window, testtime::ms(5000)));
        // Above 100 % Qt rounds each margin of the frame to whole pixels of its own, so a
        // frame that fills the screen may come out one pixel larger than it is.
        const int slack = window->devicePixelRatioF() > 1 ? 1 : 0;
        // A window that grows once the desktop has told it its real frame may stand
        // elsewhere for a moment while the window manager places it again.
        const QRect room = available().adjusted(-slack, -slack, slack, slack);
        QTest::qWaitFor([&] { return room.contains(window->frameGeometry()); }, testtime::ms(5000));
        expectInside(QString::fromUtf8(design.objectName), window->frameGeometry(), slack);
        int controls = 0;
        for (const screens::ControlSpec& row : design.controls) {
            const QString name = QString::fromUtf8(row.name);
            for (QWidget* widget : window->findChildren<QWidget*>(name)) {
                if (widget->isVisible()) {
                    ++controls;
                    const QRect place =
                        scrolls ? globalRect(widget) & globalRect(window) : globalRect(widget);
                    if (!place.isEmpty()) {
                        expectInside(QString::fromUtf8(design.objectName) + QLatin1Char(' ') + name,
                                     place, scrolls ? slack : 0);
                    }
                }
            }
        }
        QVERIFY(controls > 5);
    }

    // A picture of the whole screen, or of part of it (in the screen's coordinates).
    void shoot(const QString& name, const QRect& part = {}) {
        const QString folder = qEnvironmentVariable("TEMPOLARIO_SHOTS");
        if (folder.isEmpty()) {
            return;
        }
        QDir().mkpath(folder);
        QCoreApplication::processEvents();
        QScreen* screen = QGuiApplication::primaryScreen();
        const QPixmap shot =
            part.isEmpty() ? screen->grabWindow(0)
                           : screen->grabWindow(0, part.x(), part.y(), part.width(), part.height());
        QVERIFY(shot.save(folder + QLatin1Char('/') + name + QStringLiteral(".png")));
    }

private Q_SLOTS:
    void initTestCase() { QCOMPARE(QGuiApplication::platformName(), u"xcb"_qs); }

    // Run more than once: a window that fits only by the luck of timing is a fault.
    void windowsFitTheScreen_data() {
        QTest::addColumn<bool>("shots");
        QTest::newRow("first run") << true;
        QTest::newRow("second run") << false;
        QTest::newRow("third run") << false;
    }

    void windowsFitTheScreen() {
        QFETCH(bool, shots);
        m_outside.clear();
        threewindows::Road road;

        QWidget& name = road.nameWindow();
        expectWindowInside(&name, screens::nameDesign());
        if (shots) {
            shoot(u"nome"_qs);
        }

        windows::Ftempver& drill = road.exerciseWindow();
        // Too small for the design at the smallest zoom, the window scrolls.
        QList<QScrollBar*> bars;
        for (QScrollBar* bar : drill.findChildren<QScrollBar*>()) {
            if (bar->isVisible()) {
                bars.append(bar);
            }
        }
        const bool scrolls = !bars.isEmpty();
        const QSize whole = drill.controls().clientSize();
        QCOMPARE(scrolls, whole.width() > drill.width() || whole.height() > drill.height());
        expectWindowInside(&drill, screens::exerciseDesign(), scrolls);
        qInfo("zooms on %dx%d: name %.4f, exercise %.4f", available().width(), available().height(),
              road.nameWindow().controls().zoom(), drill.controls().zoom());
        if (scrolls) {
            QVERIFY(road.control(&drill, "Label3", 0)->font().pixelSize() >= 10);
            for (const QScrollBar* bar : std::as_const(bars)) {
                expectInside(u"scroll bar"_qs, globalRect(bar),
                             drill.devicePixelRatioF() > 1 ? 1 : 0);
            }
            if (shots) {
                shoot(u"esercizio"_qs);
            }
        } else {
            // The design grows to the screen's height, or to its width where that is narrower.
            const QSize design = drill.controls().clientSize();
            QVERIFY2(design.height() >= 0.9 * available().height() ||
                         design.width() >= 0.98 * available().width(),
                     qPrintable(QStringLiteral("%1x%2").arg(design.width()).arg(design.height())));
            QVERIFY(design.height() <= drill.height() && design.width() <= drill.width());
            if (available().width() * 9 >= available().height() * 16) {
                // The whiteboard: its height is the limit, and at least 90 % of it is used.
                QVERIFY(design.height() >= 0.9 * available().height());
            }

            // The outline of a date label dragged to the lowest box, and to the last date label.
            QWindow* handle = drill.windowHandle();
            QWidget* dateLabel = road.control(&drill, "Label3", 2);
            const QPoint from = dateLabel->geometry().center();
            QTest::mousePress(handle, Qt::LeftButton, {}, from);
            QWidget* outline = drill.dateDrag().outline();
            for (QWidget* over :
                 {road.control(&drill, "Label2", 9), road.control(&drill, "Label3", 9)}) {
                QTest::mouseMove(handle, over->geometry().center());
                QTRY_VERIFY_WITH_TIMEOUT(outline->isVisible(), testtime::ms(5000));
                QCOMPARE(outline->size(), dateLabel->size());
                expectInside(u"drag outline"_qs, globalRect(outline));
            }
            if (shots) {
                shoot(u"esercizio-trascinamento"_qs);
            }
            QTest::mouseRelease(handle, Qt::LeftButton, {},
                                road.control(&drill, "Label3", 9)->geometry().center());
            if (shots) {
                shoot(u"esercizio"_qs);
            }
        }

        if (shots) {
            // The widest date of the exercise, picked.
            QWidget* widest = road.control(&drill, "Label3", 0);
            for (int k = 1; k < exercise::Drill::kFacts; ++k) {
                if (drill.drill().dateText(k).size() >
                    drill.drill().dateText(widest->property("index").toInt()).size()) {
                    widest = road.control(&drill, "Label3", k);
                }
            }
            QTest::mouseClick(drill.windowHandle(), Qt::LeftButton, {},
                              widest->mapTo(&drill, widest->rect().center()));
            QTRY_VERIFY_WITH_TIMEOUT(drill.dateDrag().pickMark()->isVisible(), testtime::ms(5000));
            const QRect place = globalRect(widest);
            shoot(u"esercizio-scelta"_qs,
                  place.adjusted(-place.width() * 3 / 2, -place.height() / 2, place.width() / 4,
                                 place.height() / 2));
            QTest::mouseClick(drill.windowHandle(), Qt::LeftButton, {},
                              widest->mapTo(&drill, widest->rect().center()));
        }

        windows::Risultati& results = road.resultsWindow();
        expectWindowInside(&results, screens::resultsDesign());
        qInfo("zoom of the results window: %.4f", results.controls().zoom());
        if (shots) {
            shoot(u"risultati"_qs);
        }
        QVERIFY2(m_outside.isEmpty(), qPrintable(m_outside.join(u"\n"_qs)));
    }

    // Shows panel along the foot of the screen, a quarter of its height, as a desktop's panel.
    void showPanel(QWidget& panel) {
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        panel.setWindowTitle(u"pannello"_qs);
        const int top = screen.height() * 3 / 4;
        panel.setGeometry(0, top, screen.width(), screen.height() - top);
        // A dock that keeps its strip for itself, as a desktop's panel does, said before it is
        // shown; the strut is in the screen's own pixels. The window manager then shrinks the
        // free area that it announces to every program.
        const qreal ratio = panel.devicePixelRatioF();
        const int width = qRound(screen.width() * ratio);
        const int strut = qRound((screen.height() - top) * ratio);
        const QString id = QString::number(panel.winId());
        const QString values = u"0, 0, 0, %1, 0, 0, 0, 0, 0, 0, 0, %2"_qs.arg(strut).arg(width - 1);
        QCOMPARE(QProcess::execute(u"xprop"_qs,
                                   {u"-id"_qs, id, u"-f"_qs, u"_NET_WM_STRUT_PARTIAL"_qs, u"32c"_qs,
                                    u"-set"_qs, u"_NET_WM_STRUT_PARTIAL"_qs, values}),
                 0);
        QCOMPARE(QProcess::execute(u"xprop"_qs, {u"-id"_qs, id, u"-f"_qs, u"_NET_WM_WINDOW_TYPE"_qs,
                                                 u"32a"_qs, u"-set"_qs, u"_NET_WM_WINDOW_TYPE"_qs,
                                                 u"_NET_WM_WINDOW_TYPE_DOCK"_qs}),
                 0);
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel, testtime::ms(5000)));
        QTRY_VERIFY_WITH_TIMEOUT(available().bottom() < top, testtime::ms(5000));
    }

    // A panel of the desktop: the name and results windows shrink into the part left free,
    // frames and all.
    void windowsFitBesideAPanel() {
        m_outside.clear();
        QWidget panel;
        showPanel(panel);
        if (QTest::currentTestFailed()) {
            return;
        }
        threewindows::Road road;
        expectWindowInside(&road.nameWindow(), screens::nameDesign());
        expectWindowInside(&road.resultsWindow(), screens::resultsDesign());
        QVERIFY2(m_outside.isEmpty(), qPrintable(m_outside.join(u"\n"_qs)));
    }

    // The same panel put up while the name window is shown: the window fits the smaller free
    // area, without being shown again. It starts as the last test's panel goes, so that the
    // free area grows while the window is being framed: it still ends inside, title included.
    void nameWindowFollowsTheFreeArea() {
        m_outside.clear();
        threewindows::Road road;
        expectWindowInside(&road.nameWindow(), screens::nameDesign());
        QVERIFY2(m_outside.isEmpty(), qPrintable(m_outside.join(u"\n"_qs)));
        QWidget panel;
        showPanel(panel);
        if (QTest::currentTestFailed()) {
            return;
        }
        QWidget& name = road.nameWindow();
        const bool fits = QTest::qWaitFor(
            [&] { return available().contains(name.frameGeometry()); }, testtime::ms(5000));
        const QRect frame = name.frameGeometry();
        QVERIFY2(fits, qPrintable(u"FormNOME at %1,%2 %3x%4"_qs.arg(frame.x())
                                      .arg(frame.y())
                                      .arg(frame.width())
                                      .arg(frame.height())));
    }
};

QTEST_MAIN(TestFitScreen)
#include "tst_fitscreen.moc"
