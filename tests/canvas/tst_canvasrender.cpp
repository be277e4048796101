#include "app/canvas/CollageView.h"
#include "app/canvas/PrintItem.h"
#include "canvas/support/CanvasFixture.h"
#include "core/PhotoFrame.h"
#include "support/ModelFactory.h"

#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

namespace {

// A stand-in for the desktop picture behind the translucent canvas.
QImage desktop(QSize size)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&image);
    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0, QColor(54, 92, 140));
    sky.setColorAt(1, QColor(120, 150, 170));
    p.fillRect(image.rect(), sky);
    return image;
}

int lightness(QRgb rgb)
{
    return (qRed(rgb) + qGreen(rgb) + qBlue(rgb)) / 3;
}

} // namespace

// Draws a real canvas offscreen and checks what a person would see on it.
class TestCanvasRender : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { CanvasFixture::installFakePlatform(); }

    void printsLookLikePrints()
    {
        QTemporaryDir dir;
        // Kept for a person to look at when asked for.
        dir.setAutoRemove(!qEnvironmentVariableIsSet("VELORAN_KEEP_PICTURES"));
        const QString sea = CanvasFixture::writeImage(dir, "sea.jpg", CanvasFixture::testImage({1600, 1200}, QColor(40, 120, 190)));
        const QString dusk = CanvasFixture::writeImage(dir, "dusk.jpg", CanvasFixture::testImage({1600, 1000}, QColor(200, 90, 60)));
        auto view = CanvasFixture::makeView(QSize(1280, 720));
        view->setImageBaseDir(dir.path());
        PhotoItem plain = ModelFactory::item(sea, {250, 480}, {300, 225}, 0.05);
        plain.id = ModelFactory::uuidWithFirstByte(0x00); // red pin
        plain.caption = QStringLiteral("May 2024");
        PhotoItem flipped = ModelFactory::item(sea, {640, 500}, {280, 210}, -0.12);
        flipped.flipH = true;
        flipped.caption = QStringLiteral("July 2019 · Lisbon, by the long and winding river front");
        PhotoItem missing = ModelFactory::item(QStringLiteral("not-there.jpg"), {330, 170}, {240, 180}, -0.06);
        PhotoItem selected = ModelFactory::item(dusk, {860, 190}, {320, 200}, 0.2);
        selected.cropRect = QRectF(0.1, 0.2, 0.8, 0.8);
        CanvasFixture::show(*view, CollageModel({plain, flipped, missing, selected}));
        QVERIFY(CanvasFixture::waitForImages(*view));
        CanvasFixture::selectPrint(*view, selected.id);

        QImage img = desktop(view->viewport()->size());
        QPainter painter(&img);
        view->render(&painter, QRectF(), view->viewport()->rect());
        painter.end();
        const QString file = dir.filePath(QStringLiteral("canvas.png"));
        QVERIFY(img.save(file));
        qInfo("canvas drawn to %s", qPrintable(file));

        const auto at = [&](const PhotoItem &item, QPointF framePoint) {
            return view->layersByID().value(item.id)->mapToScene(framePoint).toPoint();
        };
        // The mat is white; the bottom strip beside the caption too.
        QCOMPARE(QColor(img.pixel(at(plain, {6, 60}))), QColor(Qt::white));
        QCOMPARE(QColor(img.pixel(at(plain, {10, 5}))), QColor(Qt::white));
        // The pin's colour, away from its highlight; the highlight is lighter.
        const QPointF pin = PhotoFrame::pinCenter(plain.size);
        const QColor pinColour(img.pixel(at(plain, pin + QPointF(3, -4))));
        QVERIFY2(pinColour.red() > 200 && pinColour.green() < 90, qPrintable(pinColour.name()));
        QVERIFY(lightness(img.pixel(at(plain, pin + QPointF(-3, 3)))) > lightness(pinColour.rgb()));
        // The shadow falls below the card: darker 6 points under it than 6 points over it.
        const QImage bare = desktop(img.size());
        const auto dark = [&](QPointF framePoint) {
            const QPoint p = at(plain, framePoint);
            return lightness(bare.pixel(p)) - lightness(img.pixel(p));
        };
        const QSizeF frame = PhotoFrame::frameSize(plain.size);
        const int darkBelow = dark({160, -6}), darkAbove = dark({160, frame.height() + 6});
        QVERIFY2(darkBelow > darkAbove + 5 && darkBelow > 6, qPrintable(QStringLiteral("%1 %2").arg(darkBelow).arg(darkAbove)));
        // Soft: it fades away from the card to nothing, evenly on both sides, with no seam
        // where its cached pieces meet.
        for (double d = 4; d < 40; d += 2)
            QVERIFY2(dark({160, -d - 2}) <= dark({160, -d}) + 1, qPrintable(QString::number(d)));
        QVERIFY(dark({160, -40}) <= 1);
        QVERIFY(std::abs(dark({-6, 100}) - dark({frame.width() + 6, 100})) <= 3);
        for (double x = 20; x < frame.width() - 20; x += 1)
            QVERIFY2(std::abs(dark({x, -8}) - dark({x + 1, -8})) <= 3, qPrintable(QString::number(x)));
        // The test picture's yellow marker sits top-left; flipped horizontally it shows top-right.
        const auto yellow = [](QRgb c) { return qRed(c) > 200 && qGreen(c) > 160 && qBlue(c) < 120; };
        const QRectF photo = PhotoFrame::photoRect(plain.size);
        QVERIFY(yellow(img.pixel(at(plain, photo.topLeft() + QPointF(photo.width() / 4, photo.height() * 3 / 4)))));
        const QRectF photo2 = PhotoFrame::photoRect(flipped.size);
        QVERIFY(yellow(img.pixel(at(flipped, photo2.topLeft() + QPointF(photo2.width() * 3 / 4, photo2.height() * 3 / 4)))));
        QVERIFY(!yellow(img.pixel(at(flipped, photo2.topLeft() + QPointF(photo2.width() / 4, photo2.height() * 3 / 4)))));
        // The missing photo shows a faint grey on the card.
        const int grey = lightness(img.pixel(at(missing, PhotoFrame::photoRect(missing.size).center())));
        QVERIFY2(grey > 215 && grey < 245, qPrintable(QString::number(grey)));
        // Handwriting: dark grey ink somewhere on the bottom strip of a captioned print.
        int ink = 0;
        for (double x = 20; x < 300; x += 0.5)
            for (double y = 2; y < photo.y() - 2; y += 0.5)
                ink += lightness(img.pixel(at(plain, {x, y}))) < 140;
        QVERIFY2(ink > 20, qPrintable(QString::number(ink)));
    }
};

QTEST_MAIN(TestCanvasRender)
#include "tst_canvasrender.moc"
