// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Draws Tempolario's pictures and icon. The outputs live in resources/ and are committed; the
// build never runs this program. After changing a drawing, remake them from the checkout root:
//
//     cmake --build build --target tempolario-pictures
//     QT_QPA_PLATFORM=offscreen build/tools/tempolario-pictures resources
//
// Everything is drawn with shapes, paths and gradients (no text, no fonts), and the only
// texture comes from a seeded noise function, so the files come out the same on every run.

#include <QColor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <numeric>
#include <vector>

namespace {

QColor grey(int v, int alpha = 255) {
    return QColor(v, v, v, alpha);
}

// Smooth value noise in [0, 1] from an integer hash.
double latticeValue(int x, int y) {
    quint32 h = quint32(x) * 374761393u + quint32(y) * 668265263u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return double(h & 0xffffffu) / double(0xffffffu);
}

double valueNoise(double x, double y) {
    const int ix = int(std::floor(x));
    const int iy = int(std::floor(y));
    double fx = x - ix;
    double fy = y - iy;
    fx = fx * fx * (3 - 2 * fx);
    fy = fy * fy * (3 - 2 * fy);
    const double top = latticeValue(ix, iy) * (1 - fx) + latticeValue(ix + 1, iy) * fx;
    const double bottom = latticeValue(ix, iy + 1) * (1 - fx) + latticeValue(ix + 1, iy + 1) * fx;
    return top * (1 - fy) + bottom * fy;
}

// Three octaves, centred on zero, roughly in [-0.5, 0.5].
double stoneNoise(double x, double y) {
    return 0.55 * valueNoise(x / 14.0, y / 9.0) + 0.30 * valueNoise(x / 5.0, y / 4.0) +
           0.15 * valueNoise(x / 2.0, y / 2.0) - 0.5;
}

// ---------------------------------------------------------------------------------------------
// Shared motifs

struct HourglassColours {
    QColor woodLight{0xD9, 0x95, 0x4E};
    QColor woodDark{0x7A, 0x44, 0x1C};
    QColor sandLight{0xFF, 0xD8, 0x5E};
    QColor sandDark{0xE8, 0x9A, 0x2C};
    QColor glassEdge{0x4A, 0x5A, 0x78};
};

// An hourglass filling `r`: wooden caps and posts, two glass bulbs, sand half run through.
void drawHourglass(QPainter& p, const QRectF& r, const HourglassColours& c = {}) {
    const qreal capH = r.height() * 0.085;
    const qreal cx = r.center().x();
    const qreal w = r.width();

    p.setPen(Qt::NoPen);
    const qreal postW = w * 0.085;
    for (qreal px : {r.left() + w * 0.10, r.right() - w * 0.10}) {
        const QRectF post(px - postW / 2, r.top() + capH * 0.5, postW, r.height() - capH);
        QLinearGradient g(post.topLeft(), post.topRight());
        g.setColorAt(0, c.woodDark);
        g.setColorAt(0.4, c.woodLight);
        g.setColorAt(1, c.woodDark);
        p.setBrush(g);
        p.drawRoundedRect(post, postW / 2, postW / 2);
    }

    const qreal gy0 = r.top() + capH;
    const qreal gy1 = r.bottom() - capH;
    const qreal cy = (gy0 + gy1) / 2;
    const qreal hh = cy - gy0;
    const qreal hw = w * 0.33;   // half width of a bulb
    const qreal hn = w * 0.035;  // half width of the neck

    QPainterPath glass;
    glass.moveTo(cx - hw, gy0);
    glass.cubicTo(cx - hw, gy0 + hh * 0.62, cx - hn, cy - hh * 0.28, cx - hn, cy);
    glass.cubicTo(cx - hn, cy + hh * 0.28, cx - hw, gy1 - hh * 0.62, cx - hw, gy1);
    glass.lineTo(cx + hw, gy1);
    glass.cubicTo(cx + hw, gy1 - hh * 0.62, cx + hn, cy + hh * 0.28, cx + hn, cy);
    glass.cubicTo(cx + hn, cy - hh * 0.28, cx + hw, gy0 + hh * 0.62, cx + hw, gy0);
    glass.closeSubpath();

    p.setBrush(QColor(225, 242, 255, 150));
    p.drawPath(glass);

    p.save();
    p.setClipPath(glass);
    QLinearGradient sand(QPointF(cx - hw, 0), QPointF(cx + hw, 0));
    sand.setColorAt(0, c.sandDark);
    sand.setColorAt(0.45, c.sandLight);
    sand.setColorAt(1, c.sandDark);
    p.setBrush(sand);

    QPainterPath upper;
    upper.moveTo(cx - hw, gy0 + hh * 0.40);
    upper.quadTo(cx, gy0 + hh * 0.58, cx + hw, gy0 + hh * 0.40);
    upper.lineTo(cx + hw, cy + 1);
    upper.lineTo(cx - hw, cy + 1);
    upper.closeSubpath();
    p.drawPath(upper);

    p.drawRect(QRectF(cx - hn * 0.35, cy, hn * 0.7, hh * 0.62));

    QPainterPath mound;
    mound.moveTo(cx - hw, gy1 + 1);
    mound.lineTo(cx - hw, gy1 - hh * 0.12);
    mound.cubicTo(cx - hw * 0.45, gy1 - hh * 0.16, cx - hw * 0.25, gy1 - hh * 0.42, cx,
                  gy1 - hh * 0.44);
    mound.cubicTo(cx + hw * 0.25, gy1 - hh * 0.42, cx + hw * 0.45, gy1 - hh * 0.16, cx + hw,
                  gy1 - hh * 0.12);
    mound.lineTo(cx + hw, gy1 + 1);
    mound.closeSubpath();
    p.drawPath(mound);
    p.restore();

    // A reflection down the left of each bulb sells the glass.
    QPainterPath shine;
    shine.moveTo(cx - hw * 0.72, gy0 + hh * 0.10);
    shine.cubicTo(cx - hw * 0.72, gy0 + hh * 0.50, cx - hw * 0.40, cy - hh * 0.30, cx - hw * 0.22,
                  cy - hh * 0.14);
    shine.moveTo(cx - hw * 0.22, cy + hh * 0.14);
    shine.cubicTo(cx - hw * 0.40, cy + hh * 0.30, cx - hw * 0.72, gy1 - hh * 0.50, cx - hw * 0.72,
                  gy1 - hh * 0.10);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 170), w * 0.045, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(shine);

