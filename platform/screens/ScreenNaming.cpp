#include "platform/screens/ScreenNaming.h"

#include <QCoreApplication>
#include <QHash>

QString ScreenNaming::displayName(const QString &manufacturer, const QString &model, const QString &connector)
{
    const QString product = model.simplified();
    if (!product.isEmpty()) {
        // Vendor names from EDID are long ("Dell Inc.", "LG Electronics"); their first word is
        // what people call the brand, and models often carry it already.
        const QString brand = manufacturer.simplified().section(QLatin1Char(' '), 0, 0);
        if (brand.isEmpty() || product.contains(brand, Qt::CaseInsensitive))
            return product;
        return brand + QLatin1Char(' ') + product;
    }
    const QString port = connector.trimmed();
    for (const char *internal : {"eDP", "LVDS", "DSI"}) {
        if (port.startsWith(QLatin1String(internal), Qt::CaseInsensitive))
            return QCoreApplication::translate("ScreenNaming", "Built-in Display");
    }
    if (!port.isEmpty())
        return port;
    return QCoreApplication::translate("ScreenNaming", "Display");
}

void ScreenNaming::makeUnique(ScreenList &screens)
{
    QHash<QString, int> counts;
    for (const ScreenInfo &screen : screens)
        ++counts[screen.localizedName];
    QHash<QString, int> seen;
    for (ScreenInfo &screen : screens) {
        const QString base = screen.localizedName;
        if (counts.value(base) > 1)
            screen.localizedName = QStringLiteral("%1 (%2)").arg(base).arg(++seen[base]);
    }
}
