#include <QFontMetrics>
#include <QLabel>
#include <QMimeData>
#include <QTest>
#include <QTimer>

#include "content/facttable.h"
#include "exercise/datedrag.h"
#include "exercise/ftempver.h"
#include "exercise/uniformsource.h"
#include "screens/builder.h"
#include "screens/facebutton.h"

using exercise::Ftempver;
using screens::FaceButton;

namespace {

const QColor kPaleYellow(255, 255, 192);
const QColor kYellow(255, 255, 0);
const QColor kRed(255, 0, 0);
const QColor kMagenta(255, 0, 255);
const QColor kLightGrey(224, 224, 224);

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
        return qobject_cast<QLabel*>(
            screens::findControl(m_window.get(), QString::fromLatin1(name), index));
    }
    FaceButton* button(const char* name, int index = -1) const {
        return qobject_cast<FaceButton*>(
            screens::findControl(m_window.get(), QString::fromLatin1(name), index));
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

    // The box whose row expects the text of date label j, and one that does not.
    int rightBox(int j) const {
        for (int k = 0; k < 10; ++k) {
            if (m_window->drill().rowDate()[k + 1] == label("Label3", j)->text()) {
                return k;
            }
        }
        return -1;
    }
    int wrongBox(int j) const {
        for (int k = 0; k < 10; ++k) {
            if (m_window->drill().rowDate()[k + 1] != label("Label3", j)->text()) {
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
        QVERIFY(m_window->dateDrag().isDragging());
        QTest::mouseMove(w, (from + to) / 2);
        QTest::mouseMove(w, to);
        QVERIFY(m_window->dateDrag().outline()->isVisible());
        QCOMPARE(m_window->dateDrag().outline()->geometry().center(),
                 to + label("Label3", j)->geometry().center() - from);
        QTest::mouseRelease(w, Qt::LeftButton, {}, to);
        QVERIFY(!m_window->dateDrag().outline()->isVisible());
    }

    void touchDrag(int j, QPoint to) {
        static QPointingDevice* device =
            QTest::createTouchDevice(QInputDevice::DeviceType::TouchScreen);
        QWidget* w = m_window.get();
        const QPoint from = centreOf(label("Label3", j));
        QTest::touchEvent(w, device).press(0, from, w);
        QTest::touchEvent(w, device).move(0, (from + to) / 2, w);
        QTest::touchEvent(w, device).move(0, to, w);
        QTest::touchEvent(w, device).release(0, to, w);
    }

private Q_SLOTS:
    void init() {
        m_window = std::make_unique<Ftempver>(m_random);
        m_window->onClose = [] {};
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
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
        m_window->activateWindow();
        QTRY_COMPARE(QApplication::focusWidget(), button("CMDESCO"));
        QVERIFY(m_window->geometry().width() >= 792 && m_window->geometry().height() >= 582);
    }

    // The counters fall into the gaps of their text lines without hiding a word.
    void countersFallIntoTheGaps() {
        for (const char* name : {"Label4", "Label10"}) {
            QLabel* line = label(name);
            const QFontMetrics metrics(line->font());
            const QString text = line->text();
            const QString word = QString::fromLatin1(name) == u"Label4"_qs
                                     ? u"Nell'esercizio attuale"_qs
                                     : u"TOTALE"_qs;
            const QString tail = QString::fromLatin1(name) == u"Label4"_qs ? u"su"_qs : u"SU"_qs;
            const int wordEnd =
                line->x() + metrics.horizontalAdvance(text.left(text.indexOf(word) + word.size()));
            const int tailStart =
                line->x() + metrics.horizontalAdvance(text.left(text.lastIndexOf(tail)));
            const int tailEnd = tailStart + metrics.horizontalAdvance(tail);
            QVERIFY2(wordEnd <= 3360 / 15, qPrintable(QString::number(wordEnd)));
            QVERIFY2(tailStart >= 3855 / 15 && tailEnd <= 4320 / 15,
                     qPrintable(QStringLiteral("%1..%2").arg(tailStart).arg(tailEnd)));
        }
    }

    // Every fact of the table can be read whole in its row.
    void everyFactFitsItsRow() {
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
            QVERIFY(m_window->drill().rowFact()[k] >= 1 && m_window->drill().rowFact()[k] <= 20);
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
        const auto before = m_window->drill().rowFact();
        QTest::mouseClick(button("cmdessenz"), Qt::LeftButton);
        QCOMPARE(m_window->drill().rowFact(), before);
    }

    // A picture of the window shows the designed colours where they belong.
    void screenshotShowsTheDesign() {
        tick();
        const QImage shot = m_window->grab().toImage();
        const auto at = [&](int xTwips, int yTwips) {
            return QColor(
                shot.pixel(static_cast<int>(screens::pixels(xTwips) * shot.devicePixelRatio()),
                           static_cast<int>(screens::pixels(yTwips) * shot.devicePixelRatio())));
        };
        QCOMPARE(at(11820, 4700), QColor(192, 192, 255));  // the panel
        QCOMPARE(at(300, 8600), QColor(255, 224, 192));    // the strip
        QCOMPARE(at(100, 4000), QColor(192, 192, 192));    // the window between rows
        QCOMPARE(at(6600, 1600), kPaleYellow);             // inside a box
        QCOMPARE(at(7830, 3500), kYellow);                 // a date label's lower part
        QCOMPARE(at(1460, 8100), QColor(255, 192, 255));   // a text line of the strip
        QCOMPARE(at(6500, 7460).red(), 128);               // "ESERCIZIO SUCCESSIVO"
        const QColor counterFace = at(3380, 7460 + 200);
        QCOMPARE(counterFace, screens::colourOf(screens::kButtonFace));
    }
};

QTEST_MAIN(TestFtempver)
#include "tst_ftempver.moc"
