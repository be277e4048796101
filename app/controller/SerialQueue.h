#pragma once

#include <QString>

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

// One background thread running jobs one at a time, in submission order. The library
// store has a single writer: every write goes through here, delayed or immediate.
class SerialQueue {
public:
    explicit SerialQueue(QString label);
    ~SerialQueue(); // runs the jobs already submitted, then stops

    SerialQueue(const SerialQueue &) = delete;
    SerialQueue &operator=(const SerialQueue &) = delete;

    const QString &label() const { return m_label; }

    void async(std::function<void()> job);
    // Returns once job and everything submitted before it have finished.
    void sync(const std::function<void()> &job);
    // Waits for everything submitted so far.
    void drain();

    // Jobs submitted and not yet finished, the running one included.
    int pending() const;

private:
    void run();

    QString m_label;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_done;
    std::deque<std::function<void()>> m_jobs;
    unsigned long long m_submitted = 0;
    unsigned long long m_finished = 0;
    bool m_stopping = false;
    std::thread m_thread;
};
