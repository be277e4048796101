#pragma once

#include <QImage>
#include <QSize>
#include <QString>

// HEIF and HEIC files through libheif. libheif applies the file's own rotation, mirroring
// and clean aperture while decoding, so sizes and images here are already upright: the Exif
// orientation inside such files must not be applied again.
class HeifReader {
public:
    // Sniffs the file's leading bytes (the ftyp box), not its name.
    static bool isHeif(const QString &path);
    static QSize size(const QString &path);
    // maxPixelSize > 0 limits the longer side; the image is never enlarged.
    static QImage read(const QString &path, int maxPixelSize);
};
