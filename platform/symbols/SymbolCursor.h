#pragma once

#include "platform/symbols/Symbols.h"

#include <optional>

// A cursor made of a symbol: the bold symbol at point size 15 (sw × sh) on a canvas of
// (sw + 5) × (sh + 5); first the symbol in white stretched over the whole canvas, then in
// black at its own size at (2.5, 2.5): a black glyph with a white rim that reads on any
// background. The hot spot is the canvas centre.
class SymbolCursor {
public:
    static constexpr qreal pointSize = 15;
    static constexpr qreal rim = 5;

    // Null when the symbol does not exist.
    static QImage image(const Symbols &symbols, const QString &name);
    static QPointF hotSpot(const QImage &image);
    // Qt's crosshair when the symbol does not exist.
    static QCursor cursor(const Symbols &symbols, const QString &name);
};
