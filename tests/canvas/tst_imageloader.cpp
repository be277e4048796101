#include "app/canvas/ImageLoader.h"
#include "canvas/support/CanvasFixture.h"

#include <QDir>
#include <QImageWriter>
#include <QTest>

// Reading photos for prints: orientation and the size they are decoded at.
class TestImageLoader : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { CanvasFixture::installFakePlatform(); }

    void decodesStopAt4096AndFollowOrientation()
    {
        // A real file through the real decoder: 8000 x 6000 pixels.
        QImage huge(8000, 6000, QImage::Format_Grayscale8);
        huge.fill(140);
        const QString name = CanvasFixture::writeImage(m_dir, QStringLiteral("huge.jpg"), huge);
        QCOMPARE(ImageLoader::fullImage(name, m_dir.path()).size(), QSize(4096, 3072));
        // However large the print, the display decode stops there too, and knows it.
        const ImageLoader::Fit big = ImageLoader::imageForDisplay(name, QRectF(0, 0, 1, 1), m_dir.path(), QSizeF(6000, 4500));
        QCOMPARE(big.image.size(), QSize(4096, 3072));
        QVERIFY(big.fullDetail);
        const ImageLoader::Fit small = ImageLoader::imageForDisplay(name, QRectF(0, 0, 1, 1), m_dir.path(), QSizeF(400, 300));
        QCOMPARE(small.image.size(), QSize(500, 375));
        QVERIFY(!small.fullDetail);

        // Stored 400 x 200, tagged to be turned a quarter: seen as 200 x 400.
        QImageWriter writer(m_dir.filePath(QStringLiteral("turned.jpg")));
        writer.setTransformation(QImageIOHandler::TransformationRotate90);
        QVERIFY(writer.write(CanvasFixture::testImage({400, 200})));
        QCOMPARE(ImageLoader::fullImage(QStringLiteral("turned.jpg"), m_dir.path()).size(), QSize(200, 400));
        const ImageLoader::Fit fit =
            ImageLoader::imageForDisplay(QStringLiteral("turned.jpg"), QRectF(0, 0, 1, 1), m_dir.path(), QSizeF(100, 200));
        QCOMPARE(fit.image.size(), QSize(125, 250));
    }

    void decodeLimitCoversTheCropWithHeadroom()
    {
        const QRectF whole(0, 0, 1, 1);
        QCOMPARE(ImageLoader::decodeLimit({4000, 3000}, whole, {360, 270}), 450); // 12 MP at 360 pt
        QCOMPARE(ImageLoader::decodeLimit({4000, 3000}, QRectF(0, 0, 0.5, 0.5), {360, 270}), 900); // half crop: twice
        QCOMPARE(ImageLoader::decodeLimit({4000, 3000}, whole, {400, 400}), 667); // aspect fill: the larger need
        QCOMPARE(ImageLoader::decodeLimit({1000, 800}, whole, {2000, 1600}), 1000); // never above the original
        QCOMPARE(ImageLoader::decodeLimit({9000, 6000}, whole, {5000, 3000}), 4096); // nor above 4096
        QCOMPARE(ImageLoader::decodeLimit({3000, 4000}, whole, {270, 360}), 450); // portrait
    }


private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(TestImageLoader)
#include "tst_imageloader.moc"
