#pragma once
// Shared by the engine's tests: fixture files made once per test program, and small helpers.
#include "media/MediaEngine.h"
#include "media/MediaJoin.h"
#include "tests/support/SharedFixtures.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace enginetest {

using fixture::freshFolder;
using fixture::imageFromBgra;
using fixture::sharedFixture;

// 5 s, 1280 x 720, 25 fps H.264 with a 48 kHz stereo AAC tone, key frame every second (mp4).
std::string clip720p();

// Runs a conversion of `input` to `output` after `configure` has set it up; returns Start's result
// (or the first failing setter's).
template <class Configure>
int convert(const std::string &input, const std::string &output, Configure configure)
{
    MEDIA_HANDLE h = apiMediaConvertCreate();
    int r = apiMediaConvertSetInputMedia(h, input.c_str());
    if (r > 0)
        r = configure(h);
    if (r > 0)
        r = apiMediaConvertSetOutputPath(h, output.c_str());
    if (r > 0)
        r = apiMediaConvertStart(h);
    apiMediaConvertClose(h);
    return r;
}

// One clip of a join: a range of a file (microseconds; 0, 0 = the whole file), its volume and the
// transition into the next clip.
struct Clip
{
    std::string path;
    uint64_t start = 0;
    uint64_t end = 0;
    double volume = 1;
    int transition = MEDIA_TRANSITION_NONE;
    int64_t transitionLength = 0;
};

// Joins `clips` into `output` after `configure` has set the job up; returns Start's result (or the
// first failing call's).
int join(
    const std::vector<Clip> &clips, const std::string &output,
    const std::function<int(MEDIA_HANDLE)> &configure = [](MEDIA_HANDLE) { return int(MEDIA_OK); });

// The names of the files in `folder`.
std::vector<std::string> filesIn(const std::string &folder);

// How a job started on a thread of its own ended after a stop from the test's thread.
struct StoppedRun
{
    bool runningAtStop = false; // false: it ended before its progress came (nothing was stopped)
    double progressAtStop = 0;
    int stopResult = MEDIA_OK;
    int result = 0;                                     // what Start returned
    std::chrono::steady_clock::duration returnedAfter{}; // from the stop to Start's return
};

// Runs `start` on a thread, waits (at most 20 s) until `progress` reaches `from`, then calls `stop`;
// the thread is joined before it returns.
StoppedRun stopWhileRunning(const std::function<int()> &start, const std::function<double()> &progress,
                            double from, const std::function<int()> &stop);

} // namespace enginetest
