#include "app/canvas/EmptyHintItem.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPainter>

EmptyHintItem::EmptyHintItem(QGraphicsItem *parent) : QGraphicsItem(parent)
{
    setZValue(9000);
}

QFont EmptyHintItem::font() const
{
    QFont f = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    f.setPixelSize(fontPixelSize);
    return f;
}

QString EmptyHintItem::displayText() const
{
    // The full-width plus echoes the button's symbol, but few Latin fonts have it, and an
    // empty box in its place would be worse than a plain plus.
    QString drawn = text;
    if (!QFontMetricsF(font()).inFontUcs4(0xFF0B))
        drawn.replace(QChar(0xFF0B), QLatin1Char('+'));
    return drawn;
}

QRectF EmptyHintItem::boundingRect() const
{
    return QRectF(0, 0, width, height);
}

void EmptyHintItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    painter->setFont(font());
    painter->setPen(QColor::fromRgbF(1, 1, 1, 0.9f));
    painter->drawText(boundingRect(), Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, displayText());
}