    p.setPen(QPen(c.glassEdge, std::max<qreal>(1.0, w * 0.02)));
    p.drawPath(glass);

    p.setPen(QPen(c.woodDark.darker(130), std::max<qreal>(1.0, w * 0.015)));
    for (qreal top : {r.top(), r.bottom() - capH}) {
        const QRectF cap(r.left(), top, w, capH);
        QLinearGradient g(cap.topLeft(), cap.bottomLeft());
        g.setColorAt(0, c.woodLight.lighter(112));
        g.setColorAt(1, c.woodDark);
        p.setBrush(g);
        p.drawRoundedRect(cap, capH * 0.35, capH * 0.35);
    }
}

// A laurel sprig along a quadratic curve from `from` to `to`: paired leaves that shrink
// towards the tip, and one leaf closing it.
void drawLaurel(QPainter& p, QPointF from, QPointF control, QPointF to, int pairs, qreal leafLen,
                QColor dark, QColor light) {
    QPainterPath stem;
    stem.moveTo(from);
    stem.quadTo(control, to);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(dark, std::max<qreal>(1.0, leafLen * 0.10), Qt::SolidLine, Qt::RoundCap));
    p.drawPath(stem);

    auto leaf = [&](QPointF at, qreal angle, qreal len) {
        p.save();
        p.translate(at);
        p.rotate(angle);
        QPainterPath shape;
        shape.moveTo(0, 0);
        shape.quadTo(len * 0.45, -len * 0.34, len, 0);
        shape.quadTo(len * 0.45, len * 0.34, 0, 0);
        QLinearGradient g(QPointF(0, -len * 0.2), QPointF(len * 0.3, len * 0.2));
        g.setColorAt(0, light);
        g.setColorAt(1, dark);
        p.setPen(QPen(dark.darker(140), std::max<qreal>(0.6, len * 0.04)));
        p.setBrush(g);
        p.drawPath(shape);
        p.restore();
    };

    for (int i = 0; i < pairs; ++i) {
        const qreal t = 0.08 + 0.80 * i / std::max(1, pairs - 1);
        const QPointF at = stem.pointAtPercent(t);
        const qreal along = -stem.angleAtPercent(t);  // painter angles turn clockwise
        const qreal len = leafLen * (1.0 - 0.35 * t);
        leaf(at, along - 42, len);
        leaf(at, along + 42, len);
    }
    leaf(to, -stem.angleAtPercent(1.0), leafLen * 0.6);
}

bool writeJpeg(const QImage& image, const QString& path, int quality, bool progressive) {
    QImageWriter writer(path, "jpeg");
    writer.setQuality(quality);
    writer.setOptimizedWrite(true);
    writer.setProgressiveScanWrite(progressive);
    if (!writer.write(image)) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(path), qPrintable(writer.errorString()));
        return false;
    }
    std::printf("%s  %lld bytes\n", qPrintable(path), QFileInfo(path).size());
    return true;
}

// ---------------------------------------------------------------------------------------------
// The exercise window's picture: an hourglass in a laurel wreath under a rising sun, on a
// rounded card whose margin matches the window's light blue panel.

