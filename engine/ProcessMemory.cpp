#include "engine/ProcessMemory.h"

#include "engine/DeferredRelease.h"

#include <malloc.h>

namespace engine {

namespace {

// glibc raises its mmap threshold to the size of every mapped block freed, after which a job's big
// buffers come from the heap and stay there; a fixed threshold keeps them mapped, and each goes back to
// the system when freed. Set when the library loads, before any job allocates.
const bool mmapThresholdFixed = mallopt(M_MMAP_THRESHOLD, 128 * 1024) == 1;

} // namespace

void ProcessMemory::giveBackSoon()
{
    DeferredRelease::postWhenIdle(giveBack);
}

void ProcessMemory::giveBack()
{
    malloc_trim(0);
}

} // namespace engine
