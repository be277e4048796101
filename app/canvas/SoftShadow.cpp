#include "app/canvas/SoftShadow.h"

#include <QCache>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace SoftShadow {

namespace {

// Widths of three box filters whose succession approximates a Gaussian of sigma.
std::array<int, 3> boxesFor(double sigma)
{
    const double ideal = std::sqrt(12.0 * sigma * sigma / 3 + 1);
    int lower = int(std::floor(ideal));
    if (lower % 2 == 0)
        --lower;
    const int upper = lower + 2;
    const double m = std::round((12 * sigma * sigma - 3.0 * lower * lower - 4.0 * 3 * lower - 3.0 * 3) / (-4.0 * lower - 4));
    std::array<int, 3> sizes{};
    for (int i = 0; i < 3; ++i)
        sizes[size_t(i)] = i < m ? lower : upper;
    return sizes;
}

// One running-sum box pass along a line of `count` samples spaced `stride` apart.
void boxLine(uchar *line, int count, qsizetype stride, int radius, std::vector<uchar> &scratch)
{
    scratch.resize(size_t(count));
    for (int i = 0; i < count; ++i)
        scratch[size_t(i)] = line[i * stride];
    const int width = 2 * radius + 1;
    int sum = 0;
    const auto at = [&](int i) { return (i < 0 || i >= count) ? 0 : int(scratch[size_t(i)]); };
    for (int i = -radius; i <= radius; ++i)
        sum += at(i);
    for (int i = 0; i < count; ++i) {
        line[i * stride] = uchar((sum + width / 2) / width);
        sum += at(i + radius + 1) - at(i - radius);
    }
}

struct Key {
    int radius;
    int blur;
    QRgb color;
    int scale;
    friend bool operator==(const Key &, const Key &) = default;
};
size_t qHash(const Key &k, size_t seed = 0)
{
    return qHashMulti(seed, k.radius, k.blur, k.color, k.scale);
}

// The nine-patch source: a rounded rectangle just big enough for a straight middle row and
// column that no corner's blur reaches. `corner` pixels lie on each side of that middle line.
struct Patch {
    QPixmap pixmap;
    int corner = 0;
    double scale = 1;
};

QImage colorize(const QImage &alpha, const QColor &color)
{
    QImage out(alpha.size(), QImage::Format_ARGB32_Premultiplied);
    const QRgb base = color.rgba();
    const int baseAlpha = qAlpha(base);
    for (int y = 0; y < alpha.height(); ++y) {
        const uchar *src = alpha.constScanLine(y);
        auto *dst = reinterpret_cast<QRgb *>(out.scanLine(y));
        for (int x = 0; x < alpha.width(); ++x)
            dst[x] = qPremultiply(qRgba(qRed(base), qGreen(base), qBlue(base), (src[x] * baseAlpha + 127) / 255));
    }
    return out;
}

const Patch &patchFor(double radius, double blurRadius, const QColor &color, double scale)
{
    static QCache<Key, Patch> cache(64);
    const Key key{int(std::lround(radius * 8)), int(std::lround(blurRadius * 8)), color.rgba(), int(std::lround(scale * 8))};
    if (Patch *hit = cache.object(key))
        return *hit;
    const double s = key.scale / 8.0;
    const double r = key.radius / 8.0 * s;
    const double pad = reach(key.blur / 8.0) * s;
    const int corner = int(std::ceil(r + 2 * pad));
    const int side = 2 * corner + 1;
    QImage alpha(side, side, QImage::Format_Alpha8);
    alpha.fill(0);
    {
        QPainter p(&alpha);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        p.drawRoundedRect(QRectF(pad, pad, side - 2 * pad, side - 2 * pad), r, r);
    }
    blurAlpha(alpha, key.blur / 8.0 / 2 * s);
    auto *patch = new Patch{QPixmap::fromImage(colorize(alpha, color)), corner, s};
    cache.insert(key, patch);
    return *cache.object(key);
}

} // namespace

double reach(double blurRadius)
{
    return std::ceil(3 * blurRadius / 2);
}

void blurAlpha(QImage &alpha8, double sigma)
{
    if (sigma <= 0 || alpha8.isNull())
        return;
    Q_ASSERT(alpha8.format() == QImage::Format_Alpha8);
    const auto boxes = boxesFor(sigma);
    std::vector<uchar> scratch;
    const int w = alpha8.width();
    const int h = alpha8.height();
    const qsizetype bpl = alpha8.bytesPerLine();
    uchar *bits = alpha8.bits();
    for (int box : boxes) {
        const int radius = (box - 1) / 2;
        for (int y = 0; y < h; ++y)
            boxLine(bits + y * bpl, w, 1, radius, scratch);
        for (int x = 0; x < w; ++x)
            boxLine(bits + x, h, bpl, radius, scratch);
    }
}

