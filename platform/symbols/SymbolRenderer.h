#pragma once

#include "platform/symbols/Symbols.h"

// Draws our own symbol art (SVG in the resources) at any size, weight and colour.
class SymbolRenderer {
public:
    static bool exists(const QString &name);
    // A square image sidePixels wide; null for an unknown name or a non-positive size.
    static QImage render(const QString &name, int sidePixels, const QColor &color, SymbolWeight weight);
    // The image for Symbols::symbolImage().
    static QImage image(const QString &name, qreal pointSize, const QColor &color, SymbolWeight weight,
                        qreal devicePixelRatio);
};
