// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The zoom of the windows shown over the others (name and results): they shrink until they
// fit the screen with their frame, keep their designed size where it fits, and grow only
// moderately on big screens.
#include <QTest>

#include "screens/builder.h"
#include "screens/designs.h"

Q_DECLARE_METATYPE(const screens::WindowSpec*)

class TestZoom : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void windowsFitTheirScreen_data() {
        QTest::addColumn<const screens::WindowSpec*>("design");
        QTest::addColumn<QSize>("available");
        QTest::addColumn<QMargins>("frame");
        const QMargins none;
        const QMargins titled(4, 30, 4, 4);
        for (const auto& [name, design] : {std::pair{"name", &screens::nameDesign()},
                                           std::pair{"results", &screens::resultsDesign()}}) {
            for (const QSize screen :
                 {QSize(800, 600), QSize(800, 570), QSize(1024, 768), QSize(640, 512),
                  QSize(1280, 1024), QSize(1920, 1080), QSize(1920, 1040), QSize(3840, 2160)}) {
                for (const QMargins& frame : {none, titled}) {
                    QTest::addRow("%s %dx%d %s", name, screen.width(), screen.height(),
                                  frame.isNull() ? "no frame" : "framed")
                        << design << screen << frame;
                }
            }
        }
    }

    void windowsFitTheirScreen() {
        QFETCH(const screens::WindowSpec*, design);
        QFETCH(QSize, available);
        QFETCH(QMargins, frame);
        const double zoom = screens::windowZoom(*design, available, frame);
        const QSize framed = screens::clientSize(*design, zoom).grownBy(frame);
        const QSize designed = screens::clientSize(*design, 1.0).grownBy(frame);
        // Inside the screen, frame included.
        QVERIFY2(
            framed.width() <= available.width() && framed.height() <= available.height(),
            qPrintable(
                QStringLiteral("%1x%2 at %3").arg(framed.width()).arg(framed.height()).arg(zoom)));
        if (designed.width() <= available.width() && designed.height() <= available.height()) {
            // Where the design fits, it is never made smaller.
            QVERIFY(zoom >= 1.0);
            // Growth: up to 85 % of the screen, beyond the designed size only.
            QVERIFY(framed.width() <=
                    std::max(designed.width(), int(available.width() * 0.85) + 1));
            QVERIFY(framed.height() <=
                    std::max(designed.height(), int(available.height() * 0.85) + 1));
        } else {
            // Shrunk no more than needed: one step bigger would not fit.
            const QSize bigger = screens::clientSize(*design, zoom * 1.01).grownBy(frame);
            QVERIFY(bigger.width() > available.width() || bigger.height() > available.height());
        }
        if (available.height() >= 1000) {
            // A big screen shows the window noticeably bigger than designed.
            QVERIFY(zoom >= 1.3);
        }
    }
};

QTEST_MAIN(TestZoom)
#include "tst_zoom.moc"
