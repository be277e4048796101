#pragma once

#include "core/CollageModel.h"

#include <QEvent>
#include <QImage>
#include <QList>
#include <QSize>
#include <QString>
#include <QTemporaryDir>
#include <QUuid>

#include <memory>
#include <optional>

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
// Hands `model` to `view` and makes every print anew.
void show(CollageView &view, const CollageModel &model);
// Selects and hovers as the pointer would, and shows the chrome for it.
void selectPrint(CollageView &view, const std::optional<QUuid> &id, const std::optional<QUuid> &hovered = {});
// A pointer event at a collage point, to the sub-pixel; any but a move is of the left button.
void sendMouse(CollageView &view, QEvent::Type type, QPointF collage, Qt::KeyboardModifiers modifiers = {},
               Qt::MouseButtons buttons = Qt::LeftButton);

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
