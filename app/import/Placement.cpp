#include "app/import/Placement.h"

#include "core/PhotoFrame.h"

#include <QDateTime>
#include <QRandomGenerator>

#include <algorithm>
#include <limits>

namespace Placement {

namespace {

double overlap(const QRectF &a, const QRectF &b)
{
    const QRectF common = a.intersected(b);
    return common.isValid() ? common.width() * common.height() : 0;
}

// Larger than any camera makes; an Exif size beyond it is damage, not a photo.
constexpr int maxBelievablePixels = 100000;

} // namespace

double uniform(QRandomGenerator &random, double from, double to)
{
    return from + (to - from) * (double(random.generate64()) / double(std::numeric_limits<quint64>::max()));
}

QPointF randomPlacement(QSizeF frame, QSizeF container, const QList<QRectF> &occupied, QRandomGenerator &random)
{
    const double margin = std::min(80.0, std::max(0.0, std::min(container.width(), container.height()) / 2
                                                           - std::max(frame.width(), frame.height())));
    const QRectF area = QRectF(QPointF(0, 0), container).adjusted(margin, margin, -margin, -margin);
    const auto candidate = [&] {
        if (area.width() <= 0 || area.height() <= 0)
            return QPointF(container.width() / 2, container.height() / 2);
        return QPointF(uniform(random, area.left(), area.right()), uniform(random, area.top(), area.bottom()));
    };
    if (occupied.isEmpty())
        return candidate();

    QPointF best;
    double bestScore = std::numeric_limits<double>::infinity();
    for (int i = 0; i < candidates; ++i) {
        const QPointF centre = candidate();
        const QRectF rect(centre - QPointF(frame.width() / 2, frame.height() / 2), frame);
        double score = 0;
        for (const QRectF &taken : occupied)
            score += overlap(rect, taken);
        if (score == 0)
            return centre;
        if (score < bestScore) {
            bestScore = score;
            best = centre;
        }
    }
    return best;
}

QSizeF defaultSize(const ImageMetadata &metadata)
{
    const std::optional<QSize> pixels = metadata.orientedPixelSize();
    if (!pixels || pixels->width() <= 0 || pixels->height() <= 0 || pixels->width() > maxBelievablePixels
        || pixels->height() > maxBelievablePixels)
        return fallbackSize;
    const double scale = longerSide / std::max(pixels->width(), pixels->height());
    return QSizeF(pixels->width() * scale, pixels->height() * scale);
}

std::optional<QString> photoDateText(const ImageMetadata &metadata, const QLocale &locale)
{
    const std::optional<QString> raw = metadata.dateTimeOriginal ? metadata.dateTimeOriginal : metadata.dateTime;
    if (!raw)
        return std::nullopt;
    const QDateTime taken = QLocale::c().toDateTime(*raw, QStringLiteral("yyyy:MM:dd HH:mm:ss"));
    if (!taken.isValid())
        return std::nullopt;
    const QDate date = taken.date();
    return locale.standaloneMonthName(date.month()) + QLatin1Char(' ') + locale.toString(date, QStringLiteral("yyyy"));
}

QRectF outerFrame(QSizeF size, QPointF center)
{
    const QSizeF frame = PhotoFrame::frameSize(size);
    return QRectF(center - QPointF(frame.width() / 2, frame.height() / 2), frame);
}

} // namespace Placement
