#include "app/import/PhotoImport.h"

#include "app/import/Placement.h"
#include "core/ImageImporter.h"
#include "core/Log.h"

#include <QFileInfo>
#include <QRandomGenerator>
#include <QScopeGuard>

PhotoImport::PhotoImport(MetadataReader metadata, QObject *parent) : QObject(parent), m_metadata(std::move(metadata))
{
    // One at a time: two batches into one folder would race for the same free names.
    m_worker.setMaxThreadCount(1);
    m_worker.setObjectName(QStringLiteral("import"));
}

PhotoImport::~PhotoImport()
{
    m_worker.waitForDone();
}

void PhotoImport::run(const Batch &batch, std::function<void(const Result &)> done, Progress progress)
{
    ++m_running;
    const quint32 seed = QRandomGenerator::global()->generate();
    // The destructor waits for the pool, so the job never outlives this object, and Qt drops
    // an answer still queued for it when it goes.
    m_worker.start([this, batch, done = std::move(done), progress = std::move(progress), seed] {
        // Normal priority: the user is waiting for these photos, unlike for decoding ahead.
        QRandomGenerator random(seed);
        const int total = int(batch.files.size());
        const Result result = importBatch(batch, m_metadata, random, [&](int filesDone) {
            if (progress)
                QMetaObject::invokeMethod(this, [progress, filesDone, total] { progress(filesDone, total); },
                                          Qt::QueuedConnection);
        });
        QMetaObject::invokeMethod(this, [this, result, done] {
            --m_running;
            if (done)
                done(result);
        }, Qt::QueuedConnection);
    });
}

PhotoImport::Result PhotoImport::importBatch(const Batch &batch, const MetadataReader &metadata, QRandomGenerator &random,
                                             const std::function<void(int)> &fileDone)
{
    Result result;
    result.collageName = batch.collageName;
    QList<QRectF> occupied = batch.occupied;
    const ImageImporter importer(batch.collageDir);
    int done = 0;
    for (const QString &file : batch.files) {
        const auto reportFile = qScopeGuard([&] {
            if (fileDone)
                fileDone(++done);
        });
        const QString name = QFileInfo(file).fileName();
        const ImageMetadata properties = metadata ? metadata(file) : ImageMetadata();
        const QSizeF size = Placement::defaultSize(properties);
        const QSizeF frame = Placement::outerFrame(size, {}).size();
        const QPointF centre = Placement::randomPlacement(frame, batch.screenSize, occupied, random);
        Expected<PhotoItem> imported = importer.importImage(file, centre, size);
        if (!imported) {
            const QString why = ImageImporter::isUnsupportedType(imported.error()) ? QStringLiteral("unsupported file type")
                                                                                   : imported.error().message;
            Log::importing().error(QStringLiteral("skipped %1: %2").arg(name, why));
            continue;
        }
        PhotoItem item = std::move(imported).value();
        item.rotation = Placement::uniform(random, -maxTilt, maxTilt);
        item.caption = Placement::photoDateText(properties);
        occupied.append(Placement::outerFrame(size, centre));
        Log::importing().info(QStringLiteral("added %1 as %2").arg(name, item.imageFileName));
        if (batch.lookUpPlaces) {
            if (const std::optional<GeoCoordinate> where = properties.coordinate())
                result.places.append({item.id, where->latitude, where->longitude, item.caption});
        }
        result.items.append(std::move(item));
    }
    return result;
}

QList<QRectF> PhotoImport::occupiedBy(const CollageModel &model)
{
    QList<QRectF> frames;
    for (const PhotoItem &item : model.items())
        frames.append(Placement::outerFrame(item.size, item.center));
    return frames;
}

CollageModel PhotoImport::withPhotos(CollageModel model, const QList<PhotoItem> &items)
{
    for (const PhotoItem &item : items)
        model.add(item);
    return model;
}
