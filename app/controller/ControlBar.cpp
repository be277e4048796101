#include "app/controller/ControlBar.h"

#include <QAbstractButton>
#include <QEvent>
#include <QHBoxLayout>
#include <QPainter>
#include <QPainterPath>

ControlBar::ControlBar(QWidget *parent) : QFrame(parent), m_row(new QHBoxLayout(this))
{
    setObjectName(QStringLiteral("controlBar"));
    setAttribute(Qt::WA_TranslucentBackground);
    m_row->setSpacing(spacing);
    m_row->setContentsMargins(insetLeft, insetTop, insetRight, insetBottom);
    m_row->setSizeConstraint(QLayout::SetFixedSize); // the panel sizes itself to its row
    setStyleSheet(QStringLiteral(
        "QPushButton { color: white; background: rgba(255,255,255,0.10);"
        " border: 1px solid rgba(255,255,255,0.16); border-radius: 7px;"
        " padding: 7px 14px; font-size: 14px; }"
        "QPushButton:hover { background: rgba(255,255,255,0.18); }"
        "QPushButton:pressed { background: rgba(255,255,255,0.28); }"));
    if (parent)
        parent->installEventFilter(this);
}

void ControlBar::addButton(QAbstractButton *button)
{
    m_row->addWidget(button);
    place();
}

void ControlBar::setBottomInset(int inset)
{
    m_bottomInset = inset;
    place();
}

void ControlBar::place()
{
    QWidget *parent = parentWidget();
    if (!parent)
        return;
    adjustSize();
    const QSize size = sizeHint().expandedTo(minimumSizeHint());
    move((parent->width() - size.width()) / 2, parent->height() - m_bottomInset - size.height());
    emit placed();
}

QRegion ControlBar::outline() const
{
    QPainterPath path;
    path.addRoundedRect(QRectF(geometry()), cornerRadius, cornerRadius);
    return QRegion(path.toFillPolygon().toPolygon());
}

bool ControlBar::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        place();
    return QFrame::eventFilter(watched, event);
}

void ControlBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF outline = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath path;
    path.addRoundedRect(outline, cornerRadius, cornerRadius);
    // A dark heads-up-display material; what lies under it shows through faintly.
    painter.fillPath(path, QColor(28, 28, 30, 215));
    painter.setPen(QPen(QColor::fromRgbF(1, 1, 1, 0.12f), 1.0));
    painter.drawPath(path);
}
