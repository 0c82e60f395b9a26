#include <QApplication>

#include "exercise/ftempver.h"
#include "exercise/uniformsource.h"
#include "screens/builder.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tempolario"));
    screens::installFontSubstitutes();

    exercise::ClockUniformSource random;
    exercise::Ftempver exerciseWindow(random);
    exerciseWindow.show();
    return QApplication::exec();
}
