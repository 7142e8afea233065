#pragma once
// Shared by the engine's tests: fixture files made once per test program, and small helpers.
#include "media/MediaEngine.h"
#include "media/MediaJoin.h"
#include "tests/support/SharedFixtures.h"

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

} // namespace enginetest
