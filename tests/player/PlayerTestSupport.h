#pragma once
// Shared by the player's tests: fixture files made once per program, a recording sound output, and
// snapshots as fixture images.
#include "media/RDMoviePlayer.h"
#include "player/SilentAudioOutput.h"
#include "tests/support/SharedFixtures.h"

#include <gtest/gtest.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace playertest {

using fixture::freshFolder;
using fixture::sharedFixture;

// Every player made in a test of this fixture plays to a silent wall clock, as on a machine without a
// sound device.
class SilentPlayerTest : public testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;
};

// 4 s, 160 x 90, 25 fps H.264 (key frame every second) with a 440 Hz stereo tone of amplitude 0.3.
std::string clip4s();

// A silent output (wall clock) that keeps a copy of the samples handed to it since the last flush
// (what a seek drops never plays, so it is dropped from the record too).
class RecordingOutput : public player::SilentAudioOutput
{
public:
    struct Record
    {
        std::mutex mutex;
        std::vector<float> samples;
    };
    explicit RecordingOutput(std::shared_ptr<Record> record) : m_record(std::move(record)) {}
    void write(const float *samples, int frames) override;
    void flush() override;

private:
    std::shared_ptr<Record> m_record;
};

// Root mean square of the recorded sound, leaving out runs of exact silence the output played while
// the decoder was late (0 when nothing else was recorded).
double rms(RecordingOutput::Record &record);
// Seconds of recorded sound that count for rms().
double heardSeconds(RecordingOutput::Record &record);

// Opens `path` in a 160 x 90 host rectangle.
std::unique_ptr<RDMoviePlayer> openPlayer(const std::string &path);

// The player's snapshot at up to `width` x `height`, as an RGB image of the delivered size (empty
// when Snapshot fails).
fixture::Image snapshot(RDMoviePlayer &player, int width = 160, int height = 90);

double seconds(platform::CMTime t);

} // namespace playertest
