#include "app/canvas/PrintGeometry.h"

#include "core/Geometry.h"
#include "core/PhotoFrame.h"

#include <algorithm>
#include <cmath>

namespace PrintGeometry {

QPointF CanvasCoords::toScene(QPointF collage) const
{
    return QPointF(collage.x() - screenOrigin.x(), viewHeight - (collage.y() - screenOrigin.y()));
}

QPointF CanvasCoords::toCollage(QPointF scene) const
{
    return QPointF(scene.x() + screenOrigin.x(), viewHeight - scene.y() + screenOrigin.y());
}

QTransform CanvasCoords::contentTransform() const
{
    return QTransform(1, 0, 0, -1, -screenOrigin.x(), viewHeight + screenOrigin.y());
}

Pose Pose::of(const PhotoItem &item)
{
    return Pose{item.center, item.size, item.rotation, item.flipH ? -1.0 : 1.0, item.flipV ? -1.0 : 1.0};
}

bool operator==(const Pose &a, const Pose &b)
{
    return exactlyEqual(a.center, b.center) && exactlyEqual(a.size, b.size) && a.rotation == b.rotation
        && a.flipX == b.flipX && a.flipY == b.flipY;
}

Pose interpolate(const Pose &from, const Pose &to, double t)
{
    if (t >= 1.0)
        return to;
    const auto mix = [t](double a, double b) { return a + (b - a) * t; };
    return Pose{QPointF(mix(from.center.x(), to.center.x()), mix(from.center.y(), to.center.y())),
                QSizeF(mix(from.size.width(), to.size.width()), mix(from.size.height(), to.size.height())),
                mix(from.rotation, to.rotation), mix(from.flipX, to.flipX), mix(from.flipY, to.flipY)};
}

QTransform frameTransform(QPointF center, QSizeF size, double rotation)
{
    const QSizeF frame = PhotoFrame::frameSize(size);
    const double c = std::cos(rotation);
    const double s = std::sin(rotation);
    const double hx = frame.width() / 2;
    const double hy = frame.height() / 2;
    // Rotate about the frame's centre, then put that centre on `center`.
    return QTransform(c, s, -s, c, center.x() - c * hx + s * hy, center.y() - s * hx - c * hy);
}

QPointF toWorld(const PhotoItem &item, QPointF local)
{
    const double c = std::cos(item.rotation);
    const double s = std::sin(item.rotation);
    return QPointF(item.center.x() + local.x() * c - local.y() * s,
                   item.center.y() + local.x() * s + local.y() * c);
}

std::array<QPointF, 4> cornerWorld(const PhotoItem &item)
{
    const QSizeF frame = PhotoFrame::frameSize(item.size);
    const double hw = frame.width() / 2;
    const double hh = frame.height() / 2;
    return {toWorld(item, {-hw, -hh}), toWorld(item, {hw, -hh}), toWorld(item, {hw, hh}),
            toWorld(item, {-hw, hh})};
}

QPointF topMidWorld(const PhotoItem &item)
{
    return toWorld(item, {0, PhotoFrame::frameSize(item.size).height() / 2});
}

QPointF rotateHandleWorld(const PhotoItem &item)
{
    return toWorld(item, {0, PhotoFrame::frameSize(item.size).height() / 2 + rotateOffset});
}

bool contains(const PhotoItem &item, QPointF point)
{
    const QSizeF frame = PhotoFrame::frameSize(item.size);
    const double dx = point.x() - item.center.x();
    const double dy = point.y() - item.center.y();
    const double c = std::cos(item.rotation);
    const double s = std::sin(item.rotation);
    const double u = dx * c + dy * s;
    const double v = dy * c - dx * s;
    return std::abs(u) <= frame.width() / 2 && std::abs(v) <= frame.height() / 2;
}

std::optional<QUuid> hitTest(const CollageModel &model, QPointF point)
{
    const QList<PhotoItem> order = model.drawOrder();
    for (auto it = order.crbegin(); it != order.crend(); ++it) {
        if (contains(*it, point))
            return it->id;
    }
    return std::nullopt;
}

static bool within(QPointF a, QPointF b)
{
    return std::hypot(a.x() - b.x(), a.y() - b.y()) <= hitRadius;
}

DragMode handleAt(QPointF point, const PhotoItem &item)
{
    if (within(point, rotateHandleWorld(item)))
        return DragMode::rotate();
    const auto corners = cornerWorld(item);
    for (int i = 0; i < 4; ++i) {
        if (within(point, corners[size_t(i)]))
            return DragMode::resize(i);
    }
    return DragMode::none();
}

CaptionLayout captionLayout(QSizeF photoSize)
{
    const double m = PhotoFrame::matWidth(photoSize);
    const double strip = PhotoFrame::bottomFactor * m;
    const double f = std::min(std::max(strip * 0.34, 8.0), 15.0);
    return CaptionLayout{f, QRectF(m, (strip - 1.3 * f) / 2, photoSize.width(), 1.3 * f)};
}

QTransform flipTransform(QSizeF photoSize, double flipX, double flipY)
{
    return QTransform(flipX, 0, 0, flipY, (1 - flipX) * photoSize.width() / 2, (1 - flipY) * photoSize.height() / 2);
}

} // namespace PrintGeometry
