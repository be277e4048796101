#include "app/canvas/PrintGeometry.h"
#include "support/ModelFactory.h"

#include <QTest>

#include <cmath>

using namespace PrintGeometry;

namespace {

PhotoItem print(QPointF center, QSizeF size = {200, 150}, double rotation = 0.0)
{
    PhotoItem item = ModelFactory::item(QUuid::createUuid(), 0, center, size);
    item.rotation = rotation;
    return item;
}

bool near(QPointF a, QPointF b, double tolerance = 1e-9)
{
    return std::abs(a.x() - b.x()) <= tolerance && std::abs(a.y() - b.y()) <= tolerance;
}

} // namespace

class TestPrintGeometry : public QObject {
    Q_OBJECT
private slots:
    void coordinatesFlipBetweenCollageAndScene();
    void cornersOfAnUnrotatedPrint();
    void cornersAndHandleOfAQuarterTurn();
    void frameTransformAgreesWithCorners_data();
    void frameTransformAgreesWithCorners();
    void hitTestCountsTheWholeCardAndItsBoundary();
    void hitTestFollowsRotation();
    void hitTestReturnsTheTopmostPrint();
    void handlePickingReachAndPriority();
    void handlePickingUnderRotation();
    void captionLayoutExamples();
    void flipMirrorsAboutThePhotoCentre();
    void interpolationEndsExactlyOnTarget();
};

void TestPrintGeometry::coordinatesFlipBetweenCollageAndScene()
{
    const CanvasCoords coords{QPointF(0, 0), 900};
    QCOMPARE(coords.toScene(QPointF(0, 0)), QPointF(0, 900));
    QCOMPARE(coords.toScene(QPointF(100, 800)), QPointF(100, 100));

    const CanvasCoords shifted{QPointF(1440, -200), 900};
    // The screen's bottom-left corner is the collage point screenOrigin.
    QCOMPARE(shifted.toScene(QPointF(1440, -200)), QPointF(0, 900));
    for (const QPointF p : {QPointF(3, 4), QPointF(-250.5, 1e4), QPointF(1440, 0)}) {
        QCOMPARE(shifted.toCollage(shifted.toScene(p)), p);
        QCOMPARE(shifted.contentTransform().map(p), shifted.toScene(p));
    }
}

void TestPrintGeometry::cornersOfAnUnrotatedPrint()
{
    const PhotoItem item = print({500, 400});
    const auto corners = cornerWorld(item);
    QCOMPARE(corners[0], QPointF(392.5, 312.25));
    QCOMPARE(corners[1], QPointF(607.5, 312.25));
    QCOMPARE(corners[2], QPointF(607.5, 487.75));
    QCOMPARE(corners[3], QPointF(392.5, 487.75));
    QCOMPARE(topMidWorld(item), QPointF(500, 487.75));
    QCOMPARE(rotateHandleWorld(item), QPointF(500, 513.75));
}

void TestPrintGeometry::cornersAndHandleOfAQuarterTurn()
{
    const PhotoItem item = print({500, 400}, {200, 150}, M_PI / 2);
    QVERIFY(near(cornerWorld(item)[0], QPointF(587.75, 292.5)));
    QVERIFY(near(cornerWorld(item)[2], QPointF(412.25, 507.5)));
    // The handle sits on the print's own up axis: a quarter turn left points it left.
    QVERIFY(near(rotateHandleWorld(item), QPointF(386.25, 400)));
    QVERIFY(near(topMidWorld(item), QPointF(412.25, 400)));
}

void TestPrintGeometry::frameTransformAgreesWithCorners_data()
{
    QTest::addColumn<double>("rotation");
    QTest::newRow("none") << 0.0;
    QTest::newRow("small") << 0.1;
    QTest::newRow("quarter") << M_PI / 2;
    QTest::newRow("negative") << -2.5;
}

void TestPrintGeometry::frameTransformAgreesWithCorners()
{
    QFETCH(double, rotation);
    const PhotoItem item = print({300, 200}, {120, 90}, rotation);
    const QTransform t = frameTransform(item.center, item.size, rotation);
    const auto corners = cornerWorld(item);
    // Frame space: origin bottom-left, frame 130 x 107 (mat 5).
    QVERIFY(near(t.map(QPointF(0, 0)), corners[0]));
    QVERIFY(near(t.map(QPointF(130, 0)), corners[1]));
    QVERIFY(near(t.map(QPointF(130, 107)), corners[2]));
    QVERIFY(near(t.map(QPointF(0, 107)), corners[3]));
    QVERIFY(near(t.map(QPointF(65, 53.5)), item.center));
}

void TestPrintGeometry::hitTestCountsTheWholeCardAndItsBoundary()
{
    const PhotoItem item = print({500, 400});
    QVERIFY(contains(item, {600, 480}));
    QVERIFY(contains(item, {607.5, 487.75}));
    QVERIFY(contains(item, {500, 313})); // the bottom strip with the caption
    QVERIFY(!contains(item, {500, 490}));
    QVERIFY(!contains(item, {607.6, 400}));
    QCOMPARE(hitTest(CollageModel(), {500, 400}), std::nullopt);
}

