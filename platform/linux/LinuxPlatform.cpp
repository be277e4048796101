#include "platform/linux/LinuxPlatform.h"

#include "platform/accessibility/PortalAccessibilitySettings.h"
#include "platform/appearance/PortalAppearance.h"
#include "platform/desktop/PortalSettings.h"
#include "platform/geocoding/GeonamesGeocoder.h"
#include "platform/haptics/DesktopHaptics.h"
#include "platform/hotkey/X11GlobalHotKey.h"
#include "platform/images/FileImageDecoder.h"
#include "platform/preferences/SettingsPreferences.h"
#include "platform/screens/QtScreenService.h"
#include "platform/symbols/DesktopSymbols.h"
#include "platform/windowing/X11DesktopWindowing.h"

Platform::Services makeLinuxServices()
{
    auto portal = std::make_shared<PortalSettings>();
    Platform::Services services;
    services.screens = std::make_unique<QtScreenService>();
    services.windowing = std::make_unique<X11DesktopWindowing>(portal);
    services.images = std::make_unique<FileImageDecoder>();
    services.preferences = std::make_unique<SettingsPreferences>();
    services.accessibility = std::make_unique<PortalAccessibilitySettings>(portal);
    services.haptics = std::make_unique<DesktopHaptics>();
    services.appearance = std::make_unique<PortalAppearance>(portal);
    services.symbols = std::make_unique<DesktopSymbols>();
    services.geocoder = std::make_unique<GeonamesGeocoder>();
    services.hotKey = std::make_unique<X11GlobalHotKey>();
    return services;
}
