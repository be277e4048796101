#pragma once

#include "platform/symbols/Symbols.h"

#include <QSet>

// Our own symbol art without the desktop's icon theme, so results do not depend on the
// machine; names can be made to go missing to exercise the callers' fallbacks.
class FakeSymbols : public Symbols {
public:
    bool hasSymbol(const QString &name) const override;
    QImage symbolImage(const QString &name, qreal pointSize, const QColor &color, SymbolWeight weight,
                       qreal devicePixelRatio) const override;
    QIcon symbolIcon(const QString &name, const QColor &color) const override;

    void setMissing(const QString &name, bool missing = true);

private:
    QSet<QString> m_missing;
};
