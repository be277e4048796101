#pragma once

#include "app/canvas/DeviceRaster.h"

#include <QGraphicsPathItem>

// The selection outline: a stroked path with a faint dark halo (a 1-point shadow), so the
// accent line reads on light and dark photos alike. Placed at the print's centre with the
// path relative to it, so a moving print's outline is copied, not stroked again.
class OutlineItem : public QGraphicsPathItem {
public:
    enum { Type = UserType + 6 };

    explicit OutlineItem(QGraphicsItem *parent = nullptr);

    int type() const override { return Type; }

    QRectF boundingRect() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;

private:
    void stroke(QPainter *painter) const;

    DeviceRaster m_raster;
};
