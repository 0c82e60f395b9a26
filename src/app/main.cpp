#include <cstdlib>
#include <memory>

#include <QApplication>
#include <QIcon>

#include "archive/formnome.h"
#include "archive/modtempar.h"
#include "exercise/ftempver.h"
#include "exercise/uniformsource.h"
#include "screens/messages.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tempolario"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/tempolario.ico")));
    // Every window ends the program through its own steps, never by a last window closing.
    QApplication::setQuitOnLastWindowClosed(false);

    archive::Modtempar shared;
    exercise::ClockUniformSource random;
    std::unique_ptr<exercise::Ftempver> exerciseWindow;

    const auto endProgram = [&shared](int code) {
        shared.closeArchive();
        std::exit(code);
    };
    // A failure of the archive ends the program with the engine's message.
    const auto failure = [&endProgram](const archive::Status& status) {
        screens::showFailure(nullptr, status.message());
        endProgram(EXIT_FAILURE);
    };

    archive::FormNome nameWindow(shared);
    nameWindow.onFailure = failure;
    nameWindow.onExit = [&endProgram] { endProgram(EXIT_SUCCESS); };
    nameWindow.onNameSettled = [&] {
        if (!exerciseWindow) {
            exerciseWindow = std::make_unique<exercise::Ftempver>(random);
            exerciseWindow->onClose = [&endProgram] { endProgram(EXIT_SUCCESS); };
            exerciseWindow->onExit = [&endProgram] { endProgram(EXIT_SUCCESS); };
        }
        exerciseWindow->show();
    };
    if (!nameWindow.start()) {
        return EXIT_FAILURE;
    }
    nameWindow.show();
    return QApplication::exec();
}
