#pragma once
// Handing work to the main thread or to a worker, the application's two queues.
#include <functional>

namespace platform {

// Runs `fn` on the main thread on a later event-loop turn, never synchronously, even when called from the
// main thread. Safe to call from any thread; calls made from one thread run in the order they were made.
void dispatchMain(std::function<void()> fn);

// Runs `fn` on a thread of a shared worker pool. Order between calls is not promised.
void dispatchGlobal(std::function<void()> fn);

// Blocks until every job handed to dispatchGlobal so far has finished (for tests and shutdown).
void waitForGlobalQueue();

} // namespace platform
