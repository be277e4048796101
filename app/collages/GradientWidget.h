#pragma once

#include <QColor>
#include <QList>
#include <QPointF>
#include <QWidget>

// A plain linear gradient. Start and end lie in the widget's unit square with y up
// (0, 0 = bottom-left), the way the shades of the Collages window are described.
class GradientWidget : public QWidget {
public:
    GradientWidget(QList<QColor> colors, QPointF start, QPointF end, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QList<QColor> m_colors;
    QPointF m_start;
    QPointF m_end;
};
