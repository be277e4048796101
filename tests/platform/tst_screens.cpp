#include "platform/fake/FakeScreenService.h"
#include "platform/screens/DisplayKey.h"
#include "platform/screens/QtScreenService.h"
#include "platform/screens/ScreenNaming.h"
#include "support/Sandbox.h"

#include <QtTest>

// Two screens side by side from the offscreen plugin's layout file (written by main()).
static const char kLayout[] = R"({"screens": [
    {"name": "LEFT", "x": 0, "y": 0, "width": 1920, "height": 1080, "dpr": 1},
    {"name": "RIGHT", "x": 1920, "y": 0, "width": 1280, "height": 1024, "dpr": 2}]})";

class TestScreens : public QObject {
    Q_OBJECT

private slots:
    // Keys are stored in the user's preferences: the derivation must never change. The fixed
    // values are upper-case name-based (SHA-1, version 5) UUIDs without braces.
    void keysNamesAndInsets()
    {
        const auto key = [](const QStringList &id) { // manufacturer, model, serial, connector
            return DisplayKey::fromIdentity(id[0], id[1], id[2], id[3]);
        };
        QCOMPARE(key({"", "", "", "HDMI-1"}), QStringLiteral("3059562E-98FA-56BF-81E3-487FEA39812D"));
        const QString dell = key({"Dell Inc.", "DELL U2720Q", "F8KX123", "DP-1"});
        QCOMPARE(dell, QStringLiteral("BBC3CFFD-4A90-517A-8696-B3856DF88865"));
        QVERIFY(DisplayKey::isWellFormed(dell) && !DisplayKey::isWellFormed(dell.toLower()));
        QVERIFY(!DisplayKey::isWellFormed(QStringLiteral("{") + dell + QStringLiteral("}")));
        QVERIFY(key({"", "", "", ""}).isEmpty() && key({"", "", "", "  "}).isEmpty()); // no identity, no key
        // The same monitor on another port keeps its key; twins, other models, and a monitor
        // known only by its port do not share one.
        const QString d = QStringLiteral("Dell Inc."), u = QStringLiteral("DELL U2720Q");
        const QList<std::tuple<QStringList, QStringList, bool>> pairs{
            {{d, u, "SN1", "DP-1"}, {d, u, "SN1", "HDMI-2"}, true}, {{d, u, "", "DP-1"}, {d, u, "", "DP-2"}, false},
            {{d, u, "SN1", "DP-1"}, {d, u, "SN2", "DP-2"}, false}, {{d, u, "", "DP-1"}, {d, u, "", "DP-1"}, true},
            {{d, u, "SN1", "DP-1"}, {d, "DELL P2419H", "SN1", "DP-1"}, false},
            {{"", "", "", "DP-1"}, {"", "", "", "DP-2"}, false}, {{d, u, "", "DP-1"}, {"", "", "", "DP-1"}, false},
            {{d, u, "SN1", "DP-1"}, {d + " ", u, " SN1", "DP-1"}, true}}; // padding is ignored
        for (const auto &[a, b, same] : pairs) {
            QVERIFY(DisplayKey::isWellFormed(key(a)) && DisplayKey::isWellFormed(key(b)));
            QCOMPARE(key(a) == key(b), same);
        }

        const QList<std::pair<QStringList, QString>> rows{ // manufacturer, model, connector
            {{"Dell Inc.", "DELL U2720Q", "DP-1"}, "DELL U2720Q"}, // the model carries the brand
            {{"LG Electronics", "27UL850", "DP-1"}, "LG 27UL850"}, {{"", "Q27G2", "DP-1"}, "Q27G2"},
            {{"", "", "eDP-1"}, "Built-in Display"}, {{"", "", "HDMI-1"}, "HDMI-1"}, {{"", "", ""}, "Display"}};
        for (const auto &[identity, name] : rows)
            QCOMPARE(ScreenNaming::displayName(identity[0], identity[1], identity[2]), name);
        ScreenList list(3);
        for (int i = 0; i < 3; ++i)
            list[i].localizedName = i == 1 ? QStringLiteral("Built-in Display") : QStringLiteral("DELL U2720Q");
        ScreenNaming::makeUnique(list);
        QCOMPARE(list[0].localizedName + ", " + list[1].localizedName + ", " + list[2].localizedName,
                 QStringLiteral("DELL U2720Q (1), Built-in Display, DELL U2720Q (2)"));

        const QList<std::tuple<QRect, QRect, int>> insets{ // frame, visible frame, inset
            {{0, 0, 1440, 900}, {0, 25, 1440, 805}, 70}, // a dock at the bottom
            {{0, 0, 1440, 900}, {0, 32, 1440, 868}, 0}, // a panel at the top
            {{1920, 200, 1280, 1024}, {1920, 200, 1280, 976}, 48}, // a second screen
            {{0, 0, 100, 100}, {0, 0, 100, 120}, 0}};
        for (const auto &[frame, visible, inset] : insets)
            QCOMPARE(FakeScreenService::makeScreen({}, frame, visible).bottomInset(), inset);
    }

