#include "app/canvas/OutlineItem.h"

#include <QPainter>
#include <QPen>

namespace {
constexpr double shadowRadius = 1.0;
}

OutlineItem::OutlineItem(QGraphicsItem *parent) : QGraphicsPathItem(parent)
{
    setBrush(Qt::NoBrush);
    setZValue(10000);
}

QRectF OutlineItem::boundingRect() const
{
    const double grow = pen().widthF() / 2 + 2 * shadowRadius + 1;
    return path().controlPointRect().adjusted(-grow, -grow, grow, grow);
}

void OutlineItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    size_t key = qHashMulti(0, pen().color().rgba(), pen().widthF());
    const QPainterPath &p = path();
    for (int i = 0; i < p.elementCount(); ++i)
        key = qHashMulti(key, p.elementAt(i).x, p.elementAt(i).y, int(p.elementAt(i).type));
    m_raster.paint(painter, boundingRect(), key, [this](QPainter *raster) { stroke(raster); });
}

void OutlineItem::stroke(QPainter *painter) const
{
    const QPainterPath &p = path();
    painter->setBrush(Qt::NoBrush);
    QPen halo = pen();
    halo.setJoinStyle(Qt::MiterJoin);
    // Two widening dark strokes stand in for a blurred shadow of opacity 0.5.
    for (const auto &[extra, alpha] : {std::pair{2 * shadowRadius, 0.15}, std::pair{shadowRadius, 0.25}}) {
        halo.setColor(QColor::fromRgbF(0, 0, 0, float(alpha)));
        halo.setWidthF(pen().widthF() + 2 * extra);
        painter->setPen(halo);
        painter->drawPath(p);
    }
    QPen line = pen();
    line.setJoinStyle(Qt::MiterJoin);
    painter->setPen(line);
    painter->drawPath(p);
}
