#pragma once
// Guards a step that may block on opening a FIFO for reading: if the step has not ended after the
// timeout, the watchdog opens the FIFO for writing, which lets the blocked reader go on, and says so
// through fired(). A test then fails instead of hanging.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <fcntl.h>
#include <mutex>
#include <string>
#include <thread>
#include <unistd.h>

class FifoWatchdog
{
public:
    FifoWatchdog(std::string fifo, std::chrono::milliseconds timeout)
        : m_thread([this, fifo = std::move(fifo), timeout] {
              std::unique_lock lock(m_mutex);
              if (m_done.wait_for(lock, timeout, [this] { return m_ended; }))
                  return;
              m_fired = true;
              const int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
              if (fd >= 0)
                  ::close(fd);
          })
    {
    }
    ~FifoWatchdog() { end(); }

    // The guarded step is over; returns whether the watchdog had to unblock it.
    bool end()
    {
        {
            std::lock_guard lock(m_mutex);
            m_ended = true;
        }
        m_done.notify_all();
        if (m_thread.joinable())
            m_thread.join();
        return m_fired;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_done;
    bool m_ended = false;
    std::atomic<bool> m_fired{false};
    std::thread m_thread;
};
