// The player shows a smart-cut file right: seeks land on the right frames in the encoded head, the
// copied middle and the encoded tail, and playing runs through both seams without a wrong picture.
#include "media/MediaEngine.h"
#include "media/RDMoviePlayer.h"
#include "tests/player/PlayerTestSupport.h"
#include "tests/support/TestEnvironment.h"

#include <gtest/gtest.h>

using namespace playertest;
using platform::CMTimeMakeWithSeconds;

namespace {

constexpr double kFps = 25;
constexpr int kFirst = 38;     // the cut starts at 1.52 s, 0.52 s after a key frame
constexpr int kCopyStart = 75; // key frames every 3 s
constexpr int kCopyEnd = 225;
constexpr int kEnd = 263; // the cut ends at 10.52 s, 1.52 s after a key frame

// The cut of a long-GOP clip made with no codec set (so the engine cuts smartly).
std::string smartCutClip()
{
    fixture::Spec spec;
    spec.duration = 12.0;
    spec.gopSize = 75;
    spec.bFrames = 2;
    const std::string source = sharedFixture("longgop12s.mp4", spec);
    const std::string out = freshFolder() + "/cut.mp4";
    MEDIA_HANDLE h = apiMediaConvertCreate();
    int r = apiMediaConvertSetInputMedia(h, source.c_str());
    if (r > 0)
        r = apiMediaConvertSetCutTime(h, int64_t(kFirst / kFps * 1e6), int64_t(kEnd / kFps * 1e6));
    if (r > 0)
        r = apiMediaConvertSetOutputPath(h, out.c_str());
    if (r > 0)
        r = apiMediaConvertStart(h);
    apiMediaConvertClose(h);
    EXPECT_EQ(r, MEDIA_OK);
    return out;
}

} // namespace

class SmartCutPlaybackTest : public SilentPlayerTest
{
};

TEST_F(SmartCutPlaybackTest, SeeksAndPlaysThroughBothSeams)
{
    auto p = openPlayer(smartCutClip());
    ASSERT_TRUE(p);
    EXPECT_NEAR(seconds(p->duration()), (kEnd - kFirst) / kFps, 0.05);
    // Frames on both sides of each seam (source frame numbers).
    for (int frame :
         {kFirst, kCopyStart - 1, kCopyStart, kCopyStart + 10, kCopyEnd - 1, kCopyEnd, kEnd - 1}) {
        p->seekTime(CMTimeMakeWithSeconds((frame - kFirst) / kFps + 0.001, 600000));
        EXPECT_EQ(fixture::readFrameIndex(snapshot(*p)), frame) << "seek to source frame " << frame;
    }
    for (int seam : {kCopyStart, kCopyEnd}) {
        double seamTime = (seam - kFirst) / kFps;
        p->seekTime(CMTimeMakeWithSeconds(seamTime - 0.2, 600000));
        p->play();
        TestEnvironment::waitUntil([&] { return seconds(p->currentTime()) > seamTime + 0.6; }, 5000);
        p->pause();
        double at = seconds(p->currentTime());
        ASSERT_GT(at, seamTime) << "did not play past the seam at source frame " << seam;
        // A loaded machine may show a frame or a few late, never one from before the seam or a broken one.
        int shown = fixture::readFrameIndex(snapshot(*p));
        EXPECT_GE(shown, seam);
        EXPECT_LE(shown, kFirst + at * kFps + 1.5);
    }
}
