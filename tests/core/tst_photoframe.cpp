#include "core/PhotoFrame.h"
#include "support/ModelFactory.h"

#include <QTest>

using namespace PhotoFrame;

class TestPhotoFrame : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void measures_data()
    {
        QTest::addColumn<QSizeF>("size");
        QTest::addColumn<double>("mat");
        QTest::addColumn<QSizeF>("frame");
        QTest::addColumn<QRectF>("photo");
        QTest::addColumn<double>("radius");
        QTest::addColumn<QPointF>("pin");
        QTest::newRow("200x100") << QSizeF(200, 100) << 5.0 << QSizeF(210, 117) << QRectF(5, 12, 200, 100) << 3.0
                                 << QPointF(105, 105);
        QTest::newRow("400x300") << QSizeF(400, 300) << 15.0 << QSizeF(430, 351) << QRectF(15, 36, 400, 300)
                                 << 9.0 << QPointF(215, 339);
        QTest::newRow("60x80 raised to minimum") << QSizeF(60, 80) << 5.0 << QSizeF(70, 97)
                                                 << QRectF(5, 12, 60, 80) << 3.0 << QPointF(35, 85);
        QTest::newRow("200x150") << QSizeF(200, 150) << 7.5 << QSizeF(215, 175.5) << QRectF(7.5, 18, 200, 150)
                                 << 4.5 << QPointF(107.5, 163.5);
        QTest::newRow("1000x800") << QSizeF(1000, 800) << 40.0 << QSizeF(1080, 936) << QRectF(40, 96, 1000, 800)
                                  << 24.0 << QPointF(540, 924);
        QTest::newRow("zero") << QSizeF(0, 0) << 5.0 << QSizeF(10, 17) << QRectF(5, 12, 0, 0) << 3.0
                              << QPointF(5, 5);
        QTest::newRow("negative") << QSizeF(-40, 30) << 5.0 << QSizeF(-30, 47) << QRectF(5, 12, -40, 30) << 3.0
                                  << QPointF(-15, 35);
    }

    void measures()
    {
        QFETCH(QSizeF, size);
        QFETCH(double, mat);
        QFETCH(QSizeF, frame);
        QFETCH(QRectF, photo);
        QFETCH(double, radius);
        QFETCH(QPointF, pin);
        QCOMPARE(matWidth(size), mat);
        QCOMPARE(PhotoFrame::mat(size), (Insets{mat, mat, 2.4 * mat, mat}));
        QCOMPARE(frameSize(size), frame);
        QCOMPARE(photoRect(size), photo);
        QCOMPARE(cornerRadius(size), radius);
        QCOMPARE(pinCenter(size), pin);
    }

    void pinColourFromFirstUuidByte()
    {
        const QUuid ff = QUuid::fromString(QStringLiteral("FF000000-0000-4000-8000-000000000000"));
        QCOMPARE(pinColorIndex(ff, 7), 3);
        QCOMPARE(pinColorIndex(ff, 4), 3);
        QCOMPARE(pinColorIndex(ff, 1), 0);
        QCOMPARE(pinColorIndex(ff, 0), 0);
        QCOMPARE(pinColorIndex(ff, -5), 0);
        for (int b : {0x00, 0x05, 0x06, 0x07, 0x80})
            QCOMPARE(pinColorIndex(ModelFactory::uuidWithFirstByte(b), 4), b % 4);
    }
};

QTEST_GUILESS_MAIN(TestPhotoFrame)
#include "tst_photoframe.moc"
