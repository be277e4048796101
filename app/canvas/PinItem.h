#pragma once

#include <QColor>
#include <QGraphicsItem>

class QGraphicsEllipseItem;

// The push pin: an 18-point disc with a thin dark rim, a small shadow below it and a
// translucent white highlight up and to the left of its centre.
class PinItem : public QGraphicsItem {
public:
    enum { Type = UserType + 3 };
    static constexpr double diameter = 18.0;

    explicit PinItem(QGraphicsItem *parent = nullptr);

    int type() const override { return Type; }

    void setColor(const QColor &color);
    QColor color() const { return m_color; }
    // Positions the pin by its centre in the parent's coordinates.
    void setCenter(QPointF center);
    QPointF center() const;
    QGraphicsEllipseItem *highlight() const { return m_highlight; }

    QRectF boundingRect() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;

private:
    QColor m_color;
    QGraphicsEllipseItem *m_highlight;
};
