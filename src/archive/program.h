#pragma once

#include <functional>
#include <memory>

#include <QDateTime>

#include "archive/modtempar.h"
#include "archive/status.h"

namespace exercise {
class Ftempver;
class UniformSource;
}  // namespace exercise

namespace archive {

class FormNome;
class Risultati;

// The program's three windows and how they hand over to one another: the name window
// first, then the exercise window, with the results window over it on request. Storing a
// run's totals and ending the program happen here.
class Program {
public:
    Program(exercise::UniformSource& random, const QString& archivePath);
    ~Program();

    // Opens the archive and shows the name window; false after a failure.
    bool start();

    Modtempar& shared() { return m_shared; }
    FormNome& nameWindow() { return *m_nameWindow; }
    exercise::Ftempver* exerciseWindow() { return m_exerciseWindow.get(); }
    Risultati* resultsWindow() { return m_resultsWindow.get(); }

    // How the program ends: after the archive is closed, with the exit code. The program
    // leaves at once; tests record the end instead.
    std::function<void(int code)> onEnd;
    // Shows an archive failure before the program ends; tests record it instead.
    std::function<void(const Status&)> onFailureShown;
    // The clock of the stores; tests set it.
    std::function<QDateTime()> clock = [] { return QDateTime::currentDateTime(); };

private:
    void showExerciseWindow();
    // Stores the run's totals under the pupil doing the exercise; false after a failure.
    bool archivia();
    void showResults();
    void fail(const Status& status);
    void end(int code);

    Modtempar m_shared;
    exercise::UniformSource& m_random;
    std::unique_ptr<FormNome> m_nameWindow;
    std::unique_ptr<exercise::Ftempver> m_exerciseWindow;
    std::unique_ptr<Risultati> m_resultsWindow;
    bool m_ended = false;
};

}  // namespace archive
