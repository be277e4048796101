#pragma once

#include "app/import/PlaceNameQueue.h"
#include "core/CollageModel.h"
#include "platform/images/ImageMetadata.h"

#include <QList>
#include <QObject>
#include <QRectF>
#include <QSizeF>
#include <QStringList>
#include <QThreadPool>

#include <functional>

class QRandomGenerator;

// One batch of photos into one collage: read each file's metadata, give it a size, a free
// spot, a slight tilt and its month-and-year caption, and copy it into the collage's folder.
// The slow part (metadata and copying) runs on one worker thread, batch after batch; the
// caller adds the result to the collage as it is when the batch ends, in one step.
class PhotoImport : public QObject {
    Q_OBJECT
public:
    struct Batch {
        QStringList files; // in the order they were chosen
        QString collageName;
        QString collageDir;
        QSizeF screenSize;
        QList<QRectF> occupied; // outer frames already on the collage
        bool lookUpPlaces = false;
    };
    struct Result {
        QString collageName;
        QList<PhotoItem> items; // in import order
        QList<PlaceNameQueue::Entry> places;
    };
    using MetadataReader = std::function<ImageMetadata(const QString &path)>;

    static constexpr double maxTilt = 0.06;

    explicit PhotoImport(MetadataReader metadata, QObject *parent = nullptr);
    ~PhotoImport() override; // lets a running batch finish; its answer is dropped

    // done runs on the GUI thread once the batch is through, progress after each of its files
    // (files done, files in all); neither runs after this object is gone.
    using Progress = std::function<void(int done, int total)>;
    void run(const Batch &batch, std::function<void(const Result &)> done, Progress progress = {});
    bool isBusy() const { return m_running > 0; }

    // fileDone(n) follows the n-th file of the batch, whether or not it made it.
    static Result importBatch(const Batch &batch, const MetadataReader &metadata, QRandomGenerator &random,
                              const std::function<void(int)> &fileDone = {});
    // The outer frames of a model's photos, for Batch::occupied.
    static QList<QRectF> occupiedBy(const CollageModel &model);
    // The model with the batch's photos on top, in import order.
    static CollageModel withPhotos(CollageModel model, const QList<PhotoItem> &items);

private:
    MetadataReader m_metadata;
    QThreadPool m_worker;
    int m_running = 0;
};
