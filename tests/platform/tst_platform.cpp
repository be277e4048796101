#include "platform/Platform.h"
#include "platform/accessibility/AccessibilitySettings.h"
#include "platform/appearance/Appearance.h"
#include "platform/fake/FakeAccessibilitySettings.h"
#include "platform/fake/FakeDesktopWindowing.h"
#include "platform/fake/FakeHaptics.h"
#include "platform/fake/FakeImageDecoder.h"
#include "platform/fake/FakePlatform.h"
#include "platform/fake/FakeScreenService.h"
#include "platform/fake/MemoryPreferences.h"
#include "platform/images/FileImageDecoder.h"
#include "platform/preferences/SettingsPreferences.h"
#include "platform/screens/QtScreenService.h"
#include "platform/symbols/DesktopSymbols.h"
#include "platform/windowing/X11DesktopWindowing.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

namespace {

// Sets an environment variable for one scope.
class EnvGuard {
public:
    EnvGuard(const char *name, const QByteArray &value, bool set = true)
        : m_name(name), m_had(qEnvironmentVariableIsSet(name)), m_old(qgetenv(name))
    {
        if (set)
            qputenv(name, value);
        else
            qunsetenv(name);
    }
    ~EnvGuard()
    {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char *m_name;
    bool m_had;
    QByteArray m_old;
};

} // namespace

class TestPlatform : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { Platform::install(nullptr); }

