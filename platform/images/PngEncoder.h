#pragma once

#include <QByteArray>
#include <QImage>

// PNG data for exports and thumbnails. Uses fast zlib settings: a screen-sized image encodes
// about five times faster for files a few per cent larger.
class PngEncoder {
public:
    static QByteArray encode(const QImage &image);
};
