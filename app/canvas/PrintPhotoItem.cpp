#include "app/canvas/PrintPhotoItem.h"

#include "app/canvas/PrintGeometry.h"
#include "app/canvas/PrintItem.h"
#include "app/canvas/PrintPainter.h"
#include "core/Geometry.h"

#include <QPainter>

#include <algorithm>

PrintPhotoItem::PrintPhotoItem(QGraphicsItem *parent) : QGraphicsItem(parent) {}

void PrintPhotoItem::setGeometry(QSizeF size, double cornerRadius, double flipX, double flipY)
{
    if (!exactlyEqual(size, m_size))
        prepareGeometryChange();
    const bool changed = !exactlyEqual(size, m_size) || cornerRadius != m_radius || flipX != m_flipX || flipY != m_flipY;
    m_size = size;
    m_radius = cornerRadius;
    m_flipX = flipX;
    m_flipY = flipY;
    setTransform(PrintGeometry::flipTransform(size, flipX, flipY));
    if (changed)
        PrintItem::partChanged(this);
}

void PrintPhotoItem::setImage(const QImage &image)
{
    m_image = image;
    m_content = image.isNull() ? Content::none : Content::image;
    PrintItem::partChanged(this);
}

void PrintPhotoItem::showPlaceholder()
{
    m_image = QImage();
    m_content = Content::placeholder;
    PrintItem::partChanged(this);
}

void PrintPhotoItem::clearContents()
{
    m_image = QImage();
    m_content = Content::none;
    PrintItem::partChanged(this);
}

QColor PrintPhotoItem::placeholderColor()
{
    // A faint grey that reads on the white card whatever the desktop's colour scheme.
    return QColor(0, 0, 0, 26);
}

QRectF PrintPhotoItem::boundingRect() const
{
    return QRectF(QPointF(0, 0), m_size);
}

void PrintPhotoItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    if (m_content == Content::none || m_size.isEmpty())
        return;
    painter->setPen(Qt::NoPen);
    if (m_content == Content::placeholder) {
        // A faint grey on white shows no stair steps: spare the costlier antialiased fill.
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing, false);
        painter->setBrush(placeholderColor());
        painter->drawRoundedRect(boundingRect(), m_radius / 2, m_radius / 2);
        painter->restore();
        return;
    }
    PrintPainter::paintPhoto(painter, m_image, m_size, m_radius);
}
