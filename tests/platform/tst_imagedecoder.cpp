#include "platform/images/FileImageDecoder.h"
#include "platform/images/ImageCrop.h"
#include "platform/images/ImageOrientation.h"

#include <QPainter>
#include <QtTest>

static QString fixture(const QString &name)
{
    return qEnvironmentVariable("VELORAN_TEST_DATA") + QStringLiteral("/platform/") + name;
}

static bool near(QColor a, QColor b)
{
    return std::abs(a.red() - b.red()) < 40 && std::abs(a.green() - b.green()) < 40 && std::abs(a.blue() - b.blue()) < 40;
}

// The colours at the four corners, inset so that JPEG's blurring at the quadrant edges does not matter.
static QList<QColor> corners(const QImage &image)
{
    const int w = image.width(), h = image.height();
    return {image.pixelColor(2, 2), image.pixelColor(w - 3, 2), image.pixelColor(2, h - 3),
            image.pixelColor(w - 3, h - 3)};
}

// The fixtures' stored picture: red, green / blue, white quadrants, 40 × 20.
static QImage quadrants()
{
    QImage image(2, 2, QImage::Format_RGB32);
    const QColor colours[] = {Qt::red, Qt::green, Qt::blue, Qt::white};
    for (int i = 0; i < 4; ++i)
        image.setPixelColor(i % 2, i / 2, colours[i]);
    return image.scaled(40, 20); // without smoothing: four solid quadrants
}

class TestImageDecoder : public QObject {
    Q_OBJECT

private slots:
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
    // A crop is taken after turning.
    void limitsAndCrop()
    {
        FileImageDecoder decoder;
        const QString path = fixture(QStringLiteral("orientation-6.png"));
        const QImage decoded = decoder.decode(path);
        QCOMPARE(decoded.size(), QSize(20, 40));
        QCOMPARE(corners(decoded).mid(0, 2), (QList<QColor>{Qt::blue, Qt::red}));
        QCOMPARE(decoder.orientedSize(path), QSize(20, 40));
        QCOMPARE(decoder.decode(path, 10).size(), QSize(5, 10));
        const QString jpeg = fixture(QStringLiteral("orientation-6.jpg"));
        QCOMPARE(decoder.decode(jpeg, 10).size(), QSize(5, 10));
        // Upright it is blue, red / white, green.
        const QImage bottomRight = decoder.decodeCropped(jpeg, QRectF(0.5, 0.5, 0.5, 0.5));
        QCOMPARE(bottomRight.size(), QSize(10, 20));
        QVERIFY(near(bottomRight.pixelColor(5, 10), Qt::green));

        // Landscape to the limit, rounded; never enlarged; no limit at all.
        QTemporaryDir dir;
        for (const auto &[stored, limit, expected] : {std::tuple{QSize(3000, 2000), 1024, QSize(1024, 683)},
                                                      std::tuple{QSize(300, 200), 4096, QSize(300, 200)},
                                                      std::tuple{QSize(300, 200), 0, QSize(300, 200)}}) {
            QImage image(stored, QImage::Format_RGB32);
            image.fill(QColor(200, 120, 40));
            const QString file = dir.filePath(QStringLiteral("%1.jpg").arg(limit));
            QVERIFY(image.save(file, "jpeg"));
            const QImage scaled = decoder.decode(file, limit);
            QCOMPARE(scaled.size(), expected);
            QVERIFY(near(scaled.pixelColor(scaled.width() / 2, scaled.height() / 2), QColor(200, 120, 40)));
            QCOMPARE(decoder.orientedSize(file), stored);
        }
    }

