// The live edits: what the preview shows and plays with them, and that it matches the export.
#include "media/MediaEngine.h"
#include "media/RDMoviePlayer.h"
#include "player/AudioOutput.h"
#include "tests/player/PlayerTestSupport.h"
#include "tests/support/ProbeDecoder.h"
#include "tests/support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <QImage>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <mutex>
#include <utility>
#include <vector>

using namespace playertest;
using platform::CMTimeMake;
using platform::CMTimeMakeWithSeconds;

namespace {

class PlayerEditsTest : public SilentPlayerTest
{
};

// Mean absolute difference of two pictures of one size.
double difference(const fixture::Image &a, const fixture::Image &b)
{
    if (a.width != b.width || a.height != b.height || a.width == 0)
        return 1e9;
    double sum = 0;
    for (size_t i = 0; i < a.rgb.size(); ++i)
        sum += std::abs(int(a.rgb[i]) - int(b.rgb[i]));
    return sum / double(a.rgb.size());
}

// 3 s of a 660 Hz tone at amplitude 0.3, sound only.
std::string musicTone()
{
    fixture::Spec spec;
    spec.hasVideo = false;
    spec.duration = 3.0;
    spec.audio = {fixture::AudioTrack{}};
    spec.audio[0].toneHz = 660;
    return sharedFixture("music.m4a", spec);
}

// A 40 x 20 opaque red PNG.
std::string redPicture()
{
    static const std::string path = [] {
        std::string p = freshFolder() + "/red.png";
        QImage image(40, 20, QImage::Format_ARGB32);
        image.fill(QColor(255, 0, 0));
        image.save(QString::fromStdString(p));
        return p;
    }();
    return path;
}

IMAGE_WATERMARK_PARAM redWatermark()
{
    IMAGE_WATERMARK_PARAM wm{};
    std::strncpy(wm.path, redPicture().c_str(), sizeof wm.path - 1);
    wm.rect = RECT{100, 50, 140, 70};
    return wm;
}

// A text renderer that draws a solid blue 20 x 10 block whose bottom edge sits on the baseline.
void drawBlock(int width, int height, uint8_t *buffer, TEXT_WATERMARK_PARAM param)
{
    for (int y = height - param.rect.top - 10; y < height - param.rect.top; ++y)
        for (int x = param.rect.left; x < param.rect.left + 20; ++x) {
            if (x < 0 || y < 0 || x >= width || y >= height)
                continue;
            uint8_t *p = buffer + (size_t(y) * width + x) * 4;
            p[0] = 255, p[1] = 0, p[2] = 0, p[3] = 255;
        }
}

// Picture loaders: one that knows a single opaque red 8 x 4 picture under any name, and one that
// fails; both remember the paths they were asked for.
std::mutex g_loadedMutex;
std::vector<std::string> g_loadedPaths;

int loadRed(const char *path, int *width, int *height, int size, uint8_t *buffer)
{
    {
        std::lock_guard lock(g_loadedMutex);
        g_loadedPaths.push_back(path);
    }
    if (!buffer) {
        if (width)
            *width = 8;
        if (height)
            *height = 4;
        return 1;
    }
    if (size < 8 * 4 * 4)
        return 0;
    for (int i = 0; i < 8 * 4; ++i) {
        uint8_t *p = buffer + i * 4;
        p[0] = 0, p[1] = 0, p[2] = 255, p[3] = 255; // blue, green, red, alpha
    }
    return 1;
}

int loadNothing(const char *path, int *, int *, int, uint8_t *)
{
    std::lock_guard lock(g_loadedMutex);
    g_loadedPaths.push_back(path);
    return 0;
}

std::vector<std::string> takeLoadedPaths()
{
    std::lock_guard lock(g_loadedMutex);
    return std::exchange(g_loadedPaths, {});
}

} // namespace

