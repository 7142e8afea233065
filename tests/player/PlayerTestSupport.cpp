#include "tests/player/PlayerTestSupport.h"

#include "tests/support/TestEnvironment.h"

#include <cmath>

namespace playertest {

void SilentPlayerTest::SetUp()
{
    player::AudioOutput::setFactory([] { return std::make_unique<player::SilentAudioOutput>(); });
}

void SilentPlayerTest::TearDown()
{
    player::AudioOutput::setFactory(nullptr);
    TestEnvironment::processEvents();
}

std::string clip4s()
{
    fixture::Spec spec;
    spec.duration = 4.0;
    return sharedFixture("clip4s.mp4", spec);
}

void RecordingOutput::write(const float *samples, int frames)
{
    {
        std::lock_guard lock(m_record->mutex);
        m_record->samples.insert(m_record->samples.end(), samples, samples + size_t(frames) * kChannels);
    }
    SilentAudioOutput::write(samples, frames);
}

void RecordingOutput::flush()
{
    {
        std::lock_guard lock(m_record->mutex);
        m_record->samples.clear();
    }
    SilentAudioOutput::flush();
}

namespace {

// The sum of squares and the number of the samples that count for the level (see rms()).
std::pair<double, size_t> soundSamples(RecordingOutput::Record &record)
{
    std::lock_guard lock(record.mutex);
    // Runs of exact silence are what the output plays while the decoder is late (a loaded machine);
    // they say nothing about the level, so only the sound itself counts. A tone never holds 0 that long.
    constexpr size_t kGap = 64;
    const std::vector<float> &samples = record.samples;
    double sum = 0;
    size_t counted = 0;
    for (size_t i = 0; i < samples.size();) {
        size_t run = 0;
        while (i + run < samples.size() && samples[i + run] == 0.0f)
            ++run;
        if (run < kGap) {
            for (size_t k = i; k < i + run; ++k)
                ++counted;
        }
        i += run;
        if (i < samples.size()) {
            sum += double(samples[i]) * samples[i];
            ++counted;
            ++i;
        }
    }
    return {sum, counted};
}

} // namespace

double rms(RecordingOutput::Record &record)
{
    const auto [sum, counted] = soundSamples(record);
    return counted ? std::sqrt(sum / double(counted)) : 0;
}

double heardSeconds(RecordingOutput::Record &record)
{
    return double(soundSamples(record).second) /
           (player::AudioOutput::kChannels * player::AudioOutput::kSampleRate);
}

std::unique_ptr<RDMoviePlayer> openPlayer(const std::string &path)
{
    return RDMoviePlayer::initWithString(path, platform::makeRect(0, 0, 160, 90));
}

fixture::Image snapshot(RDMoviePlayer &player, int width, int height)
{
    std::vector<uint8_t> bgra(size_t(width) * height * 4);
    int w = width;
    int h = height;
    if (!player.Snapshot(&w, &h, bgra.data()))
        return {};
    return fixture::imageFromBgra(bgra, w, h);
}

double seconds(platform::CMTime t)
{
    return platform::CMTimeGetSeconds(t);
}

} // namespace playertest
