#include "app/controller/SerialQueue.h"

#include <QTest>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

using namespace std::chrono_literals;

class TestSerialQueue : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void runsJobsOneAtATimeInSubmissionOrder()
    {
        SerialQueue queue(QStringLiteral("com.veloran.save"));
        std::mutex mutex;
        std::vector<int> order;
        std::atomic<int> running{0};
        std::atomic<int> overlaps{0};
        for (int i = 0; i < 50; ++i) {
            queue.async([&, i] {
                if (running.fetch_add(1) != 0)
                    ++overlaps;
                std::this_thread::sleep_for(std::chrono::microseconds(200));
                {
                    std::lock_guard lock(mutex);
                    order.push_back(i);
                }
                running.fetch_sub(1);
            });
        }
        queue.drain();
        QCOMPARE(int(order.size()), 50);
        for (int i = 0; i < 50; ++i)
            QCOMPARE(order[size_t(i)], i);
        QCOMPARE(overlaps.load(), 0);
        QCOMPARE(queue.pending(), 0);
    }

    void syncWaitsForEverythingSubmittedBefore()
    {
        SerialQueue queue(QStringLiteral("q"));
        std::atomic<bool> slowDone{false};
        queue.async([&] {
            std::this_thread::sleep_for(80ms);
            slowDone = true;
        });
        bool sawSlowDone = false;
        queue.sync([&] { sawSlowDone = slowDone.load(); });
        QVERIFY(sawSlowDone);
        QCOMPARE(queue.pending(), 0);
    }

    void syncRunsOffTheCallingThread()
    {
        SerialQueue queue(QStringLiteral("q"));
        std::thread::id worker;
        queue.sync([&] { worker = std::this_thread::get_id(); });
        QVERIFY(worker != std::this_thread::get_id());
        // A job that itself waits on the queue runs inline instead of deadlocking.
        bool inner = false;
        queue.sync([&] { queue.sync([&] { inner = true; }); });
        QVERIFY(inner);
    }

    void destructionFinishesQueuedJobs()
    {
        std::atomic<int> ran{0};
        {
            SerialQueue queue(QStringLiteral("q"));
            for (int i = 0; i < 5; ++i)
                queue.async([&] {
                    std::this_thread::sleep_for(5ms);
                    ++ran;
                });
        }
        QCOMPARE(ran.load(), 5);
    }

    void drainOnAnIdleQueueReturnsAtOnce()
    {
        SerialQueue queue(QStringLiteral("q"));
        QElapsedTimer timer;
        timer.start();
        queue.drain();
        QVERIFY(timer.elapsed() < 50);
    }
};

QTEST_GUILESS_MAIN(TestSerialQueue)
#include "tst_serialqueue.moc"
