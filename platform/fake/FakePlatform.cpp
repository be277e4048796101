#include "platform/fake/FakePlatform.h"

#include "platform/fake/FakeAccessibilitySettings.h"
#include "platform/fake/FakeAppearance.h"
#include "platform/fake/FakeDesktopWindowing.h"
#include "platform/fake/FakeGeocoder.h"
#include "platform/fake/FakeGlobalHotKey.h"
#include "platform/fake/FakeHaptics.h"
#include "platform/fake/FakeImageDecoder.h"
#include "platform/fake/FakeScreenService.h"
#include "platform/fake/FakeSymbols.h"
#include "platform/fake/MemoryPreferences.h"

std::pair<Platform::Services, FakePlatform::Fakes> FakePlatform::makeServices()
{
    Services services;
    Fakes fakes{};
    auto take = [](auto &slot, auto object) {
        auto *raw = object.get();
        slot = std::move(object);
        return raw;
    };
    fakes.screens = take(services.screens, std::make_unique<FakeScreenService>());
    fakes.windowing = take(services.windowing, std::make_unique<FakeDesktopWindowing>());
    fakes.images = take(services.images, std::make_unique<FakeImageDecoder>());
    fakes.preferences = take(services.preferences, std::make_unique<MemoryPreferences>());
    fakes.accessibility = take(services.accessibility, std::make_unique<FakeAccessibilitySettings>());
    fakes.haptics = take(services.haptics, std::make_unique<FakeHaptics>());
    fakes.appearance = take(services.appearance, std::make_unique<FakeAppearance>());
    fakes.symbols = take(services.symbols, std::make_unique<FakeSymbols>());
    fakes.geocoder = take(services.geocoder, std::make_unique<FakeGeocoder>());
    fakes.hotKey = take(services.hotKey, std::make_unique<FakeGlobalHotKey>());
    return {std::move(services), fakes};
}

FakePlatform::FakePlatform() : FakePlatform(makeServices()) {}

FakePlatform::FakePlatform(std::pair<Services, Fakes> parts)
    : Platform(Kind::Fake, std::move(parts.first)), m_fakes(parts.second)
{
}

FakePlatform::~FakePlatform() = default;

FakePlatform *FakePlatform::current()
{
    if (!Platform::isInstalled())
        return nullptr;
    return dynamic_cast<FakePlatform *>(&Platform::instance());
}
