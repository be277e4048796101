#include "app/import/PhotoImport.h"
#include "platform/fake/FakeGeocoder.h"

#include "support/ModelFactory.h"
#include "support/Sandbox.h"

#include <QRandomGenerator>
#include <QTest>

#include <atomic>

class TestPhotoImport : public QObject {
    Q_OBJECT
private:
    static ImageMetadata metadataOf(const QString &path)
    {
        if (!path.contains(u"portrait"))
            return {};
        return {.pixelSize = QSize(3000, 4000), .orientation = 6, .dateTimeOriginal = "2021:07:04 12:00:00",
                .dateTime = {}, .gpsLatitude = 33.9, .gpsLatitudeRef = "S", .gpsLongitude = 151.2,
                .gpsLongitudeRef = {}};
    }

private Q_SLOTS:
    void batchesInOrderOffTheGuiThreadSkippingWhatCannotBeImported()
    {
        Sandbox sandbox;
        const QString collage = sandbox.path("collage");
        for (const char *name : {"portrait.jpg", "notes.txt", "plain.png"})
            QVERIFY(TestFiles::write(sandbox.path(name), name));
        PhotoImport::Batch batch{{sandbox.path("portrait.jpg"), sandbox.path("notes.txt"), sandbox.path("plain.png"),
                                  sandbox.path("portrait.jpg")},
                                 "Trip", collage, QSizeF(1440, 900), {}, true};
        QRandomGenerator random(1);
        StderrCapture log;
        const PhotoImport::Result result = PhotoImport::importBatch(batch, metadataOf, random);
        const QByteArray lines = log.take();

        QCOMPARE(lines.count("skipped "), 1);
        QVERIFY(lines.contains("skipped notes.txt"));
        QCOMPARE(result.items.size(), 3);
        // The same file twice: two photos with two files, never one overwriting the other.
        QCOMPARE(TestFiles::entries(collage), (QStringList{"plain.png", "portrait-2.jpg", "portrait.jpg"}));
        QCOMPARE(result.items[0].imageFileName, QStringLiteral("portrait.jpg"));
        QCOMPARE(result.items[2].imageFileName, QStringLiteral("portrait-2.jpg"));
        QCOMPARE(result.items[0].size, QSizeF(360, 270));
        QCOMPARE(result.items[0].caption, QStringLiteral("July 2021"));
        QCOMPARE(result.items[1].size, QSizeF(320, 240));
        QVERIFY(!result.items[1].caption);
        for (const PhotoItem &item : result.items)
            QVERIFY(std::abs(item.rotation) <= PhotoImport::maxTilt);
        // Placed apart: the second spot avoids the first frame.
        const QRectF first = PhotoImport::occupiedBy(CollageModel({result.items[0]})).first();
        QVERIFY(!first.intersects(PhotoImport::occupiedBy(CollageModel({result.items[1]})).first()));

        QCOMPARE(result.places.size(), 2);
        QCOMPARE(result.places[0].id, result.items[0].id);
        QCOMPARE(result.places[0].latitude, -33.9);
        QCOMPARE(result.places[0].longitude, 151.2);
        QCOMPARE(result.places[0].date, QStringLiteral("July 2021"));

        // Without place names switched on, nothing is looked up.
        batch.lookUpPlaces = false;
        batch.files = {sandbox.path("portrait.jpg")};
        QVERIFY(PhotoImport::importBatch(batch, metadataOf, random).places.isEmpty());

        // Batches run in turn, off the GUI thread, and report on it.
        QVERIFY(TestFiles::write(sandbox.path("a.jpg"), "a"));
        std::atomic<int> readsOffGui = 0;
        PhotoImport import([&readsOffGui](const QString &) {
            readsOffGui += QThread::currentThread() != qApp->thread();
            return ImageMetadata();
        });
        QStringList order;
        for (const QString &name : {QStringLiteral("first"), QStringLiteral("second")}) {
            import.run({{sandbox.path("a.jpg")}, name, sandbox.path(name), QSizeF(800, 600), {}, false},
                       [&](const PhotoImport::Result &done) {
                           QCOMPARE(QThread::currentThread(), qApp->thread());
                           order.append(done.collageName);
                       });
        }
        QVERIFY(import.isBusy());
        QTRY_COMPARE(order, (QStringList{"first", "second"}));
        QVERIFY(!import.isBusy());
        QCOMPARE(readsOffGui.load(), 2);

        // Photos go on top of the collage as it is when the batch ends.
        const PhotoItem kept = ModelFactory::item(QUuid::createUuid(), 3);
        const CollageModel after = PhotoImport::withPhotos(CollageModel({kept}), {ModelFactory::item()});
        QCOMPARE(after.items().size(), 2);
        QCOMPARE(after.items().first(), kept);
        QVERIFY(after.items().last().zIndex > kept.zIndex);
    }

    void placeNamesAndLookupsOneAtATimeInImportOrder()
    {
        FakeGeocoder geocoder;
        PlaceNameQueue queue(geocoder);
        QStringList captions;
        queue.onCaption = [&](const QUuid &, const QString &caption) {
            // The next request goes out only after this answer was applied.
            QCOMPARE(geocoder.requests.size(), geocoder.answered);
            captions.append(caption);
        };
        queue.enqueue({QUuid::createUuid(), 1, 2, QStringLiteral("July 2021")});
        queue.enqueue({QUuid::createUuid(), 3, 4, std::nullopt});
        queue.enqueue({QUuid::createUuid(), 5, 6, QStringLiteral("May 2020")});
        QCOMPARE(geocoder.requests.size(), 1);
        QCOMPARE(queue.waiting(), 2);

        const Placemark lyon{QStringLiteral("Lyon"), {}, {}, QStringLiteral("France"), {}};
        QVERIFY(geocoder.answerNext(lyon));
        QVERIFY(geocoder.answerNext(lyon));
        QVERIFY(geocoder.answerNext(std::nullopt)); // no place: the caption stays as it is
        QVERIFY(!geocoder.answerNext(lyon));
        QCOMPARE(captions, (QStringList{"Lyon, France  ·  July 2021", "Lyon, France"}));
        QCOMPARE(geocoder.requests[1].latitude, 3.0);
        QCOMPARE(geocoder.requests[2].longitude, 6.0);
        QVERIFY(!queue.isBusy());

        // Fields: locality, sub-area, name, country, area, "-" when absent; an expected "-" is no name.
        const std::pair<QStringList, QString> rows[] = {{{"Lyon", "-", "-", "France", "-"}, "Lyon, France"},
            {{"-", "Somerset", "-", "-", "-"}, "Somerset"}, {{"-", "-", "Big Sur", "-", "Cal."}, "Big Sur, Cal."},
            {{"", "Somerset", "-", "France", "-"}, "France"}, // an empty locality is not replaced
            {{"Lyon", "-", "-", "France", "Rhône"}, "Lyon, France"}, {{"-", "-", "-", "", "-"}, "-"}};
        for (const auto &[fields, expected] : rows) {
            const auto field = [&f = fields](int i) { return f[i] == u"-" ? std::nullopt : std::optional(f[i]); };
            const Placemark place{field(0), field(1), field(2), field(3), field(4)};
            QCOMPARE(PlaceNameQueue::placeName(place).value_or(QStringLiteral("-")), expected);
        }
        QVERIFY(!PlaceNameQueue::placeName(std::nullopt));
    }
};

QTEST_GUILESS_MAIN(TestPhotoImport)
#include "tst_photoimport.moc"
