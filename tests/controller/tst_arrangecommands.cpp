#include "controller/support/ControllerFixture.h"

#include "app/arrange/Arrangement.h"
#include "app/canvas/CollageView.h"
#include "app/controller/CollageHistory.h"
#include "app/controller/ControlBar.h"

#include <QPushButton>
#include <QTest>

// Tidy Up and Scatter on the bar: the collage under the pointer, one animated undo step each.
class TestArrangeCommands : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void eachIsOneStepOnTheCollageUnderThePointer()
    {
        ControllerFixture f;
        f.writeLibrary({"Trip"}, {5});
        DesktopWindowController &c = f.controller();
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
        QVERIFY(c.isSavePending());
        history->undo();
        QCOMPARE(c.library().collages()[0].model, tidy);
        history->undo();
        QCOMPARE(c.library().collages()[0].model, before);
    }

    void anEmptyCollageOrNoneChangesNothing()
    {
        ControllerFixture f;
        f.useTwoScreens();
        f.writeLibrary({"Trip"});
        DesktopWindowController &c = f.controller();
        c.flushSave();
        c.tidyUp();
        c.scatterPhotos();
        QCOMPARE(c.undoManager("Trip")->count(), 0);
        QVERIFY(!c.isSavePending());
    }
};

QTEST_MAIN(TestArrangeCommands)
#include "tst_arrangecommands.moc"
