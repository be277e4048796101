#include "platform/accessibility/PortalAccessibilitySettings.h"
#include "platform/appearance/PortalAppearance.h"
#include "platform/desktop/PortalSettings.h"
#include "platform/windowing/X11DesktopWindowing.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusVariant>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

using SettingsMap = QMap<QString, QVariantMap>;
Q_DECLARE_METATYPE(SettingsMap)

// A desktop portal's Settings interface, as GNOME's or KDE's backend answers it.
class FakePortal : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Settings")
public:
    SettingsMap values;
    bool answer = true;
    QList<QDBusMessage> unanswered;

    static QVariant rgb(double r, double g, double b)
    {
        QDBusArgument arg;
        arg.beginStructure();
        arg << r << g << b;
        arg.endStructure();
        return QVariant::fromValue(arg);
    }

public slots:
    void ReadAll(const QStringList &namespaces, const QDBusMessage &message)
    {
        message.setDelayedReply(true);
        if (!answer) {
            unanswered.append(message); // a hung backend
            return;
        }
        SettingsMap reply;
        for (auto it = values.cbegin(); it != values.cend(); ++it) {
            if (namespaces.isEmpty() || namespaces.contains(it.key()))
                reply.insert(it.key(), it.value());
        }
        m_bus->send(message.createReply(QVariant::fromValue(reply)));
    }

    void change(const QString &nameSpace, const QString &key, const QVariant &value)
    {
        QDBusMessage signal = QDBusMessage::createSignal(PortalSettings::path, PortalSettings::interface,
                                                         QStringLiteral("SettingChanged"));
        signal << nameSpace << key << QVariant::fromValue(QDBusVariant(value));
        m_bus->send(signal);
    }

public:
    QDBusConnection *m_bus = nullptr;
};

class TestPortal : public QObject {
    Q_OBJECT

private:
    QProcess m_daemon;
    QString m_address;
    QThread m_thread;
    FakePortal *m_portal = nullptr;
    std::unique_ptr<QDBusConnection> m_serviceBus;
    int m_clients = 0;

    QDBusConnection client()
    {
        return QDBusConnection::connectToBus(m_address, QStringLiteral("client%1").arg(++m_clients));
    }

    void setValues(const SettingsMap &values, bool answer = true)
    {
        QMetaObject::invokeMethod(m_portal, [this, values, answer] {
            m_portal->values = values;
            m_portal->answer = answer;
        }, Qt::BlockingQueuedConnection);
    }

private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")).isEmpty())
            QSKIP("dbus-daemon is not installed");
        qDBusRegisterMetaType<SettingsMap>();
        m_daemon.start(QStringLiteral("dbus-daemon"),
                       {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--nopidfile"),
                        QStringLiteral("--print-address=1")});
        QVERIFY(m_daemon.waitForStarted());
        QTRY_VERIFY(m_daemon.canReadLine());
        m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
        QVERIFY(!m_address.isEmpty());

