#include "tests/support/MediaFixture.h"
#include "tests/support/ProbeDecoder.h"
#include "tests/support/ProbeTool.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>

using namespace fixture;

namespace {

class MediaFixture : public testing::Test
{
protected:
    std::string path(const std::string &name) const { return m_dir.filePath(QString::fromStdString(name)).toStdString(); }

    std::string make(const std::string &name, const Spec &spec)
    {
        const std::string file = path(name);
        std::string error;
        EXPECT_TRUE(generate(file, spec, &error)) << error;
        return file;
    }

    QTemporaryDir m_dir;
};

// Halves a picture with a 2 x 2 box filter, as a player's scaler would.
Image halved(const Image &src)
{
    Image out(src.width / 2, src.height / 2);
    for (int y = 0; y < out.height; ++y) {
        for (int x = 0; x < out.width; ++x) {
            const MeanColor m = src.mean(2 * x, 2 * y, 2, 2);
            out.setPixel(x, y, {uint8_t(std::lround(m.r)), uint8_t(std::lround(m.g)), uint8_t(std::lround(m.b))});
        }
    }
    return out;
}

Image turnedClockwise(const Image &src)
{
    Image out(src.height, src.width);
    for (int y = 0; y < src.height; ++y)
        for (int x = 0; x < src.width; ++x)
            out.setPixel(src.height - 1 - y, x, src.pixel(x, y));
    return out;
}

Image mirrored(const Image &src)
{
    Image out(src.width, src.height);
    for (int y = 0; y < src.height; ++y)
        for (int x = 0; x < src.width; ++x)
            out.setPixel(src.width - 1 - x, y, src.pixel(x, y));
    return out;
}

} // namespace

TEST_F(MediaFixture, FfprobeSeesTheRequestedContainerStreamsAndTiming)
{
    struct Case
    {
        std::string file;
        std::function<void(Spec &)> shape;
        std::string format;     // a name within ffprobe's format_name
        std::string videoCodec; // empty: no video stream
        std::string audioCodec; // empty: no audio stream
    };
    const Case cases[] = {
        {"h264.mp4", [](Spec &) {}, "mp4", "h264", "aac"},
        {"ntsc.mkv", [](Spec &s) { s.fpsNum = 30000, s.fpsDen = 1001; }, "matroska", "h264", "aac"},
        {"portrait.mov", [](Spec &s) { s.width = 90, s.height = 160; }, "mov", "h264", "aac"},
        {"mpeg4.avi", [](Spec &s) { s.videoCodec = "mpeg4", s.audio.clear(); }, "avi", "mpeg4", ""},
        {"vp9.webm", [](Spec &s) { s.videoCodec = "libvpx-vp9", s.audio[0].codec = "libopus"; }, "webm", "vp9", "opus"},
        {"hevc.mkv", [](Spec &s) { s.videoCodec = "libx265", s.duration = 1.0; }, "matroska", "hevc", "aac"},
        {"mjpeg.avi", [](Spec &s) { s.videoCodec = "mjpeg", s.audio[0].codec = "pcm_s16le"; }, "avi", "mjpeg", "pcm_s16le"},
        {"tone.m4a", [](Spec &s) { s.hasVideo = false, s.audio[0].sampleRate = 44100; }, "m4a", "", "aac"},
        {"tone.mp3", [](Spec &s) { s.hasVideo = false, s.audio[0].codec = "mp3"; }, "mp3", "", "mp3"},
        {"tone.wav", [](Spec &s) { s.hasVideo = false, s.audio[0].codec = "pcm_s16le", s.audio[0].channels = 1; }, "wav", "", "pcm_s16le"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.file);
        Spec spec;
        c.shape(spec);
        const std::string file = make(c.file, spec);
        const ProbeResult r = probe(file);
        ASSERT_TRUE(r.ok) << r.error;
        EXPECT_NE(r.formatName.find(c.format), std::string::npos) << r.formatName;
        EXPECT_EQ(r.size, static_cast<int64_t>(std::filesystem::file_size(file)));
        EXPECT_GT(r.bitRate, 0);
        const double fps = double(spec.fpsNum) / spec.fpsDen;
        // One frame of slack for video; audio encoders pad up to a frame of their own (mp3: 1152 samples).
        EXPECT_NEAR(r.duration, spec.duration, c.videoCodec.empty() ? 0.05 : 1.0 / fps + 1e-3);

        ASSERT_EQ(r.count("video"), c.videoCodec.empty() ? 0 : 1);
        if (!c.videoCodec.empty()) {
            const ProbeStream v = r.ofType("video")[0];
            EXPECT_EQ(v.codecName, c.videoCodec);
            EXPECT_EQ(v.width, spec.width);
            EXPECT_EQ(v.height, spec.height);
            EXPECT_NEAR(v.avgFrameRate, fps, 1e-3);
            EXPECT_NEAR(v.rFrameRate, fps, 1e-3);
            EXPECT_EQ(v.rotation, 0);
            EXPECT_EQ(countVideoFrames(file), std::lround(spec.duration * fps));
            // Audio priming must not push the pictures off the 0 timeline.
            const std::optional<Image> middle = decodeFrameAt(file, 0.5);
            ASSERT_TRUE(middle);
            EXPECT_EQ(readFrameIndex(*middle), std::lround(std::ceil(0.5 * fps)));
        }
        ASSERT_EQ(r.count("audio"), c.audioCodec.empty() ? 0 : 1);
        if (!c.audioCodec.empty()) {
            const ProbeStream a = r.ofType("audio")[0];
            EXPECT_EQ(a.codecName, c.audioCodec);
            EXPECT_EQ(a.sampleRate, spec.audio[0].sampleRate);
            EXPECT_EQ(a.channels, spec.audio[0].channels);
        }
    }
}

