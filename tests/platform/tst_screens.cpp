#include "platform/fake/FakeScreenService.h"
#include "platform/screens/DisplayKey.h"
#include "platform/screens/QtScreenService.h"
#include "platform/screens/ScreenNaming.h"

#include <QCursor>
#include <QGuiApplication>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QUuid>
#include <QtTest>

// Two screens side by side from the offscreen plugin's layout file (written by main()).
static const char kLayout[] = R"({
  "screens": [
    { "name": "LEFT", "x": 0, "y": 0, "width": 1920, "height": 1080, "dpr": 1 },
    { "name": "RIGHT", "x": 1920, "y": 0, "width": 1280, "height": 1024, "dpr": 2 }
  ]
})";

class TestScreens : public QObject {
    Q_OBJECT

private slots:
    // Keys are stored in the user's preferences: the derivation must never change. The fixed
    // values are upper-case name-based (SHA-1, version 5) UUIDs without braces.
    void displayKeyIsStableForever()
    {
        QCOMPARE(DisplayKey::fromIdentity(QString(), QString(), QString(), QStringLiteral("HDMI-1")),
                 QStringLiteral("3059562E-98FA-56BF-81E3-487FEA39812D"));
        const QString key = DisplayKey::fromIdentity(QStringLiteral("Dell Inc."), QStringLiteral("DELL U2720Q"),
                                                     QStringLiteral("F8KX123"), QStringLiteral("DP-1"));
        QCOMPARE(key, QStringLiteral("BBC3CFFD-4A90-517A-8696-B3856DF88865"));
        QVERIFY(DisplayKey::isWellFormed(key));
        QVERIFY(!DisplayKey::isWellFormed(key.toLower()));
        QVERIFY(!DisplayKey::isWellFormed(QStringLiteral("{") + key + QStringLiteral("}")));
        // Without any identity there is no key.
        QVERIFY(DisplayKey::fromIdentity(QString(), QString(), QString(), QString()).isEmpty());
        QVERIFY(DisplayKey::fromIdentity(QString(), QString(), QString(), QStringLiteral("  ")).isEmpty());
    }

    void displayKeyIdentity_data()
    {
        QTest::addColumn<QStringList>("a"); // manufacturer, model, serial, connector
        QTest::addColumn<QStringList>("b");
        QTest::addColumn<bool>("same");
        const QString dell = QStringLiteral("Dell Inc.");
        const QString u27 = QStringLiteral("DELL U2720Q");
        QTest::newRow("same monitor, other port") << QStringList{dell, u27, "SN1", "DP-1"} << QStringList{dell, u27, "SN1", "HDMI-2"} << true;
        QTest::newRow("twins with serials") << QStringList{dell, u27, "SN1", "DP-1"} << QStringList{dell, u27, "SN2", "DP-2"} << false;
        QTest::newRow("twins without serials") << QStringList{dell, u27, "", "DP-1"} << QStringList{dell, u27, "", "DP-2"} << false;
        QTest::newRow("without serial, same port") << QStringList{dell, u27, "", "DP-1"} << QStringList{dell, u27, "", "DP-1"} << true;
        QTest::newRow("other model") << QStringList{dell, u27, "SN1", "DP-1"} << QStringList{dell, "DELL P2419H", "SN1", "DP-1"} << false;
        QTest::newRow("connector only") << QStringList{"", "", "", "DP-1"} << QStringList{"", "", "", "DP-2"} << false;
        QTest::newRow("edid versus connector") << QStringList{dell, u27, "", "DP-1"} << QStringList{"", "", "", "DP-1"} << false;
        QTest::newRow("padding ignored") << QStringList{dell, u27, "SN1", "DP-1"} << QStringList{dell + " ", u27, " SN1", "DP-1"} << true;
    }

    void displayKeyIdentity()
    {
        QFETCH(QStringList, a);
        QFETCH(QStringList, b);
        QFETCH(bool, same);
        const QString ka = DisplayKey::fromIdentity(a[0], a[1], a[2], a[3]);
        const QString kb = DisplayKey::fromIdentity(b[0], b[1], b[2], b[3]);
        QVERIFY(DisplayKey::isWellFormed(ka) && DisplayKey::isWellFormed(kb));
        QCOMPARE(ka == kb, same);
    }

    void names_data()
    {
        QTest::addColumn<QStringList>("identity"); // manufacturer, model, connector
        QTest::addColumn<QString>("name");
        QTest::newRow("model carries brand") << QStringList{"Dell Inc.", "DELL U2720Q", "DP-1"} << "DELL U2720Q";
        QTest::newRow("brand added") << QStringList{"LG Electronics", "27UL850", "DP-1"} << "LG 27UL850";
        QTest::newRow("model only") << QStringList{"", "Q27G2", "DP-1"} << "Q27G2";
        QTest::newRow("laptop panel") << QStringList{"", "", "eDP-1"} << "Built-in Display";
        QTest::newRow("connector") << QStringList{"", "", "HDMI-1"} << "HDMI-1";
        QTest::newRow("nothing") << QStringList{"", "", ""} << "Display";
    }

    void names()
    {
        QFETCH(QStringList, identity);
        QFETCH(QString, name);
        QCOMPARE(ScreenNaming::displayName(identity[0], identity[1], identity[2]), name);
    }

