#include "app/controller/SerialQueue.h"

#include <QTest>

#include <atomic>
#include <chrono>
#include <numeric>
#include <thread>
#include <vector>

using namespace std::chrono_literals;

// The save queue: one job at a time, in submission order, off the calling thread.
class TestSerialQueue : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void runsJobsOneAtATimeInSubmissionOrder()
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
            // Destruction finishes what was submitted.
            queue.async([&] {
                std::this_thread::sleep_for(20ms);
                order.push_back(30);
            });
        }
        QCOMPARE(order.size(), size_t(31));
        QCOMPARE(overlaps.load(), 0);
    }

    void syncWaitsForEarlierJobsOnTheQueueThread()
    {
        SerialQueue queue(QStringLiteral("q"));
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
        QVERIFY(sawSlowDone && worker != std::this_thread::get_id());
        // A job that itself waits on the queue runs inline instead of deadlocking.
        bool inner = false;
        queue.sync([&] { queue.sync([&] { inner = true; }); });
        QVERIFY(inner);
    }
};

QTEST_GUILESS_MAIN(TestSerialQueue)
#include "tst_serialqueue.moc"
