// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>
#include <cmath>

#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QMimeData>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "content/facttable.h"
#include "drilltesting.h"
#include "exercise/uniformsource.h"
#include "screens/builder.h"
#include "screens/designs.h"
#include "screens/facebutton.h"
#include "testtime.h"
#include "windows/datedrag.h"
#include "windows/ftempver.h"
#include "windowtesting.h"

using exercise::DrillTesting;
using screens::FaceButton;
using windows::Ftempver;

namespace {

// The colours the window is designed to paint as a pupil works.
const QColor kPaleYellow(screens::kBoxColour);
const QColor kYellow(screens::kDateColour);
const QColor kRed(screens::kWrongBoxColour);
const QColor kMagenta(screens::kRightDateColour);
const QColor kLightGrey(screens::kDoneSetColour);

// A control's colour in the window's design: its background, or the fill of a shape.
QColor designed(const char* name) {
    const auto& controls = screens::exerciseDesign().controls;
    const auto control = std::find_if(controls.begin(), controls.end(), [name](const auto& row) {
        return qstrcmp(row.name, name) == 0;
    });
    if (control == controls.end()) {
        qFatal("no control %s in the design", name);
    }
    return QColor(control->kind == screens::Kind::FilledRect ? control->foreground
                                                             : control->background);
}

QColor background(const QWidget* w) {
    return w->palette().color(QPalette::Window);
}

}  // namespace

class TestFtempver : public QObject {
    Q_OBJECT

private:
    exercise::ClockUniformSource m_random{42};
    std::unique_ptr<Ftempver> m_window;

    QLabel* label(const char* name, int index = -1) const {
        return windowtesting::control<QLabel>(m_window.get(), name, index);
    }
    FaceButton* button(const char* name, int index = -1) const {
        return windowtesting::control<FaceButton>(m_window.get(), name, index);
    }
    QString counter(int n) const {
        return label(qPrintable(QStringLiteral("Label%1").arg(n)))->text();
    }
    QString counters() const {
        return QStringList{counter(5), counter(6), counter(7), counter(8)}.join(QLatin1Char(' '));
    }
    // One tick of the window's 500 ms timer, without waiting for it.
    void tick() { QVERIFY(QMetaObject::invokeMethod(m_window->timer(), "timeout")); }
    QPoint centreOf(const QWidget* w) const { return w->geometry().center(); }

    // The window at a given client size, out of its maximised state.
    void zoomWindow(QSize size) {
        m_window->setWindowState(Qt::WindowNoState);
        m_window->resize(size);
        QTRY_COMPARE_WITH_TIMEOUT(m_window->size(), size, testtime::ms(5000));
    }

    // The box whose row expects the text of date label j, and one that does not.
    int rightBox(int j) const {
        for (int k = 0; k < 10; ++k) {
            if (DrillTesting::rowDate(m_window->drill())[k + 1] == label("Label3", j)->text()) {
                return k;
            }
        }
        return -1;
    }
    int wrongBox(int j) const {
        for (int k = 0; k < 10; ++k) {
            if (DrillTesting::rowDate(m_window->drill())[k + 1] != label("Label3", j)->text()) {
                return k;
            }
        }
        return -1;
    }

    // A drag with the mouse from date label j to a point of the window, delivered through
    // the platform window as a real pointer's events are.
    void mouseDrag(int j, QPoint to) {
        QWindow* w = m_window->windowHandle();
        const QPoint from = centreOf(label("Label3", j));
        QTest::mousePress(w, Qt::LeftButton, {}, from);
        // Not a drag until the pointer has moved away; the detour makes one of a drop back
        // on the label itself.
        QVERIFY(!m_window->dateDrag().isDragging());
        QTest::mouseMove(w, from + QPoint(0, 25));
        QVERIFY(m_window->dateDrag().isDragging());
        QTest::mouseMove(w, (from + to) / 2);
        QTest::mouseMove(w, to);
        QVERIFY(m_window->dateDrag().outline()->isVisible());
        QCOMPARE(m_window->dateDrag().outline()->geometry().center(),
                 to + label("Label3", j)->geometry().center() - from);
        QTest::mouseRelease(w, Qt::LeftButton, {}, to);
        QVERIFY(!m_window->dateDrag().outline()->isVisible());
    }

    // One touch screen for the whole run: a second one made by the test would not be told
    // apart from the first.
    static QPointingDevice* touchScreen() {
        static QPointingDevice* device =
            QTest::createTouchDevice(QInputDevice::DeviceType::TouchScreen);
        return device;
    }

    void touchDrag(int j, QPoint to) {
        QPointingDevice* device = touchScreen();
        QWidget* w = m_window.get();
        const QPoint from = centreOf(label("Label3", j));
        QTest::touchEvent(w, device).press(0, from, w);
        QTest::touchEvent(w, device).move(0, from + QPoint(0, 25), w);
        QTest::touchEvent(w, device).move(0, (from + to) / 2, w);
        QTest::touchEvent(w, device).move(0, to, w);
        QTest::touchEvent(w, device).release(0, to, w);
    }

