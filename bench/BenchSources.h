#pragma once
// The sources the benchmarks share, so that their figures speak of the same clip.
#include "tests/support/MediaFixture.h"

namespace bench {

// Ten seconds of 1080p at 8 Mbit/s with sound: the clip of the conversion and memory benchmarks.
inline fixture::Spec tenSeconds1080p()
{
    fixture::Spec spec;
    spec.width = 1920;
    spec.height = 1080;
    spec.duration = 10.0;
    spec.videoBitrate = 8000000;
    return spec;
}

} // namespace bench