QImage roundedRectShadow(QSizeF size, double radius, double blurRadius, const QColor &color, double scale)
{
    const double pad = reach(blurRadius);
    const QSize pixels(int(std::ceil((size.width() + 2 * pad) * scale)), int(std::ceil((size.height() + 2 * pad) * scale)));
    QImage alpha(pixels, QImage::Format_Alpha8);
    alpha.fill(0);
    {
        QPainter p(&alpha);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(scale, scale);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        p.drawRoundedRect(QRectF(QPointF(pad, pad), size), radius, radius);
    }
    blurAlpha(alpha, blurRadius / 2 * scale);

    return colorize(alpha, color);
}

void paintRoundedRect(QPainter *painter, const QRectF &rect, double radius, double blurRadius, const QColor &color)
{
    const double scale = std::max(1.0, std::sqrt(std::abs(painter->deviceTransform().determinant())));
    const Patch &patch = patchFor(radius, blurRadius, color, scale);
    const double pad = reach(std::lround(blurRadius * 8) / 8.0);
    const QRectF outer = rect.adjusted(-pad, -pad, pad, pad);
    const double s = patch.scale;
    const int side = patch.pixmap.width();
    // Small shapes: the corners share the space and meet in the middle.
    const double cw = std::min(patch.corner / s, outer.width() / 2);
    const double ch = std::min(patch.corner / s, outer.height() / 2);
    const double cwp = cw * s, chp = ch * s;
    const double midW = outer.width() - 2 * cw;
    const double midH = outer.height() - 2 * ch;
    const double l = outer.left(), t = outer.top(), r = outer.right(), b = outer.bottom();
    const QPixmap &pm = patch.pixmap;

    painter->save();
    // Edge antialiasing would leave faint seams between neighbouring tiles on rotated prints.
    // Nearest sampling of a blur cannot be told from smooth sampling, at a third of the cost.
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter->drawPixmap(QRectF(l, t, cw, ch), pm, QRectF(0, 0, cwp, chp));
    painter->drawPixmap(QRectF(r - cw, t, cw, ch), pm, QRectF(side - cwp, 0, cwp, chp));
    painter->drawPixmap(QRectF(l, b - ch, cw, ch), pm, QRectF(0, side - chp, cwp, chp));
    painter->drawPixmap(QRectF(r - cw, b - ch, cw, ch), pm, QRectF(side - cwp, side - chp, cwp, chp));
    const double mid = patch.corner;
    if (midW > 0) {
        painter->drawPixmap(QRectF(l + cw, t, midW, ch), pm, QRectF(mid, 0, 1, chp));
        painter->drawPixmap(QRectF(l + cw, b - ch, midW, ch), pm, QRectF(mid, side - chp, 1, chp));
    }
    if (midH > 0) {
        painter->drawPixmap(QRectF(l, t + ch, cw, midH), pm, QRectF(0, mid, cwp, 1));
        painter->drawPixmap(QRectF(r - cw, t + ch, cw, midH), pm, QRectF(side - cwp, mid, cwp, 1));
    }
    painter->restore();
}

void paintDeviceShadow(QPainter *painter, const QPainterPath &shape, double blurRadius, QPointF offset,
                       const QColor &color)
{
    const QPainterPath mapped = painter->deviceTransform().map(shape);
    const double pad = reach(blurRadius);
    QRect box = mapped.boundingRect().adjusted(-pad, -pad, pad, pad).toAlignedRect();
    // Only the part that lands on the device is worth blurring.
    // (The shape just beyond the edge still blurs in across it: a picture drawn in bands
    // shows no seams.)
    if (const QPaintDevice *device = painter->device()) {
        const QPoint shift = offset.toPoint();
        const int reachPx = int(std::ceil(pad));
        const QRect visible = QRect(0, 0, device->width(), device->height()).adjusted(-reachPx, -reachPx, reachPx, reachPx);
        box = (box.translated(shift) & visible).translated(-shift);
    }
    if (box.isEmpty())
        return;
    // A wide blur is drawn at a fraction of the resolution and scaled up: nobody can tell a
    // soft shadow's pixels apart, and a screen-sized export has dozens of them.
    const double sigma = blurRadius / 2;
    const int k = std::clamp(int(sigma / 1.5), 1, 4);
    QImage alpha(QSize((box.width() + k - 1) / k, (box.height() + k - 1) / k), QImage::Format_Alpha8);
    alpha.fill(0);
    {
        QPainter p(&alpha);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(1.0 / k, 1.0 / k);
        p.translate(-box.topLeft());
        p.fillPath(mapped, Qt::black);
    }
    blurAlpha(alpha, sigma / k);
    painter->save();
    painter->resetTransform();
    painter->setRenderHint(QPainter::SmoothPixmapTransform);
    painter->drawImage(QRectF(QPointF(box.topLeft()) + offset, QSizeF(alpha.size() * k)), colorize(alpha, color));
    painter->restore();
}

} // namespace SoftShadow
