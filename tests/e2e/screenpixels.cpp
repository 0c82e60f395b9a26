// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Prints the colours of points of the X screen, one "R G B" line per point given as "X,Y"
// in screen pixels: what a pupil sees there, read without asking the program anything.
// "--save FILE" first saves the whole screen as a picture, "--save FILE X,Y,W,H" a part of it.
// A point given as "X,Y,W,H" is a rectangle: its line is the shape of the dark ink in it (a
// pixel is ink when its red is below half, so black text reads the same on pale yellow and
// on red), cut to the ink's own bounds, as a checksum and a count of ink pixels: two
// rectangles with the same text in the same font print the same line.
#include <cstdio>

#include <QCryptographicHash>
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
        QRect part = shot.rect();
        first = 3;
        int x = 0;
        int y = 0;
        int w = 0;
        int h = 0;
        if (argc > 3 && std::sscanf(argv[3], "%d,%d,%d,%d", &x, &y, &w, &h) == 4) {
            part = QRect(x, y, w, h).intersected(shot.rect());
            first = 4;
        }
        if (!shot.copy(part).save(QString::fromLocal8Bit(argv[2]))) {
            std::fprintf(stderr, "screenpixels: could not save %s\n", argv[2]);
            return 1;
        }
    }
    for (int i = first; i < argc; ++i) {
        int x = 0;
        int y = 0;
        int w = 0;
        int h = 0;
        if (std::sscanf(argv[i], "%d,%d,%d,%d", &x, &y, &w, &h) == 4) {
            const QRect area(x, y, w, h);
            if (area.isEmpty() || !shot.rect().contains(area)) {
                std::fprintf(stderr, "screenpixels: not a part of the screen: %s\n", argv[i]);
                return 2;
            }
            const auto dark = [&](int column, int row) {
                return shot.pixelColor(column, row).red() < 128;
            };
            QRect bounds;
            for (int row = area.top(); row <= area.bottom(); ++row) {
                for (int column = area.left(); column <= area.right(); ++column) {
                    if (dark(column, row)) {
                        bounds |= QRect(column, row, 1, 1);
                    }
                }
            }
            QByteArray ink;
            int count = 0;
            for (int row = bounds.top(); row <= bounds.bottom(); ++row) {
                for (int column = bounds.left(); column <= bounds.right(); ++column) {
                    ink.append(dark(column, row) ? '1' : '0');
                    count += dark(column, row) ? 1 : 0;
                }
                ink.append('\n');
            }
            std::printf("%s %d\n",
                        QCryptographicHash::hash(ink, QCryptographicHash::Sha1).toHex().constData(),
                        count);
            continue;
        }
        if (std::sscanf(argv[i], "%d,%d", &x, &y) != 2 || !shot.rect().contains(x, y)) {
            std::fprintf(stderr, "screenpixels: not a point of the screen: %s\n", argv[i]);
            return 2;
        }
        const QColor c = shot.pixelColor(x, y);
        std::printf("%d %d %d\n", c.red(), c.green(), c.blue());
    }
    return 0;
}
