#pragma once

#include "app/canvas/DragMode.h"
#include "core/CollageModel.h"

#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QTransform>

#include <array>
#include <optional>

// Plain geometry of prints on the canvas, free of any widget. Collage coordinates are y-up
// with rotation counter-clockwise; frame space has its origin at a frame's bottom-left corner.
namespace PrintGeometry {

inline constexpr double handleSize = 11.0;
inline constexpr double rotateOffset = 26.0;
inline constexpr double hitRadius = 13.0;

// The one bridge between collage points (y-up, offset by the screen origin) and the
// scene/view points Qt uses (y-down, origin at the view's top-left).
struct CanvasCoords {
    QPointF screenOrigin;
    double viewHeight = 0.0;

    QPointF toScene(QPointF collage) const;
    QPointF toCollage(QPointF scene) const;
    // Maps collage points onto the scene; carried by the layer that holds all prints.
    QTransform contentTransform() const;
};

// The placement of one print: what the frame's transform and its children follow.
struct Pose {
    QPointF center;
    QSizeF size;
    double rotation = 0.0;
    double flipX = 1.0; // -1 mirrors the photo horizontally
    double flipY = 1.0;

    static Pose of(const PhotoItem &item);
    friend bool operator==(const Pose &a, const Pose &b);
};
Pose interpolate(const Pose &from, const Pose &to, double t);

// Frame space -> collage coordinates for a print at that pose.
QTransform frameTransform(QPointF center, QSizeF size, double rotation);

// A point given relative to the print's centre in unrotated, y-up terms, in collage coordinates.
QPointF toWorld(const PhotoItem &item, QPointF local);
std::array<QPointF, 4> cornerWorld(const PhotoItem &item);
QPointF topMidWorld(const PhotoItem &item);
QPointF rotateHandleWorld(const PhotoItem &item);

// The whole card counts, mat and bottom strip included; the boundary is inside.
bool contains(const PhotoItem &item, QPointF point);
// The topmost print (last in draw order) containing the point.
std::optional<QUuid> hitTest(const CollageModel &model, QPointF point);
// The rotate handle wins over corners; corners are tried in cornerWorld order.
DragMode handleAt(QPointF point, const PhotoItem &item);

struct CaptionLayout {
    double fontSize = 0.0;
    QRectF frame; // frame space
};
CaptionLayout captionLayout(QSizeF photoSize);

// The mirror of the photo about its centre, in its own y-up coordinates.
QTransform flipTransform(QSizeF photoSize, double flipX, double flipY);

} // namespace PrintGeometry