TEST_F(MediaFixture, AudioTracksKeepTitlesLanguagesAndTheirOwnLevels)
{
    for (const char *name : {"two.mp4", "two.mkv"}) {
        SCOPED_TRACE(name);
        Spec spec;
        spec.audio = {AudioTrack{48000, 2, 440, 0.4, "Main", "eng", "aac"},
                      AudioTrack{44100, 1, 1000, 0.1, "Commentary", "fra", "aac"}};
        const std::string file = make(name, spec);
        const ProbeResult r = probe(file);
        ASSERT_TRUE(r.ok) << r.error;
        const std::vector<ProbeStream> audio = r.ofType("audio");
        ASSERT_EQ(audio.size(), 2u);
        // FFmpeg reads track titles back from Matroska only; mp4 keeps them as handler names.
        const bool matroska = std::string(name).ends_with(".mkv");
        EXPECT_EQ(matroska ? audio[0].title : audio[0].handlerName, "Main");
        EXPECT_EQ(matroska ? audio[1].title : audio[1].handlerName, "Commentary");
        EXPECT_EQ(audio[0].language, "eng");
        EXPECT_EQ(audio[1].language, "fra");
        EXPECT_EQ(audio[1].sampleRate, 44100);
        EXPECT_EQ(audio[1].channels, 1);
        // A sine's RMS is its amplitude over sqrt(2); the middle of the file avoids coder edges.
        EXPECT_NEAR(audioRms(file, 0.5, 1.5, 0), 0.4 / std::sqrt(2.0), 0.02);
        EXPECT_NEAR(audioRms(file, 0.5, 1.5, 1), 0.1 / std::sqrt(2.0), 0.01);
        EXPECT_EQ(audioRms(file, 0.5, 1.5, 2), -1.0);
        EXPECT_NE(packetHashes(file, "audio", 0), packetHashes(file, "audio", 1));
    }
}

TEST_F(MediaFixture, StoredRotationIsSeenByFfprobeButNotAppliedToDecodedFrames)
{
    for (int degrees : {90, 180, 270}) {
        SCOPED_TRACE(degrees);
        Spec spec;
        spec.displayRotation = degrees;
        spec.audio.clear();
        const std::string file = make("rotated" + std::to_string(degrees) + ".mp4", spec);
        const ProbeResult r = probe(file);
        ASSERT_TRUE(r.ok) << r.error;
        ASSERT_EQ(r.count("video"), 1);
        EXPECT_EQ(r.ofType("video")[0].rotation, degrees);
        EXPECT_EQ(r.ofType("video")[0].width, 160);
        EXPECT_EQ(r.ofType("video")[0].height, 90);
        const std::optional<Image> frame = decodeFrameAt(file, 0.4);
        ASSERT_TRUE(frame);
        EXPECT_EQ(findMarkedCorner(*frame), Corner::TopLeft);
        EXPECT_EQ(readFrameIndex(*frame), 10);
    }
}

