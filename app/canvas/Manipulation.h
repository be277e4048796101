#pragma once

#include "core/PhotoItem.h"

#include <QList>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QUuid>

#include <optional>

// The geometry of direct manipulation, as plain functions over values in collage
// coordinates (y up, radians counter-clockwise), so it is testable without a window.
namespace Manipulation {

inline constexpr double snapThreshold = 8.0;
inline constexpr double minimumSide = 20.0;
inline constexpr double rotationStep = 3.14159265358979323846 / 12; // 15 degrees

struct Snap {
    QPointF center;
    std::optional<double> vLine; // x of the vertical guide
    std::optional<double> hLine; // y of the horizontal guide
};

// Snaps a moving print's left/centre/right and bottom/centre/top to the canvas's centre
// lines and to the unrotated frames of the other items, within the threshold. The closest
// pair wins; on a tie the earlier one (print position order, then line order) does.
Snap snapCenter(QPointF proposed, QSizeF frame, const QList<PhotoItem> &items, const QUuid &itemID,
                QRectF canvas, double threshold = snapThreshold);

struct Resize {
    QSizeF size;
    QPointF center;
};

// Scales about the fixed opposite corner: the frame keeps a corner at the anchor and lies on
// the pointer's side of it, so dragging past the anchor moves the print over, never mirrors it.
Resize resizeAboutAnchor(QSizeF baseSize, double rotation, QPointF anchor, QPointF pointer);

struct Rotation {
    double angle;
    std::optional<int> step; // the 15-degree step while Shift is held
};

// The angle that turns the print's top edge towards the pointer; with Shift in whole steps.
Rotation rotationToward(QPointF center, QPointF pointer, bool stepped);

// A pinch: both sides scaled by max(1 + magnification, 0.1), each at least 20.
QSizeF pinchSize(QSizeF base, double magnification);
// The "+"/"-" keys: each side times 1.05 or divided by it, each at least 20.
QSizeF scaleStep(QSizeF size, bool larger);

// Whole degrees brought into 0...359 ("345°" for -15.4°).
int wholeDegrees360(double radians);
// Whole degrees towards zero, not wrapped.
int wholeDegrees(double radians);
QString sizeText(QSizeF size);      // "320 × 240"
QString angleText(double radians);  // "345°"

} // namespace Manipulation
