#pragma once

#include <memory>

class Appearance;
class AccessibilitySettings;
class DesktopWindowing;
class Geocoder;
class GlobalHotKey;
class Haptics;
class ImageDecoder;
class Preferences;
class ScreenService;
class Symbols;

// The host services the application runs on, behind one boundary. Everything that depends on
// the window system, the desktop session or a decoding library is reached through here, so
// that the rest of the program can run against the real desktop or against fakes in tests.
//
// The instance is created on first use, on the GUI thread, after the QApplication exists.
// VELORAN_PLATFORM=fake|linux picks the implementation (default linux); tests may install
// their own instance instead.
class Platform {
public:
    enum class Kind { Linux, Fake };

    struct Services {
        std::unique_ptr<ScreenService> screens;
        std::unique_ptr<DesktopWindowing> windowing;
        std::unique_ptr<ImageDecoder> images;
        std::unique_ptr<Preferences> preferences;
        std::unique_ptr<AccessibilitySettings> accessibility;
        std::unique_ptr<Haptics> haptics;
        std::unique_ptr<Appearance> appearance;
        std::unique_ptr<Symbols> symbols;
        std::unique_ptr<Geocoder> geocoder;
        std::unique_ptr<GlobalHotKey> hotKey;
    };

    // Every service must be present.
    Platform(Kind kind, Services services);
    virtual ~Platform();
    Platform(const Platform &) = delete;
    Platform &operator=(const Platform &) = delete;

    static Platform &instance();
    // Replaces the current instance (nullptr: the next instance() creates one afresh).
    static void install(std::unique_ptr<Platform> platform);
    static bool isInstalled();
    static std::unique_ptr<Platform> create(Kind kind);
    // The kind VELORAN_PLATFORM asks for; unknown values fall back to Linux.
    static Kind requestedKind();
    // To be called before the QApplication is constructed: on a Wayland session the desktop
    // windows need X11 stacking and input shapes, so XWayland is chosen unless the user
    // picked a platform plugin.
    static void prepareProcess();

    Kind kind() const { return m_kind; }

    ScreenService &screens() const { return *m_services.screens; }
    DesktopWindowing &windowing() const { return *m_services.windowing; }
    ImageDecoder &images() const { return *m_services.images; }
    Preferences &preferences() const { return *m_services.preferences; }
    AccessibilitySettings &accessibility() const { return *m_services.accessibility; }
    Haptics &haptics() const { return *m_services.haptics; }
    Appearance &appearance() const { return *m_services.appearance; }
    Symbols &symbols() const { return *m_services.symbols; }
    Geocoder &geocoder() const { return *m_services.geocoder; }
    GlobalHotKey &hotKey() const { return *m_services.hotKey; }

private:
    Kind m_kind;
    Services m_services;
};