TEST_F(MediaFixture, DecodedFrameAtTimeShowsItsIndexAlsoAfterHalving)
{
    struct Case
    {
        int fpsNum, fpsDen;
        double seconds;
        int index;
    };
    const Case cases[] = {
        {25, 1, 0.0, 0}, {25, 1, 1.0, 25}, {25, 1, 1.96, 49}, {25, 1, 1.01, 26},
        {30000, 1001, 1.0, 30}, {30000, 1001, 1.0 * 59 * 1001 / 30000, 59},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.fpsNum << "/" << c.fpsDen << " at " << c.seconds);
        Spec spec;
        spec.fpsNum = c.fpsNum;
        spec.fpsDen = c.fpsDen;
        spec.audio.clear();
        const std::string file = make("at" + std::to_string(c.fpsNum) + ".mkv", spec);
        const std::optional<Image> frame = decodeFrameAt(file, c.seconds);
        ASSERT_TRUE(frame);
        EXPECT_EQ(frame->width, 160);
        EXPECT_EQ(readFrameIndex(*frame), c.index);
        EXPECT_EQ(readFrameIndex(halved(*frame)), c.index);
        EXPECT_EQ(findMarkedCorner(halved(*frame)), Corner::TopLeft);
    }
    EXPECT_FALSE(decodeFrameAt(path("at25.mkv"), 2.5));
}

TEST_F(MediaFixture, EveryFrameCarriesItsIndexWhateverTheCodec)
{
    for (const char *codec : {"libx264", "mpeg4", "mjpeg", "libvpx-vp9", "libx265"}) {
        SCOPED_TRACE(codec);
        Spec spec;
        spec.videoCodec = codec;
        spec.duration = 1.2;
        spec.gopSize = 7;
        spec.audio.clear();
        const std::string file = make(std::string(codec) + ".mkv", spec);
        std::vector<int> expected(30);
        for (int i = 0; i < 30; ++i)
            expected[i] = i;
        EXPECT_EQ(decodeAllFrameIndices(file), expected);
    }
}

TEST_F(MediaFixture, LargeAndLongClipsKeepTheirLayout)
{
    Spec large;
    large.width = 1280;
    large.height = 720;
    large.duration = 1.0;
    const std::string hd = make("hd.mp4", large);
    const std::optional<Image> frame = decodeFrameAt(hd, 0.52);
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->width, 1280);
    EXPECT_EQ(readFrameIndex(*frame), 13);
    EXPECT_EQ(findMarkedCorner(*frame), Corner::TopLeft);

    Spec long_;
    long_.duration = 125.5;
    long_.width = 64;
    long_.height = 36;
    const std::string file = make("long.mp4", long_);
    const ProbeResult r = probe(file);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_NEAR(r.duration, 125.5, 0.041);
    const std::optional<Image> last = decodeFrameAt(file, 125.44);
    ASSERT_TRUE(last);
    EXPECT_EQ(readFrameIndex(*last), 3136);
}

TEST_F(MediaFixture, MarkedCornerFollowsTurnsAndMirrors)
{
    Image picture(160, 90);
    drawFixtureFrame(picture, 7, kNeutralGrey, true, true);
    EXPECT_EQ(findMarkedCorner(picture), Corner::TopLeft);
    EXPECT_EQ(findMarkedCorner(turnedClockwise(picture)), Corner::TopRight);
    EXPECT_EQ(findMarkedCorner(turnedClockwise(turnedClockwise(picture))), Corner::BottomRight);
    EXPECT_EQ(findMarkedCorner(turnedClockwise(turnedClockwise(turnedClockwise(picture)))), Corner::BottomLeft);
    EXPECT_EQ(findMarkedCorner(mirrored(picture)), Corner::TopRight);
    EXPECT_EQ(findMarkedCorner(halved(turnedClockwise(picture))), Corner::TopRight);

    Image plain(160, 90);
    drawFixtureFrame(plain, 7, kNeutralGrey, true, false);
    EXPECT_EQ(findMarkedCorner(plain), Corner::None);
}

