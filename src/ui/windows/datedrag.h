// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <functional>

#include <QEvent>
#include <QList>
#include <QObject>
#include <QPoint>

class QLabel;
class QWidget;

namespace windows {

class PickMark;

// Placing a source label on a target inside one window, in three ways that all end in the
// one drop handler:
// - dragging: a press on a source and a move beyond the platform's drag distance start a
//   drag; the label stays in place while an outline of it follows the pointer, and the
//   release is hit-tested against the targets;
// - picking: a press and release on a source without that move picks it (a thick frame and
//   a corner marker show it); a click on a target then places it there. A second click on
//   the picked source, Esc, or a press anywhere else drops the pick;
// - keys: arrows move the focus within the sources' column and the targets' column (Left
//   and Right cross to the same row of the other column), Space or Enter on a source picks
//   it (on the picked one, drops the pick), Space or Enter on a target places the picked
//   source there.
// Mouse, touch (turned into mouse events by Qt) and test events all take these paths;
// nothing from another application can be dropped, since no widget accepts platform drops.
// Each column is one stop of the Tab chain: only its last focused member takes Tab focus.
class DateDrag : public QObject {
    Q_OBJECT
public:
    using DropHandler = std::function<void(int target, int source)>;

    DateDrag(QWidget* window, QList<QLabel*> sources, QList<QLabel*> targets, DropHandler onDrop);

    // A source is held and has moved beyond the drag distance.
    bool isDragging() const { return m_dragging; }
    // The picked source, or -1.
    int picked() const { return m_picked; }
    // Drops the pick, if any (a new exercise, a change of set).
    void dropPick();
    // Gives the focus to the first source, and makes it the sources' Tab stop.
    void focusFirstSource();

    // The outline that follows the pointer, and the mark of the picked label, for tests.
    QWidget* outline() const { return m_outline; }
    QWidget* pickMark() const;

Q_SIGNALS:
    void pickChanged(int source);
    // The pupil let go of the pick (Esc, the picked label again, a press elsewhere); not
    // emitted when the pick is placed, nor when the program drops it (dropPick()).
    void pickLetGo();
    // Space or Enter on a target with nothing picked.
    void nothingToPlace(int target);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum Column { kSources = 0, kTargets = 1 };

    bool sourceEvent(int index, QEvent::Type type, QEvent* event);
    bool targetEvent(int index, QEvent::Type type, QEvent* event);
    bool moveFocus(Column column, int index, int key);
    void setTabStop(Column column, int index);
    QLabel* member(Column column, int index) const;
    void pick(int source);
    void letGo();
    void place(int target);
    void finish(QPoint windowPos);
    void cancel();

    QWidget* m_window;
    QList<QLabel*> m_sources;
    QList<QLabel*> m_targets;
    // The same labels as plain objects, to recognise them in eventFilter without a cast:
    // a label being destroyed still sends events, and by then it is no longer a QLabel.
    QList<const QObject*> m_sourceObjects;
    QList<const QObject*> m_targetObjects;
    DropHandler m_onDrop;
    QWidget* m_outline;
    PickMark* m_pickMark;
    int m_pressed = -1;        // source under a held button
    int m_pressedTarget = -1;  // target under a held button
    bool m_dragging = false;
    int m_picked = -1;
    QPoint m_pressAt;  // in window coordinates
    QPoint m_grabOffset;
    std::array<int, 2> m_tabStop{0, 0};
};

}  // namespace windows
