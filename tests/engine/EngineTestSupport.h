#pragma once
// Shared by the engine's tests: fixture files made once per test program, and small helpers.
#include "media/MediaEngine.h"
#include "tests/support/SharedFixtures.h"

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

} // namespace enginetest
