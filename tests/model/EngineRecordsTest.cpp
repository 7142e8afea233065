#include "model/EngineRecords.h"
#include "model/AudioStreamInfo.h"
#include "model/FileData.h"
#include "model/SubtitleParam.h"
#include "model/WaterParam.h"

#include <array>
#include <cstring>
#include <gtest/gtest.h>
#include <string>

namespace {

// Reads a little-endian integer straight from a record's bytes, so the tests check the binary layout
// rather than the struct's field names.
template <class T, class R> T at(const R &record, std::size_t offset)
{
    T v;
    std::memcpy(&v, reinterpret_cast<const unsigned char *>(&record) + offset, sizeof v);
    return v;
}

template <class R> std::string textAt(const R &record, std::size_t offset)
{
    return std::string(reinterpret_cast<const char *>(&record) + offset);
}

template <class R> bool zeroBetween(const R &record, std::size_t from, std::size_t to)
{
    const auto *bytes = reinterpret_cast<const unsigned char *>(&record);
    for (std::size_t i = from; i < to; ++i)
        if (bytes[i] != 0)
            return false;
    return true;
}

std::shared_ptr<WaterParam> quarterWatermark()
{
    auto w = std::make_shared<WaterParam>();
    w->setWaterPercentClipRect(platform::makeRect(0, 0, 0.5, 0.5)); // lower-left quarter
    w->setWaterAlph(42.9);
    return w;
}

TEST(EngineRecords, SubtitleRecordLayout)
{
    SubtitleParam p;
    p.setSubtitlePath("/tmp/subs/a.srt");
    p.setFontPath("/library/fonts/Songti.ttc");
    p.setPositon(120);
    p.setFontSize(36);
    p.setShadow(1);
    p.setFontColor(QColor(0x11, 0x22, 0x33));

    SUBTITLE_PARAM r;
    std::memset(&r, 0xAB, sizeof r); // the fill must clear what it does not set
    ASSERT_TRUE(EngineRecords::fillSubtitle(r, p));
    EXPECT_EQ(textAt(r, 0), "/tmp/subs/a.srt");
    EXPECT_EQ(at<int32_t>(r, 260), 120);
    EXPECT_EQ(textAt(r, 264), "/library/fonts/Songti.ttc");
    EXPECT_TRUE(zeroBetween(r, 524, 784));
    EXPECT_EQ(at<int32_t>(r, 784), 36);
    EXPECT_EQ(at<int32_t>(r, 788), 1);
    EXPECT_EQ(at<uint32_t>(r, 792), 0x11223300u);
    EXPECT_EQ(at<uint32_t>(r, 796), 0x11223300u);
}

TEST(EngineRecords, PictureWatermarkRecordLayout)
{
    auto w = quarterWatermark();
    w->setWaterImagePath("/tmp/logo.png");
    IMAGE_WATERMARK_PARAM r;
    std::memset(&r, 0xAB, sizeof r);
    ASSERT_TRUE(EngineRecords::fillImageWatermark(r, *w, 1280, 720, 1000000, 5000000));
    EXPECT_EQ(textAt(r, 0), "/tmp/logo.png");
    EXPECT_EQ(at<int32_t>(r, 260), 0);
    EXPECT_EQ(at<int32_t>(r, 264), 360);
    EXPECT_EQ(at<int32_t>(r, 268), 640);
    EXPECT_EQ(at<int32_t>(r, 272), 720);
    EXPECT_EQ(at<int32_t>(r, 276), 42);
    EXPECT_EQ(at<int64_t>(r, 280), 1000000);
    EXPECT_EQ(at<int64_t>(r, 288), 5000000);
}

TEST(EngineRecords, TextWatermarkRecordLayout)
{
    auto w = quarterWatermark();
    w->setWaterText("Hello");
    w->setWaterFontName("DejaVu Sans");
    w->setWaterFontColor(QColor::fromRgbF(1.0f, 0.5f, 0.0f));
    TEXT_WATERMARK_PARAM r;
    std::memset(&r, 0xAB, sizeof r);
    EngineRecords::fillTextWatermark(r, *w, 1280, 720, 48, 2000000, 3000000);
    EXPECT_EQ(textAt(r, 0), "Hello");
    EXPECT_EQ(at<int32_t>(r, 260), 0);
    EXPECT_EQ(at<int32_t>(r, 264), 0);
    EXPECT_EQ(at<int32_t>(r, 268), 640);
    EXPECT_EQ(at<int32_t>(r, 272), 360);
    EXPECT_TRUE(zeroBetween(r, 276, 536)); // font file left empty
    EXPECT_EQ(textAt(r, 536), "DejaVu Sans");
    EXPECT_EQ(at<int32_t>(r, 796), 48);
    EXPECT_EQ(at<uint32_t>(r, 800), 0xFF7F0000u);
    EXPECT_EQ(at<int32_t>(r, 804), 42);
    EXPECT_EQ(at<int64_t>(r, 808), 2000000);
    EXPECT_EQ(at<int64_t>(r, 816), 3000000);
}

TEST(EngineRecords, VideoWatermarkCarriesItsOwnSpanInMicroseconds)
{
    auto w = quarterWatermark();
    w->setWaterImagePath("/tmp/overlay.mp4");
    w->setIsVideo(true);
    w->setStartTime(2.5f);
    w->setDuration(1.0f);
    w->setFileStartTime(0.5f);
    w->setFileEndTime(3.0f);
    VIDEO_WATERMARK_PARAM r;
    std::memset(&r, 0xAB, sizeof r);
    ASSERT_TRUE(EngineRecords::fillVideoWatermark(r, *w, 1280, 720));
    EXPECT_EQ(textAt(r, 0), "/tmp/overlay.mp4");
    EXPECT_EQ(at<int32_t>(r, 264), 360);
    EXPECT_EQ(at<int32_t>(r, 276), 0);
    EXPECT_EQ(at<int64_t>(r, 280), 2500000);
    EXPECT_EQ(at<int64_t>(r, 288), 3500000);
    EXPECT_EQ(at<int64_t>(r, 296), 500000);
    EXPECT_EQ(at<int64_t>(r, 304), 3000000);
    EXPECT_TRUE(zeroBetween(r, 312, 340));
    EXPECT_EQ(at<int32_t>(r, 340), 42);
    EXPECT_TRUE(zeroBetween(r, 344, 352));
}

TEST(EngineRecords, WatermarkRectangleRules)
{
    struct Case
    {
        platform::Rect fraction;
        double w, h;
        RECT picture, text;
    };
    const Case cases[] = {
        {platform::makeRect(0, 0, 0.5, 0.5), 1280, 720, {0, 360, 640, 720}, {0, 0, 640, 360}},
        {platform::makeRect(0.75, 0.75, 0.25, 0.25), 1280, 720, {960, 0, 1280, 180}, {960, 540, 1280, 720}},
        // The text bottom adds the untruncated height to the truncated top: 72 + 72.5 -> 144, not 145.
        {platform::makeRect(0.1, 0.1, 0.1, 0.1), 1001, 725, {100, 580, 200, 652}, {100, 72, 200, 144}},
    };
    for (const Case &c : cases) {
        const RECT p = EngineRecords::pictureWatermarkRect(c.fraction, c.w, c.h);
        const RECT t = EngineRecords::textWatermarkRect(c.fraction, c.w, c.h);
        EXPECT_EQ((std::array{p.left, p.top, p.right, p.bottom}),
                  (std::array{c.picture.left, c.picture.top, c.picture.right, c.picture.bottom}));
        EXPECT_EQ((std::array{t.left, t.top, t.right, t.bottom}),
                  (std::array{c.text.left, c.text.top, c.text.right, c.text.bottom}));
    }
}

TEST(EngineRecords, CropMarginsAreEven)
{
    const std::pair<double, int> margins[] = {{7, 6}, {8, 8}, {0, 0}, {1, 0}, {7.9, 6}, {9.5, 8}};
    for (auto [pixels, even] : margins)
        EXPECT_EQ(EngineRecords::evenMargin(pixels), even) << pixels;

    // Keep 1000 x 600 at (7, 9) from the bottom-left of 1280 x 720.
    const RECT crop = EngineRecords::cropMargins(platform::makeRect(7, 9, 1000, 600), 1280, 720);
    EXPECT_EQ(crop.left, 6);
    EXPECT_EQ(crop.top, 110);   // 720 - 609 = 111
    EXPECT_EQ(crop.right, 272); // 1280 - 1007 = 273
    EXPECT_EQ(crop.bottom, 8);
}

TEST(EngineRecords, TextCopyCutsAtCharacterBoundary)
{
    struct Case
    {
        QString text;
        bool fits;
        std::size_t bytes; // length that arrives
    };
    const QString a258(258, QLatin1Char('a'));
    const Case cases[] = {
        {QString(259, QLatin1Char('a')), true, 259},
        {QString(300, QLatin1Char('a')), false, 259},
        {a258 + QChar(0x00E9), false, 258},                           // é would take bytes 258..259
        {QString(257, QLatin1Char('a')) + QChar(0x4E2D), false, 257}, // 中 would take 257..259
        {QString(256, QLatin1Char('a')) + QChar(0x4E2D), true, 259},  // 中 ends exactly at 258
        {a258 + QString::fromUcs4(U"\U0001F600"), false, 258},        // a 4-byte character
    };
    for (const Case &c : cases) {
        char buf[260];
        std::memset(buf, 0x7F, sizeof buf);
        EXPECT_EQ(EngineRecords::copyText(buf, c.text), c.fits);
        EXPECT_EQ(std::strlen(buf), c.bytes);
        EXPECT_EQ(QString::fromUtf8(buf), QString::fromUtf8(c.text.toUtf8().left(c.bytes)));
        EXPECT_TRUE(QString::fromUtf8(buf).toUtf8() == QByteArray(buf)); // valid UTF-8 survives a round trip
    }
}

TEST(EngineRecords, OverlongPathIsRefusedAndTextIsCut)
{
    const QString longPath = "/tmp/" + QString(295, QLatin1Char('p')); // 300 bytes

    SubtitleParam p;
    p.setSubtitlePath(longPath);
    SUBTITLE_PARAM sub;
    EXPECT_FALSE(EngineRecords::fillSubtitle(sub, p));
    EXPECT_EQ(sub.path[0], '\0');

    auto w = quarterWatermark();
    w->setWaterImagePath(longPath);
    IMAGE_WATERMARK_PARAM image;
    EXPECT_FALSE(EngineRecords::fillImageWatermark(image, *w, 1280, 720, 0, 0));
    EXPECT_EQ(image.path[0], '\0');
    VIDEO_WATERMARK_PARAM video;
    EXPECT_FALSE(EngineRecords::fillVideoWatermark(video, *w, 1280, 720));
    EXPECT_EQ(video.path[0], '\0');

    w->setWaterText(QString(258, QLatin1Char('t')) + QChar(0x4E2D));
    TEXT_WATERMARK_PARAM text;
    EngineRecords::fillTextWatermark(text, *w, 1280, 720, 30, 0, 0);
    EXPECT_EQ(std::string(text.text), std::string(258, 't'));
}

TEST(EngineRecords, VideoStreamFillsSourceDescription)
{
    VIDEO_STREAM_INFO v{};
    v.exist = 1;
    v.index = 0;
    std::strcpy(v.codec, "h264");
    std::strcpy(v.codec_tag, "avc1");
    v.width = 1920;
    v.height = 1080;
    v.fps = 29.97;
    v.bitrate = 1999999;
    v.aspect_ratio = 16.0 / 9;
    v.rotate = 90;
    std::strcpy(v.lang, "und");
    std::memset(v.title, 'x', sizeof v.title); // no terminator: must not read past the field

    FileData d;
    EngineRecords::applyVideoStream(d, v);
    EXPECT_EQ(d.width(), 1920);
    EXPECT_EQ(d.height(), 1080);
    EXPECT_EQ(d.fps(), 29.0);
    EXPECT_EQ(d.bitrate(), 1999);
    EXPECT_EQ(d.angle(), 90);
    EXPECT_EQ(d.exist(), 1);
    EXPECT_EQ(d.metadata_vcodec(), QStringLiteral("h264"));
    EXPECT_EQ(d.metadata_vcodecTag(), QStringLiteral("avc1"));
    EXPECT_EQ(d.metadata_lang(), QStringLiteral("und"));
    EXPECT_EQ(d.metadata_title(), QString(256, QLatin1Char('x')));
    EXPECT_EQ(d.a_bitrate(), 0);
    EXPECT_TRUE(d.a_codec().isNull());

    FileData none;
    VIDEO_STREAM_INFO absent{};
    absent.width = 640; // an absent stream's values are ignored
    EngineRecords::applyVideoStream(none, absent);
    EXPECT_EQ(none.width(), 0);
    EXPECT_TRUE(none.metadata_vcodec().isNull());
}

TEST(EngineRecords, AudioBitRateIsKilobitsInDescriptionAndBitsInStream)
{
    struct Case
    {
        int bitsPerSecond;
        int kilobits;
    };
    for (const Case c : {Case{128000, 128}, Case{999, 0}, Case{192999, 192}}) {
        AUDIO_STREAM_INFO a{};
        a.exist = 1;
        a.index = 2;
        std::strcpy(a.codec, "aac");
        a.samplerate = 48000;
        a.channels = 2;
        a.bitrate = c.bitsPerSecond;
        a.fmt = 8;
        std::strcpy(a.lang, "eng");
        std::strcpy(a.title, "Commentary");
        std::strcpy(a.aspect, "stereo");

        FileData d;
        EngineRecords::applyAudioStream(d, a);
        EXPECT_EQ(d.a_bitrate(), c.kilobits);
        EXPECT_EQ(d.a_samplerate(), 48000);
        EXPECT_EQ(d.a_channel(), 2);
        EXPECT_EQ(d.a_index(), 2);
        EXPECT_EQ(d.a_codec(), QStringLiteral("aac"));
        EXPECT_EQ(d.a_apsect(), QStringLiteral("stereo"));
        EXPECT_EQ(d.width(), 0);

        const auto info = EngineRecords::audioStreamInfo(a);
        EXPECT_EQ(info->bitrate(), c.bitsPerSecond);
        EXPECT_EQ(info->sample(), 48000);
        EXPECT_EQ(info->channel(), 2);
        EXPECT_EQ(info->index(), 2);
        EXPECT_EQ(info->fmt(), 8);
        EXPECT_EQ(info->codec(), QStringLiteral("aac"));
        EXPECT_EQ(info->lang(), QStringLiteral("eng"));
        EXPECT_EQ(info->title(), QStringLiteral("Commentary"));
        EXPECT_EQ(info->psect(), QStringLiteral("stereo"));
    }

    FileData silent;
    AUDIO_STREAM_INFO absent{};
    absent.bitrate = 128000;
    EngineRecords::applyAudioStream(silent, absent);
    EXPECT_EQ(silent.a_bitrate(), 0);
    EXPECT_TRUE(silent.a_codec().isNull());
}

} // namespace
