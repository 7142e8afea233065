#include "engine/IdleCores.h"

#include "media/MediaEngine.h"

#include <algorithm>
#include <cstdio>
#include <thread>

namespace engine {

int idleCores(int cores, const char *loadavg)
{
    double averages[3];
    int running = 0;
    if (!loadavg ||
        sscanf(loadavg, "%lf %lf %lf %d/", &averages[0], &averages[1], &averages[2], &running) != 4)
        running = 0;
    return running > 0 ? std::max(0, cores - (running - 1)) : cores;
}

int idleCores()
{
    char text[128] = {};
    if (FILE *file = fopen("/proc/loadavg", "r")) {
        if (!fgets(text, sizeof text, file))
            text[0] = '\0';
        fclose(file);
    }
    return idleCores(int(std::thread::hardware_concurrency()), text);
}

} // namespace engine

extern "C" int apiMediaIdleCores(void)
{
    return engine::idleCores();
}