    void requestedKind_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<bool>("set");
        QTest::addColumn<int>("kind");
        QTest::newRow("unset") << QByteArray() << false << int(Platform::Kind::Linux);
        QTest::newRow("empty") << QByteArray("") << true << int(Platform::Kind::Linux);
        QTest::newRow("fake") << QByteArray("fake") << true << int(Platform::Kind::Fake);
        QTest::newRow("Fake, padded") << QByteArray(" Fake ") << true << int(Platform::Kind::Fake);
        QTest::newRow("linux") << QByteArray("linux") << true << int(Platform::Kind::Linux);
        QTest::newRow("unknown") << QByteArray("beos") << true << int(Platform::Kind::Linux);
    }

    void requestedKind()
    {
        QFETCH(QByteArray, value);
        QFETCH(bool, set);
        QFETCH(int, kind);
        const EnvGuard env("VELORAN_PLATFORM", value, set);
        QCOMPARE(int(Platform::requestedKind()), kind);
    }

    void environmentPicksTheFake()
    {
        const EnvGuard env("VELORAN_PLATFORM", "fake");
        Platform::install(nullptr);
        QVERIFY(!Platform::isInstalled());
        Platform &platform = Platform::instance();
        QCOMPARE(platform.kind(), Platform::Kind::Fake);
        QVERIFY(FakePlatform::current());
        QCOMPARE(&Platform::instance(), &platform);
        QCOMPARE(&platform.screens(), static_cast<ScreenService *>(FakePlatform::current()->fakes().screens));
    }

    void linuxByDefault()
    {
        const EnvGuard env("VELORAN_PLATFORM", QByteArray(), false);
        Platform::install(nullptr);
        Platform &platform = Platform::instance();
        QCOMPARE(platform.kind(), Platform::Kind::Linux);
        QVERIFY(!FakePlatform::current());
        QVERIFY(dynamic_cast<QtScreenService *>(&platform.screens()));
        QVERIFY(dynamic_cast<X11DesktopWindowing *>(&platform.windowing()));
        QVERIFY(dynamic_cast<FileImageDecoder *>(&platform.images()));
        QVERIFY(dynamic_cast<SettingsPreferences *>(&platform.preferences()));
        QVERIFY(dynamic_cast<DesktopSymbols *>(&platform.symbols()));
        QCOMPARE(platform.screens().screens().size(), 1);

        // No desktop portal here (the bus address leads nowhere): everything off, at once.
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!platform.accessibility().reduceMotion());
        QVERIFY(!platform.accessibility().reduceTransparency());
        QVERIFY(!platform.accessibility().increaseContrast());
        QCOMPARE(platform.appearance().accentColor(), QGuiApplication::palette().color(QPalette::Highlight));
        QVERIFY(timer.elapsed() < 1000);
    }

    void testsInstallTheirOwn()
    {
        auto fake = std::make_unique<FakePlatform>();
        FakePlatform *raw = fake.get();
        Platform::install(std::move(fake));
        QVERIFY(Platform::isInstalled());
        QCOMPARE(&Platform::instance(), static_cast<Platform *>(raw));
        QCOMPARE(FakePlatform::current(), raw);
        raw->fakes().preferences->setValue(PreferenceKeys::didOnboard, true);
        QVERIFY(Platform::instance().preferences().value(PreferenceKeys::didOnboard));
        // A fresh fake starts from nothing.
        Platform::install(std::make_unique<FakePlatform>());
        QVERIFY(!Platform::instance().preferences().value(PreferenceKeys::didOnboard));
    }

    void everyServiceIsRequired()
    {
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, Platform(Platform::Kind::Fake, Platform::Services{}));
    }

    void waylandSessionsUseXWayland_data()
    {
        QTest::addColumn<QByteArray>("session");
        QTest::addColumn<QByteArray>("display");
        QTest::addColumn<QByteArray>("chosen");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("wayland with XWayland") << QByteArray("wayland") << QByteArray(":0") << QByteArray() << QByteArray("xcb");
        QTest::newRow("wayland without XWayland") << QByteArray("wayland") << QByteArray() << QByteArray() << QByteArray();
        QTest::newRow("user's choice kept") << QByteArray("wayland") << QByteArray(":0") << QByteArray("wayland") << QByteArray("wayland");
        QTest::newRow("x11 session") << QByteArray("x11") << QByteArray(":0") << QByteArray() << QByteArray();
    }

    void waylandSessionsUseXWayland()
    {
        QFETCH(QByteArray, session);
        QFETCH(QByteArray, display);
        QFETCH(QByteArray, chosen);
        QFETCH(QByteArray, expected);
        const EnvGuard s("XDG_SESSION_TYPE", session);
        const EnvGuard w("WAYLAND_DISPLAY", "wayland-0", session == "wayland");
        const EnvGuard d("DISPLAY", display, !display.isEmpty());
        const EnvGuard q("QT_QPA_PLATFORM", chosen, !chosen.isEmpty());
        Platform::prepareProcess();
        QCOMPARE(qgetenv("QT_QPA_PLATFORM"), expected);
    }

    void fakeWindowingRecords()
    {
        FakeDesktopWindowing windowing;
        QWidget window;
        window.setObjectName(QStringLiteral("screen0"));
        windowing.prepareDesktopWindow(&window);
        windowing.setClickThrough(&window, true);
        windowing.setLevel(&window, WindowLevel::Floating);
        windowing.setClickThrough(&window, false);
        windowing.activateApplication();
        windowing.makeKeyAndOrderFront(&window);
        QCOMPARE(windowing.keyWindow(), &window);
        QVERIFY(windowing.isApplicationActive());
        QCOMPARE(windowing.level(&window), WindowLevel::Floating);
        QVERIFY(!windowing.isClickThrough(&window));
        QCOMPARE(windowing.state(&window).madeKey, 1);
        windowing.deactivateApplication();
        QVERIFY(!windowing.isApplicationActive());
        QCOMPARE(windowing.calls(),
                 QStringList({"prepare screen0", "clickThrough on screen0", "level floating screen0",
                              "clickThrough off screen0", "activateApplication", "makeKey screen0",
                              "deactivateApplication"}));
    }

    void fakeImages()
    {
        QTemporaryDir dir;
        FakeImageDecoder images;
        QImage big(800, 400, QImage::Format_RGB32);
        big.fill(Qt::red);
        ImageMetadata meta;
        meta.dateTimeOriginal = QStringLiteral("2021:05:06 07:08:09");
        images.addImage(QStringLiteral("/virtual/a.jpg"), big, meta);
        QCOMPARE(images.decode(QStringLiteral("/virtual/a.jpg"), 200).size(), QSize(200, 100));
        QCOMPARE(images.orientedSize(QStringLiteral("/virtual/a.jpg")), QSize(800, 400));
        QCOMPARE(images.metadata(QStringLiteral("/virtual/a.jpg")).dateTimeOriginal, meta.dateTimeOriginal);
        QCOMPARE(images.metadata(QStringLiteral("/virtual/a.jpg")).pixelSize, std::optional<QSize>(QSize(800, 400)));
        QCOMPARE(images.decodeCount(QStringLiteral("/virtual/a.jpg")), 1);

        const QString real = dir.filePath(QStringLiteral("real.png"));
        QVERIFY(big.save(real));
        QCOMPARE(images.decode(real).size(), QSize(800, 400));
        images.setFallbackToFiles(false);
        QVERIFY(images.decode(real).isNull());
        QCOMPARE(images.decodeCount(), 3);
    }

    void fakeFeedbackAndSettings()
    {
        FakePlatform platform;
        platform.haptics().perform();
        platform.haptics().perform();
        platform.haptics().beep();
        QCOMPARE(platform.fakes().haptics->performCount(), 2);
        QCOMPARE(platform.fakes().haptics->beepCount(), 1);

        QSignalSpy spy(&platform.accessibility(), &AccessibilitySettings::changed);
        platform.fakes().accessibility->setReduceTransparency(true);
        QVERIFY(platform.accessibility().reduceTransparency());
        QVERIFY(!platform.accessibility().reduceMotion());
        QCOMPARE(spy.count(), 1);

        QCOMPARE(platform.screens().screens().size(), 1);
        QCOMPARE(platform.screens().mainScreen()->bottomInset(), 30);
    }
};

int main(int argc, char **argv)
{
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path()));
    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + QFile::encodeName(home.filePath(QStringLiteral("no-bus"))));
    QApplication app(argc, argv);
    TestPlatform test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_platform.moc"
