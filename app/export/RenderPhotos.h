#pragma once

#include <QCache>
#include <QImage>
#include <QMutex>
#include <QRectF>
#include <QSizeF>
#include <QString>

// Photos decoded for off-screen pictures, kept by folder, file and crop so that thumbnails
// drawn again (another width, the window shown again) need no new decode. Used from worker
// threads at once.
class RenderPhotos {
public:
    static constexpr qsizetype budgetKiB = 128 * 1024;

    // The photo with at least the detail a photo area of `targetPixels` needs; null when
    // the file is missing or unreadable.
    QImage photo(const QString &baseDir, const QString &fileName, const QRectF &crop, QSizeF targetPixels);

private:
    struct Entry {
        QImage image;
        bool fullDetail = false;
    };

    QMutex m_mutex;
    QCache<QString, Entry> m_cache{budgetKiB};
};
