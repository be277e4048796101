#include "platform/fake/FakeDesktopWindowing.h"

#include <QWidget>

namespace {
QString levelName(WindowLevel level)
{
    switch (level) {
    case WindowLevel::Desktop:
        return QStringLiteral("desktop");
    case WindowLevel::Normal:
        return QStringLiteral("normal");
    case WindowLevel::Floating:
        return QStringLiteral("floating");
    case WindowLevel::Panel:
        return QStringLiteral("panel");
    }
    return {};
}
} // namespace

void FakeDesktopWindowing::record(const QString &call, const QWidget *window)
{
    m_calls.append(window && !window->objectName().isEmpty() ? call + QLatin1Char(' ') + window->objectName() : call);
}

void FakeDesktopWindowing::prepareDesktopWindow(QWidget *window)
{
    WindowState &state = m_windows[window];
    state.prepared = true;
    state.level = WindowLevel::Desktop;
    record(QStringLiteral("prepare"), window);
}

void FakeDesktopWindowing::setLevel(QWidget *window, WindowLevel level)
{
    m_windows[window].level = level;
    record(QStringLiteral("level ") + levelName(level), window);
}

WindowLevel FakeDesktopWindowing::level(const QWidget *window) const
{
    return m_windows.value(window).level;
}

void FakeDesktopWindowing::setClickThrough(QWidget *window, bool on)
{
    m_windows[window].clickThrough = on;
    record(on ? QStringLiteral("clickThrough on") : QStringLiteral("clickThrough off"), window);
}

bool FakeDesktopWindowing::isClickThrough(const QWidget *window) const
{
    return m_windows.value(window).clickThrough;
}

void FakeDesktopWindowing::activateApplication()
{
    m_active = true;
    record(QStringLiteral("activateApplication"), nullptr);
}

void FakeDesktopWindowing::makeKeyAndOrderFront(QWidget *window)
{
    ++m_windows[window].madeKey;
    m_keyWindow = window;
    record(QStringLiteral("makeKey"), window);
}

void FakeDesktopWindowing::deactivateApplication()
{
    m_active = false;
    m_keyWindow = nullptr;
    record(QStringLiteral("deactivateApplication"), nullptr);
}

QImage FakeDesktopWindowing::desktopBackground(const ScreenInfo &) const
{
    return m_background;
}

QString FakeDesktopWindowing::desktopPicturePath(const ScreenInfo &) const
{
    return m_picturePath;
}

void FakeDesktopWindowing::setBlurBehind(QWidget *window, bool on, const QRegion &region)
{
    WindowState &state = m_windows[window];
    state.blurBehind = on;
    state.blurRegion = on ? region : QRegion();
    record(on ? QStringLiteral("blur on") : QStringLiteral("blur off"), window);
}
