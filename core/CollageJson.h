#pragma once

#include "core/Expected.h"
#include "core/Library.h"

#include <QByteArray>
#include <QJsonObject>
#include <QJsonValue>

// The JSON form of photo items, models, collages, libraries and layout files.
// Encoding fails on a non-finite number; decoding fails on a missing required key or a
// value of the wrong type anywhere in the document. Unknown keys are ignored.
namespace CollageJson {

QString uuidText(const QUuid &id); // 36 characters, upper case
// Only the 36-character hyphenated form, in either case; braces and other forms are invalid.
std::optional<QUuid> parseUuid(const QString &text);

Expected<QJsonObject> encode(const PhotoItem &item);
Expected<QJsonObject> encode(const CollageModel &model);
Expected<QJsonObject> encode(const Collage &collage);
Expected<QJsonObject> encode(const Library &library);
Expected<QJsonObject> encodeLayout(const QList<PhotoItem> &photos);

Expected<PhotoItem> decodePhotoItem(const QJsonValue &value);
Expected<CollageModel> decodeModel(const QJsonValue &value);
Expected<Collage> decodeCollage(const QJsonValue &value);
Expected<Library> decodeLibrary(const QJsonValue &value);
Expected<QList<PhotoItem>> decodeLayout(const QJsonValue &value);

enum class Format { Compact, Pretty };
// Keys come out sorted either way (QJsonObject keeps them ordered).
QByteArray toBytes(const QJsonObject &object, Format format);
Expected<QJsonObject> parseObject(const QByteArray &bytes);

// Whole documents: parse and decode, or encode and serialise.
Expected<PhotoItem> photoItemFromBytes(const QByteArray &bytes);
Expected<CollageModel> modelFromBytes(const QByteArray &bytes);
Expected<Library> libraryFromBytes(const QByteArray &bytes);
Expected<QList<PhotoItem>> layoutFromBytes(const QByteArray &bytes);
Expected<QByteArray> modelToBytes(const CollageModel &model, Format format = Format::Compact);
Expected<QByteArray> libraryToBytes(const Library &library, Format format = Format::Compact);
Expected<QByteArray> layoutToBytes(const QList<PhotoItem> &photos, Format format = Format::Pretty);

} // namespace CollageJson
