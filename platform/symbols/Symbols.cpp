#include "platform/symbols/Symbols.h"

#include "platform/symbols/SymbolCursor.h"

Symbols::~Symbols() = default;

QCursor Symbols::cursor(CursorShape shape) const
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
