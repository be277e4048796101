#include "app/export/CollageRenderer.h"

#include "app/canvas/ImageLoader.h"
#include "app/canvas/PrintPainter.h"
#include "app/canvas/RecentPhotos.h"
#include "platform/images/PngEncoder.h"

#include <QCoreApplication>
#include <QMutex>
#include <QPainter>
#include <QPointer>
#include <QSemaphore>
#include <QThread>
#include <QThreadPool>

#include <algorithm>
#include <limits>
#include <memory>
#include <cmath>

namespace CollageRenderer {

namespace {

void drawBand(QImage &image, int top, int height, const Request &request, RecentPhotos *photos)
{
    if (height <= 0)
        return;
    QImage band(image.scanLine(top), image.width(), height, image.bytesPerLine(), image.format());
    band.setDotsPerMeterX(image.dotsPerMeterX());
    band.setDotsPerMeterY(image.dotsPerMeterY());
    const double s = request.scale;
    QPainter painter(&band);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.translate(0, -top);
    painter.scale(s, s);
    if (const QImage &bg = request.background; !bg.isNull()) {
        const double w0 = request.size.width();
        const double h0 = request.size.height();
        const double k = std::max(w0 / bg.width(), h0 / bg.height());
        painter.drawImage(QRectF((w0 - bg.width() * k) / 2, (h0 - bg.height() * k) / 2, bg.width() * k, bg.height() * k),
                          bg);
    }
    // Collage points have y up from the bottom-left corner.
    painter.translate(0, request.size.height());
    painter.scale(1, -1);
    const QRectF visible = painter.transform().inverted().mapRect(QRectF(0, 0, band.width(), band.height()));

    for (const PhotoItem &item : request.model.drawOrder()) {
        // Prints (with their shadows) that do not reach this band are not drawn here.
        const QSizeF frame = item.size * 1.6;
        const double reach = std::hypot(frame.width(), frame.height()) / 2 + 20 / s;
        if (!visible.adjusted(-reach, -reach, reach, reach).contains(item.center - request.origin))
            continue;
        QImage photo = request.shownPhotos.value(item.id);
        if (photo.isNull()) {
            const QSizeF target = item.size * s;
            const QString &dir = request.baseDir;
            photo = photos ? photos->photo(dir, item.imageFileName, item.cropRect, target)
                           : ImageLoader::imageForDisplay(item.imageFileName, item.cropRect, dir, target).image;
        }
        PrintPainter::paintPrint(&painter, item, photo, request.origin);
    }
}

} // namespace

namespace {

// The transparent picture to draw into; null under one pixel.
QImage blankPicture(const Request &request)
{
    const int px = int(request.size.width() * request.scale);
    const int py = int(request.size.height() * request.scale);
    if (px < 1 || py < 1)
        return {};
    QImage image(px, py, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return {};
    // Captions are set in points: at 72 dots per inch a point is a pixel.
    constexpr int dotsPerMeterAt72dpi = 2835;
    image.setDotsPerMeterX(dotsPerMeterAt72dpi);
    image.setDotsPerMeterY(dotsPerMeterAt72dpi);
    image.fill(Qt::transparent);
    return image;
}

} // namespace

// Bands never wait on anything, so a pool of their own can never deadlock. It ends with the
// application, before the statics its threads' painters use; a child can only be given to
// the application from the application's thread, hence prepare().
static QThreadPool *bandPool()
{
    static QMutex mutex;
    static QPointer<QThreadPool> pool;
    QMutexLocker lock(&mutex);
    if (!pool) {
        QCoreApplication *app = QCoreApplication::instance();
        pool = new QThreadPool(app && QThread::currentThread() == app->thread() ? app : nullptr);
    }
    return pool;
}

void prepare()
{
    bandPool();
}

namespace {

// A screen-sized picture is drawn in horizontal bands on every core, top first, into the
// one image; `bandDone` is released once per band as it is finished.
class Bands {
public:
    Bands(QImage &image, const Request &request, RecentPhotos *photos, int count)
        : m_count(qint64(image.width()) * image.height() >= 2'000'000 ? count : 1),
          m_height((image.height() + m_count - 1) / m_count), m_done(new QSemaphore[size_t(m_count)])
    {
        QThreadPool *pool = bandPool();
        for (int band = 0; band < m_count; ++band) {
            const int top = band * m_height;
            pool->start([this, &image, &request, photos, band, top] {
                drawBand(image, top, std::min(m_height, image.height() - top), request, photos);
                m_done[band].release();
            });
        }
    }
    ~Bands() { waitAll(); }

    void waitFor(int row)
    {
        for (int band = std::min(row / m_height, m_count - 1); m_ready <= band; ++m_ready)
            m_done[m_ready].acquire();
    }
    void waitAll() { waitFor(std::numeric_limits<int>::max()); }

private:
    int m_count;
    int m_height;
    std::unique_ptr<QSemaphore[]> m_done;
    int m_ready = 0;
};

} // namespace

QImage render(const Request &request, RecentPhotos *photos)
{
    QImage image = blankPicture(request);
    if (image.isNull())
        return image;
    Bands(image, request, photos, std::max(1, QThread::idealThreadCount())).waitAll();
    return image;
}

std::optional<QByteArray> renderPNG(const Request &request, RecentPhotos *photos)
{
    QImage image = blankPicture(request);
    if (image.isNull())
        return std::nullopt;
    // Encoding starts on the top rows while the bands below are still being drawn: the two
    // together take little more than encoding alone.
    Bands bands(image, request, photos, 4 * std::max(1, QThread::idealThreadCount()));
    const QByteArray data = PngEncoder::encodeRows(image.size(), [&](int y) {
        bands.waitFor(y);
        return reinterpret_cast<const QRgb *>(image.constScanLine(y));
    });
    if (data.isEmpty())
        return std::nullopt;
    return data;
}

} // namespace CollageRenderer
