#pragma once

#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QUuid>

// The measures of a framed print, derived from the photo area's size. Frame space has its
// origin at the frame's bottom-left corner with y up.
namespace PhotoFrame {

struct Insets {
    double top = 0;
    double left = 0;
    double bottom = 0;
    double right = 0;
    friend bool operator==(const Insets &, const Insets &) = default;
};

inline constexpr double pinRadius = 9.0;
inline constexpr double matFactor = 0.05;
inline constexpr double minimumMat = 5.0;
inline constexpr double bottomFactor = 2.4;
inline constexpr double cornerFactor = 0.03;
inline constexpr double minimumCornerRadius = 3.0;
inline constexpr double pinGap = 3.0;

double matWidth(QSizeF size);
Insets mat(QSizeF size);
QSizeF frameSize(QSizeF size);
QRectF photoRect(QSizeF size);
double cornerRadius(QSizeF size);
QPointF pinCenter(QSizeF size);
int pinColorIndex(const QUuid &id, int count);

} // namespace PhotoFrame
