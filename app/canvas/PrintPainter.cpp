#include "app/canvas/PrintPainter.h"

#include "app/canvas/CaptionFont.h"
#include "app/canvas/CaptionItem.h"
#include "app/canvas/PinPalette.h"
#include "app/canvas/PrintGeometry.h"
#include "app/canvas/PrintItem.h"
#include "app/canvas/SoftShadow.h"
#include "core/PhotoFrame.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace PrintPainter {

namespace {

constexpr double pinShadowBlur = 2.5;
constexpr double pinShadowDrop = 1.5;
constexpr double highlightSize = 9.0;

} // namespace

void paintPhoto(QPainter *painter, const QImage &image, QSizeF size, double cornerRadius)
{
    if (image.isNull() || size.isEmpty())
        return;
    const double w = size.width();
    const double h = size.height();
    // Images are stored top row first: turn the y-up space around before filling.
    painter->save();
    painter->translate(0, h);
    painter->scale(1, -1);
    const double k = std::max(w / image.width(), h / image.height());
    QBrush brush(image);
    brush.setTransform(QTransform(k, 0, 0, k, (w - image.width() * k) / 2, (h - image.height() * k) / 2));
    painter->setPen(Qt::NoPen);
    painter->setBrush(brush);
    // Filling a rounded shape with the image brush is far cheaper than clipping to it.
    painter->drawRoundedRect(QRectF(0, 0, w, h), cornerRadius / 2, cornerRadius / 2);
    painter->restore();
}

QString elidedCaption(const QString &text, double fontSize, double width)
{
    if (fontSize <= 0 || text.isEmpty())
        return text;
    const double toReference = CaptionFont::referencePixelSize / fontSize;
    return QFontMetricsF(CaptionFont::font()).elidedText(text, Qt::ElideRight, width * toReference);
}

void paintCaptionLine(QPainter *painter, const QRectF &line, const QString &text, double fontSize)
{
    QFont face = CaptionFont::font();
    face.setPointSizeF(fontSize);
    painter->setFont(face);
    painter->setPen(CaptionItem::textColor());
    painter->drawText(line, Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextSingleLine,
                      elidedCaption(text, fontSize, line.width()));
}

void paintPrint(QPainter *painter, const PhotoItem &item, const QImage &photo, QPointF origin)
{
    const QSizeF size = item.size;
    if (size.isEmpty())
        return;
    const QSizeF frame = PhotoFrame::frameSize(size);
    const double radius = PhotoFrame::cornerRadius(size);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setRenderHint(QPainter::SmoothPixmapTransform);
    painter->setTransform(PrintGeometry::frameTransform(item.center - origin, size, item.rotation), true);

    QPainterPath card;
    card.addRoundedRect(QRectF(QPointF(0, 0), frame), radius, radius);
    SoftShadow::paintDeviceShadow(painter, card, PrintItem::shadowBlur, QPointF(0, -PrintItem::shadowOffsetY),
                                  QColor::fromRgbF(0, 0, 0, float(PrintItem::shadowOpacity)));
    painter->setPen(Qt::NoPen);
    painter->fillPath(card, Qt::white);

    if (!photo.isNull()) {
        painter->save();
        painter->translate(PhotoFrame::photoRect(size).topLeft());
        painter->setTransform(PrintGeometry::flipTransform(size, item.flipH ? -1 : 1, item.flipV ? -1 : 1), true);
        paintPhoto(painter, photo, size, radius);
        painter->restore();
    }

    const QPointF pin = PhotoFrame::pinCenter(size);
    QPainterPath disc;
    disc.addEllipse(pin, PhotoFrame::pinRadius, PhotoFrame::pinRadius);
    SoftShadow::paintDeviceShadow(painter, disc, pinShadowBlur, QPointF(0, pinShadowDrop), QColor(0, 0, 0, 128));
    painter->fillPath(disc, PinPalette::colorFor(item.id));
    // Pictures place the highlight by its corner, so it sits further up and right than on the desktop.
    painter->setBrush(QColor::fromRgbF(1, 1, 1, 0.5f));
    painter->drawEllipse(QRectF(pin.x() - 2.88, pin.y() + 2.545, highlightSize, highlightSize));

    if (item.caption && !item.caption->isEmpty()) {
        const PrintGeometry::CaptionLayout layout = PrintGeometry::captionLayout(size);
        const QRectF box = layout.frame;
        painter->scale(1, -1); // text reads top-down
        paintCaptionLine(painter, QRectF(box.left(), -box.bottom(), box.width(), box.height()), *item.caption,
                         layout.fontSize);
    }
    painter->restore();
}

} // namespace PrintPainter
