#include "archive/program.h"

#include <QPushButton>

#include "archive/formnome.h"
#include "archive/recording.h"
#include "archive/risultati.h"
#include "exercise/ftempver.h"
#include "screens/messages.h"

namespace archive {

Program::Program(exercise::UniformSource& random, const QString& archivePath)
    : m_random(random), m_nameWindow(std::make_unique<FormNome>(m_shared)) {
    m_shared.archivePath = archivePath;
    m_nameWindow->onFailure = [this](const Status& status) { fail(status); };
    m_nameWindow->onExit = [this] { end(0); };
    m_nameWindow->onNameSettled = [this] { showExerciseWindow(); };
}

Program::~Program() = default;

bool Program::start() {
    if (!m_nameWindow->start()) {
        return false;
    }
    m_nameWindow->show();
    // Keys go to the name list from the start, even where no window manager hands the
    // keyboard to a new window.
    m_nameWindow->activateWindow();
    return true;
}

void Program::showExerciseWindow() {
    if (!m_exerciseWindow) {
        m_exerciseWindow = std::make_unique<exercise::Ftempver>(m_random);
        m_exerciseWindow->onArchive = [this] {
            if (archivia()) {
                showResults();
            }
        };
        // "ESCO", and closing the window by its frame, store the run's totals first, so a
        // pupil's work is never lost to the close button.
        m_exerciseWindow->onExit = [this] {
            if (archivia()) {
                end(0);
            }
        };
        m_exerciseWindow->onClose = m_exerciseWindow->onExit;
    }
    m_exerciseWindow->show();
    m_exerciseWindow->activateWindow();
}

bool Program::archivia() {
    // While the results window shows a searched pupil, the store still goes to the pupil
    // doing the exercise.
    const QString pupil =
        m_resultsWindow ? m_resultsWindow->view().pupilName() : m_shared.currentName;
    const exercise::Drill& drill = m_exerciseWindow->drill();
    const Status status =
        archive::archivia(m_shared, pupil, drill.rightTotal(), drill.answersTotal(), clock());
    if (!status) {
        fail(status);
    }
    return status.ok();
}

void Program::showResults() {
    if (!m_resultsWindow) {
        m_resultsWindow = std::make_unique<Risultati>(m_shared);
        m_resultsWindow->onFailure = [this](const Status& status) { fail(status); };
        m_resultsWindow->onExit = [this] { end(0); };
        // Back on the exercise window, the keys go to it again.
        m_resultsWindow->onBack = [this] { m_exerciseWindow->activateWindow(); };
        if (!m_resultsWindow->start()) {
            return;
        }
    }
    // The refresh reads the row just stored.
    m_resultsWindow->controls().as<QPushButton>(QStringLiteral("CMDAGGIORNA"))->click();
    if (m_ended) {
        return;
    }
    m_resultsWindow->show();
    m_resultsWindow->raise();
    m_resultsWindow->activateWindow();
}

void Program::fail(const Status& status) {
    if (onFailureShown) {
        onFailureShown(status);
    } else {
        screens::showFailure(nullptr, status.message());
    }
    end(1);
}

void Program::end(int code) {
    if (m_ended) {
        return;
    }
    m_ended = true;
    m_shared.closeArchive();
    if (onEnd) {
        onEnd(code);
    }
}

}  // namespace archive
