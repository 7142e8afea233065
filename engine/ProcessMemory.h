#pragma once
// Gives the memory of finished jobs back to the system. An encoder's frames and look-ahead take
// hundreds of megabytes; once freed, glibc's allocator keeps most of them resident (blocks it moved onto
// the heap, and free pages it never trims), so a process that has run a few jobs would stay that large.
//
// Measured (engine_bench memory, four 1080p conversions on the calling thread): x264 left 188 MB and
// x265 571 MB more than before the first; trimming the heap alone brought x265 to ~120 MB; with big
// blocks always mapped on their own (a fixed mmap threshold) as well, x264 comes back within ~20 MB and
// x265 within ~35 MB. Bounding the allocator's arenas gained a few megabytes more and is not done, so that
// the application's other threads keep their own arenas.
namespace engine {

class ProcessMemory
{
public:
    // Returns the allocator's free pages to the system, soon, on the engine's release thread: a trim
    // after a job takes from tens to hundreds of milliseconds, which Close must not keep its caller
    // waiting for (nor an exiting process: it is skipped then). Any thread; returns at once.
    static void giveBackSoon();
    // The same, now, on the calling thread.
    static void giveBack();
};

} // namespace engine
