#include "app/gallery/GalleryDelegate.h"

#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int margin = 10;   // above the box and below the name
constexpr int side = 6;      // beside the box; the view spreads spare width over the columns
constexpr int nameGap = 6;   // between the box and the name
constexpr qreal radius = 6;

} // namespace

QSize GalleryDelegate::cellSize(const QFontMetrics &metrics)
{
    return QSize(thumbnailBox + 2 * side, margin + thumbnailBox + nameGap + metrics.height() + margin);
}

QSize GalleryDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const
{
    return cellSize(option.fontMetrics);
}

void GalleryDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const QPalette &palette = option.palette;
    const QRect cell = option.rect;
    const bool selected = option.state & QStyle::State_Selected;
    const QRectF box(cell.x() + (cell.width() - thumbnailBox) / 2.0, cell.y() + margin, thumbnailBox, thumbnailBox);

    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setRenderHint(QPainter::SmoothPixmapTransform);
    if (selected || (option.state & QStyle::State_MouseOver)) {
        QColor wash = palette.color(QPalette::Highlight);
        wash.setAlphaF(selected ? 0.28 : 0.1);
        painter->setPen(Qt::NoPen);
        painter->setBrush(wash);
        painter->drawRoundedRect(QRectF(cell).adjusted(2, 2, -2, -2), radius, radius);
    }

    const QVariant decoration = index.data(Qt::DecorationRole);
    if (decoration.canConvert<QPixmap>() && !decoration.isNull()) {
        const QPixmap pixmap = decoration.value<QPixmap>();
        // Shown at its natural size on this screen, only ever reduced to fit the box: a large
        // thumbnail on a doubled screen fills it sharply, a tiny photo stays small.
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        QSizeF size = QSizeF(pixmap.size()) / ratio;
        if (size.width() > box.width() || size.height() > box.height())
            size.scale(box.size(), Qt::KeepAspectRatio);
        // On the box's bottom edge, so every name sits just below its picture.
        const QRectF target(QPointF(box.center().x() - size.width() / 2, box.bottom() - size.height()), size);
        painter->drawPixmap(target, pixmap, QRectF(pixmap.rect()));
        QColor edge = selected ? palette.color(QPalette::Highlight) : palette.color(QPalette::Text);
        if (!selected)
            edge.setAlphaF(0.15);
        painter->setPen(QPen(edge, selected ? 3 : 1));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(target.adjusted(-0.5, -0.5, 0.5, 0.5));
    } else {
        QColor placeholder = palette.color(QPalette::Text);
        placeholder.setAlphaF(0.07);
        painter->setPen(Qt::NoPen);
        painter->setBrush(placeholder);
        painter->drawRoundedRect(box.adjusted(8, 32, -8, 0), radius, radius);
    }

    const QRect nameRect(cell.x() + 4, int(box.bottom()) + nameGap, cell.width() - 8, option.fontMetrics.height());
    const QString name = option.fontMetrics.elidedText(index.data(Qt::DisplayRole).toString(), Qt::ElideMiddle,
                                                       nameRect.width());
    painter->setPen(palette.color(option.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled,
                                  QPalette::Text));
    painter->setFont(option.font);
    painter->drawText(nameRect, Qt::AlignHCenter | Qt::AlignVCenter, name);
    painter->restore();
}
