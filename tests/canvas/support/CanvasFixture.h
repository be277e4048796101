#pragma once

#include "core/CollageModel.h"

#include <QImage>
#include <QList>
#include <QSize>
#include <QString>
#include <QTemporaryDir>

#include <memory>

class CollageView;
class FakePlatform;

// A fake platform for canvas tests, a temporary collage folder and pictures to put in it.
namespace CanvasFixture {

// Installs a fresh FakePlatform (real file decoding, counted) and returns it.
FakePlatform &installFakePlatform();

// A photo-like test image: a colour gradient with a marker in its top-left quarter, so
// flips and crops are visible.
QImage testImage(QSize size, QColor tint = QColor(70, 130, 200));
// Writes `image` as a JPEG (or by the name's extension) into `dir`; returns the file name.
QString writeImage(const QTemporaryDir &dir, const QString &name, const QImage &image);

// A canvas of the given size, shown offscreen so it has a real viewport.
std::unique_ptr<CollageView> makeView(QSize size = QSize(1440, 900));

// An edit the canvas handed out through onEdit.
struct Edit {
    CollageModel model;
    QString name;
};
// Appends every edit `view` hands out to `edits`.
void recordEdits(CollageView &view, QList<Edit> &edits);

// Waits until no decode is outstanding and every print is on screen.
bool waitForImages(const CollageView &view, int timeoutMs = 10000);

// Points equal up to rounding.
bool near(QPointF a, QPointF b, double tolerance = 1e-6);

} // namespace CanvasFixture
