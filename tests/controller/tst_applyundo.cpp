#include "controller/support/ControllerFixture.h"

#include "app/canvas/CollageView.h"
#include "app/controller/CollageHistory.h"
#include "app/controller/DisplayAssignments.h"
#include "platform/fake/FakeAccessibilitySettings.h"

#include <QTest>

// The apply road: every canvas edit, undo and redo reaches the library through apply,
// refreshes every canvas showing the collage and schedules a save.
class TestApplyUndo : public QObject {
    Q_OBJECT

    static CollageModel moved(const CollageModel &model, double dx)
    {
        CollageModel copy = model;
        const QUuid id = copy.items().first().id;
        copy.update(id, [dx](PhotoItem &item) { item.center.rx() += dx; });
        return copy;
    }

private Q_SLOTS:
    void anEditIsStoredShownAndRecordedAsOneNamedStep()
    {
        ControllerFixture f;
        f.writeLibrary({QStringLiteral("Trip")}, {2});
        DesktopWindowController &c = f.controller();
        const CollageModel before = c.views()[0]->model();
        QCOMPARE(before.items().size(), 2);

        const CollageModel after = moved(before, 30);
        c.views()[0]->onEdit(after, QStringLiteral("Move"));

        QCOMPARE(c.library().findNamed(QStringLiteral("Trip"))->model, after);
        QCOMPARE(c.views()[0]->model(), after);
        QVERIFY(c.isSavePending());
        CollageHistory *history = c.undoManager(QStringLiteral("Trip"));
        QCOMPARE(history->count(), 1);
        QCOMPARE(history->undoText(), QStringLiteral("Move"));
    }

    void undoAndRedoGoBackThroughApply()
    {
        ControllerFixture f;
        f.writeLibrary({QStringLiteral("Trip")}, {2});
        DesktopWindowController &c = f.controller();
        const CollageModel m0 = c.views()[0]->model();
        const CollageModel m1 = moved(m0, 10);
        const CollageModel m2 = moved(m1, 10);
        c.views()[0]->onEdit(m1, QStringLiteral("Move"));
        c.views()[0]->onEdit(m2, QStringLiteral("Rotate"));
        c.flushSave();

        c.views()[0]->onUndo();
        QCOMPARE(c.library().collages()[0].model, m1);
        QCOMPARE(c.views()[0]->model(), m1);
        QVERIFY(c.isSavePending());
        QCOMPARE(c.undoManager(QStringLiteral("Trip"))->redoText(), QStringLiteral("Rotate"));

        c.views()[0]->onUndo();
        QCOMPARE(c.library().collages()[0].model, m0);
        c.views()[0]->onUndo(); // nothing left: no change
        QCOMPARE(c.library().collages()[0].model, m0);

        c.views()[0]->onRedo();
        QCOMPARE(c.library().collages()[0].model, m1);
        c.views()[0]->onRedo();
        QCOMPARE(c.library().collages()[0].model, m2);
        QCOMPARE(c.views()[0]->model(), m2);
        QCOMPARE(c.undoManager(QStringLiteral("Trip"))->count(), 2);

        // A new edit after an undo drops the redo step.
        c.views()[0]->onUndo();
        const CollageModel m3 = moved(m1, -40);
        c.views()[0]->onEdit(m3, QStringLiteral("Move"));
        QVERIFY(!c.undoManager(QStringLiteral("Trip"))->canRedo());
        c.views()[0]->onUndo();
        QCOMPARE(c.library().collages()[0].model, m1);
    }

    void pushingAStepAppliesTheModelOnlyToTheActiveCollage()
    {
        // The step is recorded after the change is made; the stack's immediate redo must
        // not apply the model a second time (by name, it would hit the first namesake).
        ControllerFixture f;
        f.writeLibrary({QStringLiteral("Trip")}, {1});
        DesktopWindowController &c = f.controller();
        const CollageModel first = c.library().collages()[0].model;
        c.library().addCollage(QStringLiteral("Trip")); // now active
        const CollageModel m1 = modelWithPhotos({QStringLiteral("a.jpg")});
        c.apply(m1, QStringLiteral("Paste"), false);
        QCOMPARE(c.library().collages()[0].model, first);
        QCOMPARE(c.library().collages()[1].model, m1);
        QCOMPARE(c.undoManager(QStringLiteral("Trip"))->index(), 1);
    }

