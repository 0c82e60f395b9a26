#include "screens/accessibility.h"

#include <QAccessibleWidget>
#include <QDialog>
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

QAccessibleInterface* makeInterface(const QString& className, QObject* object) {
    if (object == nullptr || !object->isWidgetType()) {
        return nullptr;
    }
    auto* widget = static_cast<QWidget*>(object);
    if (className == QLatin1String("screens::LabelButton")) {
        return new LabelButtonAccessible(widget);
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

}  // namespace screens
