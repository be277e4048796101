#include "app/collages/GradientWidget.h"

#include <QLinearGradient>
#include <QPainter>

GradientWidget::GradientWidget(QList<QColor> colors, QPointF start, QPointF end, QWidget *parent)
    : QWidget(parent), m_colors(std::move(colors)), m_start(start), m_end(end)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void GradientWidget::paintEvent(QPaintEvent *)
{
    if (m_colors.isEmpty())
        return;
    const auto toWidget = [this](QPointF unit) { return QPointF(unit.x() * width(), (1 - unit.y()) * height()); };
    QLinearGradient gradient(toWidget(m_start), toWidget(m_end));
    for (qsizetype i = 0; i < m_colors.size(); ++i)
        gradient.setColorAt(m_colors.size() == 1 ? 0.0 : double(i) / double(m_colors.size() - 1), m_colors[i]);
    QPainter(this).fillRect(rect(), gradient);
}
