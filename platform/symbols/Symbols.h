#pragma once

#include <QColor>
#include <QCursor>
#include <QIcon>
#include <QImage>
#include <QString>

enum class SymbolWeight { Regular, Bold };

enum class CursorShape {
    Arrow,
    OpenHand,
    ClosedHand,
    Crosshair,
    Resize, // the diagonal double arrow over a print's corner handles
    Rotate, // the circling arrows over a print's rotate handle
};

// Named symbols ("photo.badge.plus", "checkmark", …) as images and icons, and the cursors.
// Symbols are drawn as single-colour line art on a square; a symbol at point size p covers
// about p × p of that square, which is symbolSide(p) wide. Unknown names give null results.
class Symbols {
public:
    static qreal symbolSide(qreal pointSize) { return pointSize * 4.0 / 3.0; }

    virtual ~Symbols();

    virtual bool hasSymbol(const QString &name) const = 0;
    // An image of symbolSide(pointSize) device-independent pixels, rendered at devicePixelRatio.
    virtual QImage symbolImage(const QString &name, qreal pointSize, const QColor &color,
                               SymbolWeight weight = SymbolWeight::Regular, qreal devicePixelRatio = 1.0) const = 0;
    // For buttons and menus. Without a colour the icon follows the palette (and may come from
    // the desktop's icon theme); with one it is always our own drawing in that colour.
    virtual QIcon symbolIcon(const QString &name, const QColor &color = QColor()) const = 0;
    // Qt's own cursors, and the symbol cursors drawn from this catalogue's symbols.
    virtual QCursor cursor(CursorShape shape) const;
};
