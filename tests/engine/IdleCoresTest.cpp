// The count of idle cores by which a second job is allowed beside a first: a count, never below 0.
#include "engine/IdleCores.h"
#include "media/MediaEngine.h"

#include <gtest/gtest.h>

#include <thread>

TEST(IdleCores, CountsTheCoresLeftByTheRunnableThreadsAndNeverGoesBelowZero)
{
    const struct
    {
        const char *loadavg;
        int cores;
        int idle;
    } cases[] = {
        {"0.10 0.20 0.30 1/512 4242\n", 8, 8}, // only the caller runs
        {"2.00 1.00 0.50 4/512 4242\n", 8, 5},
        {"8.00 8.00 8.00 9/512 4242\n", 8, 0},
        // A machine at load 21 with 8 cores ran 22 threads: no core is idle, none is owed.
        {"21.00 18.00 14.00 22/1200 4242\n", 8, 0},
        {"99.00 99.00 99.00 400/2000 4242\n", 8, 0},
        {"", 8, 8},
        {"garbage", 4, 4},
        {nullptr, 4, 4},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.loadavg ? c.loadavg : "(none)");
        EXPECT_EQ(engine::idleCores(c.cores, c.loadavg), c.idle);
    }
    const int now = apiMediaIdleCores();
    EXPECT_GE(now, 0);
    EXPECT_LE(now, int(std::thread::hardware_concurrency()));
}
