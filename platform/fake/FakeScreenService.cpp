#include "platform/fake/FakeScreenService.h"

#include "platform/screens/DisplayKey.h"
#include "platform/screens/ScreenNaming.h"

FakeScreenService::FakeScreenService(QObject *parent) : ScreenService(parent)
{
    m_screens.append(makeScreen(QStringLiteral("FAKE-1"), QRect(0, 0, 1440, 900), QRect(0, 0, 1440, 870)));
    m_screens.first().primary = true;
}

ScreenInfo FakeScreenService::makeScreen(const QString &connector, const QRect &frame, const QRect &visibleFrame,
                                         qreal devicePixelRatio)
{
    ScreenInfo info;
    info.name = connector;
    info.localizedName = ScreenNaming::displayName(QString(), QString(), connector);
    info.frame = frame;
    info.visibleFrame = visibleFrame.isNull() ? frame : visibleFrame;
    info.devicePixelRatio = devicePixelRatio;
    info.displayKey = DisplayKey::fromIdentity(QString(), QString(), QString(), connector);
    return info;
}

ScreenList FakeScreenService::screens() const
{
    return m_screens;
}

QPoint FakeScreenService::pointerPosition() const
{
    return m_pointer;
}

void FakeScreenService::setScreens(const ScreenList &screens)
{
    m_screens = screens;
    noteChange();
}

void FakeScreenService::setPointerPosition(QPoint position)
{
    m_pointer = position;
}
