#include "app/import/Placement.h"

#include <QPolygonF>
#include <QRandomGenerator>
#include <QTest>

class TestPlacement : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // A new photo's spot, size and caption. Centres keep the margin from the screen's edges, use
    // the whole range within it, and avoid other photos, or else overlap them least.
    void spotSizeAndCaption()
    {
        const QSizeF screen(1440, 900);
        const std::pair<QSizeF, double> rows[] = {{{300, 250}, 80.0}, {{380, 300}, 70.0}, {{300, 900}, 0.0}};
        for (const auto &[frame, margin] : rows) {
            QRandomGenerator random(3);
            QPolygonF spots;
            for (int i = 0; i < 4000; ++i)
                spots << Placement::randomPlacement(frame, screen, {}, random);
            const QRectF box = spots.boundingRect();
            QVERIFY(box.left() >= margin && box.right() <= screen.width() - margin);
            QVERIFY(box.top() >= margin && box.bottom() <= screen.height() - margin);
            QVERIFY(box.left() < margin + 5 && box.right() > screen.width() - margin - 5);
            QVERIFY(box.top() < margin + 5 && box.bottom() > screen.height() - margin - 5);
        }

        // What a photo occupies, mat 7.5: 200 + 15 wide, 150 + 25.5 high, centred.
        QCOMPARE(Placement::outerFrame(QSizeF(200, 150), QPointF(500, 400)), QRectF(392.5, 312.25, 215, 175.5));
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

        // A quarter turn swaps the sides, a mirror does not; no believable size gives 320 × 240.
        const std::tuple<QSize, int, QSizeF> sizes[] = {{{3000, 4000}, 1, {270, 360}}, {{3000, 4000}, 6, {360, 270}},
            {{4000, 3000}, 2, {360, 270}}, {QSize(), 1, {320, 240}}, {{0, 3000}, 1, {320, 240}},
            {{-4000, 3000}, 1, {320, 240}}, {{200000, 3000}, 1, {320, 240}}, {{100000, 50000}, 1, {360, 180}}};
        for (const auto &[pixels, orientation, expected] : sizes) {
            ImageMetadata metadata;
            metadata.pixelSize = pixels == QSize() ? std::nullopt : std::optional(pixels); // invalid: none given
            metadata.orientation = orientation;
            QCOMPARE(Placement::defaultSize(metadata), expected);
        }
        // The caption: the capture date, else the TIFF one; the month stands alone; an unparsable
        // date gives none.
        const std::tuple<QString, QString, QString, QString> dates[] = {
            {"2021:07:04 12:00:00", "2019:01:01 00:00:00", "en_US", "July 2021"},
            {"", "2019:01:31 23:59:59", "en_US", "January 2019"}, {"2021:07:04 12:00:00", "", "ru_RU", "июль 2021"},
            {"July 4th", "2019:01:01 00:00:00", "en_US", ""}, {"", "", "en_US", ""}};
        for (const auto &[original, tiff, locale, expected] : dates) {
            ImageMetadata metadata;
            metadata.dateTimeOriginal = original.isEmpty() ? std::nullopt : std::optional(original);
            metadata.dateTime = tiff.isEmpty() ? std::nullopt : std::optional(tiff);
            QCOMPARE(Placement::photoDateText(metadata, QLocale(locale)).value_or(QString()), expected);
        }
    }
};

QTEST_GUILESS_MAIN(TestPlacement)
#include "tst_placement.moc"
