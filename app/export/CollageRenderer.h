#pragma once

#include "core/CollageModel.h"

#include <QByteArray>
#include <QHash>
#include <QImage>
#include <QPointF>
#include <QSizeF>
#include <QString>
#include <QUuid>

#include <optional>

class RecentPhotos;

// Draws a collage off screen the way the desktop shows it. Safe on any thread.
namespace CollageRenderer {

struct Request {
    CollageModel model;
    QSizeF size;  // the canvas, in points
    QPointF origin;
    double scale = 1.0; // pixels per point
    QString baseDir;    // the collage's folder
    QImage background;  // drawn to cover the canvas, centred; none leaves it transparent
    // Photos already decoded (by the canvas), by print; the rest are read from baseDir.
    QHash<QUuid, QImage> shownPhotos;
};

// Call once from the application's thread before rendering on other threads.
void prepare();

// The picture in premultiplied ARGB, size × scale pixels (truncated); null under one pixel.
QImage render(const Request &request, RecentPhotos *photos = nullptr);
// render() encoded as PNG; nothing when it cannot be drawn or encoded.
std::optional<QByteArray> renderPNG(const Request &request, RecentPhotos *photos = nullptr);

} // namespace CollageRenderer
