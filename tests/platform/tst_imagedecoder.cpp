#include "platform/images/FileImageDecoder.h"
#include "platform/images/ImageOrientation.h"
#include "platform/images/PngEncoder.h"

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <thread>
#include <vector>

namespace {

QString fixture(const QString &name)
{
    return qEnvironmentVariable("VELORAN_TEST_DATA") + QStringLiteral("/platform/") + name;
}

bool near(QColor a, QColor b)
{
    return std::abs(a.red() - b.red()) < 40 && std::abs(a.green() - b.green()) < 40 && std::abs(a.blue() - b.blue()) < 40;
}

// The colours at the four corners, inset so that JPEG's blurring at the quadrant edges does not matter.
QList<QColor> corners(const QImage &image)
{
    const int w = image.width();
    const int h = image.height();
    return {image.pixelColor(2, 2), image.pixelColor(w - 3, 2), image.pixelColor(2, h - 3),
            image.pixelColor(w - 3, h - 3)};
}

// The fixtures' stored picture: red, green / blue, white quadrants, 40 × 20.
QImage quadrants()
{
    QImage image(40, 20, QImage::Format_RGB32);
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 40; ++x) {
            const bool right = x >= 20;
            const bool bottom = y >= 10;
            image.setPixelColor(x, y, bottom ? (right ? Qt::white : Qt::blue) : (right ? Qt::green : Qt::red));
        }
    }
    return image;
}

QString writeImage(const QString &dir, const QString &name, const QImage &image, const char *format)
{
    const QString path = dir + QLatin1Char('/') + name;
    QImageWriter writer(path, format);
    return writer.write(image) ? path : QString();
}

} // namespace

