#pragma once

#include "platform/images/ImageMetadata.h"

#include <QImage>
#include <QRectF>
#include <QSize>
#include <QString>

// Image files as pixels and metadata. Implementations are safe to call from several threads
// at once; bad input gives a null image or empty metadata, never a crash or an exception.
class ImageDecoder {
public:
    virtual ~ImageDecoder();

    // The file's first image turned upright by its orientation. maxPixelSize > 0 limits the
    // longer side (the image is reduced while decoding where the format allows it, and never
    // enlarged); 0 decodes at full size.
    virtual QImage decode(const QString &path, int maxPixelSize = 0) const = 0;
    // The upright pixel size without decoding the pixels; invalid when the file is unreadable.
    virtual QSize orientedSize(const QString &path) const = 0;
    virtual ImageMetadata metadata(const QString &path) const = 0;

    // decode(), then the crop (fractions from the top-left, see ImageCrop) cut out of it.
    QImage decodeCropped(const QString &path, const QRectF &crop, int maxPixelSize = 0) const;
};
