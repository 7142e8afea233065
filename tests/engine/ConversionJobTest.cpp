#include "tests/engine/EngineTestSupport.h"
#include "tests/support/ProbeDecoder.h"
#include "tests/support/ProbeTool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <thread>
#include <unistd.h>

using namespace enginetest;
namespace fs = std::filesystem;

namespace {

constexpr double kFrame = 0.04; // one frame at 25 fps

// A clip long enough that a re-encode is still running when the test stops it.
std::string longClip()
{
    fixture::Spec spec;
    spec.width = 1280;
    spec.height = 720;
    spec.duration = 30.0;
    return sharedFixture("long720p.mkv", spec);
}

} // namespace

TEST(ConversionJob, CutsARangeToTheAskedSizeAndCodecs)
{
    const std::string out = freshFolder() + "/cut.mp4";
    int result = convert(clip720p(), out, [&](MEDIA_HANDLE h) {
        apiMediaConvertSetVcodec(h, "h264");
        apiMediaConvertSetAcodec(h, "aac");
        apiMediaConvertSetVideoFrameSize(h, 640, 360);
        apiMediaConvertSetVideoBitrate(h, 800);
        apiMediaConvertSetAudioBitrate(h, 96);
        return apiMediaConvertSetCutTime(h, 1000000, 3000000);
    });
    ASSERT_EQ(result, MEDIA_OK);

    const fixture::ProbeResult probe = fixture::probe(out);
    ASSERT_TRUE(probe.ok) << probe.error;
    EXPECT_NEAR(probe.duration, 2.0, kFrame + 0.03); // audio frames may overhang the last picture
    ASSERT_EQ(probe.count("video"), 1);
    ASSERT_EQ(probe.count("audio"), 1);
    const fixture::ProbeStream video = probe.ofType("video")[0];
    EXPECT_EQ(video.codecName, "h264");
    EXPECT_EQ(video.width, 640);
    EXPECT_EQ(video.height, 360);
    EXPECT_EQ(probe.ofType("audio")[0].codecName, "aac");
    EXPECT_EQ(probe.ofType("audio")[0].sampleRate, 48000);

    const std::vector<int> frames = fixture::decodeAllFrameIndices(out);
    ASSERT_EQ(frames.size(), 50u);
    EXPECT_EQ(frames.front(), 25);
    EXPECT_EQ(frames.back(), 74);
    EXPECT_NEAR(fixture::audioRms(out, 0.1, 1.9), 0.3 / std::sqrt(2.0), 0.03);
}

