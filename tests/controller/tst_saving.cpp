#include "controller/support/ControllerFixture.h"

#include "app/canvas/CollageView.h"
#include "app/controller/SerialQueue.h"

#include <QElapsedTimer>
#include <QTest>

#include <atomic>
#include <chrono>
#include <numeric>
#include <thread>
#include <vector>

using namespace std::chrono_literals;

// Debounced saving: one write 0.4 s after the last change, on the save queue (one job at a time,
// in order, off the calling thread); a flush at termination writes what still waits.
class TestSaving : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void aBurstIsWrittenOnceAfterTheLastEditOrAtOnceByAFlush()
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

        c.flushSave(); // nothing waits: nothing is written
        QCOMPARE(c.writesCompleted(), 1);
        model = nudged(model, 25);
        view->onEdit(model, "Move");
        c.flushSave();
        QCOMPARE(c.writesCompleted(), 2);
        QCOMPARE(f.onDisk("Trip"), model);
        QTest::qWait(DesktopWindowController::saveDelayMs + 150);
        QCOMPARE(c.writesCompleted(), 2); // the delayed write was cancelled, not merely overtaken
        view->onEdit(nudged(model, 50), "Move");
        f.destroyController(); // writes nothing that was still waiting
        QTest::qWait(DesktopWindowController::saveDelayMs + 150);
        QCOMPARE(f.onDisk("Trip"), model);
    }

    void flushWaitsForAWriteAlreadyQueued()
    {
        ControllerFixture f;
        DesktopWindowController &c = f.controllerWith(manyNames(40));
        c.library().setActiveID(c.library().collages().last().id);
        c.library().updateActive(modelWithPhotos({"late.jpg"}));
        c.performSave(c.library());
        c.flushSave();
        QCOMPARE(c.writesCompleted(), 1);
        QCOMPARE(f.onDisk("C39").items().size(), 1);
    }

    void aFailedWriteIsLoggedOnceAndKeepsTheLibrary()
    {
        ControllerFixture f;
        QVERIFY(TestFiles::write(f.root(), "not a folder")); // nothing can be written below it
        StderrCapture capture;
        DesktopWindowController &c = f.controller();
        c.library().updateActive(modelWithPhotos({"a.jpg"}));
        const Library inMemory = c.library();
        c.scheduleSave();
        QTRY_COMPARE_WITH_TIMEOUT(c.writesCompleted(), 1, 3000);
        c.scheduleSave();
        c.flushSave(); // failing at exit too, with no one left to tell
        QCOMPARE(c.writesCompleted(), 2);
        QCOMPARE(capture.take().count("[store] ERROR: save failed: "), 1);
        QCOMPARE(c.library(), inMemory);
        QVERIFY(!c.isSavePending());
    }

    void theQueueRunsJobsOneAtATimeInOrderOffTheCallingThread()
    {
        std::vector<int> order, expected(30);
        std::iota(expected.begin(), expected.end(), 0);
        std::atomic<int> running{0}, overlaps{0};
        {
            SerialQueue queue(QStringLiteral("q"));
            for (int i : expected) {
                queue.async([&, i] {
                    overlaps += running.fetch_add(1) != 0;
                    std::this_thread::sleep_for(1ms);
                    order.push_back(i);
                    running.fetch_sub(1);
                });
            }
            queue.drain();
            QCOMPARE(order, expected);

            // sync waits for earlier jobs, and runs on the queue's thread.
            std::atomic<bool> slowDone{false};
            queue.async([&] {
                std::this_thread::sleep_for(80ms);
                slowDone = true;
            });
            bool sawSlowDone = false;
            std::thread::id worker;
            queue.sync([&] {
                sawSlowDone = slowDone.load();
                worker = std::this_thread::get_id();
            });
            QVERIFY(sawSlowDone);
            QVERIFY(worker != std::this_thread::get_id());
            bool inner = false; // a job that itself waits on the queue runs inline, no deadlock
            queue.sync([&] { queue.sync([&] { inner = true; }); });
            QVERIFY(inner);

            queue.async([&] { // destruction finishes what was submitted
                std::this_thread::sleep_for(20ms);
                order.push_back(30);
            });
        }
        QCOMPARE(order.size(), size_t(31));
        QCOMPARE(overlaps.load(), 0);
    }
};

QTEST_MAIN(TestSaving)
#include "tst_saving.moc"