    void changesMadeOutsideTheHistorySurviveRedo()
    {
        // Place names are written straight into the library; undo records what it found,
        // so redo brings back the state the undo replaced, place name included.
        ControllerFixture f;
        f.writeLibrary({QStringLiteral("Trip")}, {1});
        DesktopWindowController &c = f.controller();
        const CollageModel m0 = c.library().collages()[0].model;
        c.views()[0]->onEdit(moved(m0, 20), QStringLiteral("Move"));
        CollageModel named = c.library().collages()[0].model;
        named.update(named.items().first().id, [](PhotoItem &item) { item.caption = QStringLiteral("Oslo"); });
        c.library().updateActive(named);

        c.views()[0]->onUndo();
        QCOMPARE(c.library().collages()[0].model, m0);
        c.views()[0]->onRedo();
        QCOMPARE(c.library().collages()[0].model, named);
    }

    void twoScreensShowingOneCollageFollowEveryEdit()
    {
        ControllerFixture f;
        f.useTwoScreens();
        f.writeLibrary({QStringLiteral("Trip"), QStringLiteral("Zoo")}, {2, 1});
        DesktopWindowController &c = f.controller();
        QCOMPARE(c.views().size(), 2);
        c.assign(QStringLiteral("Trip"), f.screenAt(1));
        const CollageModel m0 = c.views()[0]->model();
        QCOMPARE(c.views()[1]->model(), m0);

        const CollageModel m1 = moved(m0, 12);
        c.views()[0]->onEdit(m1, QStringLiteral("Move"));
        QCOMPARE(c.views()[1]->model(), m1);

        // One history per collage: undo from the other screen undoes it.
        c.views()[1]->onUndo();
        QCOMPARE(c.views()[0]->model(), m0);
        QCOMPARE(c.views()[1]->model(), m0);
    }

    void editsReachOnlyTheCanvasesShowingTheCollage()
    {
        ControllerFixture f;
        f.useTwoScreens();
        f.writeLibrary({QStringLiteral("Trip"), QStringLiteral("Zoo")}, {2, 1});
        DesktopWindowController &c = f.controller();
        c.assign(QStringLiteral("Zoo"), f.screenAt(1));
        const CollageModel zoo = c.views()[1]->model();

        c.views()[0]->onEdit(moved(c.views()[0]->model(), 7), QStringLiteral("Move"));
        QCOMPARE(c.views()[1]->model(), zoo);
        QCOMPARE(c.library().findNamed(QStringLiteral("Zoo"))->model, zoo);
        QVERIFY(!c.hasUndoManager(QStringLiteral("Zoo")));
    }

    void editsOnAScreenWithoutCollageOrIndexAreIgnored()
    {
        ControllerFixture f;
        f.useTwoScreens();
        f.writeLibrary({QStringLiteral("Trip")}, {1});
        DesktopWindowController &c = f.controller();
        const Library before = c.library();
        // Only the main screen gets a default; the right one shows nothing.
        QVERIFY(c.views()[1]->model().isEmpty());
        QCOMPARE(c.views()[1]->imageBaseDir(), std::nullopt);

        c.views()[1]->onEdit(modelWithPhotos({QStringLiteral("x.jpg")}), QStringLiteral("Paste"));
        c.views()[1]->onUndo();
        c.views()[1]->onRedo();
        c.applyEdit(modelWithPhotos({QStringLiteral("x.jpg")}), QStringLiteral("Paste"), 2);
        c.applyEdit(modelWithPhotos({QStringLiteral("x.jpg")}), QStringLiteral("Paste"), -1);
        c.performUndo(7);
        c.performRedo(-3);
        QCOMPARE(c.library(), before);
        QVERIFY(!c.isSavePending());
    }

