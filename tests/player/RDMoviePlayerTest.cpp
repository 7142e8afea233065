#include "media/RDMoviePlayer.h"
#include "player/AudioOutput.h"
#include "tests/player/PlayerTestSupport.h"
#include "tests/support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>

#include <cmath>

using namespace playertest;
using platform::CMTimeMake;
using platform::CMTimeMakeWithSeconds;

namespace {

class PlayerTest : public SilentPlayerTest
{
protected:
    // Plays until the player's clock has moved on `ms` (a busy machine may start it late), letting the
    // main thread run.
    static void playFor(RDMoviePlayer &p, int ms)
    {
        const double from = seconds(p.currentTime());
        p.play();
        TestEnvironment::waitUntil([&] { return seconds(p.currentTime()) - from >= ms / 1000.0; }, ms + 5000);
        p.pause();
    }
};

// Records what players made from now on hand to their sound output.
std::shared_ptr<RecordingOutput::Record> recordSound()
{
    auto record = std::make_shared<RecordingOutput::Record>();
    player::AudioOutput::setFactory([record] { return std::make_unique<RecordingOutput>(record); });
    return record;
}

// The 4 s clip, its own timeline starting at 10 s and its pictures stored out of display order.
std::string lateStart4s(const std::string &extension)
{
    fixture::Spec late;
    late.duration = 4.0;
    late.startTime = 10.0;
    late.bFrames = 2;
    return sharedFixture("late-start4s." + extension, late);
}

} // namespace

TEST_F(PlayerTest, OpensWithTheDurationKnownAtOnce)
{
    auto p = openPlayer(clip4s());
    ASSERT_TRUE(p);
    EXPECT_NEAR(seconds(p->duration()), 4.0, 0.05);
    EXPECT_EQ(p->playerStatus(), 0);
    ASSERT_NE(p->view(), nullptr);
    // Counted from the file's first timestamp, also where the header counts its length from 0.
    for (const char *container : {"ts", "mp4", "mkv"}) {
        SCOPED_TRACE(container);
        auto late = openPlayer(lateStart4s(container));
        ASSERT_TRUE(late);
        EXPECT_NEAR(seconds(late->duration()), 4.0, 0.05);
    }
}

TEST_F(PlayerTest, SeekShowsTheFrameOnScreenAtTheAskedTime)
{
    struct Case
    {
        platform::CMTime time;
        int frame;
    };
    const Case cases[] = {
        {CMTimeMake(1, 30), 0},                       // right after opening, as the windows do
        {CMTimeMakeWithSeconds(2.0, 600), 50},        // the position slider
        {CMTimeMake(1999, 1000), 49},                 // a millisecond before frame 50 starts
        {CMTimeMakeWithSeconds(0.079, 600), 1},       // inside frame 1, back across a key frame
        {CMTimeMakeWithSeconds(3.3, 1000000000), 82}, // into the last group of pictures
        {CMTimeMakeWithSeconds(9.0, 600), 99},        // past the end: the last frame
    };
    // The same pictures from files whose own timeline starts at 10 s, stored out of display order: times
    // count from the file's start, and seeks land before their key frame.
    for (const std::string &path : {clip4s(), lateStart4s("ts"), lateStart4s("mkv")}) {
        SCOPED_TRACE(path);
        auto p = openPlayer(path);
        ASSERT_TRUE(p);
        EXPECT_NEAR(seconds(p->duration()), 4.0, 0.05);
        for (const Case &c : cases) {
            p->seekTime(c.time);
            fixture::Image image = snapshot(*p);
            ASSERT_EQ(image.width, 160) << seconds(c.time);
            EXPECT_EQ(fixture::readFrameIndex(image), c.frame) << "seek to " << seconds(c.time);
            EXPECT_NEAR(seconds(p->currentTime()), std::min(seconds(c.time), seconds(p->duration())), 1e-6);
        }
    }
}

TEST_F(PlayerTest, ThePictureReachesTheViewOnTheMainThread)
{
    auto p = openPlayer(clip4s());
    ASSERT_TRUE(p);
    p->seekTime(CMTimeMakeWithSeconds(1.0, 600));
    ASSERT_TRUE(TestEnvironment::waitUntil([&] {
        QImage shown = p->view()->grab().toImage();
        // The stamp's white guard cell sits at the left of the band, a third of the way down.
        return shown.pixelColor(2, 34).lightness() > 200;
    }));
}

