#pragma once

#include "core/PhotoItem.h"

#include <QImage>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>

class QPainter;

// The one way a print's parts are drawn, shared by the canvas items and the off-screen
// renderer, so that an exported picture shows what the desktop shows.
namespace PrintPainter {

// The photo filling a photo area of `size` (aspect kept, centred, the excess cut) with
// corners of cornerRadius / 2. The painter is in the photo's y-up space, origin bottom-left.
void paintPhoto(QPainter *painter, const QImage &image, QSizeF size, double cornerRadius);

// The caption as one centred line in `line` (a y-down rectangle), cut with an ellipsis at
// its end. The painter's device must count 72 dots per inch, so that a point is a pixel.
void paintCaptionLine(QPainter *painter, const QRectF &line, const QString &text, double fontSize);
QString elidedCaption(const QString &text, double fontSize, double width);

// A whole print as a picture of it shows it: its card's and pin's shadows fall straight down
// in device pixels whatever the print's rotation and the painter's scale. The painter is in
// collage points (y up) with `origin` at its origin; a null photo leaves the card white.
void paintPrint(QPainter *painter, const PhotoItem &item, const QImage &photo, QPointF origin);

} // namespace PrintPainter
