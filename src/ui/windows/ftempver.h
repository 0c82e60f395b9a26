// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <memory>

#include <QWidget>

#include "content/facttable.h"
#include "exercise/drill.h"
#include "screens/builder.h"

class QLabel;
class QScrollBar;
class QTimer;

namespace screens {
class FaceButton;
}

namespace exercise {
class UniformSource;
}

namespace windows {

class DateDrag;

// The exercise window. It paints the drill's state and passes clicks, drops and timer ticks
// to the drill; no rule of the drill lives here.
class Ftempver : public QWidget {
    Q_OBJECT
public:
    // Runs the start-up: covers the screen, builds the fact table and presses cmd0, so the
    // window is never shown without an exercise.
    explicit Ftempver(exercise::UniformSource& random, QWidget* parent = nullptr);
    ~Ftempver() override;

    // The smallest zoom the design is drawn at: its dates in letters of 10 pixels. A window
    // too small for the whole design at that zoom scrolls.
    static constexpr double kSmallestZoom = 0.9;

    const exercise::Drill& drill() const { return *m_drill; }
    // Ripasso, when the teacher switched it on: the deals follow the plan, the one on the board
    // too while nothing has been placed on it.
    void setReview(std::optional<exercise::ReviewPlan> plan);
    const screens::Controls& controls() const { return m_controls; }
    DateDrag& dateDrag() const { return *m_drag; }
    QTimer* timer() const { return m_timer; }

Q_SIGNALS:
    void archiveRequested();  // "Vedo l'archivio dei risultati"
    void exitRequested();     // "ESCO", and closing the window by its frame

protected:
    void closeEvent(QCloseEvent* event) override;
    // The design is drawn at the zoom that fits the window, which covers the screen.
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void fitDesign();
    // Places the design at the scroll bars' offsets.
    void placeDesign();
    // Scrolls a control of the window into sight, as when it gets the keyboard focus.
    void showControl(const QWidget* control);
    // Every fact of the table can be read whole in its row at the present zoom.
    bool everyFactFits() const;
    void setFocusChain();
    void setReadingOrder();
    void chooseSet(int code);
    void dealNext();
    void dropDate(int box, int dateLabel);
    void blink();

    void paintExercise();
    void paintCounters();
    void paintSetButtons();
    // What a screen reader says of every control, from the drill's state.
    void describe();
    screens::FaceButton* setButton(int code) const;

    content::FactTable m_table;
    std::unique_ptr<exercise::Drill> m_drill;
    screens::Controls m_controls;
    std::array<QLabel*, exercise::Drill::kFacts> m_facts{};
    std::array<QLabel*, exercise::Drill::kFacts> m_boxes{};
    std::array<QLabel*, exercise::Drill::kFacts> m_dates{};
    DateDrag* m_drag = nullptr;
    QTimer* m_timer = nullptr;
    std::array<QScrollBar*, 2> m_scroll{};  // across, down
};

}  // namespace windows
