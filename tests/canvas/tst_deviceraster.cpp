#include "app/canvas/DeviceRaster.h"

#include <QPainter>
#include <QTest>

namespace {

// Something with rotated, antialiased edges, drawn in item coordinates.
void drawShape(QPainter *p)
{
    p->setPen(QPen(Qt::darkBlue, 1.5));
    p->setBrush(QColor(240, 120, 60));
    p->drawRoundedRect(QRectF(0, 0, 60, 40), 6, 6);
}

const QRectF shapeBounds(-1, -1, 62, 42);

QImage paintAt(const QTransform &item, DeviceRaster *raster, size_t key = 1)
{
    QImage image(200, 160, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setTransform(item);
    if (raster)
        raster->paint(&p, shapeBounds, key, drawShape);
    else
        drawShape(&p);
    return image;
}

// The largest difference in any channel; the images are opaque, so alpha never differs.
int difference(const QImage &a, const QImage &b)
{
    int worst = 0;
    for (qsizetype i = 0; i < a.sizeInBytes(); ++i)
        worst = std::max(worst, std::abs(a.constBits()[i] - b.constBits()[i]));
    return worst;
}

QTransform turned(double dx, double dy)
{
    return QTransform().translate(dx, dy).rotate(17);
}

} // namespace

// Keeping painted items as device pixels while they only move.
class TestDeviceRaster : public QObject {
    Q_OBJECT
private slots:
    void whatForcesANewDrawing()
    {
        DeviceRaster raster;
        paintAt(turned(40, 30), &raster);
        QVERIFY(raster.isEmpty()); // seen once: nothing kept
        // Drawn directly the first time, kept the second, copied (and looking drawn) after that.
        for (const QTransform &t : {turned(41, 29), turned(73, 61), turned(12, 90)})
            QVERIFY(difference(paintAt(t, &raster), paintAt(t, nullptr)) <= 2); // rounding of the extra blend
        QCOMPARE(raster.renders(), 1);
        // In motion a sub-pixel step is copied to the nearest whole pixel...
        const QImage moving = paintAt(turned(44.25, 21.75), &raster);
        QCOMPARE(raster.renders(), 1);
        QVERIFY(difference(moving, paintAt(turned(44, 22), nullptr)) <= 2);
        // ...and painted again in the same place, at rest, drawn at its exact position.
        const QImage resting = paintAt(turned(44.25, 21.75), &raster);
        QCOMPARE(raster.renders(), 2);
        QVERIFY(difference(resting, paintAt(turned(44.25, 21.75), nullptr)) <= 2);
        QVERIFY(difference(resting, moving) > 2);
    }

    void budgetDropsTheLeastRecentlyUsed()
    {
        const qint64 saved = DeviceRaster::budget();
        DeviceRaster first, second, third;
        const auto keep = [](DeviceRaster *raster) {
            paintAt(turned(40, 30), raster);
            paintAt(turned(40, 30), raster);
        };
        keep(&first);
        const qint64 one = first.bytes();
        DeviceRaster::setBudget(DeviceRaster::totalBytes() + one + one / 2);
        keep(&second);
        paintAt(turned(40, 30), &first); // first is now the more recent one
        keep(&third);
        QVERIFY(!first.isEmpty() && second.isEmpty() && !third.isEmpty());
        QVERIFY(DeviceRaster::totalBytes() <= DeviceRaster::budget());

        // A raster larger than the whole budget is drawn directly, not kept.
        DeviceRaster::setBudget(1024);
        DeviceRaster big;
        for (int i = 0; i < 2; ++i)
            QCOMPARE(difference(paintAt(turned(60, 40), &big), paintAt(turned(60, 40), nullptr)), 0);
        QVERIFY(big.isEmpty());
        DeviceRaster::setBudget(saved);
    }
};

QTEST_MAIN(TestDeviceRaster)
#include "tst_deviceraster.moc"
