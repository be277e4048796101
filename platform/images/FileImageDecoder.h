#pragma once

#include "platform/images/ImageDecoder.h"

// JPEG, PNG, GIF, BMP, TIFF and WebP through Qt's image readers, HEIF through libheif, tags
// through exiv2.
class FileImageDecoder : public ImageDecoder {
public:
    // Photos are large: a 50-megapixel frame needs 200 MB as RGBA, beyond Qt's default limit.
    static constexpr int allocationLimitMB = 1024;

    QImage decode(const QString &path, int maxPixelSize = 0) const override;
    QSize orientedSize(const QString &path) const override;
    ImageMetadata metadata(const QString &path) const override;
};
