#include "platform/symbols/DesktopSymbols.h"

#include "platform/symbols/SymbolCatalog.h"
#include "platform/symbols/SymbolCursor.h"
#include "platform/symbols/SymbolIconEngine.h"
#include "platform/symbols/SymbolRenderer.h"

bool DesktopSymbols::hasSymbol(const QString &name) const
{
    return SymbolRenderer::exists(name);
}

QImage DesktopSymbols::symbolImage(const QString &name, qreal pointSize, const QColor &color, SymbolWeight weight,
                                   qreal devicePixelRatio) const
{
    return SymbolRenderer::image(name, pointSize, color, weight, devicePixelRatio);
}

QIcon DesktopSymbols::symbolIcon(const QString &name, const QColor &color) const
{
    const SymbolCatalog::Entry *entry = SymbolCatalog::find(name);
    if (!entry || !SymbolRenderer::exists(name))
        return {};
    if (!color.isValid()) {
        for (const QString &themeName : entry->themeIcons) {
            if (QIcon::hasThemeIcon(themeName))
                return QIcon::fromTheme(themeName);
        }
    }
    return QIcon(new SymbolIconEngine(name, color));
}

QCursor DesktopSymbols::cursor(CursorShape shape) const
{
    switch (shape) {
    case CursorShape::Arrow:
        return QCursor(Qt::ArrowCursor);
    case CursorShape::OpenHand:
        return QCursor(Qt::OpenHandCursor);
    case CursorShape::ClosedHand:
        return QCursor(Qt::ClosedHandCursor);
    case CursorShape::Crosshair:
        return QCursor(Qt::CrossCursor);
    case CursorShape::Resize:
        if (!m_resize)
            m_resize = SymbolCursor::cursor(*this, QStringLiteral("arrow.up.left.and.arrow.down.right"));
        return *m_resize;
    case CursorShape::Rotate:
        if (!m_rotate)
            m_rotate = SymbolCursor::cursor(*this, QStringLiteral("arrow.triangle.2.circlepath"));
        return *m_rotate;
    }
    return QCursor(Qt::ArrowCursor);
}
