#pragma once
// A timer on the main thread that calls back once or repeatedly, in a run-loop mode.
//
// Default-mode timers hold their ticks while a modal session runs (Application::runModal) and fire again
// when the last session ends (a missed repeating tick fires once, not once per missed interval); Common-mode
// timers fire in every case. The callback may invalidate the timer, or drop the last reference to it.
#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>

namespace platform {

class Timer : public QObject, public std::enable_shared_from_this<Timer>
{
    Q_OBJECT

public:
    enum Mode { Default, Common };
    using Callback = std::function<void(Timer &)>;

    // Starts a timer that first fires `seconds` from now (at least one event-loop turn later). A scheduled
    // timer stays alive while it is valid, even when the caller keeps no reference; invalidate() releases it.
    static std::shared_ptr<Timer> scheduled(double seconds, bool repeats, Callback callback,
                                            Mode mode = Default);

    ~Timer() override;

    // Stops the timer for good; callable from its own callback. Idempotent.
    void invalidate();
    bool isValid() const { return m_valid; }
    double timeInterval() const { return m_interval; }
    bool repeats() const { return m_repeats; }
    Mode mode() const { return m_mode; }

    // Calls the callback now, as if the timer had fired (a non-repeating timer is then invalidated).
    void fire();

private:
    Timer(double seconds, bool repeats, Callback callback, Mode mode);
    void onTimeout();
    void onModalEnded();

    QTimer m_timer;
    Callback m_callback;
    double m_interval = 0;
    bool m_repeats = false;
    bool m_valid = true;
    bool m_pending = false; // a Default tick held back by a modal session
    Mode m_mode = Default;
    std::shared_ptr<Timer> m_self; // keeps a scheduled timer alive until it is invalidated
};

} // namespace platform
