#include "platform/images/ExifReader.h"

#include "platform/images/ImageOrientation.h"

#include <QFile>

// exiv2 0.27 still hands out std::auto_ptr.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <exiv2/exiv2.hpp>

#include <cmath>
#include <exception>
#include <mutex>

namespace {

void initialiseOnce()
{
    static std::once_flag once;
    std::call_once(once, [] {
        // Not thread-safe on first use, hence once, before any reader runs.
        Exiv2::XmpParser::initialize();
        Exiv2::enableBMFF(true);
        // Damaged files are expected input; exiv2's warnings would only clutter standard error.
        Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
    });
}

const Exiv2::Exifdatum *find(const Exiv2::ExifData &exif, const char *key)
{
    const auto it = exif.findKey(Exiv2::ExifKey(key));
    return it == exif.end() ? nullptr : &*it;
}

std::optional<QString> asciiTag(const Exiv2::ExifData &exif, const char *key)
{
    const Exiv2::Exifdatum *datum = find(exif, key);
    if (!datum || datum->typeId() != Exiv2::asciiString)
        return std::nullopt;
    return QString::fromStdString(datum->toString()).trimmed();
}

// Degrees, minutes and seconds as rationals; fewer than three parts are allowed.
std::optional<double> degrees(const Exiv2::ExifData &exif, const char *key)
{
    const Exiv2::Exifdatum *datum = find(exif, key);
    if (!datum || datum->count() < 1)
        return std::nullopt;
    if (datum->typeId() != Exiv2::unsignedRational && datum->typeId() != Exiv2::signedRational)
        return std::nullopt;
    double value = 0;
    double unit = 1;
    for (long i = 0; i < std::min(datum->count(), 3L); ++i) {
        const Exiv2::Rational part = datum->toRational(i);
        if (part.second == 0)
            return std::nullopt;
        value += double(part.first) / double(part.second) / unit;
        unit *= 60;
    }
    if (!std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace

ImageMetadata ExifReader::read(const QString &path)
{
    initialiseOnce();
    ImageMetadata meta;
    try {
        const std::string file = QFile::encodeName(path).toStdString();
        auto image = Exiv2::ImageFactory::open(file);
        if (!image.get())
            return meta;
        image->readMetadata();
        if (image->pixelWidth() > 0 && image->pixelHeight() > 0)
            meta.pixelSize = QSize(image->pixelWidth(), image->pixelHeight());
        const Exiv2::ExifData &exif = image->exifData();
        if (const Exiv2::Exifdatum *o = find(exif, "Exif.Image.Orientation"); o && o->count() > 0) {
            const long value = o->toLong(0);
            if (ImageOrientation::isValid(int(value)))
                meta.orientation = int(value);
        }
        meta.dateTimeOriginal = asciiTag(exif, "Exif.Photo.DateTimeOriginal");
        meta.dateTime = asciiTag(exif, "Exif.Image.DateTime");
        meta.gpsLatitude = degrees(exif, "Exif.GPSInfo.GPSLatitude");
        meta.gpsLatitudeRef = asciiTag(exif, "Exif.GPSInfo.GPSLatitudeRef");
        meta.gpsLongitude = degrees(exif, "Exif.GPSInfo.GPSLongitude");
        meta.gpsLongitudeRef = asciiTag(exif, "Exif.GPSInfo.GPSLongitudeRef");
    } catch (const Exiv2::AnyError &) {
        return ImageMetadata{};
    } catch (const std::exception &) {
        // Damaged files can make exiv2 run into the standard library's own exceptions.
        return ImageMetadata{};
    }
    return meta;
}

#pragma GCC diagnostic pop
