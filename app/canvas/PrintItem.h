#pragma once

#include "app/canvas/DeviceRaster.h"
#include "app/canvas/PrintGeometry.h"

#include <QGraphicsObject>
#include <QUuid>

class CaptionItem;
class PinItem;
class PrintPhotoItem;
class QVariantAnimation;

// One framed print: a white card with rounded corners and a soft shadow below it, carrying
// the photo, the pin and the caption as children. Its own coordinates are frame space
// (origin at the card's bottom-left, y up); its transform places it on the collage.
// The print paints its parts itself, so that the whole of it can be kept as one device
// raster while the canvas is being edited (see DeviceRaster).
class PrintItem : public QGraphicsObject {
    Q_OBJECT
public:
    enum { Type = UserType + 1 };
    static constexpr double shadowOpacity = 0.33;
    static constexpr double shadowBlur = 10.0;
    static constexpr double shadowOffsetY = -4.0; // y-up: below the card
    static constexpr int animationMs = 400;

    explicit PrintItem(const QUuid &id, QGraphicsItem *parent = nullptr);
    ~PrintItem() override;

    int type() const override { return Type; }
    const QUuid &id() const { return m_id; }

    // Shown at once; a running animation stops there.
    void setPose(const PrintGeometry::Pose &pose);
    // Eases from what is shown now to `pose` over 0.4 s (ease-in-ease-out).
    void animateTo(const PrintGeometry::Pose &pose);
    bool isAnimating() const;
    // What is shown now, and where the print is heading.
    const PrintGeometry::Pose &pose() const { return m_shown; }
    const PrintGeometry::Pose &targetPose() const { return m_target; }

    // Keeps the painted print as pixels between paints; off drops them.
    void setRasterCached(bool cached);
    bool isRasterCached() const { return m_rasterCached; }
    const DeviceRaster &raster() const { return m_raster; }

    QSizeF frameSize() const { return m_frame; }
    double cornerRadius() const { return m_radius; }

    PrintPhotoItem *photo() const { return m_photo; }
    PinItem *pin() const { return m_pin; }
    CaptionItem *caption() const { return m_caption; }

    // A part (photo, pin, caption) changed how it looks: the print that draws it repaints.
    static void partChanged(QGraphicsItem *part);

    QRectF boundingRect() const override;
    QPainterPath shape() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;

signals:
    // Emitted after every shown change of size, so owners can fetch a sharper image.
    void shownSizeChanged(const QUuid &id);

private:
    void show(const PrintGeometry::Pose &pose);
    void paintPrint(QPainter *painter);
    size_t contentKey() const;

    QUuid m_id;
    PrintGeometry::Pose m_shown;
    PrintGeometry::Pose m_target;
    PrintGeometry::Pose m_from;
    QSizeF m_frame;
    double m_radius = 0;
    PrintPhotoItem *m_photo;
    PinItem *m_pin;
    CaptionItem *m_caption;
    QVariantAnimation *m_animation = nullptr;
    bool m_rasterCached = false;
    DeviceRaster m_raster;
};
