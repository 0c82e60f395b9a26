// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Texts stay readable whatever the desktop's theme: under a dark palette and a high-contrast
// one set on the application, every text of the three windows is measured on the rendered
// pixels against what lies beneath it, and must keep a contrast of at least 4.5:1.
#include <algorithm>
#include <cmath>
#include <functional>

#include <QAbstractButton>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QSet>
#include <QTest>

#include "screens/grid.h"
#include "testtime.h"
#include "threewindows.h"

namespace {

QPalette darkPalette() {
    QPalette pal(QColor(53, 53, 53));
    pal.setColor(QPalette::Window, QColor(53, 53, 53));
    pal.setColor(QPalette::WindowText, QColor(235, 235, 235));
    pal.setColor(QPalette::Base, QColor(35, 35, 35));
    pal.setColor(QPalette::AlternateBase, QColor(66, 66, 66));
    pal.setColor(QPalette::Text, QColor(235, 235, 235));
    pal.setColor(QPalette::Button, QColor(53, 53, 53));
    pal.setColor(QPalette::ButtonText, QColor(240, 240, 240));
    pal.setColor(QPalette::Highlight, QColor(42, 130, 218));
    pal.setColor(QPalette::HighlightedText, QColor(0, 0, 0));
    return pal;
}

QPalette highContrastPalette() {
    QPalette pal(Qt::black);
    pal.setColor(QPalette::Window, Qt::black);
    pal.setColor(QPalette::WindowText, Qt::white);
    pal.setColor(QPalette::Base, Qt::black);
    pal.setColor(QPalette::Text, Qt::white);
    pal.setColor(QPalette::Button, Qt::black);
    pal.setColor(QPalette::ButtonText, Qt::yellow);
    pal.setColor(QPalette::Highlight, Qt::cyan);
    pal.setColor(QPalette::HighlightedText, Qt::black);
    return pal;
}

// The part of the window that shows widget, as the screen shows it (what lies beneath a
// transparent label, and whatever covers part of it, included).
QImage onScreen(QWidget* widget) {
    QWidget* window = widget->window();
    const QRect area(widget->mapTo(window, QPoint(0, 0)), widget->size());
    return window->grab(area).toImage().convertToFormat(QImage::Format_RGB32);
}

struct Measure {
    double ratio = 0;  // 0: the text left no mark at all
    QString detail;
};

// Renders widget without and with its text: the pixels that the text changes are the
// text's. Its colour is that of the pixel it changes most (a fully inked one); the ground is
// what those pixels show without the text. The ratio is taken at
// the tenth-worst pixel, so a text over a picture is judged on the picture's light parts.
Measure measure(QWidget* widget, const std::function<void(bool)>& showText) {
    showText(false);
    const QImage bare = onScreen(widget);
    showText(true);
    const QImage inked = onScreen(widget);
    QList<QPoint> changed;
    QRgb ink = 0;
    double strongest = 0;
    for (int y = 0; y < bare.height(); ++y) {
        for (int x = 0; x < bare.width(); ++x) {
            if (bare.pixel(x, y) != inked.pixel(x, y)) {
                changed.append({x, y});
                const double change =
                    windowtesting::contrastRatio(bare.pixel(x, y), inked.pixel(x, y));
                if (change > strongest) {
                    strongest = change;
                    ink = inked.pixel(x, y);
                }
            }
        }
    }
    if (changed.isEmpty()) {
        return {};
    }
    QList<double> ratios;
    for (const QPoint& at : std::as_const(changed)) {
        ratios.append(windowtesting::contrastRatio(ink, bare.pixel(at)));
    }
    std::sort(ratios.begin(), ratios.end());
    const double ratio = ratios.at(ratios.size() / 10);
    return {ratio,
            QStringLiteral("ink %1 on %2 pixels").arg(QColor(ink).name()).arg(changed.size())};
}

std::function<void(bool)> textOf(QWidget* widget) {
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        const QString text = label->text();
        return [label, text](bool show) { label->setText(show ? text : QString()); };
    }
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        const QString text = button->text();
        return [button, text](bool show) { button->setText(show ? text : QString()); };
    }
    if (auto* field = qobject_cast<QLineEdit*>(widget)) {
        return [field](bool show) { field->setText(show ? u"Rossi"_qs : QString()); };
    }
    return {};
}

}  // namespace

