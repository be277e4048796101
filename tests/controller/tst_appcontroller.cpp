#include "controller/support/ControllerFixture.h"

#include "app/collages/CollagesWindowController.h"
#include "app/controller/DisplayAssignments.h"
#include "app/shell/AppController.h"
#include "platform/fake/FakeGlobalHotKey.h"
#include "platform/fake/FakeScreenService.h"
#include "platform/fake/MemoryPreferences.h"
#include "platform/preferences/PreferenceKeys.h"
#include "support/Sandbox.h"

#include <QAction>
#include <QMenu>
#include <QTest>

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
    void theStatusMenu()
    {
        ControllerFixture f;
        AppController app(&f.controller());
        QCOMPARE(rows(app.statusMenu()),
                 (QStringList{"Edit Collage", "Add Photos \u25B8", "Export as Image\u2026", "---", "Collages \u25B8", "---",
                              "Settings\u2026", "About Veloran", "---", "Quit Veloran"}));
        QCOMPARE(rows(row(app.statusMenu(), "Add Photos")->menu()), (QStringList{"From Photos\u2026", "From Files\u2026"}));
        QCOMPARE(row(app.statusMenu(), "Settings\u2026")->shortcut(), QKeySequence(QStringLiteral("Ctrl+,")));
        QCOMPARE(row(app.statusMenu(), "Quit Veloran")->shortcut(), QKeySequence(QStringLiteral("Ctrl+Q")));
        row(app.statusMenu(), "Edit Collage")->trigger();
        QVERIFY(f.controller().isEditing());
        row(app.statusMenu(), "Edit Collage")->trigger();
        QVERIFY(!f.controller().isEditing());
    }

    void theCollagesSubmenuPerScreen()
    {
        ControllerFixture f;
        f.useTwoScreens();
        DesktopWindowController &c = f.controllerWith({"Trip", "Zoo"});
        AppController app(&c);
        c.assign(QStringLiteral("Zoo"), f.screenAt(0));
        c.assign(std::nullopt, f.screenAt(1));
        app.rebuildCollagesMenu();
        QMenu *menu = app.collagesMenu();
        const QString left = f.screenAt(0).localizedName, right = f.screenAt(1).localizedName;
        QCOMPARE(rows(menu), (QStringList{left + " \u25B8", right + " \u25B8", "---", "Manage Collages\u2026"}));
        QCOMPARE(rows(row(menu, left)->menu()), (QStringList{"[ ] Trip", "[x] Zoo", "[ ] None"}));
        QCOMPARE(rows(row(menu, right)->menu()), (QStringList{"[ ] Trip", "[ ] Zoo", "[x] None"}));
        // A choice goes to that screen.
        row(row(menu, right)->menu(), "Trip")->trigger();
        QCOMPARE(c.collageOn(f.screenAt(1))->name, QStringLiteral("Trip"));
        row(row(menu, left)->menu(), "None")->trigger();
        QVERIFY(!c.collageOn(f.screenAt(0)));
        QCOMPARE(DisplayAssignments::map().value(f.screenAt(0).displayKey), QString());

        // A stored name of no collage marks nothing at all.
        DisplayAssignments::set(QStringLiteral("Gone"), f.screenAt(0));
        app.rebuildCollagesMenu();
        QCOMPARE(rows(row(menu, left)->menu()), (QStringList{"[ ] Trip", "[ ] Zoo", "[ ] None"}));

        // One screen: the choices sit in the menu itself.
        f.changeScreens({f.screenAt(0)});
        app.rebuildCollagesMenu();
        QCOMPARE(rows(menu), (QStringList{"[ ] Trip", "[ ] Zoo", "[ ] None", "---", "Manage Collages\u2026"}));
        // No screens: only the way to the window.
        f.changeScreens({});
        app.rebuildCollagesMenu();
        QCOMPARE(rows(menu), (QStringList{"---", "Manage Collages\u2026"}));
        row(menu, "Manage Collages\u2026")->trigger();
        QVERIFY(app.collagesWindow().window() && app.collagesWindow().window()->isVisible());
    }

    void firstAndLaterLaunches()
    {
        ControllerFixture f;
        MemoryPreferences &prefs = *f.platform().fakes().preferences;
        FakeGlobalHotKey &hotKey = *f.platform().fakes().hotKey;
        {
            StderrCapture log;
            AppController app(&f.controller(false));
            app.start();
            QVERIFY(f.controller().isEditing());
            QVERIFY(prefs.value(PreferenceKeys::didOnboard));
            QVERIFY(log.take().contains("[app] INFO: launched (menu-bar ready, hotkey Ctrl+Alt+E registered)\n"));
            // The shortcut toggles, after the press has been handled.
            QVERIFY(hotKey.press());
            QVERIFY(f.controller().isEditing());
            QTRY_VERIFY(!f.controller().isEditing());
        }
        f.destroyController();
        AppController again(&f.controller(false));
        hotKey.answer = GlobalHotKey::Result::InUse;
        StderrCapture log;
        again.start();
        QVERIFY(!f.controller().isEditing());
        // The line stays, and a warning says what really happened.
        const QByteArray lines = log.take();
        QVERIFY(lines.contains("launched (menu-bar ready, hotkey Ctrl+Alt+E registered)"));
        QVERIFY(lines.contains("[app] ERROR: editing shortcut Ctrl+Alt+E is in use by another program"));
    }
};

QTEST_MAIN(TestAppController)
#include "tst_appcontroller.moc"