TEST(ConversionJob, ProgressRisesToOneHundredOnlyAtTheEnd)
{
    const std::string out = freshFolder() + "/progress.mkv";
    MEDIA_HANDLE h = apiMediaConvertCreate();
    ASSERT_GT(apiMediaConvertSetInputMedia(h, clip720p().c_str()), 0);
    apiMediaConvertSetVcodec(h, "mpeg4");
    ASSERT_GT(apiMediaConvertSetOutputPath(h, out.c_str()), 0);
    EXPECT_EQ(apiMediaConvertGetProgress(h), 0);

    std::atomic<bool> running{true};
    std::vector<int> seen;
    std::thread poller([&] {
        while (running) {
            seen.push_back(apiMediaConvertGetProgress(h));
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    });
    int result = apiMediaConvertStart(h);
    running = false;
    poller.join();
    ASSERT_EQ(result, MEDIA_OK);
    EXPECT_EQ(apiMediaConvertGetProgress(h), 100);
    ASSERT_FALSE(seen.empty());
    for (size_t i = 1; i < seen.size(); ++i)
        ASSERT_LE(seen[i - 1], seen[i]);
    EXPECT_LE(seen.back(), 100);
    EXPECT_LT(seen.front(), 100);
    apiMediaConvertClose(h);
}

// 10 s of 640 x 360 intra-only pictures: a source of a few megabytes whatever they show.
std::string intra360p()
{
    fixture::Spec spec;
    spec.width = 640;
    spec.height = 360;
    spec.duration = 10.0;
    spec.videoCodec = "mjpeg";
    return sharedFixture("intra360p.mkv", spec);
}

TEST(ConversionJob, SizeLimitEndsAPlayableFileAtTheLimit)
{
    const std::string source = intra360p();
    const int64_t limit = 200 * 1000;
    ASSERT_GT(fs::file_size(source), uint64_t(3 * limit)) << "the source must be larger than the limit";

    // No codec set, as the splitter does (a stream copy here), and a re-encode.
    for (const char *codec : {"", "mjpeg"}) {
        SCOPED_TRACE(codec);
        const std::string out = freshFolder() + "/limited.mp4";
        ASSERT_EQ(convert(source, out,
                          [&](MEDIA_HANDLE h) {
                              apiMediaConvertSetVcodec(h, codec);
                              return apiMediaConvertSetLimitFileSize(h, limit);
                          }),
                  MEDIA_OK);
        const fixture::ProbeResult probe = fixture::probe(out);
        ASSERT_TRUE(probe.ok) << probe.error;
        const int64_t size = int64_t(fs::file_size(out));
        const int64_t onePacket = int64_t(fs::file_size(source)) / 250 * 2; // generous: twice the mean picture
        EXPECT_LE(size, limit + onePacket);
        EXPECT_GT(size, limit / 2);
        EXPECT_GT(probe.duration, 0.2);
        EXPECT_LT(probe.duration, 9.0);
        const std::vector<int> frames = fixture::decodeAllFrameIndices(out);
        ASSERT_GT(frames.size(), 5u);
        for (size_t i = 0; i < frames.size(); ++i)
            ASSERT_EQ(frames[i], int(i));
    }
}

TEST(ConversionJob, SizeLimitThatHoldsNothingFailsAndLeavesNoFile)
{
    fixture::Spec sound;
    sound.hasVideo = false;
    sound.duration = 4.0;
    const std::string audioOnly = sharedFixture("tone.m4a", sound);
    const struct
    {
        std::string source;
        const char *extension;
        int64_t limit;
    } cases[] = {
        {audioOnly, "m4a", 1}, {audioOnly, "m4a", 1024}, {audioOnly, "m4a", 4096},
        {intra360p(), "mp4", 1024}, {intra360p(), "mp4", 4096},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.extension) + " " + std::to_string(c.limit));
        const std::string folder = freshFolder();
        EXPECT_EQ(convert(c.source, folder + "/piece." + c.extension,
                          [&](MEDIA_HANDLE h) { return apiMediaConvertSetLimitFileSize(h, c.limit); }),
                  MEDIA_ERR_ARGUMENT);
        EXPECT_TRUE(filesIn(folder).empty()) << "left behind: " << filesIn(folder).front();
    }

    // A limit that holds some sound writes a playable piece that ends where the engine says.
    const std::string out = freshFolder() + "/piece.m4a";
    MEDIA_HANDLE h = apiMediaConvertCreate();
    ASSERT_EQ(apiMediaConvertSetInputMedia(h, audioOnly.c_str()), MEDIA_OK);
    ASSERT_EQ(apiMediaConvertSetLimitFileSize(h, 16 * 1024), MEDIA_OK);
    ASSERT_EQ(apiMediaConvertSetOutputPath(h, out.c_str()), MEDIA_OK);
    ASSERT_EQ(apiMediaConvertStart(h), MEDIA_OK);
    const double end = double(apiMediaConvertGetEndTime(h)) / 1e6;
    apiMediaConvertClose(h);
    const fixture::ProbeResult probe = fixture::probe(out);
    ASSERT_TRUE(probe.ok) << probe.error;
    EXPECT_LE(int64_t(fs::file_size(out)), 16 * 1024);
    EXPECT_GT(probe.duration, 0.2);
    EXPECT_LT(probe.duration, 4.0);
    EXPECT_NEAR(end, probe.duration, 0.1);
    EXPECT_TRUE(fixture::decodeErrors(out).empty()) << fixture::decodeErrors(out);
}

