#include "controller/support/ControllerFixture.h"

#include "app/canvas/CollageView.h"
#include "app/controller/DisplayAssignments.h"
#include "platform/fake/FakeHaptics.h"
#include "platform/fake/FakeScreenService.h"
#include "platform/fake/MemoryPreferences.h"
#include "platform/preferences/PreferenceKeys.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

// Which collage each display shows, and creating, renaming and deleting collages by name.
class TestAssignments : public QObject {
    Q_OBJECT

    static StringMap stored() { return DisplayAssignments::map(); }
    static int beeps(const ControllerFixture &f) { return f.platform().fakes().haptics->beepCount(); }

private Q_SLOTS:
    void theStoredMapIsReadAndWrittenWholeAndSeededAtFirstLaunch()
    {
        ControllerFixture f;
        const ScreenInfo a = FakeScreenService::makeScreen("A", QRect(0, 0, 800, 600));
        const ScreenInfo b = FakeScreenService::makeScreen("B", QRect(800, 0, 800, 600));
        DisplayAssignments::set("Trip", a);
        DisplayAssignments::set(std::nullopt, b);
        QCOMPARE(stored(), (StringMap{{a.displayKey, "Trip"}, {b.displayKey, QString()}}));
        QCOMPARE(DisplayAssignments::assignedName(a), std::optional<QString>("Trip"));
        QCOMPARE(DisplayAssignments::assignedName(b), std::nullopt);
        DisplayAssignments::set("Zoo", b);
        DisplayAssignments::collageRenamed("Trip", "Tour");
        QCOMPARE(stored(), (StringMap{{a.displayKey, "Tour"}, {b.displayKey, "Zoo"}}));
        DisplayAssignments::collageDeleted("Tour");
        QCOMPARE(stored(), (StringMap{{b.displayKey, "Zoo"}}));

        ScreenInfo keyless = a;
        keyless.displayKey.clear(); // neither assigned nor looked up
        DisplayAssignments::set("Trip", keyless);
        QCOMPARE(stored().size(), 1);
        QCOMPARE(DisplayAssignments::assignedName(keyless), std::nullopt);
        f.platform().fakes().preferences->setRawValue(PreferenceKeys::displayCollageAssignments.text(), 42);
        QVERIFY(stored().isEmpty()); // anything but a map of strings reads as none

        // The first launch gives the main screen the first collage.
        f.useTwoScreens();
        QCOMPARE(f.controller().library().collages().size(), 1);
        QCOMPARE(f.controller().collageOn(f.screenAt(0))->name, QStringLiteral("My Collage"));
        QVERIFY(!stored().contains(f.screenAt(1).displayKey));

        DisplayAssignments::set("Gone", f.screenAt(0)); // later launches keep it, gone or not
        f.destroyController();
        DesktopWindowController &again = f.controller();
        QCOMPARE(again.collageOn(again.screens()[0]), std::nullopt);
        QVERIFY(again.views()[0]->model().isEmpty());
        QCOMPARE(stored().value(f.screenAt(0).displayKey), QStringLiteral("Gone"));
    }

    void theCursorScreenFollowsThePointerAndRenamingMovesFolderAssignmentsAndHistory()
    {
        ControllerFixture f;
        f.useTwoScreens();
        DesktopWindowController &c = f.controllerWith({"Trip", "Zoo"}, {1});
        c.assign("Zoo", f.screenAt(1));
        QCOMPARE(c.library().active().name, QStringLiteral("Zoo"));
        QVERIFY(!c.isSavePending());

        c.library().setActiveID(c.library().collages()[0].id);
        f.screens().setPointerPosition(QPoint(2500, 500));
        QCOMPARE(c.cursorScreen()->name, QStringLiteral("RIGHT"));
        QCOMPARE(c.focusCursorCollage()->name, QStringLiteral("Zoo"));
        QCOMPARE(c.library().active().name, QStringLiteral("Zoo"));
        f.screens().setPointerPosition(QPoint(2500, 1050)); // below the shorter right screen
        QCOMPARE(c.cursorScreen()->name, QStringLiteral("LEFT"));
        QCOMPARE(c.focusCursorCollage()->name, QStringLiteral("Trip"));
        c.assign(std::nullopt, f.screenAt(0));
        c.library().setActiveID(c.library().collages()[1].id);
        QCOMPARE(c.focusCursorCollage(), std::nullopt);
        QCOMPARE(c.library().active().name, QStringLiteral("Zoo")); // unchanged

        // Renaming moves the folder, the assignments and the history.
        c.assign("Trip", f.screenAt(0));
        c.assign("Trip", f.screenAt(1));
        const CollageModel m0 = c.views()[0]->model();
        c.views()[0]->onEdit(CollageModel(), "Delete");
        // Collages are named after their folders when loaded, so the name typed is kept in
        // its folder form: the screens still show it after a restart.
        QVERIFY(c.renameCollage("Trip", "  Paris: 2024 \n"));
        const QString name = QStringLiteral("Paris- 2024");
        QVERIFY(!f.isDir("Trip"));
        QVERIFY(QFileInfo::exists(f.path(name + "/collage.json")));
        QCOMPARE(stored().value(f.screenAt(0).displayKey), name);
        QCOMPARE(stored().value(f.screenAt(1).displayKey), name);
        QCOMPARE(c.views()[1]->imageBaseDir(), std::optional(f.path(name)));
        QVERIFY(c.isSavePending());
        QVERIFY(!c.hasUndoManager("Trip")); // the history follows the collage
        c.views()[0]->onUndo();
        QCOMPARE(c.library().findNamed(name)->model, m0);
        QCOMPARE(c.views()[1]->model(), m0);
        c.flushSave();
        f.destroyController();
        QCOMPARE(f.store().load().collages().size(), 2);
        QCOMPARE(f.controller().views()[1]->model(), m0);
    }

