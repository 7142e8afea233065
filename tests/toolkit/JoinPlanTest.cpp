// What a join asks of the engine: the settings read from the output titles, the pieces of trimmed clips
// with their transitions and volumes, and the engine calls, recorded by the fake engine.
#include "toolkit/JoinPlan.h"

#include "model/FileData.h"
#include "model/SimpleData.h"
#include "platform/UserDefaults.h"
#include "tests/support/RecordingEngine.h"

#include <gtest/gtest.h>

namespace {

using Title = EditorOutputSettings::Title;

struct ClipSpec
{
    const char *name;
    double duration;    // seconds
    double start, stop; // seconds of the marked range
    bool removeRange = false;
    int transition = 0;
    double volume = 1;
};

std::shared_ptr<SimpleData> clip(const ClipSpec &c)
{
    auto data = std::make_shared<SimpleData>();
    data->setPath(QStringLiteral("/m/%1").arg(QLatin1String(c.name)));
    data->setName(QLatin1String(c.name));
    for (bool target : {false, true}) {
        auto record = std::make_shared<FileData>();
        record->setDuration(float(c.duration));
        record->setWidth(640);
        record->setHeight(360);
        target ? data->setTargetData(record) : data->setSourceData(record);
    }
    data->setCutTimeRange_start(qint64(c.start * 1e6));
    data->setCutTimeRange_stop(qint64(c.stop * 1e6));
    data->setIsTrimFanxuan(c.removeRange);
    data->setTransitionEffect(c.transition);
    data->setVolume(c.volume);
    return data;
}

std::vector<std::string> describe(const QList<JoinPlan::Piece> &pieces)
{
    std::vector<std::string> out;
    for (const auto &p : pieces)
        out.push_back(p.path.toStdString() + " " + std::to_string(p.start) + " " + std::to_string(p.stop) +
                      " t" + std::to_string(p.transition) + " " + std::to_string(p.transitionLength) + " v" +
                      RecordingEngine::n(p.volume));
    return out;
}

SourceProbe::Titles titles(std::initializer_list<std::pair<Title, const char *>> values)
{
    SourceProbe::Titles t;
    for (const auto &[title, value] : values)
        t[title] = QString::fromUtf8(value);
    return t;
}

TEST(JoinPlan, TransitionLengthsFollowTheShorterClip)
{
    struct Case
    {
        double first, next, expected;
    } cases[] = {{12, 4.5, 1.5}, {1.2, 9, 0}, {6, 8, 3}, {5.7, 20, 1.9}, {1.5, 1.5, 0}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.first);
        EXPECT_NEAR(JoinPlan::transitionSeconds(c.first, c.next), c.expected, 1e-9);
    }
}

TEST(JoinPlan, PiecesOfKeptAndRemovedRanges)
{
    QStringList skipped;
    // a: kept 0..12 s with a fade into b (4.5 s kept): 1.5 s. b: kept, slide (into c) that is removed-range:
    // T = min(4.5, 10 - 3) = 4.5 -> 1.5 s. c: removes 0..3 s (nothing before) with a transition: 1 s on
    // what remains. d: removes 2 s to its end (nothing after). e: removes all of it: skipped. f: last,
    // its transition is never set.
    const QList<std::shared_ptr<SimpleData>> clips{
        clip({"a", 12, 0, 12, false, MEDIA_TRANSITION_FADE, 0.5}),
        clip({"b", 8, 1, 5.5, false, MEDIA_TRANSITION_SLIDE_LEFT}),
        clip({"c", 10, 0, 3, true, MEDIA_TRANSITION_SLIDE_DOWN, 2}),
        clip({"d", 6, 2, 6, true, MEDIA_TRANSITION_FADE}),
        clip({"e", 4, 0, 4, true}),
        clip({"f", 5, 0, 5, false, MEDIA_TRANSITION_FADE, 0}),
    };
    EXPECT_EQ(describe(JoinPlan::piecesFor(clips, &skipped)),
              (std::vector<std::string>{
                  "/m/a 0 12000000 t3 1500000 v0.5",
                  "/m/b 1000000 5500000 t1 1500000 v1",
                  "/m/c 3000000 10000000 t2 1000000 v2",
                  // The transition of d crosses the skipped e into f.
                  "/m/d 0 2000000 t3 1000000 v1",
                  "/m/f 0 5000000 t0 0 v0",
              }));
    EXPECT_EQ(skipped, QStringList{QStringLiteral("e")});
}

TEST(JoinPlan, RemovedRangeInsideGivesTwoPiecesWithTheTransitionOnTheSecond)
{
    const QList<std::shared_ptr<SimpleData>> clips{clip({"a", 10, 2, 7, true, MEDIA_TRANSITION_FADE}),
                                                   clip({"b", 4, 0, 0})};
    EXPECT_EQ(describe(JoinPlan::piecesFor(clips, nullptr)),
              (std::vector<std::string>{"/m/a 0 2000000 t0 0 v1", "/m/a 7000000 10000000 t3 1000000 v1",
                                        // A stop of 0 is the whole clip.
                                        "/m/b 0 4000000 t0 0 v1"}));
}

