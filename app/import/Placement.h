#pragma once

#include "platform/images/ImageMetadata.h"

#include <QList>
#include <QLocale>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <optional>

class QRandomGenerator;

// Where a new photo goes, how large it starts and what its caption says: plain functions
// over values, so the import itself only gathers the input and applies the result.
namespace Placement {

inline constexpr double longerSide = 360;
inline const QSizeF fallbackSize(320, 240);
inline constexpr int candidates = 48;

// A uniform draw from the closed interval [from, to].
double uniform(QRandomGenerator &random, double from, double to);

// A free spot for a frame of that size in a container (canvas coordinates), kept 80 points
// from the edges where there is room: the first of up to 48 random candidates that overlaps
// nothing, else the one that overlaps least.
QPointF randomPlacement(QSizeF frame, QSizeF container, const QList<QRectF> &occupied, QRandomGenerator &random);

// The longer side 360 points, upright by the Exif orientation; 320 × 240 when the file gives
// no believable pixel size.
QSizeF defaultSize(const ImageMetadata &metadata);

// "July 2021" from the capture date (else the TIFF date), with the month named as it stands
// alone in the locale's language ("июль 2021", not the genitive of a full date).
std::optional<QString> photoDateText(const ImageMetadata &metadata, const QLocale &locale = QLocale());

// The unrotated outer frame of a photo of that size centred there.
QRectF outerFrame(QSizeF size, QPointF center);

} // namespace Placement
