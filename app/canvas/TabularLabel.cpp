#include "app/canvas/TabularLabel.h"

#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

double TabularLabel::digitWidth() const
{
    const QFontMetricsF metrics(font());
    double widest = 0;
    for (char16_t d = u'0'; d <= u'9'; ++d)
        widest = std::max(widest, metrics.horizontalAdvance(QChar(d)));
    return widest;
}

double TabularLabel::advance(QChar c) const
{
    return c.isDigit() ? digitWidth() : QFontMetricsF(font()).horizontalAdvance(c);
}

double TabularLabel::textWidth() const
{
    double width = 0;
    for (const QChar c : text())
        width += advance(c);
    return width;
}

QSize TabularLabel::sizeHint() const
{
    const QMargins margins = contentsMargins();
    return QSize(int(std::ceil(textWidth())) + margins.left() + margins.right(),
                 int(std::ceil(QFontMetricsF(font()).height())) + margins.top() + margins.bottom());
}

void TabularLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setFont(font());
    painter.setPen(palette().color(foregroundRole()));
    const QFontMetricsF metrics(font());
    const QRectF area = contentsRect();
    const double digit = digitWidth();
    double x = area.left() + (area.width() - textWidth()) / 2;
    const double baseline = area.top() + (area.height() - metrics.height()) / 2 + metrics.ascent();
    for (const QChar c : text()) {
        // A digit sits centred in its cell, as tabular figures do.
        const double width = c.isDigit() ? digit : metrics.horizontalAdvance(c);
        const double inset = c.isDigit() ? (digit - metrics.horizontalAdvance(c)) / 2 : 0;
        painter.drawText(QPointF(x + inset, baseline), QString(c));
        x += width;
    }
}
