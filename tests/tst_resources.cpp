// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The pictures and the icon as compiled into the program: present, of the sizes the windows
// are laid out for, and in the file kinds the windows expect.

#include <QFile>
#include <QImage>
#include <QtEndian>
#include <QtTest>

namespace {

QByteArray resource(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return file.readAll();
}

struct FrameHeader {
    quint8 marker = 0;  // second byte of the SOFn marker
    int height = 0;
    int width = 0;
    int components = 0;
};

// Walks the JPEG segments up to the first start-of-frame and reads it.
bool readFrameHeader(const QByteArray& jpeg, FrameHeader* out) {
    const auto* d = reinterpret_cast<const uchar*>(jpeg.constData());
    const qsizetype n = jpeg.size();
    if (n < 4 || d[0] != 0xFF || d[1] != 0xD8) {
        return false;
    }
    qsizetype i = 2;
    while (i + 4 <= n) {
        if (d[i] != 0xFF) {
            return false;
        }
        const quint8 m = d[i + 1];
        if (m == 0xFF) {  // fill byte
            ++i;
            continue;
        }
        const int length = qFromBigEndian<quint16>(d + i + 2);
        const bool sof = m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC;
        if (sof) {
            if (i + 4 + 6 > n) {
                return false;
            }
            out->marker = m;
            out->height = qFromBigEndian<quint16>(d + i + 5);
            out->width = qFromBigEndian<quint16>(d + i + 7);
            out->components = d[i + 9];
            return true;
        }
        i += 2 + length;
    }
    return false;
}

double meanLightness(const QImage& image, const QRect& area) {
    double sum = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            sum += qGray(image.pixel(x, y));
        }
    }
    return sum / (area.width() * area.height());
}

}  // namespace

class TestResources : public QObject {
    Q_OBJECT

private slots:
    void pictures_data();
    void pictures();
    void textStandsOnDarkGround_data();
    void textStandsOnDarkGround();
    void icon();
};

void TestResources::pictures_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("marker");
    QTest::addColumn<int>("components");

    QTest::newRow("exercise, progressive colour")
        << ":/esercizio.jpg" << QSize(170, 283) << 0xC2 << 3;
    QTest::newRow("name, baseline grey") << ":/nome.jpg" << QSize(645, 506) << 0xC0 << 1;
    QTest::newRow("results, baseline colour") << ":/risultati.jpg" << QSize(256, 180) << 0xC0 << 3;
}

void TestResources::pictures() {
    QFETCH(QString, path);
    QFETCH(QSize, size);
    QFETCH(int, marker);
    QFETCH(int, components);

    const QByteArray bytes = resource(path);
    QVERIFY2(!bytes.isEmpty(), qPrintable(path));

    const QImage image = QImage::fromData(bytes, "JPEG");
    QVERIFY(!image.isNull());
    QCOMPARE(image.size(), size);

    FrameHeader frame;
    QVERIFY(readFrameHeader(bytes, &frame));
    QCOMPARE(int(frame.marker), marker);
    QCOMPARE(frame.components, components);
    QCOMPARE(QSize(frame.width, frame.height), size);
}

// White heading over the name window's list and pale pink "TORNA" over the results
// picture: both need a dark ground to be read.
void TestResources::textStandsOnDarkGround_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QRect>("area");

    QTest::newRow("list heading") << ":/nome.jpg" << QRect(88, 48, 242, 17);
    QTest::newRow("way back") << ":/risultati.jpg" << QRect(0, 0, 256, 60);
}

void TestResources::textStandsOnDarkGround() {
    QFETCH(QString, path);
    QFETCH(QRect, area);

    const QImage image(path);
    QVERIFY(!image.isNull());
    QCOMPARE_LT(meanLightness(image, area), 90.0);
}

void TestResources::icon() {
    const QByteArray bytes = resource(":/tempolario.ico");
    const auto* d = reinterpret_cast<const uchar*>(bytes.constData());
    QVERIFY(bytes.size() >= 6 + 16 + 40);

    // ICONDIR: an icon file with one image.
    QCOMPARE(qFromLittleEndian<quint16>(d + 2), quint16(1));
    QCOMPARE(qFromLittleEndian<quint16>(d + 4), quint16(1));

    // Its one image, 32 x 32, ends where the file ends: nothing cut short, nothing after.
    QCOMPARE(int(d[6]), 32);
    QCOMPARE(int(d[7]), 32);
    const auto size = qFromLittleEndian<quint32>(d + 6 + 8);
    const auto offset = qFromLittleEndian<quint32>(d + 6 + 12);
    QCOMPARE(qsizetype(offset) + qsizetype(size), bytes.size());

    // What a reader makes of it decides the rest: the picture at its size, with the
    // transparency around the drawing.
    const QImage image = QImage::fromData(bytes, "ICO");
    QCOMPARE(image.size(), QSize(32, 32));
    QVERIFY(image.hasAlphaChannel());
    QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
}

QTEST_MAIN(TestResources)
#include "tst_resources.moc"
