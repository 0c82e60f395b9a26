// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "screens/builder.h"

#include <algorithm>
#include <cmath>
#include <future>
#include <map>
#include <memory>

#include <QApplication>
#include <QFontDatabase>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPalette>
#include <QStyle>
#include <QStyleFactory>

#include "screens/accessibility.h"
#include "screens/facebutton.h"
#include "screens/grid.h"
#include "screens/labelbutton.h"
#include "screens/shape.h"

namespace screens {

namespace {

QRect geometryOf(const ControlSpec& design, int index, double zoom) {
    const int top = design.top + design.pitch * index;
    const int x = pixels(design.left, zoom);
    const int y = pixels(top, zoom);
    // Rounding both edges keeps neighbours that touch in twips touching in pixels.
    return QRect(x, y, pixels(design.left + design.width, zoom) - x,
                 pixels(top + design.height, zoom) - y);
}

// Lines of the design (borders, outlines) grow with the zoom but never vanish.
int lineWidthAt(int width, double zoom) {
    return std::max(1, static_cast<int>(std::lround(width * zoom)));
}

void setColours(QWidget* widget, QPalette::ColorRole backRole, QRgb background,
                QPalette::ColorRole foreRole, QRgb foreground) {
    QPalette pal = widget->palette();
    if (background != kNoColour) {
        pal.setColor(backRole, colourOf(background));
    }
    if (foreground != kNoColour) {
        pal.setColor(foreRole, colourOf(foreground));
    }
    widget->setPalette(pal);
}

double luminance(const QColor& colour) {
    const auto channel = [](double c) {
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(colour.redF()) + 0.7152 * channel(colour.greenF()) +
           0.0722 * channel(colour.blueF());
}

double contrast(const QColor& a, const QColor& b) {
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// Lists, grids and text fields mark a selection in the desktop's highlight colour; its text
// is the desktop's own unless that reads at less than 4.5:1 on it (white on the standard
// light palette's mid blue does), then black or white, whichever reads better.
void makeSelectionReadable(QWidget* widget) {
    QPalette pal = widget->palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive}) {
        const QColor highlight = pal.color(group, QPalette::Highlight);
        if (contrast(pal.color(group, QPalette::HighlightedText), highlight) < 4.5) {
            pal.setColor(group, QPalette::HighlightedText,
                         contrast(Qt::black, highlight) >= contrast(Qt::white, highlight)
                             ? QColor(Qt::black)
                             : QColor(Qt::white));
        }
    }
    widget->setPalette(pal);
}

QWidget* makeLabel(const ControlSpec& design, QWidget* parent) {
    Qt::Alignment alignment = Qt::AlignTop;
    if (design.flags & kCentred) {
        alignment |= Qt::AlignHCenter;
    } else if (design.flags & kRightAligned) {
        alignment |= Qt::AlignRight;
    } else {
        alignment |= Qt::AlignLeft;
    }
    QWidget* label = nullptr;
    if (design.flags & kActsAsButton) {
        auto* button = new LabelButton(parent);
        button->setText(QString::fromUtf8(design.text));
        button->setAlignment(alignment);
        label = button;
    } else {
        auto* plain = new QLabel(parent);
        plain->setTextFormat(Qt::PlainText);
        plain->setText(QString::fromUtf8(design.text));
        plain->setWordWrap(true);
        plain->setIndent(0);
        plain->setAlignment(alignment);
        if (design.flags & kBordered) {
            plain->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        }
        label = plain;
    }
    label->setAutoFillBackground((design.flags & kTransparent) == 0);
    setColours(label, QPalette::Window, design.flags & kTransparent ? kNoColour : design.background,
               QPalette::WindowText, design.foreground);
    return label;
}

QWidget* makePicture(const ControlSpec& design, QWidget* parent) {
    auto* picture = new QLabel(parent);
    picture->setPixmap(QPixmap(QString::fromUtf8(design.text)));
    // The label scales the picture smoothly to its own size in device pixels, so a zoomed
    // picture stays as sharp as its pixels allow. A picture shown at natural size has a
    // control of exactly that size, so scaling it to the control keeps its proportions.
    picture->setScaledContents(true);
    picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return picture;
}

QWidget* makeControl(const ControlSpec& design, int index, QWidget* parent) {
    switch (design.kind) {
        case Kind::Label:
            return makeLabel(design, parent);
        case Kind::Button: {
            auto* button = new FaceButton(parent);
            button->setText(QString::fromUtf8(design.text));
            const QRgb face = design.backgroundOf ? design.backgroundOf(index) : design.background;
            button->setFace(colourOf(face));
            setColours(button, QPalette::Button, kNoColour, QPalette::ButtonText,
                       design.foreground);
            return button;
        }
        case Kind::FilledRect:
        case Kind::RoundedRect:
            return new Shape(design.kind == Kind::RoundedRect, colourOf(design.foreground),
                             design.lineWidth, parent);
        case Kind::Picture:
            return makePicture(design, parent);
        case Kind::ListBox: {
            auto* list = new QListView(parent);
            list->setUniformItemSizes(true);
            list->setSelectionMode(QAbstractItemView::SingleSelection);
            list->setEditTriggers(QAbstractItemView::NoEditTriggers);
            setColours(list, QPalette::Base, design.background, QPalette::Text, design.foreground);
            makeSelectionReadable(list);
            return list;
        }
        case Kind::TextField: {
            auto* field = new QLineEdit(parent);
            setColours(field, QPalette::Base, design.background, QPalette::Text, design.foreground);
            makeSelectionReadable(field);
            return field;
        }
        case Kind::Grid: {
            auto* grid = new Grid(parent);
            setColours(grid, QPalette::Base, design.background, QPalette::Text, design.foreground);
            // The fixed header cells are in the design's button face, with its button text.
            setColours(grid, QPalette::Button, kButtonFace, QPalette::ButtonText, kButtonText);
            makeSelectionReadable(grid);
            return grid;
        }
    }
    return nullptr;
}

}  // namespace

const QPalette& designPalette() {
    static const QPalette light = [] {
        const std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("Fusion")));
        constexpr int kFusionGrey = 239;  // Fusion's own window grey
        return fusion ? fusion->standardPalette()
                      : QPalette(QColor(kFusionGrey, kFusionGrey, kFusionGrey));
    }();
    return light;
}

