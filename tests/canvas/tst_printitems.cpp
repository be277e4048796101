#include "app/canvas/CaptionFont.h"
#include "app/canvas/CaptionItem.h"
#include "app/canvas/CollageView.h"
#include "app/canvas/PinItem.h"
#include "app/canvas/PinPalette.h"
#include "app/canvas/PrintItem.h"
#include "app/canvas/PrintPhotoItem.h"
#include "canvas/support/CanvasFixture.h"
#include "support/ModelFactory.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGraphicsEllipseItem>
#include <QTest>

#include <cmath>

namespace {

bool near(QPointF a, QPointF b, double tolerance = 1e-6)
{
    return std::abs(a.x() - b.x()) <= tolerance && std::abs(a.y() - b.y()) <= tolerance;
}

} // namespace

// The items of one print on a real canvas, against the measures of a framed print.
class TestPrintItems : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void printOf200x150();
    void printOf1000x800AndTinyPrint();
    void printSitsOnTheCollageWithYUp();
    void positiveRotationTurnsCounterClockwise();
    void shadowFallsBelowTheCard();
    void pinColourFollowsTheFirstIdByte_data();
    void pinColourFollowsTheFirstIdByte();
    void pinHighlightAndLayers();
    void flipsMirrorThePhotoOnly();
    void captionTextAbsentShortAndLong();
    void captionStaysOnOneLine();
    void captionFontChoice();
    void screenOriginShiftsTheContentLayer();

private:
    PrintItem *show(const PhotoItem &item);
    std::unique_ptr<CollageView> m_view;
};

void TestPrintItems::initTestCase()
{
    CanvasFixture::installFakePlatform();
}

void TestPrintItems::init()
{
    m_view = CanvasFixture::makeView();
}

void TestPrintItems::cleanup()
{
    m_view.reset();
}

PrintItem *TestPrintItems::show(const PhotoItem &item)
{
    CollageModel model;
    model.add(item);
    m_view->setModel(model);
    m_view->rebuild();
    return m_view->layersByID().value(item.id);
}

void TestPrintItems::printOf200x150()
{
    PhotoItem item = ModelFactory::item(QUuid::createUuid(), 0, {500, 400}, {200, 150});
    PrintItem *frame = show(item);
    QVERIFY(frame);
    QCOMPARE(frame->frameSize(), QSizeF(215, 175.5));
    QCOMPARE(frame->cornerRadius(), 4.5);

    PrintPhotoItem *photo = m_view->contentByID().value(item.id);
    QCOMPARE(photo, frame->photo());
    QCOMPARE(photo->pos(), QPointF(7.5, 18));
    QCOMPARE(photo->size(), QSizeF(200, 150));
    QCOMPARE(photo->cornerRadius() / 2, 2.25);

    PinItem *pin = m_view->pinByID().value(item.id);
    QCOMPARE(pin->center(), QPointF(107.5, 163.5));
    QCOMPARE(pin->boundingRect().adjusted(0, 0, 0, 0).isEmpty(), false);

    CaptionItem *caption = m_view->captionByID().value(item.id);
    QCOMPARE(caption->fontSize(), 8.0);
    QCOMPARE(caption->frame().x(), 7.5);
    QVERIFY(qFuzzyCompare(caption->frame().y(), 3.8));
    QCOMPARE(caption->frame().width(), 200.0);
    QVERIFY(qFuzzyCompare(caption->frame().height(), 10.4));
    QCOMPARE(caption->pos(), caption->frame().topLeft());
    QCOMPARE(caption->textColor(), QColor::fromRgbF(0.28f, 0.28f, 0.28f));
}

void TestPrintItems::printOf1000x800AndTinyPrint()
{
    const PhotoItem big = ModelFactory::item(QUuid::createUuid(), 0, {700, 500}, {1000, 800});
    PrintItem *frame = show(big);
    QCOMPARE(frame->frameSize(), QSizeF(1080, 936));
    QCOMPARE(frame->photo()->pos(), QPointF(40, 96)); // the bottom strip is 96 high
    QCOMPARE(frame->cornerRadius(), 24.0);
    QCOMPARE(frame->caption()->fontSize(), 15.0);

    const PhotoItem tiny = ModelFactory::item(QUuid::createUuid(), 0, {100, 100}, {20, 20});
    frame = show(tiny);
    QCOMPARE(frame->photo()->pos(), QPointF(5, 12)); // mat 5, not 1
    QCOMPARE(frame->cornerRadius(), 3.0);             // not 0.6
    QCOMPARE(frame->frameSize(), QSizeF(30, 37));
}

