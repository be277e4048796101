#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>

#include <functional>

// PNG data for exports and thumbnails, written with zlib's fastest level: a screen-sized
// picture encodes about five times faster than at the default level, for files about 8 %
// larger, and an export is waited for while a few per cent of disk are not.
class PngEncoder {
public:
    static QByteArray encode(const QImage &image);

    // The row of premultiplied ARGB32 pixels at y. Rows are asked for once each, top to
    // bottom, so a picture can be encoded while its lower part is still being drawn.
    using RowSource = std::function<const QRgb *(int y)>;
    // Empty on failure.
    static QByteArray encodeRows(QSize size, const RowSource &row);
};