void TestPrintGeometry::hitTestFollowsRotation()
{
    const PhotoItem turned = print({500, 400}, {200, 150}, M_PI / 2);
    // Unrotated the print is 215 wide; turned, it reaches 87.75 left and right of its centre.
    QVERIFY(!contains(turned, {600, 400}));
    QVERIFY(contains(turned, {587, 400}));
    QVERIFY(contains(turned, {500, 507}));
}

void TestPrintGeometry::hitTestReturnsTheTopmostPrint()
{
    CollageModel model;
    const QUuid below = model.add(print({500, 400}));
    const QUuid above = model.add(print({550, 420}));
    QCOMPARE(hitTest(model, {520, 410}), std::optional(above));
    QCOMPARE(hitTest(model, {420, 330}), std::optional(below));
    model.bringToFront(below);
    QCOMPARE(hitTest(model, {520, 410}), std::optional(below));
    QCOMPARE(hitTest(model, {100, 100}), std::nullopt);
}

void TestPrintGeometry::handlePickingReachAndPriority()
{
    const PhotoItem item = print({500, 400});
    QCOMPARE(handleAt({513, 513.75}, item), DragMode::rotate());
    QCOMPARE(handleAt({513.01, 513.75}, item), DragMode::none());
    QCOMPARE(handleAt({392.5 + 5, 312.25 + 12}, item), DragMode::resize(0));
    QCOMPARE(handleAt({607.5, 312.25 - 13}, item), DragMode::resize(1));
    QCOMPARE(handleAt({600, 480}, item), DragMode::resize(2));
    QCOMPARE(handleAt({500, 400}, item), DragMode::none());

    // A degenerate print, 10 x 17: both bottom corners are in reach; the first one wins.
    const PhotoItem tiny = print({100, 100}, {0, 0});
    QCOMPARE(handleAt({100, 91.5}, tiny), DragMode::resize(0));
    QCOMPARE(handleAt({100, 100 + 8.5 + 26 - 13}, tiny), DragMode::rotate());
}

void TestPrintGeometry::handlePickingUnderRotation()
{
    const PhotoItem item = print({500, 400}, {200, 150}, M_PI / 2);
    QCOMPARE(handleAt({386.25, 400}, item), DragMode::rotate());
    QCOMPARE(handleAt({588, 293}, item), DragMode::resize(0));
    QCOMPARE(handleAt({500, 513.75}, item), DragMode::none()); // where it would be unrotated
}

void TestPrintGeometry::captionLayoutExamples()
{
    const CaptionLayout small = captionLayout({200, 150});
    QCOMPARE(small.fontSize, 8.0);
    QCOMPARE(small.frame.x(), 7.5);
    QVERIFY(qFuzzyCompare(small.frame.y(), 3.8));
    QCOMPARE(small.frame.width(), 200.0);
    QVERIFY(qFuzzyCompare(small.frame.height(), 10.4));

    const CaptionLayout large = captionLayout({1000, 800});
    QCOMPARE(large.fontSize, 15.0); // 32.64 capped
    QCOMPARE(large.frame.x(), 40.0);
    QCOMPARE(large.frame.y(), (96 - 19.5) / 2);

    const CaptionLayout middle = captionLayout({400, 400}); // m 20: 48 * 0.34
    QVERIFY(qFuzzyCompare(middle.fontSize, 15.0));
    const CaptionLayout between = captionLayout({600, 1000}); // m 30: strip 72, 24.48 -> 15
    QCOMPARE(between.fontSize, 15.0);
    const CaptionLayout unclamped = captionLayout({250, 250}); // m 12.5: strip 30, 10.2
    QVERIFY(qFuzzyCompare(unclamped.fontSize, 10.2));
}

void TestPrintGeometry::flipMirrorsAboutThePhotoCentre()
{
    const QSizeF size(200, 150);
    QCOMPARE(flipTransform(size, 1, 1).map(QPointF(10, 20)), QPointF(10, 20));
    QCOMPARE(flipTransform(size, -1, 1).map(QPointF(10, 20)), QPointF(190, 20));
    QCOMPARE(flipTransform(size, 1, -1).map(QPointF(10, 20)), QPointF(10, 130));
    QCOMPARE(flipTransform(size, -1, -1).map(QPointF(100, 75)), QPointF(100, 75));
}

void TestPrintGeometry::interpolationEndsExactlyOnTarget()
{
    const Pose from{QPointF(0, 0), QSizeF(100, 100), 0, 1, 1};
    const Pose to{QPointF(0.1, 300), QSizeF(200, 50), 1.0, -1, 1};
    QVERIFY(interpolate(from, to, 1.0) == to);
    QVERIFY(interpolate(from, to, 0.0) == from);
    const Pose half = interpolate(from, to, 0.5);
    QCOMPARE(half.center, QPointF(0.05, 150));
    QCOMPARE(half.size, QSizeF(150, 75));
    QCOMPARE(half.flipX, 0.0);
}

QTEST_GUILESS_MAIN(TestPrintGeometry)
#include "tst_printgeometry.moc"
