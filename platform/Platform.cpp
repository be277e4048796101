#include "platform/Platform.h"

#include "core/Log.h"
#include "platform/accessibility/AccessibilitySettings.h"
#include "platform/appearance/Appearance.h"
#include "platform/fake/FakePlatform.h"
#include "platform/geocoding/Geocoder.h"
#include "platform/haptics/Haptics.h"
#include "platform/hotkey/GlobalHotKey.h"
#include "platform/images/ImageDecoder.h"
#include "platform/linux/LinuxPlatform.h"
#include "platform/preferences/Preferences.h"
#include "platform/screens/ScreenService.h"
#include "platform/symbols/Symbols.h"
#include "platform/windowing/DesktopWindowing.h"

#include <QCoreApplication>

#include <cstdlib>
#include <mutex>
#include <stdexcept>

namespace {

std::recursive_mutex g_mutex;
std::unique_ptr<Platform> g_instance;
bool g_cleanupRegistered = false;

// Services are QObjects tied to the application: they must go before it does, not at exit.
void releaseInstance()
{
    std::lock_guard lock(g_mutex);
    g_instance.reset();
    g_cleanupRegistered = false;
}

void registerCleanup()
{
    if (!g_cleanupRegistered && QCoreApplication::instance()) {
        qAddPostRoutine(releaseInstance);
        g_cleanupRegistered = true;
    }
}

} // namespace

Platform::Platform(Kind kind, Services services) : m_kind(kind), m_services(std::move(services))
{
    if (!m_services.screens || !m_services.windowing || !m_services.images || !m_services.preferences
        || !m_services.accessibility || !m_services.haptics || !m_services.appearance || !m_services.symbols
        || !m_services.geocoder || !m_services.hotKey)
        throw std::invalid_argument("Platform: every service must be present");
}

Platform::~Platform() = default;

Platform &Platform::instance()
{
    std::lock_guard lock(g_mutex);
    if (!g_instance) {
        g_instance = create(requestedKind());
        registerCleanup();
        Log::app().debug(QStringLiteral("host platform: %1").arg(
            g_instance->kind() == Kind::Fake ? QStringLiteral("fake") : QStringLiteral("linux")));
    }
    return *g_instance;
}

void Platform::install(std::unique_ptr<Platform> platform)
{
    std::lock_guard lock(g_mutex);
    g_instance = std::move(platform);
    if (g_instance)
        registerCleanup();
}

bool Platform::isInstalled()
{
    std::lock_guard lock(g_mutex);
    return g_instance != nullptr;
}

std::unique_ptr<Platform> Platform::create(Kind kind)
{
    switch (kind) {
    case Kind::Fake:
        return std::make_unique<FakePlatform>();
    case Kind::Linux:
        break;
    }
    return std::make_unique<Platform>(Kind::Linux, makeLinuxServices());
}

Platform::Kind Platform::requestedKind()
{
    const QByteArray requested = qgetenv("VELORAN_PLATFORM").trimmed().toLower();
    if (requested == "fake")
        return Kind::Fake;
    if (!requested.isEmpty() && requested != "linux")
        Log::app().error(QStringLiteral("unknown VELORAN_PLATFORM \"%1\", using linux").arg(QString::fromLocal8Bit(requested)));
    return Kind::Linux;
}

void Platform::prepareProcess()
{
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        return;
    const bool wayland = qgetenv("XDG_SESSION_TYPE") == "wayland" || qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
    if (wayland && qEnvironmentVariableIsSet("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
}
