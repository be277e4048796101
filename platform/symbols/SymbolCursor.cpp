#include "platform/symbols/SymbolCursor.h"

#include <QPainter>
#include <QPixmap>

namespace {

QImage silhouette(const QImage &glyph, const QColor &color)
{
    QImage copy = glyph.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&copy);
    painter.setCompositionMode(QPainter::CompositionMode_SourceAtop);
    painter.fillRect(copy.rect(), color);
    return copy;
}

} // namespace

QImage SymbolCursor::image(const Symbols &symbols, const QString &name)
{
    const QImage glyph = symbols.symbolImage(name, pointSize, Qt::black, SymbolWeight::Bold);
    if (glyph.isNull())
        return {};
    const QSizeF glyphSize = glyph.deviceIndependentSize();
    const QSizeF canvasSize(glyphSize.width() + rim, glyphSize.height() + rim);
    QImage canvas(canvasSize.toSize(), QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRectF(QPointF(0, 0), canvasSize), silhouette(glyph, Qt::white));
    painter.drawImage(QRectF(QPointF(rim / 2, rim / 2), glyphSize), silhouette(glyph, Qt::black));
    painter.end();
    return canvas;
}

QPointF SymbolCursor::hotSpot(const QImage &image)
{
    return QPointF(image.width() / 2.0, image.height() / 2.0);
}

QCursor SymbolCursor::cursor(const Symbols &symbols, const QString &name)
{
    const QImage art = image(symbols, name);
    if (art.isNull())
        return QCursor(Qt::CrossCursor);
    const QPointF hot = hotSpot(art);
    return QCursor(QPixmap::fromImage(art), int(hot.x()), int(hot.y()));
}
