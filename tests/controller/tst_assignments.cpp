#include "controller/support/ControllerFixture.h"

#include "app/canvas/CollageView.h"
#include "app/controller/CollageHistory.h"
#include "app/controller/DisplayAssignments.h"
#include "platform/fake/FakeHaptics.h"
#include "platform/fake/FakeScreenService.h"
#include "platform/fake/MemoryPreferences.h"
#include "platform/preferences/PreferenceKeys.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTest>

// Which collage each display shows, and creating, renaming and deleting collages by name.
class TestAssignments : public QObject {
    Q_OBJECT

    static StringMap stored() { return DisplayAssignments::map(); }
    static int beeps(const ControllerFixture &f) { return f.platform().fakes().haptics->beepCount(); }
    static bool isDir(const QString &path) { return QFileInfo(path).isDir(); }

    static void changeScreens(ControllerFixture &f, const ScreenList &list)
    {
        QSignalSpy changed(&f.screens(), &ScreenService::changed);
        f.screens().setScreens(list);
        QVERIFY(changed.wait(2000));
    }

private Q_SLOTS:
    void theStoredMapIsReadAndWrittenWhole()
    {
        ControllerFixture f;
        const ScreenInfo a = FakeScreenService::makeScreen(QStringLiteral("A"), QRect(0, 0, 800, 600));
        const ScreenInfo b = FakeScreenService::makeScreen(QStringLiteral("B"), QRect(800, 0, 800, 600));
        QCOMPARE(DisplayAssignments::uuid(a)->size(), 36);
        QCOMPARE(*DisplayAssignments::uuid(a), DisplayAssignments::uuid(a)->toUpper());

        DisplayAssignments::set(QStringLiteral("Trip"), a);
        DisplayAssignments::set(std::nullopt, b);
        QCOMPARE(stored().value(a.displayKey), QStringLiteral("Trip"));
        QVERIFY(stored().contains(b.displayKey));
        QCOMPARE(stored().value(b.displayKey), QString());
        QCOMPARE(DisplayAssignments::assignedName(b), std::nullopt);

        DisplayAssignments::set(QStringLiteral("Trip"), b);
        DisplayAssignments::collageRenamed(QStringLiteral("Trip"), QStringLiteral("Tour"));
        QCOMPARE(stored().value(a.displayKey), QStringLiteral("Tour"));
        QCOMPARE(stored().value(b.displayKey), QStringLiteral("Tour"));
        DisplayAssignments::collageDeleted(QStringLiteral("Tour"));
        QVERIFY(stored().isEmpty());

        // A screen without a key can be neither assigned nor looked up.
        ScreenInfo keyless = a;
        keyless.displayKey.clear();
        DisplayAssignments::set(QStringLiteral("Trip"), keyless);
        QVERIFY(stored().isEmpty());
        QCOMPARE(DisplayAssignments::uuid(keyless), std::nullopt);

        // Anything but a map of strings reads as no assignments at all.
        f.preferences().setRawValue(PreferenceKeys::displayCollageAssignments.text(), 42);
        QVERIFY(stored().isEmpty());
    }

    void theFirstLaunchGivesTheMainScreenTheFirstCollage()
    {
        ControllerFixture f;
        f.useTwoScreens();
        DesktopWindowController &c = f.controller();
        QCOMPARE(c.library().collages().size(), 1);
        QCOMPARE(c.library().collages()[0].name, QStringLiteral("My Collage"));
        QCOMPARE(DisplayAssignments::assignedName(f.screenAt(0)), QStringLiteral("My Collage"));
        QVERIFY(!stored().contains(f.screenAt(1).displayKey));
        QCOMPARE(c.collageOn(f.screenAt(0))->name, QStringLiteral("My Collage"));
        QCOMPARE(c.collageOn(f.screenAt(1)), std::nullopt);
    }

    void choosingNothingSurvivesARelaunch()
    {
        ControllerFixture f;
        f.writeLibrary({QStringLiteral("Trip")});
        f.controller().assign(std::nullopt, f.screenAt(0));
        QCOMPARE(stored().value(f.screenAt(0).displayKey), QString());
        f.destroyController();
        DesktopWindowController &again = f.controller();
        QCOMPARE(again.collageOn(again.screens()[0]), std::nullopt);
        QVERIFY(again.views()[0]->model().isEmpty());
    }

