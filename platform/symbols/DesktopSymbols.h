#pragma once

#include "platform/symbols/Symbols.h"

#include <optional>

// Symbols from our own art, icons from the desktop's icon theme where it has a fitting one.
class DesktopSymbols : public Symbols {
public:
    bool hasSymbol(const QString &name) const override;
    QImage symbolImage(const QString &name, qreal pointSize, const QColor &color, SymbolWeight weight,
                       qreal devicePixelRatio) const override;
    QIcon symbolIcon(const QString &name, const QColor &color) const override;
    QCursor cursor(CursorShape shape) const override;

private:
    mutable std::optional<QCursor> m_resize;
    mutable std::optional<QCursor> m_rotate;
};
