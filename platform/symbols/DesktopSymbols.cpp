#include "platform/symbols/DesktopSymbols.h"

#include "platform/symbols/SymbolCatalog.h"
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
    // The symbol cursors are drawn once; the pointer asks for them on every move.
    if (shape == CursorShape::Resize) {
        if (!m_resize)
            m_resize = Symbols::cursor(shape);
        return *m_resize;
    }
    if (shape == CursorShape::Rotate) {
        if (!m_rotate)
            m_rotate = Symbols::cursor(shape);
        return *m_rotate;
    }
    return Symbols::cursor(shape);
}
