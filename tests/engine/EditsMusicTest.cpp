// Music laid under the video: placement, repetition, fades, volume and mixing with the main audio,
// measured as audio levels of the output.
#include "tests/engine/EditsTestSupport.h"
#include "tests/support/ProbeTool.h"

#include <gtest/gtest.h>

using namespace enginetest;

namespace {

const double kToneRms = 0.3 / std::sqrt(2.0); // both fixtures' tones have amplitude 0.3

std::string music(double seconds)
{
    fixture::Spec spec;
    spec.hasVideo = false;
    spec.duration = seconds;
    spec.audio = {fixture::AudioTrack{}};
    spec.audio[0].toneHz = 1000;
    spec.audio[0].sampleRate = 44100;
    return sharedFixture("music" + std::to_string(int(seconds)) + ".m4a", spec);
}

} // namespace

TEST(EditsMusic, FadesRampTheLevelUpAndDownWithinItsSpan)
{
    // 1..3 s with 1 s fades, over a silenced main audio.
    const std::string out = convertEdited(editClip(), [](MEDIA_HANDLE h) {
        apiMediaConvertSetMaineAudioVolume(h, 0.0);
        EXPECT_EQ(apiMediaConvertAddDubbingMusic(h, music(5).c_str(), 0, 0, 1000000, 3000000, 1000000,
                                                 1000000, 1.0),
                  MEDIA_OK);
    });
    ASSERT_FALSE(out.empty());
    const std::vector<double> rms = fixture::audioRmsWindows(out, 0.25);
    ASSERT_GE(rms.size(), 12u);
    EXPECT_LT(rms[2], 0.01);            // 0.5 .. 0.75 s: before it
    EXPECT_LT(rms[4], 0.3 * kToneRms);  // the first quarter of the fade-in
    EXPECT_LT(rms[11], 0.3 * kToneRms); // the last quarter of the fade-out
    for (int i = 4; i < 7; ++i)
        EXPECT_LT(rms[i], rms[i + 1]) << "rising at window " << i;
    for (int i = 8; i < 11; ++i)
        EXPECT_GT(rms[i], rms[i + 1]) << "falling at window " << i;
    EXPECT_NEAR(std::max(rms[7], rms[8]), kToneRms * 0.9, 0.05);
}

TEST(EditsMusic, MixesWithTheMainAudioOrStandsAloneWhenItIsDisabled)
{
    const std::string mixed = convertEdited(editClip(), [](MEDIA_HANDLE h) {
        apiMediaConvertAddDubbingMusic(h, music(5).c_str(), 0, 0, 1000000, 2000000, 0, 0, 1.0);
    });
    const std::string alone = convertEdited(editClip(), [](MEDIA_HANDLE h) {
        apiMediaConvertAddDubbingMusic(h, music(5).c_str(), 0, 0, 1000000, 2000000, 0, 0, 0.5);
        apiMediaConvertDisableMainAudio(h);
    });
    ASSERT_FALSE(mixed.empty() || alone.empty());

    // Main tone alone, then both tones (uncorrelated: levels add in power), then the main again.
    EXPECT_NEAR(fixture::audioRms(mixed, 0.2, 0.9), kToneRms, 0.02);
    EXPECT_NEAR(fixture::audioRms(mixed, 1.1, 1.9), kToneRms * std::sqrt(2.0), 0.03);
    EXPECT_NEAR(fixture::audioRms(mixed, 2.1, 2.9), kToneRms, 0.02);

    // Only the music, at half its level, and silence around it; the output still lasts as the video.
    EXPECT_LT(fixture::audioRms(alone, 0.2, 0.9), 0.005);
    EXPECT_NEAR(fixture::audioRms(alone, 1.1, 1.9), kToneRms / 2, 0.02);
    EXPECT_LT(fixture::audioRms(alone, 2.1, 2.9), 0.005);
    const fixture::ProbeResult probe = fixture::probe(alone);
    ASSERT_EQ(probe.count("audio"), 1);
    EXPECT_NEAR(probe.duration, 3.0, 0.1);
}