class TestContrast : public QObject {
    Q_OBJECT

private:
    QStringList m_failures;

    void check(const QString& what, QWidget* widget, const std::function<void(bool)>& showText) {
        const Measure m = measure(widget, showText);
        if (m.ratio < 4.5) {
            m_failures << QStringLiteral("%1: %2:1 (%3)")
                              .arg(what)
                              .arg(m.ratio, 0, 'f', 2)
                              .arg(m.detail.isEmpty() ? u"no text seen"_qs : m.detail);
        }
    }

    // Every control of a design that shows a text and can be used.
    void checkWindow(QWidget* window, const screens::WindowSpec& design) {
        QCoreApplication::processEvents();
        QSet<QString> names;
        for (const screens::ControlSpec& row : design.controls) {
            names.insert(QString::fromUtf8(row.name));
        }
        for (const QString& name : std::as_const(names)) {
            const QList<QWidget*> found = window->findChildren<QWidget*>(name);
            for (QWidget* widget : found) {
                const auto showText = textOf(widget);
                if (!showText || !widget->isVisible() || !widget->isEnabled()) {
                    continue;
                }
                if (auto* label = qobject_cast<QLabel*>(widget);
                    label != nullptr && label->text().isEmpty()) {
                    continue;
                }
                // A text cursor would be measured with the text.
                widget->clearFocus();
                const QVariant index = widget->property("index");
                check(QStringLiteral("%1 %2%3").arg(
                          QString::fromUtf8(design.objectName), name,
                          index.isValid() ? u"(%1)"_qs.arg(index.toInt()) : QString()),
                      widget, showText);
            }
        }
    }

private Q_SLOTS:
    void textsKeepTheirContrast_data() {
        QTest::addColumn<QPalette>("desktop");
        QTest::newRow("light (the design's own)") << QApplication::palette();
        QTest::newRow("dark") << darkPalette();
        QTest::newRow("high contrast") << highContrastPalette();
    }

    void textsKeepTheirContrast() {
        QFETCH(QPalette, desktop);
        const QPalette before = QApplication::palette();
        QApplication::setPalette(desktop);
        m_failures.clear();
        {
            threewindows::Road road;
            QWidget& name = road.nameWindow();
            QVERIFY(QTest::qWaitForWindowExposed(&name, testtime::ms(5000)));
            checkWindow(&name, screens::nameDesign());
            // The list keeps its design's ground and draws its names and the picked one
            // each from one palette.
            auto* list = qobject_cast<QListView*>(road.control(&name, "List1"));
            const QPalette& lp = list->palette();
            if (windowtesting::contrastRatio(lp.color(QPalette::Text).rgb(),
                                             lp.color(QPalette::Base).rgb()) < 4.5) {
                m_failures << u"FormNOME List1: names"_qs;
            }
            if (windowtesting::contrastRatio(lp.color(QPalette::HighlightedText).rgb(),
                                             lp.color(QPalette::Highlight).rgb()) < 4.5) {
                m_failures << u"FormNOME List1: the picked name"_qs;
            }

            QWidget& drill = road.exerciseWindow();
            checkWindow(&drill, screens::exerciseDesign());

            QWidget& results = road.resultsWindow();
            QVERIFY(QTest::qWaitForWindowExposed(&results, testtime::ms(5000)));
            checkWindow(&results, screens::resultsDesign());
            auto* grid = qobject_cast<screens::Grid*>(road.control(&results, "Grid5"));
            for (const auto& [row, col] : {std::pair{0, 1}, {1, 0}, {1, 2}}) {
                const QString text = grid->text(row, col);
                QVERIFY(!text.isEmpty());
                check(QStringLiteral("Risultati Grid5 (%1, %2)").arg(row).arg(col), grid,
                      [grid, row = row, col = col, text](bool show) {
                          grid->setText(row, col, show ? text : QString());
                      });
            }
        }
        QApplication::setPalette(before);
        QVERIFY2(m_failures.isEmpty(), qPrintable(m_failures.join(u"\n"_qs)));
    }
};

QTEST_MAIN(TestContrast)
#include "tst_contrast.moc"