TEST_F(PlayerEditsTest, RotationAndMirrorTurnThePicture)
{
    struct Case
    {
        const char *name;
        int rotation, hflip, vflip;
        int width, height;
        fixture::Corner marker;
    };
    const Case cases[] = {
        {"none", 0, 0, 0, 160, 90, fixture::Corner::TopLeft},
        {"90", 90, 0, 0, 90, 160, fixture::Corner::TopRight},
        {"180", 180, 0, 0, 160, 90, fixture::Corner::BottomRight},
        {"270", 270, 0, 0, 90, 160, fixture::Corner::BottomLeft},
        {"h flip", 0, 1, 0, 160, 90, fixture::Corner::TopRight},
        {"v flip", 0, 0, 1, 160, 90, fixture::Corner::BottomLeft},
        {"h flip then 90", 90, 1, 0, 90, 160, fixture::Corner::BottomRight},
    };
    auto p = openPlayer(clip4s());
    ASSERT_TRUE(p);
    p->seekTime(CMTimeMake(1, 30));
    for (const Case &c : cases) {
        p->SetRotateAngle(c.rotation);
        p->SetHFlip(c.hflip);
        p->SetVFlip(c.vflip);
        p->Refresh();
        fixture::Image image = snapshot(*p, 1000, 1000);
        EXPECT_EQ(image.width, c.width) << c.name;
        EXPECT_EQ(image.height, c.height) << c.name;
        EXPECT_EQ(fixture::findMarkedCorner(image), c.marker) << c.name;
    }
}

TEST_F(PlayerEditsTest, EditsShowAfterRefreshWhilePausedAndMatchTheExport)
{
    const std::string clip = clip4s();
    auto p = openPlayer(clip);
    ASSERT_TRUE(p);
    p->seekTime(CMTimeMakeWithSeconds(1.0, 600));
    fixture::Image plain = snapshot(*p);
    ASSERT_EQ(plain.width, 160);

    p->SetBCS(60, 0, 0);
    // A picture that is not there is refused and leaves the other edits showing.
    IMAGE_WATERMARK_PARAM gone = redWatermark();
    std::strncpy(gone.path, (freshFolder() + "/gone.png").c_str(), sizeof gone.path - 1);
    VIDEO_WATERMARK_PARAM goneVideo{};
    std::strncpy(goneVideo.path, gone.path, sizeof goneVideo.path - 1);
    EXPECT_FALSE(p->AddImageWatermask(gone));
    EXPECT_FALSE(p->AddVideoWatermask(goneVideo));
    EXPECT_TRUE(p->AddImageWatermask(redWatermark()));
    EXPECT_LT(difference(snapshot(*p), plain), 0.5) << "nothing changes before Refresh";
    p->Refresh();
    fixture::Image edited = snapshot(*p);
    ASSERT_EQ(edited.width, 160);
    // A brighter background (60 of 255 levels, on the video's own range), the red picture in its
    // rectangle, the same frame.
    double brighter = edited.mean(0, 80, 90, 10).luma() - plain.mean(0, 80, 90, 10).luma();
    EXPECT_GT(brighter, 50);
    EXPECT_LT(brighter, 80);
    fixture::MeanColor mark = edited.mean(104, 54, 32, 12);
    EXPECT_GT(mark.r, 230);
    EXPECT_LT(mark.g, 40);
    EXPECT_EQ(fixture::readFrameIndex(edited), 25);

    // The export with the same settings shows the same picture, up to its coding.
    const std::string out = freshFolder() + "/edited.mp4";
    MEDIA_HANDLE h = apiMediaConvertCreate();
    ASSERT_EQ(apiMediaConvertSetInputMedia(h, clip.c_str()), MEDIA_OK);
    apiMediaConvertSetVideoBitrate(h, 4000);
    ASSERT_EQ(apiMediaConvertAdjustBCS(h, 60, 0, 0), MEDIA_OK);
    ASSERT_EQ(apiMediaConvertAddImageWatermask(h, redWatermark()), MEDIA_OK);
    ASSERT_EQ(apiMediaConvertSetOutputPath(h, out.c_str()), MEDIA_OK);
    ASSERT_EQ(apiMediaConvertStart(h), MEDIA_OK);
    apiMediaConvertClose(h);
    std::optional<fixture::Image> exported = fixture::decodeFrameAt(out, 1.0);
    ASSERT_TRUE(exported);
    EXPECT_LT(difference(edited, *exported), 4.0);

    // Cleared edits bring the plain picture back.
    p->SetBCS(0, 0, 0);
    p->ClearWatermask();
    p->Refresh();
    EXPECT_LT(difference(snapshot(*p), plain), 0.5);
}

