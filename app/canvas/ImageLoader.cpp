#include "app/canvas/ImageLoader.h"

#include "core/FileNames.h"
#include "platform/Platform.h"
#include "platform/images/ImageCrop.h"
#include "platform/images/ImageDecoder.h"

#include <QDir>

#include <algorithm>
#include <cmath>

namespace ImageLoader {

namespace {

// Formats the painter fills from without converting on every paint.
QImage paintReady(QImage image)
{
    if (image.isNull())
        return image;
    const QImage::Format format = image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
    if (image.format() != format)
        image.convertTo(format);
    return image;
}

} // namespace

std::optional<QString> pathFor(const QString &fileName, const QString &baseDir)
{
    if (!FileNames::isPlainComponent(fileName) || baseDir.isEmpty())
        return std::nullopt;
    return QDir(baseDir).filePath(fileName);
}

QImage fullImage(const QString &fileName, const QString &baseDir)
{
    const auto path = pathFor(fileName, baseDir);
    if (!path)
        return {};
    return Platform::instance().images().decode(*path, maxPixelSize);
}

QImage cgImage(const QString &fileName, const QRectF &crop, const QString &baseDir)
{
    return ImageCrop::cut(fullImage(fileName, baseDir), crop);
}

int decodeLimit(QSize orientedSize, const QRectF &crop, QSizeF targetPixels)
{
    const int longest = std::max(orientedSize.width(), orientedSize.height());
    const int cap = std::min(maxPixelSize, longest);
    if (longest <= 0)
        return maxPixelSize;
    QRect region = ImageCrop::pixelRect(orientedSize, crop);
    if (region.isEmpty())
        region = QRect(QPoint(0, 0), orientedSize);
    const double scale = std::max(targetPixels.width() / region.width(), targetPixels.height() / region.height()) * headroom;
    if (!std::isfinite(scale))
        return cap;
    const double wanted = std::ceil(scale * longest);
    return int(std::clamp(wanted, 1.0, double(cap)));
}

Fit imageForDisplay(const QString &fileName, const QRectF &crop, const QString &baseDir, QSizeF targetPixels)
{
    const auto path = pathFor(fileName, baseDir);
    if (!path)
        return {};
    const ImageDecoder &decoder = Platform::instance().images();
    const QSize oriented = decoder.orientedSize(*path);
    if (!oriented.isValid() || oriented.isEmpty())
        return {};
    const int limit = decodeLimit(oriented, crop, targetPixels);
    const bool fullDetail = limit >= std::min(maxPixelSize, std::max(oriented.width(), oriented.height()));
    return Fit{paintReady(decoder.decodeCropped(*path, crop, limit)), fullDetail};
}

bool tooSmallFor(QSize decoded, QSizeF targetPixels)
{
    // A hair of tolerance: rounding in the crop cut must not trigger endless re-decodes.
    constexpr double tolerance = 1.0;
    return decoded.width() + tolerance < targetPixels.width() || decoded.height() + tolerance < targetPixels.height();
}

} // namespace ImageLoader
