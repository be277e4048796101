#pragma once

#include <QColor>
#include <QList>
#include <QUuid>

// The push-pin colours; a print's colour follows from its id alone, so it never changes.
namespace PinPalette {

// red, blue, yellow, green (sRGB, opaque), built once.
const QList<QColor> &colors();
QColor colorFor(const QUuid &id);

} // namespace PinPalette
