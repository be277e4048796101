#pragma once

#include <QCache>
#include <QImage>
#include <QMutex>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <optional>

// Photos recently decoded, by folder, file and crop rather than by print: a duplicate, a
// paste or an undone delete is a new print of a photo that was just on screen, and decoding
// it again would flash a placeholder (a HEIC takes over a second); pictures drawn again
// (another thumbnail width, the window shown again) need no new decode either. Images still
// shown share their pixels, so only those no longer shown cost memory. Used from worker
// threads at once.
class RecentPhotos {
public:
    struct Photo {
        QImage image;
        bool fullDetail = false;
    };

    explicit RecentPhotos(qsizetype budgetKiB) : m_cache(budgetKiB) {}

    // A kept photo with at least the detail a photo area of `targetPixels` needs.
    std::optional<Photo> find(const QString &baseDir, const QString &fileName, QRectF crop, QSizeF targetPixels) const;
    void remember(const QString &baseDir, const QString &fileName, QRectF crop, const Photo &photo);
    // A kept photo as `find` gives it, else decoded now and kept; null when the file is
    // missing or unreadable.
    QImage photo(const QString &baseDir, const QString &fileName, QRectF crop, QSizeF targetPixels);

private:
    static QString key(const QString &baseDir, const QString &fileName, QRectF crop);

    mutable QMutex m_mutex;
    QCache<QString, Photo> m_cache;
};
