#include "controller/support/ControllerFixture.h"

#include "app/arrange/Arrangement.h"
#include "app/canvas/CollageView.h"
#include "app/controller/CollageHistory.h"
#include "app/controller/ControlBar.h"
#include "platform/fake/FakeScreenService.h"

#include <QPushButton>
#include <QTest>

// Every edit, undo and redo reaches the library through apply, refreshes each canvas showing it, saves.
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

        view->onUndo();
        view->onEdit(nudged(m1, -40), "Move");
        QVERIFY(!history->canRedo()); // a new edit drops the redo step
        view->onUndo();
        QCOMPARE(c.library().collages()[0].model, m1);

        // Place names are written straight into the library; undo records what it found,
        // so redo brings back the state the undo replaced, place name included.
        CollageModel named = m1;
        named.update(named.items().first().id, [](PhotoItem &item) { item.caption = QStringLiteral("Oslo"); });
        c.library().updateActive(named);
        view->onUndo();
        QCOMPARE(c.library().collages()[0].model, m0);
        view->onRedo();
        QCOMPARE(c.library().collages()[0].model, named);

        // The step is recorded after the change is made; the stack's immediate redo must
        // not apply the model a second time (by name, it would hit the first namesake).
        c.library().addCollage("Trip"); // now active
        const CollageModel pasted = modelWithPhotos({"a.jpg"});
        c.apply(pasted, "Paste", false);
        QCOMPARE(c.library().collages()[0].model, named);
        QCOMPARE(c.library().collages()[1].model, pasted);
        QCOMPARE(history->index(), 2);
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

        const CollageModel trip = left->model();
        left->onEdit(nudged(trip, 7), "Move"); // leaves the canvas showing Zoo alone
        QCOMPARE(right->model(), zoo);
        QCOMPARE(c.library().findNamed("Zoo")->model, zoo);
        QVERIFY(!c.hasUndoManager("Zoo"));
        c.library().setActiveID(c.library().findNamed("Zoo")->id);
        c.undoManager("Trip")->undo(); // from its own history, while Zoo is the active collage
        QCOMPARE(c.library().findNamed("Zoo")->model, zoo);
        QCOMPARE(c.library().findNamed("Trip")->model, trip);

        c.assign("Trip", f.screenAt(1)); // both showing Trip: an edit shows on both, either undoes it
        const CollageModel m0 = left->model();
        QCOMPARE(right->model(), m0);
        left->onEdit(nudged(m0, 12), "Move");
        QCOMPARE(right->model(), nudged(m0, 12));
        right->onUndo();
        QCOMPARE(left->model(), m0);
        QCOMPARE(right->model(), m0);

        c.assign(std::nullopt, f.screenAt(0));
        QVERIFY(left->model().isEmpty());
        QCOMPARE(left->imageBaseDir(), std::nullopt);
    }

    void editsWithNowhereToGoChangeNothing()
    {
        ControllerFixture f;
        f.useTwoScreens();
        DesktopWindowController &c = f.controllerWith({"Trip", "Zoo"}, {1});
        const Library before = c.library();
        QVERIFY(c.views()[1]->model().isEmpty()); // only the main screen gets a default
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
        c.assign("Zoo", f.screenAt(1));
        f.screens().setPointerPosition(QPoint(2500, 500)); // over an empty collage: nothing to arrange
        c.tidyUp();
        c.scatterPhotos();
        QVERIFY(!c.hasUndoManager("Zoo"));
        QVERIFY(!c.isSavePending());

        c.library().setActiveID(QUuid::createUuid()); // naming no collage: no step for the fallback one
        c.apply(CollageModel(), "Delete", false);
        QCOMPARE(c.library().collages(), before.collages());
        QVERIFY(!c.hasUndoManager("Trip"));
    }

    void tidyUpAndScatterAreOneStepEachOnTheCollageUnderThePointer()
    {
        ControllerFixture f;
        DesktopWindowController &c = f.controllerWith({"Trip"}, {5});
        c.setEditing(true);
        const CollageModel before = c.library().collages()[0].model;
        c.controlBars()[0]->findChild<QPushButton *>(QStringLiteral("Tidy Up"))->click();
        const CollageModel tidy = Arrangement::tidyUp(before, c.screens()[0].frame.size());
        QCOMPARE(c.library().collages()[0].model, tidy);
        QCOMPARE(c.views()[0]->model(), tidy);
        CollageHistory *history = c.undoManager("Trip");
        QCOMPARE(history->undoText(), QStringLiteral("Tidy Up"));

        c.controlBars()[0]->findChild<QPushButton *>(QStringLiteral("Scatter"))->click();
        QVERIFY(c.library().collages()[0].model != tidy);
        QCOMPARE(history->undoText(), QStringLiteral("Scatter"));
        history->undo();
        QCOMPARE(c.library().collages()[0].model, tidy);
        history->undo();
        QCOMPARE(c.library().collages()[0].model, before);
    }
};

QTEST_MAIN(TestApplyUndo)
#include "tst_applyundo.moc"