TEST_F(PlayerTest, PlayingAdvancesTheClockInRealTimeWithoutASoundDevice)
{
    auto p = openPlayer(clip4s());
    ASSERT_TRUE(p);
    p->seekTime(CMTimeMake(1, 30));
    p->play();
    EXPECT_EQ(p->playerStatus(), 1);
    // Measured from the first moment the clock moves, so a late start on a busy machine is not counted
    // as drift: while the clock plays half a second, half a second of wall time passes. The wall time
    // between the two readings of the clock is bracketed by timer readings around them, so a reader
    // held up by a busy machine widens the bracket instead of failing the test.
    const double start = seconds(p->currentTime());
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return seconds(p->currentTime()) > start; }, 5000));
    QElapsedTimer timer;
    timer.start();
    const double from = seconds(p->currentTime());
    const double fromRead = timer.nsecsElapsed() / 1e9;
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return seconds(p->currentTime()) - from >= 0.5; }, 10000));
    const double beforeRead = timer.nsecsElapsed() / 1e9;
    const double played = seconds(p->currentTime()) - from;
    const double afterRead = timer.nsecsElapsed() / 1e9;
    p->pause();
    EXPECT_EQ(p->playerStatus(), 0);
    EXPECT_GE(played, beforeRead - fromRead - 0.005);
    EXPECT_LE(played, afterRead + 0.005);

    // Paused, the clock stands and the picture shown is the frame of that moment (frame n starts at
    // n / 25 s; a frame starting within half a millisecond after the time counts, as timestamps are
    // rounded).
    const double at = seconds(p->currentTime());
    const int expected = int(std::floor((at + 0.0005) * 25));
    EXPECT_EQ(fixture::readFrameIndex(snapshot(*p)), expected) << "paused at " << at << " s";
    EXPECT_DOUBLE_EQ(seconds(p->currentTime()), at);
}

TEST_F(PlayerTest, EndCallbackFiresOnceAtTheEndAndPlayRestartsFromTheStart)
{
    auto p = openPlayer(clip4s());
    ASSERT_TRUE(p);
    int ended = 0;
    p->setPlayerDidEndBlock([&] { ++ended; });
    p->seekTime(CMTimeMakeWithSeconds(3.5, 600));
    p->play();
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return ended > 0; }, 5000));
    TestEnvironment::waitUntil([] { return false; }, 300);
    EXPECT_EQ(ended, 1);
    EXPECT_EQ(p->playerStatus(), 0);
    EXPECT_NEAR(seconds(p->currentTime()), 4.0, 0.05);
    EXPECT_EQ(fixture::readFrameIndex(snapshot(*p)), 99);

    // Playing again starts over; pausing and stopping fire nothing.
    p->play();
    TestEnvironment::waitUntil([] { return false; }, 200);
    EXPECT_LT(seconds(p->currentTime()), 1.0);
    p->pause();
    p->stop();
    TestEnvironment::waitUntil([] { return false; }, 100);
    EXPECT_EQ(ended, 1);
    EXPECT_EQ(seconds(p->currentTime()), 0.0);
    EXPECT_EQ(fixture::readFrameIndex(snapshot(*p)), 0);
}

TEST_F(PlayerTest, SeekWhilePlayingContinuesFromTheNewPlace)
{
    auto p = openPlayer(clip4s());
    ASSERT_TRUE(p);
    p->play();
    TestEnvironment::waitUntil([] { return false; }, 100);
    QElapsedTimer sinceSeek;
    sinceSeek.start();
    p->seekTime(CMTimeMakeWithSeconds(3.0, 600));
    EXPECT_EQ(p->playerStatus(), 1);
    // It plays on from 3 s: the clock passes 3.1 s, and no faster than real time since the seek.
    EXPECT_TRUE(TestEnvironment::waitUntil([&] { return seconds(p->currentTime()) > 3.1; }, 5000));
    const double at = seconds(p->currentTime());
    const double elapsed = sinceSeek.elapsed() / 1000.0;
    p->pause();
    EXPECT_LT(at, 3.0 + elapsed + 0.1);
}

TEST_F(PlayerTest, SnapshotFitsTheWantedSize)
{
    auto p = openPlayer(clip4s());
    ASSERT_TRUE(p);
    p->seekTime(CMTimeMake(1, 30));
    struct Case
    {
        int wantW, wantH, gotW, gotH;
    };
    for (Case c :
         {Case{160, 90, 160, 90}, Case{1000, 1000, 160, 90}, Case{80, 80, 80, 45}, Case{40, 90, 40, 22}}) {
        std::vector<uint8_t> buffer(size_t(c.wantW) * c.wantH * 4, 0);
        int w = c.wantW, h = c.wantH;
        ASSERT_TRUE(p->Snapshot(&w, &h, buffer.data()));
        EXPECT_EQ(w, c.gotW);
        EXPECT_EQ(h, c.gotH);
        // Opaque, and blue, green, red in memory: the top-left marker is green.
        EXPECT_EQ(buffer[3], 255);
        EXPECT_LT(buffer[0], 60);
        EXPECT_GT(buffer[1], 200);
        EXPECT_LT(buffer[2], 60);
    }
    int w = 0, h = 90;
    uint8_t one[4] = {7, 7, 7, 7};
    EXPECT_FALSE(p->Snapshot(&w, &h, one));
    EXPECT_EQ(w, 0);
    EXPECT_EQ(h, 0);
    EXPECT_EQ(one[0], 7);
}