    // A click with the mouse, or a tap of a finger, at the centre of a control, each
    // delivered through the platform window as the real ones are.
    void click(const QWidget* w) {
        QTest::mouseClick(m_window->windowHandle(), Qt::LeftButton, {}, centreOf(w));
    }
    void tap(const QWidget* w) {
        QPointingDevice* device = touchScreen();
        QTest::touchEvent(m_window.get(), device).press(0, centreOf(w), m_window.get());
        QTest::touchEvent(m_window.get(), device).release(0, centreOf(w), m_window.get());
    }
    void key(Qt::Key k, Qt::KeyboardModifiers modifiers = {}) {
        QTest::keyClick(m_window->windowHandle(), k, modifiers);
    }
    QWidget* focused() const { return QApplication::focusWidget(); }
    // From the first date label, by keys only, onto date label j.
    void focusDateByKeys(int j) {
        m_window->dateDrag().focusFirstSource();
        for (int i = 0; i < j; ++i) {
            key(Qt::Key_Down);
        }
        QCOMPARE(focused(), label("Label3", j));
    }
    // Places date label j on box b in one of the ways without dragging.
    void placeWithoutDragging(const QString& way, int j, int b) {
        if (way == u"click"_qs) {
            click(label("Label3", j));
            QCOMPARE(m_window->dateDrag().picked(), j);
            click(label("Label2", b));
        } else if (way == u"tap"_qs) {
            tap(label("Label3", j));
            QCOMPARE(m_window->dateDrag().picked(), j);
            tap(label("Label2", b));
        } else {
            focusDateByKeys(j);
            key(way == u"Enter"_qs ? Qt::Key_Return : Qt::Key_Space);
            QCOMPARE(m_window->dateDrag().picked(), j);
            key(Qt::Key_Left);
            for (int row = j; row != b; row += b > j ? 1 : -1) {
                key(b > j ? Qt::Key_Down : Qt::Key_Up);
            }
            QCOMPARE(focused(), label("Label2", b));
            key(way == u"Enter"_qs ? Qt::Key_Return : Qt::Key_Space);
        }
        QCOMPARE(m_window->dateDrag().picked(), -1);
    }

private Q_SLOTS:
    void init() {
        m_window = std::make_unique<Ftempver>(m_random);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get(), testtime::ms(5000)));
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get(), testtime::ms(5000)));
    }
    void cleanup() { m_window.reset(); }

    void startsOnAWholeTableExercise() {
        QCOMPARE(m_window->drill().currentSet().code, 0);
        QCOMPARE(counters(), u"0 0 0 0"_qs);
        QVERIFY(!button("cmd0")->isEnabled());
        QVERIFY(button("cmdessenz")->isEnabled());
        for (int i = 0; i < 5; ++i) {
            QVERIFY(button("Cmd1", i)->isEnabled());
        }
        for (int k = 0; k < 10; ++k) {
            QVERIFY(!label("Label1", k)->text().isEmpty());
            QVERIFY(label("Label2", k)->text().isEmpty());
            QCOMPARE(background(label("Label2", k)), kPaleYellow);
            QCOMPARE(background(label("Label3", k)), kYellow);
        }
        QVERIFY(label("Labaiuti")->text().isEmpty());
        QCOMPARE(m_window->timer()->interval(), 500);
        QVERIFY(m_window->timer()->isActive());
        QCOMPARE(m_window->windowTitle(),
                 u"TEMPOLARIO DEI FATTI IMPORTANTI: clicca sulle date e trascinale nelle caselle a "
                 u"sinistra."_qs);
        // The focus starts on the first date label, not on the designed first, ESCO.
        m_window->activateWindow();
        QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), label("Label3", 0),
                                  testtime::ms(5000));
        QVERIFY(m_window->geometry().width() >= 792 && m_window->geometry().height() >= 582);
    }

    // The design drawn at a zoom: every place and size scales from the twips, both edges
    // rounded, so controls that touch or overlap in the design still do.
    void controlsStandWhereDesigned_data() {
        QTest::addColumn<double>("zoom");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("index");
        QTest::addColumn<QRect>("rect");
        // At zoom 1, twips divided by 15.
        QTest::newRow("fact 0") << 1.0 << u"Label1"_qs << 0 << QRect(8, 8, 409, 41);
        // Twips times 1.37 divided by 15, edges rounded.
        QTest::newRow("fact 0 at 1.37") << 1.37 << u"Label1"_qs << 0 << QRect(11, 11, 560, 56);
        QTest::newRow("box 9 at 1.37") << 1.37 << u"Label2"_qs << 9 << QRect(592, 603, 100, 56);
        QTest::newRow("4th class at 1.37") << 1.37 << u"Cmd1"_qs << 3 << QRect(833, 625, 45, 34);
        QTest::newRow("archive at 1.37")
            << 1.37 << u"cmdarchivio"_qs << -1 << QRect(833, 680, 242, 34);
        QTest::newRow("ESCO at 1.37") << 1.37 << u"CMDESCO"_qs << -1 << QRect(833, 713, 242, 35);
        QTest::newRow("counter at 1.37") << 1.37 << u"Label8"_qs << -1 << QRect(395, 712, 45, 24);
        QTest::newRow("picture at 1.37") << 1.37 << u"Image1"_qs << -1 << QRect(833, 11, 233, 388);
    }
    void controlsStandWhereDesigned() {
        QFETCH(double, zoom);
        QFETCH(QString, name);
        QFETCH(int, index);
        QFETCH(QRect, rect);
        QWidget window;
        screens::build(&window, screens::exerciseDesign(), zoom);
        QCOMPARE(window.size(), screens::clientSize(screens::exerciseDesign(), zoom));
        QCOMPARE(screens::findControl(&window, name, index)->geometry(), rect);
    }

    // The window draws the design at the zoom that fits it, centred across, at the top.
    void theDesignFollowsTheWindowSize_data() {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<double>("zoom");
        QTest::addColumn<int>("left");
        QTest::newRow("whiteboard") << QSize(1920, 1080) << 1080 / 582.0 << 225;
    }
    void theDesignFollowsTheWindowSize() {
        QFETCH(QSize, size);
        QFETCH(double, zoom);
        QFETCH(int, left);
        zoomWindow(size);
        QCOMPARE(m_window->controls().zoom(), zoom);
        QCOMPARE(m_window->controls().origin(), QPoint(left, 0));
        // The design's client area stands inside the window, and reaches its bottom or
        // both its sides.
        const QRect design(m_window->controls().origin(), m_window->controls().clientSize());
        QVERIFY(m_window->rect().contains(design));
        QVERIFY(design.bottom() == size.height() - 1 ||
                (design.left() == 0 && design.right() == size.width() - 1));
        const QRect strip = screens::findControl(m_window.get(), u"Shape2"_qs)->geometry();
        QVERIFY(strip.bottom() >= design.bottom());
        // Fonts and pictures scale with the rest.
        QCOMPARE(label("Label1", 0)->font().pixelSize(), qRound(13 * zoom));
        // The picture, 170 x 283 pixels, to within the rounding of its two edges.
        QVERIFY(qAbs(label("Image1")->width() - 170 * zoom) <= 1);
        QVERIFY(qAbs(label("Image1")->height() - 283 * zoom) <= 1);
    }

    // A window too small for the design at the smallest zoom keeps the dates in letters of
    // 10 pixels and scrolls; the keyboard focus brings every control it reaches into sight.
    void smallWindowsScroll_data() {
        QTest::addColumn<QSize>("size");
        QTest::newRow("640x480") << QSize(640, 480);
        QTest::newRow("1280x1024 at 200 %") << QSize(640, 512);
        QTest::newRow("narrow") << QSize(700, 560);
        // Portrait: the design fills the width, at the top, and needs no scrolling.
        QTest::newRow("portrait 1080x1920") << QSize(1080, 1920);
    }
    void smallWindowsScroll() {
        QFETCH(QSize, size);
        zoomWindow(size);
        QVERIFY(label("Label3", 0)->font().pixelSize() >= 10);
        if (size.width() < size.height()) {
            QVERIFY(m_window->controls().clientSize().width() >= 0.97 * size.width());
            QCOMPARE(m_window->controls().origin().y(), 0);
        }
        QRect seen = m_window->rect();
        int bars = 0;
        for (const QScrollBar* bar : m_window->findChildren<QScrollBar*>()) {
            if (bar->isVisible()) {
                ++bars;
                seen = bar->orientation() == Qt::Vertical ? seen.adjusted(0, 0, -bar->width(), 0)
                                                          : seen.adjusted(0, 0, 0, -bar->height());
            }
        }
        QCOMPARE(bars > 0, size.width() > size.height());
        for (const auto& [name, index] :
             std::initializer_list<std::pair<const char*, int>>{{"Label3", 9},
                                                                {"CMDESCO", -1},
                                                                {"Label2", 0},
                                                                {"Cmd1", 4},
                                                                {"Label3", 0},
                                                                {"Label2", 9}}) {
            QWidget* control =
                screens::findControl(m_window.get(), QString::fromLatin1(name), index);
            control->setFocus(Qt::TabFocusReason);
            QVERIFY2(seen.contains(control->geometry()), name);
        }
        // A pick survives the scrolling and is placed where the pupil scrolled to.
        click(label("Label3", 0));
        label("Label2", 9)->setFocus(Qt::TabFocusReason);
        QCOMPARE(m_window->dateDrag().picked(), 0);
        click(label("Label2", 9));
        QCOMPARE(label("Label2", 9)->text(), label("Label3", 0)->text());
    }

    // The counters fall into the gaps of their text lines without hiding a word, and every
    // fact of the table can be read whole in its row, at the zoom the window takes for its
    // size: fonts come in whole pixels, so a text can come out a little wider or narrower
    // than the zoom says, enough to push words under the counters or a fact onto a third line.
    void textsFitTheirPlacesAtEveryZoom_data() {
        QTest::addColumn<QSize>("size");
        for (const QSize size :
             {QSize(792, 582), QSize(640, 480), QSize(640, 512), QSize(700, 560), QSize(800, 600),
              QSize(960, 700), QSize(1024, 768), QSize(1085, 797), QSize(1280, 1024),
              QSize(1366, 768), QSize(1280, 900), QSize(1440, 900), QSize(1600, 900),
              QSize(1920, 1080), QSize(2560, 1440)}) {
            QTest::addRow("%dx%d", size.width(), size.height()) << size;
        }
    }
    void textsFitTheirPlacesAtEveryZoom() {
        QFETCH(QSize, size);
        zoomWindow(size);
        // Measured in the font the window really draws with: Arial, or Liberation Sans of the
        // same widths, which the package depends on. A fallback of other widths (DejaVu Sans
        // puts many facts on a third line) fails here rather than being measured instead.
        const QString family = QFontInfo(label("Label1", 0)->font()).family();
        QVERIFY2(family == u"Liberation Sans"_qs || family == u"Arial"_qs,
                 qPrintable(family + u", not Liberation Sans: fonts-liberation missing?"_qs));
        const double zoom = m_window->controls().zoom();
        QVERIFY2(zoom >= 0.9 * screens::coverZoom(screens::exerciseDesign(), size, {}),
                 qPrintable(QString::number(zoom)));
        const struct {
            const char* line;
            QString word;
            QString tail;
            const char* left;
            const char* right;
        } lines[] = {{"Label4", u"Nell'esercizio attuale"_qs, u"su"_qs, "Label5", "Label6"},
                     {"Label10", u"TOTALE"_qs, u"SU"_qs, "Label7", "Label8"}};
        for (const auto& each : lines) {
            const QString& word = each.word;
            const QString& tail = each.tail;
            QLabel* line = label(each.line);
            const QFontMetrics metrics(line->font());
            const QString text = line->text();
            const int wordEnd =
                line->x() + metrics.horizontalAdvance(text.left(text.indexOf(word) + word.size()));
            const int tailStart =
                line->x() + metrics.horizontalAdvance(text.left(text.lastIndexOf(tail)));
            const int tailEnd = tailStart + metrics.horizontalAdvance(tail);
            const QRect first = label(each.left)->geometry();
            const QRect second = label(each.right)->geometry();
            QVERIFY2(wordEnd <= first.left(),
                     qPrintable(QStringLiteral("%1 ends at %2").arg(word).arg(wordEnd)));
            QVERIFY2(
                tailStart > first.right() && tailEnd <= second.left(),
                qPrintable(QStringLiteral("%1 at %2..%3").arg(tail).arg(tailStart).arg(tailEnd)));
        }

        content::FactTable table;
        table.build();
        QLabel* row = label("Label1", 0);
        const QRect inside = row->contentsRect();
        const QFontMetrics metrics(row->font());
        for (int p = 1; p <= content::FactTable::kRows; ++p) {
            const QRect needed = metrics.boundingRect(inside, Qt::TextWordWrap, table.row(p).fact);
            QVERIFY2(needed.height() <= inside.height(), qPrintable(table.row(p).fact));
        }
    }

    // At a fractional zoom a drop at the centre of box k lands on box k, and one at its last
    // pixel still does; the gap below a box takes nothing.
    void dropsLandOnTheirBoxAtAFractionalZoom() {
        zoomWindow(QSize(1085, 797));
        QVERIFY(m_window->controls().zoom() > 1.3 && m_window->controls().zoom() < 1.38);
        for (int k = 0; k < 10; ++k) {
            const int j = (k * 3) % 10;
            QLabel* box = label("Label2", k);
            mouseDrag(j, k % 2 ? centreOf(box) : box->geometry().bottomRight());
            QCOMPARE(box->text(), label("Label3", j)->text());
            QCOMPARE(counter(8), QString::number(k + 1));
        }
        const QRect box4 = label("Label2", 4)->geometry();
        mouseDrag(0, QPoint(box4.center().x(), box4.bottom() + 2));
        QCOMPARE(counter(8), u"10"_qs);
    }

    void rightAndWrongDropsWithTheMouse() {
        const int j = 2;
        const int right = rightBox(j);
        const int wrong = wrongBox(j);
        mouseDrag(j, centreOf(label("Label2", wrong)));
        QCOMPARE(label("Label2", wrong)->text(), label("Label3", j)->text());
        QCOMPARE(background(label("Label2", wrong)), kRed);
        QCOMPARE(background(label("Label3", j)), kYellow);
        QCOMPARE(counters(), u"0 1 0 1"_qs);

        // Any point of the box takes the drop, its corners included.
        mouseDrag(j, label("Label2", right)->geometry().bottomRight());
        QCOMPARE(background(label("Label2", right)), kPaleYellow);
        QCOMPARE(background(label("Label3", j)), kMagenta);
        QCOMPARE(counters(), u"1 2 1 2"_qs);

        // The right box then takes a wrong date: red, and the placed label stays magenta.
        const int other = (j + 1) % 10;
        if (label("Label3", other)->text() != label("Label3", j)->text()) {
            mouseDrag(other, centreOf(label("Label2", right)));
            QCOMPARE(background(label("Label2", right)), kRed);
            QCOMPARE(background(label("Label3", j)), kMagenta);
            QCOMPARE(counters(), u"1 3 1 3"_qs);
        }

        // A new exercise clears the exercise's counters and keeps the totals.
        QTest::mouseClick(button("cmdnuovo"), Qt::LeftButton);
        QVERIFY(counter(5) == u"0"_qs && counter(6) == u"0"_qs);
        QVERIFY(counter(8).toInt() >= 2);
        for (int k = 0; k < 10; ++k) {
            QCOMPARE(background(label("Label2", k)), kPaleYellow);
            QCOMPARE(background(label("Label3", k)), kYellow);
            QVERIFY(label("Label2", k)->text().isEmpty());
        }
    }

    void dropsElsewhereCountNothing_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("index");
        QTest::newRow("on a fact") << u"Label1"_qs << 4;
        QTest::newRow("on another date") << u"Label3"_qs << 7;
        QTest::newRow("on its own label") << u"Label3"_qs << 1;
        QTest::newRow("on a button") << u"cmdnuovo"_qs << -1;
        QTest::newRow("on a counter") << u"Label5"_qs << -1;
        QTest::newRow("on the empty window") << QString() << -1;
    }
    void dropsElsewhereCountNothing() {
        QFETCH(QString, name);
        QFETCH(int, index);
        const QPoint to =
            name.isEmpty() ? QPoint(600, 20)
                           : screens::findControl(m_window.get(), name, index)->geometry().center();
        // A gap between two boxes is not a box either.
        mouseDrag(1, to);
        mouseDrag(1, QPoint(label("Label2", 3)->geometry().center().x(),
                            label("Label2", 3)->geometry().bottom() + 3));
        QCOMPARE(counters(), u"0 0 0 0"_qs);
        for (int k = 0; k < 10; ++k) {
            QCOMPARE(background(label("Label2", k)), kPaleYellow);
            QVERIFY(label("Label2", k)->text().isEmpty());
        }
        QCOMPARE(background(label("Label3", 1)), kYellow);
    }

    void touchDragsWorkLikeMouseDrags() {
        const int j = 6;
        touchDrag(j, centreOf(label("Label2", rightBox(j))));
        QCOMPARE(counters(), u"1 1 1 1"_qs);
        QCOMPARE(background(label("Label3", j)), kMagenta);
        touchDrag(j, centreOf(label("Label2", wrongBox(j))));
        QCOMPARE(counters(), u"1 2 1 2"_qs);
        touchDrag(j, QPoint(600, 20));
        QCOMPARE(counters(), u"1 2 1 2"_qs);
    }

    // Text or files dragged from another application are refused everywhere.
    void dropsFromOtherApplicationsAreRefused() {
        QMimeData data;
        data.setText(label("Label3", 0)->text());
        data.setUrls({QUrl::fromLocalFile(u"/tmp/x"_qs)});
        for (QWidget* target : {static_cast<QWidget*>(label("Label2", rightBox(0))),
                                static_cast<QWidget*>(m_window.get())}) {
            QVERIFY(!target->acceptDrops());
            QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
            QApplication::sendEvent(target, &enter);
            QVERIFY(!enter.isAccepted());
            QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
            QApplication::sendEvent(target, &drop);
        }
        QCOMPARE(counters(), u"0 0 0 0"_qs);
    }

    void setButtonsChooseMarkAndBlink() {
        const QColor face = screens::colourOf(screens::kButtonFace);
        label("Label2", 0);
        mouseDrag(0, centreOf(label("Label2", rightBox(0))));
        QCOMPARE(counters(), u"1 1 1 1"_qs);

        tick();
        QCOMPARE(button("cmd0")->face(), kLightGrey);

        // Class IV: rows 1..20 only; the whole-table button gets its face back.
        QTest::mouseClick(button("Cmd1", 3), Qt::LeftButton);
        QCOMPARE(m_window->drill().currentSet().code, 4);
        for (int k = 1; k <= 10; ++k) {
            QVERIFY(DrillTesting::rowFact(m_window->drill())[k] >= 1 &&
                    DrillTesting::rowFact(m_window->drill())[k] <= 20);
        }
        QCOMPARE(counters(), u"0 0 1 1"_qs);
        QVERIFY(button("cmd0")->isEnabled());
        QCOMPARE(button("cmd0")->face(), face);
        QVERIFY(!button("Cmd1", 3)->isEnabled());
        QCOMPARE(button("Cmd1", 3)->face(), kLightGrey);
        tick();
        QCOMPARE(button("Cmd1", 3)->face(), face);
        tick();
        QCOMPARE(button("Cmd1", 3)->face(), kLightGrey);

        // The essential set: its button starts at the face; the class button stops blinking.
        QTest::mouseClick(button("cmdessenz"), Qt::LeftButton);
        QCOMPARE(m_window->drill().currentSet().code, 6);
        QCOMPARE(button("cmdessenz")->face(), face);
        tick();
        QCOMPARE(button("cmdessenz")->face(), kLightGrey);
        QCOMPARE(button("Cmd1", 3)->face(), face);
        QVERIFY(button("Cmd1", 3)->isEnabled());

        // A disabled button cannot be clicked: the set in force is not dealt again by it.
        const auto before = DrillTesting::rowFact(m_window->drill());
        QTest::mouseClick(button("cmdessenz"), Qt::LeftButton);
        QCOMPARE(DrillTesting::rowFact(m_window->drill()), before);
    }

    // A pick and a place are judged, coloured and counted exactly as a drop of that label on
    // that box, whichever way they are made.
    void placingWithoutDragging_data() {
        QTest::addColumn<QString>("way");
        QTest::newRow("mouse clicks") << u"click"_qs;
        QTest::newRow("finger taps") << u"tap"_qs;
        QTest::newRow("Space") << u"Space"_qs;
        QTest::newRow("Enter") << u"Enter"_qs;
    }
    void placingWithoutDragging() {
        QFETCH(QString, way);
        const int j = 4;
        const int right = rightBox(j);
        const int wrong = wrongBox(j);
        placeWithoutDragging(way, j, wrong);
        QCOMPARE(label("Label2", wrong)->text(), label("Label3", j)->text());
        QCOMPARE(background(label("Label2", wrong)), kRed);
        QCOMPARE(background(label("Label3", j)), kYellow);
        QCOMPARE(counters(), u"0 1 0 1"_qs);
        placeWithoutDragging(way, j, right);
        QCOMPARE(label("Label2", right)->text(), label("Label3", j)->text());
        QCOMPARE(background(label("Label2", right)), kPaleYellow);
        QCOMPARE(background(label("Label3", j)), kMagenta);
        QCOMPARE(counters(), u"1 2 1 2"_qs);
        // The same placing again by a drag counts again, exactly as the pick did.
        mouseDrag(j, centreOf(label("Label2", right)));
        QCOMPARE(counters(), u"2 3 2 3"_qs);
        QVERIFY(!m_window->dateDrag().pickMark()->isVisible());
    }

    // The pick shows as a mark over the picked label, by shape and not by colour alone.
    void aPickIsMarkedOnItsLabel() {
        QLabel* date = label("Label3", 7);
        const QColor before = QColor(m_window->grab(date->geometry()).toImage().pixel(3, 20));
        click(date);
        QWidget* mark = m_window->dateDrag().pickMark();
        QVERIFY(mark->isVisible());
        QCOMPARE(mark->geometry(), date->geometry());
        const QImage shot = m_window->grab(date->geometry()).toImage();
        const auto at = [&](int x, int y) {
            return QColor(shot.pixel(static_cast<int>(x * shot.devicePixelRatio()),
                                     static_cast<int>(y * shot.devicePixelRatio())));
        };
        QCOMPARE(before, kYellow);
        QCOMPARE(at(2, 20), QColor(Qt::black));                  // the thick frame
        QCOMPARE(at(7, date->height() - 7), QColor(Qt::black));  // the corner marker
        // No marker in the opposite corner.
        QCOMPARE(at(date->width() - 7, date->height() - 7), kYellow);
        click(date);
        QVERIFY(!mark->isVisible());
    }

    // The mark leaves every pixel of the date's text as it was, for the widest dates, at the
    // zooms of a small screen, of 1280x1024 at 200 %, of the design and of a whiteboard; and it
    // follows its label when the zoom changes under it.
    void aPickNeverCoversItsDate_data() {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QString>("date");
        for (const QSize size : {QSize(640, 480), QSize(640, 512), QSize(792, 582),
                                 QSize(1584, 1164), QSize(1920, 1080)}) {
            for (const char* date : {"IV sec a.C.", "13 000 a.fa", "1914-1918", "2 milioni a.fa"}) {
                QTest::addRow("%dx%d %s", size.width(), size.height(), date)
                    << size << QString::fromUtf8(date);
            }
        }
    }
    void aPickNeverCoversItsDate() {
        QFETCH(QSize, size);
        QFETCH(QString, date);
        const int j = 3;
        QLabel* label3 = label("Label3", j);
        zoomWindow(size);
        label3->setText(date);
        click(label3);
        QWidget* mark = m_window->dateDrag().pickMark();
        QCOMPARE(mark->geometry(), label3->geometry());
        mark->hide();
        const QImage bare = m_window->grab(label3->geometry()).toImage();
        mark->show();
        const QImage picked = m_window->grab(label3->geometry()).toImage();
        const QRgb face = background(label3).rgb();
        const QRect text = label3->contentsRect();
        int ink = 0;
        for (int y = text.top(); y <= text.bottom(); ++y) {
            for (int x = text.left(); x <= text.right(); ++x) {
                if (bare.pixel(x, y) != face) {
                    ++ink;
                    QVERIFY2(picked.pixel(x, y) == bare.pixel(x, y),
                             qPrintable(QStringLiteral("text covered at %1,%2").arg(x).arg(y)));
                }
            }
        }
        QVERIFY(ink > 20);
        // The frame is there, thicker on a larger label.
        const int thick = std::max(2, label3->height() / 10);
        QCOMPARE(QColor(picked.pixel(thick - 1, label3->height() / 2)), QColor(Qt::black));
        QCOMPARE(QColor(picked.pixel(thick + 1, label3->height() - thick - 1)), QColor(Qt::black));
        zoomWindow(QSize(700, 560));
        QCOMPARE(mark->geometry(), label3->geometry());
    }

    // Every way of leaving a pick drops it: a box clicked afterwards gets nothing.
    void aPickIsDropped_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("second click on the label") << u"again"_qs;
        QTest::newRow("Esc on the label") << u"Esc"_qs;
        QTest::newRow("Esc on a button") << u"Esc on button"_qs;
        QTest::newRow("click on a fact") << u"Label1"_qs;
        QTest::newRow("click on a counter") << u"Label5"_qs;
        QTest::newRow("click on the empty window") << QString();
        QTest::newRow("new exercise") << u"cmdnuovo"_qs;
        QTest::newRow("new exercise by Space") << u"Space on cmdnuovo"_qs;
        QTest::newRow("change of set") << u"Cmd1"_qs;
        QTest::newRow("change of set by Enter") << u"Enter on cmdessenz"_qs;
        QTest::newRow("a drag of another label") << u"drag"_qs;
    }
    void aPickIsDropped() {
        QFETCH(QString, how);
        const int j = 2;
        click(label("Label3", j));
        QCOMPARE(m_window->dateDrag().picked(), j);
        if (how == u"again"_qs) {
            click(label("Label3", j));
        } else if (how == u"Esc"_qs) {
            key(Qt::Key_Escape);
        } else if (how == u"Esc on button"_qs) {
            button("cmdnuovo")->setFocus();
            key(Qt::Key_Escape);
        } else if (how.startsWith(u"Space on"_qs) || how.startsWith(u"Enter on"_qs)) {
            // No click after the pick: a click anywhere drops it by itself.
            FaceButton* pressed = button(qPrintable(how.section(QLatin1Char(' '), 2)));
            pressed->setFocus();
            QCOMPARE(focused(), pressed);
            key(how.startsWith(u"Space"_qs) ? Qt::Key_Space : Qt::Key_Return);
        } else if (how.isEmpty()) {
            QTest::mouseClick(m_window->windowHandle(), Qt::LeftButton, {}, QPoint(600, 300));
        } else if (how == u"drag"_qs) {
            mouseDrag(5, QPoint(600, 300));
        } else {
            const bool array = how == u"Cmd1"_qs || how == u"Label1"_qs;
            click(screens::findControl(m_window.get(), how, array ? 2 : -1));
        }
        QCOMPARE(m_window->dateDrag().picked(), -1);
        QVERIFY(!m_window->dateDrag().pickMark()->isVisible());
        for (int k = 0; k < 10; ++k) {
            click(label("Label2", k));
        }
        QCOMPARE(counter(6), u"0"_qs);
        QCOMPARE(counter(8), u"0"_qs);
    }

    // A press and release that stays within the drag distance picks; a longer move drags.
    void shortPressPicksLongMoveDrags_data() {
        QTest::addColumn<int>("move");
        QTest::addColumn<bool>("drags");
        const int distance = QApplication::startDragDistance();
        QTest::newRow("no move") << 0 << false;
        QTest::newRow("a tremble") << 2 << false;
        QTest::newRow("just short of the distance") << distance - 1 << false;
        QTest::newRow("the distance") << distance << true;
        QTest::newRow("across the label") << 30 << true;
    }
    void shortPressPicksLongMoveDrags() {
        QFETCH(int, move);
        QFETCH(bool, drags);
        QWindow* w = m_window->windowHandle();
        const QPoint from = centreOf(label("Label3", 8)) - QPoint(15, 0);
        QTest::mousePress(w, Qt::LeftButton, {}, from);
        QTest::mouseMove(w, from + QPoint(move, 0));
        QCOMPARE(m_window->dateDrag().isDragging(), drags);
        QCOMPARE(m_window->dateDrag().outline()->isVisible(), drags);
        QTest::mouseRelease(w, Qt::LeftButton, {}, from + QPoint(move, 0));
        QCOMPARE(m_window->dateDrag().picked(), drags ? -1 : 8);
        QVERIFY(!m_window->dateDrag().isDragging());
        QCOMPARE(counters(), u"0 0 0 0"_qs);
    }

    // Tab goes from the date column to the box column, then along the buttons in their
    // designed order and round again; arrows move within a column and across to the same
    // row, and each column remembers where the focus left it.
    void keyboardReachesEveryControl() {
        QCOMPARE(focused(), label("Label3", 0));
        const QList<QWidget*> chain{label("Label2", 0),    button("CMDESCO"),   button("cmdnuovo"),
                                    button("cmdarchivio"), button("Cmd1", 0),   button("Cmd1", 1),
                                    button("Cmd1", 2),     button("cmdessenz"), button("Cmd1", 3),
                                    button("Cmd1", 4),     label("Label3", 0)};
        for (const QWidget* next : chain) {
            key(Qt::Key_Tab);
            QCOMPARE(focused(), next);
        }
        key(Qt::Key_Up);
        QCOMPARE(focused(), label("Label3", 0));
        key(Qt::Key_End);
        QCOMPARE(focused(), label("Label3", 9));
        key(Qt::Key_Down);
        QCOMPARE(focused(), label("Label3", 9));
        key(Qt::Key_Up);
        key(Qt::Key_Up);
        QCOMPARE(focused(), label("Label3", 7));
        key(Qt::Key_Left);
        QCOMPARE(focused(), label("Label2", 7));
        key(Qt::Key_Home);
        QCOMPARE(focused(), label("Label2", 0));
        key(Qt::Key_Tab);
        QCOMPARE(focused(), button("CMDESCO"));
        key(Qt::Key_Backtab);
        QCOMPARE(focused(), label("Label2", 0));
        key(Qt::Key_Backtab);
        QCOMPARE(focused(), label("Label3", 7));
        key(Qt::Key_Right);
        QCOMPARE(focused(), label("Label3", 7));
        key(Qt::Key_Left);
        key(Qt::Key_Right);
        QCOMPARE(focused(), label("Label3", 7));
    }

    // Buttons answer to Space and Enter alike.
    void buttonsAnswerSpaceAndEnter_data() {
        QTest::addColumn<Qt::Key>("press");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::newRow("Space") << Qt::Key_Space << Qt::KeyboardModifiers();
        QTest::newRow("Enter") << Qt::Key_Return << Qt::KeyboardModifiers();
        QTest::newRow("keypad Enter") << Qt::Key_Enter << Qt::KeyboardModifiers(Qt::KeypadModifier);
    }
    void buttonsAnswerSpaceAndEnter() {
        QFETCH(Qt::Key, press);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QSignalSpy archived(m_window.get(), &Ftempver::archiveRequested);
        button("cmdarchivio")->setFocus();
        key(press, modifiers);
        QCOMPARE(archived.count(), 1);
        button("Cmd1", 3)->setFocus();
        key(press, modifiers);
        QCOMPARE(m_window->drill().currentSet().code, 4);
        const auto before = DrillTesting::rowFact(m_window->drill());
        button("cmdnuovo")->setFocus();
        key(press, modifiers);
        QVERIFY(DrillTesting::rowFact(m_window->drill()) != before);
        // The same keys pick a date label and place it on a box.
        focusDateByKeys(2);
        key(press, modifiers);
        QCOMPARE(m_window->dateDrag().picked(), 2);
        key(Qt::Key_Left, Qt::KeypadModifier);
        QCOMPARE(focused(), label("Label2", 2));
        key(press, modifiers);
        QCOMPARE(counter(8), u"1"_qs);
    }

    // A set button that disables itself hands the focus to the first date label, never on to
    // ESCO, so a following Space neither stores nor ends anything.
    void focusAfterASetButtonDisablesItself_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("index");
        QTest::addColumn<bool>("byKey");
        for (int i = 0; i < 5; ++i) {
            QTest::addRow("class %d° by click", i + 1) << u"Cmd1"_qs << i << false;
            QTest::addRow("class %d° by Space", i + 1) << u"Cmd1"_qs << i << true;
        }
        QTest::newRow("essential by click") << u"cmdessenz"_qs << -1 << false;
        QTest::newRow("essential by Space") << u"cmdessenz"_qs << -1 << true;
        QTest::newRow("whole table by click") << u"cmd0"_qs << -1 << false;
    }
    void focusAfterASetButtonDisablesItself() {
        QFETCH(QString, name);
        QFETCH(int, index);
        QFETCH(bool, byKey);
        QSignalSpy exits(m_window.get(), &Ftempver::exitRequested);
        QSignalSpy archived(m_window.get(), &Ftempver::archiveRequested);
        if (name == u"cmd0"_qs) {
            click(button("cmdessenz"));
        }
        auto* chosen = qobject_cast<FaceButton*>(screens::findControl(m_window.get(), name, index));
        if (byKey) {
            chosen->setFocus();
            key(Qt::Key_Space);
        } else {
            click(chosen);
        }
        QVERIFY(!chosen->isEnabled());
        QCOMPARE(focused(), label("Label3", 0));
        key(Qt::Key_Space);
        key(Qt::Key_Return);
        QCOMPARE(exits.count(), 0);
        QCOMPARE(archived.count(), 0);
    }

    // The focused control always wears a frame, after a click as after a Tab: a black ring
    // and a white ring around it, one of which stands out against any background.
    void focusIsAlwaysVisible_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("index");
        QTest::addColumn<bool>("byClick");
        QTest::newRow("date label, at start") << u"Label3"_qs << 0 << false;
        QTest::newRow("box, clicked") << u"Label2"_qs << 5 << true;
        QTest::newRow("ESERCIZIO SUCCESSIVO, clicked") << u"cmdnuovo"_qs << -1 << true;
        QTest::newRow("class button, by Tab") << u"Cmd1"_qs << 1 << false;
    }
    void focusIsAlwaysVisible() {
        QFETCH(QString, name);
        QFETCH(int, index);
        QFETCH(bool, byClick);
        QWidget* control = screens::findControl(m_window.get(), name, index);
        if (byClick) {
            click(control);
        } else {
            while (focused() != control) {
                key(Qt::Key_Tab);
            }
        }
        QCOMPARE(focused(), control);
        const QRect around = control->geometry().adjusted(-8, -8, 8, 8);
        const QImage shot = m_window->grab(around).toImage();
        const auto at = [&](int x, int y) {
            return QColor(shot.pixel(static_cast<int>(x * shot.devicePixelRatio()),
                                     static_cast<int>(y * shot.devicePixelRatio())));
        };
        // Along the middle of the left edge, from outside in: background, white, black.
        const int y = around.height() / 2;
        const QColor outside = at(1, y);
        QCOMPARE(at(8 - 3, y), QColor(Qt::white));
        QCOMPARE(at(8 - 1, y), QColor(Qt::black));
        const double best = std::max(windowtesting::contrastRatio(outside, Qt::white),
                                     windowtesting::contrastRatio(outside, Qt::black));
        QVERIFY2(best >= 3.0, qPrintable(QString::number(best)));
    }

    // A picture of the window shows the designed colours where they belong.
    void screenshotShowsTheDesign() {
        zoomWindow(QSize(792, 582));
        tick();
        const QImage shot = m_window->grab().toImage();
        const auto at = [&](int xTwips, int yTwips) {
            return QColor(
                shot.pixel(static_cast<int>(screens::pixels(xTwips) * shot.devicePixelRatio()),
                           static_cast<int>(screens::pixels(yTwips) * shot.devicePixelRatio())));
        };
        QCOMPARE(at(11820, 4700), designed("Shape1"));                          // the panel
        QCOMPARE(at(300, 8600), designed("Shape2"));                            // the strip
        QCOMPARE(at(100, 4000), QColor(screens::exerciseDesign().background));  // between rows
        QCOMPARE(at(6600, 1600), kPaleYellow);                                  // inside a box
        QCOMPARE(at(7830, 3500), kYellow);                           // a date label's lower part
        QCOMPARE(at(1460, 8100), designed("Label10"));               // a text line of the strip
        QCOMPARE(at(6500, 7460).red(), designed("cmdnuovo").red());  // "ESERCIZIO SUCCESSIVO"
        const QColor counterFace = at(3380, 7460 + 200);
        QCOMPARE(counterFace, screens::colourOf(screens::kButtonFace));
    }
};

QTEST_MAIN(TestFtempver)
#include "tst_ftempver.moc"
