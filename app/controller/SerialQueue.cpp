#include "app/controller/SerialQueue.h"

#include <pthread.h>

SerialQueue::SerialQueue(QString label) : m_label(std::move(label))
{
    m_thread = std::thread([this] { run(); });
    // Linux keeps 15 bytes of a thread name; enough to tell the queue apart in a debugger.
    pthread_setname_np(m_thread.native_handle(), m_label.left(15).toUtf8().constData());
}

SerialQueue::~SerialQueue()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

void SerialQueue::async(std::function<void()> job)
{
    {
        std::lock_guard lock(m_mutex);
        m_jobs.push_back(std::move(job));
        ++m_submitted;
    }
    m_wake.notify_one();
}

void SerialQueue::sync(const std::function<void()> &job)
{
    // Called from the queue's own thread, waiting would never end.
    if (std::this_thread::get_id() == m_thread.get_id()) {
        job();
        return;
    }
    unsigned long long ticket = 0;
    {
        std::lock_guard lock(m_mutex);
        m_jobs.push_back(job);
        ticket = ++m_submitted;
    }
    m_wake.notify_one();
    std::unique_lock lock(m_mutex);
    m_done.wait(lock, [&] { return m_finished >= ticket; });
}

void SerialQueue::drain()
{
    if (std::this_thread::get_id() == m_thread.get_id())
        return;
    std::unique_lock lock(m_mutex);
    const unsigned long long ticket = m_submitted;
    m_done.wait(lock, [&] { return m_finished >= ticket; });
}

int SerialQueue::pending() const
{
    std::lock_guard lock(m_mutex);
    return int(m_submitted - m_finished);
}

void SerialQueue::run()
{
    for (;;) {
        std::function<void()> job;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [&] { return m_stopping || !m_jobs.empty(); });
            if (m_jobs.empty())
                return;
            job = std::move(m_jobs.front());
            m_jobs.pop_front();
        }
        job();
        {
            std::lock_guard lock(m_mutex);
            ++m_finished;
        }
        m_done.notify_all();
    }
}
