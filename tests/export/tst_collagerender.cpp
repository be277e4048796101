#include "app/export/CollagePictures.h"
#include "app/export/CollageRenderer.h"
#include "platform/fake/FakeImageDecoder.h"
#include "platform/fake/FakePlatform.h"
#include "support/Sandbox.h"

#include <QFile>
#include <QPainter>
#include <QTest>

#include <cmath>

class TestCollageRender : public QObject {
    Q_OBJECT
private:
    FakePlatform *m_platform = nullptr;
    const QString m_dir = QStringLiteral("/photos");

    // A photo whose left half is red and right half blue, registered as /photos/<name>.
    void addPhoto(const QString &name, QSize size = QSize(200, 150))
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::red);
        QPainter(&image).fillRect(size.width() / 2, 0, size.width() - size.width() / 2, size.height(), Qt::blue);
        m_platform->fakes().images->addImage(m_dir + u'/' + name, image);
    }
    static PhotoItem print(const QString &file, QPointF center, double rotation = 0, QSizeF size = QSizeF(200, 150))
    {
        return PhotoItem(QUuid::createUuid(), file, center, size, rotation, PhotoItem::fullCrop(), 0);
    }
    CollageRenderer::Request request(const QList<PhotoItem> &items, QSizeF canvas = QSizeF(400, 300), double scale = 1)
    {
        return {CollageModel(items), canvas, {}, scale, m_dir, {}, {}};
    }
    // The picture's pixel at a collage point (y up).
    static QColor at(const QImage &image, QPointF point)
    {
        return image.pixelColor(int(point.x()), image.height() - 1 - int(point.y()));
    }
    static bool near(const QColor &c, Qt::GlobalColor expected)
    {
        const QColor e(expected);
        return c.alpha() == 255 && std::abs(c.red() - e.red()) < 40 && std::abs(c.green() - e.green()) < 40
            && std::abs(c.blue() - e.blue()) < 40;
    }

