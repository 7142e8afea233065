#include "tests/engine/EngineTestSupport.h"
#include "tests/support/ProbeTool.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>

using namespace enginetest;

namespace {

// A probe handle that closes itself.
struct Probe
{
    explicit Probe(const std::string &path) : handle(MediaOpen(path.c_str())) {}
    ~Probe() { MediaClose(handle); }
    MEDIA_HANDLE handle;
};

std::string rotatedClip()
{
    fixture::Spec spec;
    spec.width = 1280;
    spec.height = 720;
    spec.duration = 1.0;
    spec.displayRotation = 90;
    return sharedFixture("rotated90.mp4", spec);
}

} // namespace

TEST(MediaProbe, DescribesA720pClipAsFfprobeDoes)
{
    const std::string path = clip720p();
    const fixture::ProbeResult oracle = fixture::probe(path);
    ASSERT_TRUE(oracle.ok) << oracle.error;
    Probe probe(path);
    ASSERT_NE(probe.handle, nullptr);

    AUDIO_STREAM_INFO audio = {};
    VIDEO_STREAM_INFO video = {};
    ASSERT_GT(MediaGetInfo(probe.handle, &audio, &video), 0);
    EXPECT_NEAR(MediaGetDuration(probe.handle) / 1e6, 5.0, 0.05);

    EXPECT_TRUE(video.exist);
    EXPECT_STREQ(video.codec, "h264");
    EXPECT_EQ(video.width, 1280);
    EXPECT_EQ(video.height, 720);
    EXPECT_DOUBLE_EQ(video.fps, 25.0);
    EXPECT_EQ(video.rotate, 0);
    EXPECT_STREQ(video.aspect, "16:9");
    EXPECT_TRUE(audio.exist);
    EXPECT_STREQ(audio.codec, "aac");
    EXPECT_EQ(audio.samplerate, 48000);
    EXPECT_EQ(audio.channels, 2);

    const fixture::ProbeStream v = oracle.ofType("video").at(0);
    const fixture::ProbeStream a = oracle.ofType("audio").at(0);
    EXPECT_EQ(video.index, v.index);
    EXPECT_EQ(audio.index, a.index);
    ASSERT_GT(v.bitRate, 0);
    ASSERT_GT(a.bitRate, 0);
    EXPECT_NEAR(video.bitrate, double(v.bitRate), 0.1 * double(v.bitRate));
    EXPECT_NEAR(audio.bitrate, double(a.bitRate), 0.1 * double(a.bitRate));

    // The conversion job's own stream listing: the count first, then the records.
    MEDIA_HANDLE job = apiMediaConvertCreate();
    ASSERT_GT(apiMediaConvertSetInputMedia(job, path.c_str()), 0);
    EXPECT_NEAR(apiMediaConvertGetDuration(job) / 1e6, 5.0, 0.05);
    int audioCount = -1, videoCount = -1;
    ASSERT_GT(apiMediaConvertGetAudioStreamInfo(job, &audioCount, nullptr), 0);
    ASSERT_GT(apiMediaConvertGetVideoStreamInfo(job, &videoCount, nullptr), 0);
    EXPECT_EQ(audioCount, 1);
    EXPECT_EQ(videoCount, 1);
    AUDIO_STREAM_INFO listed = {};
    VIDEO_STREAM_INFO listedVideo = {};
    ASSERT_GT(apiMediaConvertGetAudioStreamInfo(job, &audioCount, &listed), 0);
    ASSERT_GT(apiMediaConvertGetVideoStreamInfo(job, &videoCount, &listedVideo), 0);
    EXPECT_EQ(listed.index, audio.index);
    EXPECT_EQ(listed.samplerate, 48000);
    EXPECT_EQ(listedVideo.width, 1280);
    apiMediaConvertClose(job);
}

TEST(MediaProbe, AudioOnlyFileHasNoVideoStream)
{
    fixture::Spec spec;
    spec.hasVideo = false;
    spec.duration = 1.0;
    const std::string path = sharedFixture("tone.m4a", spec);
    Probe probe(path);
    ASSERT_NE(probe.handle, nullptr);
    AUDIO_STREAM_INFO audio = {};
    VIDEO_STREAM_INFO video = {};
    ASSERT_GT(MediaGetInfo(probe.handle, &audio, &video), 0);
    EXPECT_TRUE(audio.exist);
    EXPECT_FALSE(video.exist);
    EXPECT_EQ(video.width, 0);

    MEDIA_HANDLE job = apiMediaConvertCreate();
    ASSERT_GT(apiMediaConvertSetInputMedia(job, path.c_str()), 0);
    int count = -1;
    EXPECT_GT(apiMediaConvertGetVideoStreamInfo(job, &count, nullptr), 0);
    EXPECT_EQ(count, 0);
    apiMediaConvertClose(job);

    std::vector<uint8_t> pixels(64 * 36 * 4);
    EXPECT_LT(MediaSnapshot(probe.handle, 0, 64, 36, pixels.data(), 0), 0);
}

