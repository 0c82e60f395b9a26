// Prints the colours of points of the X screen, one "R G B" line per point given as "X,Y"
// in screen pixels: what a pupil sees there, read without asking the program anything.
// "--save FILE" first saves the whole screen as a picture.
#include <cstdio>

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    const QImage shot = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
    if (shot.isNull()) {
        std::fprintf(stderr, "screenpixels: the screen could not be read\n");
        return 1;
    }
    int first = 1;
    if (argc > 2 && qstrcmp(argv[1], "--save") == 0) {
        if (!shot.save(QString::fromLocal8Bit(argv[2]))) {
            std::fprintf(stderr, "screenpixels: could not save %s\n", argv[2]);
            return 1;
        }
        first = 3;
    }
    for (int i = first; i < argc; ++i) {
        int x = 0;
        int y = 0;
        if (std::sscanf(argv[i], "%d,%d", &x, &y) != 2 || !shot.rect().contains(x, y)) {
            std::fprintf(stderr, "screenpixels: not a point of the screen: %s\n", argv[i]);
            return 2;
        }
        const QColor c = shot.pixelColor(x, y);
        std::printf("%d %d %d\n", c.red(), c.green(), c.blue());
    }
    return 0;
}
