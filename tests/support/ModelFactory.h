#pragma once

#include "core/CollageModel.h"
#include "core/Library.h"

#include <QString>
#include <QStringList>
#include <QUuid>

// Builds items, collages and libraries for tests; a fixed first UUID byte makes pin
// colours predictable.
namespace ModelFactory {

QUuid uuidWithFirstByte(int firstByte);
inline PhotoItem item(QUuid id = QUuid::createUuid(), qint64 z = 0, QPointF center = {100, 100},
                      QSizeF size = {200, 150})
{
    return PhotoItem(id, QStringLiteral("photo.jpg"), center, size, 0.0, PhotoItem::fullCrop(), z);
}
inline PhotoItem item(const QString &fileName, QPointF center, QSizeF size, double rotation = 0.0)
{
    return PhotoItem(QUuid::createUuid(), fileName, center, size, rotation, PhotoItem::fullCrop(), 0);
}
inline PhotoItem photo(const QString &fileName) { return item(fileName, {100, 100}, {200, 150}); }
inline Collage collage(const QString &name, QList<PhotoItem> items = {})
{
    return Collage{QUuid::createUuid(), name, CollageModel(std::move(items))};
}
QStringList names(const Library &library);
// The library a store starts with when it has nothing to load.
bool isFresh(const Library &library);

} // namespace ModelFactory
