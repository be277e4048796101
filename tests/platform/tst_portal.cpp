#include "platform/accessibility/PortalAccessibilitySettings.h"
#include "platform/appearance/PortalAppearance.h"
#include "platform/desktop/PortalSettings.h"
#include "platform/windowing/X11DesktopWindowing.h"

#include <QtDBus>
#include <QtTest>

using SettingsMap = QMap<QString, QVariantMap>;
Q_DECLARE_METATYPE(SettingsMap)

// A desktop portal's Settings interface, as GNOME's or KDE's backend answers it.
class FakePortal : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Settings")
public:
    explicit FakePortal(const QDBusConnection &bus) : m_bus(bus) {}
    SettingsMap values;
    bool answer = true;
    QList<QDBusMessage> unanswered; // while answer is off: a hung backend

    static QVariant rgb(double r, double g, double b)
    {
        QDBusArgument arg;
        arg.beginStructure();
        arg << r << g << b;
        arg.endStructure();
        return QVariant::fromValue(arg);
    }

    void change(const QString &nameSpace, const QString &key, const QVariant &value)
    {
        QDBusMessage signal = QDBusMessage::createSignal(PortalSettings::path, PortalSettings::interface,
                                                         QStringLiteral("SettingChanged"));
        signal << nameSpace << key << QVariant::fromValue(QDBusVariant(value));
        m_bus.send(signal);
    }

    void wakeUp()
    {
        answer = true;
        for (const QDBusMessage &m : std::exchange(unanswered, {}))
            m_bus.send(m.createReply(QVariant::fromValue(values)));
    }

public slots:
    void ReadAll(const QStringList &namespaces, const QDBusMessage &message)
    {
        message.setDelayedReply(true);
        if (!answer) {
            unanswered.append(message);
            return;
        }
        SettingsMap reply;
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            if (namespaces.isEmpty() || namespaces.contains(it.key()))
                reply.insert(it.key(), it.value());
        m_bus.send(message.createReply(QVariant::fromValue(reply)));
    }

private:
    QDBusConnection m_bus;
};

// A private bus with the fake portal on it. PortalSettings never waits for an answer, so the
// portal can answer from this same thread.
class TestPortal : public QObject {
    Q_OBJECT

private:
    QProcess m_daemon;
    QString m_address;
    QDBusConnection m_serviceBus{QString()};
    std::unique_ptr<FakePortal> m_portal;
    int m_clients = 0;