        m_serviceBus = std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(m_address, QStringLiteral("portal")));
        QVERIFY(m_serviceBus->isConnected());
        // The portal answers from its own thread: a client waiting for it must not hold it up.
        m_portal = new FakePortal;
        m_portal->m_bus = m_serviceBus.get();
        m_portal->moveToThread(&m_thread);
        m_thread.start();
        QVERIFY(m_serviceBus->registerObject(PortalSettings::path, m_portal, QDBusConnection::ExportAllSlots));
        QVERIFY(m_serviceBus->registerService(PortalSettings::service));
    }

    void cleanupTestCase()
    {
        if (m_portal) {
            QMetaObject::invokeMethod(m_portal, [this] {
                for (const QDBusMessage &m : std::as_const(m_portal->unanswered))
                    m_serviceBus->send(m.createErrorReply(QDBusError::Failed, QStringLiteral("bye")));
                delete m_portal;
            }, Qt::BlockingQueuedConnection);
            m_thread.quit();
            m_thread.wait();
        }
        m_daemon.kill();
        m_daemon.waitForFinished();
    }

    void readsPublishedSettings()
    {
        QTemporaryDir dir;
        const QString picture = dir.filePath(QStringLiteral("dunes.jpg"));
        QFile(picture).open(QIODevice::WriteOnly);
        setValues({
            {QStringLiteral("org.freedesktop.appearance"),
             {{QStringLiteral("contrast"), 1u},
              {QStringLiteral("color-scheme"), 1u},
              {QStringLiteral("accent-color"), FakePortal::rgb(0.2, 0.4, 0.6)}}},
            {QStringLiteral("org.gnome.desktop.interface"), {{QStringLiteral("enable-animations"), false}}},
            {QStringLiteral("org.gnome.desktop.background"),
             {{QStringLiteral("picture-uri"), QStringLiteral("file:///nonexistent/light.jpg")},
              {QStringLiteral("picture-uri-dark"), QUrl::fromLocalFile(picture).toString()}}},
        });
        auto portal = std::make_shared<PortalSettings>(client());
        QTRY_VERIFY(portal->isAvailable());
        PortalAccessibilitySettings accessibility(portal);
        QVERIFY(accessibility.increaseContrast());
        QVERIFY(accessibility.reduceTransparency());
        QVERIFY(accessibility.reduceMotion());
        PortalAppearance appearance(portal);
        QCOMPARE(appearance.accentColor(), QColor::fromRgbF(0.2f, 0.4f, 0.6f));
        QCOMPARE(appearance.colorScheme(), Appearance::ColorScheme::Dark);
        X11DesktopWindowing windowing(portal);
        QCOMPARE(windowing.desktopPicturePath(ScreenInfo()), picture);
    }

    void otherDesktops()
    {
        setValues({
            {QStringLiteral("org.gnome.desktop.a11y.interface"), {{QStringLiteral("high-contrast"), true}}},
            {QStringLiteral("org.kde.kdeglobals.KDE"), {{QStringLiteral("AnimationDurationFactor"), 0.0}}},
            {QStringLiteral("org.freedesktop.appearance"), {{QStringLiteral("accent-color"), FakePortal::rgb(-1, -1, -1)}}},
        });
        auto portal = std::make_shared<PortalSettings>(client());
        QTRY_VERIFY(portal->isAvailable());
        PortalAccessibilitySettings accessibility(portal);
        QVERIFY(accessibility.increaseContrast());
        QVERIFY(accessibility.reduceMotion());
        // An accent outside 0…1 means "not set": the palette's highlight stands in.
        PortalAppearance appearance(portal);
        QCOMPARE(appearance.accentColor(), QGuiApplication::palette().color(QPalette::Highlight));
    }

    void nothingPublished()
    {
        setValues({{QStringLiteral("org.gnome.desktop.interface"), {{QStringLiteral("enable-animations"), true}}}});
        auto portal = std::make_shared<PortalSettings>(client());
        QTRY_VERIFY(portal->isAvailable());
        PortalAccessibilitySettings accessibility(portal);
        QVERIFY(!accessibility.reduceMotion());
        QVERIFY(!accessibility.increaseContrast());
        QVERIFY(!accessibility.reduceTransparency());
    }

    void followsChanges()
    {
        setValues({{QStringLiteral("org.freedesktop.appearance"), {{QStringLiteral("contrast"), 0u}}}});
        auto portal = std::make_shared<PortalSettings>(client());
        QTRY_VERIFY(portal->isAvailable());
        PortalAccessibilitySettings accessibility(portal);
        PortalAppearance appearance(portal);
        QVERIFY(!accessibility.increaseContrast());
        QSignalSpy accessibilityChanged(&accessibility, &AccessibilitySettings::changed);
        QSignalSpy appearanceChanged(&appearance, &Appearance::changed);

        QMetaObject::invokeMethod(m_portal, [this] {
            m_portal->change(QStringLiteral("org.freedesktop.appearance"), QStringLiteral("contrast"), 1u);
            m_portal->change(QStringLiteral("org.freedesktop.appearance"), QStringLiteral("accent-color"),
                             FakePortal::rgb(1, 0, 0));
        });
        QTRY_COMPARE(accessibilityChanged.count(), 1);
        QTRY_COMPARE(appearanceChanged.count(), 1);
        QVERIFY(accessibility.increaseContrast());
        QCOMPARE(appearance.accentColor(), QColor(Qt::red));
    }

    // Start-up never waits for the portal: what a slow backend says arrives as changes.
    void slowPortalNeverHoldsUpReads()
    {
        setValues({{QStringLiteral("org.freedesktop.appearance"), {{QStringLiteral("contrast"), 1u}}}}, false);
        QElapsedTimer timer;
        timer.start();
        auto portal = std::make_shared<PortalSettings>(client());
        PortalAccessibilitySettings accessibility(portal);
        QSignalSpy changed(&accessibility, &AccessibilitySettings::changed);
        QVERIFY(!accessibility.increaseContrast());
        QVERIFY(!portal->isAvailable());
        QVERIFY2(timer.elapsed() < 100, qPrintable(QString::number(timer.elapsed())));

        QMetaObject::invokeMethod(m_portal, [this] {
            m_portal->answer = true;
            for (const QDBusMessage &m : std::as_const(m_portal->unanswered))
                m_serviceBus->send(m.createReply(QVariant::fromValue(m_portal->values)));
            m_portal->unanswered.clear();
        }, Qt::BlockingQueuedConnection);
        QTRY_COMPARE(changed.count(), 1);
        QVERIFY(accessibility.increaseContrast());
        QVERIFY(portal->isAvailable());
    }

    void noPortal()
    {
        PortalSettings disconnected{QDBusConnection(QString())};
        QVERIFY(!disconnected.isAvailable());
        QVERIFY(!disconnected.value(QStringLiteral("org.freedesktop.appearance"), QStringLiteral("contrast")).isValid());

        // A session without a portal backend answers with an error: nothing is published.
        QVERIFY(m_serviceBus->unregisterService(PortalSettings::service));
        PortalSettings absent{client()};
        QSignalSpy changed(&absent, &PortalSettings::settingChanged);
        QTest::qWait(200);
        QVERIFY(!absent.isAvailable());
        QCOMPARE(changed.count(), 0);
        QVERIFY(m_serviceBus->registerService(PortalSettings::service));
    }

    void accentValues()
    {
        QCOMPARE(PortalAppearance::accentFromPortal(QVariantList{0.0, 0.5, 1.0}), QColor::fromRgbF(0, 0.5f, 1));
        QVERIFY(!PortalAppearance::accentFromPortal(QVariantList{0.0, 0.5}).isValid());
        QVERIFY(!PortalAppearance::accentFromPortal(QVariantList{0.0, 0.5, 1.5}).isValid());
        QVERIFY(!PortalAppearance::accentFromPortal(QVariantList{0.0, std::nan(""), 0.1}).isValid());
        QVERIFY(!PortalAppearance::accentFromPortal(QStringLiteral("#ff0000")).isValid());
        QVERIFY(!PortalAppearance::accentFromPortal(QVariant()).isValid());
    }
};

QTEST_MAIN(TestPortal)
#include "tst_portal.moc"
