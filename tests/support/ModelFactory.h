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
PhotoItem item(QUuid id = QUuid::createUuid(), qint64 z = 0, QPointF center = {100, 100},
               QSizeF size = {200, 150});
PhotoItem item(const QString &fileName, QPointF center, QSizeF size, double rotation = 0.0);
PhotoItem photo(const QString &fileName); // at (100, 100), 200 × 150
Collage collage(const QString &name, QList<PhotoItem> items = {});
QStringList names(const Library &library);
// The library a store starts with when it has nothing to load.
bool isFresh(const Library &library);

} // namespace ModelFactory
