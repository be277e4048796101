#include "controller/support/ControllerFixture.h"

#include "app/collages/CollagesWindowController.h"
#include "app/controller/DisplayAssignments.h"
#include "app/shell/AppController.h"
#include "app/shell/TerminationSignals.h"
#include "platform/fake/FakeGlobalHotKey.h"
#include "platform/fake/MemoryPreferences.h"
#include "platform/preferences/PreferenceKeys.h"

#include <QAction>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>

#include <csignal>

// The tray utility: its menu, the "Collages" submenu per screen, the shortcut and the start.
class TestAppController : public QObject {
    Q_OBJECT

    // Each row as "title", "title ▸" for a submenu, "[x] title" / "[ ] title" when checkable.
    static QStringList rows(QMenu *menu)
    {
        QStringList out;
        for (QAction *a : menu->actions()) {
            if (a->isSeparator())
                out << QStringLiteral("---");
            else if (a->menu())
                out << a->text() + QStringLiteral(" \u25B8");
            else if (a->isCheckable())
                out << (a->isChecked() ? QStringLiteral("[x] ") : QStringLiteral("[ ] ")) + a->text();
            else
                out << a->text();
        }
        return out;
    }
    static QAction *row(QMenu *menu, const QString &text)
    {
        for (QAction *a : menu->actions())
            if (a->text() == text)
                return a;
        return nullptr;
    }

private Q_SLOTS:
    void theStatusMenuAndItsCollagesSubmenuPerScreen()
    {
        ControllerFixture f;
        f.useTwoScreens();
        DesktopWindowController &c = f.controllerWith({"Trip", "Zoo"});
        AppController app(&c);
        QCOMPARE(rows(app.statusMenu()),
                 (QStringList{"Edit Collage", "Add Photos \u25B8", "Export as Image\u2026", "---", "Collages \u25B8", "---",
                              "Settings\u2026", "About Veloran", "---", "Quit Veloran"}));
        QCOMPARE(rows(row(app.statusMenu(), "Add Photos")->menu()), (QStringList{"From Photos\u2026", "From Files\u2026"}));
        QCOMPARE(row(app.statusMenu(), "Settings\u2026")->shortcut(), QKeySequence(QStringLiteral("Ctrl+,")));
        QCOMPARE(row(app.statusMenu(), "Quit Veloran")->shortcut(), QKeySequence(QStringLiteral("Ctrl+Q")));
        row(app.statusMenu(), "Edit Collage")->trigger();
        QVERIFY(c.isEditing());
        row(app.statusMenu(), "Edit Collage")->trigger();
        QVERIFY(!c.isEditing());

        c.assign(QStringLiteral("Zoo"), f.screenAt(0));
        c.assign(std::nullopt, f.screenAt(1));
        app.rebuildCollagesMenu();
        QMenu *menu = app.collagesMenu();
        const QString left = f.screenAt(0).localizedName, right = f.screenAt(1).localizedName;
        QCOMPARE(rows(menu), (QStringList{left + " \u25B8", right + " \u25B8", "---", "Manage Collages\u2026"}));
        QCOMPARE(rows(row(menu, left)->menu()), (QStringList{"[ ] Trip", "[x] Zoo", "[ ] None"}));
        QCOMPARE(rows(row(menu, right)->menu()), (QStringList{"[ ] Trip", "[ ] Zoo", "[x] None"}));
        row(row(menu, right)->menu(), "Trip")->trigger();
        QCOMPARE(c.collageOn(f.screenAt(1))->name, QStringLiteral("Trip"));
        row(row(menu, left)->menu(), "None")->trigger();
        QVERIFY(!c.collageOn(f.screenAt(0)));
        QCOMPARE(DisplayAssignments::map().value(f.screenAt(0).displayKey), QString());

        DisplayAssignments::set(QStringLiteral("Gone"), f.screenAt(0)); // a name of no collage marks nothing
        app.rebuildCollagesMenu();
        QCOMPARE(rows(row(menu, left)->menu()), (QStringList{"[ ] Trip", "[ ] Zoo", "[ ] None"}));

        f.changeScreens({f.screenAt(0)}); // one screen: the choices sit in the menu itself
        app.rebuildCollagesMenu();
        QCOMPARE(rows(menu), (QStringList{"[ ] Trip", "[ ] Zoo", "[ ] None", "---", "Manage Collages\u2026"}));
        f.changeScreens({}); // no screens: only the way to the window
        app.rebuildCollagesMenu();
        QCOMPARE(rows(menu), (QStringList{"---", "Manage Collages\u2026"}));
        row(menu, "Manage Collages\u2026")->trigger();
        QVERIFY(app.collagesWindow().window() && app.collagesWindow().window()->isVisible());
    }

    void firstAndLaterLaunches()
    {
        ControllerFixture f;
        FakeGlobalHotKey &hotKey = *f.platform().fakes().hotKey;
        {
            StderrCapture log;
            AppController app(&f.controller(false));
            app.start();
            QVERIFY(f.controller().isEditing());
            QVERIFY(f.platform().fakes().preferences->value(PreferenceKeys::didOnboard));
            QVERIFY(log.take().contains("[app] INFO: launched (menu-bar ready, hotkey Ctrl+Alt+E registered)\n"));
            QVERIFY(hotKey.press());
            QVERIFY(f.controller().isEditing());
            QTRY_VERIFY(!f.controller().isEditing()); // the shortcut toggles, once the press is handled
        }
        f.destroyController();
        AppController again(&f.controller(false));
        hotKey.answer = GlobalHotKey::Result::InUse;
        StderrCapture log;
        again.start();
        QVERIFY(!f.controller().isEditing());
        const QByteArray lines = log.take(); // the line stays, and a warning says what really happened
        QVERIFY(lines.contains("launched (menu-bar ready, hotkey Ctrl+Alt+E registered)"));
        QVERIFY(lines.contains("[app] ERROR: editing shortcut Ctrl+Alt+E is in use by another program"));
    }

    // SIGTERM, SIGINT and SIGHUP save and quit; the handler only forwards the number to the event loop.
    void eachSignalArrivesInTheEventLoop_data()
    {
        QTest::addColumn<int>("number");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGINT") << int(SIGINT);
        QTest::newRow("SIGHUP") << int(SIGHUP);
    }

    void eachSignalArrivesInTheEventLoop()
    {
        QFETCH(int, number);
        TerminationSignals signals_;
        QVERIFY(signals_.isInstalled());
        QVERIFY(!TerminationSignals().isInstalled()); // only one instance owns the handlers
        QSignalSpy received(&signals_, &TerminationSignals::received);
        ::raise(number);
        ::raise(SIGTERM); // a burst is delivered in full
        QCOMPARE(received.count(), 0); // nothing runs inside the handler
        QTRY_COMPARE_WITH_TIMEOUT(received.count(), 2, 2000);
        QCOMPARE(received.first().first().toInt(), number);
        QCOMPARE(received.at(1).first().toInt(), int(SIGTERM));
    }
};

QTEST_MAIN(TestAppController)
#include "tst_appcontroller.moc"
