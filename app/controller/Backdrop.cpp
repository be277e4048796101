#include "app/controller/Backdrop.h"

#include <QEvent>
#include <QPainter>

Backdrop::Backdrop(QWidget *parent, bool reduceTransparency)
    : QWidget(parent), m_alpha(reduceTransparency ? reducedTransparencyAlpha : alpha)
{
    setObjectName(QStringLiteral("backdrop"));
    // Clicks on empty parts of the screen reach the canvas's own handling, not this layer.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    if (parent) {
        setGeometry(parent->rect());
        parent->installEventFilter(this);
    }
}

bool Backdrop::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    return QWidget::eventFilter(watched, event);
}

void Backdrop::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor::fromRgbF(0, 0, 0, float(m_alpha)));
}
