// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "screens/accessibility.h"

#include <algorithm>
#include <array>

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QDialog>
#include <QHeaderView>
#include <QKeyEvent>
#include <QTableView>
#include <QWidget>

namespace screens {

namespace {

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

constexpr const char* kReadingOrder = "tempolario_readingOrder";
constexpr const char* kRole = "tempolario_role";
constexpr const char* kAnnouncer = "tempolario_announcer";

// A window whose children are given to a screen reader in the window's reading order.
class WindowAccessible : public QAccessibleWidget {
public:
    explicit WindowAccessible(QWidget* widget) : QAccessibleWidget(widget, QAccessible::Window) {}

    int childCount() const override { return static_cast<int>(children().size()); }

    QAccessibleInterface* child(int index) const override {
        const QList<QWidget*> all = children();
        return index >= 0 && index < all.size() ? QAccessible::queryAccessibleInterface(all.at(index))
                                                : nullptr;
    }

    int indexOfChild(const QAccessibleInterface* child) const override {
        if (child == nullptr || !child->object() || !child->object()->isWidgetType()) {
            return -1;
        }
        return static_cast<int>(children().indexOf(static_cast<QWidget*>(child->object())));
    }

private:
    QList<QWidget*> children() const {
        QList<QWidget*> own;
        for (QObject* object : widget()->children()) {
            if (object->isWidgetType() && !static_cast<QWidget*>(object)->isWindow()) {
                own.append(static_cast<QWidget*>(object));
            }
        }
        const QVariant order = widget()->property(kReadingOrder);
        if (!order.isValid()) {
            return own;
        }
        QList<QWidget*> read;
        for (QWidget* listed : order.value<QList<QWidget*>>()) {
            if (own.contains(listed)) {
                read.append(listed);
            }
        }
        for (QWidget* other : own) {
            if (!read.contains(other) &&
                (other->focusPolicy() != Qt::NoFocus || other->property(kAnnouncer).toBool())) {
                read.append(other);
            }
        }
        return read;
    }
};

QAccessibleInterface* makeInterface(const QString& className, QObject* object) {
    if (object == nullptr || !object->isWidgetType()) {
        return nullptr;
    }
    auto* widget = static_cast<QWidget*>(object);
    if (widget->property(kPressedBySpace).toBool()) {
        return new SpaceButtonAccessible(widget);
    }
    if (const QVariant role = widget->property(kRole); role.isValid()) {
        return new QAccessibleWidget(widget, static_cast<QAccessible::Role>(role.toInt()));
    }
    // A plain widget that is a window would be a mere filler; a screen reader looks for a
    // frame to announce the window by its title.
    if (className == QLatin1String("QWidget") && widget->isWindow() &&
        qobject_cast<QDialog*>(widget) == nullptr) {
        return new WindowAccessible(widget);
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

namespace {

class CurrentOnFocus : public QObject {
public:
    explicit CurrentOnFocus(QAbstractItemView* view) : QObject(view), m_view(view) {
        view->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_view && event->type() == QEvent::FocusIn) {
            // After the view's own focus event, which the reader would take as the later news.
            QMetaObject::invokeMethod(this, [this] { tell(); }, Qt::QueuedConnection);
        }
        return false;
    }

private:
    void tell() {
        const QModelIndex current = m_view->currentIndex();
        if (!QAccessible::isActive() || !m_view->hasFocus() || !current.isValid()) {
            return;
        }
        // A list's entries are its children by row; a table's cells come row by row after
        // the row of column headings, each row led by its heading, as the toolkit counts them.
        int child = current.row();
        if (const auto* table = qobject_cast<const QTableView*>(m_view)) {
            const int rowHeading = table->verticalHeader()->isVisible() ? 1 : 0;
            const int columnHeadings = table->horizontalHeader()->isVisible() ? 1 : 0;
            child = (current.row() + columnHeadings) * (current.model()->columnCount() + rowHeading) +
                    current.column() + rowHeading;
        }
        QAccessibleEvent focus(m_view, QAccessible::Focus);
        focus.setChild(child);
        QAccessible::updateAccessibility(&focus);
    }

    QAbstractItemView* m_view;
};

}  // namespace

void speakCurrentOnFocus(QAbstractItemView* view) {
    new CurrentOnFocus(view);
}


#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)

void announce(QWidget* window, const QString& text) {
    QAccessibleAnnouncementEvent event(window, text);
    QAccessible::updateAccessibility(&event);
}

#else

namespace {

// Before Qt 6.8 there is no announcement: a notification that appears inside a status bar
// is what a screen reader (Orca) speaks whenever it appears, by its name alone. Each
// announcement takes the next of a few notifications, so that a reader still working
// through the previous one reads that one's own words, not the new ones.
class Announcer : public QWidget {
public:
    explicit Announcer(QWidget* window) : QWidget(window) {
        setProperty(kAnnouncer, true);
        setProperty(kRole, static_cast<int>(QAccessible::StatusBar));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
        setGeometry(0, 0, 1, 1);
        for (QWidget*& note : m_notes) {
            note = new QWidget(this);
            note->setProperty(kRole, static_cast<int>(QAccessible::Notification));
            note->setAttribute(Qt::WA_TransparentForMouseEvents);
            note->setGeometry(0, 0, 1, 1);
            note->hide();
        }
        show();
    }

    void say(const QString& text) {
        QWidget* previous = m_notes.at(m_next);
        m_next = (m_next + 1) % m_notes.size();
        QWidget* note = m_notes.at(m_next);
        note->hide();
        note->setAccessibleName(text);
        previous->hide();
        note->show();
    }

private:
    std::array<QWidget*, 3> m_notes{};
    std::size_t m_next = 0;
};

Announcer* announcerOf(QWidget* window) {
    const QObjectList& children = window->children();
    const auto found = std::find_if(children.begin(), children.end(), [](const QObject* child) {
        return child->property(kAnnouncer).toBool();
    });
    return found != children.end() ? static_cast<Announcer*>(*found) : new Announcer(window);
}

}  // namespace

void announce(QWidget* window, const QString& text) {
    if (!text.isEmpty()) {
        announcerOf(window)->say(text);
    }
}

#endif

void setReadingOrder(QWidget* window, const QList<QWidget*>& order) {
    window->setProperty(kReadingOrder, QVariant::fromValue(order));
#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
    // Made with the window: a screen reader that meets it for the first time while it
    // speaks may stumble.
    announcerOf(window);
#endif
}

}  // namespace screens
