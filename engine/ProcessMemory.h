#pragma once
// Gives the memory of finished jobs back to the system. An encoder's frames and look-ahead take
// hundreds of megabytes; once freed, glibc's allocator keeps most of them resident (blocks it moved onto
// the heap, and free pages it never trims), so a process that has run a few jobs would stay that large.
//
// Measured (engine_bench memory): trimming alone leaves x265 conversions on the calling thread ~120 MB
// above where they started; with big blocks always mapped on their own (a fixed mmap threshold), they
// come back within ~35 MB. Bounding the allocator's arenas gained a few megabytes more and is not done,
// so that the application's other threads keep their own arenas.
namespace engine {

class ProcessMemory
{
public:
    // Returns the allocator's free pages to the system. Called once a job's contexts are freed; takes a
    // few milliseconds. Any thread.
    static void giveBack();
};

} // namespace engine
