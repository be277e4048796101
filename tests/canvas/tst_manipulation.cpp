#include "app/canvas/Manipulation.h"
#include "core/PhotoFrame.h"
#include "support/ModelFactory.h"

#include <QTest>

#include <cmath>

using namespace Manipulation;

namespace {
const QRectF canvas1440(0, 0, 1440, 900);
const QSizeF frame200x150(215, 175.5);

PhotoItem other(QPointF center) { return ModelFactory::item(QUuid::createUuid(), 0, center, {200, 150}); }
double deg(double d) { return d * M_PI / 180; }
} // namespace

class TestManipulation : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void closestLineWithinThresholdWinsAndTiesGoToTheEarlierPair()
    {
        // Snapping within the threshold is checked where a drag shows it (tst_interaction).
        // Exactly at the threshold does not snap.
        const Snap far = snapCenter({728, 300}, frame200x150, {}, QUuid(), canvas1440);
        QCOMPARE(far.center, QPointF(728, 300));
        QVERIFY(!far.vLine && !far.hLine);
        // A screen right of another: its own centre line.
        QCOMPARE(snapCenter({1920 + 643, 300}, frame200x150, {}, QUuid(), {1920, 0, 1280, 1024}).vLine, 1920 + 640.0);

        // The moving print's centre is 5 from the screen centre line; its right edge is 3 from
        // another print's left edge: the closer one wins.
        const double right = 720 + 5 + 215 / 2.0;
        const Snap snap = snapCenter({725, 300}, frame200x150, {other({right + 3 + 107.5, 100})}, QUuid(), canvas1440);
        QCOMPARE(snap.vLine, right + 3);
        QCOMPARE(snap.center.x(), 728.0);

        // Both exactly 5 away: the left position is tried before the centre, so the line the
        // left edge reaches wins over the screen centre the centre position would reach.
        const double line = 725 - 107.5 - 5;
        QCOMPARE(snapCenter({725, 300}, frame200x150, {other({line - 107.5, 100})}, QUuid(), canvas1440).vLine, line);

        // Equal distances to the screen line and to another print's line from the same
        // position: the screen line comes first.
        QCOMPARE(snapCenter({725, 300}, frame200x150, {other({730 + 107.5, 300})}, QUuid(), canvas1440).vLine, 720.0);
    }

    void snapIgnoresTheMovingItemAndRotation()
    {
        const PhotoItem self = other({724, 300});
        PhotoItem tilted = other({100, 460});
        tilted.rotation = deg(40);
        const Snap snap = snapCenter({724, 300}, frame200x150, {self, tilted}, self.id, canvas1440);
        QCOMPARE(snap.center.x(), 720.0);
        // The tilted print's unrotated bottom edge is at 460 - 87.75 = 372.25; our top is 387.75.
        QVERIFY(!snap.hLine);
        const Snap up = snapCenter({724, 300 - 387.75 + 374}, frame200x150, {self, tilted}, self.id, canvas1440);
        QCOMPARE(up.hLine, 372.25);
        QCOMPARE(up.center.y(), 372.25 - 87.75);
    }


    void resizeUnderRotationKeepsTheAnchor_data()
    {
        QTest::addColumn<double>("rotation");
        QTest::addColumn<int>("corner");
        for (double r : {0.0, 30.0, 90.0, -135.0})
            for (int c = 0; c < 4; ++c)
                QTest::addRow("%g deg corner %d", r, c) << deg(r) << c;
    }

    void resizeUnderRotationKeepsTheAnchor()
    {
        QFETCH(double, rotation);
        QFETCH(int, corner);
        const QSizeF f = PhotoFrame::frameSize({200, 150});
        const double c = std::cos(rotation), s = std::sin(rotation);
        const auto world = [&](double x, double y) {
            return QPointF(500 + x * c - y * s, 400 + x * s + y * c);
        };
        const QList<QPointF> corners{world(-f.width() / 2, -f.height() / 2), world(f.width() / 2, -f.height() / 2),
                                     world(f.width() / 2, f.height() / 2), world(-f.width() / 2, f.height() / 2)};
        const QPointF anchor = corners[(corner + 2) % 4];
        // Drag the grabbed corner outwards along the diagonal to twice the distance.
        const QPointF pointer = anchor + 2 * (corners[corner] - anchor);
        const Resize r = resizeAboutAnchor({200, 150}, rotation, anchor, pointer);
        QCOMPARE(r.size, QSizeF(400, 300));
        // Twice the size about a fixed anchor puts the new centre on the old grabbed corner.
        QCOMPARE(r.center, corners[corner]);
    }

    void shiftRotationSteps_data()
    {
        QTest::addColumn<double>("degrees");
        QTest::addColumn<int>("step");
        QTest::addColumn<QString>("text");
        QTest::newRow("-44") << -44.0 << -2 << "330°";
        QTest::newRow("14") << 14.0 << 0 << "0°";
        QTest::newRow("-14") << -14.0 << 0 << "0°";
        // A pointer below the centre: the angle comes out between -270° and -90°.
        QTest::newRow("200") << 200.0 << -10 << "210°";
    }

    void shiftRotationSteps()
    {
        QFETCH(double, degrees);
        QFETCH(int, step);
        QFETCH(QString, text);
        // The pointer direction for an angle a is the up axis turned by a.
        const double a = deg(degrees);
        const Rotation r = rotationToward({0, 0}, {-std::sin(a) * 100, std::cos(a) * 100}, true);
        QCOMPARE(r.step, step);
        QCOMPARE(r.angle, step * rotationStep);
        QCOMPARE(angleText(r.angle), text);
    }

    void sizesAndTexts()
    {
        const QPointF anchor(392.5, 312.25);
        QCOMPARE(resizeAboutAnchor({200, 150}, 0, anchor, anchor).size, QSizeF(20, 20));
        // Past the anchor the frame moves to the other side instead of mirroring.
        const Resize past = resizeAboutAnchor({200, 150}, 0, anchor, anchor + QPointF(-430, -100));
        QCOMPARE(past.size, QSizeF(400, 300));
        QCOMPARE(past.center, anchor - QPointF(215, 175.5));
        QCOMPARE(pinchSize({100, 80}, -0.95), QSizeF(20, 20));
        QCOMPARE(sizeText({320.9, 240.2}), QStringLiteral("320 × 240"));
        QCOMPARE(sizeText({1e300, std::nan("")}), QStringLiteral("1000000000000000 × 0"));
        QCOMPARE(angleText(deg(-15.4)), QStringLiteral("345°"));
        QCOMPARE(wholeDegrees(deg(-375.5)), -375);
        QCOMPARE(angleText(std::nan("")), QStringLiteral("0°"));
    }
};

QTEST_MAIN(TestManipulation)
#include "tst_manipulation.moc"
