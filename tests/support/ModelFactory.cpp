#include "support/ModelFactory.h"

namespace ModelFactory {

QUuid uuidWithFirstByte(int firstByte)
{
    QByteArray bytes = QUuid::createUuid().toRfc4122();
    bytes[0] = char(firstByte & 0xFF);
    return QUuid::fromRfc4122(bytes);
}

PhotoItem item(QUuid id, qint64 z, QPointF center, QSizeF size)
{
    return PhotoItem(id, QStringLiteral("photo.jpg"), center, size, 0.0, PhotoItem::fullCrop(), z);
}

PhotoItem item(const QString &fileName, QPointF center, QSizeF size, double rotation)
{
    return PhotoItem(QUuid::createUuid(), fileName, center, size, rotation, PhotoItem::fullCrop(), 0);
}

} // namespace ModelFactory
