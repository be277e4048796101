#include "controller/support/ControllerFixture.h"

#include "app/canvas/CollageView.h"
#include "app/controller/CollageHistory.h"

#include <QTest>

// The apply road: every canvas edit, undo and redo reaches the library through apply,
// refreshes every canvas showing the collage and schedules a save.
class TestApplyUndo : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void editsUndoAndRedoGoThroughApply()
    {
        ControllerFixture f;
        DesktopWindowController &c = f.controllerWith({"Trip"}, {2});
        CollageView *view = c.views()[0];
        const CollageModel m0 = view->model();
        const CollageModel m1 = nudged(m0, 10), m2 = nudged(m1, 10);
        view->onEdit(m1, "Move");
        view->onEdit(m2, "Rotate");
        QCOMPARE(c.library().collages()[0].model, m2);
        QCOMPARE(view->model(), m2);
        QVERIFY(c.isSavePending());
        CollageHistory *history = c.undoManager("Trip");
        QCOMPARE(history->count(), 2);
        QCOMPARE(history->undoText(), QStringLiteral("Rotate"));

        view->onUndo();
        QCOMPARE(c.library().collages()[0].model, m1);
        QCOMPARE(view->model(), m1);
        view->onUndo();
        view->onUndo(); // nothing left: no change
        QCOMPARE(c.library().collages()[0].model, m0);
        view->onRedo();
        QCOMPARE(c.library().collages()[0].model, m1);
        view->onRedo();
        QCOMPARE(view->model(), m2);

        // A new edit after an undo drops the redo step.
        view->onUndo();
        view->onEdit(nudged(m1, -40), "Move");
        QVERIFY(!history->canRedo());
        view->onUndo();
        QCOMPARE(c.library().collages()[0].model, m1);
    }

    void pushingAStepAppliesTheModelOnlyToTheActiveCollage()
    {
        // The step is recorded after the change is made; the stack's immediate redo must
        // not apply the model a second time (by name, it would hit the first namesake).
        ControllerFixture f;
        DesktopWindowController &c = f.controllerWith({"Trip"}, {1});
        const CollageModel first = c.library().collages()[0].model;
        c.library().addCollage("Trip"); // now active
        const CollageModel m1 = modelWithPhotos({"a.jpg"});
        c.apply(m1, "Paste", false);
        QCOMPARE(c.library().collages()[0].model, first);
        QCOMPARE(c.library().collages()[1].model, m1);
        QCOMPARE(c.undoManager("Trip")->index(), 1);
    }

    void changesMadeOutsideTheHistorySurviveRedo()
    {
        // Place names are written straight into the library; undo records what it found,
        // so redo brings back the state the undo replaced, place name included.
        ControllerFixture f;
        DesktopWindowController &c = f.controllerWith({"Trip"}, {1});
        const CollageModel m0 = c.library().collages()[0].model;
        c.views()[0]->onEdit(nudged(m0, 20), "Move");
        CollageModel named = c.library().collages()[0].model;
        named.update(named.items().first().id, [](PhotoItem &item) { item.caption = QStringLiteral("Oslo"); });
        c.library().updateActive(named);
        c.views()[0]->onUndo();
        QCOMPARE(c.library().collages()[0].model, m0);
        c.views()[0]->onRedo();
        QCOMPARE(c.library().collages()[0].model, named);
    }

    void everyCanvasShowingTheCollageFollows()
    {
        ControllerFixture f;
        f.useTwoScreens();
        DesktopWindowController &c = f.controllerWith({"Trip", "Zoo"}, {2, 3});
        CollageView *left = c.views()[0], *right = c.views()[1];
        QCOMPARE(left->imageBaseDir(), std::optional(f.path("Trip")));
        c.assign("Zoo", f.screenAt(1));
        QCOMPARE(right->imageBaseDir(), std::optional(f.path("Zoo")));
        const CollageModel zoo = right->model();
        QCOMPARE(zoo.items().size(), 3);

        // An edit of Trip leaves the canvas showing Zoo alone.
        const CollageModel trip = left->model();
        left->onEdit(nudged(trip, 7), "Move");
        QCOMPARE(right->model(), zoo);
        QCOMPARE(c.library().findNamed("Zoo")->model, zoo);
        QVERIFY(!c.hasUndoManager("Zoo"));
        // Undone from its own history while another collage is the active one.
        c.library().setActiveID(c.library().findNamed("Zoo")->id);
        c.undoManager("Trip")->undo();
        QCOMPARE(c.library().findNamed("Zoo")->model, zoo);
        QCOMPARE(c.library().findNamed("Trip")->model, trip);

        // Both showing Trip: an edit on one shows on both, and either undoes it (one history).
        c.assign("Trip", f.screenAt(1));
        const CollageModel m0 = left->model();
        QCOMPARE(right->model(), m0);
        left->onEdit(nudged(m0, 12), "Move");
        QCOMPARE(right->model(), nudged(m0, 12));
        right->onUndo();
        QCOMPARE(left->model(), m0);
        QCOMPARE(right->model(), m0);

        // A screen assigned nothing shows an empty canvas.
        c.assign(std::nullopt, f.screenAt(0));
        QVERIFY(left->model().isEmpty());
        QCOMPARE(left->imageBaseDir(), std::nullopt);
    }

    void editsWithNowhereToGoChangeNothing()
    {
        ControllerFixture f;
        f.useTwoScreens();
        DesktopWindowController &c = f.controllerWith({"Trip"}, {1});
        const Library before = c.library();
        // Only the main screen gets a default; the right one shows nothing.
        QVERIFY(c.views()[1]->model().isEmpty());
        c.views()[1]->onEdit(modelWithPhotos({"x.jpg"}), "Paste");
        c.views()[1]->onUndo();
        c.views()[1]->onRedo();
        c.applyEdit(modelWithPhotos({"x.jpg"}), "Paste", 2);
        c.applyEdit(modelWithPhotos({"x.jpg"}), "Paste", -1);
        c.performUndo(7);
        c.performRedo(-3);
        QCOMPARE(c.reapply(CollageModel(), "Gone", "Move"), std::nullopt);
        c.refreshViews("Nope", true);
        c.refreshViews(QString(), true);
        QCOMPARE(c.views()[0]->model(), before.collages()[0].model);
        QCOMPARE(c.library(), before);
        QVERIFY(!c.isSavePending());

        // A cursor naming no collage: no step is recorded for the fallback collage.
        c.library().setActiveID(QUuid::createUuid());
        c.apply(CollageModel(), "Delete", false);
        QCOMPARE(c.library().collages(), before.collages());
        QVERIFY(!c.hasUndoManager("Trip"));
    }
};

QTEST_MAIN(TestApplyUndo)
#include "tst_applyundo.moc"
