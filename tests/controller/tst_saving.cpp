#include "controller/support/ControllerFixture.h"

#include "app/canvas/CollageView.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QTest>

// Debounced saving: one write 0.4 s after the last change, on the save queue; a flush at
// termination writes what still waits.
class TestSaving : public QObject {
    Q_OBJECT

    static CollageModel onDisk(const ControllerFixture &f, const QString &name)
    {
        const Library library = f.store().load();
        const Collage *collage = library.findNamed(name);
        return collage ? collage->model : CollageModel();
    }

    static CollageModel nudged(const CollageModel &model, double dx)
    {
        CollageModel copy = model;
        copy.update(copy.items().first().id, [dx](PhotoItem &item) { item.center.rx() += dx; });
        return copy;
    }

private Q_SLOTS:
    void aBurstOfEditsIsWrittenOnceAfterTheLast()
    {
        ControllerFixture f;
        f.writeLibrary({QStringLiteral("Trip")}, {1});
        DesktopWindowController &c = f.controller();
        CollageView *view = c.views()[0];

        QElapsedTimer sinceLast;
        CollageModel model = view->model();
        for (int i = 0; i < 3; ++i) {
            if (i > 0)
                QTest::qWait(100);
            model = nudged(model, 10);
            view->onEdit(model, QStringLiteral("Move"));
            sinceLast.start();
        }
        QCOMPARE(c.writesCompleted(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(c.writesCompleted(), 1, 3000);
        const qint64 delay = sinceLast.elapsed();
        QVERIFY2(delay >= DesktopWindowController::saveDelayMs - 5, qPrintable(QString::number(delay)));
        QVERIFY2(delay < DesktopWindowController::saveDelayMs + 400, qPrintable(QString::number(delay)));
        QCOMPARE(onDisk(f, QStringLiteral("Trip")), model);
        QVERIFY(!c.isSavePending());

        QTest::qWait(DesktopWindowController::saveDelayMs + 100);
        QCOMPARE(c.writesCompleted(), 1);
    }

    void flushWritesAWaitingSnapshotAtOnce()
    {
        ControllerFixture f;
        f.writeLibrary({QStringLiteral("Trip")}, {1});
        DesktopWindowController &c = f.controller();
        const CollageModel model = nudged(c.views()[0]->model(), 25);
        c.views()[0]->onEdit(model, QStringLiteral("Move"));
        c.flushSave();
        QCOMPARE(c.writesCompleted(), 1);
        QCOMPARE(onDisk(f, QStringLiteral("Trip")), model);
        // The delayed write was cancelled, not merely overtaken.
        QTest::qWait(DesktopWindowController::saveDelayMs + 150);
        QCOMPARE(c.writesCompleted(), 1);
    }

    void flushWithNothingPendingWritesNothing()
    {
        ControllerFixture f;
        f.writeLibrary({QStringLiteral("Trip")}, {1});
        DesktopWindowController &c = f.controller();
        const QString layout = f.root() + QStringLiteral("/Trip/collage.json");
        const QByteArray before = TestFiles::read(layout);
        c.flushSave();
        QCOMPARE(c.writesCompleted(), 0);
        QCOMPARE(TestFiles::read(layout), before);
    }

    void flushWaitsForAWriteAlreadyQueued()
    {
        ControllerFixture f;
        QStringList names;
        for (int i = 0; i < 40; ++i)
            names.append(QStringLiteral("C%1").arg(i));
        f.writeLibrary(names);
        DesktopWindowController &c = f.controller();
        c.library().setActiveID(c.library().collages().last().id);
        c.library().updateActive(modelWithPhotos({QStringLiteral("late.jpg")}));
        c.performSave(c.library());
        c.flushSave();
        QCOMPARE(c.writesCompleted(), 1);
        QCOMPARE(onDisk(f, names.last()).items().size(), 1);
    }

    void writesRunInSubmissionOrderSoTheNewestStays()
    {
        ControllerFixture f;
        f.writeLibrary({QStringLiteral("Trip")}, {1});
        DesktopWindowController &c = f.controller();
        const CollageModel older = nudged(c.library().collages()[0].model, 5);
        const CollageModel newer = nudged(older, 5);
        c.library().updateActive(older);
        c.performSave(c.library());
        c.library().updateActive(newer);
        c.scheduleSave();
        c.performSave(c.library()); // both on the queue now, behind each other
        QTRY_COMPARE_WITH_TIMEOUT(c.writesCompleted(), 3, 3000);
        QCOMPARE(onDisk(f, QStringLiteral("Trip")), newer);
    }

    void aFailedWriteIsLoggedOnceAndKeepsTheLibrary()
    {
        ControllerFixture f;
        // The library root is a plain file: nothing can be written below it.
        QVERIFY(TestFiles::write(f.root(), "not a folder"));
        StderrCapture capture;
        DesktopWindowController &c = f.controller();
        c.library().updateActive(modelWithPhotos({QStringLiteral("a.jpg")}));
        const Library inMemory = c.library();
        c.scheduleSave();
        QTRY_COMPARE_WITH_TIMEOUT(c.writesCompleted(), 1, 3000);
        const QList<QByteArray> lines = capture.take().split('\n');
        int failures = 0;
        for (const QByteArray &line : lines) {
            if (line.startsWith("[store] ERROR: save failed: "))
                ++failures;
        }
        QCOMPARE(failures, 1);
        QCOMPARE(c.library(), inMemory);
        QVERIFY(!c.isSavePending());
    }

    void aFailedFlushIsSilent()
    {
        ControllerFixture f;
        QVERIFY(TestFiles::write(f.root(), "not a folder"));
        DesktopWindowController &c = f.controller();
        c.scheduleSave();
        StderrCapture capture;
        c.flushSave();
        QCOMPARE(c.writesCompleted(), 1);
        QVERIFY(!capture.take().contains("save failed"));
    }

    void aDestroyedControllerWritesNothingThatWasStillWaiting()
    {
        ControllerFixture f;
        f.writeLibrary({QStringLiteral("Trip")}, {1});
        DesktopWindowController &c = f.controller();
        const CollageModel original = c.library().collages()[0].model;
        c.views()[0]->onEdit(nudged(original, 50), QStringLiteral("Move"));
        f.destroyController();
        QTest::qWait(DesktopWindowController::saveDelayMs + 150);
        QCOMPARE(onDisk(f, QStringLiteral("Trip")), original);
    }

    void theSnapshotIsNotChangedByLaterEdits()
    {
        ControllerFixture f;
        f.writeLibrary({QStringLiteral("Trip")}, {1});
        DesktopWindowController &c = f.controller();
        const CollageModel first = nudged(c.library().collages()[0].model, 5);
        c.library().updateActive(first);
        const Library snapshot = c.library();
        c.performSave(snapshot);
        c.library().updateActive(nudged(first, 100)); // detaches from the snapshot
        c.flushSave();
        QCOMPARE(onDisk(f, QStringLiteral("Trip")), first);
    }
};

QTEST_MAIN(TestSaving)
#include "tst_saving.moc"
