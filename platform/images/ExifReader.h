#pragma once

#include "platform/images/ImageMetadata.h"

// Exif and TIFF tags through exiv2: orientation, the two dates and GPS. Any exiv2 failure
// (unknown format, damaged file) gives empty metadata; nothing is thrown and nothing printed.
class ExifReader {
public:
    static ImageMetadata read(const QString &path);
};
