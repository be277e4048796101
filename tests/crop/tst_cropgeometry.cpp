#include "app/crop/CropGeometry.h"

#include <QTest>

#include <limits>

using namespace CropGeometry;

Q_DECLARE_METATYPE(CropGeometry::Drag)

namespace {

bool near(const QRectF &a, const QRectF &b, double tolerance = 1e-9)
{
    return std::abs(a.x() - b.x()) <= tolerance && std::abs(a.y() - b.y()) <= tolerance
        && std::abs(a.width() - b.width()) <= tolerance && std::abs(a.height() - b.height()) <= tolerance;
}

} // namespace

class TestCropGeometry : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The image fits between the margins and the bar; crops convert to the view and back.
    void imageRectConversionsAndGrabbing()
    {
        // A 4000 × 3000 image on a 1440 × 900 screen: scale 734 / 3000.
        const QRectF image = imageRect({1440, 900}, {4000, 3000});
        QVERIFY(near(image, QRectF(720 - 4000 * 734 / 3000.0 / 2, 90, 4000 * 734 / 3000.0, 734)));
        // A panel at the bottom raises the bar; a tall image is bound by the height.
        QVERIFY(near(imageRect({1440, 900}, {3000, 4000}, 40), QRectF(720 - 694 * 0.75 / 2, 90, 694 * 0.75, 694)));
        // A small image is scaled up to fill the space.
        QCOMPARE(imageRect({1440, 900}, {400, 300}).height(), 734.0);
        for (const QRectF normalised : {QRectF(0, 0, 1, 1), QRectF(0.25, 0, 0.5, 0.5), QRectF(0.1, 0.37, 0.33, 0.41)}) {
            const QRectF view = viewCrop(normalised, image);
            QVERIFY(near(normalisedCrop(view, image), normalised, 1e-12));
            QCOMPARE(view.top(), image.top() + normalised.y() * image.height());
        }
        QCOMPARE(viewCrop(QRectF(0, 0, 1, 1), image), image);

        // Grabbing corners and the inside.
        const QRectF crop(300, 200, 400, 300);
        QCOMPARE(grab(crop, {300 + 10, 500 - 10}), (Drag{Drag::Corner, 0})); // bottom-left, 14 points off
        QCOMPARE(grab(crop, {700, 500}), (Drag{Drag::Corner, 1}));
        QCOMPARE(grab(crop, {712, 190}), (Drag{Drag::Corner, 2}));
        QCOMPARE(grab(crop, {300, 200}), (Drag{Drag::Corner, 3}));
        QCOMPARE(grab(crop, {300 + 11, 200 + 11}), (Drag{Drag::Corner, 3})); // 15.6 points off
        QCOMPARE(grab(crop, {300 + 12, 200 + 12}).kind, Drag::Move); // 17 points off: inside
        QCOMPARE(grab(crop, {100, 100}).kind, Drag::None);
    }

    void storedCropsAreMadeUsableAndCommittingKeepsTheLongerSide()
    {
        const double nan = std::numeric_limits<double>::quiet_NaN();
        const std::pair<QRectF, QRectF> rows[] = {{{0.2, 0.2, 0.5, 0.5}, {0.2, 0.2, 0.5, 0.5}},
            {{0.5, 0, 0.9, 1}, {0.5, 0, 0.5, 1}}, {{0.8, 0.8, -0.3, -0.3}, {0.5, 0.5, 0.3, 0.3}},
            {{2, 2, 1, 1}, {0, 0, 1, 1}}, {{0.5, 0.5, 0, 0.2}, {0, 0, 1, 1}}, {{nan, 0, 1, 1}, {0, 0, 1, 1}}};
        for (const auto &[stored, used] : rows)
            QVERIFY2(near(sanitised(stored), used), qPrintable(QDebug::toString(stored)));

        // Committing keeps the longer side.
        const std::tuple<QSizeF, QRectF, QSize, QSizeF> sizes[] = {
            {{300, 225}, {0, 0, 0.5, 1}, {4000, 3000}, {200, 300}}, // half the width
            {{300, 400}, {0, 0, 1, 1}, {3000, 4000}, {300, 400}},
            {{300, 225}, {0, 0.4, 1, 0.25}, {4000, 3000}, {300, 56.25}}}; // a wide strip
        for (const auto &[size, crop, pixels, expected] : sizes)
            QCOMPARE(committedSize(size, crop, pixels), expected);
    }

    void dragging_data()
    {
        QTest::addColumn<Drag>("drag");
        QTest::addColumn<QPointF>("delta");
        QTest::addColumn<QRectF>("expected");
        // The crop starts at (400, 200, 400, 300) inside an image at (200, 90, 1000, 700).
        QTest::newRow("bottom-left corner") << Drag{Drag::Corner, 0} << QPointF(-50, 30) << QRectF(350, 200, 450, 330);
        QTest::newRow("top-right corner") << Drag{Drag::Corner, 2} << QPointF(20, -20) << QRectF(400, 180, 420, 320);
        QTest::newRow("clamped to the image") << Drag{Drag::Corner, 3} << QPointF(-500, -500) << QRectF(200, 90, 600, 410);
        QTest::newRow("39 points wide: unchanged") << Drag{Drag::Corner, 2} << QPointF(-361, 0) << QRectF(1, 2, 3, 4);
        QTest::newRow("40 points wide") << Drag{Drag::Corner, 2} << QPointF(-360, 0) << QRectF(400, 200, 40, 300);
        QTest::newRow("past the opposite edge") << Drag{Drag::Corner, 1} << QPointF(0, -400) << QRectF(1, 2, 3, 4);
        QTest::newRow("move") << Drag{Drag::Move, 0} << QPointF(30, 40) << QRectF(430, 240, 400, 300);
        QTest::newRow("move beyond the left edge") << Drag{Drag::Move, 0} << QPointF(-900, 0) << QRectF(200, 200, 400, 300);
        QTest::newRow("move beyond the bottom") << Drag{Drag::Move, 0} << QPointF(0, 900) << QRectF(400, 490, 400, 300);
        QTest::newRow("nothing grabbed") << Drag{} << QPointF(30, 40) << QRectF(1, 2, 3, 4);
    }

    void dragging()
    {
        QFETCH(Drag, drag);
        QFETCH(QPointF, delta);
        QFETCH(QRectF, expected);
        const QRectF current(1, 2, 3, 4); // what the previous event left
        QCOMPARE(dragged(drag, QRectF(400, 200, 400, 300), delta, QRectF(200, 90, 1000, 700), current), expected);
    }

};

QTEST_GUILESS_MAIN(TestCropGeometry)
#include "tst_cropgeometry.moc"