TEST_F(PlayerEditsTest, PictureWatermarksAreReadThroughTheLoaderWhenOneIsSet)
{
    auto p = openPlayer(clip4s());
    ASSERT_TRUE(p);
    p->seekTime(CMTimeMakeWithSeconds(1.0, 600));
    fixture::Image plain = snapshot(*p);
    ASSERT_EQ(plain.width, 160);
    takeLoadedPaths();

    // A name only the loader knows: what shows in the rectangle can only have come from it.
    IMAGE_WATERMARK_PARAM wm = redWatermark();
    const std::string unknown = freshFolder() + "/only-the-loader-knows.png";
    std::strncpy(wm.path, unknown.c_str(), sizeof wm.path - 1);
    p->SetLoadImageCallback(&loadRed);
    p->AddImageWatermask(wm);
    p->Refresh();
    fixture::Image loaded = snapshot(*p);
    ASSERT_EQ(loaded.width, 160);
    fixture::MeanColor inside = loaded.mean(104, 54, 32, 12);
    EXPECT_GT(inside.r, 230);
    EXPECT_LT(inside.g, 40);
    EXPECT_LT(inside.b, 40);
    // Outside its rectangle the frame is as it was.
    for (const auto &[x, y, w, h] :
         {std::array{0, 0, 96, 90}, std::array{144, 0, 16, 90}, std::array{96, 74, 48, 16}}) {
        fixture::MeanColor before = plain.mean(x, y, w, h), after = loaded.mean(x, y, w, h);
        EXPECT_NEAR(after.r, before.r, 1.0) << x << "," << y;
        EXPECT_NEAR(after.g, before.g, 1.0) << x << "," << y;
    }
    std::vector<std::string> asked = takeLoadedPaths();
    ASSERT_FALSE(asked.empty());
    for (const std::string &path : asked)
        EXPECT_EQ(path, unknown);

    // A loader that fails leaves the file to the player's own decoding.
    p->ClearWatermask();
    p->SetLoadImageCallback(&loadNothing);
    p->AddImageWatermask(redWatermark());
    p->Refresh();
    fixture::MeanColor decoded = snapshot(*p).mean(104, 54, 32, 12);
    EXPECT_GT(decoded.r, 230);
    EXPECT_LT(decoded.g, 40);
    EXPECT_FALSE(takeLoadedPaths().empty());
}

TEST_F(PlayerEditsTest, TextWatermarksAreDrawnByTheRegisteredCallback)
{
    auto p = openPlayer(clip4s());
    ASSERT_TRUE(p);
    p->seekTime(CMTimeMakeWithSeconds(1.0, 600));
    TEXT_WATERMARK_PARAM text{};
    std::strcpy(text.text, "W");
    text.rect = RECT{30, 20, 0, 0}; // baseline 20 pixels above the bottom row
    text.fontsize = 12;
    p->AddTextWatermask(text);
    p->Refresh();
    // Without a renderer the text is left out.
    EXPECT_GT(snapshot(*p).mean(32, 62, 16, 6).luma(), 100);

    p->SetDrawTextCallback(&drawBlock);
    p->Refresh();
    fixture::MeanColor block = snapshot(*p).mean(32, 62, 16, 6);
    EXPECT_GT(block.b, 230);
    EXPECT_LT(block.r, 40);
}

