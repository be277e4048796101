#include "app/canvas/RecentPhotos.h"

const RecentPhotos::Photo *RecentPhotos::find(const QString &baseDir, const QString &fileName, QRectF crop) const
{
    return m_cache.object(key(baseDir, fileName, crop));
}

void RecentPhotos::remember(const QString &baseDir, const QString &fileName, QRectF crop, const QImage &image,
                            bool fullDetail)
{
    m_cache.insert(key(baseDir, fileName, crop), new Photo{image, fullDetail},
                   qMax<qsizetype>(1, image.sizeInBytes() / 1024));
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
