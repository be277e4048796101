#include "platform/symbols/SymbolRenderer.h"

#include "platform/symbols/SymbolCatalog.h"

#include <QFile>
#include <QHash>
#include <QPainter>
#include <QRegularExpression>
#include <QSvgRenderer>

#include <cmath>
#include <mutex>

// A static library's resources are only linked in when something refers to them.
static void initialisePlatformSymbolResources()
{
    Q_INIT_RESOURCE(platform_symbols);
}

namespace {

constexpr qreal kMaxSide = 1024;

QByteArray svgSource(const QString &name, SymbolWeight weight)
{
    static std::once_flag resources;
    std::call_once(resources, initialisePlatformSymbolResources);

    static std::mutex mutex;
    static QHash<QString, QByteArray> cache;
    const QString key = name + (weight == SymbolWeight::Bold ? QStringLiteral("#bold") : QString());
    std::lock_guard lock(mutex);
    if (const auto it = cache.constFind(key); it != cache.cend())
        return *it;

    QByteArray source;
    if (SymbolCatalog::find(name)) {
        QFile file(SymbolCatalog::resourcePath(name));
        if (file.open(QIODevice::ReadOnly))
            source = file.readAll();
    }
    if (!source.isEmpty() && weight == SymbolWeight::Bold) {
        // The art sets its line width once, on the root element.
        QString text = QString::fromUtf8(source);
        const qsizetype rootEnd = text.indexOf(QLatin1Char('>'));
        QString root = text.left(rootEnd);
        root.replace(QStringLiteral("stroke-width=\"2\""), QStringLiteral("stroke-width=\"2.75\""));
        source = (root + text.mid(rootEnd)).toUtf8();
    }
    cache.insert(key, source);
    return source;
}

} // namespace

bool SymbolRenderer::exists(const QString &name)
{
    return !svgSource(name, SymbolWeight::Regular).isEmpty();
}

QImage SymbolRenderer::render(const QString &name, int sidePixels, const QColor &color, SymbolWeight weight)
{
    if (sidePixels <= 0 || sidePixels > kMaxSide)
        return {};
    const QByteArray source = svgSource(name, weight);
    if (source.isEmpty())
        return {};
    QSvgRenderer svg(source);
    if (!svg.isValid())
        return {};
    QImage image(sidePixels, sidePixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    svg.render(&painter, QRectF(0, 0, sidePixels, sidePixels));
    // The art is drawn in one colour; its coverage becomes the requested colour.
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(image.rect(), color.isValid() ? color : QColor(Qt::black));
    painter.end();
    return image;
}

QImage SymbolRenderer::image(const QString &name, qreal pointSize, const QColor &color, SymbolWeight weight,
                             qreal devicePixelRatio)
{
    if (!(pointSize > 0) || !(devicePixelRatio > 0))
        return {};
    const qreal side = Symbols::symbolSide(pointSize) * devicePixelRatio;
    if (side > kMaxSide)
        return {};
    QImage image = render(name, int(std::ceil(side - 1e-6)), color, weight);
    image.setDevicePixelRatio(devicePixelRatio);
    return image;
}
