// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "screens/accessibility.h"

#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QWidget>

namespace screens {

namespace {

// A label-button in the accessibility tree: role push button, named by its text with the
// blanks that only place it on screen taken out, pressed like a click on it.
class LabelButtonAccessible : public QAccessibleWidget {
public:
    explicit LabelButtonAccessible(QWidget* widget)
        : QAccessibleWidget(widget, QAccessible::Button) {}

    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Name && widget()->accessibleName().isEmpty()) {
            return widget()->property("text").toString().simplified();
        }
        return QAccessibleWidget::text(kind);
    }

    QStringList actionNames() const override {
        return QStringList(pressAction()) + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& action) override {
        if (action == pressAction()) {
            // Queued, as a push button's press is: the screen reader's request is answered
            // first, and whatever the click opens (a message, the end of the program) comes
            // after.
            QMetaObject::invokeMethod(widget(), "clicked", Qt::QueuedConnection);
            return;
        }
        QAccessibleWidget::doAction(action);
    }
};

constexpr const char* kPressedBySpace = "tempolario_pressedBySpace";

// A control that answers to Space, as a push button: pressed by a screen reader, it is given
// the Space that a pupil at the keyboard would press on it.
class SpaceButtonAccessible : public QAccessibleWidget {
public:
    explicit SpaceButtonAccessible(QWidget* widget)
        : QAccessibleWidget(widget, QAccessible::Button) {}

    QStringList actionNames() const override {
        return QStringList(pressAction()) + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& action) override {
        if (action == pressAction()) {
            // Posted, so the screen reader's request is answered before the press is handled.
            for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
                QCoreApplication::postEvent(
                    widget(), new QKeyEvent(type, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" ")));
            }
            return;
        }
        QAccessibleWidget::doAction(action);
    }
};

QAccessibleInterface* makeInterface(const QString& className, QObject* object) {
    if (object == nullptr || !object->isWidgetType()) {
        return nullptr;
    }
    auto* widget = static_cast<QWidget*>(object);
    if (className == QLatin1String("screens::LabelButton")) {
        return new LabelButtonAccessible(widget);
    }
    if (widget->property(kPressedBySpace).toBool()) {
        return new SpaceButtonAccessible(widget);
    }
    // A plain widget that is a window would be a mere filler; a screen reader looks for a
    // frame to announce the window by its title.
    if (className == QLatin1String("QWidget") && widget->isWindow() &&
        qobject_cast<QDialog*>(widget) == nullptr) {
        return new QAccessibleWidget(widget, QAccessible::Window);
    }
    return nullptr;
}

}  // namespace

void installAccessibility() {
    static const bool installed = (QAccessible::installFactory(makeInterface), true);
    Q_UNUSED(installed);
}

void setSpoken(QWidget* widget, const QString& name, const QString& description) {
    if (widget->accessibleName() != name) {
        widget->setAccessibleName(name);
    }
    if (widget->accessibleDescription() != description) {
        widget->setAccessibleDescription(description);
    }
}

void speakAsPressedBySpace(QWidget* widget) {
    widget->setProperty(kPressedBySpace, true);
}

}  // namespace screens