TEST(ConversionJob, CutWithoutCodecStartsOnTheCutFrame)
{
    const std::string out = freshFolder() + "/piece.mp4";
    ASSERT_EQ(convert(clip720p(), out, [](MEDIA_HANDLE h) { return apiMediaConvertSetCutTime(h, 1300000, 2300000); }),
              MEDIA_OK);
    const fixture::ProbeResult probe = fixture::probe(out);
    ASSERT_TRUE(probe.ok) << probe.error;
    EXPECT_EQ(probe.ofType("video").at(0).codecName, "h264");
    EXPECT_EQ(probe.ofType("audio").at(0).codecName, "aac");
    const std::vector<int> frames = fixture::decodeAllFrameIndices(out);
    ASSERT_FALSE(frames.empty());
    // 1.3 s lies between frames 32 (1.28 s) and 33 (1.32 s).
    EXPECT_GE(frames.front(), 32);
    EXPECT_LE(frames.front(), 34);
    EXPECT_NEAR(double(frames.size()), 25.0, 1.0);
    for (size_t i = 1; i < frames.size(); ++i)
        ASSERT_EQ(frames[i], frames[i - 1] + 1);
    EXPECT_NEAR(probe.duration, 1.0, kFrame + 0.03);
    // The copied sound starts with the picture, not after the frames the video decoder held back.
    EXPECT_GT(fixture::audioRms(out, 0.0, 0.1), 0.1);
    EXPECT_NEAR(probe.ofType("audio").at(0).duration, 1.0, 0.05);
}

TEST(ConversionJob, CutFromTheStartWithoutCodecCopiesTheStream)
{
    const std::string source = clip720p();
    const std::vector<std::string> sourcePackets = fixture::packetHashes(source, "video");
    ASSERT_EQ(sourcePackets.size(), 125u);
    struct Case
    {
        int64_t end;
        size_t packets;
    };
    for (const Case &c : {Case{0, 125}, Case{2000000, 50}}) { // the whole file, and up to a key frame
        SCOPED_TRACE(c.end);
        const std::string out = freshFolder() + "/copy.mp4";
        ASSERT_EQ(convert(source, out, [&](MEDIA_HANDLE h) { return apiMediaConvertSetCutTime(h, 0, c.end); }),
                  MEDIA_OK);
        const std::vector<std::string> packets = fixture::packetHashes(out, "video");
        ASSERT_EQ(packets.size(), c.packets);
        EXPECT_TRUE(std::equal(packets.begin(), packets.end(), sourcePackets.begin()));
        EXPECT_EQ(fixture::decodeAllFrameIndices(out).back(), int(c.packets) - 1);
    }
}

TEST(ConversionJob, RotatedSourceComesOutUprightWithoutRotationFlag)
{
    fixture::Spec spec;
    spec.width = 320;
    spec.height = 180;
    spec.duration = 1.0;
    spec.displayRotation = 90;
    const std::string source = sharedFixture("rotated90-small.mp4", spec);
    const std::string out = freshFolder() + "/upright.mp4";
    ASSERT_EQ(convert(source, out, [](MEDIA_HANDLE) { return int(MEDIA_OK); }), MEDIA_OK);

    const fixture::ProbeResult probe = fixture::probe(out);
    ASSERT_TRUE(probe.ok) << probe.error;
    const fixture::ProbeStream video = probe.ofType("video").at(0);
    EXPECT_EQ(video.rotation, 0);
    EXPECT_EQ(video.width, 180);
    EXPECT_EQ(video.height, 320);
    const std::optional<fixture::Image> first = fixture::decodeFrameAt(out, 0.0);
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(fixture::findMarkedCorner(*first), fixture::Corner::TopRight);
}

TEST(ConversionJob, ContainerFollowsTheExtension)
{
    fixture::Spec spec;
    spec.duration = 1.0;
    const std::string source = sharedFixture("small.mp4", spec);
    struct Case
    {
        const char *extension;
        const char *format; // as ffprobe names it
    };
    // The last three have no muxer of their own: one that takes H.264 and AAC stands in.
    for (const Case &c : {Case{"mkv", "matroska,webm"}, Case{"mov", "mov,mp4,m4a,3gp,3g2,mj2"},
                          Case{"ts", "mpegts"}, Case{"divx", "avi"}, Case{"trp", "mpegts"},
                          Case{"dat", "mpegts"}}) {
        SCOPED_TRACE(c.extension);
        const std::string out = freshFolder() + "/out." + c.extension;
        ASSERT_EQ(convert(source, out, [](MEDIA_HANDLE) { return int(MEDIA_OK); }), MEDIA_OK);
        const fixture::ProbeResult probe = fixture::probe(out);
        ASSERT_TRUE(probe.ok) << probe.error;
        EXPECT_EQ(probe.formatName, c.format);
        EXPECT_EQ(probe.count("video"), 1);
        EXPECT_EQ(probe.count("audio"), 1);
        EXPECT_EQ(fixture::countVideoFrames(out), 25);
    }
}