    QDBusConnection client()
    {
        return QDBusConnection::connectToBus(m_address, QStringLiteral("client%1").arg(++m_clients));
    }

private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")).isEmpty())
            QSKIP("dbus-daemon is not installed");
        qDBusRegisterMetaType<SettingsMap>();
        m_daemon.start(QStringLiteral("dbus-daemon"), {"--session", "--nofork", "--nopidfile", "--print-address=1"});
        QVERIFY(m_daemon.waitForStarted());
        QTRY_VERIFY(m_daemon.canReadLine());
        m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
        m_serviceBus = QDBusConnection::connectToBus(m_address, QStringLiteral("portal"));
        QVERIFY(m_serviceBus.isConnected());
        m_portal = std::make_unique<FakePortal>(m_serviceBus);
        QVERIFY(m_serviceBus.registerObject(PortalSettings::path, m_portal.get(), QDBusConnection::ExportAllSlots));
        QVERIFY(m_serviceBus.registerService(PortalSettings::service));
    }

    void cleanupTestCase()
    {
        m_daemon.kill();
        m_daemon.waitForFinished();
    }

    void readsPublishedSettings()
    {
        QTemporaryDir dir;
        const QString picture = dir.filePath(QStringLiteral("dunes.jpg"));
        QFile(picture).open(QIODevice::WriteOnly);
        m_portal->values = {{"org.freedesktop.appearance",
                             {{"contrast", 1u}, {"color-scheme", 1u}, {"accent-color", FakePortal::rgb(0.2, 0.4, 0.6)}}},
                            {"org.gnome.desktop.interface", {{"enable-animations", false}}},
                            {"org.gnome.desktop.background", {{"picture-uri", "file:///nonexistent/light.jpg"},
                                                              {"picture-uri-dark", QUrl::fromLocalFile(picture).url()}}}};
        auto portal = std::make_shared<PortalSettings>(client());
        QTRY_VERIFY(portal->isAvailable());
        PortalAccessibilitySettings accessibility(portal);
        QVERIFY(accessibility.increaseContrast() && accessibility.reduceTransparency() && accessibility.reduceMotion());
        PortalAppearance appearance(portal);
        QCOMPARE(appearance.accentColor(), QColor::fromRgbF(0.2f, 0.4f, 0.6f));
        QCOMPARE(appearance.colorScheme(), Appearance::ColorScheme::Dark);
        X11DesktopWindowing windowing(portal);
        QCOMPARE(windowing.desktopPicturePath(ScreenInfo()), picture);

        // Other desktops' keys, and which accent values count.
        m_portal->values = {{"org.gnome.desktop.a11y.interface", {{"high-contrast", true}}},
                            {"org.kde.kdeglobals.KDE", {{"AnimationDurationFactor", 0.0}}},
                            {"org.freedesktop.appearance", {{"accent-color", FakePortal::rgb(-1, -1, -1)}}}};
        auto other = std::make_shared<PortalSettings>(client());
        QTRY_VERIFY(other->isAvailable());
        PortalAccessibilitySettings otherAccessibility(other);
        QVERIFY(otherAccessibility.increaseContrast() && otherAccessibility.reduceMotion());
        // An accent outside 0…1 means "not set": the palette's highlight stands in.
        QCOMPARE(PortalAppearance(other).accentColor(), QGuiApplication::palette().color(QPalette::Highlight));
        QCOMPARE(PortalAppearance::accentFromPortal(QVariantList{0.0, 0.5, 1.0}), QColor::fromRgbF(0, 0.5f, 1));
        for (const QVariant &bad : {QVariant(QVariantList{0.0, 0.5}), QVariant(QVariantList{0.0, 0.5, 1.5}),
                                    QVariant(QVariantList{0.0, std::nan(""), 0.1}), QVariant(QStringLiteral("#ff0000")), QVariant()})
            QVERIFY(!PortalAppearance::accentFromPortal(bad).isValid());
    }

    // Starting from nothing published (animations on), changes arrive as signals.
    void followsChanges()
    {
        m_portal->values = {{"org.freedesktop.appearance", {{"contrast", 0u}}},
                            {"org.gnome.desktop.interface", {{"enable-animations", true}}}};
        auto portal = std::make_shared<PortalSettings>(client());
        QTRY_VERIFY(portal->isAvailable());
        PortalAccessibilitySettings accessibility(portal);
        PortalAppearance appearance(portal);
        QVERIFY(!accessibility.increaseContrast() && !accessibility.reduceMotion() && !accessibility.reduceTransparency());
        QSignalSpy accessibilityChanged(&accessibility, &AccessibilitySettings::changed);
        QSignalSpy appearanceChanged(&appearance, &Appearance::changed);
        m_portal->change("org.freedesktop.appearance", "contrast", 1u);
        m_portal->change("org.freedesktop.appearance", "accent-color", FakePortal::rgb(1, 0, 0));
        QTRY_COMPARE(accessibilityChanged.count(), 1);
        QTRY_COMPARE(appearanceChanged.count(), 1);
        QVERIFY(accessibility.increaseContrast());
        QCOMPARE(appearance.accentColor(), QColor(Qt::red));
    }

    // Start-up never waits for the portal: what a slow backend says arrives as changes.
    void slowOrNoPortal()
    {
        m_portal->values = {{"org.freedesktop.appearance", {{"contrast", 1u}}}};
        m_portal->answer = false;
        QElapsedTimer timer;
        timer.start();
        auto portal = std::make_shared<PortalSettings>(client());
        PortalAccessibilitySettings accessibility(portal);
        QSignalSpy changed(&accessibility, &AccessibilitySettings::changed);
        QVERIFY(!accessibility.increaseContrast() && !portal->isAvailable());
        QVERIFY2(timer.elapsed() < 100, qPrintable(QString::number(timer.elapsed())));

        QTRY_COMPARE(m_portal->unanswered.size(), 1);
        m_portal->wakeUp();
        QTRY_COMPARE(changed.count(), 1);
        QVERIFY(accessibility.increaseContrast() && portal->isAvailable());

        PortalSettings disconnected{QDBusConnection(QString())};
        QVERIFY(!disconnected.isAvailable() && !disconnected.value("org.freedesktop.appearance", "contrast").isValid());

        // A session without a portal backend answers with an error: nothing is published.
        QVERIFY(m_serviceBus.unregisterService(PortalSettings::service));
        PortalSettings absent{client()};
        QSignalSpy absentChanged(&absent, &PortalSettings::settingChanged);
        QTest::qWait(200);
        QVERIFY(!absent.isAvailable());
        QCOMPARE(absentChanged.count(), 0);
        QVERIFY(m_serviceBus.registerService(PortalSettings::service));
    }
};

QTEST_MAIN(TestPortal)
#include "tst_portal.moc"
