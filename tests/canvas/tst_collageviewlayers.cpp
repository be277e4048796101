#include "app/canvas/CaptionItem.h"
#include "app/canvas/CollageView.h"
#include "app/canvas/HandleItem.h"
#include "app/canvas/PrintItem.h"
#include "app/canvas/PrintPhotoItem.h"
#include "canvas/support/CanvasFixture.h"
#include "platform/fake/FakeImageDecoder.h"
#include "platform/fake/FakePlatform.h"
#include "support/ModelFactory.h"

#include <QDir>
#include <QElapsedTimer>
#include <QPointer>
#include <QFile>
#include <QSignalSpy>
#include <QTest>
#include <QThreadPool>

using Content = PrintPhotoItem::Content;

// How CollageView follows its model: when prints are rebuilt, when only synced, and when
// their photos are decoded.
class TestCollageViewLayers : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { m_platform = &CanvasFixture::installFakePlatform(); }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_view = CanvasFixture::makeView();
        m_view->setImageBaseDir(m_dir->path());
        m_decodesBefore = m_platform->fakes().images->decodeCount();
    }

    void cleanup()
    {
        m_view.reset();
        // Decodes still running for this test must not count in the next one's.
        PhotoDecoder::pool()->waitForDone();
        m_dir.reset();
    }

    void rebuildStacksPrintsInDrawOrder()
    {
        CollageModel model;
        const QUuid a = model.add(ModelFactory::item(addImage("a.jpg", {400, 300}), {200, 200}, {200, 150}));
        const QUuid b = model.add(ModelFactory::item(addImage("b.jpg", {400, 300}), {300, 250}, {200, 150}));
        const QUuid c = model.add(ModelFactory::item(addImage("c.jpg", {400, 300}), {400, 300}, {200, 150}));
        model.sendToBack(c);
        // A second item with a's id (a damaged file) gets no print of its own.
        show(CollageModel(model.items() + QList<PhotoItem>{*model[a]}));
        m_view->rebuild();
        const QList<QUuid> expected{c, a, b};
        QCOMPARE(m_view->stacking(), expected);
        QList<QUuid> children;
        for (QGraphicsItem *child : m_view->contentLayer()->childItems())
            if (child->type() == PrintItem::Type)
                children.append(static_cast<PrintItem *>(child)->id());
        QCOMPARE(children, expected);
        for (const QUuid &id : expected)
            QVERIFY(m_view->contentByID().contains(id) && m_view->pinByID().contains(id) && m_view->captionByID().contains(id));
    }

    void applyRebuildsOnlyForNewRemovedOrRestackedPrints()
    {
        CollageModel model;
        const QUuid a = model.add(ModelFactory::item(QUuid::createUuid(), 0, {200, 200}));
        const QUuid b = model.add(ModelFactory::item(QUuid::createUuid(), 0, {500, 300}));
        show(model);
        // A guarded pointer tells a kept print from a new one at a recycled address.
        QPointer<PrintItem> printA = m_view->layersByID().value(a);

        // Geometry, caption and flips: the same prints, updated in place.
        model.move(a, {250, 260});
        model.update(b, [](PhotoItem &item) {
            item.size = QSizeF(300, 200);
            item.rotation = 0.4;
            item.caption = QStringLiteral("August 2023");
            item.flipH = true;
        });
        apply(model);
        QVERIFY(printA);
        QCOMPARE(m_view->layersByID().value(a), printA.data());
        QCOMPARE(printA->pose().center, QPointF(250, 260));
        QCOMPARE(m_view->captionByID().value(b)->text(), QStringLiteral("August 2023"));

        // zIndex values that change without changing the order are no restacking.
        model.update(b, [](PhotoItem &item) { item.zIndex = 40; });
        apply(model);
        QVERIFY(printA);

        // A new id, a removed one, or the same set in another order: rebuilt.
        const auto rebuilt = [&](const CollageModel &next) {
            apply(next);
            const bool gone = !printA;
            printA = m_view->layersByID().value(a);
            return gone;
        };
        CollageModel grown = model;
        const QUuid c = grown.add(ModelFactory::item(QUuid::createUuid(), 0, {700, 400}));
        QVERIFY(rebuilt(grown));
        QCOMPARE(m_view->layersByID().size(), 3);
        grown.remove(c);
        QVERIFY(rebuilt(grown));
        QCOMPARE(m_view->layersByID().size(), 2);
        grown.bringToFront(a);
        QVERIFY(rebuilt(grown));
        QCOMPARE(m_view->stacking(), (QList<QUuid>{b, a}));
    }

    void decodesOnceAtTheSizeThePrintNeeds()
    {
        QCOMPARE(m_view->devicePixelRatioF(), 1.0);
        CollageModel model;
        const QUuid id = model.add(ModelFactory::item(addImage("big.jpg", {4000, 3000}), {500, 400}, {400, 300}));
        QVERIFY(showAndWait(model));
        QCOMPARE(decodes(), 1);
        // 400 x 300 points with a quarter's headroom, not 4096 pixels.
        QCOMPARE(m_view->contentByID().value(id)->image().size(), QSize(500, 375));
        QCOMPARE(m_view->decodedImageBytes(), qint64(500 * 375 * 4));

        // Moves, turns, flips, captions and growing within the headroom never decode again.
        model.move(id, {600, 500});
        apply(model, true);
        model.update(id, [](PhotoItem &item) {
            item.rotation = -0.7;
            item.flipV = true;
            item.caption = QStringLiteral("Somewhere");
            item.size = QSizeF(480, 360);
        });
        apply(model, false);
        for (int step = 0; step < 20; ++step) {
            model.move(id, {600 + step * 3.0, 500 - step * 2.0});
            m_view->setModel(model);
            m_view->syncLayer(id, false);
        }
        QVERIFY(CanvasFixture::waitForImages(*m_view));
        QCOMPARE(decodes(), 1);
        QCOMPARE(m_view->decodeCount(), quint64(1));
        QCOMPARE(content(id), Content::image);

        // Growing past the headroom fetches a sharper image; shrinking never decodes.
        model.update(id, [](PhotoItem &item) { item.size = QSizeF(800, 600); });
        apply(model);
        QCOMPARE(m_view->pendingDecodes(), 1);
        QVERIFY(CanvasFixture::waitForImages(*m_view));
        QCOMPARE(m_view->contentByID().value(id)->image().size(), QSize(1000, 750));
        model.update(id, [](PhotoItem &item) { item.size = QSizeF(100, 75); });
        apply(model);
        QCOMPARE(m_view->pendingDecodes(), 0);

        // A new crop is decoded once.
        model.update(id, [](PhotoItem &item) { item.size = QSizeF(200, 150); });
        const QRectF crop(0.5, 0, 0.5, 1);
        model.update(id, [&](PhotoItem &item) { item.cropRect = crop; });
        apply(model);
        QCOMPARE(m_view->croppedByID().value(id), crop);
        QVERIFY(CanvasFixture::waitForImages(*m_view));
        QCOMPARE(decodes(), 3);
        // The right half of a 4:3 picture (2:3), decoded finely enough to fill 200 x 150.
        QCOMPARE(m_view->contentByID().value(id)->image().size(), QSize(250, 375));

        // The same crop again, and nothing else: no decode.
        apply(model);
        QVERIFY(CanvasFixture::waitForImages(*m_view));
        QCOMPARE(decodes(), 3);
    }

    void copiesOfAShownPhotoNeedNoDecode()
    {
        CollageModel model;
        PhotoItem original = ModelFactory::item(addImage("copy.jpg", {800, 600}), {300, 300}, {200, 150});
        original.cropRect = QRectF(0.25, 0, 0.5, 1);
        model.add(original);
        QVERIFY(showAndWait(model));
        QCOMPARE(decodes(), 1);

        // A duplicate, and after deleting the original, its undo: the photo shows at once.
        const auto copyOf = [](PhotoItem item, auto change) {
            item.id = QUuid::createUuid();
            change(item);
            return item;
        };
        const PhotoItem copy = copyOf(original, [](PhotoItem &item) { item.center += QPointF(24, -24); });
        model.add(copy);
        apply(model); // a new id: rebuilt, and the shown print keeps its image
        QVERIFY(content(original.id) == Content::image && content(copy.id) == Content::image);
        model.remove(original.id);
        apply(model);
        model.add(original);
        apply(model);
        QCOMPARE(content(original.id), Content::image);
        QCOMPARE(m_view->pendingDecodes(), 0);

        // Another crop of the same file is another picture, and so is a larger print.
        model.add(copyOf(copy, [](PhotoItem &item) { item.cropRect = PhotoItem::fullCrop(); }));
        model.add(copyOf(copy, [](PhotoItem &item) { item.size = QSizeF(800, 600); }));
        apply(model);
        QVERIFY(CanvasFixture::waitForImages(*m_view));
        QCOMPARE(decodes(), 3);
    }

    void animatedSyncEasesOverFourTenthsOfASecond()
    {
        CollageModel model;
        const QUuid id = model.add(ModelFactory::item(QUuid::createUuid(), 0, {100, 100}));
        m_view->setSelectedID(id);
        show(model);
        PrintItem *print = m_view->layersByID().value(id);

        model.move(id, {500, 100});
        QElapsedTimer clock;
        clock.start();
        apply(model, true);
        QVERIFY(print->isAnimating());
        QCOMPARE(print->pose().center, QPointF(100, 100));
        QCOMPARE(print->targetPose().center, QPointF(500, 100));
        // The chrome goes straight to where the print is heading.
        QCOMPARE(m_view->cornerHandles()[0]->pos().x(), 500 - 107.5 - 5.5);
        QVERIFY(QTest::qWaitFor([&] { return !print->isAnimating(); }, 2000));
        QVERIFY(clock.elapsed() >= 380);
        QCOMPARE(print->pose().center, QPointF(500, 100));

        // Without animation the print is there at once.
        model.move(id, {50, 60});
        apply(model, false);
        QCOMPARE(print->pose().center, QPointF(50, 60));
        QVERIFY(!print->isAnimating());

        // An id without a print, or a print whose item is gone, is left alone.
        m_view->syncLayer(QUuid::createUuid(), true);
        m_view->setModel(CollageModel());
        m_view->syncLayer(id, false);
        QCOMPARE(print->pose().center, QPointF(50, 60));
    }

    void placeholderUntilTheImageArrivesOrWhenThereIsNone()
    {
        const QString onDisk = CanvasFixture::writeImage(*m_dir, QStringLiteral("onDisk.jpg"), CanvasFixture::testImage({400, 300}));
        CollageModel model;
        const QUuid id = model.add(ModelFactory::item(QStringLiteral("gone.jpg"), {300, 300}, {200, 150}));
        const QUuid slow = model.add(ModelFactory::item(addImage("slow.jpg", {640, 480}), {600, 300}, {200, 150}));
        const QUuid disk = model.add(ModelFactory::item(onDisk, {900, 300}, {200, 150}));
        m_view->setModel(model);
        QSignalSpy settled(m_view.get(), &CollageView::imageSettled);
        m_view->rebuild();
        // Decoding happens elsewhere: right after the rebuild the print shows its placeholder.
        QCOMPARE(content(slow), Content::placeholder);
        QVERIFY(CanvasFixture::waitForImages(*m_view));
        QCOMPARE(settled.count(), 3); // one answer each, the failed one too
        QCOMPARE((QList<Content>{content(slow), content(disk), content(id)}),
                 (QList<Content>{Content::image, Content::image, Content::placeholder}));

        // A photo gone after it was shown: its new crop leaves the card blank.
        QVERIFY(QFile::remove(m_dir->filePath(onDisk)));
        model.update(disk, [](PhotoItem &item) { item.cropRect = QRectF(0, 0, 0.5, 0.5); });
        apply(model);
        QVERIFY(CanvasFixture::waitForImages(*m_view));
        QCOMPARE(content(disk), Content::none);
        QCOMPARE(m_view->croppedByID().value(disk), QRectF(0, 0, 0.5, 0.5));

        model.update(id, [](PhotoItem &item) { item.imageFileName = QStringLiteral("slow.jpg"); });
        m_view->setModel(model);
        m_view->setImageBaseDir(std::nullopt);
        const quint64 before = m_view->decodeCount();
        m_view->rebuild();
        QCOMPARE(m_view->decodeCount(), before);
        QCOMPARE(content(id), Content::placeholder);
    }

    void unsafeFileNamesAreNeverOpened_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("empty") << QString();
        QTest::newRow("parent") << QStringLiteral("../outside.jpg");
        QTest::newRow("absolute") << QStringLiteral("/tmp/outside.jpg");
    }

    void unsafeFileNamesAreNeverOpened()
    {
        QFETCH(QString, name);
        // A real picture right outside the collage folder, where "../outside.jpg" would lead.
        const QString inner = m_dir->filePath(QStringLiteral("collage"));
        QVERIFY(QDir().mkpath(inner));
        QVERIFY(CanvasFixture::testImage({64, 48}).save(m_dir->filePath(QStringLiteral("outside.jpg"))));
        m_view->setImageBaseDir(inner);

        CollageModel model;
        const QUuid id = model.add(ModelFactory::item(name, {300, 300}, {200, 150}));
        QVERIFY(showAndWait(model));
        QCOMPARE(decodes(), 0);
        QCOMPARE(content(id), Content::placeholder);
    }


    void staleResultsAreDroppedAndNeverFindAGoneView()
    {
        CollageModel model;
        const QUuid id = model.add(ModelFactory::item(addImage("stale.jpg", {800, 400}), {300, 300}, {200, 100}));
        show(model);
        // Re-cropped before the first answer can arrive: only the second one may be shown.
        model.update(id, [](PhotoItem &item) { item.cropRect = QRectF(0, 0, 0.25, 1); });
        apply(model);
        QSignalSpy settled(m_view.get(), &CollageView::imageSettled);
        QVERIFY(CanvasFixture::waitForImages(*m_view));
        QCOMPARE(settled.count(), 1);
        const QImage shown = m_view->contentByID().value(id)->image();
        QVERIFY(shown.height() > shown.width()); // a quarter of a 2:1 image is 1:2

        // Removed before its answer: nothing is shown anywhere, nothing breaks.
        show(CollageModel({ModelFactory::item(addImage("other.jpg", {100, 100}), {300, 300}, {100, 100})}));
        show(CollageModel());
        settled.clear();
        QVERIFY(CanvasFixture::waitForImages(*m_view));
        QCOMPARE(settled.count(), 0);
        QVERIFY(m_view->contentByID().isEmpty());

        // The view destroyed with decodes in flight: their answers must find nobody and harm nothing.
        CollageModel many;
        for (int i = 0; i < 6; ++i)
            many.add(ModelFactory::item(addImage(QStringLiteral("bye%1.jpg").arg(i), {1600, 1200}), {100.0 + i * 50, 300}, {200, 150}));
        show(many);
        QVERIFY(m_view->pendingDecodes() > 0);
        m_view.reset();
        QTest::qWait(300);
        m_view = CanvasFixture::makeView();
    }

    void editingKeepsMovingPrintsAsPixels()
    {
        CollageModel model;
        const QUuid id = model.add(ModelFactory::item(addImage("pixels.jpg", {800, 600}), {400, 300}, {200, 150}, 0.2));
        m_view->setEditing(true);
        QVERIFY(showAndWait(model));
        PrintItem *print = m_view->layersByID().value(id);
        const auto paint = [&](int times = 1) {
            for (int i = 0; i < times; ++i)
                m_view->viewport()->repaint();
        };
        QVERIFY(print->isRasterCached());
        paint(2);
        QCOMPARE(print->raster().renders(), 1);
        // Whole-point moves copy the pixels.
        for (int step = 1; step <= 5; ++step) {
            model.move(id, {400.0 + 3 * step, 300.0 - 2 * step});
            m_view->setModel(model);
            m_view->syncLayer(id, false);
            paint();
        }
        QCOMPARE(print->raster().renders(), 1);
        // A new caption is new content; a turn is drawn directly until it settles.
        model.update(id, [](PhotoItem &item) { item.caption = QStringLiteral("New caption"); });
        apply(model);
        paint(2);
        QCOMPARE(print->raster().renders(), 2);
        model.update(id, [](PhotoItem &item) { item.rotation = 0.3; });
        apply(model);
        paint();
        QVERIFY(print->raster().isEmpty());

        // At rest on the desktop nothing is kept.
        m_view->setEditing(false);
        QVERIFY(!print->isRasterCached());
        paint(2);
        QVERIFY(print->raster().isEmpty());
    }

    void aCrowdOfNewPrintsComesOnOverAFewFrames()
    {
        const auto visible = [this] {
            QList<QUuid> ids;
            for (const QUuid &id : m_view->stacking())
                if (m_view->layersByID().value(id)->isVisible())
                    ids.append(id);
            return ids;
        };
        CollageModel model;
        for (int i = 0; i < 24; ++i)
            model.add(ModelFactory::item(QUuid::createUuid(), 0, {60.0 + 50 * i, 300.0 + 10 * (i % 5)}));
        show(model);
        // The bottom of the pile first; the rest waits, hidden, for the frames that follow.
        const QList<QUuid> first = visible();
        QVERIFY(!first.isEmpty());
        QCOMPARE(first, m_view->stacking().first(first.size()));
        QCOMPARE(m_view->pendingReveals(), 24 - first.size());
        QVERIFY(CanvasFixture::waitForImages(*m_view));
        QCOMPARE(visible(), m_view->stacking());

        // Prints already on screen never go away for a frame: restacking shows them all at once,
        // and a newcomer is shown among them.
        model.bringToFront(model.drawOrder().first().id);
        model.add(ModelFactory::item(QUuid::createUuid(), 0, {700, 500}));
        apply(model);
        QCOMPARE(visible(), m_view->stacking());
        QCOMPARE(m_view->pendingReveals(), 0);

        // A canvas not on screen has no frames to wait for.
        CollageView hidden;
        CanvasFixture::show(hidden, model);
        QCOMPARE(hidden.pendingReveals(), 0);
        for (PrintItem *print : hidden.layersByID())
            QVERIFY(print->isVisible());
    }

private:
    QString addImage(const QString &name, QSize size, QColor tint = QColor(70, 130, 200))
    {
        m_platform->fakes().images->addImage(QDir(m_dir->path()).filePath(name), CanvasFixture::testImage(size, tint));
        return name;
    }

    void show(const CollageModel &model) { CanvasFixture::show(*m_view, model); }
    bool showAndWait(const CollageModel &model)
    {
        show(model);
        return CanvasFixture::waitForImages(*m_view);
    }
    void apply(const CollageModel &model, bool animated = false)
    {
        m_view->setModel(model);
        m_view->applyModelToLayers(animated);
    }

    Content content(const QUuid &id) const { return m_view->contentByID().value(id)->content(); }
    // Decodes since the test began.
    int decodes() const { return m_platform->fakes().images->decodeCount() - m_decodesBefore; }

    FakePlatform *m_platform = nullptr;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<CollageView> m_view;
    int m_decodesBefore = 0;
};

QTEST_MAIN(TestCollageViewLayers)
#include "tst_collageviewlayers.moc"
