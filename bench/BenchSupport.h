#pragma once

// What the benchmarks share: an offscreen GUI on fake host services, and the meters.
#include "platform/fake/FakePlatform.h"
#include "platform/fake/FakeScreenService.h"

#include <QByteArray>
#include <QFile>
#include <QRect>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace Bench {

// Before the QApplication: offscreen unless a platform was chosen; figures printed line by line.
inline void prepareProcess()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
}

// The fake host services installed; with screens given, those are the screens.
inline FakeScreenService &installFakePlatform(const ScreenList &screens = {})
{
    auto platform = std::make_unique<FakePlatform>();
    FakeScreenService &service = *platform->fakes().screens;
    if (!screens.isEmpty())
        service.setScreens(screens);
    Platform::install(std::move(platform));
    return service;
}

inline ScreenList oneScreen(const QRect &frame)
{
    return {FakeScreenService::makeScreen(QStringLiteral("MAIN"), frame)};
}

// CPU time of the calling thread: its own work, whatever else the machine is doing.
inline double threadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

inline double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

inline long residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return -1;
}

} // namespace Bench