TEST_F(MediaFixture, StampReadsBackOnlyWhenItIsThere)
{
    for (int index : {0, 1, 2, 25, 1000, 4095, 8191}) {
        Image picture(90, 160);
        drawFixtureFrame(picture, index, kNeutralGrey, true, true);
        EXPECT_EQ(readFrameIndex(picture), index);
    }
    Image wrapped(160, 90);
    drawFixtureFrame(wrapped, 8192 + 5, kNeutralGrey, true, true);
    EXPECT_EQ(readFrameIndex(wrapped), 5);

    Image plain(160, 90);
    drawFixtureFrame(plain, 3, kNeutralGrey, false, true);
    EXPECT_EQ(readFrameIndex(plain), -1);

    // One flipped cell breaks the parity: a misread is refused, not returned as another index.
    Image damaged(160, 90);
    drawFixtureFrame(damaged, 3, kNeutralGrey, true, true);
    const Rect cell = stampCellRect(160, 90, 5);
    damaged.fill(cell.x, cell.y, cell.width, cell.height, {255, 255, 255});
    EXPECT_EQ(readFrameIndex(damaged), -1);
    EXPECT_EQ(readFrameIndex(mirrored(damaged)), -1);
}

TEST_F(MediaFixture, BackgroundIsFlatAndTheLowerHalfStaysPlain)
{
    struct Case
    {
        std::string file;
        std::string codec;
        std::optional<Rgb> background;
        Rgb expected;
    };
    // mjpeg stores full-range pictures, the others limited range: both must come back at the same levels
    // (a dark grey read with the wrong range is off by a dozen levels).
    const Case cases[] = {
        {"grey.mp4", "libx264", std::nullopt, kNeutralGrey},
        {"red.mp4", "libx264", Rgb{255, 0, 0}, {255, 0, 0}},
        {"blue.mkv", "libx264", Rgb{0, 0, 255}, {0, 0, 255}},
        {"dark.avi", "mjpeg", Rgb{40, 40, 40}, {40, 40, 40}},
        {"red.webm", "libvpx-vp9", Rgb{255, 0, 0}, {255, 0, 0}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.file);
        Spec spec;
        spec.videoCodec = c.codec;
        spec.background = c.background;
        spec.audio.clear();
        const std::string file = make(c.file, spec);
        const std::optional<Image> frame = decodeFrameAt(file, 0.2);
        ASSERT_TRUE(frame);
        EXPECT_EQ(readFrameIndex(*frame), 5);
        for (const MeanColor &m : {frame->mean(0, 45, 80, 45), frame->mean(80, 45, 80, 45)}) {
            EXPECT_NEAR(m.r, c.expected.r, 6);
            EXPECT_NEAR(m.g, c.expected.g, 6);
            EXPECT_NEAR(m.b, c.expected.b, 6);
        }
        // Flat: no pixel of the lower-left quarter strays far from the mean.
        for (int y = 46; y < 90; y += 3)
            for (int x = 0; x < 80; x += 3)
                EXPECT_NEAR(frame->pixel(x, y).g, c.expected.g, 10);
    }
}

TEST_F(MediaFixture, AudioLevelWindowsFollowTheTone)
{
    Spec spec;
    spec.hasVideo = false;
    spec.audio[0].amplitude = 0.5;
    spec.audio[0].codec = "pcm_s16le";
    const std::string file = make("level.wav", spec);
    const std::vector<double> windows = audioRmsWindows(file, 0.5);
    ASSERT_EQ(windows.size(), 4u);
    for (double rms : windows)
        EXPECT_NEAR(rms, 0.5 / std::sqrt(2.0), 0.005);
    EXPECT_DOUBLE_EQ(audioRms(file, 3.0, 4.0), 0.0);
    EXPECT_EQ(audioRms(path("missing.wav"), 0, 1), -1.0);
    EXPECT_TRUE(audioRmsWindows(path("missing.wav"), 0.5).empty());
}

