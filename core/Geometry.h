#pragma once

#include <QPointF>
#include <QRectF>
#include <QSizeF>

// Exact comparisons: NaN never equals anything, no fuzziness.
inline bool exactlyEqual(const QPointF &a, const QPointF &b) { return a.x() == b.x() && a.y() == b.y(); }
inline bool exactlyEqual(const QSizeF &a, const QSizeF &b)
{
    return a.width() == b.width() && a.height() == b.height();
}
inline bool exactlyEqual(const QRectF &a, const QRectF &b)
{
    return a.x() == b.x() && a.y() == b.y() && a.width() == b.width() && a.height() == b.height();
}
