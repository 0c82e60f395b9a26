// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/program.h"

#include <syslog.h>

#include <cstdio>

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTranslator>

#include "screens/messages.h"
#include "session/recording.h"
#include "windows/formnome.h"
#include "windows/ftempver.h"
#include "windows/risultati.h"

namespace app {

Program::Program(exercise::UniformSource& random, const QString& archivePath)
    : m_random(random), m_nameWindow(std::make_unique<windows::FormNome>(m_shared)) {
    m_shared.archivePath = archivePath;
    connect(m_nameWindow.get(), &windows::FormNome::failed, this, &Program::fail);
    connect(m_nameWindow.get(), &windows::FormNome::exitRequested, this, [this] { end(0); });
    connect(m_nameWindow.get(), &windows::FormNome::nameSettled, this,
            &Program::showExerciseWindow);
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

void Program::showExerciseWindow(const session::Pupil& pupil) {
    m_pupil = pupil;
    m_shared.setPupil(pupil);
    if (!m_exerciseWindow) {
        m_exerciseWindow = std::make_unique<windows::Ftempver>(m_random);
        connect(m_exerciseWindow.get(), &windows::Ftempver::archiveRequested, this, [this] {
            switch (storeRun(true)) {
                case Stored::Yes:
                    showResults();
                    break;
                case Stored::Back:
                    break;
                case Stored::Leave:
                    end(1);
                    break;
            }
        });
        // "ESCO", and closing the window by its frame, store the run's totals first, so a
        // pupil's work is never lost to the close button.
        connect(m_exerciseWindow.get(), &windows::Ftempver::exitRequested, this, &Program::leave);
        // The teacher's ripasso deals by what the pupil's row remembers. Without it, or when
        // the archive cannot say, the facts are dealt as designed: the exercise works the same.
        std::optional<exercise::ReviewPlan> plan;
        const archive::Status status = session::reviewPlan(m_shared, m_pupil, &plan);
        if (!status.ok()) {
            std::fputs(QStringLiteral("Tempolario: il ripasso non è disponibile, le domande sono "
                                      "estratte a caso. %1 %2\n")
                           .arg(status.advice, status.cause())
                           .toLocal8Bit()
                           .constData(),
                       stderr);
        }
        m_exerciseWindow->setReview(std::move(plan));
    }
    m_exerciseWindow->show();
    m_exerciseWindow->activateWindow();
}

Program::Stored Program::storeRun(bool canGoBack) {
    if (!m_exerciseWindow || !m_pupil.recorded) {
        return Stored::Yes;
    }
    archive::Status status = archivia();
    while (!status) {
        const StoreChoice choice = askAfterFailedStore(status, canGoBack);
        // The session may have ended while the pupil was asked: its end has stored the run,
        // or reported it lost, and closed the archive. The answer leads to nothing more.
        if (m_ended) {
            return Stored::Leave;
        }
        switch (choice) {
            case StoreChoice::Retry:
                // A fresh handle, so a file put back in place is the one written.
                status = m_shared.openArchive();
                if (status) {
                    status = archivia();
                }
                break;
            case StoreChoice::Back:
                if (canGoBack) {
                    return Stored::Back;
                }
                break;
            case StoreChoice::Leave:
                return Stored::Leave;
        }
    }
    return Stored::Yes;
}

archive::Status Program::archivia() {
    const exercise::Drill& drill = m_exerciseWindow->drill();
    archive::Status status =
        session::archivia(m_shared, m_pupil, drill.rightTotal(), drill.answersTotal(), clock(),
                          session::runAnswers(m_runId, drill.placements()));
    if (status) {
        m_storedAnswers = drill.answersTotal();
    }
    return status;
}

Program::StoreChoice Program::askAfterFailedStore(const archive::Status& status, bool canGoBack) {
    if (onStoreFailed) {
        return onStoreFailed(status, canGoBack);
    }
    // What to do now comes first; the error's own text, which may be the engine's English,
    // comes last.
    QString text = QStringLiteral(
                       "Non riesco a salvare i risultati nell'archivio.\n\n%1\n\n"
                       "Clicca su \"Riprova\" per salvarli di nuovo: l'archivio "
                       "viene riaperto, non serve riavviare il programma.")
                       .arg(status.advice);
    if (canGoBack) {
        text += QStringLiteral(
            "\nClicca su \"Torna all'esercizio\" per continuare: i risultati restano in "
            "memoria e vengono salvati la prossima volta.");
    }
    text += QStringLiteral(
                "\nSe clicchi su \"Esci\", il programma si chiude e questi risultati "
                "NON vengono salvati.\n\n") +
            status.cause();
    QWidget* owner = m_exerciseWindow.get();
    if (m_resultsWindow && m_resultsWindow->isVisible()) {
        owner = m_resultsWindow.get();
    }
    QMessageBox box(QMessageBox::Warning, screens::kProgramTitle, text, QMessageBox::NoButton,
                    owner);
    box.setObjectName(QStringLiteral("storeFailed"));
    box.setTextFormat(Qt::PlainText);
    // One role for all three, so that every desktop's button order keeps the order given:
    // the two safe choices first, then "Esci", which throws the run away.
    QPushButton* retryButton = box.addButton(QStringLiteral("Riprova"), QMessageBox::ActionRole);
    QPushButton* backButton =
        canGoBack ? box.addButton(QStringLiteral("Torna all'esercizio"), QMessageBox::ActionRole)
                  : nullptr;
    QPushButton* leaveButton = box.addButton(QStringLiteral("Esci"), QMessageBox::ActionRole);
    box.setDefaultButton(retryButton);
    // Escape, and the window's close button, never throw the run away.
    box.setEscapeButton(backButton ? backButton : retryButton);
    box.exec();
    if (box.clickedButton() == leaveButton) {
        return StoreChoice::Leave;
    }
    if (backButton && box.clickedButton() == backButton) {
        return StoreChoice::Back;
    }
    return StoreChoice::Retry;
}

void Program::showResults() {
    if (!m_resultsWindow) {
        m_resultsWindow = std::make_unique<windows::Risultati>(m_shared, m_exerciseWindow.get());
        m_resultsWindow->setPupil(m_pupil);
        connect(m_resultsWindow.get(), &windows::Risultati::failed, this, &Program::fail);
        // "Esco" is a way out like "ESCO": answers given since the last store are kept.
        connect(m_resultsWindow.get(), &windows::Risultati::exitRequested, this, &Program::leave);
        // Back on the exercise window, the keys go to it again.
        connect(m_resultsWindow.get(), &windows::Risultati::wentBack, this,
                [this] { m_exerciseWindow->activateWindow(); });
    }
    // The refresh reads the row just stored; a failure has ended the program.
    if (!m_resultsWindow->start()) {
        return;
    }
    m_resultsWindow->show();
    m_resultsWindow->raise();
    m_resultsWindow->activateWindow();
}

void Program::leave() {
    end(storeRun(false) == Stored::Yes ? 0 : 1);
}

void Program::fail(const archive::Status& status) {
    Q_EMIT failed(status);
    // Even a failure ends the program only after the run is stored, or given up by the
    // pupil; a run stored already is not asked about again.
    if (m_exerciseWindow && m_exerciseWindow->drill().answersTotal() != m_storedAnswers) {
        storeRun(false);
    }
    end(1);
}

int Program::storeAtSessionEnd(const QString& cause) {
    if (m_ended || !m_exerciseWindow || !m_pupil.recorded ||
        m_exerciseWindow->drill().answersTotal() == m_storedAnswers) {
        return 0;
    }
    // A file kept locked, or a silent server, must not hold the program past the session.
    m_shared.busyTimeoutMs = kSessionEndWaitMs;
    m_shared.server.timeoutMs = kSessionEndWaitMs;
    archive::Status status = m_shared.archiveDb ? archive::Status() : m_shared.openArchive();
    if (m_shared.archiveDb) {
        m_shared.archiveDb->limitWait(kSessionEndWaitMs);
        status = archivia();
    }
    if (status) {
        return 0;
    }
    const exercise::Drill& drill = m_exerciseWindow->drill();
    const QString text = QStringLiteral(
                             "Tempolario: %1, e i risultati di «%2» (%3 giuste su %4, alle %5) NON "
                             "sono stati salvati. %6 %7")
                             .arg(cause, m_pupil.name, QString::number(drill.rightTotal()),
                                  QString::number(drill.answersTotal()),
                                  clock().toString(QStringLiteral("dd/MM/yyyy HH:mm:ss")),
                                  status.advice, status.cause());
    std::fputs((text + QLatin1Char('\n')).toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
    openlog("tempolario", LOG_PID, LOG_USER);
    syslog(LOG_ERR, "%s", text.toUtf8().constData());
    closelog();
    return 1;
}

void Program::endSession(const QString& cause) {
    end(storeAtSessionEnd(cause));
}

void Program::end(int code) {
    if (m_ended) {
        return;
    }
    m_ended = true;
    m_shared.closeArchive();
    Q_EMIT ended(code);
}

bool loadQtItalian() {
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(QStringLiteral("qtbase_it"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

}  // namespace app