    void qtScreensAndBursts()
    {
        QtScreenService service;
        const ScreenList screens = service.screens();
        QCOMPARE(screens.size(), 2);
        QCOMPARE(screens[0].name, QStringLiteral("LEFT"));
        QCOMPARE(screens[0].localizedName, QStringLiteral("LEFT"));
        QCOMPARE(screens[0].frame, QRect(0, 0, 1920, 1080));
        QCOMPARE(screens[0].screen.data(), QGuiApplication::screens().at(0));
        QCOMPARE(screens[0].displayKey, DisplayKey::fromIdentity(QString(), QString(), QString(), QStringLiteral("LEFT")));
        QVERIFY(screens[0].primary && !screens[1].primary);
        QCOMPARE(screens[1].name, QStringLiteral("RIGHT"));
        QCOMPARE(screens[1].frame, QRect(1920, 0, 1280, 1024));
        QCOMPARE(screens[1].pixelSize(), QSize(2560, 2048));
        QVERIFY(DisplayKey::isWellFormed(screens[1].displayKey) && screens[0].displayKey != screens[1].displayKey);
        QCOMPARE(QtScreenService().screens()[1].displayKey, screens[1].displayKey); // the same at every launch

        QCOMPARE(service.mainScreen()->name, QStringLiteral("LEFT"));
        QCOMPARE(service.screenAt(QPoint(2000, 10))->name, QStringLiteral("RIGHT"));
        QCOMPARE(service.screenAt(QPoint(1919, 1079))->name, QStringLiteral("LEFT"));
        QVERIFY(!service.screenAt(QPoint(2000, 1050))); // below the shorter screen
        QCOMPARE(service.screenWithKey(screens[1].displayKey)->name, QStringLiteral("RIGHT"));
        QVERIFY(!service.screenWithKey(QString()));
        QCOMPARE(service.screenFor(QGuiApplication::screens().at(1))->name, QStringLiteral("RIGHT"));
        QCursor::setPos(2100, 300);
        QCOMPARE(service.pointerPosition(), QPoint(2100, 300));

        FakeScreenService fake;
        QSignalSpy spy(&fake, &ScreenService::changed);
        const ScreenInfo one = FakeScreenService::makeScreen(QStringLiteral("DP-1"), QRect(0, 0, 800, 600));
        const ScreenInfo two = FakeScreenService::makeScreen(QStringLiteral("DP-2"), QRect(800, 0, 800, 600));
        fake.setScreens({one});
        fake.setScreens({one, two});
        fake.setScreens({two, one});
        QCOMPARE(spy.count(), 0);
        QVERIFY(spy.wait(2000));
        QTest::qWait(ScreenService::coalesceIntervalMs * 2);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(fake.screens().size(), 2);
        // Without a primary screen the first one, the last one set, is the main screen.
        QCOMPARE(fake.mainScreen()->name, QStringLiteral("DP-2"));
        fake.setScreens({});
        QVERIFY(spy.wait(2000));
        QVERIFY(!fake.mainScreen());
    }
};

int main(int argc, char **argv)
{
    const Sandbox sandbox;
    const QString layout = sandbox.path(QStringLiteral("screens.json"));
    if (!TestFiles::write(layout, kLayout))
        return 1;
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(layout));
    QGuiApplication app(argc, argv);
    TestScreens test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_screens.moc"
