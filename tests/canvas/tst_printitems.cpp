#include "app/canvas/CaptionFont.h"
#include "app/canvas/CaptionItem.h"
#include "app/canvas/CollageView.h"
#include "app/canvas/PinItem.h"
#include "app/canvas/PrintGeometry.h"
#include "app/canvas/PrintItem.h"
#include "app/canvas/PrintPhotoItem.h"
#include "canvas/support/CanvasFixture.h"
#include "core/PhotoFrame.h"
#include "support/ModelFactory.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QTest>

using CanvasFixture::near;

// The items of one print on a real canvas, against the measures of a framed print.
class TestPrintItems : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { CanvasFixture::installFakePlatform(); }
    void init() { m_view = CanvasFixture::makeView(); }
    void cleanup() { m_view.reset(); }

    void printsSitOnTheCollageWithYUpAndFlipOnlyTheirPhoto()
    {
        m_view->setScreenOrigin(QPointF(1440, 100));
        PhotoItem item = ModelFactory::item(QUuid::createUuid(), 0, {1940, 500}, {200, 150});
        PrintItem *print = show(item);
        // Collage (1940, 500) is 400 up from the bottom of the 900-high view: scene (500, 500).
        QVERIFY(near(print->mapToScene(QPointF(0, 0)), QPointF(392.5, 587.75)));
        QCOMPARE(m_view->collagePoint(QPointF(500, 500)), QPointF(1940, 500));
        // The pin near the top edge on screen, the caption strip at the bottom.
        QVERIFY(near(print->pin()->mapToScene(QPointF(9, 9)), QPointF(500, 424.25)));
        QCOMPARE(print->caption()->frame(), PrintGeometry::captionLayout(item.size).frame);
        QVERIFY(print->caption()->mapToScene(print->caption()->boundingRect().center()).y() > 500 + 60);

        // Turned counter-clockwise, the top edge's middle moves left of the centre.
        item.rotation = 0.3;
        print = show(item);
        const QPointF topMid = print->mapToScene(QPointF(107.5, 175.5));
        QVERIFY(topMid.x() < 500 - 20);
        QVERIFY(near(m_view->coords().toCollage(topMid), m_view->topMidWorld(item)));

        // Flips mirror the photo about its centre, and only the photo: its left edge lands where
        // the right edge was, and the pin stays.
        item.flipH = true;
        print = show(item);
        PrintPhotoItem *photo = print->photo();
        QVERIFY(near(photo->mapToParent(QPointF(0, 10)), QPointF(207.5, 28)));
        QCOMPARE(print->pin()->center(), QPointF(107.5, 163.5));
        item.flipH = false;
        item.flipV = true;
        m_view->setModel(CollageModel({item}));
        m_view->applyModelToLayers(false);
        QVERIFY(near(photo->mapToParent(QPointF(0, 0)), QPointF(7.5, 168)));
    }

    void pinColourFollowsTheFirstIdByte()
    {
        const auto pin = [this](int firstByte) {
            return show(ModelFactory::item(ModelFactory::uuidWithFirstByte(firstByte)))->pin()->color();
        };
        QCOMPARE(pin(0x00), QColor::fromRgbF(0.9f, 0.24f, 0.24f)); // red
        QCOMPARE(pin(0x05), QColor::fromRgbF(0.2f, 0.52f, 0.9f)); // blue
        QCOMPARE(pin(0x06), QColor::fromRgbF(0.96f, 0.76f, 0.2f)); // yellow
        QCOMPARE(pin(0xFF), QColor::fromRgbF(0.3f, 0.72f, 0.42f)); // green
    }


    void captionsStayOnOneLineInTheirFont()
    {
        PhotoItem item = ModelFactory::item(QUuid::createUuid(), 0, {300, 300}, {200, 150});
        QCOMPARE(show(item)->caption()->text(), QString());
        item.caption = QStringLiteral("June 2020\nParis");
        QCOMPARE(show(item)->caption()->text(), QStringLiteral("June 2020 Paris"));

        item.caption = QStringLiteral("July 2019 · Lisbon, a very long place name that will never fit on a small print");
        CaptionItem *caption = show(item)->caption();
        const QString shown = caption->displayedText();
        QVERIFY(shown.endsWith(QChar(0x2026)));
        QVERIFY(item.caption->startsWith(shown.chopped(1)));
        const double scale = caption->fontSize() / CaptionFont::referencePixelSize;
        QVERIFY(QFontMetricsF(caption->font()).horizontalAdvance(shown) * scale <= caption->frame().width());
        // Grown to a large print, the whole text fits again.
        item.size = QSizeF(900, 700);
        m_view->setModel(CollageModel({item}));
        m_view->applyModelToLayers(false);
        QCOMPARE(caption->displayedText(), *item.caption);
        // The fallback handwriting face when the preferred one is missing, else the system font, heavier.
        const QFont system(QStringLiteral("DejaVu Sans"));
        QCOMPARE(CaptionFont::choose(false, true, system).family(), QStringLiteral("Dancing Script"));
        QCOMPARE(CaptionFont::choose(false, false, system).weight(), QFont::Medium);
    }

private:
    PrintItem *show(const PhotoItem &item)
    {
        CanvasFixture::show(*m_view, CollageModel({item}));
        return m_view->layersByID().value(item.id);
    }

    std::unique_ptr<CollageView> m_view;
};

QTEST_MAIN(TestPrintItems)
#include "tst_printitems.moc"
