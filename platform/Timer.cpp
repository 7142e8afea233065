#include "platform/Timer.h"

#include "platform/Application.h"

#include <cmath>

namespace platform {

std::shared_ptr<Timer> Timer::scheduled(double seconds, bool repeats, Callback callback, Mode mode)
{
    std::shared_ptr<Timer> timer(new Timer(seconds, repeats, std::move(callback), mode));
    timer->m_self = timer;
    timer->m_timer.start();
    return timer;
}

Timer::Timer(double seconds, bool repeats, Callback callback, Mode mode)
    : m_callback(std::move(callback))
    , m_interval(std::max(0.0, seconds))
    , m_repeats(repeats)
    , m_mode(mode)
{
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setSingleShot(!repeats);
    m_timer.setInterval(int(std::lround(m_interval * 1000)));
    connect(&m_timer, &QTimer::timeout, this, &Timer::onTimeout);
    if (mode == Default)
        connect(&Application::shared(), &Application::modalSessionsEnded, this, &Timer::onModalEnded);
}

Timer::~Timer() = default;

void Timer::invalidate()
{
    if (!m_valid)
        return;
    m_valid = false;
    m_pending = false;
    m_timer.stop();
    // Release the self-reference last: it may be the final one, so nothing here may touch members after.
    std::shared_ptr<Timer> self = std::move(m_self);
    if (self)
        QMetaObject::invokeMethod(this, [self]() {}, Qt::QueuedConnection); // free it after this turn
}

void Timer::onTimeout()
{
    if (!m_valid)
        return;
    if (m_mode == Default && Application::shared().isModal()) {
        m_pending = true; // the run loop is not in the default mode: hold the tick
        return;
    }
    fire();
}

void Timer::onModalEnded()
{
    if (m_valid && m_pending) {
        m_pending = false;
        fire();
    }
}

void Timer::fire()
{
    if (!m_valid)
        return;
    // Keep the timer alive through its callback even if the callback drops every reference.
    std::shared_ptr<Timer> guard = m_self;
    if (m_callback)
        m_callback(*this);
    if (!m_repeats)
        invalidate();
}

} // namespace platform
