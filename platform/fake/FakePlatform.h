#pragma once

#include "platform/Platform.h"

#include <utility>

class FakeAccessibilitySettings;
class FakeAppearance;
class FakeDesktopWindowing;
class FakeGeocoder;
class FakeGlobalHotKey;
class FakeHaptics;
class FakeImageDecoder;
class FakeScreenService;
class FakeSymbols;
class MemoryPreferences;

// Every service faked: one 1440 × 900 screen, windows that only record, in-memory
// preferences, settable accessibility and appearance, counted haptics, a hot key pressed by
// hand. Tests install it with Platform::install(std::make_unique<FakePlatform>()) and reach the
// fakes through fake().
class FakePlatform : public Platform {
public:
    struct Fakes {
        FakeScreenService *screens;
        FakeDesktopWindowing *windowing;
        FakeImageDecoder *images;
        MemoryPreferences *preferences;
        FakeAccessibilitySettings *accessibility;
        FakeHaptics *haptics;
        FakeAppearance *appearance;
        FakeSymbols *symbols;
        FakeGeocoder *geocoder;
        FakeGlobalHotKey *hotKey;
    };

    FakePlatform();
    ~FakePlatform() override;

    const Fakes &fakes() const { return m_fakes; }
    // The installed platform's fakes; null if the installed platform is not a FakePlatform.
    static FakePlatform *current();

private:
    explicit FakePlatform(std::pair<Services, Fakes> parts);
    static std::pair<Services, Fakes> makeServices();

    Fakes m_fakes;
};
