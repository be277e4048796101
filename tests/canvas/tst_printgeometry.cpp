#include "app/canvas/PrintGeometry.h"
#include "canvas/support/CanvasFixture.h"
#include "support/ModelFactory.h"

#include <QTest>

#include <cmath>

using namespace PrintGeometry;
using CanvasFixture::near;

namespace {

PhotoItem print(QPointF center, QSizeF size = {200, 150}, double rotation = 0.0)
{
    return ModelFactory::item(QStringLiteral("photo.jpg"), center, size, rotation);
}

} // namespace

// Where a print's corners, handles and caption lie, and which print a point hits.
class TestPrintGeometry : public QObject {
    Q_OBJECT
private slots:

    void hitTestCountsTheWholeCardAndTakesTheTopmost()
    {
        const PhotoItem item = print({500, 400});
        // The boundary counts, and so does the bottom strip with the caption.
        QVERIFY(contains(item, {607.5, 487.75}) && contains(item, {500, 313}));
        QVERIFY(!contains(item, {500, 490}) && !contains(item, {607.6, 400}));
        // Turned, the card still reaches just to each of its corners.
        const PhotoItem tilted = print({500, 400}, {200, 150}, 0.3);
        for (const QPointF &c : cornerWorld(tilted))
            QVERIFY(contains(tilted, tilted.center + 0.98 * (c - tilted.center))
                    && !contains(tilted, tilted.center + 1.02 * (c - tilted.center)));

        CollageModel model;
        QCOMPARE(hitTest(model, {500, 400}), std::nullopt);
        const QUuid below = model.add(print({500, 400}));
        const QUuid above = model.add(print({550, 420}));
        QCOMPARE(hitTest(model, {520, 410}), std::optional(above));
        QCOMPARE(hitTest(model, {420, 330}), std::optional(below));
        model.bringToFront(below);
        QCOMPARE(hitTest(model, {520, 410}), std::optional(below));
        QCOMPARE(hitTest(model, {100, 100}), std::nullopt);
    }

    void handlePickingReachAndPriority()
    {
        const PhotoItem item = print({500, 400});
        QCOMPARE(handleAt({513, 513.75}, item), DragMode::rotate()); // 13 away
        QCOMPARE(handleAt({513.01, 513.75}, item), DragMode::none());
        QCOMPARE(handleAt({392.5 + 5, 312.25 + 12}, item), DragMode::resize(0));
        QCOMPARE(handleAt({607.5, 312.25 - 13}, item), DragMode::resize(1));
        QCOMPARE(handleAt({600, 480}, item), DragMode::resize(2));
        QCOMPARE(handleAt({392.5, 487.75}, item), DragMode::resize(3));
        QCOMPARE(handleAt({500, 400}, item), DragMode::none());
        // A degenerate print, 10 x 17: both bottom corners are in reach and the first one
        // wins; the rotate handle wins over the top corners.
        const PhotoItem tiny = print({100, 100}, {0, 0});
        QCOMPARE(handleAt({100, 91.5}, tiny), DragMode::resize(0));
        QCOMPARE(handleAt({100, 100 + 8.5 + 26 - 13}, tiny), DragMode::rotate());
        // Handles turn with the print: a quarter turn left points the rotate handle left.
        const PhotoItem turned = print({500, 400}, {200, 150}, M_PI / 2);
        QCOMPARE(handleAt({386.25, 400}, turned), DragMode::rotate());
        QCOMPARE(handleAt({587.75, 292.5}, turned), DragMode::resize(0));
        QCOMPARE(handleAt({500, 513.75}, turned), DragMode::none());
    }

    void captionLayoutExamples_data()
    {
        QTest::addColumn<QSizeF>("photo");
        QTest::addColumn<double>("fontSize");
        QTest::addColumn<QRectF>("frame");
        // The strip is 2.4 mats high; the font a third of it, from 8 to 15; centred, 1.3 high.
        QTest::newRow("at least 8") << QSizeF(200, 150) << 8.0 << QRectF(7.5, 3.8, 200, 10.4);
        QTest::newRow("between") << QSizeF(250, 250) << 10.2 << QRectF(12.5, 8.37, 250, 13.26);
        QTest::newRow("at most 15") << QSizeF(1000, 800) << 15.0 << QRectF(40, 38.25, 1000, 19.5);
    }

    void captionLayoutExamples()
    {
        QFETCH(QSizeF, photo);
        QFETCH(double, fontSize);
        QFETCH(QRectF, frame);
        const CaptionLayout layout = captionLayout(photo);
        QVERIFY(qFuzzyCompare(layout.fontSize, fontSize));
        QVERIFY(near(layout.frame.topLeft(), frame.topLeft()) && near(layout.frame.bottomRight(), frame.bottomRight()));
    }

    void interpolationEndsExactlyOnTarget()
    {
        // From this far away, a + (b - a) * 1 would miss the target by rounding.
        const Pose far{QPointF(1e20, 0), QSizeF(100, 100), 0, 1, 1};
        const Pose to{QPointF(0.1, 300), QSizeF(200, 50), 1.0, -1, 1};
        QVERIFY(interpolate(far, to, 1.0) == to);
        QVERIFY(interpolate(far, to, 0.0) == far);
        const Pose half{QPointF(0.05, 150), QSizeF(150, 75), 0.5, 0, 1};
        QVERIFY(interpolate(Pose{QPointF(0, 0), QSizeF(100, 100), 0, 1, 1}, to, 0.5) == half);
    }
};

QTEST_GUILESS_MAIN(TestPrintGeometry)
#include "tst_printgeometry.moc"
