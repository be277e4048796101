#include "platform/Platform.h"
#include "platform/accessibility/AccessibilitySettings.h"
#include "platform/appearance/Appearance.h"
#include "platform/fake/FakeGlobalHotKey.h"
#include "platform/fake/FakePlatform.h"
#include "platform/fake/FakeScreenService.h"
#include "platform/hotkey/X11GlobalHotKey.h"
#include "platform/images/FileImageDecoder.h"
#include "platform/preferences/SettingsPreferences.h"
#include "platform/screens/QtScreenService.h"
#include "platform/symbols/DesktopSymbols.h"
#include "platform/windowing/X11DesktopWindowing.h"
#include "support/Sandbox.h"

#include <QtTest>

// Sets an environment variable, or unsets it for a null value, for one scope.
struct EnvGuard {
    EnvGuard(const char *name, const QByteArray &value) : name(name), old(qgetenv(name)), wasSet(qEnvironmentVariableIsSet(name))
    {
        value.isNull() ? qunsetenv(name) : qputenv(name, value);
    }
    ~EnvGuard() { wasSet ? qputenv(name, old) : qunsetenv(name); }
    const char *name;
    QByteArray old;
    bool wasSet;
};

class TestPlatform : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { Platform::install(nullptr); }

    void environmentChoosesThePlatform()
    {
        using K = Platform::Kind;
        for (const auto &[value, kind] :
             QList<std::pair<QByteArray, K>>{{{}, K::Linux}, {"fake", K::Fake}, {" Fake ", K::Fake}, {"beos", K::Linux}}) {
            const EnvGuard env("VELORAN_PLATFORM", value);
            QCOMPARE(Platform::requestedKind(), kind);
        }
        // XWayland is chosen on a Wayland session that has it, unless the user chose otherwise.
        struct Row { QByteArray session, display, chosen, expected; };
        for (const Row &r : {Row{"wayland", ":0", {}, "xcb"}, Row{"wayland", {}, {}, {}}, Row{"wayland", ":0", "wayland", "wayland"},
                             Row{"x11", ":0", {}, {}}}) {
            const EnvGuard s("XDG_SESSION_TYPE", r.session), d("DISPLAY", r.display), q("QT_QPA_PLATFORM", r.chosen);
            const EnvGuard w("WAYLAND_DISPLAY", r.session == "wayland" ? QByteArray("wayland-0") : QByteArray());
            Platform::prepareProcess();
            QCOMPARE(qgetenv("QT_QPA_PLATFORM"), r.expected);
        }
        const EnvGuard env("VELORAN_PLATFORM", "fake");
        QVERIFY(!Platform::isInstalled());
        Platform &platform = Platform::instance();
        QCOMPARE(platform.kind(), Platform::Kind::Fake);
        QCOMPARE(&Platform::instance(), &platform);
        QCOMPARE(&platform.screens(), static_cast<ScreenService *>(FakePlatform::current()->fakes().screens));
        QCOMPARE(&platform.hotKey(), static_cast<GlobalHotKey *>(FakePlatform::current()->fakes().hotKey));
    }

    void linuxByDefault()
    {
        const EnvGuard env("VELORAN_PLATFORM", QByteArray());
        Platform &platform = Platform::instance();
        QCOMPARE(platform.kind(), Platform::Kind::Linux);
        QVERIFY(!FakePlatform::current());
        QVERIFY(dynamic_cast<QtScreenService *>(&platform.screens()) && dynamic_cast<X11DesktopWindowing *>(&platform.windowing())
                && dynamic_cast<FileImageDecoder *>(&platform.images()) && dynamic_cast<SettingsPreferences *>(&platform.preferences())
                && dynamic_cast<DesktopSymbols *>(&platform.symbols()) && dynamic_cast<X11GlobalHotKey *>(&platform.hotKey()));
        // Offscreen there is no X server to take a shortcut from.
        QCOMPARE(platform.hotKey().registerBinding(HotKeyBinding()), GlobalHotKey::Result::Failed);
        // No desktop portal here (the bus address leads nowhere): everything off, at once.
        QElapsedTimer timer;
        timer.start();
        const AccessibilitySettings &a11y = platform.accessibility();
        QVERIFY(!a11y.reduceMotion() && !a11y.reduceTransparency() && !a11y.increaseContrast());
        QCOMPARE(platform.appearance().accentColor(), QGuiApplication::palette().color(QPalette::Highlight));
        QVERIFY(timer.elapsed() < 1000);
    }
};

int main(int argc, char **argv)
{
    const Sandbox sandbox;
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + QFile::encodeName(sandbox.path(QStringLiteral("no-bus"))));
    QApplication app(argc, argv);
    TestPlatform test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_platform.moc"
