#include "app/export/CollageRenderer.h"

#include "app/canvas/PrintPainter.h"
#include "app/export/RenderPhotos.h"
#include "platform/images/PngEncoder.h"

#include <QPainter>

#include <algorithm>

namespace CollageRenderer {

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

    QPainter painter(&image);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
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

    for (const PhotoItem &item : request.model.drawOrder()) {
        QImage photo = request.shownPhotos.value(item.id);
        if (photo.isNull()) {
            const QSizeF target = item.size * s;
            photo = photos ? photos->photo(request.baseDir, item.imageFileName, item.cropRect, target)
                           : RenderPhotos().photo(request.baseDir, item.imageFileName, item.cropRect, target);
        }
        PrintPainter::paintPrint(&painter, item, photo, request.origin);
    }
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
