#include "engine/IdleCores.h"

#include "media/MediaEngine.h"

#include <cstdio>
#include <thread>

namespace engine {

int idleCores()
{
    const int cores = int(std::thread::hardware_concurrency());
    int running = 0;
    if (FILE *file = fopen("/proc/loadavg", "r")) {
        double averages[3];
        if (fscanf(file, "%lf %lf %lf %d/", &averages[0], &averages[1], &averages[2], &running) != 4)
            running = 0;
        fclose(file);
    }
    return running > 0 ? cores - (running - 1) : cores;
}

} // namespace engine

extern "C" int apiMediaIdleCores(void)
{
    return engine::idleCores();
}