TEST(ConversionJob, StopFromAnotherThreadEndsTheJobAndLeavesNoFile)
{
    const std::string source = longClip();
    const std::string folder = freshFolder();
    const std::string out = folder + "/stopped.mp4";
    MEDIA_HANDLE h = apiMediaConvertCreate();
    ASSERT_GT(apiMediaConvertSetInputMedia(h, source.c_str()), 0);
    apiMediaConvertSetVcodec(h, "libx264");
    apiMediaConvertSetVideoBitrate(h, 4000);
    ASSERT_GT(apiMediaConvertSetOutputPath(h, out.c_str()), 0);

    const StoppedRun run = stopWhileRunning([&] { return apiMediaConvertStart(h); },
                                            [&] { return double(apiMediaConvertGetProgress(h)); }, 2,
                                            [&] { return apiMediaConvertStop(h); });
    ASSERT_TRUE(run.runningAtStop) << "the job ended before it could be stopped";
    EXPECT_EQ(run.stopResult, MEDIA_OK);
    EXPECT_EQ(run.result, MEDIA_ERR_STOPPED);
    EXPECT_LT(run.returnedAfter, std::chrono::seconds(1));
    EXPECT_LT(apiMediaConvertGetProgress(h), 100);
    EXPECT_TRUE(filesIn(folder).empty()) << "left behind: " << filesIn(folder).front();
    EXPECT_EQ(apiMediaConvertClose(h), MEDIA_OK);
}

TEST(ConversionJob, NeverOverwritesAnExistingFile)
{
    const std::string folder = freshFolder();
    const std::string out = folder + "/taken.mp4";
    std::ofstream(out) << "the user's own file";

    MEDIA_HANDLE h = apiMediaConvertCreate();
    ASSERT_GT(apiMediaConvertSetInputMedia(h, clip720p().c_str()), 0);
    EXPECT_EQ(apiMediaConvertSetOutputPath(h, out.c_str()), MEDIA_ERR_OUTPUT);
    EXPECT_EQ(apiMediaConvertSetOutputPath(h, (folder + "/no-such-folder/x.mp4").c_str()), MEDIA_ERR_OUTPUT);
    apiMediaConvertClose(h);

    // A file that appears after the path was accepted is not replaced either.
    const std::string later = folder + "/later.mp4";
    h = apiMediaConvertCreate();
    ASSERT_GT(apiMediaConvertSetInputMedia(h, clip720p().c_str()), 0);
    ASSERT_GT(apiMediaConvertSetOutputPath(h, later.c_str()), 0);
    std::ofstream(later) << "arrived meanwhile";
    EXPECT_EQ(apiMediaConvertStart(h), MEDIA_ERR_OUTPUT);
    apiMediaConvertClose(h);

    std::string text;
    std::getline(std::ifstream(out), text);
    EXPECT_EQ(text, "the user's own file");
    std::getline(std::ifstream(later), text);
    EXPECT_EQ(text, "arrived meanwhile");
    EXPECT_EQ(filesIn(folder).size(), 2u);
}

