#pragma once

#include <functional>

#include <QList>
#include <QObject>
#include <QPoint>

class QLabel;
class QWidget;

namespace exercise {

// Dragging inside one window: a press on a source label starts a drag at once, the label
// stays in place while an outline of it follows the pointer, and the release is hit-tested
// against the targets. Mouse, touch (turned into mouse events by Qt) and test events all
// take this one path; nothing from another application can be dropped, since no widget
// accepts platform drops.
class DateDrag : public QObject {
    Q_OBJECT
public:
    using DropHandler = std::function<void(int target, int source)>;

    DateDrag(QWidget* window, QList<QLabel*> sources, QList<QLabel*> targets, DropHandler onDrop);

    bool isDragging() const { return m_source >= 0; }
    // The outline that follows the pointer, for tests to look at.
    QWidget* outline() const { return m_outline; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void finish(QPoint windowPos);
    void cancel();

    QWidget* m_window;
    QList<QLabel*> m_sources;
    // The same labels as plain objects, to recognise them in eventFilter without a cast:
    // a label being destroyed still sends events, and by then it is no longer a QLabel.
    QList<const QObject*> m_sourceObjects;
    QList<QLabel*> m_targets;
    DropHandler m_onDrop;
    QWidget* m_outline;
    int m_source = -1;
    QPoint m_grabOffset;
};

}  // namespace exercise
