#pragma once

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QRectF>
#include <QSizeF>

class QPainter;
class QPainterPath;

// Soft drop shadows drawn from cached, pre-blurred images: a blur per paint would cost far
// more than a frame allows with a hundred prints on screen. `blurRadius` follows the
// compositor convention where the Gaussian's standard deviation is half the radius.
namespace SoftShadow {

// Blurs an 8-bit alpha image in place with a Gaussian of the given standard deviation in
// pixels (three box passes per axis).
void blurAlpha(QImage &alpha8, double sigma);

// The blurred shadow of a rounded rectangle of `size` points at `scale` pixels per point,
// padded by the blur's reach on every side (so the rectangle starts at (reach, reach)).
QImage roundedRectShadow(QSizeF size, double radius, double blurRadius, const QColor &color, double scale);
// How far a shadow of that blur radius reaches beyond its shape, in points.
double reach(double blurRadius);

// Paints the shadow of the rounded rectangle `rect` as a nine-patch from a cache keyed by
// radius, blur, colour and device scale. The centre is left out: the opaque card covers it.
void paintRoundedRect(QPainter *painter, const QRectF &rect, double radius, double blurRadius, const QColor &color);

// Paints the blurred shadow of `shape` (in the painter's current coordinates) in device
// space: `offset` and `blurRadius` are device pixels and do not turn or scale with the shape,
// so the shadow falls straight down in the picture. Drawn once, never cached.
void paintDeviceShadow(QPainter *painter, const QPainterPath &shape, double blurRadius, QPointF offset,
                       const QColor &color);

} // namespace SoftShadow
