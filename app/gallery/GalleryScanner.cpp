#include "app/gallery/GalleryScanner.h"

#include "core/ImageImporter.h"
#include "platform/images/ImageDecoder.h"
#include "platform/threads/BackgroundPriority.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSet>

GalleryScanner::GalleryScanner(const ImageDecoder &decoder, QObject *parent)
    : QObject(parent), m_decoder(decoder), m_cancelled(std::make_shared<std::atomic<bool>>(false))
{
    m_worker.setMaxThreadCount(1);
    m_worker.setObjectName(QStringLiteral("gallery scan"));
}

GalleryScanner::~GalleryScanner()
{
    m_cancelled->store(true);
    m_worker.waitForDone();
}

void GalleryScanner::start(const QString &root, const QString &excluded)
{
    m_cancelled->store(true);
    m_cancelled = std::make_shared<std::atomic<bool>>(false);
    m_worker.start([this, root, excluded, cancelled = m_cancelled] { run(root, excluded, cancelled); });
}

bool GalleryScanner::isPhotoName(const QString &fileName)
{
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    return dot > 0 && ImageImporter::supportedExtensions().contains(fileName.mid(dot + 1).toLower());
}

void GalleryScanner::walk(const QString &root, const QString &excluded, const std::function<bool(const GalleryPhoto &)> &visit)
{
    const QString skipped = excluded.isEmpty() ? QString() : QFileInfo(excluded).canonicalFilePath();
    // Canonical paths of the folders walked: a symbolic link back up the tree must not loop.
    QSet<QString> seen;
    QStringList folders{QDir(root).absolutePath()};
    while (!folders.isEmpty()) {
        const QString folder = folders.takeLast();
        const QString canonical = QFileInfo(folder).canonicalFilePath();
        if (canonical.isEmpty() || canonical == skipped || seen.contains(canonical))
            continue;
        seen.insert(canonical);
        // Without QDir::Hidden, dot files and dot folders never show up.
        QDirIterator entries(folder, QDir::Dirs | QDir::Files | QDir::NoDotAndDotDot);
        while (entries.hasNext()) {
            const QFileInfo info = entries.nextFileInfo();
            if (info.isDir()) {
                folders.append(info.filePath());
            } else if (isPhotoName(info.fileName()) && info.isFile()) {
                if (!visit({info.filePath(), info.lastModified().toMSecsSinceEpoch(), std::nullopt}))
                    return;
            }
        }
    }
}

std::optional<qint64> GalleryScanner::captureTime(const ImageMetadata &metadata)
{
    for (const std::optional<QString> &text : {metadata.dateTimeOriginal, metadata.dateTime}) {
        if (!text)
            continue;
        // Cameras that never had their clock set write "0000:00:00 00:00:00", which is invalid.
        const QDateTime time = QDateTime::fromString(text->trimmed().left(19), QStringLiteral("yyyy:MM:dd HH:mm:ss"));
        if (time.isValid())
            return time.toMSecsSinceEpoch();
    }
    return std::nullopt;
}

void GalleryScanner::run(const QString &root, const QString &excluded, const std::shared_ptr<std::atomic<bool>> &cancelled)
{
    // The destructor waits for this job, and Qt drops calls still queued for a deleted
    // object, so nothing below reaches a scanner that is gone.
    QList<GalleryPhoto> all;
    QList<GalleryPhoto> chunk;
    QElapsedTimer sinceHandOver;
    sinceHandOver.start();
    const auto handOver = [&] {
        if (chunk.isEmpty())
            return;
        QMetaObject::invokeMethod(this, [this, chunk] { emit found(chunk); }, Qt::QueuedConnection);
        chunk.clear();
        sinceHandOver.restart();
    };
    walk(root, excluded, [&](const GalleryPhoto &photo) {
        all.append(photo);
        chunk.append(photo);
        if (sinceHandOver.elapsed() >= chunkMilliseconds)
            handOver();
        return !cancelled->load();
    });
    if (cancelled->load())
        return;
    handOver();
    const int count = int(all.size());
    QMetaObject::invokeMethod(this, [this, count] { emit scanned(count); }, Qt::QueuedConnection);

    // The user waits for the list, not for the dates: those yield the cores.
    lowerCurrentThreadPriority();
    QHash<QString, qint64> captured;
    for (const GalleryPhoto &photo : std::as_const(all)) {
        if (cancelled->load())
            return;
        if (const std::optional<qint64> time = captureTime(m_decoder.metadata(photo.path)))
            captured.insert(photo.path, *time);
    }
    QMetaObject::invokeMethod(this, [this, captured] { emit datesRead(captured); }, Qt::QueuedConnection);
}
