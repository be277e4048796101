#pragma once

#include <QColor>
#include <QGraphicsItem>

// A round grip of the selection chrome: a white disc with a border in the accent colour.
class HandleItem : public QGraphicsItem {
public:
    enum { Type = UserType + 5 };

    explicit HandleItem(double size, QGraphicsItem *parent = nullptr);

    int type() const override { return Type; }

    void setBorder(const QColor &color, double width);
    QColor borderColor() const { return m_border; }
    double borderWidth() const { return m_borderWidth; }
    double size() const { return m_size; }
    // Positions the handle by its centre in the parent's coordinates.
    void setCenter(QPointF center);
    QPointF center() const;

    QRectF boundingRect() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;

private:
    double m_size;
    QColor m_border;
    double m_borderWidth = 2.0;
};
