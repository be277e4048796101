#include "app/shell/AppIcons.h"

#include "app/shell/BuildInfo.h"

// A static library's resources are only linked in when something refers to them.
static void initialiseAppIconResources()
{
    Q_INIT_RESOURCE(app_icons);
}

namespace {

QIcon themedOrBuiltIn(const char *name)
{
    initialiseAppIconResources();
    const QString themeName = QLatin1String(name);
    return QIcon::fromTheme(themeName, QIcon(QStringLiteral(":/veloran/app/%1.svg").arg(themeName)));
}

} // namespace

QIcon AppIcons::application()
{
    return themedOrBuiltIn(BuildInfo::iconName);
}

QIcon AppIcons::tray()
{
    return themedOrBuiltIn(BuildInfo::symbolicIconName);
}
