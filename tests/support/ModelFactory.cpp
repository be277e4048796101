#include "support/ModelFactory.h"

namespace ModelFactory {

QUuid uuidWithFirstByte(int firstByte)
{
    QByteArray bytes = QUuid::createUuid().toRfc4122();
    bytes[0] = char(firstByte & 0xFF);
    return QUuid::fromRfc4122(bytes);
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