TEST(MediaProbe, StoredRotationIsReportedUpright)
{
    Probe probe(rotatedClip());
    ASSERT_NE(probe.handle, nullptr);
    VIDEO_STREAM_INFO video = {};
    ASSERT_GT(MediaGetInfo(probe.handle, nullptr, &video), 0);
    EXPECT_EQ(video.width, 720);
    EXPECT_EQ(video.height, 1280);
    EXPECT_EQ(video.rotate, 0);
    EXPECT_STREQ(video.aspect, "9:16");

    // The snapshot is upright too: turning the stored picture clockwise takes its top-left marker to the
    // top-right corner.
    const int width = 101, height = 180;
    std::vector<uint8_t> pixels(width * height * 4);
    ASSERT_GT(MediaSnapshot(probe.handle, 0, width, height, pixels.data(), 0), 0);
    EXPECT_EQ(fixture::findMarkedCorner(imageFromBgra(pixels, width, height)), fixture::Corner::TopRight);
}

TEST(MediaSnapshot, FillsTheBoxWithTheFirstFrameUprightAndOpaque)
{
    Probe probe(clip720p());
    ASSERT_NE(probe.handle, nullptr);
    std::vector<uint8_t> pixels(320 * 180 * 4, 0x55);
    ASSERT_GT(MediaSnapshot(probe.handle, 0, 320, 180, pixels.data(), 0), 0);
    const fixture::Image image = imageFromBgra(pixels, 320, 180);
    EXPECT_EQ(fixture::findMarkedCorner(image), fixture::Corner::TopLeft);
    EXPECT_EQ(fixture::readFrameIndex(image), 0);
    for (size_t i = 3; i < pixels.size(); i += 4)
        ASSERT_EQ(pixels[i], 255) << "pixel " << i / 4;

    // A later time shows the frame shown then.
    ASSERT_GT(MediaSnapshot(probe.handle, 2000000, 320, 180, pixels.data(), 0), 0);
    EXPECT_EQ(fixture::readFrameIndex(imageFromBgra(pixels, 320, 180)), 50);
}

TEST(MediaSnapshot, LetterboxesAPictureOfAnotherShape)
{
    // 16:9 into 285 x 180: a 285 x 160 picture between black bars of 10 rows.
    Probe probe(clip720p());
    ASSERT_NE(probe.handle, nullptr);
    const int width = 285, height = 180;
    std::vector<uint8_t> pixels(width * height * 4);
    ASSERT_GT(MediaSnapshot(probe.handle, 0, width, height, pixels.data(), 0), 0);
    const fixture::Image image = imageFromBgra(pixels, width, height);
    EXPECT_LT(image.mean(0, 0, width, 9).luma(), 2.0);
    EXPECT_LT(image.mean(0, height - 9, width, 9).luma(), 2.0);
    EXPECT_NEAR(image.mean(0, 120, width, 40).luma(), 128.0, 6.0); // the plain grey lower half
    // The marker sits at the picture's own top-left corner, just below the upper bar.
    EXPECT_GT(image.pixel(5, 15).g, 200);
    EXPECT_LT(image.pixel(5, 15).r, 60);
}

TEST(MediaOpen, RefusesWhatIsNotMedia)
{
    const std::string folder = freshFolder();
    const std::string garbage = folder + "/noise.mp4";
    const std::string truncated = folder + "/cut-off.mp4";
    const std::string text = folder + "/notes.mkv";
    ASSERT_TRUE(fixture::makeGarbageFile(garbage, 200000));
    ASSERT_TRUE(fixture::truncateCopy(clip720p(), truncated, 0.4));
    std::ofstream(text) << "not a video at all\n";

    for (const std::string &path : {garbage, truncated, text, folder + "/missing.mp4", std::string()}) {
        SCOPED_TRACE(path);
        EXPECT_EQ(MediaOpen(path.c_str()), nullptr);
        MEDIA_HANDLE job = apiMediaConvertCreate();
        EXPECT_EQ(apiMediaConvertSetInputMedia(job, path.c_str()), path.empty() ? MEDIA_ERR_ARGUMENT : MEDIA_ERR_INPUT);
        EXPECT_LT(apiMediaConvertStart(job), 0);
        apiMediaConvertClose(job);
    }
    EXPECT_EQ(MediaOpen(nullptr), nullptr);
}

