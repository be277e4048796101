#include "controller/support/ControllerFixture.h"

#include "app/canvas/CollageView.h"

#include <QElapsedTimer>
#include <QTest>

// Debounced saving: one write 0.4 s after the last change, on the save queue; a flush at
// termination writes what still waits.
class TestSaving : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void aBurstOfEditsIsWrittenOnceAfterTheLast()
    {
        ControllerFixture f;
        DesktopWindowController &c = f.controllerWith({"Trip"}, {1});
        CollageView *view = c.views()[0];
        QElapsedTimer sinceLast;
        CollageModel model = view->model();
        for (int i = 0; i < 3; ++i) {
            if (i > 0)
                QTest::qWait(100);
            model = nudged(model, 10);
            view->onEdit(model, "Move");
            sinceLast.start();
        }
        QCOMPARE(c.writesCompleted(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(c.writesCompleted(), 1, 3000);
        const qint64 delay = sinceLast.elapsed();
        QVERIFY2(delay >= DesktopWindowController::saveDelayMs - 5, qPrintable(QString::number(delay)));
        // Generous: a loaded machine (parallel tests) delays the timer and the write.
        QVERIFY2(delay < DesktopWindowController::saveDelayMs + 1100, qPrintable(QString::number(delay)));
        QCOMPARE(f.onDisk("Trip"), model);
        QVERIFY(!c.isSavePending());
    }

    void flushWritesAWaitingSnapshotAtOnce()
    {
        ControllerFixture f;
        DesktopWindowController &c = f.controllerWith({"Trip"}, {1});
        c.flushSave(); // nothing waits: nothing is written
        QCOMPARE(c.writesCompleted(), 0);
        const CollageModel model = nudged(c.views()[0]->model(), 25);
        c.views()[0]->onEdit(model, "Move");
        c.flushSave();
        QCOMPARE(c.writesCompleted(), 1);
        QCOMPARE(f.onDisk("Trip"), model);
        // The delayed write was cancelled, not merely overtaken.
        QTest::qWait(DesktopWindowController::saveDelayMs + 150);
        QCOMPARE(c.writesCompleted(), 1);
    }

    void flushWaitsForAWriteAlreadyQueued()
    {
        ControllerFixture f;
        const QStringList names = manyNames(40);
        DesktopWindowController &c = f.controllerWith(names);
        c.library().setActiveID(c.library().collages().last().id);
        c.library().updateActive(modelWithPhotos({"late.jpg"}));
        c.performSave(c.library());
        c.flushSave();
        QCOMPARE(c.writesCompleted(), 1);
        QCOMPARE(f.onDisk(names.last()).items().size(), 1);
    }

    void aFailedWriteIsLoggedOnceAndKeepsTheLibrary()
    {
        ControllerFixture f;
        // The library root is a plain file: nothing can be written below it.
        QVERIFY(TestFiles::write(f.root(), "not a folder"));
        StderrCapture capture;
        DesktopWindowController &c = f.controller();
        c.library().updateActive(modelWithPhotos({"a.jpg"}));
        const Library inMemory = c.library();
        c.scheduleSave();
        QTRY_COMPARE_WITH_TIMEOUT(c.writesCompleted(), 1, 3000);
        // At exit there is no one left to tell.
        c.scheduleSave();
        c.flushSave();
        QCOMPARE(c.writesCompleted(), 2);
        QCOMPARE(capture.take().count("[store] ERROR: save failed: "), 1);
        QCOMPARE(c.library(), inMemory);
        QVERIFY(!c.isSavePending());
    }

    void aDestroyedControllerWritesNothingThatWasStillWaiting()
    {
        ControllerFixture f;
        DesktopWindowController &c = f.controllerWith({"Trip"}, {1});
        const CollageModel original = c.library().collages()[0].model;
        c.views()[0]->onEdit(nudged(original, 50), "Move");
        f.destroyController();
        QTest::qWait(DesktopWindowController::saveDelayMs + 150);
        QCOMPARE(f.onDisk("Trip"), original);
    }
};

QTEST_MAIN(TestSaving)
#include "tst_saving.moc"
