#include "model/AudioStreamInfo.h"
#include "model/MusicInfo.h"
#include "model/PNQPosition.h"
#include "model/SimpleData.h"
#include "platform/Log.h"
#include "platform/UserDefaults.h"

#include <gtest/gtest.h>

namespace {

TEST(SimpleData, NewClipHasDefaults)
{
    SimpleData clip;
    EXPECT_EQ(clip.volume(), 1.0);
    EXPECT_TRUE(clip.selected());
    EXPECT_EQ(clip.transitionEffect(), 0);
    EXPECT_EQ(clip.cutTimeRange_start(), 0);
    EXPECT_EQ(clip.cutTimeRange_stop(), 0);
    EXPECT_TRUE(clip.clipRect().isZero());
    const RECT crop = clip.convertCropSize();
    EXPECT_EQ(crop.left | crop.top | crop.right | crop.bottom, 0);
    EXPECT_TRUE(clip.path().isNull());
    EXPECT_TRUE(clip.audioStreamInfos().isEmpty());

    ASSERT_TRUE(clip.sourceData() && clip.targetData());
    EXPECT_NE(clip.sourceData(), clip.targetData());
    EXPECT_EQ(clip.sourceData()->width(), 0);
    EXPECT_EQ(clip.sourceData()->a_bitrate(), 0);
    EXPECT_TRUE(clip.sourceData()->a_codec().isNull());

    ASSERT_TRUE(clip.waterParam() && clip.subtitleParam());
    EXPECT_EQ(clip.waterParam()->waterType(), WaterParam::None);
    EXPECT_EQ(clip.subtitleParam()->positon(), -1);
}

TEST(SimpleData, DestructionLogsEveryRecordItOwns)
{
    platform::LogCapture capture;
    {
        SimpleData clip;
        clip.setAudioStreamInfos({std::make_shared<AudioStreamInfo>()});
    }
    int fileData = 0;
    for (const std::string &line : capture.lines())
        fileData += line.find("~FileData") != std::string::npos;
    EXPECT_TRUE(capture.containsText("~SimpleData"));
    EXPECT_EQ(fileData, 2);
    EXPECT_TRUE(capture.containsText("~WaterParam"));
    EXPECT_TRUE(capture.containsText("~SubtitleParam"));
    EXPECT_TRUE(capture.containsText("~AudioStreamInfo"));
}

TEST(AudioStreamInfo, StringsStartEmptyNotNull)
{
    AudioStreamInfo info;
    for (const QString &s : {info.lang(), info.title(), info.psect(), info.codec()}) {
        EXPECT_TRUE(s.isEmpty());
        EXPECT_FALSE(s.isNull());
    }
    EXPECT_EQ(info.bitrate() | info.channel() | info.sample() | info.index() | info.exist() | info.fmt(), 0);
}

TEST(SubtitleParam, DefaultsAndCopyCarriesAllNine)
{
    SubtitleParam p;
    EXPECT_EQ(p.fontSize(), 30);
    EXPECT_EQ(p.fontColor(), QColor::fromRgbF(1.0f, 1.0f, 1.0f, 1.0f));
    EXPECT_EQ(p.subtitleAlph(), 1.0);
    EXPECT_EQ(p.shadow(), 1);
    EXPECT_EQ(p.positon(), -1);
    EXPECT_TRUE(p.subtitlePath().isNull());

    p.setSubtitleAlph(0.25);
    p.setShadow(0);
    p.setPositon(40);
    p.setSubtitlePath("/tmp/a.srt");
    p.setFontPath("/library/fonts/x.ttf");
    p.setFontColor(QColor(1, 2, 3));
    p.setFontSize(44);
    p.setFontPathList({"x.ttf", "y.ttf"});
    p.setFontSelectIndex(1);

    const auto c = p.copy();
    EXPECT_EQ(c->subtitleAlph(), 0.25);
    EXPECT_EQ(c->shadow(), 0);
    EXPECT_EQ(c->positon(), 40);
    EXPECT_EQ(c->subtitlePath(), p.subtitlePath());
    EXPECT_EQ(c->fontPath(), p.fontPath());
    EXPECT_EQ(c->fontColor(), p.fontColor());
    EXPECT_EQ(c->fontSize(), 44);
    EXPECT_EQ(c->fontPathList(), p.fontPathList());
    EXPECT_EQ(c->fontSelectIndex(), 1);
}

TEST(WaterParam, DefaultsAreNoneBlueThirty)
{
    WaterParam w;
    EXPECT_EQ(w.waterType(), WaterParam::None);
    EXPECT_EQ(w.waterAlph(), 0);
    EXPECT_EQ(w.waterFontSize(), 30.0f);
    EXPECT_EQ(w.waterFontColor(), QColor::fromRgbF(0.0f, 0.0f, 1.0f, 1.0f));
    EXPECT_TRUE(w.waterPercentClipRect().isZero());
    EXPECT_FALSE(w.selected());
}

TEST(WaterParam, FontFollowsTheInterfaceLanguage)
{
    auto &defaults = platform::UserDefaults::standard();
    defaults.setValue("AppLanguage", 0);
    EXPECT_EQ(WaterParam().waterFontName(), QStringLiteral(".AppleSystemUIFont"));
    defaults.setValue("AppLanguage", 8);
    EXPECT_EQ(WaterParam().waterFontName(), QStringLiteral("Muna"));
    defaults.remove("AppLanguage");
}

TEST(WaterParam, CopyCarriesTenPropertiesAndResetsTheRest)
{
    WaterParam w;
    w.setWaterAlph(55);
    w.setWaterImagePath("/tmp/logo.png");
    w.setWaterRect(platform::makeRect(1, 2, 3, 4));
    w.setWaterText("hello");
    w.setWaterType(WaterParam::Text);
    w.setWaterPercentClipRect(platform::makeRect(0.1, 0.2, 0.3, 0.4));
    w.setWaterFontName("DejaVu Sans");
    w.setWaterFontSize(18);
    w.setWaterFontColor(QColor(Qt::green));
    w.setWaterViewFrameWidth(640);
    // Not carried:
    w.setWaterImage(QImage(4, 4, QImage::Format_ARGB32));
    w.setSelected(true);
    w.setIsVideo(true);
    w.setKeepaspectRatio(true);
    w.setFileDuration(9);
    w.setFileStartTime(1);
    w.setFileEndTime(2);
    w.setStartTime(3);
    w.setDuration(4);

    const auto c = w.copy();
    EXPECT_EQ(c->waterAlph(), 55);
    EXPECT_EQ(c->waterImagePath(), w.waterImagePath());
    EXPECT_EQ(c->waterRect(), w.waterRect());
    EXPECT_EQ(c->waterText(), w.waterText());
    EXPECT_EQ(c->waterType(), WaterParam::Text);
    EXPECT_EQ(c->waterPercentClipRect(), w.waterPercentClipRect());
    EXPECT_EQ(c->waterFontName(), w.waterFontName());
    EXPECT_EQ(c->waterFontSize(), 18.0f);
    EXPECT_EQ(c->waterFontColor(), QColor(Qt::green));
    EXPECT_EQ(c->waterViewFrameWidth(), 640.0f);

    EXPECT_TRUE(c->waterImage().isNull());
    EXPECT_FALSE(c->selected());
    EXPECT_FALSE(c->isVideo());
    EXPECT_FALSE(c->keepaspectRatio());
    for (float t : {c->fileDuration(), c->fileStartTime(), c->fileEndTime(), c->startTime(), c->duration()})
        EXPECT_EQ(t, 0.0f);
}

TEST(MusicInfo, StartsSilentAndUnplaced)
{
    MusicInfo m;
    for (float v :
         {m.duration(), m.pruneStart(), m.pruneDiration(), m.positionStart(), m.positionEnd(), m.volume()})
        EXPECT_EQ(v, 0.0f);
    EXPECT_FALSE(m.fadeIn() || m.fadeOut() || m.repeat() || m.prune() || m.selected());
}

TEST(PNQPosition, StoresInsetsInOrder)
{
    const PNQPosition p(1, 2, 3, 4);
    EXPECT_EQ(p.top(), 1);
    EXPECT_EQ(p.left(), 2);
    EXPECT_EQ(p.bottom(), 3);
    EXPECT_EQ(p.right(), 4);
}

} // namespace
