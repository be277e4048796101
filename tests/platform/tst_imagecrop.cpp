#include "platform/images/ImageCrop.h"

#include <QtTest>

#include <limits>

class TestImageCrop : public QObject {
    Q_OBJECT

private slots:
    void pixelRect_data()
    {
        QTest::addColumn<QSize>("image");
        QTest::addColumn<QRectF>("crop");
        QTest::addColumn<QRect>("expected");
        QTest::newRow("centre quarter") << QSize(4000, 3000) << QRectF(0.25, 0.25, 0.5, 0.5) << QRect(1000, 750, 2000, 1500);
        QTest::newRow("full") << QSize(4000, 3000) << QRectF(0, 0, 1, 1) << QRect(0, 0, 4000, 3000);
        // Edges move outwards to whole pixels: 0.5 .. 5.5 becomes 0 .. 6.
        QTest::newRow("enclosing") << QSize(10, 10) << QRectF(0.05, 0.05, 0.5, 0.5) << QRect(0, 0, 6, 6);
        QTest::newRow("enclosing odd") << QSize(333, 101) << QRectF(0.1, 0.2, 0.3, 0.4) << QRect(33, 20, 101, 41);
        QTest::newRow("clamped to the image") << QSize(100, 80) << QRectF(0.5, 0.5, 1, 1) << QRect(50, 40, 50, 40);
        QTest::newRow("negative origin") << QSize(100, 80) << QRectF(-0.25, 0, 0.5, 1) << QRect(0, 0, 25, 80);
        QTest::newRow("outside") << QSize(100, 80) << QRectF(1.5, 1.5, 0.2, 0.2) << QRect();
        QTest::newRow("empty") << QSize(100, 80) << QRectF(0.5, 0.5, 0, 0) << QRect();
        QTest::newRow("not a number") << QSize(100, 80)
                                      << QRectF(std::numeric_limits<double>::quiet_NaN(), 0, 0.5, 0.5) << QRect();
        QTest::newRow("no image") << QSize() << QRectF(0, 0, 0.5, 0.5) << QRect();
    }

    void pixelRect()
    {
        QFETCH(QSize, image);
        QFETCH(QRectF, crop);
        QFETCH(QRect, expected);
        QCOMPARE(ImageCrop::pixelRect(image, crop), expected);
    }

    void fullCropIsTheImageItself()
    {
        QImage image(40, 30, QImage::Format_RGB32);
        image.fill(Qt::red);
        const QImage cut = ImageCrop::cut(image, QRectF(0, 0, 1, 1));
        QCOMPARE(cut.cacheKey(), image.cacheKey());
        QVERIFY(ImageCrop::isFull(QRectF(0, 0, 1, 1)));
        QVERIFY(!ImageCrop::isFull(QRectF(0, 0, 1, 0.999)));
    }

    void cutsThePixelsOut()
    {
        QImage image(40, 30, QImage::Format_RGB32);
        image.fill(Qt::red);
        for (int y = 15; y < 30; ++y) {
            for (int x = 20; x < 40; ++x)
                image.setPixelColor(x, y, Qt::blue);
        }
        const QImage cut = ImageCrop::cut(image, QRectF(0.5, 0.5, 0.5, 0.5));
        QCOMPARE(cut.size(), QSize(20, 15));
        QCOMPARE(cut.pixelColor(0, 0), QColor(Qt::blue));
        QCOMPARE(cut.pixelColor(19, 14), QColor(Qt::blue));
        const QImage left = ImageCrop::cut(image, QRectF(0, 0, 0.25, 1));
        QCOMPARE(left.size(), QSize(10, 30));
        QCOMPARE(left.pixelColor(9, 29), QColor(Qt::red));
    }

    void failedCutReturnsTheUncutImage()
    {
        QImage image(40, 30, QImage::Format_RGB32);
        image.fill(Qt::green);
        QCOMPARE(ImageCrop::cut(image, QRectF(2, 2, 0.5, 0.5)).cacheKey(), image.cacheKey());
        QCOMPARE(ImageCrop::cut(image, QRectF(0.2, 0.2, 0, 0)).cacheKey(), image.cacheKey());
        QVERIFY(ImageCrop::cut(QImage(), QRectF(0, 0, 0.5, 0.5)).isNull());
    }
};

QTEST_GUILESS_MAIN(TestImageCrop)
#include "tst_imagecrop.moc"
