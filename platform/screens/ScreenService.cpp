#include "platform/screens/ScreenService.h"

ScreenService::ScreenService(QObject *parent) : QObject(parent)
{
    m_coalesce.setSingleShot(true);
    m_coalesce.setInterval(coalesceIntervalMs);
    connect(&m_coalesce, &QTimer::timeout, this, &ScreenService::changed);
}

ScreenService::~ScreenService() = default;

std::optional<ScreenInfo> ScreenService::mainScreen() const
{
    const ScreenList all = screens();
    for (const ScreenInfo &screen : all) {
        if (screen.primary)
            return screen;
    }
    if (all.isEmpty())
        return std::nullopt;
    return all.first();
}

std::optional<ScreenInfo> ScreenService::screenAt(QPoint globalPoint) const
{
    for (const ScreenInfo &screen : screens()) {
        if (screen.contains(globalPoint))
            return screen;
    }
    return std::nullopt;
}

std::optional<ScreenInfo> ScreenService::screenWithKey(const QString &displayKey) const
{
    if (displayKey.isEmpty())
        return std::nullopt;
    for (const ScreenInfo &screen : screens()) {
        if (screen.displayKey == displayKey)
            return screen;
    }
    return std::nullopt;
}

std::optional<ScreenInfo> ScreenService::screenFor(const QScreen *qscreen) const
{
    if (!qscreen)
        return std::nullopt;
    for (const ScreenInfo &screen : screens()) {
        if (screen.screen == qscreen)
            return screen;
    }
    return std::nullopt;
}

void ScreenService::noteChange()
{
    m_coalesce.start();
}
