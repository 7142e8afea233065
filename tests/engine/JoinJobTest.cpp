#include "media/MediaJoin.h"
#include "tests/engine/EngineTestSupport.h"
#include "tests/support/ProbeDecoder.h"
#include "tests/support/ProbeTool.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

using namespace enginetest;
namespace fs = std::filesystem;

namespace {

constexpr double kFrame = 0.04; // one frame at 25 fps
const double kToneRms = 0.3 / std::sqrt(2.0);

fixture::AudioTrack tone(int sampleRate, int channels)
{
    fixture::AudioTrack track;
    track.sampleRate = sampleRate;
    track.channels = channels;
    return track;
}

std::string clipOf(double seconds)
{
    fixture::Spec spec;
    spec.duration = seconds;
    return sharedFixture("join-" + std::to_string(int(seconds * 1000)) + "ms.mp4", spec);
}

std::string solidClip(const std::string &name, fixture::Rgb colour, double seconds)
{
    fixture::Spec spec;
    spec.duration = seconds;
    spec.fpsNum = 24; // 2.5 s is a whole number of frames
    spec.background = colour;
    spec.stamp = false;
    spec.marker = false;
    return sharedFixture(name, spec);
}

// Frames stamped first..last, in order.
std::vector<int> run(int first, int last)
{
    std::vector<int> frames;
    for (int i = first; i <= last; ++i)
        frames.push_back(i);
    return frames;
}

std::vector<int> concat(std::vector<int> a, const std::vector<int> &b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

} // namespace

TEST(JoinJob, TwoClipsJoinEndToEndWithSoundAndPictureInStep)
{
    for (const char *codec : {"", "h264"}) { // stream copy, and a re-encode
        SCOPED_TRACE(codec);
        const std::string out = freshFolder() + "/joined.mp4";
        ASSERT_EQ(join({{clipOf(2.0)}, {clipOf(3.0)}}, out,
                       [&](MEDIA_HANDLE h) { return apiMediaJoinSetVideoCodec(h, codec); }),
                  MEDIA_OK);

        const fixture::ProbeResult probe = fixture::probe(out);
        ASSERT_TRUE(probe.ok) << probe.error;
        ASSERT_EQ(probe.count("video"), 1);
        ASSERT_EQ(probe.count("audio"), 1);
        EXPECT_NEAR(probe.duration, 5.0, kFrame);
        const double video = probe.ofType("video")[0].duration;
        const double audio = probe.ofType("audio")[0].duration;
        EXPECT_NEAR(video, 5.0, kFrame);
        EXPECT_NEAR(audio, video, 0.04);

        // Every picture once, in order, the second clip straight after the first.
        EXPECT_EQ(fixture::decodeAllFrameIndices(out), concat(run(0, 49), run(0, 74)));
        // No hole in the sound at the seam.
        const std::vector<double> windows = fixture::audioRmsWindows(out, 0.1);
        ASSERT_GE(windows.size(), 49u);
        for (size_t i = 0; i < 49; ++i)
            EXPECT_NEAR(windows[i], kToneRms, 0.03) << "window " << i;
    }
}

TEST(JoinJob, ClipsOfOtherSizesRatesAndSoundAreFittedWithoutStretching)
{
    fixture::Spec wide; // 25 fps, 48 kHz stereo
    wide.width = 320;
    wide.height = 180;
    wide.duration = 1.0;
    fixture::Spec portrait; // 29.97 fps, 22.05 kHz mono, standing up
    portrait.width = 90;
    portrait.height = 160;
    portrait.fpsNum = 30000;
    portrait.fpsDen = 1001;
    portrait.duration = 1.0;
    portrait.audio = {tone(22050, 1)};
    fixture::Spec silent; // no sound at all
    silent.duration = 1.0;
    silent.audio.clear();
    const std::string out = freshFolder() + "/fitted.mkv";
    ASSERT_EQ(join({{sharedFixture("join-wide.mp4", wide)},
                    {sharedFixture("join-portrait.mkv", portrait)},
                    {sharedFixture("join-silent.mp4", silent)}},
                   out,
                   [](MEDIA_HANDLE h) {
                       apiMediaJoinSetVideoCodec(h, "h264");
                       apiMediaJoinSetAudioCodec(h, "aac");
                       apiMediaJoinSetVideoFrameSize(h, 320, 180);
                       apiMediaJoinSetVideoFps(h, 25);
                       return apiMediaJoinSetAudioEncodeContext(h, 2, 44100);
                   }),
              MEDIA_OK);

    const fixture::ProbeResult probe = fixture::probe(out);
    ASSERT_TRUE(probe.ok) << probe.error;
    const fixture::ProbeStream video = probe.ofType("video").at(0);
    const fixture::ProbeStream audio = probe.ofType("audio").at(0);
    EXPECT_EQ(video.width, 320);
    EXPECT_EQ(video.height, 180);
    EXPECT_NEAR(video.avgFrameRate, 25.0, 0.01);
    EXPECT_EQ(audio.sampleRate, 44100);
    EXPECT_EQ(audio.channels, 2);
    EXPECT_NEAR(probe.duration, 3.0, kFrame + 0.03);
    EXPECT_EQ(fixture::countVideoFrames(out), 75);

    // The portrait clip: a 101 x 180 picture in the middle, black bars beside it, its marker still a
    // square in its own top-left corner.
    const std::optional<fixture::Image> frame = fixture::decodeFrameAt(out, 1.5);
    ASSERT_TRUE(frame.has_value());
    EXPECT_LT(frame->mean(0, 0, 100, 180).luma(), 20.0);
    EXPECT_LT(frame->mean(221, 0, 99, 180).luma(), 20.0);
    EXPECT_NEAR(frame->mean(120, 120, 80, 50).luma(), 128.0, 12.0); // the grey background
    const int left = (320 - 101) / 2;
    fixture::Image picture(101, 180);
    for (int y = 0; y < 180; ++y)
        for (int x = 0; x < 101; ++x)
            picture.setPixel(x, y, frame->pixel(left + x, y));
    EXPECT_EQ(fixture::findMarkedCorner(picture), fixture::Corner::TopLeft);
    int greenWide = 0, greenHigh = 0;
    for (int x = 0; x < 101; ++x)
        greenWide += picture.pixel(x, 5).g > 180 && picture.pixel(x, 5).r < 100;
    for (int y = 0; y < 180; ++y)
        greenHigh += picture.pixel(5, y).g > 180 && picture.pixel(5, y).r < 100;
    EXPECT_NEAR(greenWide, 0.2 * 101, 3); // the marker's side is a fifth of the shorter side
    EXPECT_NEAR(greenHigh, greenWide, 3);

    // Sound in the first two clips (the mono one spread over both sides at -3 dB), silence in the third.
    EXPECT_NEAR(fixture::audioRms(out, 0.1, 0.9), kToneRms, 0.03);
    EXPECT_NEAR(fixture::audioRms(out, 1.1, 1.9), kToneRms / std::sqrt(2.0), 0.03);
    EXPECT_LT(fixture::audioRms(out, 2.1, 2.9), 0.002);
}

TEST(JoinJob, FadeOverlapsTheClipsAndMovesFromOneToTheOtherStepByStep)
{
    const fixture::Rgb red{220, 20, 20};
    const fixture::Rgb blue{20, 20, 220};
    const std::string out = freshFolder() + "/fade.mp4";
    ASSERT_EQ(join({{solidClip("join-red.mp4", red, 2.5), 0, 0, 1, MEDIA_TRANSITION_FADE, 1000000},
                    {solidClip("join-blue.mp4", blue, 2.5)}},
                   out,
                   // A generous rate, so what is measured is the blend and not the encoder's losses.
                   [](MEDIA_HANDLE h) { return apiMediaJoinSetVideoBitrate(h, 3000); }),
              MEDIA_OK);

    const fixture::ProbeResult probe = fixture::probe(out);
    ASSERT_TRUE(probe.ok) << probe.error;
    EXPECT_NEAR(probe.duration, 4.0, kFrame + 0.03);
    EXPECT_EQ(fixture::countVideoFrames(out), 96);
    const double audio = probe.ofType("audio").at(0).duration;
    EXPECT_NEAR(audio, probe.ofType("video").at(0).duration, 0.04);

    auto colourAt = [&](double t) {
        std::optional<fixture::Image> frame = fixture::decodeFrameAt(out, t);
        EXPECT_TRUE(frame.has_value()) << t;
        return frame ? frame->mean(0, 0, frame->width, frame->height) : fixture::MeanColor{};
    };
    const double frame = 1.0 / 24;
    EXPECT_GT(colourAt(1.5 - frame).r, 190.0); // before the overlap: red
    EXPECT_LT(colourAt(1.5 - frame).b, 50.0);
    EXPECT_GT(colourAt(2.5).b, 190.0); // after it: blue
    EXPECT_LT(colourAt(2.5).r, 50.0);
    double previousRed = 256, previousBlue = -1;
    for (int k = 0; k < 24; ++k) {
        const fixture::MeanColor c = colourAt(1.5 + k * frame);
        EXPECT_LT(c.r, previousRed + 1.0) << "frame " << k;
        EXPECT_GT(c.b, previousBlue - 1.0) << "frame " << k;
        previousRed = c.r;
        previousBlue = c.b;
    }
    const fixture::MeanColor middle = colourAt(2.0);
    EXPECT_NEAR(middle.r, 120.0, 25.0); // half way: an even mix
    EXPECT_NEAR(middle.b, 120.0, 25.0);
    // The sound fades through as well: no gap in the overlap.
    EXPECT_GT(fixture::audioRms(out, 1.5, 2.5), 0.1);
}

TEST(JoinJob, TransitionsLongerThanAClipAreShortenedAndSlidesKeepTheLength)
{
    struct Case
    {
        int code;
        int64_t length;
        double duration;
    };
    // A 10 s request between 1 s and 2 s clips can overlap the 1 s clip at most.
    for (const Case &c :
         {Case{MEDIA_TRANSITION_SLIDE_LEFT, 400000, 2.6}, Case{MEDIA_TRANSITION_SLIDE_DOWN, 400000, 2.6},
          Case{MEDIA_TRANSITION_FADE, 10000000, 2.0}}) {
        SCOPED_TRACE(c.code);
        const std::string out = freshFolder() + "/slide.mkv";
        ASSERT_EQ(join({{clipOf(1.0), 0, 0, 1, c.code, c.length}, {clipOf(2.0)}}, out), MEDIA_OK);
        const fixture::ProbeResult probe = fixture::probe(out);
        ASSERT_TRUE(probe.ok) << probe.error;
        EXPECT_NEAR(probe.duration, c.duration, kFrame + 0.03);
        EXPECT_EQ(fixture::countVideoFrames(out), int(std::lround(c.duration * 25)));
        // The second clip ends the output with its last picture.
        EXPECT_EQ(fixture::decodeAllFrameIndices(out).back(), 49);
    }
}

TEST(JoinJob, SoundOnlyOutputCrossFadesWithoutGaps)
{
    // An audio container: the timeline counts samples, and the fade overlaps 0.5 s of sound.
    const std::string out = freshFolder() + "/sound.m4a";
    ASSERT_EQ(join({{clipOf(1.0), 0, 0, 1, MEDIA_TRANSITION_FADE, 500000}, {clipOf(2.0), 0, 0, 0}}, out),
              MEDIA_OK);
    const fixture::ProbeResult probe = fixture::probe(out);
    ASSERT_TRUE(probe.ok) << probe.error;
    EXPECT_EQ(probe.count("video"), 0);
    ASSERT_EQ(probe.count("audio"), 1);
    EXPECT_NEAR(probe.duration, 2.5, 0.03);
    // Full tone, fading out over the overlap into the silent second clip.
    EXPECT_NEAR(fixture::audioRms(out, 0.05, 0.45), kToneRms, 0.03);
    const double early = fixture::audioRms(out, 0.5, 0.6), late = fixture::audioRms(out, 0.85, 0.95);
    EXPECT_GT(early, late + 0.05);
    EXPECT_GT(late, 0.005);
    EXPECT_LT(fixture::audioRms(out, 1.05, 2.4), 0.001);
}

TEST(JoinJob, CopyOfMatchingPartsKeepsEveryPacket)
{
    const std::string first = clipOf(2.0);
    const std::string second = clipOf(3.0);
    const std::string out = freshFolder() + "/copied.mp4";
    ASSERT_EQ(join({{first}, {second}}, out,
                   [](MEDIA_HANDLE h) {
                       int r = apiMediaJoinSetAudioCodec(h, "copy");
                       return r > 0 ? apiMediaJoinSetVideoCodec(h, "copy") : r;
                   }),
              MEDIA_OK);

    for (const char *type : {"video", "audio"}) {
        SCOPED_TRACE(type);
        std::vector<std::string> expected = fixture::packetHashes(first, type);
        const std::vector<std::string> more = fixture::packetHashes(second, type);
        expected.insert(expected.end(), more.begin(), more.end());
        EXPECT_EQ(fixture::packetHashes(out, type), expected);
    }
    const fixture::ProbeResult source = fixture::probe(first);
    const fixture::ProbeResult probe = fixture::probe(out);
    ASSERT_TRUE(probe.ok) << probe.error;
    const fixture::ProbeStream v = probe.ofType("video").at(0), sv = source.ofType("video").at(0);
    EXPECT_EQ(v.codecName, sv.codecName);
    EXPECT_EQ(v.width, sv.width);
    EXPECT_EQ(v.height, sv.height);
    EXPECT_EQ(probe.ofType("audio").at(0).sampleRate, source.ofType("audio").at(0).sampleRate);
    EXPECT_NEAR(probe.duration, 5.0, kFrame);
}

// Matroska stores no decode times: with B-frames the first ones of every clip are unknown, and a copy
// must still write each seam in order and the pictures decodable.
TEST(JoinJob, CopyOfMatroskaClipsWithBFramesIsContinuousAndDecodesClean)
{
    fixture::Spec spec;
    spec.duration = 3.0;
    spec.bFrames = 3;
    const std::string source = sharedFixture("join-bframes.mkv", spec);
    struct Case
    {
        uint64_t start;
        uint64_t end;
        std::vector<int> frames;
    };
    for (const char *extension : {"mkv", "mp4"}) {
        for (const Case &c : {Case{0, 0, run(0, 74)}, Case{1000000, 0, run(25, 74)}, Case{0, 2000000, run(0, 49)}}) {
            SCOPED_TRACE(std::string(extension) + " " + std::to_string(c.start) + ".." + std::to_string(c.end));
            const std::string out = freshFolder() + "/joined." + extension;
            ASSERT_EQ(join({{source, c.start, c.end}, {source}, {source}}, out), MEDIA_OK);

            const std::vector<int> frames = concat(concat(c.frames, run(0, 74)), run(0, 74));
            EXPECT_EQ(fixture::decodeAllFrameIndices(out), frames);
            EXPECT_EQ(fixture::decodeErrors(out), "");
            const fixture::ProbeResult probe = fixture::probe(out);
            ASSERT_TRUE(probe.ok) << probe.error;
            EXPECT_NEAR(probe.duration, frames.size() * kFrame, kFrame + 0.03);
            EXPECT_NEAR(probe.ofType("audio").at(0).duration, frames.size() * kFrame, kFrame + 0.03);
            // Copied, not encoded again: the source's packets, each clip's in turn.
            std::vector<std::string> packets = fixture::packetHashes(source, "video");
            const std::vector<std::string> written = fixture::packetHashes(out, "video");
            ASSERT_EQ(written.size(), frames.size());
            EXPECT_TRUE(std::equal(packets.begin(), packets.end(), written.end() - 75));
        }
    }
}

TEST(JoinJob, CopyOfMismatchedPartsFallsBackToACorrectReencode)
{
    fixture::Spec other; // another size, codec and sample rate
    other.width = 320;
    other.height = 180;
    other.duration = 1.0;
    other.videoCodec = "mpeg4";
    other.audio = {tone(44100, 2)};
    const std::string out = freshFolder() + "/mixed.mp4";
    ASSERT_EQ(join({{clipOf(2.0)}, {sharedFixture("join-other.mkv", other)}}, out,
                   [](MEDIA_HANDLE h) {
                       apiMediaJoinSetAudioCodec(h, "copy");
                       return apiMediaJoinSetVideoCodec(h, "copy");
                   }),
              MEDIA_OK);
    const fixture::ProbeResult probe = fixture::probe(out);
    ASSERT_TRUE(probe.ok) << probe.error;
    const fixture::ProbeStream video = probe.ofType("video").at(0);
    EXPECT_EQ(video.codecName, "h264"); // the first part's codec and size
    EXPECT_EQ(video.width, 160);
    EXPECT_EQ(video.height, 90);
    EXPECT_EQ(probe.ofType("audio").at(0).sampleRate, 48000);
    EXPECT_NEAR(probe.duration, 3.0, kFrame + 0.03);
    EXPECT_EQ(fixture::decodeAllFrameIndices(out), concat(run(0, 49), run(0, 24)));
    EXPECT_NEAR(fixture::audioRms(out, 2.1, 2.9), kToneRms, 0.03);
}

TEST(JoinJob, ClipVolumeIsAFactorOfItsSound)
{
    const std::string out = freshFolder() + "/quiet.mp4";
    ASSERT_EQ(join({{clipOf(2.0)}, {clipOf(3.0), 0, 0, 0}, {clipOf(2.0), 0, 0, 0.5}}, out), MEDIA_OK);
    EXPECT_NEAR(fixture::audioRms(out, 0.1, 1.9), kToneRms, 0.03);
    EXPECT_LT(fixture::audioRms(out, 2.1, 4.9), 0.001);
    // Half the amplitude: about -6 dB against the unchanged clip.
    const double halfDb = 20 * std::log10(fixture::audioRms(out, 5.1, 6.9) / kToneRms);
    EXPECT_NEAR(halfDb, -6.02, 0.5);
    EXPECT_NEAR(fixture::probe(out).duration, 7.0, kFrame + 0.03);
}

TEST(JoinJob, RangesCutTheClipsAndZeroZeroMeansTheWholeFile)
{
    struct Case
    {
        uint64_t start;
        uint64_t end;
        std::vector<int> frames;
    };
    const std::string source = clipOf(3.0); // key frames every second
    for (const char *codec : {"", "mpeg4"}) {
        for (const Case &c :
             {Case{0, 0, run(0, 74)}, Case{0, 1000000, run(0, 24)}, Case{2000000, 0, run(50, 74)},
              Case{1000000, 99000000, run(25, 74)}, Case{520000, 1000000, run(13, 24)}}) {
            SCOPED_TRACE(std::string(codec) + " " + std::to_string(c.start) + ".." + std::to_string(c.end));
            const std::string out = freshFolder() + "/range.mkv";
            ASSERT_EQ(join({{source, c.start, c.end}, {clipOf(2.0), 0, 0}}, out,
                           [&](MEDIA_HANDLE h) { return apiMediaJoinSetVideoCodec(h, codec); }),
                      MEDIA_OK);
            EXPECT_EQ(fixture::decodeAllFrameIndices(out), concat(c.frames, run(0, 49)));
        }
    }
}

TEST(JoinJob, ProgressRisesToOneHundredOnlyAtTheEnd)
{
    const std::string out = freshFolder() + "/progress.mp4";
    MEDIA_HANDLE h = apiMediaJoinCreate();
    ASSERT_GT(apiMediaJoinSetOutputPath(h, out.c_str()), 0);
    ASSERT_GT(apiMediaJoinAddMediaClip(h, clip720p().c_str(), 0, 0), 0);
    ASSERT_GT(apiMediaJoinAddMediaClip(h, clip720p().c_str(), 0, 0), 0);
    ASSERT_GT(apiMediaJoinSetVideoCodec(h, "mpeg4"), 0);
    EXPECT_EQ(apiMediaJoinGetProgress(h), 0.0);

    std::atomic<bool> running{true};
    std::vector<double> seen;
    std::thread poller([&] {
        while (running) {
            seen.push_back(apiMediaJoinGetProgress(h));
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    });
    const int result = apiMediaJoinStart(h);
    running = false;
    poller.join();
    ASSERT_EQ(result, MEDIA_OK);
    EXPECT_EQ(apiMediaJoinGetProgress(h), 100.0);
    ASSERT_GT(seen.size(), 2u);
    for (size_t i = 1; i < seen.size(); ++i)
        ASSERT_LE(seen[i - 1], seen[i]);
    EXPECT_LT(seen.front(), 100.0);
    // Both halves are counted: the middle of the run is near 50 %.
    EXPECT_TRUE(std::any_of(seen.begin(), seen.end(), [](double p) { return p > 30 && p < 70; }));
    apiMediaJoinClose(h);
}

TEST(JoinJob, StopFromAnotherThreadEndsTheJobAndLeavesNoFile)
{
    fixture::Spec spec;
    spec.width = 1280;
    spec.height = 720;
    spec.duration = 30.0;
    const std::string source = sharedFixture("long720p.mkv", spec);
    const std::string folder = freshFolder();
    const std::string out = folder + "/stopped.mp4";
    MEDIA_HANDLE h = apiMediaJoinCreate();
    ASSERT_GT(apiMediaJoinSetOutputPath(h, out.c_str()), 0);
    ASSERT_GT(apiMediaJoinAddMediaClip(h, source.c_str(), 0, 0), 0);
    ASSERT_GT(apiMediaJoinAddMediaClip(h, source.c_str(), 0, 0), 0);
    ASSERT_GT(apiMediaJoinSetVideoCodec(h, "libx264"), 0);

    const StoppedRun run = stopWhileRunning([&] { return apiMediaJoinStart(h); },
                                            [&] { return apiMediaJoinGetProgress(h); }, 1.0,
                                            [&] { return apiMediaJoinStop(h); });
    ASSERT_TRUE(run.runningAtStop) << "the job ended before it could be stopped";
    EXPECT_EQ(run.stopResult, MEDIA_OK);
    EXPECT_EQ(run.result, MEDIA_ERR_STOPPED);
    EXPECT_LT(run.returnedAfter, std::chrono::seconds(1));
    EXPECT_LT(apiMediaJoinGetProgress(h), 100.0);
    EXPECT_TRUE(filesIn(folder).empty()) << "left behind: " << filesIn(folder).front();
    EXPECT_EQ(apiMediaJoinClose(h), MEDIA_OK);
}

TEST(JoinJob, RefusesWhatCannotWorkAndNeverOverwrites)
{
    const std::string folder = freshFolder();
    const std::string garbage = folder + "/garbage.mp4";
    ASSERT_TRUE(fixture::makeGarbageFile(garbage, 20000));
    const std::string taken = folder + "/taken.mp4";
    std::ofstream(taken) << "the user's own file";

    MEDIA_HANDLE h = apiMediaJoinCreate();
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(apiMediaJoinSetOutputPath(h, taken.c_str()), MEDIA_ERR_OUTPUT);
    EXPECT_EQ(apiMediaJoinAddMediaClip(h, garbage.c_str(), 0, 0), 0);
    EXPECT_EQ(apiMediaJoinAddMediaClip(h, (folder + "/missing.mp4").c_str(), 0, 0), 0);
    EXPECT_EQ(apiMediaJoinAddMediaClip(h, clipOf(2.0).c_str(), 1000000, 1000000), 0); // empty range
    EXPECT_EQ(apiMediaJoinAddMediaClip(h, clipOf(2.0).c_str(), 5000000, 0), 0);       // past the end
    EXPECT_EQ(apiMediaJoinStart(h), MEDIA_ERR_ARGUMENT);                              // no clips yet
    apiMediaJoinClose(h);

    h = apiMediaJoinCreate();
    const int clip = apiMediaJoinAddMediaClip(h, clipOf(2.0).c_str(), 0, 0);
    EXPECT_EQ(clip, 1);
    EXPECT_EQ(apiMediaJoinAddMediaClip(h, clipOf(2.0).c_str(), 0, 0), 2);
    EXPECT_EQ(apiMediaJoinSetTransition(h, clip, 7, 1000000), MEDIA_ERR_ARGUMENT);
    EXPECT_EQ(apiMediaJoinSetTransition(h, 3, MEDIA_TRANSITION_FADE, 1000000), MEDIA_ERR_ARGUMENT);
    for (double volume : {-1.0, 10.5, std::nan("")})
        EXPECT_EQ(apiMediaJoinSetAudioVolumn(h, clip, volume), MEDIA_ERR_ARGUMENT) << volume;
    EXPECT_EQ(apiMediaJoinSetAudioVolumn(h, clip, 2.5), MEDIA_OK);
    EXPECT_EQ(apiMediaJoinSetVideoCodec(h, "no-such-codec"), MEDIA_ERR_ENCODER);
    EXPECT_EQ(apiMediaJoinStart(h), MEDIA_ERR_ARGUMENT); // no output path
    apiMediaJoinClose(h);

    // Unknown and 0 handles are harmless.
    EXPECT_EQ(apiMediaJoinStop(nullptr), MEDIA_ERR_HANDLE);
    EXPECT_EQ(apiMediaJoinGetProgress(nullptr), 0.0);
    EXPECT_EQ(apiMediaJoinAddMediaClip(h, clipOf(2.0).c_str(), 0, 0), 0);
    EXPECT_EQ(apiMediaJoinClose(h), MEDIA_ERR_HANDLE);

    std::string text;
    std::getline(std::ifstream(taken), text);
    EXPECT_EQ(text, "the user's own file");
}
