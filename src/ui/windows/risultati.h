// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

#include "screens/builder.h"
#include "session/resultsview.h"

namespace windows {

// The results window: the stored outcome of the pupil's name, or of a searched one, in a
// grid. It is shown over the exercise window without blocking it, and only ever hidden.
class Risultati : public QWidget {
    Q_OBJECT
public:
    // A window of its own, owned by the given window (the exercise window) so that it stays
    // above it.
    explicit Risultati(session::Modtempar& shared, QWidget* owner = nullptr);

    // Start and refresh ("AGGIORNA I RISULTATI"): reopens the archive and fills the grid for
    // the pupil's name. False after a failure, which has been reported by failed().
    bool start();
    // Fills the grid with the outcome of the name shown.
    bool concetti();

    const session::ResultsView& view() const { return m_view; }
    // The pupil doing the exercise, handed by the program; its name is shown at start.
    void setPupil(const session::Pupil& pupil) { m_view.setPupil(pupil); }
    const screens::Controls& controls() const { return m_controls; }

Q_SIGNALS:
    void failed(const archive::Status& status);
    void exitRequested();  // "Esco"
    void wentBack();       // after "TORNA" has hidden the window

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // Closing by the frame is going back, as "TORNA" does.
    void closeEvent(QCloseEvent* event) override;

private:
    // Draws the design at the zoom that fits the screen (screens::windowZoom); the first
    // fitting centres the window in the screen's available area. Called by the window's
    // screens::ScreenFit, which keeps the shown window inside that area.
    void fitToScreen(const QRect& available, const QMargins& frame);
    void setKeyboardRoad();
    // What a screen reader says of the controls whose own text does not say it all.
    void describe();
    void search();
    void back();
    void setTextColour(const char* name, const QColor& colour);
    bool check(const archive::Status& status);

    session::ResultsView m_view;
    screens::Controls m_controls;
    bool m_placed = false;
};

}  // namespace windows