QImage drawExercisePicture() {
    QImage img(170, 283, QImage::Format_RGB32);
    img.fill(QColor(0xC0, 0xC0, 0xFF));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);

    const QRectF card(5, 5, 160, 273);
    QPainterPath cardPath;
    cardPath.addRoundedRect(card, 16, 16);
    p.save();
    p.setClipPath(cardPath);

    QLinearGradient sky(card.topLeft(), card.bottomLeft());
    sky.setColorAt(0.0, QColor(0x7C, 0xC6, 0xF2));
    sky.setColorAt(0.55, QColor(0xD8, 0xF0, 0xFF));
    sky.setColorAt(0.80, QColor(0xFF, 0xF1, 0xCC));
    p.fillRect(card, sky);

    // Sun with soft rays.
    const QPointF sun(126, 44);
    p.setPen(Qt::NoPen);
    QRadialGradient glow(sun, 48);
    glow.setColorAt(0, QColor(255, 245, 190, 200));
    glow.setColorAt(1, QColor(255, 245, 190, 0));
    p.setBrush(glow);
    p.drawEllipse(sun, 48, 48);
    p.setBrush(QColor(255, 214, 90, 150));
    for (int i = 0; i < 12; ++i) {
        p.save();
        p.translate(sun);
        p.rotate(i * 30.0 + 15);
        QPainterPath ray;
        ray.moveTo(22, -4);
        ray.lineTo(34, 0);
        ray.lineTo(22, 4);
        ray.closeSubpath();
        p.drawPath(ray);
        p.restore();
    }
    QRadialGradient disc(sun - QPointF(5, 5), 22);
    disc.setColorAt(0, QColor(0xFF, 0xF8, 0xB8));
    disc.setColorAt(1, QColor(0xFF, 0xB8, 0x30));
    p.setBrush(disc);
    p.drawEllipse(sun, 17, 17);

    // Two small clouds.
    auto cloud = [&](QPointF at, qreal s) {
        QPainterPath c;
        c.addEllipse(at + QPointF(-14, 0) * s, 11 * s, 8 * s);
        c.addEllipse(at + QPointF(0, -5) * s, 13 * s, 11 * s);
        c.addEllipse(at + QPointF(14, 1) * s, 11 * s, 7 * s);
        c.addRoundedRect(QRectF(at + QPointF(-22, 0) * s, QSizeF(44, 8) * s), 4 * s, 4 * s);
        c.setFillRule(Qt::WindingFill);
        p.setBrush(QColor(255, 255, 255, 235));
        p.drawPath(c.simplified());
    };
    cloud(QPointF(42, 40), 0.9);
    cloud(QPointF(150, 112), 0.55);

    // Rolling hills.
    QPainterPath far;
    far.moveTo(0, 222);
    far.cubicTo(40, 200, 80, 214, 110, 208);
    far.cubicTo(140, 202, 160, 210, 175, 206);
    far.lineTo(175, 290);
    far.lineTo(0, 290);
    far.closeSubpath();
    QLinearGradient farFill(0, 200, 0, 260);
    farFill.setColorAt(0, QColor(0xA8, 0xDC, 0x8C));
    farFill.setColorAt(1, QColor(0x7C, 0xC4, 0x6A));
    p.setBrush(farFill);
    p.drawPath(far);

    QPainterPath near;
    near.moveTo(0, 246);
    near.cubicTo(50, 232, 110, 236, 175, 248);
    near.lineTo(175, 290);
    near.lineTo(0, 290);
    near.closeSubpath();
    QLinearGradient nearFill(0, 236, 0, 283);
    nearFill.setColorAt(0, QColor(0x6C, 0xBF, 0x5C));
    nearFill.setColorAt(1, QColor(0x3E, 0x92, 0x48));
    p.setBrush(nearFill);
    p.drawPath(near);

    // Small flowers on the meadow.
    const QPointF flowers[] = {{22, 262}, {148, 266}, {34, 272}, {136, 256}};
    const QColor petals[] = {
        {0xFF, 0x7A, 0xA8}, {0xFF, 0xE0, 0x4A}, {0xB8, 0x8C, 0xFF}, {0xFF, 0xFF, 0xFF}};
    for (int i = 0; i < 4; ++i) {
        p.setBrush(petals[i]);
        for (int k = 0; k < 5; ++k) {
            const qreal a = k * 2 * M_PI / 5;
            p.drawEllipse(flowers[i] + QPointF(std::cos(a), std::sin(a)) * 2.6, 2.0, 2.0);
        }
        p.setBrush(QColor(0xFF, 0xB0, 0x20));
        p.drawEllipse(flowers[i], 1.4, 1.4);
    }

    // Shadow, hourglass, and the wreath in front of its foot.
    p.setBrush(QColor(30, 70, 30, 70));
    p.drawEllipse(QPointF(85, 250), 50, 6);
    drawHourglass(p, QRectF(38, 66, 94, 184));

    const QColor leafDark(0x2E, 0x7D, 0x32);
    const QColor leafLight(0x9C, 0xD8, 0x6A);
    drawLaurel(p, QPointF(80, 262), QPointF(18, 250), QPointF(22, 150), 7, 22, leafDark, leafLight);
    drawLaurel(p, QPointF(90, 262), QPointF(152, 250), QPointF(148, 150), 7, 22, leafDark,
               leafLight);
    // A red ribbon ties the two sprigs.
    p.setPen(QPen(QColor(0x9E, 0x1B, 0x32), 1));
    p.setBrush(QColor(0xD6, 0x2F, 0x4B));
    QPainterPath ribbon;
    ribbon.moveTo(85, 262);
    ribbon.lineTo(74, 276);
    ribbon.lineTo(79, 277);
    ribbon.lineTo(85, 266);
    ribbon.lineTo(91, 277);
    ribbon.lineTo(96, 276);
    ribbon.closeSubpath();
    p.drawPath(ribbon);
    p.drawEllipse(QPointF(85, 262), 5, 4);

    p.restore();
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 220), 2.5));
    p.drawPath(cardPath);
    p.setPen(QPen(QColor(0x80, 0x80, 0xD0), 1));
    p.drawRoundedRect(card.adjusted(-1.5, -1.5, 1.5, 1.5), 17.5, 17.5);
    return img;
}