TEST_F(PlayerEditsTest, MusicMixedInChangesTheSoundHandedToTheOutput)
{
    const std::string music = musicTone();

    fixture::Spec silentSpec;
    silentSpec.duration = 4.0;
    silentSpec.audio = {};
    const std::string silentClip = sharedFixture("silent4s.mp4", silentSpec);

    // The clip's own tone and the music each have amplitude 0.3 (RMS 0.212); together 0.3.
    struct Case
    {
        const char *name;
        bool withoutSound; // a clip with no sound of its own
        bool mainOff;
        double timelineStart; // seconds; the preview plays 1.0 .. 1.3 s
        double factor;
        double rms;
    };
    const Case cases[] = {
        {"own sound only", false, false, -1, 1.0, 0.212},
        {"music alone", false, true, 0.0, 1.0, 0.212},
        {"music at half alone", false, true, 0.0, 0.5, 0.106},
        {"music over the own sound", false, false, 0.0, 1.0, 0.3},
        {"music placed later is not heard yet", false, true, 2.0, 1.0, 0.0},
        {"no sound and no music", true, false, -1, 1.0, 0.0},
        {"music in a clip without sound", true, false, 0.0, 1.0, 0.212},
        {"music at half in a clip without sound", true, false, 0.0, 0.5, 0.106},
        {"music placed later in a clip without sound", true, false, 2.0, 1.0, 0.0},
    };
    for (const Case &c : cases) {
        auto record = std::make_shared<RecordingOutput::Record>();
        player::AudioOutput::setFactory([record] { return std::make_unique<RecordingOutput>(record); });
        auto p = openPlayer(c.withoutSound ? silentClip : clip4s());
        ASSERT_TRUE(p);
        p->DisableMainAudio(c.mainOff);
        if (c.timelineStart >= 0)
            p->AddDubbingMusic(music, CMTimeMake(0, 1), CMTimeMake(0, 1),
                               CMTimeMakeWithSeconds(c.timelineStart, 600), CMTimeMake(0, 1),
                               CMTimeMake(0, 1), CMTimeMake(0, 1), c.factor);
        // The seek drops what the output holds (the record with it), so everything recorded from here on
        // was made for the new place with the case's edits, however late the player's thread runs.
        p->seekTime(CMTimeMakeWithSeconds(1.0, 600));
        p->play();
        // A quarter of a second of sound where some is expected, else the play time past 1.3 s; on a
        // loaded machine either may take long, so wait for it, not for the clock.
        EXPECT_TRUE(TestEnvironment::waitUntil([&] {
            return c.rms > 0 ? heardSeconds(*record) >= 0.25 : seconds(p->currentTime()) >= 1.3;
        })) << c.name;
        p->pause();
        p.reset();
        EXPECT_NEAR(rms(*record), c.rms, 0.02) << c.name;
    }
}

TEST_F(PlayerEditsTest, SoundEditWhilePausedIsAllThatPlaysNext)
{
    const std::string music = musicTone();

    auto record = std::make_shared<RecordingOutput::Record>();
    player::AudioOutput::setFactory([record] { return std::make_unique<RecordingOutput>(record); });
    auto p = openPlayer(clip4s());
    ASSERT_TRUE(p);
    p->seekTime(CMTimeMakeWithSeconds(1.0, 600));
    p->play();
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return heardSeconds(*record) >= 0.1; }));
    p->pause();
    ASSERT_GT(rms(*record), 0.15); // the clip's own tone, queued ahead of the clock

    // Paused, the own sound is replaced by music at half: the sound queued with the old edits is
    // dropped and made again from the paused place, so the next play hands over only the new sound,
    // from its first sample on (no gap where the old sound was).
    p->DisableMainAudio(true);
    p->AddDubbingMusic(music, CMTimeMake(0, 1), CMTimeMake(0, 1), CMTimeMake(0, 1), CMTimeMake(0, 1),
                       CMTimeMake(0, 1), CMTimeMake(0, 1), 0.5);
    p->play();
    EXPECT_TRUE(TestEnvironment::waitUntil([&] { return heardSeconds(*record) >= 0.25; }));
    p->pause();
    p.reset();
    EXPECT_NEAR(rms(*record), 0.106, 0.02);
    std::lock_guard lock(record->mutex);
    ASSERT_FALSE(record->samples.empty());
    const auto firstSound =
        std::find_if(record->samples.begin(), record->samples.end(), [](float s) { return s != 0.0f; });
    EXPECT_LT(firstSound - record->samples.begin(), 64) << "silence before the resumed sound";
}

