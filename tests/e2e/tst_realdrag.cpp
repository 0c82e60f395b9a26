// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Drags with a real pointer on a real X server: xdotool moves the X pointer and presses its
// button, and the window sees the events as it would a pupil's mouse. Run under Xvfb by the
// test command, at scale 1 and at scale 2.
#include <QLabel>
#include <QProcess>
#include <QScreen>
#include <QTest>

#include "../drilltesting.h"
#include "../testtime.h"
#include "exercise/drill.h"
#include "exercise/uniformsource.h"
#include "screens/builder.h"
#include "windows/datedrag.h"
#include "windows/ftempver.h"

using exercise::DrillTesting;
using windows::Ftempver;

class TestRealDrag : public QObject {
    Q_OBJECT

private:
    exercise::ClockUniformSource m_random{2024};
    std::unique_ptr<Ftempver> m_window;

    QLabel* label(const char* name, int index = -1) const {
        return qobject_cast<QLabel*>(
            screens::findControl(m_window.get(), QString::fromLatin1(name), index));
    }
    QString counters() const {
        QStringList values;
        for (int n = 5; n <= 8; ++n) {
            values << label(qPrintable(QStringLiteral("Label%1").arg(n)))->text();
        }
        return values.join(QLatin1Char(' '));
    }

    // The point of a widget in the X server's own pixels.
    QPoint native(const QWidget* widget, QPoint local) const {
        const QPoint global = widget->mapToGlobal(local);
        const qreal ratio = widget->devicePixelRatioF();
        const QPoint origin = widget->screen()->geometry().topLeft();
        return origin + (global - origin) * ratio;
    }

    // Runs xdotool while the event loop keeps turning, as the pupil's desktop would.
    void xdotool(const QStringList& arguments) {
        QProcess process;
        process.start(QStringLiteral("xdotool"), arguments);
        QVERIFY(process.waitForStarted());
        while (process.state() != QProcess::NotRunning) {
            QTest::qWait(10);
        }
        QCOMPARE(process.exitCode(), 0);
    }

    // xdotool steps: press on a date label, move to each point in turn, each step followed
    // by a short pause for the events to arrive.
    static QStringList pressAndMove(QPoint from, const QList<QPoint>& through) {
        const auto moveTo = [](QPoint at) {
            return QStringList{u"mousemove"_qs, QString::number(at.x()), QString::number(at.y()),
                               u"sleep"_qs, u"0.1"_qs};
        };
        QStringList steps =
            moveTo(from) + QStringList{u"mousedown"_qs, u"1"_qs, u"sleep"_qs, u"0.1"_qs};
        for (const QPoint& at : through) {
            steps += moveTo(at);
        }
        return steps;
    }
    static QStringList release() { return {u"mouseup"_qs, u"1"_qs, u"sleep"_qs, u"0.1"_qs}; }

    QPoint dateLabelCentre(int dateLabel) const {
        return native(label("Label3", dateLabel), label("Label3", dateLabel)->rect().center());
    }

    void drag(int dateLabel, QWidget* to, QPoint where) {
        const QPoint from = dateLabelCentre(dateLabel);
        const QPoint target = native(to, where);
        xdotool(pressAndMove(from, {(from + target) / 2, target}) + release());
    }

