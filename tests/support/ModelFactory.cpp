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

PhotoItem photo(const QString &fileName)
{
    return item(fileName, {100, 100}, {200, 150});
}

Collage collage(const QString &name, QList<PhotoItem> items)
{
    return Collage{QUuid::createUuid(), name, CollageModel(std::move(items))};
}

QStringList names(const Library &library)
{
    QStringList result;
    for (const Collage &c : library.collages())
        result.append(c.name);
    return result;
}

bool isFresh(const Library &library)
{
    return library.collages().size() == 1 && library.active().name == Library::defaultCollageName
        && library.active().model.isEmpty();
}

} // namespace ModelFactory
