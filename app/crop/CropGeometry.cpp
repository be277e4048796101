#include "app/crop/CropGeometry.h"

#include <QLineF>

#include <algorithm>
#include <cmath>

namespace CropGeometry {

QRectF imageRect(QSizeF view, QSize imagePixels, double bottomInset)
{
    const double bottom = std::max(bottomInset, 0.0) + buttonBar;
    const QRectF area(sideMargin, sideMargin, std::max(view.width() - 2 * sideMargin, 1.0),
                      view.height() - bottom - sideMargin);
    if (imagePixels.isEmpty() || area.height() <= 0)
        return QRectF(area.center(), QSizeF(0, 0));
    const double scale = std::min(area.width() / imagePixels.width(), area.height() / imagePixels.height());
    QRectF rect(QPointF(0, 0), QSizeF(imagePixels) * scale);
    rect.moveCenter(area.center());
    return rect;
}

QRectF viewCrop(const QRectF &n, const QRectF &ir)
{
    return QRectF(ir.left() + n.x() * ir.width(), ir.top() + n.y() * ir.height(), n.width() * ir.width(),
                  n.height() * ir.height());
}

QRectF normalisedCrop(const QRectF &v, const QRectF &ir)
{
    if (ir.width() <= 0 || ir.height() <= 0)
        return QRectF(0, 0, 1, 1);
    return QRectF((v.left() - ir.left()) / ir.width(), (v.top() - ir.top()) / ir.height(), v.width() / ir.width(),
                  v.height() / ir.height());
}

QRectF sanitised(const QRectF &n)
{
    const QRectF whole(0, 0, 1, 1);
    if (!std::isfinite(n.x()) || !std::isfinite(n.y()) || !std::isfinite(n.width()) || !std::isfinite(n.height()))
        return whole;
    const QRectF cut = n.normalized().intersected(whole);
    return cut.width() > 0 && cut.height() > 0 ? cut : whole;
}

std::array<QPointF, 4> corners(const QRectF &r)
{
    return {r.bottomLeft(), r.bottomRight(), r.topRight(), r.topLeft()};
}

Drag grab(const QRectF &crop, QPointF p)
{
    const std::array<QPointF, 4> points = corners(crop);
    for (int i = 0; i < 4; ++i) {
        if (QLineF(points[size_t(i)], p).length() <= grabRadius)
            return {Drag::Corner, i};
    }
    return {crop.contains(p) ? Drag::Move : Drag::None, 0};
}

QRectF dragged(const Drag &drag, const QRectF &start, QPointF d, const QRectF &ir, const QRectF &current)
{
    switch (drag.kind) {
    case Drag::None:
        return current;
    case Drag::Move: {
        const QRectF r = start.translated(d);
        const double x = std::min(std::max(r.left(), ir.left()), ir.right() - r.width());
        const double y = std::min(std::max(r.top(), ir.top()), ir.bottom() - r.height());
        return QRectF(x, y, start.width(), start.height());
    }
    case Drag::Corner:
        break;
    }
    double left = start.left(), right = start.right(), top = start.top(), bottom = start.bottom();
    (drag.corner == 0 || drag.corner == 3 ? left : right) += d.x();
    (drag.corner == 0 || drag.corner == 1 ? bottom : top) += d.y();
    left = std::max(left, ir.left());
    right = std::min(right, ir.right());
    top = std::max(top, ir.top());
    bottom = std::min(bottom, ir.bottom());
    if (right - left < minimumSide || bottom - top < minimumSide)
        return current;
    return QRectF(left, top, right - left, bottom - top);
}

QSizeF committedSize(QSizeF size, const QRectF &n, QSize imagePixels)
{
    const double a = (imagePixels.width() * n.width()) / std::max(imagePixels.height() * n.height(), 1.0);
    const double longer = std::max(size.width(), size.height());
    return a >= 1 ? QSizeF(longer, longer / a) : QSizeF(longer * a, longer);
}

} // namespace CropGeometry
