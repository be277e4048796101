#include "platform/images/FileImageDecoder.h"

#include "platform/images/ExifReader.h"
#include "platform/images/HeifReader.h"
#include "platform/images/ImageOrientation.h"

#include <QImageReader>

#include <algorithm>
#include <cmath>

namespace {

// Qt's JPEG and TIFF readers apply the orientation themselves; for the others (PNG and WebP
// with an Exif block) the tag is applied here, so pixels always agree with metadata().
int orientationLeftToUs(const QImageReader &reader, const QString &path)
{
    if (reader.transformation() != QImageIOHandler::TransformationNone)
        return 1;
    const ImageMetadata meta = ExifReader::read(path);
    return meta.orientation.value_or(1);
}

QImage shrink(const QImage &image, int maxPixelSize)
{
    if (image.isNull() || maxPixelSize <= 0 || std::max(image.width(), image.height()) <= maxPixelSize)
        return image;
    return image.scaled(maxPixelSize, maxPixelSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

} // namespace

QImage FileImageDecoder::decode(const QString &path, int maxPixelSize) const
{
    if (HeifReader::isHeif(path))
        return HeifReader::read(path, maxPixelSize);

    QImageReader reader(path);
    reader.setAutoTransform(true);
    reader.setAllocationLimit(allocationLimitMB);
    if (!reader.canRead())
        return {};
    const int extraOrientation = orientationLeftToUs(reader, path);

    // The scaled size refers to the stored, unturned image; a quarter turn keeps the longer side.
    const QSize stored = reader.size();
    if (maxPixelSize > 0 && stored.isValid() && std::max(stored.width(), stored.height()) > maxPixelSize) {
        const double scale = double(maxPixelSize) / std::max(stored.width(), stored.height());
        reader.setScaledSize(QSize(std::max(1, int(std::lround(stored.width() * scale))),
                                   std::max(1, int(std::lround(stored.height() * scale)))));
    }
    QImage image = reader.read();
    if (image.isNull())
        return {};
    if (extraOrientation != 1)
        image = ImageOrientation::apply(image, extraOrientation);
    return shrink(image, maxPixelSize);
}

QSize FileImageDecoder::orientedSize(const QString &path) const
{
    if (HeifReader::isHeif(path))
        return HeifReader::size(path);
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QSize stored = reader.size();
    if (!stored.isValid() || stored.isEmpty())
        return {};
    const bool quarterTurn = reader.transformation() & QImageIOHandler::TransformationRotate90;
    const int orientation = quarterTurn ? 6 : orientationLeftToUs(reader, path);
    return ImageOrientation::swapsAxes(orientation) ? stored.transposed() : stored;
}

ImageMetadata FileImageDecoder::metadata(const QString &path) const
{
    ImageMetadata meta = ExifReader::read(path);
    if (HeifReader::isHeif(path)) {
        const QSize size = HeifReader::size(path);
        if (size.isValid())
            meta.pixelSize = size;
        else
            meta.pixelSize.reset();
        meta.orientation = 1;
        return meta;
    }
    QImageReader reader(path);
    const QSize stored = reader.size();
    if (stored.isValid() && !stored.isEmpty())
        meta.pixelSize = stored;
    return meta;
}