    void firstUnshownAndEnsureCollageKeepsAssignsOrCreates()
    {
        ControllerFixture f;
        f.useTwoScreens();
        DesktopWindowController &c = f.controllerWith({"Trip", "Zoo", "Zulu"});
        DisplayAssignments::set("Zoo", FakeScreenService::makeScreen("GONE", QRect(0, 0, 10, 10)));
        QCOMPARE(c.firstUnshownCollage()->name, QStringLiteral("Zoo")); // shown only where not attached
        QCOMPARE(c.ensureCollage(f.screenAt(0))->name, QStringLiteral("Trip")); // already showing one
        QVERIFY(!c.isSavePending());
        QCOMPARE(c.ensureCollage(f.screenAt(1))->name, QStringLiteral("Zoo"));
        QCOMPARE(c.views()[1]->imageBaseDir(), std::optional(f.path("Zoo")));
        QVERIFY(c.isSavePending());

        c.deleteCollage("Zoo");
        c.deleteCollage("Zulu"); // every collage shown now: a new one is made, written at once
        c.flushSave();
        const int writes = c.writesCompleted();
        QCOMPARE(c.ensureCollage(f.screenAt(1))->name, QStringLiteral("Collage 2"));
        QCOMPARE(c.writesCompleted(), writes + 1);
        QVERIFY(QFileInfo::exists(f.path("Collage 2/collage.json")));
        QVERIFY(c.isSavePending());
        c.library().addCollage("Collage 4");
        QCOMPARE(c.uniqueCollageName(), QStringLiteral("Collage 5")); // counting on past names taken
        ScreenInfo keyless = f.screenAt(0);
        keyless.displayKey.clear();
        QCOMPARE(c.ensureCollage(keyless), std::nullopt);
    }

    void deletingRemovesFolderEntryAndHistory()
    {
        ControllerFixture f;
        DesktopWindowController &c = f.controllerWith({"Trip", "Zoo"}, {1, 0});
        c.views()[0]->onEdit(CollageModel(), "Delete");
        c.deleteCollage("Trip");
        QCOMPARE(c.library().collages().size(), 1);
        QVERIFY(!f.isDir("Trip"));
        QVERIFY(!stored().contains(f.screenAt(0).displayKey));
        QVERIFY(!c.hasUndoManager("Trip"));
        QVERIFY(c.views()[0]->model().isEmpty());
        QVERIFY(c.isSavePending());
        QTRY_VERIFY_WITH_TIMEOUT(!c.isSavePending(), 3000); // that snapshot must not bring it back
        c.flushSave();
        QVERIFY(!f.isDir("Trip"));
        QVERIFY(f.changeScreens(f.screens().screens())); // the main screen gets the first collage again
        QCOMPARE(c.collageOn(c.screens()[0])->name, QStringLiteral("Zoo"));

        c.deleteCollage("Zoo"); // never the last one
        QCOMPARE(c.library().collages().size(), 1);
        QVERIFY(f.isDir("Zoo"));
    }