// ---------------------------------------------------------------------------------------------
// The name window's background, in grey: the porch of a Doric temple. The list box stands
// over x 88..329, y 64..498; its heading is white text over the architrave at y 48..65, so
// that band stays dark. The controls stand from x 440 on, where the porch falls into shade.

void drawColumn(QPainter& p, qreal cx, qreal top, qreal bottom, qreal width) {
    const qreal capH = 20;
    const qreal baseH = 6;
    const QRectF shaft(cx - width / 2, top + capH, width, bottom - top - capH - baseH);

    // Shaft: narrower at the top, lit from the left.
    QPainterPath body;
    body.moveTo(shaft.left() + width * 0.07, shaft.top());
    body.lineTo(shaft.right() - width * 0.07, shaft.top());
    body.lineTo(shaft.right(), shaft.bottom());
    body.lineTo(shaft.left(), shaft.bottom());
    body.closeSubpath();
    QLinearGradient round(shaft.topLeft(), shaft.topRight());
    round.setColorAt(0.0, grey(120));
    round.setColorAt(0.28, grey(215));
    round.setColorAt(0.55, grey(175));
    round.setColorAt(1.0, grey(70));
    p.setPen(Qt::NoPen);
    p.setBrush(round);
    p.drawPath(body);

    // Flutes.
    const int flutes = 9;
    for (int i = 1; i < flutes; ++i) {
        const qreal f = qreal(i) / flutes;
        const qreal xt = shaft.left() + width * 0.07 + f * width * 0.86;
        const qreal xb = shaft.left() + f * width;
        const int shade = f < 0.5 ? 130 : 90;
        p.setPen(QPen(grey(shade, 150), 1.4));
        p.drawLine(QPointF(xt, shaft.top() + 2), QPointF(xb, shaft.bottom()));
        p.setPen(QPen(grey(235, f < 0.5 ? 90 : 30), 0.8));
        p.drawLine(QPointF(xt + 1.6, shaft.top() + 2), QPointF(xb + 1.6, shaft.bottom()));
    }

    // Capital: the echinus cushion under a square abacus.
    QPainterPath echinus;
    const qreal ew = width * 0.62;
    echinus.moveTo(cx - width * 0.43, top + capH);
    echinus.cubicTo(cx - ew - 2, top + capH - 4, cx - ew, top + 8, cx - ew, top + 7);
    echinus.lineTo(cx + ew, top + 7);
    echinus.cubicTo(cx + ew, top + 8, cx + ew + 2, top + capH - 4, cx + width * 0.43, top + capH);
    echinus.closeSubpath();
    QLinearGradient capFill(cx - ew, 0, cx + ew, 0);
    capFill.setColorAt(0, grey(150));
    capFill.setColorAt(0.3, grey(220));
    capFill.setColorAt(1, grey(85));
    p.setPen(QPen(grey(60), 0.8));
    p.setBrush(capFill);
    p.drawPath(echinus);
    p.drawRect(QRectF(cx - width * 0.68, top, width * 1.36, 7));

    // Base ring on the stylobate.
    p.drawRect(QRectF(cx - width * 0.56, bottom - baseH, width * 1.12, baseH));
}

