#pragma once

#include <QImage>
#include <QPoint>
#include <QRectF>
#include <QTransform>

#include <functional>

class QPainter;

// A drawing kept as pixels in device space. While an item only moves (a print being
// dragged, or sitting still beside it) it is copied, not drawn again: a copy takes the
// painter's fastest path, whereas rotated paths and images go through the span rasteriser.
// In motion the copy lands on the nearest whole device pixel; at rest it is drawn again if
// its sub-pixel phase changed. Pixels are kept only for a drawing seen twice with the same
// content and rotation and scale, so one-off paints and every step of a turn or resize cost
// no memory and no extra pass. All rasters share one memory budget; the least recently used
// ones are dropped beyond it.
class DeviceRaster {
public:
    DeviceRaster();
    ~DeviceRaster();
    DeviceRaster(const DeviceRaster &) = delete;
    DeviceRaster &operator=(const DeviceRaster &) = delete;

    // Paints `draw` (in the painter's current coordinates, within `bounds`) through the raster.
    void paint(QPainter *painter, const QRectF &bounds, size_t contentKey, const std::function<void(QPainter *)> &draw);
    void clear();
    bool isEmpty() const { return m_image.isNull(); }
    qint64 bytes() const { return m_image.sizeInBytes(); }
    // Times the raster was drawn afresh, for tests.
    int renders() const { return m_renders; }

    static void setBudget(qint64 bytes);
    static qint64 budget();
    static qint64 totalBytes();

private:
    bool reusableFor(const QTransform &device) const;
    void render(QPainter *painter, const QTransform &device, const QRectF &bounds,
                const std::function<void(QPainter *)> &draw);
    void touch();

    QImage m_image;
    QTransform m_device; // item -> device when the raster was drawn
    QPoint m_origin;     // device position of the raster's top-left pixel then
    size_t m_key = 0;
    QTransform m_lastDevice; // the previous paint's, raster or not
    size_t m_lastKey = 0;
    int m_renders = 0;
    quint64 m_lastUse = 0;
};