    void equalNamesAreNumbered()
    {
        ScreenList list(3);
        list[0].localizedName = QStringLiteral("DELL U2720Q");
        list[1].localizedName = QStringLiteral("Built-in Display");
        list[2].localizedName = QStringLiteral("DELL U2720Q");
        ScreenNaming::makeUnique(list);
        QCOMPARE(list[0].localizedName, QStringLiteral("DELL U2720Q (1)"));
        QCOMPARE(list[1].localizedName, QStringLiteral("Built-in Display"));
        QCOMPARE(list[2].localizedName, QStringLiteral("DELL U2720Q (2)"));
    }

    void bottomInset_data()
    {
        QTest::addColumn<QRect>("frame");
        QTest::addColumn<QRect>("visible");
        QTest::addColumn<int>("inset");
        QTest::newRow("dock 70 at the bottom") << QRect(0, 0, 1440, 900) << QRect(0, 25, 1440, 805) << 70;
        QTest::newRow("panel at the top") << QRect(0, 0, 1440, 900) << QRect(0, 32, 1440, 868) << 0;
        QTest::newRow("dock at the side") << QRect(1920, 0, 1280, 1024) << QRect(1984, 0, 1216, 1024) << 0;
        QTest::newRow("second screen, panel below") << QRect(1920, 200, 1280, 1024) << QRect(1920, 200, 1280, 976) << 48;
        QTest::newRow("visible larger") << QRect(0, 0, 100, 100) << QRect(0, 0, 100, 120) << 0;
    }

    void bottomInset()
    {
        QFETCH(QRect, frame);
        QFETCH(QRect, visible);
        QFETCH(int, inset);
        ScreenInfo info;
        info.frame = frame;
        info.visibleFrame = visible;
        QCOMPARE(info.bottomInset(), inset);
    }

    void qtScreens()
    {
        QtScreenService service;
        const ScreenList screens = service.screens();
        QCOMPARE(screens.size(), 2);
        QCOMPARE(screens[0].name, QStringLiteral("LEFT"));
        QCOMPARE(screens[1].name, QStringLiteral("RIGHT"));
        QCOMPARE(screens[0].frame, QRect(0, 0, 1920, 1080));
        QCOMPARE(screens[1].frame, QRect(1920, 0, 1280, 1024));
        QCOMPARE(screens[1].devicePixelRatio, 2.0);
        QCOMPARE(screens[1].pixelSize(), QSize(2560, 2048));
        QCOMPARE(screens[0].localizedName, QStringLiteral("LEFT"));
        QCOMPARE(screens[0].screen.data(), QGuiApplication::screens().at(0));
        QCOMPARE(screens[0].displayKey, DisplayKey::fromIdentity(QString(), QString(), QString(), QStringLiteral("LEFT")));
        QVERIFY(DisplayKey::isWellFormed(screens[1].displayKey));
        QVERIFY(screens[0].displayKey != screens[1].displayKey);
        QVERIFY(screens[0].primary && !screens[1].primary);

        QCOMPARE(service.mainScreen()->name, QStringLiteral("LEFT"));
        QCOMPARE(service.screenAt(QPoint(2000, 10))->name, QStringLiteral("RIGHT"));
        QCOMPARE(service.screenAt(QPoint(1919, 1079))->name, QStringLiteral("LEFT"));
        QVERIFY(!service.screenAt(QPoint(2000, 1050))); // below the shorter screen
        QCOMPARE(service.screenWithKey(screens[1].displayKey)->name, QStringLiteral("RIGHT"));
        QVERIFY(!service.screenWithKey(QString()));
        QCOMPARE(service.screenFor(QGuiApplication::screens().at(1))->name, QStringLiteral("RIGHT"));

        // Stable across instances (and so across launches).
        QCOMPARE(QtScreenService().screens()[1].displayKey, screens[1].displayKey);
    }

    void pointer()
    {
        QtScreenService service;
        QCursor::setPos(2100, 300);
        QCOMPARE(service.pointerPosition(), QPoint(2100, 300));
        QCOMPARE(service.screenAt(service.pointerPosition())->name, QStringLiteral("RIGHT"));
    }

    void burstsAreCoalesced()
    {
        FakeScreenService service;
        QSignalSpy spy(&service, &ScreenService::changed);
        const ScreenInfo one = FakeScreenService::makeScreen(QStringLiteral("DP-1"), QRect(0, 0, 800, 600));
        const ScreenInfo two = FakeScreenService::makeScreen(QStringLiteral("DP-2"), QRect(800, 0, 800, 600));
        service.setScreens({one});
        service.setScreens({one, two});
        service.setScreens({two, one});
        QCOMPARE(spy.count(), 0);
        QVERIFY(spy.wait(2000));
        QTest::qWait(ScreenService::coalesceIntervalMs * 2);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(service.screens().size(), 2);
        QCOMPARE(service.screens().first().name, QStringLiteral("DP-2"));
        // Without a primary screen the first one is the main screen.
        QCOMPARE(service.mainScreen()->name, QStringLiteral("DP-2"));
        service.setScreens({});
        QVERIFY(spy.wait(2000));
        QVERIFY(!service.mainScreen());
    }
};

int main(int argc, char **argv)
{
    QTemporaryDir dir;
    const QString layout = dir.filePath(QStringLiteral("screens.json"));
    QFile file(layout);
    if (!dir.isValid() || !file.open(QIODevice::WriteOnly) || file.write(kLayout) < 0)
        return 1;
    file.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(layout));
    QGuiApplication app(argc, argv);
    TestScreens test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_screens.moc"