QImage drawNamePicture() {
    const int w = 645;
    const int h = 506;
    QImage img(w, h, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);

    // Evening sky behind the roof.
    QLinearGradient sky(0, 0, 0, 40);
    sky.setColorAt(0, grey(58));
    sky.setColorAt(1, grey(92));
    p.fillRect(img.rect(), sky);

    // Back wall of the porch, deep in shade, in courses of ashlar.
    const qreal wallTop = 70;
    const qreal floorY = 472;
    QLinearGradient wall(0, wallTop, 0, floorY);
    wall.setColorAt(0, grey(46));
    wall.setColorAt(1, grey(72));
    p.fillRect(QRectF(0, wallTop, w, floorY - wallTop), wall);
    p.setPen(QPen(grey(34), 1));
    int course = 0;
    for (qreal y = wallTop + 26; y < floorY; y += 26, ++course) {
        p.drawLine(QPointF(0, y), QPointF(w, y));
        const qreal shift = (course % 2) ? 0 : 36;
        for (qreal x = shift; x < w; x += 72) {
            p.drawLine(QPointF(x, y - 26), QPointF(x, y));
        }
    }
    p.setPen(QPen(grey(86, 120), 1));
    for (qreal y = wallTop + 27; y < floorY; y += 26) {
        p.drawLine(QPointF(0, y), QPointF(w, y));
    }

    // Colonnade.
    for (qreal cx : {40.0, 150.0, 260.0, 384.0, 500.0, 606.0}) {
        drawColumn(p, cx, wallTop, floorY, 50);
    }

    // Steps of the stylobate.
    const int stepGreys[] = {168, 148, 128};
    for (int i = 0; i < 3; ++i) {
        const qreal y = floorY + i * 11.5;
        QLinearGradient g(0, y, 0, y + 11.5);
        g.setColorAt(0, grey(stepGreys[i] + 22));
        g.setColorAt(0.2, grey(stepGreys[i]));
        g.setColorAt(1, grey(stepGreys[i] - 40));
        p.fillRect(QRectF(-1, y, w + 2, 12), g);
    }

    // Roof: the pediment and its cornice.
    QPainterPath pediment;
    pediment.moveTo(-20, 27);
    pediment.lineTo(w / 2.0, 0);
    pediment.lineTo(w + 20, 27);
    pediment.closeSubpath();
    QLinearGradient tympanum(0, 0, 0, 27);
    tympanum.setColorAt(0, grey(150));
    tympanum.setColorAt(1, grey(112));
    p.setPen(QPen(grey(190), 3));
    p.setBrush(tympanum);
    p.drawPath(pediment);
    // A wreath in relief at the centre of the gable.
    drawLaurel(p, QPointF(w / 2.0 - 2, 22), QPointF(w / 2.0 - 26, 20), QPointF(w / 2.0 - 28, 8), 4,
               8, grey(95), grey(200));
    drawLaurel(p, QPointF(w / 2.0 + 2, 22), QPointF(w / 2.0 + 26, 20), QPointF(w / 2.0 + 28, 8), 4,
               8, grey(95), grey(200));

    QLinearGradient cornice(0, 27, 0, 33);
    cornice.setColorAt(0, grey(205));
    cornice.setColorAt(1, grey(140));
    p.fillRect(QRectF(0, 27, w, 6), cornice);

    // Frieze of triglyphs and plain metopes.
    p.fillRect(QRectF(0, 33, w, 13), grey(128));
    p.setPen(Qt::NoPen);
    for (qreal x = 40 - 9; x < w; x += 55) {
        p.setBrush(grey(100));
        p.drawRect(QRectF(x, 33, 18, 13));
        p.setBrush(grey(62));
        p.drawRect(QRectF(x + 4, 34, 2.5, 12));
        p.drawRect(QRectF(x + 11.5, 34, 2.5, 12));
        p.setBrush(grey(150));
        p.drawEllipse(QPointF(x + 9 + 27.5, 39.5), 3.5, 3.5);
    }

    // Architrave: a dark band of inscription stone carrying the list's heading.
    p.fillRect(QRectF(0, 46, w, 1.5), grey(176));
    QLinearGradient architrave(0, 47.5, 0, 68);
    architrave.setColorAt(0, grey(48));
    architrave.setColorAt(1, grey(34));
    p.fillRect(QRectF(0, 47.5, w, 20.5), architrave);
    p.fillRect(QRectF(0, 68, w, 2), grey(150));

    p.end();

    // Light falls from the left: the far side of the porch sinks into shade behind the
    // controls, and the stone gets a faint grain.
    QImage grey8 = img.convertToFormat(QImage::Format_Grayscale8);
    for (int y = 0; y < h; ++y) {
        uchar* line = grey8.scanLine(y);
        for (int x = 0; x < w; ++x) {
            double v = line[x];
            const double shade = x < 330 ? 1.0 : 1.0 - 0.50 * std::min(1.0, (x - 330) / 140.0);
            const double vignette =
                1.0 -
                0.18 * std::pow(
                           std::hypot((x - w / 2.0) / (w / 2.0), (y - h / 2.0) / (h / 2.0)) / 1.42,
                           2.0);
            const bool inscription = y >= 47 && y < 68;
            v = v * (inscription ? 1.0 : shade) * vignette;
            v += stoneNoise(x, y) * (inscription ? 5.0 : 10.0);
            line[x] = uchar(std::clamp(int(std::lround(v)), 0, 255));
        }
    }
    return grey8;
}

// ---------------------------------------------------------------------------------------------
// The results window's way back: a path winding to an arch at sunset, with a signpost
// pointing back. The top third is dark night sky so the pale pink "TORNA" reads over it.

