#include "core/CollageJson.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>

#include <cmath>

namespace CollageJson {

namespace {

Error wrongType(const char *key)
{
    return Error{QStringLiteral("value of \"%1\" has the wrong type or is missing").arg(QLatin1String(key))};
}

Error notFinite(const char *key)
{
    return Error{QStringLiteral("\"%1\" is not a finite number and cannot be written").arg(QLatin1String(key))};
}

bool readNumber(const QJsonValue &value, double &out)
{
    if (!value.isDouble())
        return false;
    out = value.toDouble();
    // A decoded document must always be writable again.
    return std::isfinite(out);
}

bool readPair(const QJsonValue &value, double &a, double &b)
{
    if (!value.isArray())
        return false;
    const QJsonArray array = value.toArray();
    return array.size() == 2 && readNumber(array.at(0), a) && readNumber(array.at(1), b);
}

QJsonArray pair(double a, double b)
{
    return QJsonArray{a, b};
}

bool finite(double a, double b)
{
    return std::isfinite(a) && std::isfinite(b);
}

template <typename T, typename Decode>
Expected<QList<T>> decodeArray(const QJsonValue &value, const char *key, Decode decode)
{
    if (!value.isArray())
        return wrongType(key);
    const QJsonArray array = value.toArray();
    QList<T> out;
    out.reserve(array.size());
    for (const QJsonValue &element : array) {
        Expected<T> decoded = decode(element);
        if (!decoded)
            return decoded.error();
        out.append(std::move(decoded).value());
    }
    return out;
}

Expected<QUuid> readUuid(const QJsonObject &object, const char *key)
{
    const QJsonValue value = object.value(QLatin1String(key));
    if (!value.isString())
        return wrongType(key);
    const std::optional<QUuid> uuid = parseUuid(value.toString());
    if (!uuid)
        return Error{QStringLiteral("\"%1\" is not a valid UUID").arg(QLatin1String(key))};
    return *uuid;
}

Expected<QJsonArray> encodeItems(const QList<PhotoItem> &items)
{
    QJsonArray array;
    for (const PhotoItem &item : items) {
        Expected<QJsonObject> object = encode(item);
        if (!object)
            return object.error();
        array.append(object.value());
    }
    return array;
}

Expected<QJsonObject> documentObject(const QByteArray &bytes)
{
    return parseObject(bytes);
}

} // namespace

static bool isHexDigit(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= '0' && u <= '9') || (u >= 'a' && u <= 'f') || (u >= 'A' && u <= 'F');
}

QString uuidText(const QUuid &id)
{
    return id.toString(QUuid::WithoutBraces).toUpper();
}

std::optional<QUuid> parseUuid(const QString &text)
{
    if (text.size() != 36)
        return std::nullopt;
    for (int i = 0; i < 36; ++i) {
        const QChar c = text.at(i);
        if (i == 8 || i == 13 || i == 18 || i == 23) {
            if (c != QLatin1Char('-'))
                return std::nullopt;
        } else if (!isHexDigit(c)) {
            return std::nullopt;
        }
    }
    const QUuid id = QUuid::fromString(text);
    if (id.isNull() && text != QStringLiteral("00000000-0000-0000-0000-000000000000"))
        return std::nullopt;
    return id;
}

Expected<QJsonObject> encode(const PhotoItem &item)
{
    if (!finite(item.center.x(), item.center.y()))
        return notFinite("center");
    if (!finite(item.size.width(), item.size.height()))
        return notFinite("size");
    if (!std::isfinite(item.rotation))
        return notFinite("rotation");
    if (!finite(item.cropRect.x(), item.cropRect.y()) || !finite(item.cropRect.width(), item.cropRect.height()))
        return notFinite("cropRect");

    QJsonObject object;
    object.insert(QLatin1String("id"), uuidText(item.id));
    object.insert(QLatin1String("imageFileName"), item.imageFileName);
    object.insert(QLatin1String("center"), pair(item.center.x(), item.center.y()));
    object.insert(QLatin1String("size"), pair(item.size.width(), item.size.height()));
    object.insert(QLatin1String("rotation"), item.rotation);
    object.insert(QLatin1String("cropRect"),
                  QJsonArray{pair(item.cropRect.x(), item.cropRect.y()),
                             pair(item.cropRect.width(), item.cropRect.height())});
    object.insert(QLatin1String("zIndex"), QJsonValue(item.zIndex));
    if (item.caption)
        object.insert(QLatin1String("caption"), *item.caption);
    object.insert(QLatin1String("flipH"), item.flipH);
    object.insert(QLatin1String("flipV"), item.flipV);
    return object;
}

