#pragma once

#include <QCache>
#include <QImage>
#include <QRectF>
#include <QString>

// Photos recently decoded for the prints, by folder, file and crop rather than by print: a
// duplicate, a paste or an undone delete is a new print of a photo that was just on screen,
// and decoding it again would flash a placeholder (a HEIC takes over a second). Images still
// on screen share their pixels with the prints, so only those of removed prints cost memory.
class RecentPhotos {
public:
    struct Photo {
        QImage image;
        bool fullDetail = false;
    };
    static constexpr qsizetype budgetKiB = 96 * 1024;

    const Photo *find(const QString &baseDir, const QString &fileName, QRectF crop) const;
    void remember(const QString &baseDir, const QString &fileName, QRectF crop, const QImage &image, bool fullDetail);

private:
    static QString key(const QString &baseDir, const QString &fileName, QRectF crop);

    QCache<QString, Photo> m_cache{budgetKiB};
};
