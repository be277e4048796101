#include "app/canvas/PrintItem.h"

#include "app/canvas/CaptionItem.h"
#include "app/canvas/PinItem.h"
#include "app/canvas/PrintPhotoItem.h"
#include "app/canvas/SoftShadow.h"
#include "core/Geometry.h"
#include "core/PhotoFrame.h"

#include <QEasingCurve>
#include <QGraphicsEllipseItem>
#include <QStyleOptionGraphicsItem>
#include <QPainter>
#include <QPainterPath>
#include <QVariantAnimation>

namespace {

// The compositor's ease-in-ease-out timing curve.
QEasingCurve easeInEaseOut()
{
    QEasingCurve curve(QEasingCurve::BezierSpline);
    curve.addCubicBezierSegment(QPointF(0.42, 0.0), QPointF(0.58, 1.0), QPointF(1.0, 1.0));
    return curve;
}

} // namespace

PrintItem::PrintItem(const QUuid &id, QGraphicsItem *parent)
    : QGraphicsObject(parent), m_id(id), m_photo(new PrintPhotoItem(this)), m_pin(new PinItem(this)),
      m_caption(new CaptionItem(this))
{
    // The parts are drawn by paintPrint(), in their stacking order, not by the scene.
    for (QGraphicsItem *part : {static_cast<QGraphicsItem *>(m_photo), static_cast<QGraphicsItem *>(m_pin),
                                static_cast<QGraphicsItem *>(m_pin->highlight()), static_cast<QGraphicsItem *>(m_caption)})
        part->setFlag(ItemHasNoContents);
}

void PrintItem::setRasterCached(bool cached)
{
    m_rasterCached = cached;
    if (!cached)
        m_raster.clear();
}

PrintItem::~PrintItem() = default;

void PrintItem::setPose(const PrintGeometry::Pose &pose)
{
    if (m_animation)
        m_animation->stop();
    m_target = pose;
    show(pose);
}

void PrintItem::animateTo(const PrintGeometry::Pose &pose)
{
    if (!m_animation) {
        m_animation = new QVariantAnimation(this);
        m_animation->setDuration(animationMs);
        m_animation->setStartValue(0.0);
        m_animation->setEndValue(1.0);
        m_animation->setEasingCurve(easeInEaseOut());
        connect(m_animation, &QVariantAnimation::valueChanged, this, [this](const QVariant &value) {
            show(PrintGeometry::interpolate(m_from, m_target, value.toDouble()));
        });
        // In motion the print may have been copied onto whole pixels; at rest it is drawn
        // at its exact position.
        connect(m_animation, &QVariantAnimation::finished, this, [this] { update(); });
    }
    m_animation->stop();
    if (pose == m_shown) {
        m_target = pose;
        return;
    }
    m_from = m_shown;
    m_target = pose;
    m_animation->start();
}

bool PrintItem::isAnimating() const
{
    return m_animation && m_animation->state() == QAbstractAnimation::Running;
}

void PrintItem::show(const PrintGeometry::Pose &pose)
{
    const bool resized = !exactlyEqual(pose.size, m_shown.size) || m_frame.isEmpty();
    if (resized) {
        prepareGeometryChange();
        m_frame = PhotoFrame::frameSize(pose.size);
        m_radius = PhotoFrame::cornerRadius(pose.size);
    }
    m_shown = pose;
    setTransform(PrintGeometry::frameTransform(pose.center, pose.size, pose.rotation));
    const QRectF photoRect = PhotoFrame::photoRect(pose.size);
    m_photo->setPos(photoRect.topLeft());
    m_photo->setGeometry(pose.size, m_radius, pose.flipX, pose.flipY);
    m_pin->setCenter(PhotoFrame::pinCenter(pose.size));
    m_caption->setLayout(PrintGeometry::captionLayout(pose.size));
    if (resized)
        emit shownSizeChanged(m_id);
}

QRectF PrintItem::boundingRect() const
{
    const double pad = SoftShadow::reach(shadowBlur);
    return QRectF(-pad, -pad + shadowOffsetY, m_frame.width() + 2 * pad, m_frame.height() + 2 * pad);
}

QPainterPath PrintItem::shape() const
{
    QPainterPath path;
    path.addRect(QRectF(QPointF(0, 0), m_frame));
    return path;
}

void PrintItem::partChanged(QGraphicsItem *part)
{
    for (QGraphicsItem *item = part->parentItem(); item; item = item->parentItem()) {
        if (item->type() == Type) {
            // Only the part's own area: a photo arriving need not redraw the prints
            // that overlap just the shadow or the mat.
            item->update(part->mapRectToItem(item, part->boundingRect()));
            return;
        }
    }
}

size_t PrintItem::contentKey() const
{
    const QImage &image = m_photo->image();
    return qHashMulti(0, m_frame.width(), m_frame.height(), m_shown.flipX, m_shown.flipY, int(m_photo->content()),
                      image.cacheKey(), m_photo->isVisible(), m_pin->color().rgba(), m_pin->isVisible(),
                      m_caption->text(), m_caption->fontSize(), m_caption->frame().width(), m_caption->isVisible());
}

void PrintItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    if (m_rasterCached)
        m_raster.paint(painter, boundingRect(), contentKey(), [this](QPainter *p) { paintPrint(p); });
    else
        paintPrint(painter);
}

void PrintItem::paintPrint(QPainter *painter)
{
    const QRectF card(QPointF(0, 0), m_frame);
    SoftShadow::paintRoundedRect(painter, card.translated(0, shadowOffsetY), m_radius, shadowBlur,
                                 QColor::fromRgbF(0, 0, 0, float(shadowOpacity)));
    painter->setPen(Qt::NoPen);
    painter->setBrush(Qt::white);
    painter->drawRoundedRect(card, m_radius, m_radius);

    // Photo, caption and pin, each in its own coordinates, bottom first.
    const QStyleOptionGraphicsItem option;
    QList<QGraphicsItem *> parts = childItems(); // sorted by stacking order
    for (QGraphicsItem *part : parts) {
        if (!part->isVisible())
            continue;
        painter->save();
        painter->setTransform(part->itemTransform(this), true);
        part->paint(painter, &option, nullptr);
        for (QGraphicsItem *inner : part->childItems()) {
            if (!inner->isVisible())
                continue;
            painter->save();
            painter->setTransform(inner->itemTransform(part), true);
            inner->paint(painter, &option, nullptr);
            painter->restore();
        }
        painter->restore();
    }
}