    int boxFor(int dateLabel, bool right) const {
        for (int k = 0; k < 10; ++k) {
            const bool same = DrillTesting::rowDate(m_window->drill())[k + 1] ==
                              label("Label3", dateLabel)->text();
            if (same == right) {
                return k;
            }
        }
        return -1;
    }

private Q_SLOTS:
    void initTestCase() {
        QCOMPARE(QGuiApplication::platformName(), u"xcb"_qs);
        m_window = std::make_unique<Ftempver>(m_random);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get(), testtime::ms(5000)));
    }

    void dragRightThenWrong() {
        const int j = 4;
        const int right = boxFor(j, true);
        const int wrong = boxFor(j, false);
        // The outline follows the pointer while the label stays where it is.
        const QRect labelBefore = label("Label3", j)->geometry();
        drag(j, label("Label2", right), label("Label2", right)->rect().center());
        QTRY_COMPARE_WITH_TIMEOUT(counters(), u"1 1 1 1"_qs, testtime::ms(5000));
        QCOMPARE(label("Label2", right)->text(), label("Label3", j)->text());
        QCOMPARE(label("Label3", j)->palette().color(QPalette::Window), QColor(255, 0, 255));
        QCOMPARE(label("Label3", j)->geometry(), labelBefore);

        // Half way, the outline of the dragged label sits under the pointer.
        const QPoint halfway = native(label("Label1", 5), QPoint(40, 10));
        xdotool(pressAndMove(dateLabelCentre(j), {halfway}));
        QWidget* outline = m_window->dateDrag().outline();
        QTRY_VERIFY_WITH_TIMEOUT(outline->isVisible(), testtime::ms(5000));
        // Within a pixel: a scaled desktop rounds the pointer to its own pixels.
        const QPoint pointer = label("Label1", 5)->mapTo(m_window.get(), QPoint(40, 10));
        QTRY_VERIFY2_WITH_TIMEOUT((outline->geometry().center() - pointer).manhattanLength() <= 2,
                                  qPrintable(QStringLiteral("outline at %1,%2, pointer at %3,%4")
                                                 .arg(outline->geometry().center().x())
                                                 .arg(outline->geometry().center().y())
                                                 .arg(pointer.x())
                                                 .arg(pointer.y())),
                                  testtime::ms(5000));
        xdotool(release());
        QTRY_VERIFY_WITH_TIMEOUT(!outline->isVisible(), testtime::ms(5000));
        QCOMPARE(counters(), u"1 1 1 1"_qs);

        drag(j, label("Label2", wrong), QPoint(2, 2));
        QTRY_COMPARE_WITH_TIMEOUT(counters(), u"1 2 1 2"_qs, testtime::ms(5000));
        QCOMPARE(label("Label2", wrong)->palette().color(QPalette::Window), QColor(255, 0, 0));

        // Released over a fact: nothing happens.
        drag(j, label("Label1", 0), label("Label1", 0)->rect().center());
        QTest::qWait(100);
        QCOMPARE(counters(), u"1 2 1 2"_qs);
    }

    // The whole design scales with the desktop: a 200 % desktop draws it in twice as many
    // pixels, at the zoom that fits the screen's device-independent size.
    void designScalesWithTheDesktop() {
        const qreal scale = qEnvironmentVariableIsSet("QT_SCALE_FACTOR")
                                ? qEnvironmentVariable("QT_SCALE_FACTOR").toDouble()
                                : 1.0;
        QCOMPARE(m_window->devicePixelRatioF(), scale);
        const QRect box = label("Label2", 9)->geometry();
        const double zoom = m_window->controls().zoom();
        const QSize screen = m_window->screen()->geometry().size();
        QVERIFY(qAbs(zoom - std::min(screen.width() / 792.0, screen.height() / 582.0)) < 0.1);
        // Box 9: 6480, 6600 twips, 1095 x 615.
        const QPoint topLeft(screens::pixels(6480, zoom), screens::pixels(6600, zoom));
        const QPoint end(screens::pixels(7575, zoom), screens::pixels(7215, zoom));
        QCOMPARE(box, QRect(topLeft, end - QPoint(1, 1)).translated(m_window->controls().origin()));
        const QImage shot = m_window->grab().toImage();
        QCOMPARE(qRound(shot.devicePixelRatio()), qRound(m_window->devicePixelRatioF()));
        const int x = qRound((box.left() + 3) * shot.devicePixelRatio());
        const int y = qRound((box.top() + 3) * shot.devicePixelRatio());
        QCOMPARE(QColor(shot.pixel(x, y)), QColor(255, 255, 192));
    }
};

QTEST_MAIN(TestRealDrag)
#include "tst_realdrag.moc"