TEST_F(PlayerTest, BrokenOrMissingFilesAreRefused)
{
    std::string folder = freshFolder();
    std::string garbage = folder + "/garbage.mp4";
    ASSERT_TRUE(fixture::makeGarbageFile(garbage, 50000));
    std::string truncated = folder + "/truncated.mp4";
    ASSERT_TRUE(fixture::truncateCopy(clip4s(), truncated, 0.5));
    for (const std::string &path : {garbage, truncated, folder + "/missing.mp4", std::string()})
        EXPECT_EQ(openPlayer(path), nullptr) << path;
}

TEST_F(PlayerTest, ClosingOrDroppingAPlayingPlayerIsClean)
{
    for (bool closeFirst : {true, false}) {
        auto p = openPlayer(clip4s());
        ASSERT_TRUE(p);
        int ended = 0;
        p->setPlayerDidEndBlock([&] { ++ended; });
        p->play();
        TestEnvironment::waitUntil([] { return false; }, 150);
        if (closeFirst) {
            p->closePlayer();
            EXPECT_EQ(p->playerStatus(), 0);
            // Later calls are harmless.
            p->play();
            p->seekTime(CMTimeMake(1, 1));
            p->Refresh();
            EXPECT_EQ(p->playerStatus(), 0);
            EXPECT_NEAR(seconds(p->duration()), 4.0, 0.05);
        }
        p.reset();
        // Hand-offs still queued for the dropped player do nothing.
        TestEnvironment::waitUntil([] { return false; }, 100);
        EXPECT_EQ(ended, 0);
    }
}

TEST_F(PlayerTest, VolumeAndMainAudioScaleTheSoundHandedToTheOutput)
{
    // The fixture's tone has amplitude 0.3: an RMS of 0.212 at full level.
    struct Case
    {
        const char *name;
        double volume, mainVolume;
        bool disabled;
        double rms;
    };
    const Case cases[] = {
        {"unchanged", 1.0, 1.0, false, 0.212},         {"whole preview at half", 0.5, 1.0, false, 0.106},
        {"own audio at half", 1.0, 0.5, false, 0.106}, {"preview doubled", 2.0, 1.0, false, 0.424},
        {"own audio off", 1.0, 1.0, true, 0.0},
    };
    for (const Case &c : cases) {
        auto record = recordSound();
        auto p = openPlayer(clip4s());
        ASSERT_TRUE(p);
        p->SetVolume(c.volume);
        p->SetMainAudioVolume(c.mainVolume);
        p->DisableMainAudio(c.disabled);
        p->seekTime(CMTimeMakeWithSeconds(1.0, 600));
        playFor(*p, 300);
        p.reset();
        {
            std::lock_guard lock(record->mutex);
            // At least the 0.3 s played went through the output.
            EXPECT_GT(record->samples.size(), size_t(0.3 * 48000 * 2)) << c.name;
        }
        EXPECT_NEAR(rms(*record), c.rms, 0.02) << c.name;
    }
}

TEST_F(PlayerTest, SetAudioIndexPlaysTheChosenStream)
{
    fixture::Spec spec;
    spec.duration = 2.0;
    spec.audio = {fixture::AudioTrack{}, fixture::AudioTrack{}};
    spec.audio[0].amplitude = 0.3;
    spec.audio[1].amplitude = 0.1;
    spec.audio[1].toneHz = 880;
    std::string path = sharedFixture("two-tracks.mkv", spec);

    // Stream 0 is the video; 1 and 2 the tracks. 5 names none and keeps the current one.
    struct Case
    {
        int index;
        double rms;
    };
    for (Case c : {Case{1, 0.212}, Case{2, 0.0707}, Case{5, 0.212}}) {
        auto record = recordSound();
        auto p = openPlayer(path);
        ASSERT_TRUE(p);
        p->SetAudioIndex(c.index);
        p->seekTime(CMTimeMakeWithSeconds(0.5, 600));
        playFor(*p, 300);
        p.reset();
        EXPECT_NEAR(rms(*record), c.rms, 0.015) << "stream " << c.index;
    }
}

TEST_F(PlayerTest, PlaysAFileWithoutVideo)
{
    fixture::Spec spec;
    spec.hasVideo = false;
    spec.duration = 0.6;
    std::string path = sharedFixture("tone.m4a", spec);
    auto record = recordSound();
    auto p = openPlayer(path);
    ASSERT_TRUE(p);
    EXPECT_NEAR(seconds(p->duration()), 0.6, 0.06);
    int ended = 0;
    p->setPlayerDidEndBlock([&] { ++ended; });
    p->play();
    EXPECT_TRUE(TestEnvironment::waitUntil([&] { return ended == 1; }, 3000));
    int w = 16, h = 16;
    uint8_t buffer[16 * 16 * 4];
    EXPECT_FALSE(p->Snapshot(&w, &h, buffer));
    p.reset();
    EXPECT_NEAR(rms(*record), 0.212, 0.03);
}
