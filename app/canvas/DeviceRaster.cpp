#include "app/canvas/DeviceRaster.h"

#include <QPainter>
#include <QSet>

#include <cmath>

namespace {

qint64 g_budget = 64ll << 20;
qint64 g_total = 0;
quint64 g_clock = 0;

QSet<DeviceRaster *> &live()
{
    static QSet<DeviceRaster *> rasters;
    return rasters;
}

bool sameLinear(const QTransform &a, const QTransform &b)
{
    return a.m11() == b.m11() && a.m12() == b.m12() && a.m21() == b.m21() && a.m22() == b.m22();
}

bool sameFraction(double a, double b)
{
    const double d = a - b;
    return std::abs(d - std::round(d)) < 1e-3;
}

} // namespace

DeviceRaster::DeviceRaster()
{
    live().insert(this);
}

DeviceRaster::~DeviceRaster()
{
    clear();
    live().remove(this);
}

void DeviceRaster::setBudget(qint64 bytes)
{
    g_budget = bytes;
}

qint64 DeviceRaster::budget()
{
    return g_budget;
}

qint64 DeviceRaster::totalBytes()
{
    return g_total;
}

void DeviceRaster::clear()
{
    g_total -= m_image.sizeInBytes();
    m_image = QImage();
}

void DeviceRaster::touch()
{
    m_lastUse = ++g_clock;
}

bool DeviceRaster::reusableFor(const QTransform &device) const
{
    return !m_image.isNull() && sameLinear(device, m_device) && sameFraction(device.dx(), m_device.dx())
        && sameFraction(device.dy(), m_device.dy());
}

void DeviceRaster::paint(QPainter *painter, const QRectF &bounds, size_t contentKey,
                         const std::function<void(QPainter *)> &draw)
{
    const QTransform device = painter->deviceTransform();
    const bool seenBefore = contentKey == m_lastKey && sameLinear(device, m_lastDevice);
    // Painted again exactly where it was last time: the item is at rest.
    const bool resting = seenBefore && device.dx() == m_lastDevice.dx() && device.dy() == m_lastDevice.dy();
    m_lastKey = contentKey;
    m_lastDevice = device;
    // A moving item is copied to the nearest whole pixel, even off its drawn sub-pixel
    // phase: half a pixel is invisible in motion, a fresh drawing at every step is not.
    // Once it rests it is drawn again at its exact position.
    const bool copyable = contentKey == m_key && !m_image.isNull() && sameLinear(device, m_device)
        && (!resting || reusableFor(device));
    if (!copyable) {
        clear();
        if (!seenBefore || device.type() > QTransform::TxRotate) {
            draw(painter);
            return;
        }
        render(painter, device, bounds, draw);
        if (m_image.isNull()) {
            draw(painter); // too large to keep
            return;
        }
    }
    touch();
    const QPoint origin = m_origin
        + QPoint(int(std::lround(device.dx() - m_device.dx())), int(std::lround(device.dy() - m_device.dy())));
    // World transform that puts raster pixels one to one onto device pixels.
    const QTransform toDevice = painter->worldTransform().inverted() * device;
    painter->save();
    painter->setWorldTransform(QTransform::fromTranslate(origin.x(), origin.y()) * toDevice.inverted());
    painter->drawImage(QPointF(0, 0), m_image);
    painter->restore();
}

void DeviceRaster::render(QPainter *painter, const QTransform &device, const QRectF &bounds,
                          const std::function<void(QPainter *)> &draw)
{
    const QRectF box = device.mapRect(bounds);
    const QPoint origin(int(std::floor(box.left())), int(std::floor(box.top())));
    const QSize size(int(std::ceil(box.right())) - origin.x(), int(std::ceil(box.bottom())) - origin.y());
    if (size.isEmpty() || qint64(size.width()) * size.height() * 4 > g_budget)
        return;
    m_image = QImage(size, QImage::Format_ARGB32_Premultiplied);
    m_image.fill(Qt::transparent);
    {
        QPainter raster(&m_image);
        raster.setRenderHints(painter->renderHints());
        raster.setTransform(device * QTransform::fromTranslate(-origin.x(), -origin.y()));
        draw(&raster);
    }
    ++m_renders;
    m_key = m_lastKey;
    m_device = device;
    m_origin = origin;
    g_total += m_image.sizeInBytes();
    // Over budget: drop the rasters used longest ago (never this one).
    while (g_total > g_budget) {
        DeviceRaster *oldest = nullptr;
        for (DeviceRaster *other : live()) {
            if (other != this && !other->m_image.isNull() && (!oldest || other->m_lastUse < oldest->m_lastUse))
                oldest = other;
        }
        if (!oldest)
            break;
        oldest->clear();
    }
}
