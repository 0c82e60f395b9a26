// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include <QWidget>

#include "screens/builder.h"
#include "screens/screenfit.h"
#include "session/namechoice.h"

namespace windows {

// The name window, first of the program: the pupil picks a stored name or types one, and
// the window hands over to the exercise window. The archive work is NameChoice's.
class FormNome : public QWidget {
    Q_OBJECT
public:
    // The prompt of the input box: three sentences, separated by a line feed and a carriage
    // return. On screen each sentence stands on its own line.
    static const QString kPrompt;

    explicit FormNome(session::Modtempar& shared, QWidget* parent = nullptr);

    // Moves the window to the top-left corner, hides CmdOK, opens the archive and lists the
    // names. False after a failure, which has been reported by failed().
    bool start();

    const screens::Controls& controls() const { return m_controls; }
    // The pupil as chosen so far: the picked name before it is confirmed, then the one
    // nameSettled() hands on.
    const session::Pupil& pupil() const { return m_choice.pupil(); }

Q_SIGNALS:
    // The pupil is settled (picked and confirmed, typed, or "Annulla" for a run not
    // recorded): on to the exercise.
    void nameSettled(const session::Pupil& pupil);
    void failed(const archive::Status& status);
    void exitRequested();  // "Esco", and closing the window by its frame

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Draws the design at the zoom that fits the screen (screens::windowZoom); called by the
    // window's screens::ScreenFit.
    void fitToScreen(const QRect& available, const QMargins& frame);
    // What a screen reader says of the controls whose own text does not say it all.
    void describe();
    void picked(int row);
    void confirmPicked();
    void typeName();
    void settle();
    bool check(const archive::Status& status);
    // The pupil's answer to the input box; none for "Annulla".
    std::optional<QString> askName();

    session::NameChoice m_choice;
    session::NameList m_names;
    screens::Controls m_controls;
    screens::ScreenFit* m_screenFit = nullptr;
    [[maybe_unused]] bool m_instructed = false;  // what to do here was announced (Qt 6.8)
};

}  // namespace windows
