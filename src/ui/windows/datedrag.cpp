// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/datedrag.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>

#include <algorithm>

namespace windows {

namespace {

// A dashed black-and-white rectangle, readable on any background, that lets clicks through.
class Outline : public QWidget {
public:
    explicit Outline(QWidget* parent) : QWidget(parent) {
        setObjectName(QStringLiteral("dragOutline"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        hide();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const QRect frame = rect().adjusted(0, 0, -1, -1);
        painter.setPen(QPen(Qt::white, 2));
        painter.drawRect(frame.adjusted(1, 1, -1, -1));
        QPen dashes(Qt::black, 2, Qt::DashLine);
        painter.setPen(dashes);
        painter.drawRect(frame.adjusted(1, 1, -1, -1));
    }
};

// No modifier but the keypad's: its Enter and, without Num Lock, its arrows come with it.
bool plain(const QKeyEvent* key) {
    return (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

bool isActivation(int key) {
    return key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter ||
           key == Qt::Key_Select;
}

}  // namespace

// The mark of a picked label, drawn over it: a thick black frame inside its edges and a
// black corner triangle at the bottom left, so the pick shows by shape as well as by colour.
// Both grow with the label, and neither is drawn over the label's text: the frame opens
// where the text meets it, and the corner lies below the text, which stands at the top.
class PickMark : public QWidget {
public:
    explicit PickMark(QWidget* parent) : QWidget(parent) {
        setObjectName(QStringLiteral("pickMark"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        hide();
    }

    void cover(const QLabel* label) {
        m_label = label;
        if (label) {
            setGeometry(label->geometry());
            update();
        }
    }

protected:
    void paintEvent(QPaintEvent*) override {
        if (!m_label) {
            return;
        }
        const QRect all = rect();
        const int frame = std::max(2, all.height() / 10);
        const int corner = all.height() / 3;
        QPainterPath mark;
        mark.setFillRule(Qt::WindingFill);
        mark.addRect(all);
        QPainterPath inside;
        inside.addRect(all.adjusted(frame, frame, -frame, -frame));
        mark = mark.subtracted(inside);
        QPainterPath triangle;
        triangle.moveTo(frame, all.height() - frame);
        triangle.lineTo(frame + corner, all.height() - frame);
        triangle.lineTo(frame, all.height() - frame - corner);
        triangle.closeSubpath();
        mark = mark.united(triangle);
        // The text's own box, one pixel wider all round for the edges of its glyphs.
        const QRect text =
            QFontMetrics(m_label->font())
                .boundingRect(m_label->contentsRect(),
                              static_cast<int>(m_label->alignment() | Qt::TextWordWrap),
                              m_label->text())
                .adjusted(-1, -1, 1, 1);
        QPainterPath clear;
        clear.addRect(text);
        QPainter painter(this);
        painter.fillPath(mark.subtracted(clear), Qt::black);
    }

private:
    QPointer<const QLabel> m_label;
};

DateDrag::DateDrag(QWidget* window, QList<QLabel*> sources, QList<QLabel*> targets,
                   DropHandler onDrop)
    : QObject(window),
      m_window(window),
      m_sources(std::move(sources)),
      m_targets(std::move(targets)),
      m_onDrop(std::move(onDrop)),
      m_outline(new Outline(window)),
      m_pickMark(new PickMark(window)) {
    for (QLabel* source : m_sources) {
        m_sourceObjects.append(source);
        source->setCursor(Qt::OpenHandCursor);
    }
    for (QLabel* target : m_targets) {
        m_targetObjects.append(target);
    }
    setTabStop(kSources, 0);
    setTabStop(kTargets, 0);
    // Every control of the window reports its presses (a press elsewhere drops the pick)
    // and its unused keys (Esc).
    m_window->installEventFilter(this);
    for (QWidget* child : m_window->findChildren<QWidget*>()) {
        child->installEventFilter(this);
    }
}

QWidget* DateDrag::pickMark() const {
    return m_pickMark;
}

void DateDrag::dropPick() {
    if (m_picked < 0) {
        return;
    }
    m_picked = -1;
    m_pickMark->cover(nullptr);
    m_pickMark->hide();
    Q_EMIT pickChanged(-1);
}

void DateDrag::focusFirstSource() {
    setTabStop(kSources, 0);
    m_sources.at(0)->setFocus(Qt::OtherFocusReason);
}

void DateDrag::pick(int source) {
    m_picked = source;
    m_pickMark->cover(m_sources.at(source));
    m_pickMark->raise();
    m_pickMark->show();
    Q_EMIT pickChanged(source);
}

void DateDrag::letGo() {
    if (m_picked >= 0) {
        dropPick();
        Q_EMIT pickLetGo();
    }
}

void DateDrag::place(int target) {
    const int source = m_picked;
    dropPick();
    m_onDrop(target, source);
}

QLabel* DateDrag::member(Column column, int index) const {
    return column == kSources ? m_sources.at(index) : m_targets.at(index);
}

void DateDrag::setTabStop(Column column, int index) {
    const QList<QLabel*>& members = column == kSources ? m_sources : m_targets;
    for (int k = 0; k < members.size(); ++k) {
        members.at(k)->setFocusPolicy(k == index ? Qt::StrongFocus : Qt::ClickFocus);
    }
    m_tabStop[column] = index;
}

bool DateDrag::moveFocus(Column column, int index, int key) {
    Column to = column;
    int at = index;
    const int last = static_cast<int>((column == kSources ? m_sources : m_targets).size()) - 1;
    switch (key) {
        case Qt::Key_Up:
            at = qMax(0, index - 1);
            break;
        case Qt::Key_Down:
            at = qMin(last, index + 1);
            break;
        case Qt::Key_Home:
            at = 0;
            break;
        case Qt::Key_End:
            at = last;
            break;
        // The boxes stand left of the dates.
        case Qt::Key_Left:
            to = kTargets;
            break;
        case Qt::Key_Right:
            to = kSources;
            break;
        default:
            return false;
    }
    const QList<QLabel*>& members = to == kSources ? m_sources : m_targets;
    at = qMin(at, static_cast<int>(members.size()) - 1);
    setTabStop(to, at);
    members.at(at)->setFocus(Qt::OtherFocusReason);
    return true;
}

bool DateDrag::eventFilter(QObject* watched, QEvent* event) {
    // The mark follows its label when the window draws the design at another zoom.
    if ((event->type() == QEvent::Move || event->type() == QEvent::Resize) && m_picked >= 0 &&
        watched == m_sourceObjects.at(m_picked)) {
        m_pickMark->cover(m_sources.at(m_picked));
        return false;
    }
    // The second of two quick presses comes as a double click; it is a press all the same.
    const QEvent::Type type =
        event->type() == QEvent::MouseButtonDblClick ? QEvent::MouseButtonPress : event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove &&
        type != QEvent::MouseButtonRelease && type != QEvent::KeyPress && type != QEvent::FocusIn &&
        type != QEvent::UngrabMouse && type != QEvent::Hide) {
        return false;
    }
    if (const int source = static_cast<int>(m_sourceObjects.indexOf(watched)); source >= 0) {
        return sourceEvent(source, type, event);
    }
    if (const int target = static_cast<int>(m_targetObjects.indexOf(watched)); target >= 0) {
        return targetEvent(target, type, event);
    }
    if (type == QEvent::MouseButtonPress) {
        letGo();
    } else if (type == QEvent::KeyPress &&
               static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape && m_picked >= 0) {
        letGo();
        return true;
    }
    return false;
}

bool DateDrag::sourceEvent(int index, QEvent::Type type, QEvent* event) {
    switch (type) {
        case QEvent::MouseButtonPress: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() != Qt::LeftButton) {
                return false;
            }
            m_pressed = index;
            m_dragging = false;
            m_grabOffset = mouse->position().toPoint();
            m_pressAt = m_sources.at(index)->mapTo(m_window, m_grabOffset);
            return true;
        }
        case QEvent::MouseMove: {
            if (m_pressed != index) {
                return false;
            }
            auto* mouse = static_cast<QMouseEvent*>(event);
            const QPoint at = m_sources.at(index)->mapTo(m_window, mouse->position().toPoint());
            if (!m_dragging &&
                (at - m_pressAt).manhattanLength() >= QApplication::startDragDistance()) {
                m_dragging = true;
                dropPick();
                m_outline->setGeometry(m_sources.at(index)->geometry());
                m_outline->raise();
                m_outline->show();
            }
            if (m_dragging) {
                m_outline->move(at - m_grabOffset);
            }
            return true;
        }
        case QEvent::MouseButtonRelease: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (m_pressed != index || mouse->button() != Qt::LeftButton) {
                return false;
            }
            if (m_dragging) {
                finish(m_sources.at(index)->mapTo(m_window, mouse->position().toPoint()));
            } else {
                cancel();
                if (m_picked == index) {
                    letGo();
                } else {
                    pick(index);
                }
            }
            return true;
        }
        case QEvent::KeyPress: {
            auto* key = static_cast<QKeyEvent*>(event);
            if (isActivation(key->key()) && plain(key)) {
                if (!key->isAutoRepeat()) {
                    m_picked == index ? letGo() : pick(index);
                }
                return true;
            }
            if (key->key() == Qt::Key_Escape && m_picked >= 0) {
                letGo();
                return true;
            }
            return plain(key) && moveFocus(kSources, index, key->key());
        }
        case QEvent::FocusIn:
            setTabStop(kSources, index);
            return false;
        case QEvent::UngrabMouse:
        case QEvent::Hide:
            if (m_pressed == index) {
                cancel();
            }
            return false;
        default:
            return false;
    }
}

bool DateDrag::targetEvent(int index, QEvent::Type type, QEvent* event) {
    switch (type) {
        case QEvent::MouseButtonPress: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() != Qt::LeftButton) {
                return false;
            }
            m_pressedTarget = index;
            return true;
        }
        case QEvent::MouseButtonRelease: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() != Qt::LeftButton || m_pressedTarget != index) {
                return false;
            }
            m_pressedTarget = -1;
            // A click places on release, and only inside the box it began on.
            if (m_picked >= 0 &&
                m_targets.at(index)->rect().contains(mouse->position().toPoint())) {
                place(index);
            }
            return true;
        }
        case QEvent::KeyPress: {
            auto* key = static_cast<QKeyEvent*>(event);
            if (isActivation(key->key()) && plain(key)) {
                if (key->isAutoRepeat()) {
                    return true;
                }
                if (m_picked >= 0) {
                    place(index);
                } else {
                    Q_EMIT nothingToPlace(index);
                }
                return true;
            }
            if (key->key() == Qt::Key_Escape && m_picked >= 0) {
                letGo();
                return true;
            }
            return plain(key) && moveFocus(kTargets, index, key->key());
        }
        case QEvent::FocusIn:
            setTabStop(kTargets, index);
            return false;
        case QEvent::UngrabMouse:
        case QEvent::Hide:
            if (m_pressedTarget == index) {
                m_pressedTarget = -1;
            }
            return false;
        default:
            return false;
    }
}

void DateDrag::finish(QPoint windowPos) {
    const int source = m_pressed;
    cancel();
    for (int target = 0; target < m_targets.size(); ++target) {
        QLabel* box = m_targets.at(target);
        if (box->rect().contains(box->mapFrom(m_window, windowPos))) {
            m_onDrop(target, source);
            return;
        }
    }
}

void DateDrag::cancel() {
    m_pressed = -1;
    m_dragging = false;
    m_outline->hide();
}

}  // namespace windows
