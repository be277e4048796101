#include "platform/screens/QtScreenService.h"

#include "platform/screens/DisplayKey.h"
#include "platform/screens/ScreenNaming.h"

#include <QCursor>
#include <QGuiApplication>

QtScreenService::QtScreenService(QObject *parent) : ScreenService(parent)
{
    if (!qGuiApp)
        return;
    connect(qGuiApp, &QGuiApplication::screenAdded, this, [this](QScreen *screen) {
        watch(screen);
        noteChange();
    });
    connect(qGuiApp, &QGuiApplication::screenRemoved, this, [this] { noteChange(); });
    connect(qGuiApp, &QGuiApplication::primaryScreenChanged, this, [this] { noteChange(); });
    for (QScreen *screen : QGuiApplication::screens())
        watch(screen);
}

void QtScreenService::watch(QScreen *screen)
{
    connect(screen, &QScreen::geometryChanged, this, [this] { noteChange(); });
    connect(screen, &QScreen::availableGeometryChanged, this, [this] { noteChange(); });
    // Pixel ratio changes come with a DPI change on every platform plugin.
    connect(screen, &QScreen::logicalDotsPerInchChanged, this, [this] { noteChange(); });
    connect(screen, &QScreen::physicalDotsPerInchChanged, this, [this] { noteChange(); });
}

ScreenInfo QtScreenService::describe(QScreen &screen, int index)
{
    ScreenInfo info;
    info.name = screen.name();
    info.manufacturer = screen.manufacturer();
    info.model = screen.model();
    info.serialNumber = screen.serialNumber();
    info.localizedName = ScreenNaming::displayName(info.manufacturer, info.model, info.name);
    info.frame = screen.geometry();
    info.visibleFrame = screen.availableGeometry();
    info.devicePixelRatio = screen.devicePixelRatio();
    info.displayKey = DisplayKey::forScreen(screen, index);
    info.primary = &screen == QGuiApplication::primaryScreen();
    info.screen = &screen;
    return info;
}

ScreenList QtScreenService::screens() const
{
    ScreenList list;
    if (!qGuiApp)
        return list;
    const QList<QScreen *> all = QGuiApplication::screens();
    for (int i = 0; i < all.size(); ++i) {
        // Qt keeps a placeholder screen while no monitor is connected; it is not a display.
        if (all[i]->name().isEmpty() && all[i]->geometry().isEmpty())
            continue;
        list.append(describe(*all[i], i));
    }
    ScreenNaming::makeUnique(list);
    return list;
}

QPoint QtScreenService::pointerPosition() const
{
    return QCursor::pos();
}
