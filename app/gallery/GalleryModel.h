#pragma once

#include "app/gallery/GalleryScanner.h"

#include <QAbstractListModel>
#include <QCache>
#include <QHash>
#include <QPixmap>
#include <QSet>

class ThumbnailLoader;

// The photos of the gallery, newest first, with their thumbnails. A thumbnail is asked for
// only when a row's picture is read (that is, painted) and kept in a cache bounded by size,
// so scrolling through any number of photos holds only the recent ones.
class GalleryModel : public QAbstractListModel {
    Q_OBJECT
public:
    enum Role { PathRole = Qt::UserRole + 1 };
    // Decoded thumbnails kept, by their pixel bytes: about 1,000 normal or 250 large ones.
    static constexpr int thumbnailCacheKiB = 48 * 1024;

    explicit GalleryModel(ThumbnailLoader &loader, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    // DecorationRole: the thumbnail as a QPixmap, or nothing while it loads or when the file
    // cannot be read; DisplayRole the file name, ToolTipRole and PathRole the path.
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    // New photos go to their place in the order; rows already there keep their identity.
    void addPhotos(const QList<GalleryPhoto> &photos);
    // Capture dates override file times in the order; photos not named keep their file time.
    void setCaptureTimes(const QHash<QString, qint64> &capturedByPath);

    QString path(int row) const { return m_photos.value(row).path; }
    QStringList paths() const;
    int rowOf(const QString &path) const { return m_rows.value(path, -1); }
    // True once the row's thumbnail is there, or known to be impossible (an unreadable file).
    bool isThumbnailSettled(int row) const;

    // Newest first; equal times by path, so the order never depends on the order found.
    static bool newerFirst(const GalleryPhoto &a, const GalleryPhoto &b);

private:
    void sortRows();
    void thumbnailLoaded(const QString &path, const QImage &image);

    ThumbnailLoader &m_loader;
    QList<GalleryPhoto> m_photos;
    QHash<QString, int> m_rows;
    QCache<QString, QPixmap> m_thumbnails;
    QSet<QString> m_unreadable;
};