TEST_F(MediaFixture, PacketHashesTellSameCodingFromAnother)
{
    Spec spec;
    const std::string a = make("a.mkv", spec);
    const std::string b = make("b.mkv", spec);
    spec.background = Rgb{0, 0, 255};
    const std::string c = make("c.mkv", spec);
    const std::vector<std::string> hashes = packetHashes(a, "video");
    EXPECT_EQ(hashes.size(), 50u);
    EXPECT_EQ(hashes, packetHashes(b, "video"));
    EXPECT_NE(hashes, packetHashes(c, "video"));
    EXPECT_EQ(packetHashes(a, "audio"), packetHashes(c, "audio"));
    EXPECT_TRUE(packetHashes(a, "subtitle").empty());
    EXPECT_TRUE(packetHashes(a, "video", 1).empty());
}

TEST_F(MediaFixture, BrokenFilesAreRefusedOrShort)
{
    Spec spec;
    for (const char *name : {"whole.mp4", "whole.mkv"}) {
        SCOPED_TRACE(name);
        const std::string whole = make(name, spec);
        const std::string cut = path(std::string("cut-") + name);
        ASSERT_TRUE(truncateCopy(whole, cut, 0.5));
        EXPECT_EQ(std::filesystem::file_size(cut), std::filesystem::file_size(whole) / 2);
        const ProbeResult r = probe(cut);
        if (r.ok)
            EXPECT_LT(countVideoFrames(cut), 50);
        else
            EXPECT_FALSE(r.error.empty());
    }
    const std::string garbage = path("garbage.mp4");
    ASSERT_TRUE(makeGarbageFile(garbage, 64 * 1024));
    EXPECT_EQ(std::filesystem::file_size(garbage), 64u * 1024);
    const ProbeResult r = probe(garbage);
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.error.empty());
    EXPECT_EQ(countVideoFrames(garbage), -1);
    EXPECT_FALSE(decodeFrameAt(garbage, 0));
    EXPECT_TRUE(decodeAllFrameIndices(garbage).empty());
}

TEST_F(MediaFixture, RefusedSpecsLeaveNoFileAndSayWhy)
{
    struct Case
    {
        std::string file;
        std::function<void(Spec &)> shape;
    };
    const Case cases[] = {
        {"unknown.mkv", [](Spec &s) { s.videoCodec = "no-such-codec"; }},
        {"wrong.webm", [](Spec &) {}},  // webm takes neither H.264 nor AAC
        {"nothing.mkv", [](Spec &s) { s.hasVideo = false, s.audio.clear(); }},
        {"audio.wav", [](Spec &) {}},   // wav has no room for video
        {"zero.mkv", [](Spec &s) { s.width = 0; }},
        {"file.unknownext", [](Spec &) {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.file);
        Spec spec;
        c.shape(spec);
        std::string error;
        EXPECT_FALSE(generate(path(c.file), spec, &error));
        EXPECT_NE(error.find(c.file), std::string::npos) << error;
        EXPECT_FALSE(std::filesystem::exists(path(c.file)));
    }
}

TEST_F(MediaFixture, TimelinesStartLateOrWithSoundBeforeThePicture)
{
    struct Case
    {
        const char *file;
        double startTime;
        double audioOffset;
        double videoStart; // as ffprobe reports them
        double audioStart;
    };
    for (const Case &c : {Case{"late.ts", 10.0, 0.0, 10.0, 10.0}, Case{"late.mp4", 10.0, 0.0, 10.0, 10.0},
                          Case{"late.mkv", 10.0, 0.0, 10.0, 10.0}, Case{"early-sound.mkv", 0.0, -0.5, 0.0, -0.5}}) {
        SCOPED_TRACE(c.file);
        Spec spec;
        spec.startTime = c.startTime;
        spec.audioOffset = c.audioOffset;
        const ProbeResult r = probe(make(c.file, spec));
        ASSERT_TRUE(r.ok) << r.error;
        EXPECT_NEAR(r.ofType("video").at(0).startTime, c.videoStart, 0.1);
        EXPECT_NEAR(r.ofType("audio").at(0).startTime, c.audioStart, 0.1);
    }
}
