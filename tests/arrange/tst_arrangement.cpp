#include "app/arrange/Arrangement.h"
#include "core/PhotoFrame.h"

#include "support/ModelFactory.h"

#include <QRandomGenerator>
#include <QTest>

#include <cmath>

class TestArrangement : public QObject {
    Q_OBJECT
private:
    static CollageModel photos(const QList<QSizeF> &sizes)
    {
        CollageModel model;
        for (int i = 0; i < sizes.size(); ++i) {
            PhotoItem item = ModelFactory::item(QUuid::createUuid(), sizes.size() - i, {10.0 * i, 5}, sizes[i]);
            item.rotation = 0.2;
            item.caption = QStringLiteral("July 2021");
            item.flipH = i % 2;
            model.add(item);
        }
        return model;
    }
    // Everything but the centre and the rotation is as it was.
    static void onlyPlacesChanged(const CollageModel &before, const CollageModel &after)
    {
        QCOMPARE(after.items().size(), before.items().size());
        for (const PhotoItem &item : before.items()) {
            PhotoItem moved = *after.find(item.id);
            moved.center = item.center;
            moved.rotation = item.rotation;
            QCOMPARE(moved, item);
        }
    }

private Q_SLOTS:
    void tidyUpAndScatterLimits()
    {
        // Sizes in stacking order, bottom first, and the centres they are given.
        const QSizeF screen(1000, 800);
        const std::pair<QList<QSizeF>, QList<QPointF>> rows[] = {
            {{{200, 150}}, {{500, 400}}},
            {{{200, 150}, {300, 400}}, {{323, 400}, {677, 400}}},
            // Cells of 239 × 199.5; two columns of two rows, row-major from the top-left.
            {QList<QSizeF>(4, {200, 150}), {{380.5, 499.75}, {619.5, 499.75}, {380.5, 300.25}, {619.5, 300.25}}},
            // Three columns, two rows; the last row starts at the left, not centred on its own.
            {QList<QSizeF>(5, {200, 150}), {{261, 499.75}, {500, 499.75}, {739, 499.75}, {261, 300.25}, {500, 300.25}}}};
        for (const auto &[sizes, centres] : rows) {
            const CollageModel model = photos(sizes);
            const CollageModel tidy = Arrangement::tidyUp(model, screen);
            const QList<PhotoItem> order = tidy.drawOrder();
            for (int i = 0; i < centres.size(); ++i) {
                QCOMPARE(order[i].center, centres[i]);
                QCOMPARE(order[i].rotation, 0.0);
            }
            onlyPlacesChanged(model, tidy);
            QCOMPARE(Arrangement::tidyUp(tidy, screen), tidy); // the same layout again
        }
        QCOMPARE(Arrangement::tidyUp(CollageModel(), screen), CollageModel());

        // Scatter needs room for its margins, and gives a new layout each time.
        QRandomGenerator random(1);
        QVERIFY(!Arrangement::scatter(photos({{100, 100}}), QSizeF(96, 500), random));
        QVERIFY(!Arrangement::scatter(CollageModel(), QSizeF(1440, 900), random));
        const CollageModel model = photos(QList<QSizeF>(5, {100, 80}));
        QVERIFY(Arrangement::scatter(model, {1440, 900}, random) != Arrangement::scatter(model, {1440, 900}, random));
    }

    void scatter_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<QSizeF>("size");
        QTest::addColumn<int>("cols");
        QTest::addColumn<int>("rows");
        // Frames 380 × 420 are wider and taller than their 168 × 268 cells: no jitter.
        QTest::newRow("crowded") << 20 << QSizeF(380 - 2 * 19, 420 - 3.4 * 19) << 8 << 3;
        QTest::newRow("roomy") << 6 << QSizeF(100, 80) << 8 << 5;
        QTest::newRow("single") << 1 << QSizeF(900, 600) << 1 << 1; // one cell, the whole area
        QTest::newRow("larger than the screen") << 2 << QSizeF(1600, 400) << 1 << 2;
    }

    void scatter()
    {
        QFETCH(int, count);
        QFETCH(QSizeF, size);
        const QSizeF screen(1440, 900);
        QFETCH(int, cols);
        QFETCH(int, rows);
        const CollageModel model = photos(QList<QSizeF>(count, size));
        const QSizeF frame = PhotoFrame::frameSize(size);
        const QRectF area = QRectF(QPointF(0, 0), screen).adjusted(48, 48, -48, -48);
        const double cellW = area.width() / cols, cellH = area.height() / rows;
        for (quint32 seed : {1u, 2u, 3u}) {
            QRandomGenerator random(seed);
            const std::optional<CollageModel> scattered = Arrangement::scatter(model, screen, random);
            QVERIFY(scattered);
            onlyPlacesChanged(model, *scattered);
            QSet<int> cells;
            for (const PhotoItem &item : scattered->items()) {
                QVERIFY(std::abs(item.rotation) <= Arrangement::maxScatterTilt);
                // On the screen, or against its far edge when larger than it.
                const double minX = std::min(frame.width() / 2, screen.width() - frame.width() / 2);
                QVERIFY(item.center.x() >= minX - 1e-9 && item.center.x() <= screen.width() - frame.width() / 2 + 1e-9);
                QVERIFY(item.center.y() >= frame.height() / 2 - 1e-9);
                QVERIFY(item.center.y() <= screen.height() - frame.height() / 2 + 1e-9);
                // Within 90 % of its cell's free space (unless clamped onto the screen).
                const int col = int((item.center.x() - area.left()) / cellW);
                const int row = int((area.bottom() - item.center.y()) / cellH);
                const QPointF cellCentre(area.left() + cellW * (col + 0.5), area.bottom() - cellH * (row + 0.5));
                const bool clamped = frame.width() >= cellW || frame.height() >= cellH;
                if (!clamped) {
                    QVERIFY(std::abs(item.center.x() - cellCentre.x()) <= (cellW - frame.width()) * 0.45 + 1e-9);
                    QVERIFY(std::abs(item.center.y() - cellCentre.y()) <= (cellH - frame.height()) * 0.45 + 1e-9);
                    cells.insert(row * cols + col);
                }
            }
            if (frame.width() < cellW && frame.height() < cellH)
                QCOMPARE(cells.size(), count); // each in a cell of its own
        }
    }

};

QTEST_GUILESS_MAIN(TestArrangement)
#include "tst_arrangement.moc"
