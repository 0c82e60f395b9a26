#include "exercise/datedrag.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

namespace exercise {

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

}  // namespace

DateDrag::DateDrag(QWidget* window, QList<QLabel*> sources, QList<QLabel*> targets,
                   DropHandler onDrop)
    : QObject(window),
      m_window(window),
      m_sources(std::move(sources)),
      m_targets(std::move(targets)),
      m_onDrop(std::move(onDrop)),
      m_outline(new Outline(window)) {
    for (QLabel* source : m_sources) {
        m_sourceObjects.append(source);
        source->installEventFilter(this);
        source->setCursor(Qt::OpenHandCursor);
    }
}

bool DateDrag::eventFilter(QObject* watched, QEvent* event) {
    const int index = static_cast<int>(m_sourceObjects.indexOf(watched));
    if (index < 0) {
        return false;
    }
    switch (event->type()) {
        case QEvent::MouseButtonPress: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() != Qt::LeftButton) {
                return false;
            }
            QLabel* source = m_sources.at(index);
            m_source = index;
            m_grabOffset = mouse->position().toPoint();
            m_outline->setGeometry(source->geometry());
            m_outline->raise();
            m_outline->show();
            return true;
        }
        case QEvent::MouseMove: {
            if (m_source != index) {
                return false;
            }
            auto* mouse = static_cast<QMouseEvent*>(event);
            const QPoint at = m_sources.at(index)->mapTo(m_window, mouse->position().toPoint());
            m_outline->move(at - m_grabOffset);
            return true;
        }
        case QEvent::MouseButtonRelease: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (m_source != index || mouse->button() != Qt::LeftButton) {
                return false;
            }
            finish(m_sources.at(index)->mapTo(m_window, mouse->position().toPoint()));
            return true;
        }
        case QEvent::UngrabMouse:
        case QEvent::Hide:
            if (m_source == index) {
                cancel();
            }
            return false;
        default:
            return false;
    }
}

void DateDrag::finish(QPoint windowPos) {
    const int source = m_source;
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
    m_source = -1;
    m_outline->hide();
}

}  // namespace exercise
