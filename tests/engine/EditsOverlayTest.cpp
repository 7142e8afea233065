// Watermarks (picture, text, video) and burnt-in subtitles, measured on the decoded output.
#include "tests/engine/EditsTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <numeric>
#include <filesystem>
#include <fstream>
#include <thread>

using namespace enginetest;

namespace {

const fixture::Rgb kRed{255, 0, 0};

bool isRed(const fixture::MeanColor &c)
{
    return c.r > 200 && c.g < 60 && c.b < 60;
}
bool isGrey(const fixture::MeanColor &c)
{
    return std::fabs(c.r - 128) < 12 && std::fabs(c.g - 128) < 12 && std::fabs(c.b - 128) < 12;
}

IMAGE_WATERMARK_PARAM pictureWatermark(const std::string &path, RECT rect, int64_t start, int64_t end)
{
    IMAGE_WATERMARK_PARAM wm{};
    snprintf(wm.path, sizeof wm.path, "%s", path.c_str());
    wm.rect = rect;
    wm.start_time = start;
    wm.end_time = end;
    return wm;
}

// A stand-in for the application's text renderer: a 20 x 10 block of the text colour whose bottom
// row is the baseline, drawn as the callback's contract says (premultiplied BGRA, rows top first, opaque:
// the engine applies the transparence).
std::atomic<int> g_calls{0};
std::atomic<bool> g_onOtherThread{false};
std::thread::id g_testThread;

void drawBlock(int width, int height, uint8_t *buffer, TEXT_WATERMARK_PARAM param)
{
    ++g_calls;
    if (std::this_thread::get_id() != g_testThread)
        g_onOtherThread = true;
    const double alpha = 1.0;
    const uint8_t red = param.fontclr >> 24, green = param.fontclr >> 16, blue = param.fontclr >> 8;
    const int baselineRow = height - 1 - param.rect.top;
    for (int y = baselineRow - 9; y <= baselineRow; ++y)
        for (int x = param.rect.left; x < param.rect.left + 20; ++x) {
            if (x < 0 || y < 0 || x >= width || y >= height)
                continue;
            uint8_t *p = buffer + (size_t(y) * width + x) * 4;
            p[0] = uint8_t(blue * alpha + 0.5);
            p[1] = uint8_t(green * alpha + 0.5);
            p[2] = uint8_t(red * alpha + 0.5);
            p[3] = uint8_t(255 * alpha + 0.5);
        }
}

TEXT_WATERMARK_PARAM textWatermark(int transparence)
{
    TEXT_WATERMARK_PARAM wm{};
    snprintf(wm.text, sizeof wm.text, "%s", "Mark");
    wm.rect = {100, 20, 140, 40}; // text rule: counted from the bottom edge
    wm.fontsize = 12;
    wm.fontclr = 0xff000000; // red
    wm.transparence = transparence;
    return wm;
}

const char *const kDejaVu = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

// The edit clip with the subtitle file `path` burnt in at 20 px in `colour` (`position` above the bottom
// edge; -1 keeps an ass file's own styles).
std::string withSubtitle(const std::string &path, const char *font, int position, uint32_t colour)
{
    return convertEdited(editClip(), [&](MEDIA_HANDLE h) {
        SUBTITLE_PARAM sub{};
        snprintf(sub.path, sizeof sub.path, "%s", path.c_str());
        snprintf(sub.szFontFile, sizeof sub.szFontFile, "%s", font);
        sub.position = position;
        sub.fontsize = 20;
        sub.fontclr = sub.shadowclr = colour;
        EXPECT_EQ(apiMediaConvertSetSubtitle(h, sub), MEDIA_OK);
    });
}

} // namespace