TEST(JoinPlan, SettingsFromTitles)
{
    platform::UserDefaults::standard().setValue(QStringLiteral("resolutionSelectCustom-Width"), 800);
    platform::UserDefaults::standard().remove(QStringLiteral("resolutionSelectCustom-Height"));
    auto turned = clip({"r", 5, 0, 5});
    turned->setConvertRateAngle(90);
    turned->targetData()->setBitrate(900);

    const auto all = titles({{Title::VideoCodec, " h264 "},
                             {Title::FrameSize, "1280x720"},
                             {Title::FrameRate, "29.97"},
                             {Title::VideoBitRate, "2000"},
                             {Title::AudioCodec, "aac"},
                             {Title::Channels, "2(Stereo)"},
                             {Title::SampleRate, "44100"},
                             {Title::AudioBitRate, "128"}});
    JoinPlan::Settings s = JoinPlan::settingsFromTitles(all, nullptr);
    EXPECT_EQ(s.videoCodec, QStringLiteral("h264"));
    EXPECT_EQ(s.width, 1280);
    EXPECT_EQ(s.height, 720);
    EXPECT_DOUBLE_EQ(s.fps, 29.97);
    EXPECT_EQ(s.videoBitrate, 2000);
    EXPECT_EQ(s.audioCodec, QStringLiteral("aac"));
    EXPECT_EQ(s.channels, 2);
    EXPECT_EQ(s.sampleRate, 44100);
    EXPECT_EQ(s.audioBitrate, 128);

    // A reference clip turned a quarter swaps the size; its bit rate stands in for an unset one.
    s = JoinPlan::settingsFromTitles(titles({{Title::FrameSize, "1280x720"}, {Title::Channels, "6"}}),
                                     turned.get());
    EXPECT_EQ(s.width, 720);
    EXPECT_EQ(s.height, 1280);
    EXPECT_EQ(s.videoBitrate, 900);
    EXPECT_EQ(s.channels, 6);

    // "Custom" without a reference: the stored width, no height; " " is unset.
    s = JoinPlan::settingsFromTitles(titles({{Title::FrameSize, "Custom"}, {Title::FrameRate, " "}}),
                                     nullptr);
    EXPECT_EQ(s.width, 800);
    EXPECT_EQ(s.height, 0);
    EXPECT_EQ(s.fps, 0);
    EXPECT_TRUE(s.videoCodec.isEmpty());
    EXPECT_TRUE(s.audioCodec.isEmpty());

    // "Keep Original" leaves every title unset: nothing but the source.
    s = JoinPlan::settingsFromTitles(SourceProbe::Titles{}, nullptr);
    EXPECT_EQ(s.width + s.height + s.videoBitrate + s.audioBitrate + s.channels + s.sampleRate, 0);
    platform::UserDefaults::standard().remove(QStringLiteral("resolutionSelectCustom-Width"));
}

class JoinPlanEngineTest : public ::testing::Test
{
protected:
    RecordingEngine::Installed engine;
};

TEST_F(JoinPlanEngineTest, ConfigureMakesTheCallsInOrderAndSendsTheVolumeFactor)
{
    JoinPlan::Settings s;
    s.videoCodec = QStringLiteral("h264");
    s.width = 640;
    s.height = 360;
    const QList<JoinPlan::Piece> pieces{
        {QStringLiteral("a.mp4"), 0, 2000000, 0.5, MEDIA_TRANSITION_FADE, 1000000},
        {QStringLiteral("b.mp4"), 7000000, 0, 1, 0, 0}};
    const ChainedExportJob::SetUp setUp =
        JoinPlan::configure(reinterpret_cast<MEDIA_HANDLE>(1), s, "out.mp4", pieces);
    EXPECT_EQ(setUp.code, MEDIA_OK);
    // The audio bit rate goes even as 0; no audio codec, encode context, rate or bit rate calls.
    EXPECT_EQ(RecordingEngine::recorded(),
              (std::vector<std::string>{"joinAudioBitrate 0", "joinVcodec h264", "joinFrameSize 640 360",
                                        "joinOutput out.mp4", "joinClip a.mp4 0 2000000",
                                        "joinTransition 1 3 1000000", "joinVolume 1 0.5",
                                        "joinClip b.mp4 7000000 0", "joinVolume 2 1"}));
}

TEST_F(JoinPlanEngineTest, DefaultSettingsKeepTheSourceAndStreamCopyAsksForCopy)
{
    const QList<JoinPlan::Piece> pieces{{QStringLiteral("a.mkv"), 0, 1000000}};
    const auto handle = reinterpret_cast<MEDIA_HANDLE>(1);
    EXPECT_EQ(JoinPlan::configure(handle, JoinPlan::Settings{}, "out.mkv", pieces).code, MEDIA_OK);
    EXPECT_EQ(RecordingEngine::recorded(),
              (std::vector<std::string>{"joinAudioBitrate 0", "joinOutput out.mkv",
                                        "joinClip a.mkv 0 1000000", "joinVolume 1 1"}));

    RecordingEngine::reset();
    EXPECT_EQ(JoinPlan::configure(handle, JoinPlan::streamCopy(), "out.mkv", pieces).code, MEDIA_OK);
    EXPECT_EQ(RecordingEngine::only({"joinAcodec", "joinVcodec", "joinFrameSize", "joinFps"}),
              (std::vector<std::string>{"joinAcodec copy", "joinVcodec copy"}));
}

TEST_F(JoinPlanEngineTest, ARefusedClipFailsTheSetUpWithItsCode)
{
    RecordingEngine::addClipResult = 0;
    const QList<JoinPlan::Piece> pieces{{QStringLiteral("bad.mp4"), 0, 0, 1, 0, 0}};
    const ChainedExportJob::SetUp setUp =
        JoinPlan::configure(reinterpret_cast<MEDIA_HANDLE>(1), JoinPlan::Settings{}, "out.mp4", pieces);
    EXPECT_EQ(setUp.code, MEDIA_ERR_INPUT);
    EXPECT_EQ(RecordingEngine::count("joinVolume"), 0);
}

} // namespace
