#include "app/export/RenderPhotos.h"

#include "app/canvas/ImageLoader.h"

QImage RenderPhotos::photo(const QString &baseDir, const QString &fileName, const QRectF &crop, QSizeF targetPixels)
{
    const QString key = baseDir + QLatin1Char('/') + fileName + QLatin1Char('|')
        + QString::number(crop.x()) + QLatin1Char(',') + QString::number(crop.y()) + QLatin1Char(',')
        + QString::number(crop.width()) + QLatin1Char(',') + QString::number(crop.height());
    {
        QMutexLocker lock(&m_mutex);
        if (const Entry *hit = m_cache.object(key);
            hit && (hit->fullDetail || !ImageLoader::tooSmallFor(hit->image.size(), targetPixels)))
            return hit->image;
    }
    // Decoded outside the lock: other pictures need not wait for this file.
    const ImageLoader::Fit fit = ImageLoader::imageForDisplay(fileName, crop, baseDir, targetPixels);
    if (fit.image.isNull())
        return {};
    QMutexLocker lock(&m_mutex);
    const qsizetype kib = std::max<qsizetype>(1, fit.image.sizeInBytes() / 1024);
    m_cache.insert(key, new Entry{fit.image, fit.fullDetail}, kib);
    return fit.image;
}
