// Decodes arbitrary bytes as every document kind; whatever decodes must encode and decode
// back to the same value.
#include "core/CollageJson.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

template <typename T, typename Encode, typename Decode>
void roundTrip(const Expected<T> &decoded, Encode encode, Decode decode)
{
    if (!decoded)
        return;
    const Expected<QByteArray> bytes = encode(decoded.value());
    if (!bytes)
        std::abort(); // a decoded document is always finite, so it must encode
    const Expected<T> again = decode(bytes.value());
    if (!again || !(again.value() == decoded.value()))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));

    roundTrip(CollageJson::modelFromBytes(bytes), [](const CollageModel &m) { return CollageJson::modelToBytes(m); },
              CollageJson::modelFromBytes);
    roundTrip(CollageJson::layoutFromBytes(bytes),
              [](const QList<PhotoItem> &p) { return CollageJson::layoutToBytes(p); }, CollageJson::layoutFromBytes);
    roundTrip(CollageJson::libraryFromBytes(bytes), [](const Library &l) { return CollageJson::libraryToBytes(l); },
              CollageJson::libraryFromBytes);

    const Expected<PhotoItem> item = CollageJson::photoItemFromBytes(bytes);
    if (item) {
        const Expected<QJsonObject> object = CollageJson::encode(item.value());
        if (!object || !(CollageJson::decodePhotoItem(object.value()).value() == item.value()))
            std::abort();
    }
    // Readers of a decoded library must cope with any shape, an empty one included.
    const Expected<Library> library = CollageJson::libraryFromBytes(bytes);
    if (library) {
        Library copy = library.value();
        (void)copy.active();
        copy.removeActive();
        copy.renameActive(QStringLiteral("x"));
        copy.updateActive(CollageModel());
        for (const Collage &collage : copy.collages())
            (void)collage.model.drawOrder();
    }
    return 0;
}
