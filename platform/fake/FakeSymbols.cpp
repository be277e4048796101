#include "platform/fake/FakeSymbols.h"

#include "platform/symbols/SymbolCursor.h"
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

QCursor FakeSymbols::cursor(CursorShape shape) const
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
        return SymbolCursor::cursor(*this, QStringLiteral("arrow.up.left.and.arrow.down.right"));
    case CursorShape::Rotate:
        return SymbolCursor::cursor(*this, QStringLiteral("arrow.triangle.2.circlepath"));
    }
    return QCursor(Qt::ArrowCursor);
}

void FakeSymbols::setMissing(const QString &name, bool missing)
{
    if (missing)
        m_missing.insert(name);
    else
        m_missing.remove(name);
}
