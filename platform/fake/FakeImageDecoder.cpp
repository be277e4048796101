#include "platform/fake/FakeImageDecoder.h"

#include <algorithm>

QImage FakeImageDecoder::decode(const QString &path, int maxPixelSize) const
{
    ++m_decodes;
    QImage image;
    bool known = false;
    {
        std::lock_guard lock(m_mutex);
        ++m_counts[path];
        const auto it = m_entries.constFind(path);
        known = it != m_entries.cend();
        if (known)
            image = it->image;
    }
    // Real files decode outside the lock, in parallel, as they do without the fake.
    if (!known)
        return m_fallback ? m_files.decode(path, maxPixelSize) : QImage();
    if (maxPixelSize > 0 && std::max(image.width(), image.height()) > maxPixelSize)
        image = image.scaled(maxPixelSize, maxPixelSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return image;
}

QSize FakeImageDecoder::orientedSize(const QString &path) const
{
    {
        std::lock_guard lock(m_mutex);
        const auto it = m_entries.constFind(path);
        if (it != m_entries.cend())
            return it->image.size();
    }
    return m_fallback ? m_files.orientedSize(path) : QSize();
}

ImageMetadata FakeImageDecoder::metadata(const QString &path) const
{
    {
        std::lock_guard lock(m_mutex);
        const auto it = m_entries.constFind(path);
        if (it != m_entries.cend())
            return it->metadata;
    }
    return m_fallback ? m_files.metadata(path) : ImageMetadata();
}

void FakeImageDecoder::addImage(const QString &path, const QImage &image, const ImageMetadata &metadata)
{
    Entry entry{image, metadata};
    if (!entry.metadata.pixelSize && !image.isNull())
        entry.metadata.pixelSize = image.size();
    std::lock_guard lock(m_mutex);
    m_entries.insert(path, entry);
}

int FakeImageDecoder::decodeCount(const QString &path) const
{
    std::lock_guard lock(m_mutex);
    return m_counts.value(path);
}
