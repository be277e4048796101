#include "app/canvas/HandleItem.h"

#include <QPainter>
#include <QPen>

HandleItem::HandleItem(double size, QGraphicsItem *parent) : QGraphicsItem(parent), m_size(size)
{
    setZValue(10001);
}

void HandleItem::setBorder(const QColor &color, double width)
{
    m_border = color;
    m_borderWidth = width;
    update();
}

void HandleItem::setCenter(QPointF center)
{
    setPos(center - QPointF(m_size / 2, m_size / 2));
}

QPointF HandleItem::center() const
{
    return pos() + QPointF(m_size / 2, m_size / 2);
}

QRectF HandleItem::boundingRect() const
{
    return QRectF(0, 0, m_size, m_size);
}

void HandleItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    painter->setPen(Qt::NoPen);
    painter->setBrush(Qt::white);
    painter->drawEllipse(boundingRect());
    // The border lies inside the disc.
    const double inset = m_borderWidth / 2;
    painter->setBrush(Qt::NoBrush);
    painter->setPen(QPen(m_border, m_borderWidth));
    painter->drawEllipse(boundingRect().adjusted(inset, inset, -inset, -inset));
}