void TestPrintItems::printSitsOnTheCollageWithYUp()
{
    PrintItem *frame = show(ModelFactory::item(QUuid::createUuid(), 0, {500, 400}, {200, 150}));
    // The view is 900 high: collage y 312.25 is scene y 587.75.
    QVERIFY(near(frame->mapToScene(QPointF(0, 0)), QPointF(392.5, 587.75)));
    QVERIFY(near(frame->mapToScene(QPointF(215, 175.5)), QPointF(607.5, 412.25)));
    // The pin is near the top edge on screen, the caption strip at the bottom.
    const QPointF pin = frame->pin()->mapToScene(QPointF(9, 9));
    QVERIFY(near(pin, QPointF(500, 900 - (312.25 + 163.5))));
    const QPointF caption = frame->caption()->mapToScene(frame->caption()->boundingRect().center());
    QVERIFY(caption.y() > frame->photo()->mapToScene(QPointF(100, 0)).y());
}

void TestPrintItems::positiveRotationTurnsCounterClockwise()
{
    PhotoItem item = ModelFactory::item(QUuid::createUuid(), 0, {500, 400}, {200, 150});
    item.rotation = 0.3;
    PrintItem *frame = show(item);
    const QPointF topMid = frame->mapToScene(QPointF(107.5, 175.5));
    // Turned counter-clockwise, the top edge's middle moves left of the centre.
    QVERIFY(topMid.x() < 500 - 20);
    QVERIFY(near(frame->mapToScene(QPointF(107.5, 87.75)), QPointF(500, 500)));
    QVERIFY(near(m_view->coords().toCollage(topMid), m_view->topMidWorld(item)));
}

void TestPrintItems::shadowFallsBelowTheCard()
{
    PrintItem *frame = show(ModelFactory::item(QUuid::createUuid(), 0, {500, 400}, {200, 150}));
    const QRectF card = frame->mapRectToScene(QRectF(0, 0, 215, 175.5));
    const QRectF painted = frame->sceneBoundingRect();
    QVERIFY(painted.contains(card));
    // Offset 4 points down on screen: more shadow below the card than above it.
    QCOMPARE(painted.bottom() - card.bottom(), card.top() - painted.top() + 8);
    QCOMPARE(PrintItem::shadowOpacity, 0.33);
}

void TestPrintItems::pinColourFollowsTheFirstIdByte_data()
{
    QTest::addColumn<int>("firstByte");
    QTest::addColumn<QColor>("color");
    const QColor red = QColor::fromRgbF(0.9f, 0.24f, 0.24f);
    const QColor blue = QColor::fromRgbF(0.2f, 0.52f, 0.9f);
    const QColor yellow = QColor::fromRgbF(0.96f, 0.76f, 0.2f);
    const QColor green = QColor::fromRgbF(0.3f, 0.72f, 0.42f);
    QTest::newRow("0x00") << 0x00 << red;
    QTest::newRow("0x05") << 0x05 << blue;
    QTest::newRow("0x06") << 0x06 << yellow;
    QTest::newRow("0x07") << 0x07 << green;
    QTest::newRow("0xFF") << 0xFF << green;
}

void TestPrintItems::pinColourFollowsTheFirstIdByte()
{
    QFETCH(int, firstByte);
    QFETCH(QColor, color);
    const QUuid id = ModelFactory::uuidWithFirstByte(firstByte);
    PrintItem *frame = show(ModelFactory::item(id, 0, {300, 300}, {200, 150}));
    QCOMPARE(frame->pin()->color(), color);
    QCOMPARE(PinPalette::colors().size(), 4);
}

void TestPrintItems::pinHighlightAndLayers()
{
    PrintItem *frame = show(ModelFactory::item(QUuid::createUuid(), 0, {300, 300}, {200, 150}));
    PinItem *pin = frame->pin();
    QCOMPARE(pin->zValue(), 10.0);
    QCOMPARE(frame->caption()->zValue(), 6.0);
    QCOMPARE(frame->zValue(), 0.0);
    const QGraphicsEllipseItem *highlight = pin->highlight();
    QCOMPARE(highlight->rect().size(), QSizeF(9, 9));
    QVERIFY(near(highlight->mapToParent(highlight->rect().center()), QPointF(6.12, 11.52)));
    QCOMPARE(highlight->brush().color(), QColor::fromRgbF(1, 1, 1, 0.5f));
    // The highlight is up and to the left of the pin's centre on screen.
    const QPointF centre = pin->mapToScene(QPointF(9, 9));
    const QPointF shine = highlight->mapToScene(highlight->rect().center());
    QVERIFY(shine.x() < centre.x() && shine.y() < centre.y());
}