TEST(EditsWatermark, PictureShowsInItsRectangleOnlyDuringItsSpan)
{
    const std::string red = freshFolder() + "/red.bmp";
    ASSERT_TRUE(writeBmp(red, 16, 16, kRed));
    // The lower-left quarter, from 1 s to 2 s.
    const std::string out = convertEdited(editClip(), [&](MEDIA_HANDLE h) {
        EXPECT_EQ(
            apiMediaConvertAddImageWatermask(h, pictureWatermark(red, {0, 45, 80, 90}, 1000000, 2000000)),
            MEDIA_OK);
    });
    ASSERT_FALSE(out.empty());

    const fixture::Image during = frameOf(out, 1.5);
    EXPECT_TRUE(isRed(during.mean(2, 47, 76, 41)));
    EXPECT_TRUE(isGrey(during.mean(84, 47, 74, 41))) << "lower-right quarter";
    EXPECT_TRUE(isGrey(during.mean(30, 2, 120, 20))) << "upper half";
    for (double t : {0.5, 2.5}) {
        SCOPED_TRACE(t);
        EXPECT_TRUE(isGrey(frameOf(out, t).mean(2, 47, 76, 41)));
    }
}

TEST(EditsWatermark, PictureFollowsTheInputTimelineAfterACut)
{
    const std::string red = freshFolder() + "/red.bmp";
    ASSERT_TRUE(writeBmp(red, 8, 8, kRed));
    // Shown from 2 s of the input; the output starts at 1 s of it, so the mark appears at 1 s there.
    const std::string out = convertEdited(editClip(), [&](MEDIA_HANDLE h) {
        apiMediaConvertSetCutTime(h, 1000000, 3000000);
        apiMediaConvertAddImageWatermask(h, pictureWatermark(red, {0, 45, 80, 90}, 2000000, 0));
    });
    ASSERT_FALSE(out.empty());
    EXPECT_TRUE(isGrey(frameOf(out, 0.5).mean(2, 47, 76, 41)));
    EXPECT_TRUE(isRed(frameOf(out, 1.5).mean(2, 47, 76, 41)));
}

TEST(EditsWatermark, RefusesAFileThatIsNoPicture)
{
    MEDIA_HANDLE h = apiMediaConvertCreate();
    ASSERT_GT(apiMediaConvertSetInputMedia(h, editClip().c_str()), 0);
    const std::string missing = freshFolder() + "/missing.png";
    EXPECT_EQ(apiMediaConvertAddImageWatermask(h, pictureWatermark(missing, {0, 0, 10, 10}, 0, 0)),
              MEDIA_ERR_INPUT);
    apiMediaConvertClose(h);
}

TEST(EditsWatermark, TextLandsAtItsBaselineWithItsColourAndOpacity)
{
    g_testThread = std::this_thread::get_id();
    apiMediaConvertSetDrawTextCallback(&drawBlock);
    const std::string opaque = convertEdited(editClip(), [](MEDIA_HANDLE h) {
        EXPECT_EQ(apiMediaConvertAddTextWatermask(h, textWatermark(0)), MEDIA_OK);
    });
    const std::string half = convertEdited(
        editClip(), [](MEDIA_HANDLE h) { apiMediaConvertAddTextWatermask(h, textWatermark(50)); });
    apiMediaConvertSetDrawTextCallback(nullptr);
    ASSERT_FALSE(opaque.empty() || half.empty());
    EXPECT_EQ(g_calls.load(), 2);
    EXPECT_FALSE(g_onOtherThread.load()); // called on the thread that runs Start

    // Baseline 20 px above the bottom row of 90: the block covers rows 60..69, columns 100..119.
    const fixture::Image frame = frameOf(opaque, 0.5);
    EXPECT_TRUE(isRed(frame.mean(102, 62, 16, 6)));
    EXPECT_TRUE(isGrey(frame.mean(80, 62, 16, 6))) << "left of the text";
    EXPECT_TRUE(isGrey(frame.mean(102, 74, 16, 6))) << "below the baseline";
    // Half transparent red over grey: halfway between them.
    const fixture::MeanColor blended = frameOf(half, 0.5).mean(102, 62, 16, 6);
    EXPECT_NEAR(blended.r, (255 + 128) / 2.0, 18);
    EXPECT_NEAR(blended.g, 128 / 2.0, 18);
    EXPECT_NEAR(blended.b, 128 / 2.0, 18);
}