QImage drawResultsPicture() {
    const int w = 256;
    const int h = 180;
    QImage img(w, h, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);

    QLinearGradient sky(0, 0, 0, 130);
    sky.setColorAt(0.00, QColor(0x14, 0x10, 0x3C));
    sky.setColorAt(0.40, QColor(0x2C, 0x22, 0x6E));
    sky.setColorAt(0.66, QColor(0x9A, 0x4C, 0x96));
    sky.setColorAt(0.85, QColor(0xF2, 0x8A, 0x70));
    sky.setColorAt(1.00, QColor(0xFF, 0xC8, 0x7A));
    p.fillRect(img.rect(), sky);

    // A few stars, kept clear of the middle where the word stands.
    const QPointF stars[] = {{14, 10},  {34, 30},  {52, 12},  {22, 50},  {208, 14},
                             {230, 36}, {246, 10}, {196, 46}, {240, 58}, {10, 66}};
    for (const QPointF& s : stars) {
        QRadialGradient g(s, 3);
        g.setColorAt(0, QColor(255, 255, 230, 255));
        g.setColorAt(1, QColor(255, 255, 230, 0));
        p.setBrush(g);
        p.drawEllipse(s, 3, 3);
    }

    // Setting sun behind the arch.
    QRadialGradient sun(QPointF(128, 122), 70);
    sun.setColorAt(0, QColor(255, 240, 170, 255));
    sun.setColorAt(0.25, QColor(255, 200, 110, 200));
    sun.setColorAt(1, QColor(255, 160, 100, 0));
    p.setBrush(sun);
    p.drawEllipse(QPointF(128, 122), 70, 70);

    // Far hills.
    QPainterPath hills;
    hills.moveTo(0, 118);
    hills.cubicTo(40, 100, 70, 112, 100, 116);
    hills.cubicTo(140, 120, 180, 98, 256, 112);
    hills.lineTo(256, 180);
    hills.lineTo(0, 180);
    hills.closeSubpath();
    p.setBrush(QColor(0x6A, 0x4C, 0x8C));
    p.drawPath(hills);

    // The arch.
    const QRectF arch(94, 72, 68, 56);
    QLinearGradient stone(arch.topLeft(), arch.topRight());
    stone.setColorAt(0, QColor(0xE6, 0xD2, 0xB0));
    stone.setColorAt(1, QColor(0xA8, 0x8C, 0x6A));
    p.setBrush(stone);
    p.drawRect(arch.adjusted(0, 10, 0, 0));
    p.drawRect(QRectF(arch.left() - 4, arch.top(), arch.width() + 8, 11));
    p.setBrush(QColor(0x8C, 0x70, 0x52));
    p.drawRect(QRectF(arch.left() - 4, arch.top() + 10, arch.width() + 8, 2));
    QPainterPath opening;
    opening.moveTo(113, 128);
    opening.lineTo(113, 103);
    opening.arcTo(QRectF(113, 88, 30, 30), 180, -180);
    opening.lineTo(143, 128);
    opening.closeSubpath();
    QLinearGradient light(0, 88, 0, 128);
    light.setColorAt(0, QColor(0xFF, 0xF6, 0xC8));
    light.setColorAt(1, QColor(0xFF, 0xB8, 0x62));
    p.setBrush(light);
    p.drawPath(opening);
    p.setPen(QPen(QColor(0x7A, 0x60, 0x44), 1));
    p.setBrush(Qt::NoBrush);
    for (qreal y : {96.0, 108.0, 120.0}) {
        p.drawLine(QPointF(arch.left(), y), QPointF(112, y));
        p.drawLine(QPointF(144, y), QPointF(arch.right(), y));
    }
    p.drawPath(opening);
    p.setPen(Qt::NoPen);

    // Meadow.
    QPainterPath meadow;
    meadow.moveTo(0, 130);
    meadow.cubicTo(60, 122, 190, 122, 256, 132);
    meadow.lineTo(256, 180);
    meadow.lineTo(0, 180);
    meadow.closeSubpath();
    QLinearGradient grass(0, 122, 0, 180);
    grass.setColorAt(0, QColor(0x6E, 0xB8, 0x5A));
    grass.setColorAt(1, QColor(0x2F, 0x7A, 0x3C));
    p.setBrush(grass);
    p.drawPath(meadow);

    // The path from the front to the arch.
    QPainterPath path;
    path.moveTo(116, 128);
    path.cubicTo(112, 140, 150, 146, 140, 158);
    path.cubicTo(132, 168, 100, 172, 96, 181);
    path.lineTo(176, 181);
    path.cubicTo(170, 170, 176, 160, 164, 150);
    path.cubicTo(150, 140, 138, 136, 140, 128);
    path.closeSubpath();
    QLinearGradient sand(0, 128, 0, 180);
    sand.setColorAt(0, QColor(0xF8, 0xE2, 0xA8));
    sand.setColorAt(1, QColor(0xD8, 0xB0, 0x70));
    p.setBrush(sand);
    p.drawPath(path);

    // Signpost pointing back, to the left.
    p.setBrush(QColor(0x7A, 0x4A, 0x22));
    p.drawRect(QRectF(207, 118, 6, 54));
    QPainterPath board;
    board.moveTo(180, 132);
    board.lineTo(194, 120);
    board.lineTo(238, 120);
    board.lineTo(238, 144);
    board.lineTo(194, 144);
    board.closeSubpath();
    QLinearGradient boardFill(0, 120, 0, 144);
    boardFill.setColorAt(0, QColor(0xFF, 0x6B, 0x5B));
    boardFill.setColorAt(1, QColor(0xC8, 0x2E, 0x3C));
    p.setPen(QPen(QColor(0x5A, 0x18, 0x1E), 1.5));
    p.setBrush(boardFill);
    p.drawPath(board);
    p.setPen(QPen(QColor(0xFF, 0xF0, 0xD8), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(QPointF(196, 132), QPointF(228, 132));
    p.drawPolyline(QPolygonF({QPointF(204, 125), QPointF(196, 132), QPointF(204, 139)}));

    // Laurel in the front corner.
    p.setPen(Qt::NoPen);
    drawLaurel(p, QPointF(4, 182), QPointF(8, 146), QPointF(50, 136), 5, 22,
               QColor(0x2A, 0x6E, 0x2E), QColor(0x9C, 0xD8, 0x6A));

    // Flowers along the path.
    p.setPen(Qt::NoPen);
    const QPointF flowers[] = {{88, 150},  {70, 162},  {190, 160},
                               {176, 172}, {100, 136}, {236, 166}};
    const QColor petals[] = {{0xFF, 0xE0, 0x4A}, {0xFF, 0x8A, 0xB8}, {0xFF, 0xFF, 0xFF}};
    for (int i = 0; i < 6; ++i) {
        p.setBrush(petals[i % 3]);
        for (int k = 0; k < 5; ++k) {
            const qreal a = k * 2 * M_PI / 5;
            p.drawEllipse(flowers[i] + QPointF(std::cos(a), std::sin(a)) * 2.4, 1.9, 1.9);
        }
        p.setBrush(QColor(0xE8, 0x90, 0x20));
        p.drawEllipse(flowers[i], 1.3, 1.3);
    }
    return img;
}

// ---------------------------------------------------------------------------------------------
// The icon: an hourglass on a blue medallion with a gold rim and laurel.

QImage drawIcon(int size) {
    QImage img(256, 256, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF c(128, 128);

    p.setPen(QPen(QColor(0x4A, 0x30, 0x08), 8));
    QRadialGradient rim(c - QPointF(30, 30), 170);
    rim.setColorAt(0, QColor(0xFF, 0xE8, 0x8A));
    rim.setColorAt(1, QColor(0xC0, 0x84, 0x1C));
    p.setBrush(rim);
    p.drawEllipse(c, 122, 122);

    p.setPen(QPen(QColor(0x8A, 0x5A, 0x10), 4));
    QRadialGradient blue(c - QPointF(24, 30), 140);
    blue.setColorAt(0, QColor(0x5E, 0x96, 0xF0));
    blue.setColorAt(1, QColor(0x1A, 0x2E, 0x86));
    p.setBrush(blue);
    p.drawEllipse(c, 104, 104);

    const QColor leafDark(0x1E, 0x7A, 0x2E);
    const QColor leafLight(0x8E, 0xE0, 0x5C);
    drawLaurel(p, QPointF(112, 224), QPointF(30, 214), QPointF(38, 84), 5, 52, leafDark, leafLight);
    drawLaurel(p, QPointF(144, 224), QPointF(226, 214), QPointF(218, 84), 5, 52, leafDark,
               leafLight);

    HourglassColours hc;
    hc.glassEdge = QColor(0x10, 0x18, 0x30);
    drawHourglass(p, QRectF(76, 40, 104, 176), hc);
    p.end();
    if (size == 256) {
        return img.convertToFormat(QImage::Format_ARGB32);
    }
    return img.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .convertToFormat(QImage::Format_ARGB32);
}

// Median cut over the opaque pixels: at most `count` colours, each the mean of its box.
QList<QRgb> medianCutPalette(const std::vector<QRgb>& pixels, int count) {
    std::vector<std::vector<QRgb>> boxes{pixels};
    auto channel = [](QRgb c, int k) { return k == 0 ? qRed(c) : k == 1 ? qGreen(c) : qBlue(c); };
    auto widest = [&](const std::vector<QRgb>& box, int* range) {
        int best = 0;
        *range = -1;
        for (int k = 0; k < 3; ++k) {
            const auto [lo, hi] = std::minmax_element(box.begin(), box.end(), [&](QRgb a, QRgb b) {
                return channel(a, k) < channel(b, k);
            });
            const int r = channel(*hi, k) - channel(*lo, k);
            if (r > *range) {
                *range = r;
                best = k;
            }
        }
        return best;
    };
    while (int(boxes.size()) < count) {
        int pick = -1;
        int pickRange = 0;
        for (int i = 0; i < int(boxes.size()); ++i) {
            int range = 0;
            widest(boxes[i], &range);
            if (boxes[i].size() > 1 && range > pickRange) {
                pick = i;
                pickRange = range;
            }
        }
        if (pick < 0) {
            break;
        }
        std::vector<QRgb>& box = boxes[pick];
        int range = 0;
        const int k = widest(box, &range);
        std::sort(box.begin(), box.end(),
                  [&](QRgb a, QRgb b) { return channel(a, k) < channel(b, k); });
        std::vector<QRgb> upper(box.begin() + static_cast<std::ptrdiff_t>(box.size() / 2), box.end());
        box.resize(box.size() / 2);
        boxes.push_back(std::move(upper));
    }
    QList<QRgb> palette;
    for (const auto& box : boxes) {
        long r = 0;
        long g = 0;
        long b = 0;
        for (QRgb c : box) {
            r += qRed(c);
            g += qGreen(c);
            b += qBlue(c);
        }
        const long n = long(box.size());
        palette.append(qRgb(int((r + n / 2) / n), int((g + n / 2) / n), int((b + n / 2) / n)));
    }
    return palette;
}

// Writes a Windows icon holding one 32 x 32 image with a 256-entry palette: Qt's own ICO
// writer only writes 32-bit images. Pixels less than half opaque become transparent through
// the AND mask; palette entry 0 is black and stands under them.
bool writeIcon8(const QImage& argb, const QString& path) {
    const int n = 32;
    Q_ASSERT(argb.width() == n && argb.height() == n);

    std::vector<QRgb> opaque;
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            const QRgb c = argb.pixel(x, y);
            if (qAlpha(c) >= 128) {
                opaque.push_back(qRgb(qRed(c), qGreen(c), qBlue(c)));
            }
        }
    }
    QList<QRgb> palette{qRgb(0, 0, 0)};
    palette += medianCutPalette(opaque, 255);
    while (palette.size() < 256) {
        palette.append(qRgb(0, 0, 0));
    }
    auto nearest = [&](QRgb c) {
        int best = 1;
        int bestDist = INT_MAX;
        for (int i = 1; i < palette.size(); ++i) {
            const int dr = qRed(c) - qRed(palette[i]);
            const int dg = qGreen(c) - qGreen(palette[i]);
            const int db = qBlue(c) - qBlue(palette[i]);
            const int d = dr * dr + dg * dg + db * db;
            if (d < bestDist) {
                bestDist = d;
                best = i;
            }
        }
        return best;
    };

    QByteArray out;
    auto put16 = [&](quint16 v) { out.append(char(v & 0xff)).append(char(v >> 8)); };
    auto put32 = [&](quint32 v) {
        put16(quint16(v & 0xffff));
        put16(quint16(v >> 16));
    };
    const quint32 xorBytes = n * n;  // 32 bytes a row, already a multiple of 4
    const quint32 andBytes = n * 4;  // 32 bits a row, padded to 4 bytes
    const quint32 dibBytes = 40 + 256 * 4 + xorBytes + andBytes;

    // ICONDIR and its one ICONDIRENTRY.
    put16(0);
    put16(1);
    put16(1);
    out.append(char(n)).append(char(n)).append(char(0)).append(char(0));
    put16(1);
    put16(8);
    put32(dibBytes);
    put32(6 + 16);

    // BITMAPINFOHEADER: the height counts the colour rows and the mask rows together.
    put32(40);
    put32(n);
    put32(2 * n);
    put16(1);
    put16(8);
    put32(0);
    put32(xorBytes + andBytes);
    put32(0);
    put32(0);
    put32(256);
    put32(0);

    for (QRgb c : palette) {
        out.append(char(qBlue(c))).append(char(qGreen(c))).append(char(qRed(c))).append(char(0));
    }
    for (int y = n - 1; y >= 0; --y) {
        for (int x = 0; x < n; ++x) {
            const QRgb c = argb.pixel(x, y);
            out.append(char(qAlpha(c) >= 128 ? nearest(c) : 0));
        }
    }
    for (int y = n - 1; y >= 0; --y) {
        quint32 bits = 0;
        for (int x = 0; x < n; ++x) {
            if (qAlpha(argb.pixel(x, y)) < 128) {
                bits |= 0x80000000u >> x;
            }
        }
        out.append(char(bits >> 24))
            .append(char(bits >> 16))
            .append(char(bits >> 8))
            .append(char(bits));
    }

    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(out) != out.size()) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(path), qPrintable(file.errorString()));
        return false;
    }
    std::printf("%s  %lld bytes\n", qPrintable(path), static_cast<long long>(out.size()));
    return true;
}

bool writePng(const QImage& image, const QString& path) {
    QImageWriter writer(path, "png");
    if (!writer.write(image)) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(path), qPrintable(writer.errorString()));
        return false;
    }
    std::printf("%s  %lld bytes\n", qPrintable(path), QFileInfo(path).size());
    return true;
}

}  // namespace

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: tempolario-pictures <resources folder>\n");
        return 2;
    }
    const QDir dir(args.at(1));
    if (!dir.exists()) {
        std::fprintf(stderr, "no folder %s\n", qPrintable(args.at(1)));
        return 2;
    }

    const QImage icon32 = drawIcon(32);
    const bool ok = writeJpeg(drawExercisePicture(), dir.filePath("esercizio.jpg"), 92, true) &&
                    writeJpeg(drawNamePicture(), dir.filePath("nome.jpg"), 88, false) &&
                    writeJpeg(drawResultsPicture(), dir.filePath("risultati.jpg"), 95, false) &&
                    writeIcon8(icon32, dir.filePath("tempolario.ico")) &&
                    writePng(icon32, dir.filePath("tempolario.png")) &&
                    writePng(drawIcon(256), dir.filePath("tempolario-256.png"));
    return ok ? 0 : 1;
}
