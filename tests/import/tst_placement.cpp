#include "app/import/Placement.h"

#include <QRandomGenerator>
#include <QTest>

// Size, caption and spot of a new photo.
class TestPlacement : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void defaultSize_data()
    {
        QTest::addColumn<QSize>("pixels"); // invalid: none given
        QTest::addColumn<int>("orientation");
        QTest::addColumn<QSizeF>("expected");
        QTest::newRow("portrait") << QSize(3000, 4000) << 1 << QSizeF(270, 360);
        QTest::newRow("turned a quarter") << QSize(3000, 4000) << 6 << QSizeF(360, 270);
        QTest::newRow("mirrored only") << QSize(4000, 3000) << 2 << QSizeF(360, 270);
        QTest::newRow("no size") << QSize() << 1 << QSizeF(320, 240);
        QTest::newRow("zero") << QSize(0, 3000) << 1 << QSizeF(320, 240);
        QTest::newRow("negative") << QSize(-4000, 3000) << 1 << QSizeF(320, 240);
        QTest::newRow("absurd") << QSize(200000, 3000) << 1 << QSizeF(320, 240);
        QTest::newRow("largest believable") << QSize(100000, 50000) << 1 << QSizeF(360, 180);
    }

    void defaultSize()
    {
        QFETCH(QSize, pixels);
        QFETCH(int, orientation);
        QFETCH(QSizeF, expected);
        ImageMetadata metadata;
        if (pixels != QSize())
            metadata.pixelSize = pixels;
        metadata.orientation = orientation;
        QCOMPARE(Placement::defaultSize(metadata), expected);
    }

    void photoDateText_data()
    {
        QTest::addColumn<QString>("original");
        QTest::addColumn<QString>("tiff");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("expected");
        QTest::newRow("capture date") << "2021:07:04 12:00:00" << "2019:01:01 00:00:00" << "en_US" << "July 2021";
        QTest::newRow("TIFF date") << "" << "2019:01:31 23:59:59" << "en_US" << "January 2019";
        QTest::newRow("stand-alone month") << "2021:07:04 12:00:00" << "" << "ru_RU" << "июль 2021";
        QTest::newRow("unparsable") << "July 4th" << "2019:01:01 00:00:00" << "en_US" << "";
        QTest::newRow("none") << "" << "" << "en_US" << "";
    }

    void photoDateText()
    {
        QFETCH(QString, original);
        QFETCH(QString, tiff);
        QFETCH(QString, locale);
        QFETCH(QString, expected);
        ImageMetadata metadata;
        if (!original.isEmpty())
            metadata.dateTimeOriginal = original;
        if (!tiff.isEmpty())
            metadata.dateTime = tiff;
        QCOMPARE(Placement::photoDateText(metadata, QLocale(locale)).value_or(QString()), expected);
    }

    void placementKeepsItsMargin_data()
    {
        QTest::addColumn<QSizeF>("frame");
        QTest::addColumn<double>("margin");
        QTest::newRow("room to spare") << QSizeF(300, 250) << 80.0;
        QTest::newRow("large frame") << QSizeF(380, 300) << 70.0;
        QTest::newRow("frame as tall as the screen") << QSizeF(300, 900) << 0.0;
    }

    void placementKeepsItsMargin()
    {
        QFETCH(QSizeF, frame);
        QFETCH(double, margin);
        QRandomGenerator random(3);
        const QSizeF screen(1440, 900);
        double left = screen.width(), right = 0, bottom = screen.height(), top = 0;
        for (int i = 0; i < 4000; ++i) {
            const QPointF p = Placement::randomPlacement(frame, screen, {}, random);
            left = std::min(left, p.x());
            right = std::max(right, p.x());
            bottom = std::min(bottom, p.y());
            top = std::max(top, p.y());
        }
        QVERIFY(left >= margin && right <= screen.width() - margin);
        QVERIFY(bottom >= margin && top <= screen.height() - margin);
        // The whole range is used, not a corner of it.
        QVERIFY(left < margin + 5 && right > screen.width() - margin - 5);
        QVERIFY(bottom < margin + 5 && top > screen.height() - margin - 5);
    }

    void placementAvoidsOthersOrOverlapsLeast()
    {
        const QSizeF screen(1440, 900);
        const QSizeF frame(200, 200);
        // Only the right third is free.
        QRandomGenerator random(5);
        const QList<QRectF> leftTwoThirds{QRectF(0, 0, 960, 900)};
        for (int i = 0; i < 20; ++i)
            QVERIFY(Placement::randomPlacement(frame, screen, leftTwoThirds, random).x() >= 1060);

        // Everything taken: the least covered candidate of the same 48 wins.
        const QList<QRectF> everywhere{QRectF(0, 0, 1440, 900), QRectF(0, 0, 720, 900)};
        QRandomGenerator first(9), second(9);
        const QPointF chosen = Placement::randomPlacement(frame, screen, everywhere, first);
        double bestScore = 1e18;
        QPointF best;
        for (int i = 0; i < Placement::candidates; ++i) {
            const QPointF c = Placement::randomPlacement(frame, screen, {}, second);
            const QRectF rect = QRectF(c - QPointF(100, 100), frame);
            double score = 0;
            for (const QRectF &r : everywhere)
                score += rect.intersected(r).width() * rect.intersected(r).height();
            if (score < bestScore) {
                bestScore = score;
                best = c;
            }
        }
        QCOMPARE(chosen, best);
    }

    void outerFrame()
    {
        // Mat 7.5: 200 + 15 wide, 150 + 25.5 high, centred.
        QCOMPARE(Placement::outerFrame(QSizeF(200, 150), QPointF(500, 400)), QRectF(392.5, 312.25, 215, 175.5));
    }
};

QTEST_GUILESS_MAIN(TestPlacement)
#include "tst_placement.moc"