TEST(ConversionJob, NamesLongerThanTheFileSystemTakesAreRefusedWhenSet)
{
    const std::string folder = freshFolder();
    const long longest = pathconf(folder.c_str(), _PC_NAME_MAX);
    ASSERT_GT(longest, 30);
    auto named = [&](size_t bytes) { return folder + "/" + std::string(bytes - 4, 'n') + ".mp4"; };
    struct Case
    {
        std::string path;
        int result;
    };
    for (const Case &c : {Case{named(300), MEDIA_ERR_OUTPUT}, Case{named(size_t(longest) + 1), MEDIA_ERR_OUTPUT},
                          Case{folder + "/" + std::string(300, 'd') + "/x.mp4", MEDIA_ERR_OUTPUT},
                          Case{named(size_t(longest)), MEDIA_OK}}) {
        SCOPED_TRACE(c.path.size());
        MEDIA_HANDLE h = apiMediaConvertCreate();
        ASSERT_GT(apiMediaConvertSetInputMedia(h, clip720p().c_str()), 0);
        EXPECT_EQ(apiMediaConvertSetOutputPath(h, c.path.c_str()), c.result);
        apiMediaConvertClose(h);
        h = apiMediaJoinCreate();
        EXPECT_EQ(apiMediaJoinSetOutputPath(h, c.path.c_str()), c.result);
        apiMediaJoinClose(h);
    }

    // The longest name the folder takes is written in full, through its shorter temporary name.
    fixture::Spec spec;
    spec.duration = 0.4;
    const std::string longName = named(size_t(longest));
    ASSERT_EQ(convert(sharedFixture("short.mp4", spec), longName, [](MEDIA_HANDLE) { return int(MEDIA_OK); }),
              MEDIA_OK);
    EXPECT_EQ(filesIn(folder), std::vector<std::string>{longName.substr(folder.size() + 1)});
}

TEST(ConversionJob, RefusesSettingsThatCannotWork)
{
    MEDIA_HANDLE h = apiMediaConvertCreate();
    ASSERT_GT(apiMediaConvertSetInputMedia(h, clip720p().c_str()), 0);
    EXPECT_EQ(apiMediaConvertSetVcodec(h, "no-such-codec"), MEDIA_ERR_ENCODER);
    EXPECT_EQ(apiMediaConvertSetCutTime(h, 3000000, 1000000), MEDIA_ERR_ARGUMENT);
    EXPECT_EQ(apiMediaConvertSetCutTime(h, -1, 1000000), MEDIA_ERR_ARGUMENT);
    EXPECT_EQ(apiMediaConvertSetAudioIndex(h, 0), MEDIA_ERR_ARGUMENT); // stream 0 is the video
    EXPECT_EQ(apiMediaConvertSetLimitFileSize(h, -5), MEDIA_ERR_ARGUMENT);
    EXPECT_EQ(apiMediaConvertSetAudioIndex(h, 1), MEDIA_OK);
    // Start without an output path.
    EXPECT_EQ(apiMediaConvertStart(h), MEDIA_ERR_ARGUMENT);
    apiMediaConvertClose(h);
}

TEST(ConversionJob, ReportsWhereItsOutputEnds)
{
    const std::string source = intra360p();
    // Unlimited: the cut end as set; size-limited: where the last picture written ends, on the input's
    // timeline, so that a next piece starting there shows the next picture.
    for (const int64_t limit : {int64_t(0), int64_t(200 * 1000)}) {
        SCOPED_TRACE(limit);
        const std::string out = freshFolder() + "/piece.mkv";
        MEDIA_HANDLE h = apiMediaConvertCreate();
        ASSERT_EQ(apiMediaConvertSetInputMedia(h, source.c_str()), MEDIA_OK);
        EXPECT_EQ(apiMediaConvertGetEndTime(h), 0);
        ASSERT_EQ(apiMediaConvertSetCutTime(h, 2000000, 8000000), MEDIA_OK);
        ASSERT_EQ(apiMediaConvertSetLimitFileSize(h, limit), MEDIA_OK);
        ASSERT_EQ(apiMediaConvertSetOutputPath(h, out.c_str()), MEDIA_OK);
        ASSERT_EQ(apiMediaConvertStart(h), MEDIA_OK);
        const int64_t end = apiMediaConvertGetEndTime(h);
        apiMediaConvertClose(h);
        const std::vector<int> frames = fixture::decodeAllFrameIndices(out);
        ASSERT_FALSE(frames.empty());
        EXPECT_EQ(frames.front(), 50);
        if (limit == 0) {
            EXPECT_EQ(end, 8000000);
        } else {
            EXPECT_LT(end, 8000000);
            EXPECT_EQ(end, (frames.back() + 1) * 40000) << "the end of the last picture written";
        }
    }
    EXPECT_EQ(apiMediaConvertGetEndTime(nullptr), 0);
}
