#include "app/collages/StripButton.h"

#include <QPainter>
#include <QPainterPath>

StripButton::StripButton(const QString &collageName, QWidget *parent) : QAbstractButton(parent), m_name(collageName)
{
    setFixedSize(fixedSize);
    setToolTip(collageName);
    setObjectName(collageName);
    setAccessibleName(collageName);
    setCursor(Qt::PointingHandCursor);
}

void StripButton::setImage(const QImage &image)
{
    m_image = image;
    update();
}

void StripButton::setSelected(bool selected)
{
    if (selected == m_selected)
        return;
    m_selected = selected;
    update();
}

void StripButton::paintEvent(QPaintEvent *)
{
    constexpr double radius = 6;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    QPainterPath frame;
    frame.addRoundedRect(QRectF(rect()), radius, radius);
    painter.setClipPath(frame);
    if (!m_image.isNull()) {
        const QSizeF fitted = QSizeF(m_image.size()).scaled(QSizeF(size()), Qt::KeepAspectRatio);
        painter.drawImage(QRectF(QPointF((width() - fitted.width()) / 2, (height() - fitted.height()) / 2), fitted),
                          m_image);
    }
    // The border lies inside the button, as a layer's border does.
    const double width = m_selected ? 4 : 1;
    painter.setPen(QPen(m_selected ? palette().color(QPalette::Highlight) : QColor::fromRgbF(1, 1, 1, 0.18f), width));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(rect()).adjusted(width / 2, width / 2, -width / 2, -width / 2), radius, radius);
}
