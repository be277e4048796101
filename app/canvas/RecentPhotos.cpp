#include "app/canvas/RecentPhotos.h"

#include "app/canvas/ImageLoader.h"

std::optional<RecentPhotos::Photo> RecentPhotos::find(const QString &baseDir, const QString &fileName, QRectF crop,
                                                      QSizeF targetPixels) const
{
    QMutexLocker lock(&m_mutex);
    const Photo *hit = m_cache.object(key(baseDir, fileName, crop));
    if (!hit || (!hit->fullDetail && ImageLoader::tooSmallFor(hit->image.size(), targetPixels)))
        return std::nullopt;
    return *hit;
}

void RecentPhotos::remember(const QString &baseDir, const QString &fileName, QRectF crop, const Photo &photo)
{
    QMutexLocker lock(&m_mutex);
    const qsizetype kib = qMax<qsizetype>(1, photo.image.sizeInBytes() / 1024);
    m_cache.insert(key(baseDir, fileName, crop), new Photo(photo), kib);
}

QImage RecentPhotos::photo(const QString &baseDir, const QString &fileName, QRectF crop, QSizeF targetPixels)
{
    if (const std::optional<Photo> hit = find(baseDir, fileName, crop, targetPixels))
        return hit->image;
    // Decoded outside the lock: other pictures need not wait for this file.
    const ImageLoader::Fit fit = ImageLoader::imageForDisplay(fileName, crop, baseDir, targetPixels);
    if (!fit.image.isNull())
        remember(baseDir, fileName, crop, Photo{fit.image, fit.fullDetail});
    return fit.image;
}

QString RecentPhotos::key(const QString &baseDir, const QString &fileName, QRectF crop)
{
    return QStringLiteral("%1/%2#%3,%4,%5,%6")
        .arg(baseDir, fileName)
        .arg(crop.x(), 0, 'g', 17)
        .arg(crop.y(), 0, 'g', 17)
        .arg(crop.width(), 0, 'g', 17)
        .arg(crop.height(), 0, 'g', 17);
}
