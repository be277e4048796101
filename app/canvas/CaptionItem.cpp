#include "app/canvas/CaptionItem.h"

#include "app/canvas/CaptionFont.h"
#include "app/canvas/PrintItem.h"
#include "app/canvas/PrintPainter.h"
#include "core/Geometry.h"

#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

CaptionItem::CaptionItem(QGraphicsItem *parent) : QGraphicsItem(parent)
{
    setZValue(6);
}

void CaptionItem::setText(const QString &text)
{
    QString line = text;
    // One line only: breaks become spaces rather than a second, clipped line.
    line.replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QChar::LineSeparator, QLatin1Char(' '))
        .replace(QChar::ParagraphSeparator, QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' '));
    if (line == m_text)
        return;
    m_text = line;
    m_cache = QImage();
    PrintItem::partChanged(this);
}

QFont CaptionItem::font() const
{
    return CaptionFont::font();
}

QColor CaptionItem::textColor()
{
    return QColor::fromRgbF(0.28f, 0.28f, 0.28f, 1.0f);
}

QString CaptionItem::displayedText() const
{
    return PrintPainter::elidedCaption(m_text, m_layout.fontSize, m_layout.frame.width());
}

void CaptionItem::setLayout(const PrintGeometry::CaptionLayout &layout)
{
    const bool sized = !exactlyEqual(layout.frame.size(), m_layout.frame.size()) || layout.fontSize != m_layout.fontSize;
    if (sized) {
        prepareGeometryChange();
        m_cache = QImage();
    }
    m_layout = layout;
    setPos(layout.frame.topLeft());
}

QRectF CaptionItem::boundingRect() const
{
    // Script faces reach above and below their line box.
    const double spill = m_layout.fontSize * 0.5;
    return QRectF(0, -spill, m_layout.frame.width(), m_layout.frame.height() + 2 * spill);
}

QImage CaptionItem::renderLine(double scale) const
{
    const QRectF box = boundingRect();
    QImage image(QSize(int(std::ceil(box.width() * scale)), int(std::ceil(box.height() * scale))),
                 QImage::Format_ARGB32_Premultiplied);
    // At 72 dots per inch a point is a pixel: the face is set at its exact fractional size
    // and drawn from the glyph cache, rather than scaled from the reference size as outlines.
    constexpr int dotsPerMeterAt72dpi = 2835;
    image.setDotsPerMeterX(dotsPerMeterAt72dpi);
    image.setDotsPerMeterY(dotsPerMeterAt72dpi);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::TextAntialiasing);
    // Top row of the image = top of the bounding box (largest y in the y-up item).
    const QRectF line(0, -box.top() * scale, m_layout.frame.width() * scale, m_layout.frame.height() * scale);
    PrintPainter::paintCaptionLine(&p, line, m_text, m_layout.fontSize * scale);
    return image;
}

void CaptionItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    if (m_text.isEmpty() || m_layout.fontSize <= 0 || m_layout.frame.width() <= 0)
        return;
    const double scale = std::max(1.0, std::ceil(std::sqrt(std::abs(painter->deviceTransform().determinant())) * 4) / 4);
    if (m_cache.isNull() || scale != m_cacheScale) {
        m_cache = renderLine(scale);
        m_cacheScale = scale;
    }
    const QRectF box = boundingRect();
    painter->save();
    painter->translate(0, box.bottom());
    painter->scale(1, -1);
    painter->drawImage(QRectF(0, 0, box.width(), box.height()), m_cache);
    painter->restore();
}