Expected<PhotoItem> decodePhotoItem(const QJsonValue &value)
{
    if (!value.isObject())
        return Error{QStringLiteral("a photo item is not an object")};
    const QJsonObject object = value.toObject();
    PhotoItem item;

    const Expected<QUuid> id = readUuid(object, "id");
    if (!id)
        return id.error();
    item.id = id.value();

    const QJsonValue fileName = object.value(QLatin1String("imageFileName"));
    if (!fileName.isString())
        return wrongType("imageFileName");
    item.imageFileName = fileName.toString();

    double a = 0, b = 0;
    if (!readPair(object.value(QLatin1String("center")), a, b))
        return wrongType("center");
    item.center = QPointF(a, b);
    if (!readPair(object.value(QLatin1String("size")), a, b))
        return wrongType("size");
    item.size = QSizeF(a, b);
    if (!readNumber(object.value(QLatin1String("rotation")), item.rotation))
        return wrongType("rotation");

    const QJsonValue crop = object.value(QLatin1String("cropRect"));
    if (!crop.isArray() || crop.toArray().size() != 2)
        return wrongType("cropRect");
    double w = 0, h = 0;
    if (!readPair(crop.toArray().at(0), a, b) || !readPair(crop.toArray().at(1), w, h))
        return wrongType("cropRect");
    item.cropRect = QRectF(a, b, w, h);

    // toInteger() yields the value only for a whole number that fits in 64 bits, else the
    // default: a value that comes back as both defaults is neither.
    const QJsonValue z = object.value(QLatin1String("zIndex"));
    const qint64 zValue = z.toInteger(0);
    if (!z.isDouble() || (zValue == 0 && z.toInteger(1) == 1))
        return wrongType("zIndex");
    item.zIndex = zValue;

    const QJsonValue caption = object.value(QLatin1String("caption"));
    if (caption.isString())
        item.caption = caption.toString();
    else if (!caption.isUndefined() && !caption.isNull())
        return wrongType("caption");

    for (const auto &[key, flag] : {std::pair{"flipH", &item.flipH}, std::pair{"flipV", &item.flipV}}) {
        const QJsonValue v = object.value(QLatin1String(key));
        if (v.isBool())
            *flag = v.toBool();
        else if (!v.isUndefined() && !v.isNull())
            return wrongType(key);
    }
    return item;
}

Expected<QJsonObject> encode(const CollageModel &model)
{
    Expected<QJsonArray> items = encodeItems(model.items());
    if (!items)
        return items.error();
    return QJsonObject{{QLatin1String("items"), items.value()}};
}

Expected<CollageModel> decodeModel(const QJsonValue &value)
{
    if (!value.isObject())
        return Error{QStringLiteral("a collage model is not an object")};
    Expected<QList<PhotoItem>> items =
        decodeArray<PhotoItem>(value.toObject().value(QLatin1String("items")), "items", decodePhotoItem);
    if (!items)
        return items.error();
    return CollageModel(std::move(items).value());
}

Expected<QJsonObject> encode(const Collage &collage)
{
    Expected<QJsonObject> model = encode(collage.model);
    if (!model)
        return model.error();
    return QJsonObject{{QLatin1String("id"), uuidText(collage.id)},
                       {QLatin1String("name"), collage.name},
                       {QLatin1String("model"), model.value()}};
}

