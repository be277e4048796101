#pragma once

#include <QPointF>
#include <QRectF>
#include <QSize>
#include <QSizeF>

#include <array>

// The crop editor's arithmetic over values, in the widget's top-down coordinates. A crop is
// exchanged with the rest of the program normalised: fractions of the image's width and
// height from its top-left corner, as a photo's cropRect holds it.
namespace CropGeometry {

inline constexpr double sideMargin = 90;   // left, right and above the image
inline constexpr double buttonBar = 76;    // below it, for the buttons
inline constexpr double handleRadius = 8;
inline constexpr double grabRadius = 16;   // twice the drawn handle
inline constexpr double minimumSide = 40;

// Corners in this order: 0 bottom-left, 1 bottom-right, 2 top-right, 3 top-left.
struct Drag {
    enum Kind { None, Move, Corner } kind = None;
    int corner = 0;
    friend bool operator==(const Drag &, const Drag &) = default;
};

// Where the whole image is drawn: scaled to fit the space left by the margins and the
// button bar (raised by a panel at the bottom edge), centred in it.
QRectF imageRect(QSizeF view, QSize imagePixels, double bottomInset = 0);

QRectF viewCrop(const QRectF &normalised, const QRectF &imageRect);
QRectF normalisedCrop(const QRectF &crop, const QRectF &imageRect);
// A stored crop made usable: cut to the image, and the whole image when nothing of it is left
// (a hand-edited layout can hold anything).
QRectF sanitised(const QRectF &normalised);

std::array<QPointF, 4> corners(const QRectF &rect);
// What a press at p grabs: the first corner within the grab radius, else the inside.
Drag grab(const QRectF &crop, QPointF p);
// The crop after dragging by delta from where the drag began: a move slides along the image's
// edges; a corner moves its two edges, clamped to the image, and a change that would leave a
// side under 40 points keeps the current crop.
QRectF dragged(const Drag &drag, const QRectF &cropStart, QPointF delta, const QRectF &imageRect,
               const QRectF &current);

// The print's new size: the crop's aspect ratio in pixels, keeping the longer side.
QSizeF committedSize(QSizeF size, const QRectF &normalised, QSize imagePixels);

} // namespace CropGeometry
