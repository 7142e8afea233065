#include "tests/player/PlayerTestSupport.h"

#include "tests/support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <map>

namespace playertest {

namespace {

std::string root()
{
    static const std::string path = [] {
        std::string p = TestEnvironment::tempDir().toStdString() + "/player";
        std::filesystem::create_directories(p);
        return p;
    }();
    return path;
}

} // namespace

std::string freshFolder()
{
    static int counter = 0;
    std::string path = root() + "/test-" + std::to_string(counter++);
    std::filesystem::create_directories(path);
    return path;
}

std::string sharedFixture(const std::string &name, const fixture::Spec &spec)
{
    static std::map<std::string, std::string> made;
    if (auto it = made.find(name); it != made.end())
        return it->second;
    std::string path = root() + "/fixture-" + name;
    std::string error;
    if (!fixture::generate(path, spec, &error))
        ADD_FAILURE() << "cannot generate " << name << ": " << error;
    made[name] = path;
    return path;
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

double rms(RecordingOutput::Record &record)
{
    std::lock_guard lock(record.mutex);
    if (record.samples.empty())
        return 0;
    double sum = 0;
    for (float s : record.samples)
        sum += double(s) * s;
    return std::sqrt(sum / double(record.samples.size()));
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
    fixture::Image image(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint8_t *p = &bgra[(size_t(y) * w + x) * 4];
            image.setPixel(x, y, fixture::Rgb{p[2], p[1], p[0]});
        }
    return image;
}

double seconds(platform::CMTime t)
{
    return platform::CMTimeGetSeconds(t);
}

} // namespace playertest
