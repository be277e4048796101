#include "platform/symbols/SymbolIconEngine.h"

#include "platform/symbols/SymbolRenderer.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPalette>
#include <QPixmap>

#include <algorithm>
#include <cmath>

SymbolIconEngine::SymbolIconEngine(const QString &name, const QColor &color) : m_name(name), m_color(color) {}

QColor SymbolIconEngine::colorFor(QIcon::Mode mode) const
{
    if (m_color.isValid()) {
        QColor color = m_color;
        if (mode == QIcon::Disabled)
            color.setAlphaF(color.alphaF() * 0.4f);
        return color;
    }
    const QPalette palette = QGuiApplication::palette();
    switch (mode) {
    case QIcon::Disabled:
        return palette.color(QPalette::Disabled, QPalette::WindowText);
    case QIcon::Selected:
        return palette.color(QPalette::Active, QPalette::HighlightedText);
    default:
        return palette.color(QPalette::Active, QPalette::WindowText);
    }
}

QPixmap SymbolIconEngine::scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State, qreal scale)
{
    const QSize device(int(std::ceil(size.width() * scale)), int(std::ceil(size.height() * scale)));
    if (device.isEmpty())
        return {};
    const int side = std::min(device.width(), device.height());
    const QImage symbol = SymbolRenderer::render(m_name, side, colorFor(mode), SymbolWeight::Regular);
    if (symbol.isNull())
        return {};
    QImage canvas(device, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);
    painter.drawImage(QPoint((device.width() - side) / 2, (device.height() - side) / 2), symbol);
    painter.end();
    QPixmap pixmap = QPixmap::fromImage(canvas);
    pixmap.setDevicePixelRatio(scale);
    return pixmap;
}

QPixmap SymbolIconEngine::pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state)
{
    return scaledPixmap(size, mode, state, 1.0);
}

void SymbolIconEngine::paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state)
{
    const qreal scale = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
    painter->drawPixmap(rect, scaledPixmap(rect.size(), mode, state, scale));
}

QIconEngine *SymbolIconEngine::clone() const
{
    return new SymbolIconEngine(m_name, m_color);
}

QString SymbolIconEngine::key() const
{
    return QStringLiteral("VeloranSymbol");
}

QString SymbolIconEngine::iconName()
{
    return m_name;
}

bool SymbolIconEngine::isNull()
{
    return !SymbolRenderer::exists(m_name);
}
