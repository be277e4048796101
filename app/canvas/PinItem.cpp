#include "app/canvas/PinItem.h"

#include "app/canvas/PrintItem.h"
#include "app/canvas/SoftShadow.h"

#include <QCache>
#include <QGraphicsEllipseItem>
#include <QPainter>
#include <QPen>
#include <QPixmap>

#include <cmath>

namespace {

constexpr double shadowBlur = 2.5;
constexpr double shadowOffsetY = -1.5; // y-up: below the pin
constexpr double highlightSize = 9.0;
const QPointF highlightCenter(6.12, 11.52);

const QPixmap &shadowPixmap(double scale)
{
    static QCache<int, QPixmap> cache(8);
    const int key = int(std::lround(scale * 8));
    if (QPixmap *hit = cache.object(key))
        return *hit;
    const double s = key / 8.0;
    auto *pixmap = new QPixmap(QPixmap::fromImage(SoftShadow::roundedRectShadow(
        QSizeF(PinItem::diameter, PinItem::diameter), PinItem::diameter / 2, shadowBlur, QColor(0, 0, 0, 128), s)));
    pixmap->setDevicePixelRatio(s);
    cache.insert(key, pixmap);
    return *cache.object(key);
}

} // namespace

PinItem::PinItem(QGraphicsItem *parent) : QGraphicsItem(parent), m_highlight(new QGraphicsEllipseItem(this))
{
    m_highlight->setRect(0, 0, highlightSize, highlightSize);
    m_highlight->setPos(highlightCenter - QPointF(highlightSize / 2, highlightSize / 2));
    m_highlight->setPen(Qt::NoPen);
    m_highlight->setBrush(QColor::fromRgbF(1, 1, 1, 0.5f));
    setZValue(10);
}

void PinItem::setColor(const QColor &color)
{
    m_color = color;
    PrintItem::partChanged(this);
}

void PinItem::setCenter(QPointF center)
{
    setPos(center - QPointF(diameter / 2, diameter / 2));
}

QPointF PinItem::center() const
{
    return pos() + QPointF(diameter / 2, diameter / 2);
}

QRectF PinItem::boundingRect() const
{
    const double pad = SoftShadow::reach(shadowBlur);
    return QRectF(-pad, -pad + shadowOffsetY, diameter + 2 * pad, diameter + 2 * pad);
}

void PinItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    const double scale = std::max(1.0, std::sqrt(std::abs(painter->deviceTransform().determinant())));
    const QPixmap &shadow = shadowPixmap(scale);
    const double pad = SoftShadow::reach(shadowBlur);
    painter->drawPixmap(QRectF(-pad, -pad + shadowOffsetY, shadow.width() / shadow.devicePixelRatio(),
                               shadow.height() / shadow.devicePixelRatio()),
                        shadow, QRectF(shadow.rect()));
    painter->setBrush(m_color);
    painter->setPen(Qt::NoPen);
    painter->drawEllipse(QRectF(0, 0, diameter, diameter));
    // The rim lies inside the disc's bounds.
    painter->setBrush(Qt::NoBrush);
    painter->setPen(QPen(QColor::fromRgbF(0, 0, 0, 0.15f), 0.5));
    painter->drawEllipse(QRectF(0.25, 0.25, diameter - 0.5, diameter - 0.5));
}