QColor colourOf(QRgb colour) {
    const QPalette& pal = designPalette();
    switch (colour) {
        case kButtonFace:
            return pal.color(QPalette::Active, QPalette::Button);
        case kButtonText:
            return pal.color(QPalette::Active, QPalette::ButtonText);
        case kWindowText:
            return pal.color(QPalette::Active, QPalette::Text);
        default:
            return QColor::fromRgb(colour);
    }
}

QFont fontOf(const FontSpec& design, double zoom) {
    const FontSpec& used = design.family ? design : kDefaultFont;
    QFont font(QString::fromUtf8(used.family));
    font.setStyleHint(QFont::SansSerif);
    const double pixelSize = used.points * 96.0 / 72.0 * zoom;
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(pixelSize))));
    font.setBold(used.bold);
    return font;
}

void installFontSubstitutes() {
    const QStringList families = QFontDatabase::families();
    for (const char* design : {"MS Sans Serif", "Arial"}) {
        const QString name = QString::fromLatin1(design);
        if (!families.contains(name)) {
            QFont::insertSubstitutions(name,
                                       {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                                        QStringLiteral("DejaVu Sans")});
        }
    }
}

QWidget* Controls::get(const QString& name, int index) const {
    const auto it = m_byName.constFind(name);
    if (it == m_byName.constEnd()) {
        return nullptr;
    }
    const int at = index < 0 ? 0 : index;
    return at < it->size() ? it->at(at) : nullptr;
}

QList<QWidget*> Controls::array(const QString& name) const {
    return m_byName.value(name);
}

namespace {

// Background pictures being decoded ahead of their window, by resource path: build() takes
// its own out. Used from the interface's thread only; the decoding runs elsewhere.
std::map<QString, std::future<QImage>>& preloads() {
    static std::map<QString, std::future<QImage>> pictures;
    return pictures;
}

QPixmap backgroundOf(const QString& path) {
    auto preloaded = preloads().find(path);
    if (preloaded == preloads().end()) {
        return QPixmap(path);
    }
    QPixmap pixmap = QPixmap::fromImage(preloaded->second.get());
    preloads().erase(preloaded);
    return pixmap;
}

}  // namespace

void preloadBackground(const WindowSpec& design) {
    if (design.backgroundPicture) {
        const QString path = QString::fromUtf8(design.backgroundPicture);
        preloads()[path] = std::async(std::launch::async, [path] { return QImage(path); });
    }
}