    void aStaleNameShowsNothing()
    {
        ControllerFixture f;
        f.writeLibrary({QStringLiteral("Trip")});
        DesktopWindowController &c = f.controller(false);
        const ScreenInfo main = *f.screens().mainScreen();
        DisplayAssignments::set(QStringLiteral("Gone"), main);
        c.show();
        QCOMPARE(c.collageOn(main), std::nullopt);
        QCOMPARE(stored().value(main.displayKey), QStringLiteral("Gone")); // left as it is
    }

    void assignPointsTheCursorAndReloadsWithoutSaving()
    {
        ControllerFixture f;
        f.useTwoScreens();
        f.writeLibrary({QStringLiteral("Trip"), QStringLiteral("Zoo")}, {1, 2});
        DesktopWindowController &c = f.controller();
        c.assign(QStringLiteral("Zoo"), f.screenAt(1));
        QCOMPARE(c.library().active().name, QStringLiteral("Zoo"));
        QCOMPARE(c.views()[1]->model().items().size(), 2);
        QVERIFY(!c.isSavePending());
    }

    void firstUnshownCountsOnlyAttachedScreens()
    {
        ControllerFixture f;
        f.useTwoScreens();
        f.writeLibrary({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
        DesktopWindowController &c = f.controller();
        // B is shown only on a display that is not attached: it counts as unshown.
        DisplayAssignments::set(QStringLiteral("B"),
                                FakeScreenService::makeScreen(QStringLiteral("GONE"), QRect(0, 0, 10, 10)));
        QCOMPARE(c.firstUnshownCollage()->name, QStringLiteral("B"));
        c.assign(QStringLiteral("B"), f.screenAt(1));
        QCOMPARE(c.firstUnshownCollage()->name, QStringLiteral("C"));
        c.assign(QStringLiteral("C"), f.screenAt(0));
        QCOMPARE(c.firstUnshownCollage()->name, QStringLiteral("A"));
    }

    void ensureCollageKeepsAssignsOrCreates()
    {
        ControllerFixture f;
        f.useTwoScreens();
        f.writeLibrary({QStringLiteral("Trip"), QStringLiteral("Zoo")});
        DesktopWindowController &c = f.controller();

        // Already showing one: nothing else happens.
        QCOMPARE(c.ensureCollage(f.screenAt(0))->name, QStringLiteral("Trip"));
        QVERIFY(!c.isSavePending());

        // An unshown collage is given to the screen.
        QCOMPARE(c.ensureCollage(f.screenAt(1))->name, QStringLiteral("Zoo"));
        QCOMPARE(c.views()[1]->imageBaseDir(), std::optional<QString>(f.root() + QStringLiteral("/Zoo")));
        QVERIFY(c.isSavePending());

        // Every collage shown: a new one is made, written at once and assigned.
        c.deleteCollage(QStringLiteral("Zoo")); // Trip stays on the main screen
        QCOMPARE(c.collageOn(f.screenAt(1)), std::nullopt);
        c.flushSave();
        const int writes = c.writesCompleted();
        const std::optional<Collage> made = c.ensureCollage(f.screenAt(1));
        QVERIFY(made);
        QCOMPARE(made->name, QStringLiteral("Collage 2"));
        QCOMPARE(c.collageOn(f.screenAt(1))->name, QStringLiteral("Collage 2"));
        QCOMPARE(c.writesCompleted(), writes + 1);
        QVERIFY(QFileInfo::exists(f.root() + QStringLiteral("/Collage 2/collage.json")));
        QCOMPARE(c.library().collages().size(), 2);
        QVERIFY(c.isSavePending());
    }

    void ensureCollageOnAKeylessScreenGivesNone()
    {
        ControllerFixture f;
        f.writeLibrary({QStringLiteral("Trip")});
        DesktopWindowController &c = f.controller();
        ScreenInfo keyless = f.screenAt(0);
        keyless.displayKey.clear();
        QCOMPARE(c.ensureCollage(keyless), std::nullopt);
    }

    void cursorScreenFollowsThePointerElseTheMainScreen()
    {
        ControllerFixture f;
        f.useTwoScreens();
        f.writeLibrary({QStringLiteral("Trip"), QStringLiteral("Zoo")});
        DesktopWindowController &c = f.controller();
        c.assign(QStringLiteral("Zoo"), f.screenAt(1));

        f.screens().setPointerPosition(QPoint(2500, 500));
        QCOMPARE(c.cursorScreen()->name, QStringLiteral("RIGHT"));
        QCOMPARE(c.focusCursorCollage()->name, QStringLiteral("Zoo"));
        QCOMPARE(c.library().active().name, QStringLiteral("Zoo"));

        // Below the shorter right screen: a gap in the desktop.
        f.screens().setPointerPosition(QPoint(2500, 1050));
        QCOMPARE(c.cursorScreen()->name, QStringLiteral("LEFT"));
        QCOMPARE(c.focusCursorCollage()->name, QStringLiteral("Trip"));

        c.assign(std::nullopt, f.screenAt(0));
        c.library().setActiveID(c.library().findNamed(QStringLiteral("Zoo"))->id);
        QCOMPARE(c.focusCursorCollage(), std::nullopt);
        QCOMPARE(c.library().active().name, QStringLiteral("Zoo")); // unchanged
    }

    void cursorScreenWithoutScreens()
    {
        ControllerFixture f;
        f.screens().setScreens({});
        DesktopWindowController &c = f.controller();
        QCOMPARE(c.cursorScreen(), std::nullopt);
        QCOMPARE(c.focusCursorCollage(), std::nullopt);
    }

    void uniqueNamesStartAtTheCountPlusOne_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QString>("expected");
        QTest::newRow("one") << QStringList{QStringLiteral("My Collage")} << QStringLiteral("Collage 2");
        QTest::newRow("gap") << QStringList{QStringLiteral("My Collage"), QStringLiteral("Collage 3")}
                             << QStringLiteral("Collage 4");
        QTest::newRow("taken") << QStringList{QStringLiteral("Collage 2"), QStringLiteral("Collage 3")}
                               << QStringLiteral("Collage 4");
    }

    void uniqueNamesStartAtTheCountPlusOne()
    {
        QFETCH(QStringList, names);
        QFETCH(QString, expected);
        ControllerFixture f;
        f.writeLibrary(names);
        QCOMPARE(f.controller().uniqueCollageName(), expected);
    }

    void deletingRemovesFolderEntryAndHistory()
    {
        ControllerFixture f;
        f.writeLibrary({QStringLiteral("Trip"), QStringLiteral("Zoo")}, {1, 0});
        DesktopWindowController &c = f.controller();
        c.views()[0]->onEdit(CollageModel(), QStringLiteral("Delete"));
        c.deleteCollage(QStringLiteral("Trip"));

        QCOMPARE(c.library().collages().size(), 1);
        QCOMPARE(c.library().active().name, QStringLiteral("Zoo"));
        QVERIFY(!isDir(f.root() + QStringLiteral("/Trip")));
        QVERIFY(!stored().contains(f.screenAt(0).displayKey));
        QVERIFY(!c.hasUndoManager(QStringLiteral("Trip")));
        QVERIFY(c.views()[0]->model().isEmpty());
        QVERIFY(c.isSavePending());

        // The snapshot waiting before the delete must not bring the folder back.
        QTRY_VERIFY_WITH_TIMEOUT(!c.isSavePending(), 3000);
        c.flushSave();
        QVERIFY(!isDir(f.root() + QStringLiteral("/Trip")));

        // At the next screen change the main screen gets the first collage again.
        changeScreens(f, f.screens().screens());
        QCOMPARE(c.collageOn(c.screens()[0])->name, QStringLiteral("Zoo"));

        // The last collage is never deleted.
        c.deleteCollage(QStringLiteral("Zoo"));
        QCOMPARE(c.library().collages().size(), 1);
        QVERIFY(isDir(f.root() + QStringLiteral("/Zoo")));
        c.deleteCollage(QStringLiteral("Nope"));
        QCOMPARE(c.library().collages().size(), 1);
    }

    void deletingRemovesOnlyTheCollagesOwnFolder()
    {
        ControllerFixture f;
        f.writeLibrary({QStringLiteral("Trip"), QStringLiteral("Zoo"), QStringLiteral("Moor")}, {1, 1, 0});
        const QString outside = f.sandbox().path(QStringLiteral("outside"));
        QVERIFY(TestFiles::write(outside + QStringLiteral("/keep.jpg"), "photo"));
        // A link inside the collage folder, and a collage folder that is itself a link.
        QVERIFY(QFile::link(outside, f.root() + QStringLiteral("/Trip/linked")));
        DesktopWindowController &c = f.controller();
        QDir(f.root() + QStringLiteral("/Zoo")).removeRecursively();
        QVERIFY(QFile::link(outside, f.root() + QStringLiteral("/Zoo")));

        c.deleteCollage(QStringLiteral("Trip"));
        QVERIFY(!QFileInfo::exists(f.root() + QStringLiteral("/Trip")));
        c.deleteCollage(QStringLiteral("Zoo"));
        QVERIFY(!QFileInfo(f.root() + QStringLiteral("/Zoo")).isSymLink());
        QCOMPARE(TestFiles::read(outside + QStringLiteral("/keep.jpg")), QByteArray("photo"));
        QVERIFY(isDir(f.root()));
        QVERIFY(isDir(f.root() + QStringLiteral("/Moor")));
    }

    void namesThatMapToTheRootOrAnotherFolderRemoveNothing()
    {
        ControllerFixture f;
        f.writeLibrary({QStringLiteral("Untitled"), QStringLiteral("Zoo")}, {1, 0});
        DesktopWindowController &c = f.controller();
        // Both map to the folder "Untitled": deleting one must not take the other's photos.
        c.library().addCollage(QStringLiteral(".."));
        c.library().addCollage(QString());
        c.deleteCollage(QStringLiteral(".."));
        c.deleteCollage(QString());
        QCOMPARE(c.library().collages().size(), 2);
        QVERIFY(QFileInfo::exists(f.root() + QStringLiteral("/Untitled/collage.json")));
        QVERIFY(isDir(f.root()));
    }

    void aWriteQueuedBeforeADeleteCannotResurrectTheCollage()
    {
        ControllerFixture f;
        QStringList names;
        for (int i = 0; i < 60; ++i)
            names.append(QStringLiteral("C%1").arg(i, 2, 10, QLatin1Char('0')));
        names.append(QStringLiteral("Trip")); // written last
        f.writeLibrary(names);
        DesktopWindowController &c = f.controller();
        // Every collage changed: the queued write takes a while to reach Trip.
        for (const Collage &collage : QList<Collage>(c.library().collages())) {
            c.library().setActiveID(collage.id);
            c.library().updateActive(modelWithPhotos({collage.name + QStringLiteral(".jpg")}));
        }
        c.performSave(c.library());
        c.deleteCollage(QStringLiteral("Trip"));
        c.flushSave();
        QVERIFY(!isDir(f.root() + QStringLiteral("/Trip")));
        QVERIFY(!f.store().load().findNamed(QStringLiteral("Trip")));
    }

    void aWriteQueuedBeforeARenameCannotLeaveTheOldFolder()
    {
        ControllerFixture f;
        QStringList names;
        for (int i = 0; i < 60; ++i)
            names.append(QStringLiteral("C%1").arg(i, 2, 10, QLatin1Char('0')));
        names.append(QStringLiteral("Trip"));
        f.writeLibrary(names);
        DesktopWindowController &c = f.controller();
        for (const Collage &collage : QList<Collage>(c.library().collages())) {
            c.library().setActiveID(collage.id);
            c.library().updateActive(modelWithPhotos({collage.name + QStringLiteral(".jpg")}));
        }
        c.performSave(c.library());
        QVERIFY(c.renameCollage(QStringLiteral("Trip"), QStringLiteral("Tour")));
        c.flushSave();
        QVERIFY(!isDir(f.root() + QStringLiteral("/Trip")));
        const Library reloaded = f.store().load();
        QCOMPARE(reloaded.collages().size(), 61);
        QCOMPARE(reloaded.findNamed(QStringLiteral("Tour"))->model.items().size(), 1);
    }

    void renamingMovesFolderAssignmentsAndHistory()
    {
        ControllerFixture f;
        f.useTwoScreens();
        f.writeLibrary({QStringLiteral("Trip"), QStringLiteral("Zoo")}, {2, 0});
        DesktopWindowController &c = f.controller();
        c.assign(QStringLiteral("Trip"), f.screenAt(1));
        c.views()[0]->onEdit(CollageModel(), QStringLiteral("Delete"));

        QVERIFY(c.renameCollage(QStringLiteral("Trip"), QStringLiteral("  Holiday \n")));
        QVERIFY(c.library().findNamed(QStringLiteral("Holiday")));
        QVERIFY(!isDir(f.root() + QStringLiteral("/Trip")));
        QVERIFY(QFileInfo::exists(f.root() + QStringLiteral("/Holiday/collage.json")));
        QCOMPARE(stored().value(f.screenAt(0).displayKey), QStringLiteral("Holiday"));
        QCOMPARE(stored().value(f.screenAt(1).displayKey), QStringLiteral("Holiday"));
        QCOMPARE(c.undoManager(QStringLiteral("Holiday"))->count(), 1);
        QCOMPARE(c.views()[1]->imageBaseDir(), std::optional<QString>(f.root() + QStringLiteral("/Holiday")));
        QVERIFY(c.isSavePending());

        c.flushSave();
        const Library reloaded = f.store().load();
        QCOMPARE(reloaded.collages().size(), 2);
        QVERIFY(reloaded.findNamed(QStringLiteral("Holiday")));
    }

    void renamingRefusesEmptyUnchangedUnknownAndClashingNames()
    {
        ControllerFixture f;
        f.writeLibrary({QStringLiteral("Trip"), QStringLiteral("Zoo"), QStringLiteral("a-b")});
        DesktopWindowController &c = f.controller();
        const Library before = c.library();

        QVERIFY(!c.renameCollage(QStringLiteral("Trip"), QStringLiteral("   ")));
        QVERIFY(!c.renameCollage(QStringLiteral("Trip"), QStringLiteral("  Trip  ")));
        QVERIFY(!c.renameCollage(QStringLiteral("Nope"), QStringLiteral("Other")));
        QCOMPARE(beeps(f), 0);

        QVERIFY(!c.renameCollage(QStringLiteral("Trip"), QStringLiteral("Zoo")));
        QCOMPARE(beeps(f), 1);
        // Differs from "a-b" only where the folder name would replace characters.
        QVERIFY(!c.renameCollage(QStringLiteral("Trip"), QStringLiteral("a/b")));
        QCOMPARE(beeps(f), 2);
        QCOMPARE(c.library(), before);
        QVERIFY(!c.isSavePending());
    }

    void aRenamedCollageKeepsItsScreenAcrossARestart()
    {
        // Collages are named after their folders when loaded, so the name the user typed
        // is stored in its folder form; the display keeps showing it after a restart.
        ControllerFixture f;
        f.writeLibrary({QStringLiteral("Trip")}, {1});
        DesktopWindowController &c = f.controller();
        QVERIFY(c.renameCollage(QStringLiteral("Trip"), QStringLiteral("Paris: 2024")));
        const QString stored_ = c.library().collages()[0].name;
        QCOMPARE(stored_, QStringLiteral("Paris- 2024"));
        c.flushSave();
        f.destroyController();
        DesktopWindowController &again = f.controller();
        QCOMPARE(again.collageOn(again.screens()[0])->name, stored_);
        QCOMPARE(again.views()[0]->model().items().size(), 1);
    }

    void aFolderThatCannotMoveRefusesTheRename()
    {
        ControllerFixture f;
        f.writeLibrary({QStringLiteral("Trip")}, {1});
        DesktopWindowController &c = f.controller();
        // Something not a collage already sits where the folder would go.
        QVERIFY(TestFiles::write(f.root() + QStringLiteral("/Holiday/notes.txt"), "mine"));
        StderrCapture capture;
        QVERIFY(!c.renameCollage(QStringLiteral("Trip"), QStringLiteral("Holiday")));
        QVERIFY(capture.take().contains("[store] ERROR: cannot move"));
        QCOMPARE(beeps(f), 1);
        QVERIFY(c.library().findNamed(QStringLiteral("Trip")));
        QVERIFY(QFileInfo::exists(f.root() + QStringLiteral("/Trip/collage.json")));
        QCOMPARE(TestFiles::read(f.root() + QStringLiteral("/Holiday/notes.txt")), QByteArray("mine"));

        // An empty stray folder is no obstacle.
        QVERIFY(TestFiles::makeDir(f.root() + QStringLiteral("/Tour")));
        QVERIFY(c.renameCollage(QStringLiteral("Trip"), QStringLiteral("Tour")));
        QVERIFY(QFileInfo::exists(f.root() + QStringLiteral("/Tour/collage.json")));
    }

    void aCollageNeverSavedCanBeRenamed()
    {
        ControllerFixture f;
        f.writeLibrary({QStringLiteral("Trip")});
        DesktopWindowController &c = f.controller();
        c.library().addCollage(QStringLiteral("Fresh"));
        QVERIFY(c.renameCollage(QStringLiteral("Fresh"), QStringLiteral("Fresher")));
        c.flushSave();
        QVERIFY(QFileInfo::exists(f.root() + QStringLiteral("/Fresher/collage.json")));
    }
};

QTEST_MAIN(TestAssignments)
#include "tst_assignments.moc"