    void undoFollowsTheCollageThroughARename()
    {
        ControllerFixture f;
        f.writeLibrary({QStringLiteral("Trip"), QStringLiteral("Zoo")}, {1, 0});
        DesktopWindowController &c = f.controller();
        const CollageModel m0 = c.views()[0]->model();
        c.views()[0]->onEdit(moved(m0, 9), QStringLiteral("Move"));
        QVERIFY(c.renameCollage(QStringLiteral("Trip"), QStringLiteral("Holiday")));

        QVERIFY(!c.hasUndoManager(QStringLiteral("Trip")));
        QCOMPARE(c.undoManager(QStringLiteral("Holiday"))->count(), 1);
        c.views()[0]->onUndo();
        QCOMPARE(c.library().findNamed(QStringLiteral("Holiday"))->model, m0);
        QCOMPARE(c.views()[0]->model(), m0);
    }

    void deletingACollageDropsItsHistory()
    {
        ControllerFixture f;
        f.writeLibrary({QStringLiteral("Trip"), QStringLiteral("Zoo")}, {1, 1});
        DesktopWindowController &c = f.controller();
        c.views()[0]->onEdit(moved(c.views()[0]->model(), 9), QStringLiteral("Move"));
        c.deleteCollage(QStringLiteral("Trip"));
        QVERIFY(!c.hasUndoManager(QStringLiteral("Trip")));
        // A collage of the same name starts with an empty history.
        c.library().addCollage(QStringLiteral("Trip"));
        QCOMPARE(c.undoManager(QStringLiteral("Trip"))->count(), 0);
    }

    void reapplyOfAMissingCollageDoesNothing()
    {
        ControllerFixture f;
        f.writeLibrary({QStringLiteral("Trip")}, {1});
        DesktopWindowController &c = f.controller();
        const Library before = c.library();
        QCOMPARE(c.reapply(CollageModel(), QStringLiteral("Gone"), QStringLiteral("Move")), std::nullopt);
        QCOMPARE(c.library(), before);
        QVERIFY(!c.isSavePending());
    }

    void applyWithACursorNamingNoCollageChangesNothing()
    {
        ControllerFixture f;
        f.writeLibrary({QStringLiteral("Trip")}, {1});
        DesktopWindowController &c = f.controller();
        const Library before = c.library();
        c.library().setActiveID(QUuid::createUuid());
        c.apply(CollageModel(), QStringLiteral("Delete"), false);
        QCOMPARE(c.library().collages(), before.collages());
        QVERIFY(!c.hasUndoManager(QStringLiteral("Trip")));
    }

    void reloadFillsEveryCanvasFromItsAssignment()
    {
        ControllerFixture f;
        f.useTwoScreens();
        f.writeLibrary({QStringLiteral("Trip"), QStringLiteral("Zoo")}, {2, 3});
        DesktopWindowController &c = f.controller();
        QCOMPARE(c.views()[0]->imageBaseDir(), std::optional<QString>(f.root() + QStringLiteral("/Trip")));
        QCOMPARE(c.views()[0]->model().items().size(), 2);

        // Assigning reloads; a screen assigned to nothing shows an empty canvas.
        c.assign(QStringLiteral("Zoo"), f.screenAt(1));
        QCOMPARE(c.views()[1]->imageBaseDir(), std::optional<QString>(f.root() + QStringLiteral("/Zoo")));
        QCOMPARE(c.views()[1]->model().items().size(), 3);
        c.assign(std::nullopt, f.screenAt(0));
        QVERIFY(c.views()[0]->model().isEmpty());
        QCOMPARE(c.views()[0]->imageBaseDir(), std::nullopt);
    }

    void refreshIgnoresUnknownNames()
    {
        ControllerFixture f;
        f.writeLibrary({QStringLiteral("Trip")}, {2});
        DesktopWindowController &c = f.controller();
        const CollageModel shown = c.views()[0]->model();
        c.refreshViews(QStringLiteral("Nope"), true);
        c.refreshViews(QString(), true);
        QCOMPARE(c.views()[0]->model(), shown);
    }
};

QTEST_MAIN(TestApplyUndo)
#include "tst_applyundo.moc"
