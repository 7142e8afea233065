#pragma once
// Frees objects on a thread of its own. A stopped job hands its pipeline over (after removing its
// temporary output) so that Start returns at once: closing an encoder joins its worker threads, which
// under load takes longer than a Stop may keep the caller waiting. Whatever is still pending when the
// process ends is freed before it exits. The memory freed here is given back to the system soon.
#include <functional>
#include <memory>

namespace engine {

class DeferredRelease
{
public:
    // Destroys `object` soon, on the release thread. Any thread.
    template <class T> static void release(std::unique_ptr<T> object)
    {
        std::shared_ptr<T> shared(std::move(object));
        post([shared]() mutable {
            shared.reset();
            afterRelease();
        });
    }

    // Runs `work` soon, on the release thread, after what was handed over before it. Any thread.
    static void post(std::function<void()> work);
    // Runs `work` on the release thread a moment later, after what is handed over meanwhile (an earlier
    // such work not yet run is replaced), and never once the process is ending: for work that matters
    // only to a process that goes on, such as giving memory back (a heap trim would keep an exiting
    // process tens of milliseconds).
    static void postWhenIdle(std::function<void()> work);

private:
    static void afterRelease();
};

} // namespace engine
