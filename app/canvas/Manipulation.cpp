#include "app/canvas/Manipulation.h"

#include "core/PhotoFrame.h"

#include <algorithm>
#include <cmath>

namespace Manipulation {

namespace {

struct AxisSnap {
    double offset = 0;
    std::optional<double> line;
};

AxisSnap snapAxis(const double (&positions)[3], const QList<double> &lines, double threshold)
{
    AxisSnap best;
    double bestDistance = threshold;
    for (double position : positions) {
        for (double line : lines) {
            const double distance = std::abs(position - line);
            if (distance < bestDistance) {
                bestDistance = distance;
                best.offset = line - position;
                best.line = line;
            }
        }
    }
    return best;
}

} // namespace

Snap snapCenter(QPointF proposed, QSizeF frame, const QList<PhotoItem> &items, const QUuid &itemID,
                QRectF canvas, double threshold)
{
    QList<double> vertical{canvas.x() + canvas.width() / 2};
    QList<double> horizontal{canvas.y() + canvas.height() / 2};
    vertical.reserve(1 + 3 * items.size());
    horizontal.reserve(1 + 3 * items.size());
    for (const PhotoItem &other : items) {
        if (other.id == itemID)
            continue;
        const QSizeF f = PhotoFrame::frameSize(other.size);
        const double cx = other.center.x(), cy = other.center.y();
        vertical << cx - f.width() / 2 << cx << cx + f.width() / 2;
        horizontal << cy - f.height() / 2 << cy << cy + f.height() / 2;
    }

    const double cx = proposed.x(), cy = proposed.y();
    const double xs[3] = {cx - frame.width() / 2, cx, cx + frame.width() / 2};
    const double ys[3] = {cy - frame.height() / 2, cy, cy + frame.height() / 2};
    const AxisSnap x = snapAxis(xs, vertical, threshold);
    const AxisSnap y = snapAxis(ys, horizontal, threshold);
    return Snap{QPointF(cx + x.offset, cy + y.offset), x.line, y.line};
}

Resize resizeAboutAnchor(QSizeF baseSize, double rotation, QPointF anchor, QPointF pointer)
{
    const QSizeF baseFrame = PhotoFrame::frameSize(baseSize);
    const double c = std::cos(rotation), s = std::sin(rotation);
    const double dx = pointer.x() - anchor.x(), dy = pointer.y() - anchor.y();
    const double u = dx * c + dy * s;
    const double v = dy * c - dx * s;

    double k = std::max(std::abs(u) / std::max(baseFrame.width(), 1.0), std::abs(v) / std::max(baseFrame.height(), 1.0));
    k = std::max(k, 0.05);
    const QSizeF size(std::max(baseSize.width() * k, minimumSide), std::max(baseSize.height() * k, minimumSide));

    const QSizeF frame = PhotoFrame::frameSize(size);
    const double sx = u >= 0 ? frame.width() / 2 : -frame.width() / 2;
    const double sy = v >= 0 ? frame.height() / 2 : -frame.height() / 2;
    return Resize{size, QPointF(anchor.x() + sx * c - sy * s, anchor.y() + sx * s + sy * c)};
}

Rotation rotationToward(QPointF center, QPointF pointer, bool stepped)
{
    double angle = std::atan2(pointer.y() - center.y(), pointer.x() - center.x()) - M_PI / 2;
    if (!stepped)
        return Rotation{angle, std::nullopt};
    const int step = int(std::trunc(angle / rotationStep));
    angle = step * rotationStep;
    return Rotation{angle, step};
}

QSizeF pinchSize(QSizeF base, double magnification)
{
    const double k = std::max(1 + magnification, 0.1);
    return QSizeF(std::max(base.width() * k, minimumSide), std::max(base.height() * k, minimumSide));
}

QSizeF scaleStep(QSizeF size, bool larger)
{
    const double k = larger ? 1.05 : 1 / 1.05;
    return QSizeF(std::max(size.width() * k, minimumSide), std::max(size.height() * k, minimumSide));
}

int wholeDegrees(double radians)
{
    // A 15-degree step is 29.999999999999996 degrees after the round trip through radians:
    // count values that close to a whole degree as that degree, or the panel shows 29°.
    double exact = radians * 180 / M_PI;
    if (std::abs(exact - std::round(exact)) < 1e-9)
        exact = std::round(exact);
    const double degrees = std::trunc(exact);
    if (!std::isfinite(degrees))
        return 0;
    return int(std::clamp(degrees, -2147483647.0, 2147483647.0));
}

int wholeDegrees360(double radians)
{
    const int remainder = wholeDegrees(radians) % 360;
    return remainder < 0 ? remainder + 360 : remainder;
}

QString sizeText(QSizeF size)
{
    // Fraction dropped; clamped so absurd sizes read from a file cannot overflow the cast.
    const auto whole = [](double v) { return std::isfinite(v) ? qint64(std::clamp(std::trunc(v), -1e15, 1e15)) : 0; };
    return QStringLiteral("%1 × %2").arg(whole(size.width())).arg(whole(size.height()));
}

QString angleText(double radians)
{
    return QStringLiteral("%1°").arg(wholeDegrees360(radians));
}

} // namespace Manipulation
