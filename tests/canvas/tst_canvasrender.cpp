#include "app/canvas/CollageView.h"
#include "app/canvas/PinItem.h"
#include "app/canvas/PrintItem.h"
#include "canvas/support/CanvasFixture.h"
#include "core/PhotoFrame.h"
#include "support/ModelFactory.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QTest>

#include <cmath>

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
    void initTestCase();
    void printsLookLikePrints();

private:
    QImage render(CollageView &view) const;
    QPoint at(CollageView &view, const QUuid &id, QPointF framePoint) const;
};

void TestCanvasRender::initTestCase()
{
    CanvasFixture::installFakePlatform();
}

QImage TestCanvasRender::render(CollageView &view) const
{
    QImage image = desktop(view.viewport()->size());
    QPainter painter(&image);
    view.render(&painter, QRectF(), view.viewport()->rect());
    return image;
}

QPoint TestCanvasRender::at(CollageView &view, const QUuid &id, QPointF framePoint) const
{
    return view.layersByID().value(id)->mapToScene(framePoint).toPoint();
}

void TestCanvasRender::printsLookLikePrints()
{
    QTemporaryDir dir;
    const QString sea = CanvasFixture::writeImage(dir, "sea.jpg", CanvasFixture::testImage({1600, 1200}, QColor(40, 120, 190)));
    const QString field = CanvasFixture::writeImage(dir, "field.jpg", CanvasFixture::testImage({1200, 1600}, QColor(90, 160, 70)));
    const QString dusk = CanvasFixture::writeImage(dir, "dusk.jpg", CanvasFixture::testImage({1600, 1000}, QColor(200, 90, 60)));

    auto view = CanvasFixture::makeView(QSize(1280, 720));
    view->setImageBaseDir(dir.path());
    CollageModel model;
    PhotoItem plain = ModelFactory::item(sea, {250, 480}, {300, 225}, 0.05);
    plain.id = ModelFactory::uuidWithFirstByte(0x00); // red pin
    plain.caption = QStringLiteral("May 2024");
    PhotoItem flipped = ModelFactory::item(sea, {640, 500}, {280, 210}, -0.12);
    flipped.id = ModelFactory::uuidWithFirstByte(0x05); // blue pin
    flipped.flipH = true;
    flipped.caption = QStringLiteral("July 2019 · Lisbon, by the long and winding river front");
    PhotoItem cropped = ModelFactory::item(field, {1030, 470}, {180, 240}, 0.1);
    cropped.id = ModelFactory::uuidWithFirstByte(0x06); // yellow pin
    cropped.cropRect = QRectF(0.1, 0.2, 0.8, 0.8);
    cropped.caption = QStringLiteral("April 2021");
    PhotoItem missing = ModelFactory::item(QStringLiteral("not-there.jpg"), {330, 170}, {240, 180}, -0.06);
    missing.id = ModelFactory::uuidWithFirstByte(0x07); // green pin
    missing.caption = QStringLiteral("March 2018");
    PhotoItem selected = ModelFactory::item(dusk, {860, 190}, {320, 200}, 0.2);
    selected.caption = QStringLiteral("October 2022 · Kyoto");
    for (const PhotoItem &item : {plain, flipped, cropped, missing, selected})
        model.add(item);
    view->setModel(model);
    view->rebuild();
    QVERIFY(CanvasFixture::waitForImages(*view));

    view->setSelectedID(selected.id);
    view->updateChrome();
    const QImage withSelection = render(*view);
    view->setSelectedID(std::nullopt);
    view->setHoveredID(plain.id);
    view->updateChrome();
    const QImage withHover = render(*view);

    QImage sheet(1280, 1440, QImage::Format_ARGB32_Premultiplied);
    {
        QPainter p(&sheet);
        p.drawImage(0, 0, withSelection);
        p.drawImage(0, 720, withHover);
    }
    const QString file = QDir::current().filePath(QStringLiteral("veloran-canvas.png"));
    QVERIFY(sheet.save(file));
    QFile::remove(QStringLiteral("/tmp/veloran-canvas.png"));
    QVERIFY(QFile::copy(file, QStringLiteral("/tmp/veloran-canvas.png")));

    const QImage &img = withSelection;
    // The mat is white; the bottom strip beside the caption too.
    QCOMPARE(QColor(img.pixel(at(*view, plain.id, {6, 60}))), QColor(Qt::white));
    QCOMPARE(QColor(img.pixel(at(*view, plain.id, {10, 5}))), QColor(Qt::white));
    // The pin's colour, away from its highlight; the highlight is lighter.
    const QPointF pin = PhotoFrame::pinCenter(plain.size);
    const QColor pinColour(img.pixel(at(*view, plain.id, pin + QPointF(3, -4))));
    QVERIFY2(pinColour.red() > 200 && pinColour.green() < 90, qPrintable(pinColour.name()));
    QVERIFY(lightness(img.pixel(at(*view, plain.id, pin + QPointF(-3, 3)))) > lightness(pinColour.rgb()));
    // The shadow falls below the card: darker 6 points under it than 6 points over it.
    const QImage background = desktop(img.size());
    const QPoint below = at(*view, plain.id, {160, -6});
    const QPoint above = at(*view, plain.id, {160, PhotoFrame::frameSize(plain.size).height() + 6});
    const int darkBelow = lightness(background.pixel(below)) - lightness(img.pixel(below));
    const int darkAbove = lightness(background.pixel(above)) - lightness(img.pixel(above));
    QVERIFY2(darkBelow > darkAbove + 5 && darkBelow > 6, qPrintable(QStringLiteral("%1 %2").arg(darkBelow).arg(darkAbove)));
    // The test picture's yellow marker sits top-left; flipped horizontally it shows top-right.
    const QRectF photo = PhotoFrame::photoRect(plain.size);
    const auto yellow = [](QRgb c) { return qRed(c) > 200 && qGreen(c) > 160 && qBlue(c) < 120; };
    QVERIFY(yellow(img.pixel(at(*view, plain.id, photo.topLeft() + QPointF(photo.width() / 4, photo.height() * 3 / 4)))));
    const QRectF photo2 = PhotoFrame::photoRect(flipped.size);
    QVERIFY(yellow(img.pixel(at(*view, flipped.id, photo2.topLeft() + QPointF(photo2.width() * 3 / 4, photo2.height() * 3 / 4)))));
    QVERIFY(!yellow(img.pixel(at(*view, flipped.id, photo2.topLeft() + QPointF(photo2.width() / 4, photo2.height() * 3 / 4)))));
    // The missing photo shows a faint grey on the card.
    const QRectF photo3 = PhotoFrame::photoRect(missing.size);
    const int grey = lightness(img.pixel(at(*view, missing.id, photo3.center())));
    QVERIFY2(grey > 215 && grey < 245, qPrintable(QString::number(grey)));
    // Handwriting: dark grey ink somewhere on the bottom strip of a captioned print.
    int ink = 0;
    const double strip = PhotoFrame::photoRect(plain.size).y();
    for (double x = 20; x < 300; x += 0.5)
        for (double y = 2; y < strip - 2; y += 0.5)
            ink += lightness(img.pixel(at(*view, plain.id, {x, y}))) < 140;
    QVERIFY2(ink > 20, qPrintable(QString::number(ink)));
}

QTEST_MAIN(TestCanvasRender)
#include "tst_canvasrender.moc"
