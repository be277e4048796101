#include "app/export/CollageRenderer.h"

#include "app/canvas/PrintPainter.h"
#include "app/export/RenderPhotos.h"
#include "platform/images/PngEncoder.h"

#include <QPainter>
#include <QSemaphore>
#include <QThread>
#include <QThreadPool>

#include <algorithm>
#include <cmath>

namespace CollageRenderer {

namespace {

void drawBand(QImage &image, int top, int height, const Request &request, RenderPhotos *photos)
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
            photo = photos ? photos->photo(request.baseDir, item.imageFileName, item.cropRect, target)
                           : RenderPhotos().photo(request.baseDir, item.imageFileName, item.cropRect, target);
        }
        PrintPainter::paintPrint(&painter, item, photo, request.origin);
    }
}

} // namespace

QImage render(const Request &request, RenderPhotos *photos)
{
    const double s = request.scale;
    const int px = int(request.size.width() * s);
    const int py = int(request.size.height() * s);
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

    // A screen-sized picture is drawn in horizontal bands, one per core, into the one image.
    const int bands = qint64(px) * py >= 2'000'000 ? std::max(1, QThread::idealThreadCount()) : 1;
    const int bandHeight = (py + bands - 1) / bands;
    // Bands never wait on anything, so a pool of their own can never deadlock.
    static QThreadPool bandPool;
    QSemaphore finished;
    for (int band = 1; band < bands; ++band) {
        bandPool.start([&, band] {
            drawBand(image, band * bandHeight, std::min(bandHeight, py - band * bandHeight), request, photos);
            finished.release();
        });
    }
    drawBand(image, 0, std::min(bandHeight, py), request, photos);
    finished.acquire(bands - 1);
    return image;
}

std::optional<QByteArray> renderPNG(const Request &request, RenderPhotos *photos)
{
    const QImage image = render(request, photos);
    if (image.isNull())
        return std::nullopt;
    QByteArray data = PngEncoder::encode(image);
    if (data.isEmpty())
        return std::nullopt;
    return data;
}

} // namespace CollageRenderer
