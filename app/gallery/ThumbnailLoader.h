#pragma once

#include "platform/thumbnails/ThumbnailCache.h"

#include <QImage>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QThreadPool>

#include <functional>

class ImageDecoder;

// Thumbnails of photo files from the desktop's thumbnail cache or, on a miss, decoded on
// worker threads and stored there for next time. Requests wait in a queue on the GUI thread
// and start only as workers free up, so the ones a caller no longer wants (rows scrolled
// away) are skipped instead of decoded.
class ThumbnailLoader : public QObject {
    Q_OBJECT
public:
    ThumbnailLoader(const ImageDecoder &decoder, ThumbnailCache cache, ThumbnailCache::Flavor flavor,
                    QObject *parent = nullptr);
    ~ThumbnailLoader() override; // drops the queue and waits for running jobs; nothing is delivered after

    // Asked for each waiting request just before it would start; false drops it quietly (a
    // later request of the same file queues it again).
    void setStillWanted(std::function<bool(const QString &path)> wanted) { m_stillWanted = std::move(wanted); }

    // Once per file while it is waiting or being made; repeated requests are ignored.
    void request(const QString &path);
    qsizetype queued() const { return m_queue.size(); }
    qsizetype running() const { return m_running; }

    // Thumbnails waiting to be written, for all loaders; past this many, new ones are shown
    // but not stored (the next visit makes them again).
    static constexpr int maxUnsaved = 64;
    // Writing goes on after a loader is gone; this waits until everything is written.
    static bool waitForCacheWrites(int milliseconds = -1);

    ThumbnailCache::Flavor flavor() const { return m_flavor; }
    // Large thumbnails where a device pixel would make the normal ones blurry.
    static ThumbnailCache::Flavor flavorFor(qreal devicePixelRatio);

signals:
    // On the GUI thread; a null image when the file cannot be read.
    void loaded(const QString &path, const QImage &image);

private:
    void scheduleDispatch();
    void dispatch();
    void finished(const QString &path, const QImage &image);

    const ImageDecoder &m_decoder;
    const ThumbnailCache m_cache;
    const ThumbnailCache::Flavor m_flavor;
    std::function<bool(const QString &)> m_stillWanted;
    QThreadPool m_workers;
    QThreadPool *m_writer = nullptr; // shared, owned by the application
    QList<QString> m_queue;
    QSet<QString> m_busy; // queued or running
    qsizetype m_running = 0;
    bool m_dispatchPending = false;
};
