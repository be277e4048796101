#include "app/gallery/ThumbnailLoader.h"

#include "platform/images/ImageDecoder.h"

#include <QCoreApplication>
#include <QPointer>
#include <QThread>

#include <algorithm>
#include <atomic>

namespace {

// One writer for every loader: encoding and writing a cache file takes longer than decoding
// a small thumbnail, so the decoders never wait for it.
QThreadPool *cacheWriter()
{
    static QPointer<QThreadPool> shared;
    if (!shared) {
        shared = new QThreadPool(QCoreApplication::instance());
        shared->setObjectName(QStringLiteral("thumbnail cache"));
        shared->setMaxThreadCount(1);
    }
    return shared;
}

std::atomic<int> unsaved{0};

} // namespace

ThumbnailLoader::ThumbnailLoader(const ImageDecoder &decoder, ThumbnailCache cache, ThumbnailCache::Flavor flavor,
                                 QObject *parent)
    : QObject(parent), m_decoder(decoder), m_cache(std::move(cache)), m_flavor(flavor)
{
    m_workers.setObjectName(QStringLiteral("thumbnails"));
    m_workers.setMaxThreadCount(std::max(1, QThread::idealThreadCount()));
    m_writer = cacheWriter();
}

ThumbnailLoader::~ThumbnailLoader()
{
    m_queue.clear();
    // Qt drops the answers still queued for this object once it is deleted.
    m_workers.waitForDone();
}

bool ThumbnailLoader::waitForCacheWrites(int milliseconds)
{
    return cacheWriter()->waitForDone(milliseconds);
}

ThumbnailCache::Flavor ThumbnailLoader::flavorFor(qreal devicePixelRatio)
{
    return devicePixelRatio > 1.0 ? ThumbnailCache::Flavor::large : ThumbnailCache::Flavor::normal;
}

void ThumbnailLoader::request(const QString &path)
{
    if (m_busy.contains(path))
        return;
    m_busy.insert(path);
    m_queue.append(path);
    scheduleDispatch();
}

void ThumbnailLoader::scheduleDispatch()
{
    // Later, so that a whole paint pass has asked before anything is weighed and started.
    if (m_dispatchPending)
        return;
    m_dispatchPending = true;
    QMetaObject::invokeMethod(this, &ThumbnailLoader::dispatch, Qt::QueuedConnection);
}

void ThumbnailLoader::dispatch()
{
    m_dispatchPending = false;
    while (m_running < m_workers.maxThreadCount() && !m_queue.isEmpty()) {
        const QString path = m_queue.takeFirst();
        if (m_stillWanted && !m_stillWanted(path)) {
            m_busy.remove(path);
            continue;
        }
        ++m_running;
        // Normal priority: these are the rows the user is looking at, waiting for them.
        m_workers.start([this, path] {
            QImage image = m_cache.load(path, m_flavor);
            const bool cached = !image.isNull();
            if (!cached)
                image = m_decoder.decode(path, ThumbnailCache::pixelSize(m_flavor));
            if (!cached && !image.isNull()) {
                if (unsaved.fetch_add(1) < maxUnsaved) {
                    m_writer->start([cache = m_cache, flavor = m_flavor, path, image] {
                        cache.save(path, flavor, image);
                        unsaved.fetch_sub(1);
                    });
                } else {
                    unsaved.fetch_sub(1);
                }
            }
            QMetaObject::invokeMethod(this, [this, path, image] { finished(path, image); }, Qt::QueuedConnection);
        });
    }
}

void ThumbnailLoader::finished(const QString &path, const QImage &image)
{
    --m_running;
    m_busy.remove(path);
    emit loaded(path, image);
    dispatch();
}