Controls build(QWidget* window, const WindowSpec& design, double zoom) {
    static const bool substitutesInstalled = (installFontSubstitutes(), true);
    Q_UNUSED(substitutesInstalled);
    installAccessibility();
    window->setObjectName(QString::fromUtf8(design.objectName));
    window->setWindowTitle(QString::fromUtf8(design.title));
    window->setAutoFillBackground(true);
    setColours(window, QPalette::Window, design.background, QPalette::WindowText, kNoColour);

    Controls controls;
    controls.m_design = &design;
    controls.m_window = window;
    QList<std::pair<int, QWidget*>> layers;
    if (design.backgroundPicture) {
        auto* picture = new QLabel(window);
        picture->setObjectName(QStringLiteral("backgroundPicture"));
        const QPixmap pixmap = backgroundOf(QString::fromUtf8(design.backgroundPicture));
        picture->setPixmap(pixmap);
        picture->setScaledContents(true);
        picture->setAttribute(Qt::WA_TransparentForMouseEvents);
        controls.m_backgroundPicture = picture;
        controls.m_backgroundSize = pixmap.deviceIndependentSize().toSize();
        layers.append({-1, picture});
    }
    // A name given to several controls (by count, or by several rows) names an array.
    QHash<QString, int> members;
    for (const ControlSpec& control : design.controls) {
        members[QString::fromUtf8(control.name)] += control.count;
    }
    for (const ControlSpec& control : design.controls) {
        const QString name = QString::fromUtf8(control.name);
        for (int member = 0; member < control.count; ++member) {
            QWidget* widget = makeControl(control, member, window);
            widget->setObjectName(name);
            QList<QWidget*>& named = controls.m_byName[name];
            if (members.value(name) > 1) {
                widget->setProperty("index", static_cast<int>(named.size()));
            }
            named.append(widget);
            controls.m_placed.append({widget, &control, member});
            if (control.kind == Kind::Label && control.backgroundOf) {
                QPalette pal = widget->palette();
                pal.setColor(QPalette::Window, colourOf(control.backgroundOf(member)));
                widget->setPalette(pal);
            }
            if (control.flags & kHidden) {
                widget->hide();
            }
            layers.append({control.layer, widget});
        }
    }
    controls.setZoom(zoom);
    window->resize(controls.clientSize());
    std::stable_sort(layers.begin(), layers.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [layer, widget] : layers) {
        widget->raise();
    }

    // Focus entries are control names, "name#index" for a member of an array.
    QWidget* previous = nullptr;
    for (const char* entry : design.focusOrder) {
        const QStringList parts = QString::fromUtf8(entry).split(QLatin1Char('#'));
        QWidget* widget = controls.get(parts.at(0), parts.size() > 1 ? parts.at(1).toInt() : -1);
        if (!widget) {
            continue;
        }
        if (previous) {
            QWidget::setTabOrder(previous, widget);
        } else {
            widget->setFocus();
        }
        previous = widget;
    }
    return controls;
}

void Controls::setZoom(double zoom, QPoint origin) {
    m_zoom = zoom;
    m_origin = origin;
    if (!m_window || !m_design) {
        return;
    }
    m_window->setFont(fontOf(kDefaultFont, zoom));
    if (m_backgroundPicture) {
        m_backgroundPicture->setGeometry(
            QRect(origin, QSize(static_cast<int>(std::lround(m_backgroundSize.width() * zoom)),
                                static_cast<int>(std::lround(m_backgroundSize.height() * zoom)))));
    }
    for (const Placed& placed : std::as_const(m_placed)) {
        const ControlSpec& design = *placed.design;
        QRect place = geometryOf(design, placed.member, zoom);
        if (design.kind == Kind::FilledRect || design.kind == Kind::RoundedRect) {
            // The design's rectangles reach a little past its client area, where the window
            // cut them off; a zoomed design in a larger window cuts them off the same way.
            place &= QRect(QPoint(0, 0), clientSize());
        }
        placed.widget->setGeometry(place.translated(origin));
        placed.widget->setFont(fontOf(design.font, zoom));
        if (auto* frame = qobject_cast<QFrame*>(placed.widget);
            frame && design.kind == Kind::Label && (design.flags & kBordered)) {
            frame->setLineWidth(lineWidthAt(1, zoom));
        }
        if (auto* shape = qobject_cast<Shape*>(placed.widget)) {
            shape->setLineWidth(lineWidthAt(design.lineWidth, zoom));
        }
        if (auto* grid = qobject_cast<Grid*>(placed.widget)) {
            grid->setZoom(zoom);
        }
    }
}

