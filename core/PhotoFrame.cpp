#include "core/PhotoFrame.h"

#include <algorithm>

namespace PhotoFrame {

static double shorterSide(QSizeF size)
{
    return size.height() < size.width() ? size.height() : size.width();
}

double matWidth(QSizeF size)
{
    return std::max(shorterSide(size) * matFactor, minimumMat);
}

Insets mat(QSizeF size)
{
    const double m = matWidth(size);
    return Insets{m, m, bottomFactor * m, m};
}

QSizeF frameSize(QSizeF size)
{
    const double m = matWidth(size);
    return QSizeF(size.width() + 2 * m, size.height() + m + bottomFactor * m);
}

QRectF photoRect(QSizeF size)
{
    const double m = matWidth(size);
    return QRectF(m, bottomFactor * m, size.width(), size.height());
}

double cornerRadius(QSizeF size)
{
    return std::max(shorterSide(size) * cornerFactor, minimumCornerRadius);
}

QPointF pinCenter(QSizeF size)
{
    const QSizeF frame = frameSize(size);
    return QPointF(frame.width() / 2, frame.height() - pinRadius - pinGap);
}

int pinColorIndex(const QUuid &id, int count)
{
    const int firstByte = int(id.toRfc4122().at(0)) & 0xFF;
    return firstByte % std::max(count, 1);
}

} // namespace PhotoFrame