void TestPrintItems::flipsMirrorThePhotoOnly()
{
    PhotoItem item = ModelFactory::item(QUuid::createUuid(), 0, {300, 300}, {200, 150});
    item.flipH = true;
    PrintItem *frame = show(item);
    PrintPhotoItem *photo = frame->photo();
    // Mirrored about its centre: its left edge lands where the right edge was.
    QVERIFY(near(photo->mapToParent(QPointF(0, 10)), QPointF(207.5, 28)));
    QVERIFY(near(frame->pin()->center(), QPointF(107.5, 163.5)));

    item.flipH = false;
    item.flipV = true;
    CollageModel model;
    model.add(item);
    m_view->setModel(model);
    m_view->applyModelToLayers(false);
    QVERIFY(near(photo->mapToParent(QPointF(0, 0)), QPointF(7.5, 168)));
}

void TestPrintItems::captionTextAbsentShortAndLong()
{
    PhotoItem item = ModelFactory::item(QUuid::createUuid(), 0, {300, 300}, {200, 150});
    CaptionItem *caption = show(item)->caption();
    QCOMPARE(caption->text(), QString());

    item.caption = QStringLiteral("May 2024");
    caption = show(item)->caption();
    QCOMPARE(caption->displayedText(), QStringLiteral("May 2024"));

    item.caption = QStringLiteral("July 2019 · Lisbon, a very long place name that will never fit on a small print");
    caption = show(item)->caption();
    const QString shown = caption->displayedText();
    QVERIFY(shown.endsWith(QChar(0x2026)));
    QVERIFY(shown.size() < item.caption->size());
    QVERIFY(item.caption->startsWith(shown.chopped(1)));
    const double scale = caption->fontSize() / CaptionFont::referencePixelSize;
    QVERIFY(QFontMetricsF(caption->font()).horizontalAdvance(shown) * scale <= caption->frame().width());

    // Grown to a large print, the whole text fits again.
    item.size = QSizeF(900, 700);
    CollageModel model;
    model.add(item);
    m_view->setModel(model);
    m_view->applyModelToLayers(false);
    QCOMPARE(caption->displayedText(), *item.caption);
}

void TestPrintItems::captionStaysOnOneLine()
{
    PhotoItem item = ModelFactory::item(QUuid::createUuid(), 0, {300, 300}, {400, 300});
    item.caption = QStringLiteral("June 2020\nParis");
    CaptionItem *caption = show(item)->caption();
    QCOMPARE(caption->text(), QStringLiteral("June 2020 Paris"));
}

void TestPrintItems::captionFontChoice()
{
    QFont system(QStringLiteral("DejaVu Sans"));
    QCOMPARE(CaptionFont::choose(true, true, system).family(), QStringLiteral("Bradley Hand"));
    QCOMPARE(CaptionFont::choose(false, true, system).family(), QStringLiteral("Dancing Script"));
    const QFont fallback = CaptionFont::choose(false, false, system);
    QCOMPARE(fallback.family(), QStringLiteral("DejaVu Sans"));
    QCOMPARE(fallback.weight(), QFont::Medium);
    // This machine has the handwriting fallback installed; the canvas uses it.
    if (QFontDatabase::hasFamily(CaptionFont::handwritingFallback)
        && !QFontDatabase::hasFamily(CaptionFont::preferredFamily))
        QCOMPARE(CaptionFont::font().family(), CaptionFont::handwritingFallback);
}

void TestPrintItems::screenOriginShiftsTheContentLayer()
{
    m_view->setScreenOrigin(QPointF(1440, 100));
    PrintItem *frame = show(ModelFactory::item(QUuid::createUuid(), 0, {1940, 500}, {200, 150}));
    // Collage (1940, 500) is view (500, 400) up from the bottom: scene (500, 500).
    QVERIFY(near(frame->mapToScene(QPointF(107.5, 87.75)), QPointF(500, 500)));
    QCOMPARE(m_view->collagePoint(QPointF(500, 500)), QPointF(1940, 500));
}

QTEST_MAIN(TestPrintItems)
#include "tst_printitems.moc"