TEST(EditsWatermark, TextWithoutACallbackIsSkipped)
{
    apiMediaConvertSetDrawTextCallback(nullptr);
    const std::string out = convertEdited(
        editClip(), [](MEDIA_HANDLE h) { apiMediaConvertAddTextWatermask(h, textWatermark(0)); });
    ASSERT_FALSE(out.empty());
    EXPECT_TRUE(isGrey(frameOf(out, 0.5).mean(102, 62, 16, 6)));
}

TEST(EditsWatermark, EveryPictureOfTheRangeIsKept)
{
    const std::string red = freshFolder() + "/red.bmp";
    ASSERT_TRUE(writeBmp(red, 8, 8, kRed));
    fixture::Spec spec; // 90 pictures, as a recorder writes them
    spec.duration = 3.0;
    spec.fpsNum = 30;
    const std::string source = sharedFixture("edit90.mkv", spec);
    struct Case
    {
        const char *name;
        int64_t cutStart;
        int64_t cutEnd;
        std::vector<int> frames;
    };
    std::vector<int> all(90), tail(60);
    std::iota(all.begin(), all.end(), 0);
    std::iota(tail.begin(), tail.end(), 30);
    apiMediaConvertSetDrawTextCallback(&drawBlock);
    for (const Case &c : {Case{"picture", 0, 0, all}, Case{"text", 0, 0, all}, Case{"picture", 1000000, 0, tail},
                          Case{"text", 1000000, 3000000, tail}}) {
        SCOPED_TRACE(std::string(c.name) + " from " + std::to_string(c.cutStart));
        const std::string out = convertEdited(source, [&](MEDIA_HANDLE h) {
            if (c.cutStart > 0)
                apiMediaConvertSetCutTime(h, c.cutStart, c.cutEnd);
            if (std::string(c.name) == "picture")
                apiMediaConvertAddImageWatermask(h, pictureWatermark(red, {0, 45, 80, 90}, 0, 0));
            else
                apiMediaConvertAddTextWatermask(h, textWatermark(0));
        });
        ASSERT_FALSE(out.empty());
        EXPECT_EQ(fixture::decodeAllFrameIndices(out), c.frames);
    }
    apiMediaConvertSetDrawTextCallback(nullptr);
}

TEST(EditsWatermark, VideoShowsTheSecondFilesFramesInItsRectangleDuringItsSpan)
{
    fixture::Spec spec;
    spec.duration = 3.0;
    spec.background = fixture::Rgb{0, 0, 200};
    spec.audio.clear();
    const std::string second = sharedFixture("edit-blue.mp4", spec);
    // Its part 0.5..2 s plays on the right half from 1 s of the main video to 2.5 s.
    const std::string out = convertEdited(editClip(), [&](MEDIA_HANDLE h) {
        VIDEO_WATERMARK_PARAM wm{};
        snprintf(wm.path, sizeof wm.path, "%s", second.c_str());
        wm.rect = {80, 0, 160, 90};
        wm.start_time = 1000000;
        wm.end_time = 2500000;
        wm.file_start_time = 500000;
        wm.file_end_time = 2000000;
        EXPECT_EQ(apiMediaConvertAddVideoWatermark(h, wm), MEDIA_OK);
    });
    ASSERT_FALSE(out.empty());

    const fixture::Image during = frameOf(out, 1.5);
    const fixture::Image inside = region(during, 80, 0, 80, 90);
    EXPECT_GT(inside.mean(20, 60, 40, 20).b, 170); // its blue background
    // 0.5 s into the span shows the frame 0.5 s into its part: 1.0 s of the file, frame 25.
    EXPECT_NEAR(fixture::readFrameIndex(inside), 25, 1);
    EXPECT_TRUE(isGrey(during.mean(10, 60, 60, 20))) << "left half untouched";
    for (double t : {0.5, 2.8}) {
        SCOPED_TRACE(t);
        EXPECT_TRUE(isGrey(frameOf(out, t).mean(100, 60, 40, 20)));
    }
}