    // HEIF carries its rotation in its own boxes, which libheif applies; an Exif orientation in
    // the file must not turn the image a second time, nor the size reported for it.
    void heifDamagedFilesAndDates()
    {
        FileImageDecoder decoder;
        for (const QString &name : {QStringLiteral("plain.heic"), QStringLiteral("exif-orientation.heic")}) {
            const QString path = fixture(name);
            const QImage decoded = decoder.decode(path);
            QCOMPARE(decoded.size(), QSize(64, 48));
            QVERIFY(near(decoded.pixelColor(8, 24), Qt::red) && near(decoded.pixelColor(56, 24), Qt::blue));
            QCOMPARE(decoder.orientedSize(path), QSize(64, 48));
            QCOMPARE(decoder.metadata(path).orientedPixelSize(), std::optional<QSize>(QSize(64, 48)));
            QCOMPARE(decoder.decode(path, 32).size(), QSize(32, 24));
        }
        QCOMPARE(decoder.metadata(fixture(QStringLiteral("exif-orientation.heic"))).orientation, std::optional<int>(1));

        // Only the truncated PNG still has its size in an intact header.
        for (const char *name : {"garbage.jpg", "truncated.png", "truncated.heic", "empty.png", "no-such-file.jpg", ""}) {
            const QString path = fixture(QString::fromLatin1(name));
            QVERIFY2(decoder.decode(path).isNull() && decoder.decode(path, 100).isNull(), name);
            QCOMPARE(decoder.orientedSize(path).isValid(), path.endsWith(QLatin1String("truncated.png")));
            const ImageMetadata meta = decoder.metadata(path);
            QVERIFY(!meta.dateTimeOriginal && !meta.coordinate());
            QVERIFY(decoder.decodeCropped(path, QRectF(0, 0, 0.5, 0.5)).isNull());
        }

        const ImageMetadata south = decoder.metadata(fixture(QStringLiteral("gps-south.jpg")));
        QCOMPARE(south.dateTimeOriginal, std::optional<QString>(QStringLiteral("2023:07:14 10:20:30")));
        QCOMPARE(south.dateTime, std::optional<QString>(QStringLiteral("2020:01:02 03:04:05")));
        const std::optional<GeoCoordinate> c = south.coordinate();
        QVERIFY(c && qFuzzyCompare(c->latitude, -33.9) && qFuzzyCompare(c->longitude, 151.2));
        // Degrees, minutes and seconds; only the TIFF date.
        const ImageMetadata west = decoder.metadata(fixture(QStringLiteral("gps-west-tiffdate.jpg")));
        QVERIFY(!west.dateTimeOriginal);
        QCOMPARE(west.dateTime, std::optional<QString>(QStringLiteral("2019:12:31 23:59:58")));
        const std::optional<GeoCoordinate> w = west.coordinate();
        QVERIFY(w && std::abs(w->latitude - (40 + 26 / 60.0 + 46 / 3600.0)) < 1e-6);
        QVERIFY(std::abs(w->longitude + (79 + 58 / 60.0 + 56 / 3600.0)) < 1e-6);

        const ImageMetadata none = decoder.metadata(fixture(QStringLiteral("orientation-1.jpg")));
        QVERIFY(!none.dateTimeOriginal && !none.dateTime && !none.coordinate());

        ImageMetadata meta;
        meta.gpsLatitude = 10;
        QVERIFY(!meta.coordinate()); // a latitude alone is no position
        meta.gpsLongitude = 20;
        const auto position = [&meta] { return std::pair(meta.coordinate()->latitude, meta.coordinate()->longitude); };
        QCOMPARE(position(), std::pair(10.0, 20.0)); // missing references: north and east
        meta.gpsLatitudeRef = QStringLiteral("s"); // only exactly "S" turns south
        meta.gpsLongitudeRef = QStringLiteral("W");
        QCOMPARE(position(), std::pair(10.0, -20.0));
    }

    void crop()
    {
        struct Row { QSize image; QRectF crop; QRect expected; };
        const double nan = std::numeric_limits<double>::quiet_NaN();
        for (const Row &r : {Row{{4000, 3000}, {0.25, 0.25, 0.5, 0.5}, {1000, 750, 2000, 1500}},
                             Row{{10, 10}, {0.05, 0.05, 0.5, 0.5}, {0, 0, 6, 6}}, // 0.5 .. 5.5 encloses 0 .. 6
                             Row{{333, 101}, {0.1, 0.2, 0.3, 0.4}, {33, 20, 101, 41}},
                             Row{{100, 80}, {0.5, 0.5, 1, 1}, {50, 40, 50, 40}}, // clamped to the image
                             Row{{100, 80}, {0.5, 0.5, -0.25, -0.5}, {25, 0, 25, 40}},
                             Row{{100, 80}, {-0.25, 0, 0.5, 1}, {0, 0, 25, 80}},
                             Row{{100, 80}, {1.5, 1.5, 0.2, 0.2}, {}}, Row{{100, 80}, {0.5, 0.5, 0, 0}, {}},
                             Row{{100, 80}, {nan, 0, 0.5, 0.5}, {}}, Row{{}, {0, 0, 0.5, 0.5}, {}}})
            QCOMPARE(ImageCrop::pixelRect(r.image, r.crop), r.expected);

        QImage image(40, 30, QImage::Format_RGB32);
        image.fill(Qt::red);
        QPainter(&image).fillRect(20, 15, 20, 15, Qt::blue);
        const QImage quarter = ImageCrop::cut(image, QRectF(0.5, 0.5, 0.5, 0.5));
        QCOMPARE(quarter.size(), QSize(20, 15));
        QVERIFY(quarter.pixelColor(0, 0) == Qt::blue && quarter.pixelColor(19, 14) == Qt::blue);
        const QImage left = ImageCrop::cut(image, QRectF(0, 0, 0.25, 1));
        QCOMPARE(left.size(), QSize(10, 30));
        QCOMPARE(left.pixelColor(9, 29), QColor(Qt::red));
        // The full crop, and a crop that fails, give back the very same image.
        for (const QRectF &crop : {QRectF(0, 0, 1, 1), QRectF(2, 2, 0.5, 0.5), QRectF(0.2, 0.2, 0, 0)})
            QCOMPARE(ImageCrop::cut(image, crop).cacheKey(), image.cacheKey());
        QVERIFY(ImageCrop::cut(QImage(), QRectF(0, 0, 0.5, 0.5)).isNull());
        QVERIFY(!ImageCrop::isFull(QRectF(0, 0, 1, 0.999)));
    }
};

QTEST_GUILESS_MAIN(TestImageDecoder)
#include "tst_imagedecoder.moc"