TEST(EditsMusic, RepeatsAShortRangeToFillItsSpan)
{
    // 0.5 .. 1.5 s of a 2 s file fills 0.5 .. 2.5 s of the output: twice, with no gap.
    const std::string out = convertEdited(editClip(), [](MEDIA_HANDLE h) {
        apiMediaConvertDisableMainAudio(h);
        EXPECT_EQ(
            apiMediaConvertAddDubbingMusic(h, music(2).c_str(), 500000, 1500000, 500000, 2500000, 0, 0, 1.0),
            MEDIA_OK);
    });
    ASSERT_FALSE(out.empty());
    const std::vector<double> rms = fixture::audioRmsWindows(out, 0.25);
    ASSERT_GE(rms.size(), 12u);
    EXPECT_LT(rms[1], 0.005);
    for (int i = 2; i < 10; ++i)
        EXPECT_NEAR(rms[i], kToneRms, 0.03) << "window " << i;
    EXPECT_LT(rms[10], 0.005);
}

TEST(EditsMusic, MusicAloneWhenTheVideoHasNoAudio)
{
    fixture::Spec spec;
    spec.duration = 2.0;
    spec.audio.clear();
    const std::string silentVideo = sharedFixture("edit-noaudio.mp4", spec);
    // No picture edit: the video is copied while the music is encoded beside it.
    const std::string out = freshFolder() + "/copied.mp4";
    ASSERT_EQ(convert(silentVideo, out,
                      [](MEDIA_HANDLE h) {
                          return apiMediaConvertAddDubbingMusic(h, music(5).c_str(), 0, 0, 0, 0, 0, 0, 1.0);
                      }),
              MEDIA_OK);
    EXPECT_EQ(fixture::packetHashes(out, "video"), fixture::packetHashes(silentVideo, "video"));
    const fixture::ProbeResult probe = fixture::probe(out);
    ASSERT_EQ(probe.count("audio"), 1);
    EXPECT_NEAR(probe.duration, 2.0, 0.1); // cut where the video ends
    EXPECT_NEAR(fixture::audioRms(out, 0.1, 1.9), kToneRms, 0.02);
    EXPECT_EQ(fixture::countVideoFrames(out), 50);
}

TEST(EditsMusic, RefusesWhatCannotBePlaced)
{
    MEDIA_HANDLE h = apiMediaConvertCreate();
    ASSERT_GT(apiMediaConvertSetInputMedia(h, editClip().c_str()), 0);
    const std::string m = music(5);
    EXPECT_EQ(apiMediaConvertAddDubbingMusic(h, (freshFolder() + "/none.mp3").c_str(), 0, 0, 0, 0, 0, 0, 1),
              MEDIA_ERR_INPUT);
    EXPECT_EQ(apiMediaConvertAddDubbingMusic(h, nullptr, 0, 0, 0, 0, 0, 0, 1), MEDIA_ERR_ARGUMENT);
    EXPECT_EQ(apiMediaConvertAddDubbingMusic(h, m.c_str(), 2000000, 1000000, 0, 0, 0, 0, 1),
              MEDIA_ERR_ARGUMENT);
    EXPECT_EQ(apiMediaConvertAddDubbingMusic(h, m.c_str(), 0, 0, 3000000, 1000000, 0, 0, 1),
              MEDIA_ERR_ARGUMENT);
    EXPECT_EQ(apiMediaConvertAddDubbingMusic(h, m.c_str(), 9000000, 0, 0, 0, 0, 0, 1), MEDIA_ERR_ARGUMENT);
    // A file with pictures only holds no music.
    fixture::Spec spec;
    spec.audio.clear();
    EXPECT_EQ(apiMediaConvertAddDubbingMusic(h, sharedFixture("edit-noaudio.mp4", spec).c_str(), 0, 0, 0, 0,
                                             0, 0, 1),
              MEDIA_ERR_INPUT);
    apiMediaConvertClose(h);
}
