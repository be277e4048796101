#pragma once

#include "core/CollageModel.h"

#include <QString>
#include <QUuid>

// Builds items for tests: a fixed first UUID byte makes pin colours predictable.
namespace ModelFactory {

QUuid uuidWithFirstByte(int firstByte);
PhotoItem item(QUuid id = QUuid::createUuid(), qint64 z = 0, QPointF center = {100, 100},
               QSizeF size = {200, 150});
PhotoItem item(const QString &fileName, QPointF center, QSizeF size, double rotation = 0.0);

} // namespace ModelFactory
