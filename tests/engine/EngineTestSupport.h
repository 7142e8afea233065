#pragma once
// Shared by the engine's tests: fixture files made once per test program, and small helpers.
#include "media/MediaEngine.h"
#include "tests/support/MediaFixture.h"

#include <string>
#include <vector>

namespace enginetest {

// A folder of its own for the running test (empty at first), removed with the program's temp folder.
std::string freshFolder();

// Generates `name` from `spec` once per program and returns its path.
std::string sharedFixture(const std::string &name, const fixture::Spec &spec);

// 5 s, 1280 x 720, 25 fps H.264 with a 48 kHz stereo AAC tone, key frame every second (mp4).
std::string clip720p();

// Converts a BGRA buffer (as MediaSnapshot fills it) to a fixture image.
fixture::Image imageFromBgra(const std::vector<uint8_t> &bgra, int width, int height);

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