Expected<Collage> decodeCollage(const QJsonValue &value)
{
    if (!value.isObject())
        return Error{QStringLiteral("a collage is not an object")};
    const QJsonObject object = value.toObject();
    const Expected<QUuid> id = readUuid(object, "id");
    if (!id)
        return id.error();
    const QJsonValue name = object.value(QLatin1String("name"));
    if (!name.isString())
        return wrongType("name");
    Expected<CollageModel> model = decodeModel(object.value(QLatin1String("model")));
    if (!model)
        return model.error();
    return Collage{id.value(), name.toString(), std::move(model).value()};
}

Expected<QJsonObject> encode(const Library &library)
{
    QJsonArray collages;
    for (const Collage &collage : library.collages()) {
        Expected<QJsonObject> object = encode(collage);
        if (!object)
            return object.error();
        collages.append(object.value());
    }
    return QJsonObject{{QLatin1String("collages"), collages}, {QLatin1String("activeID"), uuidText(library.activeID())}};
}

Expected<Library> decodeLibrary(const QJsonValue &value)
{
    if (!value.isObject())
        return Error{QStringLiteral("a library is not an object")};
    const QJsonObject object = value.toObject();
    Expected<QList<Collage>> collages =
        decodeArray<Collage>(object.value(QLatin1String("collages")), "collages", decodeCollage);
    if (!collages)
        return collages.error();
    const Expected<QUuid> active = readUuid(object, "activeID");
    if (!active)
        return active.error();
    return Library::decoded(std::move(collages).value(), active.value());
}

Expected<QJsonObject> encodeLayout(const QList<PhotoItem> &photos)
{
    Expected<QJsonArray> items = encodeItems(photos);
    if (!items)
        return items.error();
    return QJsonObject{{QLatin1String("photos"), items.value()}};
}

Expected<QList<PhotoItem>> decodeLayout(const QJsonValue &value)
{
    if (!value.isObject())
        return Error{QStringLiteral("a layout is not an object")};
    return decodeArray<PhotoItem>(value.toObject().value(QLatin1String("photos")), "photos", decodePhotoItem);
}

QByteArray toBytes(const QJsonObject &object, Format format)
{
    return QJsonDocument(object).toJson(format == Format::Pretty ? QJsonDocument::Indented : QJsonDocument::Compact);
}

Expected<QJsonObject> parseObject(const QByteArray &bytes)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return Error{QStringLiteral("not valid JSON: %1 at offset %2").arg(parseError.errorString()).arg(parseError.offset)};
    if (!document.isObject())
        return Error{QStringLiteral("the document is not a JSON object")};
    return document.object();
}

Expected<PhotoItem> photoItemFromBytes(const QByteArray &bytes)
{
    Expected<QJsonObject> object = documentObject(bytes);
    if (!object)
        return object.error();
    return decodePhotoItem(object.value());
}

Expected<CollageModel> modelFromBytes(const QByteArray &bytes)
{
    Expected<QJsonObject> object = documentObject(bytes);
    if (!object)
        return object.error();
    return decodeModel(object.value());
}

Expected<Library> libraryFromBytes(const QByteArray &bytes)
{
    Expected<QJsonObject> object = documentObject(bytes);
    if (!object)
        return object.error();
    return decodeLibrary(object.value());
}

Expected<QList<PhotoItem>> layoutFromBytes(const QByteArray &bytes)
{
    Expected<QJsonObject> object = documentObject(bytes);
    if (!object)
        return object.error();
    return decodeLayout(object.value());
}

Expected<QByteArray> modelToBytes(const CollageModel &model, Format format)
{
    Expected<QJsonObject> object = encode(model);
    if (!object)
        return object.error();
    return toBytes(object.value(), format);
}

Expected<QByteArray> libraryToBytes(const Library &library, Format format)
{
    Expected<QJsonObject> object = encode(library);
    if (!object)
        return object.error();
    return toBytes(object.value(), format);
}

Expected<QByteArray> layoutToBytes(const QList<PhotoItem> &photos, Format format)
{
    Expected<QJsonObject> object = encodeLayout(photos);
    if (!object)
        return object.error();
    return toBytes(object.value(), format);
}

} // namespace CollageJson
