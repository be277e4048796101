#include "app/canvas/EmptyHintItem.h"

#include <QFontDatabase>
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

QRectF EmptyHintItem::boundingRect() const
{
    return QRectF(0, 0, width, height);
}

void EmptyHintItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    painter->setFont(font());
    painter->setPen(QColor::fromRgbF(1, 1, 1, 0.9f));
    painter->drawText(boundingRect(), Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, text);
}
