#include "engine/DeferredRelease.h"

#include "engine/ProcessMemory.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>

namespace engine {

namespace {

// How long the release thread waits for more work before it runs its idle work.
constexpr auto kIdleDelay = std::chrono::milliseconds(100);

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

    void post(std::function<void()> work, bool whenIdle)
    {
        std::lock_guard lock(m_mutex);
        if (!whenIdle)
            m_work.push_back(std::move(work));
        else if (std::exchange(m_idleWork, std::move(work)) == nullptr)
            m_idleAt = std::chrono::steady_clock::now() + kIdleDelay;
        if (!m_thread.joinable())
            m_thread = std::thread([this] { run(); });
        m_wake.notify_one();
    }

private:
    void run()
    {
        std::unique_lock lock(m_mutex);
        for (;;) {
            auto ready = [this] { return m_quit || !m_work.empty(); };
            if (m_idleWork)
                m_wake.wait_until(lock, m_idleAt, ready);
            else
                m_wake.wait(lock, [&] { return ready() || m_idleWork; });
            std::function<void()> work;
            if (!m_work.empty()) {
                work = std::move(m_work.front());
                m_work.pop_front();
            } else if (m_quit) {
                return; // nothing left to free; the idle work does not matter any more
            } else if (m_idleWork && std::chrono::steady_clock::now() >= m_idleAt) {
                work = std::exchange(m_idleWork, nullptr);
            } else {
                continue;
            }
            lock.unlock();
            work();
            work = nullptr;
            lock.lock();
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::function<void()>> m_work;
    std::function<void()> m_idleWork;
    std::chrono::steady_clock::time_point m_idleAt;
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
    ProcessMemory::giveBackSoon();
}

void DeferredRelease::post(std::function<void()> work)
{
    releaseThread().post(std::move(work), false);
}

void DeferredRelease::postWhenIdle(std::function<void()> work)
{
    releaseThread().post(std::move(work), true);
}

} // namespace engine
