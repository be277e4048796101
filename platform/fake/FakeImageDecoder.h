#pragma once

#include "platform/images/FileImageDecoder.h"

#include <QHash>

#include <atomic>
#include <mutex>

// Images that a test registers by path, without files; other paths are decoded from their
// files unless that is switched off. Counts decodes, for tests that must not decode twice.
class FakeImageDecoder : public ImageDecoder {
public:
    QImage decode(const QString &path, int maxPixelSize = 0) const override;
    QSize orientedSize(const QString &path) const override;
    ImageMetadata metadata(const QString &path) const override;

    void addImage(const QString &path, const QImage &image, const ImageMetadata &metadata = ImageMetadata());
    void setFallbackToFiles(bool on) { m_fallback = on; }
    int decodeCount() const { return m_decodes; }
    int decodeCount(const QString &path) const;

private:
    struct Entry {
        QImage image;
        ImageMetadata metadata;
    };

    mutable std::mutex m_mutex;
    QHash<QString, Entry> m_entries;
    mutable QHash<QString, int> m_counts;
    mutable std::atomic<int> m_decodes{0};
    std::atomic<bool> m_fallback{true};
    FileImageDecoder m_files;
};
