// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include <QWidget>

#include "archive/namechoice.h"
#include "screens/builder.h"
#include "screens/screenfit.h"

namespace archive {

// The name window, first of the program: the pupil picks a stored name or types one, and
// the window hands over to the exercise window. The archive work is NameChoice's.
class FormNome : public QWidget {
    Q_OBJECT
public:
    // The prompt of the input box: three sentences, separated by a line feed and a carriage
    // return. On screen each sentence stands on its own line.
    static const QString kPrompt;

    explicit FormNome(Modtempar& shared, QWidget* parent = nullptr);

    // Moves the window to the top-left corner, hides CmdOK, opens the archive and lists the
    // names. False after a failure, which has been reported by failed().
    bool start();

    const screens::Controls& controls() const { return m_controls; }
    // False when the pupil answered the input box with "Annulla": the run is not recorded.
    bool recorded() const { return m_choice.recorded(); }

Q_SIGNALS:
    void nameSettled();  // the name in force is settled: on to the exercise
    void failed(const archive::Status& status);
    void exitRequested();  // "Esco", and closing the window by its frame

protected:
    void closeEvent(QCloseEvent* event) override;
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
    bool check(const Status& status);
    // The pupil's answer to the input box; none for "Annulla".
    std::optional<QString> askName();

    Modtempar& m_shared;
    NameChoice m_choice;
    NameList m_names;
    screens::Controls m_controls;
    screens::ScreenFit* m_screenFit = nullptr;
};

}  // namespace archive