QSize Controls::clientSize() const {
    return m_design ? screens::clientSize(*m_design, m_zoom) : QSize();
}

QSize clientSize(const WindowSpec& design, double zoom) {
    return {pixels(design.clientWidth, zoom), pixels(design.clientHeight, zoom)};
}

namespace {

// True when no word of a label written with runs of blanks lies under a control drawn
// above it (the exercise window's counters sit in the gaps of their text lines).
bool wordsClear(const WindowSpec& design, double zoom) {
    // Two loops that leave at the first hidden word read more plainly than nested
    // std::all_of calls.
    // cppcheck-suppress useStlAlgorithm
    for (const ControlSpec& line : design.controls) {
        const QString text = QString::fromUtf8(line.text);
        if (line.kind != Kind::Label || !text.contains(QLatin1String("  "))) {
            continue;
        }
        const QRect lineRect = geometryOf(line, 0, zoom);
        const QFontMetrics metrics(fontOf(line.font, zoom));
        // cppcheck-suppress useStlAlgorithm
        for (const ControlSpec& over : design.controls) {
            // Only a control that covers most of the first line of text can hide its words.
            const QRect band(lineRect.left(), lineRect.top(), lineRect.width(), metrics.height());
            const QRect overRect = geometryOf(over, 0, zoom);
            if (&over == &line || over.layer <= line.layer ||
                overRect.intersected(band).height() * 2 < band.height()) {
                continue;
            }
            // Each character that is not a blank, left to right from the line's left edge.
            for (qsizetype i = 0; i < text.size(); ++i) {
                if (text.at(i).isSpace()) {
                    continue;
                }
                const int from = lineRect.left() + metrics.horizontalAdvance(text.left(i));
                const int to = lineRect.left() + metrics.horizontalAdvance(text.left(i + 1));
                if (to > overRect.left() && from <= overRect.right()) {
                    return false;
                }
            }
        }
    }
    return true;
}

}  // namespace

double coverZoom(const WindowSpec& design, QSize client,
                 const std::function<bool(double zoom)>& textsFit) {
    const double width = design.clientWidth / double(kTwipsPerPixel);
    const double height = design.clientHeight / double(kTwipsPerPixel);
    if (client.width() <= 0 || client.height() <= 0) {
        return 1.0;
    }
    const double fits = std::min(client.width() / width, client.height() / height);
    for (double zoom = fits; zoom > fits * 0.9; zoom -= 0.0025) {
        if (wordsClear(design, zoom) && (!textsFit || textsFit(zoom))) {
            return zoom;
        }
    }
    return fits;
}

double windowZoom(const WindowSpec& design, QSize available, QMargins frame) {
    const QSize room(available.width() - frame.left() - frame.right(),
                     available.height() - frame.top() - frame.bottom());
    const double fits = coverZoom(design, room);
    if (fits <= 1.0) {
        return fits;
    }
    const QSize share(
        static_cast<int>(available.width() * kWindowShare) - frame.left() - frame.right(),
        static_cast<int>(available.height() * kWindowShare) - frame.top() - frame.bottom());
    return std::min(fits, std::max(1.0, coverZoom(design, share)));
}

QMargins frameMargins(const QWidget* window) {
    const QRect frame = window->frameGeometry();
    const QRect client = window->geometry();
    if (window->isVisible() && frame != client) {
        return {client.left() - frame.left(), client.top() - frame.top(),
                frame.right() - client.right(), frame.bottom() - client.bottom()};
    }
    const QStyle* style = window->style();
    const int border = style->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, window);
    const int title = style->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, window);
    return {border, title + border, border, border};
}

QWidget* findControl(const QWidget* window, const QString& name, int index) {
    const QList<QWidget*> found = window->findChildren<QWidget*>(name);
    for (QWidget* widget : found) {
        const QVariant at = widget->property("index");
        if (index < 0 ? !at.isValid() : (at.isValid() && at.toInt() == index)) {
            return widget;
        }
    }
    return nullptr;
}

}  // namespace screens