TEST(EditsSubtitle, SrtChangesItsBandOnlyDuringItsCue)
{
    const std::string folder = freshFolder();
    const std::string srt = folder + "/cue.srt";
    std::ofstream(srt) << "1\n00:00:01,000 --> 00:00:02,000\nHELLO\n\n";
    const std::string plain = convertEdited(editClip(), [](MEDIA_HANDLE) {});
    const std::string out = withSubtitle(srt, kDejaVu, 8, 0xffff0000); // yellow
    ASSERT_FALSE(plain.empty() || out.empty());

    // The band above the bottom edge where the text stands; the top half stays as it was.
    EXPECT_GT(difference(frameOf(out, 1.5), frameOf(plain, 1.5), 0, 56, 160, 30), 4.0);
    EXPECT_LT(difference(frameOf(out, 1.5), frameOf(plain, 1.5), 0, 0, 160, 45), 1.5);
    for (double t : {0.5, 2.5}) {
        SCOPED_TRACE(t);
        EXPECT_LT(difference(frameOf(out, t), frameOf(plain, t), 0, 0, 160, 90), 1.5);
    }
    // Yellow text: somewhere in the band red and green are high and blue is low.
    const fixture::Image frame = frameOf(out, 1.5);
    bool yellow = false;
    for (int y = 56; y < 86 && !yellow; ++y)
        for (int x = 0; x < 160 && !yellow; ++x) {
            fixture::Rgb p = frame.pixel(x, y);
            yellow = p.r > 200 && p.g > 200 && p.b < 90;
        }
    EXPECT_TRUE(yellow);
}

TEST(EditsSubtitle, RefusesAMissingFileAndAcceptsAnEmptyPath)
{
    MEDIA_HANDLE h = apiMediaConvertCreate();
    ASSERT_GT(apiMediaConvertSetInputMedia(h, editClip().c_str()), 0);
    SUBTITLE_PARAM sub{};
    snprintf(sub.path, sizeof sub.path, "%s", (freshFolder() + "/none.srt").c_str());
    EXPECT_EQ(apiMediaConvertSetSubtitle(h, sub), MEDIA_ERR_INPUT);
    SUBTITLE_PARAM none{};
    EXPECT_EQ(apiMediaConvertSetSubtitle(h, none), MEDIA_OK);
    apiMediaConvertClose(h);
}

TEST(EditsSubtitle, AFileThatIsNotTextFailsTheJobAndLeavesNoFile)
{
    // As MediaGetSubtitleText refuses them: a zero byte, and a file above its 16 MiB.
    const std::string folder = freshFolder();
    const std::string cue = "1\n00:00:00,000 --> 00:00:02,000\n";
    const struct
    {
        const char *name;
        std::string bytes;
    } cases[] = {
        {"zero.srt", cue + std::string("Hel\0lo\n", 7)},
        {"huge.srt", cue + "Hello\n" + std::string(16 * 1024 * 1024, '\n')},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = folder + "/" + c.name;
        std::ofstream(path, std::ios::binary) << c.bytes;
        const std::string out = freshFolder();
        EXPECT_EQ(convert(editClip(), out + "/burnt.mp4",
                          [&](MEDIA_HANDLE h) {
                              SUBTITLE_PARAM sub{};
                              snprintf(sub.path, sizeof sub.path, "%s", path.c_str());
                              return apiMediaConvertSetSubtitle(h, sub);
                          }),
                  MEDIA_ERR_INPUT);
        EXPECT_TRUE(filesIn(out).empty()) << "left behind: " << filesIn(out).front();
    }
}

