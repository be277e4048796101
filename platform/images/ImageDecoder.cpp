#include "platform/images/ImageDecoder.h"

#include "platform/images/ImageCrop.h"

ImageDecoder::~ImageDecoder() = default;

QImage ImageDecoder::decodeCropped(const QString &path, const QRectF &crop, int maxPixelSize) const
{
    return ImageCrop::cut(decode(path, maxPixelSize), crop);
}