TEST_F(PlayerEditsTest, EffectsSubtitlesAndVideoWatermarksReachThePicture)
{
    const std::string folder = freshFolder();
    const std::string srt = folder + "/lines.srt";
    {
        FILE *f = std::fopen(srt.c_str(), "w");
        ASSERT_TRUE(f);
        // In windows-1251 ("Привет мир"): the preview reads it in its own character set.
        std::fputs("1\n00:00:00,000 --> 00:00:04,000\n\xCF\xF0\xE8\xE2\xE5\xF2 \xEC\xE8\xF0\n", f);
        std::fclose(f);
    }
    auto p = openPlayer(clip4s());
    ASSERT_TRUE(p);
    p->seekTime(CMTimeMakeWithSeconds(1.0, 600));
    const fixture::Image plain = snapshot(*p);
    ASSERT_EQ(plain.width, 160);

    auto regionChange = [&](int x, int y, int w, int h) {
        p->Refresh();
        fixture::Image now = snapshot(*p);
        fixture::MeanColor a = plain.mean(x, y, w, h), b = now.mean(x, y, w, h);
        return std::fabs(a.r - b.r) + std::fabs(a.g - b.g) + std::fabs(a.b - b.b);
    };

    // Grey: the green marker loses its colour.
    p->AddImageEffect(1);
    p->Refresh();
    fixture::MeanColor marker = snapshot(*p).mean(2, 2, 12, 12);
    EXPECT_LT(std::fabs(marker.g - marker.r), 20);
    p->ClearImageEffect();
    EXPECT_LT(regionChange(0, 0, 160, 90), 1.0);

    // A subtitle in the lower band; raised by its position, removed by an empty path.
    SUBTITLE_PARAM sub{};
    std::strncpy(sub.path, srt.c_str(), sizeof sub.path - 1);
    sub.position = -1;
    sub.fontsize = 18;
    sub.fontclr = 0xFFFF0000; // yellow: red and green bytes
    sub.shadowclr = sub.fontclr;
    p->SetSubtitle(sub);
    EXPECT_GT(regionChange(0, 65, 160, 25), 5.0) << "drawn near the bottom";
    p->UpdateSubtitlePos(40);
    EXPECT_LT(regionChange(0, 80, 160, 10), 2.0) << "moved up from the bottom edge";
    EXPECT_GT(regionChange(0, 20, 160, 55), 5.0) << "now higher";
    SUBTITLE_PARAM none{};
    p->SetSubtitle(none);
    EXPECT_LT(regionChange(0, 0, 160, 90), 1.0);

    // The clip itself as a video watermark over the lower-right quarter: its marker shows there.
    VIDEO_WATERMARK_PARAM video{};
    std::strncpy(video.path, clip4s().c_str(), sizeof video.path - 1);
    video.rect = RECT{80, 45, 160, 90};
    p->AddVideoWatermask(video);
    p->Refresh();
    fixture::MeanColor inset = snapshot(*p).mean(81, 46, 6, 6);
    EXPECT_GT(inset.g, 200);
    EXPECT_LT(inset.r, 60);
    p->ClearWatermask();
    EXPECT_LT(regionChange(0, 0, 160, 90), 1.0);
}
