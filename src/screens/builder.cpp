#include "screens/builder.h"

#include <algorithm>

#include <QApplication>
#include <QFontDatabase>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPalette>

#include "screens/accessibility.h"
#include "screens/facebutton.h"
#include "screens/grid.h"
#include "screens/labelbutton.h"
#include "screens/shape.h"

namespace screens {

namespace {

QRect geometryOf(const ControlSpec& design, int index) {
    const int top = design.top + design.pitch * index;
    const int x = pixels(design.left);
    const int y = pixels(top);
    // Rounding both edges keeps neighbours that touch in twips touching in pixels.
    return QRect(x, y, pixels(design.left + design.width) - x, pixels(top + design.height) - y);
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

QWidget* makeLabel(const ControlSpec& design, QWidget* parent) {
    QLabel* label = design.flags & kActsAsButton ? new LabelButton(parent) : new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setText(QString::fromUtf8(design.text));
    label->setWordWrap(true);
    label->setIndent(0);
    Qt::Alignment alignment = Qt::AlignTop;
    if (design.flags & kCentred) {
        alignment |= Qt::AlignHCenter;
    } else if (design.flags & kRightAligned) {
        alignment |= Qt::AlignRight;
    } else {
        alignment |= Qt::AlignLeft;
    }
    label->setAlignment(alignment);
    if (design.flags & kBordered) {
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setLineWidth(1);
    }
    label->setAutoFillBackground((design.flags & kTransparent) == 0);
    setColours(label, QPalette::Window, design.flags & kTransparent ? kNoColour : design.background,
               QPalette::WindowText, design.foreground);
    return label;
}

QWidget* makePicture(const ControlSpec& design, QWidget* parent) {
    auto* picture = new QLabel(parent);
    picture->setPixmap(QPixmap(QString::fromUtf8(design.text)));
    picture->setScaledContents((design.flags & kStretched) != 0);
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
            return list;
        }
        case Kind::TextField: {
            auto* field = new QLineEdit(parent);
            setColours(field, QPalette::Base, design.background, QPalette::Text, design.foreground);
            return field;
        }
        case Kind::Grid: {
            auto* grid = new Grid(parent);
            setColours(grid, QPalette::Base, design.background, QPalette::Text, design.foreground);
            return grid;
        }
    }
    return nullptr;
}

}  // namespace

QColor colourOf(QRgb colour) {
    const QPalette pal = QApplication::palette();
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

QFont fontOf(const FontSpec& design) {
    const FontSpec& used = design.family ? design : kDefaultFont;
    QFont font(QString::fromUtf8(used.family));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(qRound(used.points * 96.0 / 72.0));
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

Controls build(QWidget* window, const WindowSpec& design) {
    static const bool substitutesInstalled = (installFontSubstitutes(), true);
    Q_UNUSED(substitutesInstalled);
    installAccessibility();
    window->setObjectName(QString::fromUtf8(design.objectName));
    window->setWindowTitle(QString::fromUtf8(design.title));
    window->resize(pixels(design.clientWidth), pixels(design.clientHeight));
    window->setFont(fontOf(kDefaultFont));
    window->setAutoFillBackground(true);
    setColours(window, QPalette::Window, design.background, QPalette::WindowText, kNoColour);

    Controls controls;
    QList<std::pair<int, QWidget*>> layers;
    if (design.backgroundPicture) {
        auto* picture = new QLabel(window);
        picture->setObjectName(QStringLiteral("backgroundPicture"));
        const QPixmap pixmap(QString::fromUtf8(design.backgroundPicture));
        picture->setPixmap(pixmap);
        picture->setGeometry(QRect(QPoint(0, 0), pixmap.deviceIndependentSize().toSize()));
        picture->setAttribute(Qt::WA_TransparentForMouseEvents);
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
            widget->setGeometry(geometryOf(control, member));
            widget->setFont(fontOf(control.font));
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
