#include "tests/engine/EngineTestSupport.h"

namespace enginetest {

std::string clip720p()
{
    fixture::Spec spec;
    spec.width = 1280;
    spec.height = 720;
    spec.duration = 5.0;
    spec.gopSize = 25;
    spec.audio = {fixture::AudioTrack{}};
    return sharedFixture("clip720p.mp4", spec);
}

} // namespace enginetest
