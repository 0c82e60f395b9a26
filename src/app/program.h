// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <memory>

#include <QDateTime>
#include <QObject>

#include "archive/status.h"
#include "session/modtempar.h"
#include "session/recording.h"

namespace exercise {
class UniformSource;
}  // namespace exercise

namespace windows {
class Ftempver;
class FormNome;
class Risultati;
}  // namespace windows

namespace app {

// The program's three windows and how they hand over to one another: the name window
// first, then the exercise window, with the results window over it on request. Storing a
// run's totals and ending the program happen here.
class Program : public QObject {
    Q_OBJECT
public:
    // The pupil's answer after a store failed.
    enum class StoreChoice {
        Retry,  // store again
        Back,   // back to the exercise, the totals kept for a later store
        Leave,  // end the program without the totals
    };

    Program(exercise::UniformSource& random, const QString& archivePath);
    ~Program() override;

    // The longest each wait for the archive lasts in the store made as the session ends:
    // a desktop session's end allows a few seconds before it kills what is left.
    static constexpr int kSessionEndWaitMs = 2000;

    // Opens the archive and shows the name window; false after a failure.
    bool start();

    // The desktop session is ending (logout, shutdown, the display gone) and nobody will
    // answer a question: answers not yet stored are stored at once, each wait for the
    // archive cut to kSessionEndWaitMs, and a failure is written, with the run's totals
    // and cause, to stderr and to the system log. Returns the exit code: 1 when answers
    // are lost, otherwise 0. Does nothing once the program has ended.
    int storeAtSessionEnd(const QString& cause);
    // The same, then the program ends with that code.
    void endSession(const QString& cause);

    session::Modtempar& shared() { return m_shared; }
    const session::Pupil& pupil() const { return m_pupil; }
    windows::FormNome& nameWindow() { return *m_nameWindow; }
    windows::Ftempver* exerciseWindow() { return m_exerciseWindow.get(); }
    windows::Risultati* resultsWindow() { return m_resultsWindow.get(); }

    // Asks the pupil what to do after a store failed, with the cause; canGoBack says
    // whether going back to the exercise is offered. By default a message box asks; tests
    // answer instead.
    std::function<StoreChoice(const archive::Status&, bool canGoBack)> onStoreFailed;
    // The clock of the stores; tests set it.
    std::function<QDateTime()> clock = [] { return QDateTime::currentDateTime(); };

Q_SIGNALS:
    // The program is over: the archive is closed, and code is the exit code. The program
    // leaves at once on it; tests record it instead.
    void ended(int code);
    // An archive failure that ends the program, emitted before the run is stored and the
    // program ends; main shows it in a message box, tests record it.
    void failed(const archive::Status& status);

private:
    // The name window settled the pupil: it is the one whose run is stored from now on.
    void showExerciseWindow(const session::Pupil& pupil);
    enum class Stored { Yes, Back, Leave };
    // Stores the run's totals under the pupil doing the exercise, asking again after every
    // failure until the store succeeds or the pupil gives up. Yes also when there is nothing
    // to store: an unrecorded run, or no exercise yet.
    Stored storeRun(bool canGoBack);
    archive::Status archivia();
    StoreChoice askAfterFailedStore(const archive::Status& status, bool canGoBack);
    void showResults();
    // Every way out once the exercise has begun: the run is stored first.
    void leave();
    void fail(const archive::Status& status);
    void end(int code);

    session::Modtempar m_shared;
    // The pupil doing the exercise, from the name window's choice; every store writes its
    // row, whatever name the results window shows.
    session::Pupil m_pupil;
    exercise::UniformSource& m_random;
    std::unique_ptr<windows::FormNome> m_nameWindow;
    std::unique_ptr<windows::Ftempver> m_exerciseWindow;
    std::unique_ptr<windows::Risultati> m_resultsWindow;
    int m_storedAnswers = 0;  // answers given at the last store that succeeded
    // This run's id in the archive's placements: every store of the run adds to the same.
    qint64 m_runId = session::newRunId();
    bool m_ended = false;
};

// Loads Qt's own Italian texts (context menus of text boxes, standard buttons) into the
// application; false when the translation is not installed.
bool loadQtItalian();

}  // namespace app
