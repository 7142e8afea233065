#include "engine/DeferredRelease.h"

#include "engine/ProcessMemory.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace engine {

namespace {

class ReleaseThread
{
public:
    ~ReleaseThread()
    {
        {
            std::lock_guard lock(m_mutex);
            m_quit = true;
        }
        m_wake.notify_all();
        if (m_thread.joinable())
            m_thread.join();
    }

    void post(std::function<void()> work)
    {
        std::lock_guard lock(m_mutex);
        m_work.push_back(std::move(work));
        if (!m_thread.joinable())
            m_thread = std::thread([this] { run(); });
        m_wake.notify_one();
    }

private:
    void run()
    {
        std::unique_lock lock(m_mutex);
        for (;;) {
            m_wake.wait(lock, [this] { return m_quit || !m_work.empty(); });
            if (m_work.empty())
                return; // quitting, with nothing left to free
            std::function<void()> work = std::move(m_work.front());
            m_work.pop_front();
            lock.unlock();
            work();
            work = nullptr;
            lock.lock();
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::function<void()>> m_work;
    bool m_quit = false;
    std::thread m_thread;
};

ReleaseThread &releaseThread()
{
    static ReleaseThread thread;
    return thread;
}

} // namespace

void DeferredRelease::afterRelease()
{
    ProcessMemory::giveBack(); // already on the release thread
}

void DeferredRelease::post(std::function<void()> work)
{
    releaseThread().post(std::move(work));
}

} // namespace engine
