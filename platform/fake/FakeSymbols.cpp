#include "platform/fake/FakeSymbols.h"

#include "platform/symbols/SymbolIconEngine.h"
#include "platform/symbols/SymbolRenderer.h"

bool FakeSymbols::hasSymbol(const QString &name) const
{
    return !m_missing.contains(name) && SymbolRenderer::exists(name);
}

QImage FakeSymbols::symbolImage(const QString &name, qreal pointSize, const QColor &color, SymbolWeight weight,
                                qreal devicePixelRatio) const
{
    if (!hasSymbol(name))
        return {};
    return SymbolRenderer::image(name, pointSize, color, weight, devicePixelRatio);
}

QIcon FakeSymbols::symbolIcon(const QString &name, const QColor &color) const
{
    if (!hasSymbol(name))
        return {};
    return QIcon(new SymbolIconEngine(name, color));
}

void FakeSymbols::setMissing(const QString &name, bool missing)
{
    if (missing)
        m_missing.insert(name);
    else
        m_missing.remove(name);
}