// The check before a file is chosen and the export read a file alike: what the check accepts burns in,
// what it refuses as holding no cue fails the export, whatever the file's arrows and headers suggest.
TEST(EditsSubtitle, TheCueCheckAndTheExportAgree)
{
    const std::string folder = freshFolder();
    const struct
    {
        const char *name;
        std::string bytes;
        int check;
    } cases[] = {
        {"good.srt", "1\n00:00:00,000 --> 00:00:01,500\nHello\n", MEDIA_OK},
        {"cp1251.srt", "1\n00:00:00,000 --> 00:00:01,500\n\xCF\xF0\xE8\xE2\xE5\xF2\n", MEDIA_OK},
        {"good.ass",
         "[Script Info]\n[Events]\nFormat: Layer, Start, End, Style, Text\n"
         "Dialogue: 0,0:00:00.00,0:00:01.50,Default,Hi\n",
         MEDIA_OK},
        {"bad times.srt", "1\n00:00:00:00,000 --> 00:00:02:00,000\nHello\n", MEDIA_ERR_NOTHING_IN_RANGE},
        {"arrow only.srt", "-->\n", MEDIA_ERR_NOTHING_IN_RANGE},
        {"no script header.ass", "[Events]\nDialogue: 0,0:00:00.00,0:00:01.50,Default,,0,0,0,,Hi\n",
         MEDIA_ERR_NOTHING_IN_RANGE},
        {"words.srt", "just some words\n", MEDIA_ERR_NOTHING_IN_RANGE},
        {"empty.srt", "", MEDIA_ERR_NOTHING_IN_RANGE},
        {"zero.srt", std::string("1\n00:00:00,000 --> 00:00:01,500\nHel\0lo\n", 39), MEDIA_ERR_GENERIC},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = folder + "/" + c.name;
        std::ofstream(path, std::ios::binary) << c.bytes;
        EXPECT_EQ(MediaCheckSubtitleCues(path.c_str()), c.check);
        const std::string out = freshFolder();
        const int r = convert(editClip(), out + "/burnt.mp4", [&](MEDIA_HANDLE h) {
            SUBTITLE_PARAM sub{};
            snprintf(sub.path, sizeof sub.path, "%s", path.c_str());
            return apiMediaConvertSetSubtitle(h, sub);
        });
        EXPECT_EQ(r, c.check == MEDIA_OK ? MEDIA_OK : MEDIA_ERR_INPUT);
        EXPECT_EQ(filesIn(out).size(), c.check == MEDIA_OK ? 1u : 0u);
    }
    EXPECT_EQ(MediaCheckSubtitleCues(nullptr), MEDIA_ERR_ARGUMENT);
    EXPECT_EQ(MediaCheckSubtitleCues((folder + "/absent.srt").c_str()), MEDIA_ERR_INPUT);
}

namespace {

// UTF-16LE with its mark, of ASCII text.
std::string utf16le(const std::string &ascii)
{
    std::string out = "\xFF\xFE";
    for (char c : ascii) {
        out += c;
        out += '\0';
    }
    return out;
}

} // namespace