class TestImageDecoder : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY2(QFile::exists(fixture(QStringLiteral("orientation-1.jpg"))), "VELORAN_TEST_DATA must point at tests/data");
    }

    void orientation_data()
    {
        QTest::addColumn<int>("orientation");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QList<QColor>>("expected"); // top-left, top-right, bottom-left, bottom-right
        const QColor r(Qt::red), g(Qt::green), b(Qt::blue), w(Qt::white);
        QTest::newRow("1 upright") << 1 << QSize(40, 20) << QList<QColor>{r, g, b, w};
        QTest::newRow("2 mirrored") << 2 << QSize(40, 20) << QList<QColor>{g, r, w, b};
        QTest::newRow("3 half turn") << 3 << QSize(40, 20) << QList<QColor>{w, b, g, r};
        QTest::newRow("4 flipped") << 4 << QSize(40, 20) << QList<QColor>{b, w, r, g};
        QTest::newRow("5 transposed") << 5 << QSize(20, 40) << QList<QColor>{r, b, g, w};
        QTest::newRow("6 quarter clockwise") << 6 << QSize(20, 40) << QList<QColor>{b, r, w, g};
        QTest::newRow("7 transversed") << 7 << QSize(20, 40) << QList<QColor>{w, g, b, r};
        QTest::newRow("8 quarter anticlockwise") << 8 << QSize(20, 40) << QList<QColor>{g, w, r, b};
    }

    // Qt's JPEG reader turns by the tag; our own turning (for PNG and WebP) must agree with it.
    void orientation()
    {
        QFETCH(int, orientation);
        QFETCH(QSize, size);
        QFETCH(QList<QColor>, expected);
        FileImageDecoder decoder;
        const QString path = fixture(QStringLiteral("orientation-%1.jpg").arg(orientation));

        const QImage decoded = decoder.decode(path);
        QCOMPARE(decoded.size(), size);
        const QList<QColor> seen = corners(decoded);
        for (int i = 0; i < 4; ++i)
            QVERIFY2(near(seen[i], expected[i]), qPrintable(QStringLiteral("corner %1: %2").arg(i).arg(seen[i].name())));

        const QImage turned = ImageOrientation::apply(quadrants(), orientation);
        QCOMPARE(turned.size(), size);
        QCOMPARE(corners(turned), expected);

        QCOMPARE(decoder.orientedSize(path), size);
        const ImageMetadata meta = decoder.metadata(path);
        QCOMPARE(meta.orientation, std::optional<int>(orientation));
        QCOMPARE(meta.pixelSize, std::optional<QSize>(QSize(40, 20)));
        QCOMPARE(meta.orientedPixelSize(), std::optional<QSize>(size));
    }

    // The limit applies to the upright image; the scaled size asked of Qt is the stored one.
    void orientationTagInPngAndLimit()
    {
        FileImageDecoder decoder;
        const QString path = fixture(QStringLiteral("orientation-6.png"));
        const QImage decoded = decoder.decode(path);
        QCOMPARE(decoded.size(), QSize(20, 40));
        QCOMPARE(decoded.pixelColor(2, 2), QColor(Qt::blue));
        QCOMPARE(decoded.pixelColor(17, 2), QColor(Qt::red));
        QCOMPARE(decoder.orientedSize(path), QSize(20, 40));
        QCOMPARE(decoder.decode(path, 10).size(), QSize(5, 10));
        QCOMPARE(decoder.decode(fixture(QStringLiteral("orientation-6.jpg")), 10).size(), QSize(5, 10));
    }

    void longestSideLimit_data()
    {
        QTest::addColumn<QSize>("stored");
        QTest::addColumn<QByteArray>("format");
        QTest::addColumn<int>("limit");
        QTest::addColumn<QSize>("expected");
        QTest::newRow("jpeg landscape") << QSize(3000, 2000) << QByteArray("jpeg") << 1024 << QSize(1024, 683);
        QTest::newRow("jpeg portrait") << QSize(900, 1600) << QByteArray("jpeg") << 400 << QSize(225, 400);
        QTest::newRow("png") << QSize(600, 300) << QByteArray("png") << 100 << QSize(100, 50);
        QTest::newRow("never enlarged") << QSize(300, 200) << QByteArray("png") << 4096 << QSize(300, 200);
        QTest::newRow("no limit") << QSize(300, 200) << QByteArray("jpeg") << 0 << QSize(300, 200);
        QTest::newRow("8000 x 6000 to 4096") << QSize(8000, 6000) << QByteArray("jpeg") << 4096 << QSize(4096, 3072);
    }

    void longestSideLimit()
    {
        QFETCH(QSize, stored);
        QFETCH(QByteArray, format);
        QFETCH(int, limit);
        QFETCH(QSize, expected);
        QTemporaryDir dir;
        QImage image(stored, QImage::Format_RGB32);
        image.fill(QColor(200, 120, 40));
        const QString path = writeImage(dir.path(), QStringLiteral("big.") + QString::fromLatin1(format), image, format);
        QVERIFY(!path.isEmpty());
        FileImageDecoder decoder;
        const QImage decoded = decoder.decode(path, limit);
        QCOMPARE(decoded.size(), expected);
        QVERIFY(near(decoded.pixelColor(decoded.width() / 2, decoded.height() / 2), QColor(200, 120, 40)));
        QCOMPARE(decoder.orientedSize(path), stored);
    }

    // HEIF carries its rotation in its own boxes, which libheif applies; an Exif orientation in
    // the file must not turn the image a second time, nor the size reported for it.
    void heif_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("plain") << QStringLiteral("plain.heic");
        QTest::newRow("exif orientation ignored") << QStringLiteral("exif-orientation.heic");
    }

    void heif()
    {
        QFETCH(QString, name);
        FileImageDecoder decoder;
        const QString path = fixture(name);
        const QImage decoded = decoder.decode(path);
        QCOMPARE(decoded.size(), QSize(64, 48));
        QVERIFY(near(decoded.pixelColor(8, 24), Qt::red));
        QVERIFY(near(decoded.pixelColor(56, 24), Qt::blue));
        QCOMPARE(decoder.orientedSize(path), QSize(64, 48));
        const ImageMetadata meta = decoder.metadata(path);
        QCOMPARE(meta.pixelSize, std::optional<QSize>(QSize(64, 48)));
        QCOMPARE(meta.orientedPixelSize(), std::optional<QSize>(QSize(64, 48)));
        if (name.startsWith(QLatin1String("exif")))
            QCOMPARE(meta.orientation, std::optional<int>(1));
        QCOMPARE(decoder.decode(path, 32).size(), QSize(32, 24));
    }

    void damagedFiles_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("headerIntact"); // the size is read from the header alone
        QTest::newRow("random bytes") << fixture(QStringLiteral("garbage.jpg")) << false;
        QTest::newRow("truncated png") << fixture(QStringLiteral("truncated.png")) << true;
        QTest::newRow("truncated heic") << fixture(QStringLiteral("truncated.heic")) << false;
        QTest::newRow("empty") << fixture(QStringLiteral("empty.png")) << false;
        QTest::newRow("missing") << fixture(QStringLiteral("no-such-file.jpg")) << false;
        QTest::newRow("folder") << fixture(QString()) << false;
    }

    void damagedFiles()
    {
        QFETCH(QString, path);
        QFETCH(bool, headerIntact);
        FileImageDecoder decoder;
        QVERIFY(decoder.decode(path).isNull());
        QVERIFY(decoder.decode(path, 100).isNull());
        QCOMPARE(decoder.orientedSize(path).isValid(), headerIntact);
        const ImageMetadata meta = decoder.metadata(path);
        QVERIFY(!meta.dateTimeOriginal);
        QVERIFY(!meta.coordinate());
        QVERIFY(decoder.decodeCropped(path, QRectF(0, 0, 0.5, 0.5)).isNull());
    }

    void datesAndGps()
    {
        FileImageDecoder decoder;
        const ImageMetadata south = decoder.metadata(fixture(QStringLiteral("gps-south.jpg")));
        QCOMPARE(south.dateTimeOriginal, std::optional<QString>(QStringLiteral("2023:07:14 10:20:30")));
        QCOMPARE(south.dateTime, std::optional<QString>(QStringLiteral("2020:01:02 03:04:05")));
        QCOMPARE(south.gpsLatitudeRef, std::optional<QString>(QStringLiteral("S")));
        QVERIFY(south.gpsLatitude && qFuzzyCompare(*south.gpsLatitude, 33.9));
        const std::optional<GeoCoordinate> c = south.coordinate();
        QVERIFY(c);
        QVERIFY(qFuzzyCompare(c->latitude, -33.9));
        QVERIFY(qFuzzyCompare(c->longitude, 151.2));
        QCOMPARE(south.pixelSize, std::optional<QSize>(QSize(16, 12)));

        const ImageMetadata west = decoder.metadata(fixture(QStringLiteral("gps-west-tiffdate.jpg")));
        QVERIFY(!west.dateTimeOriginal);
        QCOMPARE(west.dateTime, std::optional<QString>(QStringLiteral("2019:12:31 23:59:58")));
        const std::optional<GeoCoordinate> w = west.coordinate();
        QVERIFY(w);
        QVERIFY(std::abs(w->latitude - (40 + 26 / 60.0 + 46 / 3600.0)) < 1e-6);
        QVERIFY(std::abs(w->longitude + (79 + 58 / 60.0 + 56 / 3600.0)) < 1e-6);

        const ImageMetadata none = decoder.metadata(fixture(QStringLiteral("orientation-1.jpg")));
        QVERIFY(!none.dateTimeOriginal && !none.dateTime && !none.coordinate());
    }

    void coordinateSigns()
    {
        ImageMetadata meta;
        meta.gpsLatitude = 10;
        QVERIFY(!meta.coordinate()); // a latitude alone is no position
        meta.gpsLongitude = 20;
        QCOMPARE(meta.coordinate()->latitude, 10.0); // missing references: north and east
        QCOMPARE(meta.coordinate()->longitude, 20.0);
        meta.gpsLatitudeRef = QStringLiteral("s"); // only exactly "S" turns south
        meta.gpsLongitudeRef = QStringLiteral("W");
        QCOMPARE(meta.coordinate()->latitude, 10.0);
        QCOMPARE(meta.coordinate()->longitude, -20.0);
    }

    void decodeCropped()
    {
        FileImageDecoder decoder;
        // Upright orientation-6 is blue, red / white, green; the crop is taken after turning.
        const QImage bottomRight
            = decoder.decodeCropped(fixture(QStringLiteral("orientation-6.jpg")), QRectF(0.5, 0.5, 0.5, 0.5));
        QCOMPARE(bottomRight.size(), QSize(10, 20));
        QVERIFY(near(bottomRight.pixelColor(5, 10), Qt::green));
    }

    // Decoding runs on worker threads: first use of libheif and exiv2 included.
    void concurrentDecoding()
    {
        FileImageDecoder decoder;
        std::atomic<int> failures{0};
        std::vector<std::thread> threads;
        for (int t = 0; t < 6; ++t) {
            threads.emplace_back([&decoder, &failures, t] {
                for (int i = 0; i < 8; ++i) {
                    const bool heic = (t + i) % 2 == 0;
                    const QString path = fixture(heic ? QStringLiteral("plain.heic") : QStringLiteral("orientation-6.jpg"));
                    const QSize expected = heic ? QSize(64, 48) : QSize(20, 40);
                    if (decoder.decode(path).size() != expected || decoder.orientedSize(path) != expected)
                        ++failures;
                    if (decoder.metadata(fixture(QStringLiteral("gps-south.jpg"))).coordinate().has_value() == false)
                        ++failures;
                    if (!decoder.decode(fixture(QStringLiteral("garbage.jpg"))).isNull())
                        ++failures;
                }
            });
        }
        for (std::thread &thread : threads)
            thread.join();
        QCOMPARE(failures.load(), 0);
    }

    void pngEncoding()
    {
        QImage image(64, 32, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        image.setPixelColor(10, 10, QColor(255, 0, 0, 255));
        const QByteArray png = PngEncoder::encode(image);
        QVERIFY(png.startsWith("\x89PNG"));
        const QImage back = QImage::fromData(png, "png");
        QCOMPARE(back.size(), QSize(64, 32));
        QCOMPARE(back.pixelColor(10, 10), QColor(255, 0, 0, 255));
        QCOMPARE(back.pixelColor(0, 0).alpha(), 0);
        QVERIFY(PngEncoder::encode(QImage()).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestImageDecoder)
#include "tst_imagedecoder.moc"
