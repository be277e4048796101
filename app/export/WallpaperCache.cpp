#include "app/export/WallpaperCache.h"

#include "platform/Platform.h"
#include "platform/images/ImageDecoder.h"

QImage WallpaperCache::image(const QString &path)
{
    if (path.isEmpty())
        return {};
    {
        QMutexLocker lock(&m_mutex);
        if (const auto hit = m_images.constFind(path); hit != m_images.constEnd())
            return *hit;
    }
    QImage decoded = Platform::instance().images().decode(path, maxPixelSize);
    QMutexLocker lock(&m_mutex);
    if (decoded.isNull())
        m_images.remove(path);
    else
        m_images.insert(path, decoded);
    return decoded;
}

bool WallpaperCache::contains(const QString &path) const
{
    QMutexLocker lock(&m_mutex);
    return m_images.contains(path);
}