    void deletingRemovesOnlyTheCollagesOwnFolder()
    {
        ControllerFixture f;
        f.writeLibrary({"Trip", "Zoo", "Moor", "Untitled"}, {1, 1, 0, 1});
        const QString outside = f.sandbox().path(QStringLiteral("outside"));
        QVERIFY(TestFiles::write(outside + QStringLiteral("/keep.jpg"), "photo"));
        QVERIFY(QFile::link(outside, f.path("Trip/linked"))); // a link inside a collage folder
        DesktopWindowController &c = f.controller();
        QDir(f.path("Zoo")).removeRecursively();
        QVERIFY(QFile::link(outside, f.path("Zoo"))); // a collage folder that is itself a link
        c.deleteCollage("Trip");
        QVERIFY(!QFileInfo::exists(f.path("Trip")));
        c.deleteCollage("Zoo");
        QVERIFY(!QFileInfo(f.path("Zoo")).isSymLink());
        QCOMPARE(TestFiles::read(outside + QStringLiteral("/keep.jpg")), QByteArray("photo"));
        // Both map to the folder "Untitled": deleting one must not take the other's photos.
        c.library().addCollage("..");
        c.library().addCollage(QString());
        c.deleteCollage("..");
        c.deleteCollage(QString());
        QVERIFY(QFileInfo::exists(f.path("Untitled/collage.json")));
        QVERIFY(f.isDir("Moor"));
    }

    void aWriteQueuedBeforeTheFolderChangesCannotUndoIt_data()
    {
        QTest::addColumn<bool>("rename");
        QTest::newRow("delete") << false;
        QTest::newRow("rename") << true;
    }

    void aWriteQueuedBeforeTheFolderChangesCannotUndoIt()
    {
        QFETCH(bool, rename);
        ControllerFixture f;
        DesktopWindowController &c = f.controllerWith(manyNames(60) << "Trip"); // Trip is written last
        // Every collage changed: the queued write takes a while to reach Trip.
        for (const Collage &collage : QList<Collage>(c.library().collages())) {
            c.library().setActiveID(collage.id);
            c.library().updateActive(modelWithPhotos({collage.name + QStringLiteral(".jpg")}));
        }
        c.performSave(c.library());
        if (rename)
            QVERIFY(c.renameCollage("Trip", "Tour"));
        else
            c.deleteCollage("Trip");
        c.flushSave();
        QVERIFY(!f.isDir("Trip"));
        const Library reloaded = f.store().load();
        QVERIFY(!reloaded.findNamed("Trip"));
        QCOMPARE(reloaded.collages().size(), rename ? 61 : 60);
    }

    void aRenameIsRefusedOrMovesTheFolder()
    {
        ControllerFixture f;
        DesktopWindowController &c = f.controllerWith({"Trip", "Zoo", "a-b"}, {1});
        const Library before = c.library();
        QVERIFY(!c.renameCollage("Trip", "   "));
        QVERIFY(!c.renameCollage("Trip", "  Trip  "));
        QVERIFY(!c.renameCollage("Nope", "Other"));
        QCOMPARE(beeps(f), 0);
        QVERIFY(!c.renameCollage("Trip", "Zoo"));
        QCOMPARE(beeps(f), 1);
        QVERIFY(!c.renameCollage("Trip", "a/b")); // the folder name would be "a-b"
        QCOMPARE(beeps(f), 2);
        QCOMPARE(c.library(), before);
        QVERIFY(!c.isSavePending());

        QVERIFY(TestFiles::write(f.path("Holiday/notes.txt"), "mine")); // not a collage, in the way
        StderrCapture capture;
        QVERIFY(!c.renameCollage("Trip", "Holiday"));
        QVERIFY(capture.take().contains("[store] ERROR: cannot move"));
        QCOMPARE(beeps(f), 3);
        QVERIFY(c.library().findNamed("Trip"));
        QVERIFY(QFileInfo::exists(f.path("Trip/collage.json")));
        QCOMPARE(TestFiles::read(f.path("Holiday/notes.txt")), QByteArray("mine"));
        QVERIFY(TestFiles::makeDir(f.path("Tour"))); // an empty stray folder is no obstacle
        QVERIFY(c.renameCollage("Trip", "Tour"));
        QVERIFY(QFileInfo::exists(f.path("Tour/collage.json")));
        c.library().addCollage("Fresh"); // never saved: no folder to move
        QVERIFY(c.renameCollage("Fresh", "Fresher"));
        c.flushSave();
        QVERIFY(QFileInfo::exists(f.path("Fresher/collage.json")));
    }
};

QTEST_MAIN(TestAssignments)
#include "tst_assignments.moc"
