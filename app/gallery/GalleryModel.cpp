#include "app/gallery/GalleryModel.h"

#include "app/gallery/ThumbnailLoader.h"

#include <QDir>

#include <algorithm>

GalleryModel::GalleryModel(ThumbnailLoader &loader, QObject *parent) : QAbstractListModel(parent), m_loader(loader)
{
    m_thumbnails.setMaxCost(thumbnailCacheKiB);
    connect(&m_loader, &ThumbnailLoader::loaded, this, &GalleryModel::thumbnailLoaded);
}

int GalleryModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_photos.size());
}

QVariant GalleryModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const QString &path = m_photos.at(index.row()).path;
    switch (role) {
    case Qt::DecorationRole:
        if (const QPixmap *thumbnail = m_thumbnails.object(path))
            return *thumbnail;
        if (!m_unreadable.contains(path))
            m_loader.request(path);
        return {};
    case Qt::DisplayRole:
        return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    case Qt::ToolTipRole:
        return QDir::toNativeSeparators(path);
    case PathRole:
        return path;
    default:
        return {};
    }
}

void GalleryModel::addPhotos(const QList<GalleryPhoto> &photos)
{
    QList<GalleryPhoto> fresh;
    QSet<QString> added;
    for (const GalleryPhoto &photo : photos) {
        if (!m_rows.contains(photo.path) && !added.contains(photo.path)) {
            added.insert(photo.path);
            fresh.append(photo);
        }
    }
    if (fresh.isEmpty())
        return;
    // Appended, then moved into place: the views keep their selection through both steps.
    beginInsertRows(QModelIndex(), int(m_photos.size()), int(m_photos.size() + fresh.size() - 1));
    for (const GalleryPhoto &photo : std::as_const(fresh)) {
        m_rows.insert(photo.path, int(m_photos.size()));
        m_photos.append(photo);
    }
    endInsertRows();
    sortRows();
}

void GalleryModel::setCaptureTimes(const QHash<QString, qint64> &capturedByPath)
{
    for (GalleryPhoto &photo : m_photos) {
        const auto it = capturedByPath.constFind(photo.path);
        photo.captured = it == capturedByPath.cend() ? std::nullopt : std::optional<qint64>(*it);
    }
    sortRows();
}

QStringList GalleryModel::paths() const
{
    QStringList result;
    result.reserve(m_photos.size());
    for (const GalleryPhoto &photo : m_photos)
        result.append(photo.path);
    return result;
}

bool GalleryModel::isThumbnailSettled(int row) const
{
    const QString photo = path(row);
    return m_thumbnails.contains(photo) || m_unreadable.contains(photo);
}

bool GalleryModel::newerFirst(const GalleryPhoto &a, const GalleryPhoto &b)
{
    const qint64 at = a.sortTime();
    const qint64 bt = b.sortTime();
    return at != bt ? at > bt : a.path < b.path;
}

void GalleryModel::sortRows()
{
    if (std::is_sorted(m_photos.cbegin(), m_photos.cend(), newerFirst))
        return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    QStringList held;
    held.reserve(before.size());
    for (const QModelIndex &index : before)
        held.append(m_photos.at(index.row()).path);

    std::sort(m_photos.begin(), m_photos.end(), newerFirst);
    for (int row = 0; row < m_photos.size(); ++row)
        m_rows.insert(m_photos.at(row).path, row);

    QModelIndexList after;
    after.reserve(before.size());
    for (const QString &path : std::as_const(held))
        after.append(index(m_rows.value(path)));
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void GalleryModel::thumbnailLoaded(const QString &path, const QImage &image)
{
    const int row = rowOf(path);
    if (image.isNull()) {
        m_unreadable.insert(path);
    } else {
        // The cost in KiB of pixels; a thumbnail bigger than the whole cache is simply not kept.
        const int cost = std::max(1, int(image.sizeInBytes() / 1024));
        m_thumbnails.insert(path, new QPixmap(QPixmap::fromImage(image)), cost);
    }
    if (row >= 0)
        emit dataChanged(index(row), index(row), {Qt::DecorationRole});
}