TEST(EditsSubtitle, ShapesOtherScriptsAndKeepsAssStylesAtTheAskedHeight)
{
    const std::string folder = freshFolder();
    const std::string plain = convertEdited(editClip(), [](MEDIA_HANDLE) {});
    const char *ass =
        "[Script Info]\nScriptType: v4.00+\nPlayResX: 160\nPlayResY: 90\n\n[V4+ Styles]\n"
        "Format: Name, Fontname, Fontsize, PrimaryColour, Alignment, MarginV\n"
        "Style: Default,DejaVu Sans,16,&H0000FFFF,2,10\n\n[Events]\n"
        "Format: Layer, Start, End, Style, Text\nDialogue: 0,0:00:01.00,0:00:02.00,Default,STYLED\n";
    struct Case
    {
        const char *name;
        std::string file;
        std::string content;
        const char *font;
        int position;
        int changedTop; // the rows where the text must show...
        int quietTop;   // ...and rows of the same height that must stay as they were
    };
    const Case cases[] = {
        {"chinese", "zh.srt", "1\n00:00:01,000 --> 00:00:02,000\n你好世界\n\n",
         "/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc", 8, 58, 2},
        {"arabic", "ar.srt", "1\n00:00:01,000 --> 00:00:02,000\nمرحبا بالعالم\n\n",
         "/usr/share/fonts/truetype/noto/NotoNaskhArabic-Regular.ttf", 8, 58, 2},
        {"higher up", "up.srt", "1\n00:00:01,000 --> 00:00:02,000\nHELLO\n\n",
         kDejaVu, 50, 22, 62},
        {"ass with its own style", "styled.ass", ass, "", -1, 58, 2},
        // Its script height is read from the text, not the bytes, so the position scales right.
        {"ass in utf-16 higher up", "up16.ass", utf16le(ass), "", 50, 22, 62},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = folder + "/" + c.file;
        std::ofstream(path) << c.content;
        const std::string out = withSubtitle(path, c.font, c.position, 0xffffff00); // white
        ASSERT_FALSE(out.empty());
        const fixture::Image shown = frameOf(out, 1.5), before = frameOf(plain, 1.5);
        EXPECT_GT(difference(shown, before, 0, c.changedTop, 160, 26), 4.0);
        EXPECT_LT(difference(shown, before, 0, c.quietTop, 160, 26), 1.5);
    }
}

TEST(EditsSubtitle, CuesInAnotherCharsetShowAsTheirUtf8Twin)
{
    const std::string folder = freshFolder();
    const std::string plain = convertEdited(editClip(), [](MEDIA_HANDLE) {});
    const std::string srtCue = "1\n00:00:01,000 --> 00:00:02,000\n";
    const std::string assHead =
        "[Script Info]\nScriptType: v4.00+\nPlayResX: 160\nPlayResY: 90\n\n[V4+ Styles]\n"
        "Format: Name, Fontname, Fontsize, PrimaryColour, Alignment, MarginV\n"
        "Style: Default,DejaVu Sans,16,&H00FFFFFF,2,10\n\n[Events]\n"
        "Format: Layer, Start, End, Style, Text\nDialogue: 0,0:00:01.00,0:00:02.00,Default,";
    const std::string hello = "Привет мир", hello1251 = "\xCF\xF0\xE8\xE2\xE5\xF2 \xEC\xE8\xF0";
    const struct
    {
        const char *name;
        std::string file, utf8, legacy;
    } cases[] = {
        {"srt in windows-1251", "cue.srt", srtCue + hello + "\n\n", srtCue + hello1251 + "\n\n"},
        {"ass in windows-1251", "cue.ass", assHead + hello + "\n", assHead + hello1251 + "\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        auto burn = [&](const std::string &name, const std::string &content) {
            const std::string path = folder + "/" + name;
            std::ofstream(path, std::ios::binary) << content;
            return withSubtitle(path, kDejaVu, 8, 0xffffff00); // white
        };
        const std::string twin = burn("utf8-" + std::string(c.file), c.utf8);
        const std::string legacy = burn("1251-" + std::string(c.file), c.legacy);
        ASSERT_FALSE(plain.empty() || twin.empty() || legacy.empty());
        const fixture::Image shown = frameOf(legacy, 1.5);
        // The text stands in its band during the cue, in the same letters as from the UTF-8 file.
        EXPECT_GT(difference(shown, frameOf(plain, 1.5), 0, 56, 160, 30), 4.0);
        EXPECT_LT(difference(shown, frameOf(twin, 1.5), 0, 56, 160, 30), 0.5);
        EXPECT_LT(difference(frameOf(legacy, 2.5), frameOf(plain, 2.5), 0, 0, 160, 90), 1.5);
    }
}