private Q_SLOTS:
    void init()
    {
        auto platform = std::make_unique<FakePlatform>();
        m_platform = platform.get();
        Platform::install(std::move(platform));
    }

    // Truncated to whole pixels; under a pixel there is no picture at all.
    void pixelSizesAndProposedFileNames()
    {
        const std::tuple<QSizeF, double, QSize> rows[] = {{{1440, 900}, 2.0, {2880, 1800}},
            {{1600, 1000}, 0.15, {240, 150}}, {{1600, 1000}, 0.04, {64, 40}}, {{1600, 1000}, 0.0005, {0, 0}}};
        for (const auto &[canvas, scale, pixels] : rows) {
            const QImage image = CollageRenderer::render(request({}, canvas, scale));
            QCOMPARE(image.size(), pixels);
            QCOMPARE(CollageRenderer::renderPNG(request({}, canvas, scale)).has_value(), !pixels.isEmpty());
            // Nothing covers an empty collage: every pixel stays transparent.
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    QCOMPARE(qAlpha(image.pixel(x, y)), 0);
        }

        const std::pair<QString, QString> names[] = {
            {"Trip: Rome ", "Trip: Rome .png"}, {"a/b", "a-b.png"}, {"  ", "Collage.png"}, {"..", "Collage.png"}};
        for (const auto &[collage, file] : names)
            QCOMPARE(CollagePictures::proposedFileName(collage), file);
    }

    // A flip mirrors the photo only: the pin and the caption strip stay as they were.
    void aPrintsFrameAndPhotoFlipsAndShadow()
    {
        addPhoto(QStringLiteral("a.jpg"));
        // Card 215 × 175.5 centred on (200, 150): from (92.5, 62.25) to (307.5, 237.75).
        PhotoItem item = print(QStringLiteral("a.jpg"), QPointF(200, 150));
        item.caption = QStringLiteral("Rome");
        const QImage image = CollageRenderer::render(request({item}));
        // The photo starts 7.5 in from the left and 18 up from the bottom; the mat is white.
        QVERIFY(near(at(image, QPointF(92.5 + 9, 62.25 + 20)), Qt::red));
        QVERIFY(near(at(image, QPointF(92.5 + 4, 62.25 + 20)), Qt::white));
        QVERIFY(near(at(image, QPointF(92.5 + 9, 62.25 + 15)), Qt::white));
        QVERIFY(near(at(image, QPointF(307.5 - 9, 200)), Qt::blue));
        // Outside the card and its shadow: transparent.
        QCOMPARE(at(image, QPointF(60, 150)).alpha(), 0);
        // The pin, 12 below the top edge, in the print's own colour.
        const QColor pin = at(image, QPointF(200 - 4, 237.75 - 12 - 4));
        QVERIFY(pin.alpha() == 255 && pin != QColor(Qt::white));
        item.flipH = true;
        const QImage flipped = CollageRenderer::render(request({item}));
        QVERIFY(near(at(flipped, QPointF(92.5 + 9, 100)), Qt::blue));
        QVERIFY(near(at(flipped, QPointF(307.5 - 9, 100)), Qt::red));
        for (const QRect &area : {QRect(194, 68, 12, 8), QRect(100, 300 - 80, 200, 18)})
            QCOMPARE(flipped.copy(area), image.copy(area));

        // The shadow falls straight down whatever the rotation.
        for (double rotation : {0.0, 3.0}) {
            const PhotoItem card = print(QStringLiteral("missing.jpg"), QPointF(200, 150), rotation, QSizeF(100, 100));
            const QImage drawn = CollageRenderer::render(request({card}));
            // Just beyond the card's top and bottom edges, found from its centre.
            int topEdge = 0, bottomEdge = 0;
            for (int y = 300 - 150; y >= 0 && at(drawn, QPointF(200, 300 - y)).alpha() == 255; --y)
                topEdge = y;
            for (int y = 300 - 150; y < 300 && at(drawn, QPointF(200, 300 - y)).alpha() == 255; ++y)
                bottomEdge = y;
            const int above = at(drawn, QPointF(200, 300 - (topEdge - 3))).alpha();
            const int below = at(drawn, QPointF(200, 300 - (bottomEdge + 3))).alpha();
            QVERIFY2(below > above + 20, qPrintable(QStringLiteral("rotation %1: above %2, below %3")
                                                        .arg(rotation).arg(above).arg(below)));
            // A missing photo leaves the card white.
            QVERIFY(near(at(drawn, QPointF(200, 160)), Qt::white));
        }
    }

    // Photos the canvas has decoded are used as they are; a square background is scaled to the
    // canvas's width, its middle shown.
    void shownPhotosAndBackground()
    {
        const PhotoItem item = print(QStringLiteral("not-on-disk.jpg"), QPointF(200, 100));
        CollageRenderer::Request r = request({item}, QSizeF(400, 200));
        QImage green(20, 15, QImage::Format_RGB32);
        green.fill(Qt::green);
        r.shownPhotos.insert(item.id, green);
        QImage square(100, 100, QImage::Format_RGB32);
        square.fill(Qt::yellow);
        QPainter(&square).fillRect(0, 0, 100, 20, Qt::black);
        r.background = square;
        const QImage image = CollageRenderer::render(r);
        QVERIFY(near(at(image, QPointF(200, 110)), Qt::green));
        QCOMPARE(m_platform->fakes().images->decodeCount(), 0);
        QVERIFY(near(image.pixelColor(0, 0), Qt::yellow));
        QVERIFY(near(image.pixelColor(399, 199), Qt::yellow));
    }

    void writingReplacesTheFileWhole()
    {
        Sandbox sandbox;
        addPhoto(QStringLiteral("a.jpg"));
        CollagePictures pictures;
        const CollageRenderer::Request r = request({print(QStringLiteral("a.jpg"), QPointF(200, 150))});
        const QString target = sandbox.path(QStringLiteral("out.png"));
        QVERIFY(TestFiles::write(target, "old"));

        StderrCapture log;
        QVERIFY(pictures.writePNG(r, target));
        QVERIFY(!pictures.writePNG(r, sandbox.path(QStringLiteral("no/such/folder/out.png"))));
        const QByteArray lines = log.take();
        QVERIFY(lines.contains("[app] INFO: exported image to out.png\n"));
        QVERIFY(lines.contains("[app] ERROR: export failed: "));
        const QImage written(target);
        QCOMPARE(written.size(), QSize(400, 300));
        QVERIFY(near(written.pixelColor(92 + 9, 300 - 83), Qt::red));
        // What was drawn, the soft shadow's part-transparent pixels included.
        const QImage drawn = CollageRenderer::render(r).convertToFormat(QImage::Format_ARGB32);
        for (const QPoint p : {QPoint(200, 150), QPoint(200, 241), QPoint(10, 10), QPoint(300, 100)}) {
            const QRgb a = drawn.pixel(p), b = written.convertToFormat(QImage::Format_ARGB32).pixel(p);
            QVERIFY2(std::abs(qAlpha(a) - qAlpha(b)) <= 1 && std::abs(qRed(a) - qRed(b)) <= 2
                         && std::abs(qGreen(a) - qGreen(b)) <= 2 && std::abs(qBlue(a) - qBlue(b)) <= 2,
                     qPrintable(QStringLiteral("%1,%2: %3 vs %4").arg(p.x()).arg(p.y()).arg(a, 8, 16).arg(b, 8, 16)));
        }
        QVERIFY(qAlpha(drawn.pixel(200, 241)) > 0 && qAlpha(drawn.pixel(200, 241)) < 255);
        QVERIFY(!QFile::exists(sandbox.path(QStringLiteral("no/such/folder/out.png"))));
    }
};

QTEST_MAIN(TestCollageRender)
#include "tst_collagerender.moc"
