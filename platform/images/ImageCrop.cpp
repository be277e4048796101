#include "platform/images/ImageCrop.h"

#include <algorithm>
#include <cmath>

bool ImageCrop::isFull(const QRectF &crop)
{
    return crop.x() == 0 && crop.y() == 0 && crop.width() == 1 && crop.height() == 1;
}

QRect ImageCrop::pixelRect(QSize imageSize, const QRectF &crop)
{
    if (imageSize.isEmpty())
        return {};
    const double w = imageSize.width();
    const double h = imageSize.height();
    double left = crop.x() * w;
    double top = crop.y() * h;
    double right = left + crop.width() * w;
    double bottom = top + crop.height() * h;
    if (!std::isfinite(left) || !std::isfinite(top) || !std::isfinite(right) || !std::isfinite(bottom))
        return {};
    if (right < left)
        std::swap(left, right);
    if (bottom < top)
        std::swap(top, bottom);
    left = std::clamp(std::floor(left), 0.0, w);
    top = std::clamp(std::floor(top), 0.0, h);
    right = std::clamp(std::ceil(right), 0.0, w);
    bottom = std::clamp(std::ceil(bottom), 0.0, h);
    const QRect rect(int(left), int(top), int(right - left), int(bottom - top));
    return rect.isEmpty() ? QRect() : rect;
}

QImage ImageCrop::cut(const QImage &image, const QRectF &crop)
{
    if (image.isNull() || isFull(crop))
        return image;
    const QRect rect = pixelRect(image.size(), crop);
    if (rect.isEmpty())
        return image;
    QImage part = image.copy(rect);
    return part.isNull() ? image : part;
}