TEST(EngineHandles, UnknownHandlesAreHarmless)
{
    MEDIA_HANDLE probe = MediaOpen(clip720p().c_str());
    ASSERT_NE(probe, nullptr);
    MEDIA_HANDLE closed = apiMediaConvertCreate();
    ASSERT_NE(closed, nullptr);
    ASSERT_EQ(apiMediaConvertClose(closed), MEDIA_OK);

    // 0, a made-up value, a closed job, and a probe handle used as a job.
    for (MEDIA_HANDLE h : {MEDIA_HANDLE(nullptr), reinterpret_cast<MEDIA_HANDLE>(0x7777), closed, probe}) {
        int count = 5;
        EXPECT_EQ(apiMediaConvertSetInputMedia(h, clip720p().c_str()), MEDIA_ERR_HANDLE);
        EXPECT_EQ(apiMediaConvertSetVcodec(h, "h264"), MEDIA_ERR_HANDLE);
        EXPECT_EQ(apiMediaConvertSetCutTime(h, 0, 1000000), MEDIA_ERR_HANDLE);
        EXPECT_EQ(apiMediaConvertSetOutputPath(h, "/tmp/x.mp4"), MEDIA_ERR_HANDLE);
        EXPECT_EQ(apiMediaConvertGetAudioStreamInfo(h, &count, nullptr), MEDIA_ERR_HANDLE);
        EXPECT_EQ(count, 5);
        EXPECT_EQ(apiMediaConvertGetDuration(h), 0);
        EXPECT_EQ(apiMediaConvertStart(h), MEDIA_ERR_HANDLE);
        EXPECT_EQ(apiMediaConvertGetProgress(h), 0);
        EXPECT_EQ(apiMediaConvertStop(h), MEDIA_ERR_HANDLE);
        EXPECT_EQ(apiMediaConvertClose(h), MEDIA_ERR_HANDLE);
    }
    // And the other way round: a job handle is no probe handle.
    MEDIA_HANDLE job = apiMediaConvertCreate();
    VIDEO_STREAM_INFO video = {};
    EXPECT_EQ(MediaGetInfo(job, nullptr, &video), MEDIA_ERR_HANDLE);
    EXPECT_EQ(MediaGetDuration(job), 0);
    EXPECT_EQ(MediaClose(job), MEDIA_ERR_HANDLE);
    EXPECT_EQ(MediaClose(nullptr), MEDIA_ERR_HANDLE);
    EXPECT_EQ(apiMediaConvertClose(job), MEDIA_OK);

    // The probe handle survived all of it.
    EXPECT_GT(MediaGetInfo(probe, nullptr, &video), 0);
    EXPECT_EQ(video.width, 1280);
    EXPECT_EQ(MediaClose(probe), MEDIA_OK);
    EXPECT_EQ(MediaClose(probe), MEDIA_ERR_HANDLE);
}

TEST(MediaProbe, ListsEveryAudioStreamAsTheConversionDoes)
{
    fixture::Spec spec;
    spec.duration = 1.0;
    fixture::AudioTrack english, french;
    english.title = "English";
    french.title = "Français";
    french.toneHz = 660;
    spec.audio = {english, french};
    const std::string path = sharedFixture("two-tracks.mkv", spec);

    Probe probe(path);
    ASSERT_NE(probe.handle, nullptr);
    int count = -1;
    ASSERT_EQ(MediaGetAudioStreamInfo(probe.handle, &count, nullptr), MEDIA_OK);
    ASSERT_EQ(count, 2);
    std::vector<AUDIO_STREAM_INFO> fromProbe(3, AUDIO_STREAM_INFO{});
    count = 3;
    ASSERT_EQ(MediaGetAudioStreamInfo(probe.handle, &count, fromProbe.data()), MEDIA_OK);
    ASSERT_EQ(count, 2);
    EXPECT_STREQ(fromProbe[1].title, "Français");
    EXPECT_FALSE(fromProbe[2].exist);
    EXPECT_LT(MediaGetAudioStreamInfo(probe.handle, nullptr, nullptr), 0);

    MEDIA_HANDLE job = apiMediaConvertCreate();
    ASSERT_GT(apiMediaConvertSetInputMedia(job, path.c_str()), 0);
    std::vector<AUDIO_STREAM_INFO> fromJob(2, AUDIO_STREAM_INFO{});
    count = 2;
    ASSERT_EQ(apiMediaConvertGetAudioStreamInfo(job, &count, fromJob.data()), MEDIA_OK);
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(std::memcmp(&fromProbe[i], &fromJob[i], sizeof(AUDIO_STREAM_INFO)), 0) << i;
    apiMediaConvertClose(job);
    EXPECT_EQ(MediaGetAudioStreamInfo(job, &count, nullptr), MEDIA_ERR_HANDLE);
}
