#include "editor/ClipExportJob.h"
#include "model/AudioStreamInfo.h"
#include "model/FileData.h"
#include "model/MusicInfo.h"
#include "model/SimpleData.h"
#include "model/SubtitleParam.h"
#include "model/WaterParam.h"
#include "platform/UserDefaults.h"
#include "tests/support/RecordingEngine.h"
#include "tests/support/SharedFixtures.h"
#include "toolkit/EditorOutputSettings.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>

namespace {

using Lines = std::vector<std::string>;
const MEDIA_HANDLE kJob = reinterpret_cast<MEDIA_HANDLE>(intptr_t(77));

std::shared_ptr<SimpleData> makeClip(const QString &name = QStringLiteral("clip.mov"))
{
    auto clip = std::make_shared<SimpleData>();
    clip->setName(name);
    clip->setPath(QStringLiteral("/videos/") + name);
    clip->setSourceData(std::make_shared<FileData>());
    clip->setTargetData(std::make_shared<FileData>());
    clip->sourceData()->setWidth(1920);
    clip->sourceData()->setHeight(1080);
    clip->sourceData()->setDuration(60);
    clip->targetData()->setWidth(1920);
    clip->targetData()->setHeight(1080);
    clip->targetData()->setExtension(QStringLiteral("mp4"));
    return clip;
}

// Writes the nine editor titles (absent where the map has none) and the custom numbers.
void storeTitles(const std::map<EditorOutputSettings::Title, QString> &titles,
                 const std::map<QString, QString> &extra = {})
{
    auto &d = platform::UserDefaults::standard();
    for (int i = 0; i < EditorOutputSettings::TitleCount; ++i) {
        const auto title = static_cast<EditorOutputSettings::Title>(i);
        const QString key = EditorOutputSettings::keyForTitle(title, EditorOutputSettings::KeyFamily::Editor);
        if (titles.count(title))
            d.setValue(key, titles.at(title));
        else
            d.remove(key);
    }
    for (const char *key :
         {"resolutionSelectCustom-Width", "resolutionSelectCustom-Height", "bitSelectCustom-Value"})
        d.remove(QLatin1String(key));
    for (const auto &[key, value] : extra)
        d.setValue(key, value);
}

ChainedExportJob::SetUp configure(const ExportSources &sources, const QString &output = "/out/clip.mp4")
{
    return ClipExportJob(sources).configure(kJob, output);
}

const Lines kSettingCalls = {"vcodec", "frameSize",    "videoBitrate",  "fps",
                             "acodec", "audioBitrate", "encodeContext", "rotate"};

} // namespace

TEST(ClipExportJob, OutputSettingsBecomeEngineArguments)
{
    using T = EditorOutputSettings::Title;
    struct Case
    {
        const char *what;
        std::map<T, QString> titles;
        std::map<QString, QString> extra;
        bool keepAspect;
        int rotation;
        Lines expected;
    };
    const std::vector<Case> cases = {
        {"fixed size, codecs trimmed, numbers read",
         {{T::VideoCodec, " h264 "},
          {T::FrameSize, "1280x720"},
          {T::FrameRate, "29.97"},
          {T::VideoBitRate, "2000"},
          {T::AudioCodec, "aac"},
          {T::Channels, "2(Stereo)"},
          {T::SampleRate, "44100"},
          {T::AudioBitRate, "128"}},
         {},
         false,
         0,
         {"vcodec h264", "frameSize 1280 720", "videoBitrate 2000", "fps 29.97", "acodec aac",
          "audioBitrate 128", "encodeContext 2 44100", "rotate 0"}},
        {"keep-aspect forces no size", {{T::FrameSize, "1280x720"}}, {}, true, 0, {"rotate 0"}},
        {"custom size keeps the target where the custom number is 0",
         {{T::FrameSize, "Custom"}},
         {{"resolutionSelectCustom-Width", "0.00"}, {"resolutionSelectCustom-Height", "480.00"}},
         false,
         0,
         {"frameSize 1920 480", "rotate 0"}},
        {"custom video bit rate",
         {{T::VideoBitRate, "Custom"}},
         {{"bitSelectCustom-Value", "2500.00"}},
         false,
         0,
         {"videoBitrate 2500", "rotate 0"}},
        {"a quarter turn swaps the size",
         {{T::FrameSize, "1280x720"}},
         {},
         false,
         90,
         {"frameSize 720 1280", "rotate 90"}},
        {"channels alone", {{T::Channels, "2(Stereo)"}}, {}, false, 0, {"encodeContext 2 0", "rotate 0"}},
        {"absent and blank titles make no call",
         {{T::VideoCodec, " "}, {T::Channels, ""}},
         {},
         false,
         0,
         {"rotate 0"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        RecordingEngine::Installed engine;
        storeTitles(c.titles, c.extra);
        ExportSources sources;
        sources.clip = makeClip();
        sources.clip->setKeepAspectratio(c.keepAspect);
        sources.clip->setConvertRateAngle(c.rotation);
        EXPECT_EQ(configure(sources).code, MEDIA_OK);
        EXPECT_EQ(RecordingEngine::only(kSettingCalls), c.expected);
    }
}

TEST(ClipExportJob, EditsOfTheClipReachTheEngineInOrder)
{
    RecordingEngine::Installed engine;
    storeTitles({});
    ExportSources sources;
    sources.clip = makeClip();
    SimpleData &clip = *sources.clip;
    auto stream = std::make_shared<AudioStreamInfo>();
    stream->setIndex(3);
    clip.setAudioStreamInfos({std::make_shared<AudioStreamInfo>(), stream});
    sources.audioItemIndex = 1;
    sources.mainAudioVolume = 0.5;
    clip.setEffectTypes({2, 7});
    clip.setBrightness(10);
    clip.setContrast(-5);
    clip.setSaturation(20);
    clip.setCutTimeRange_start(10000000);
    clip.setCutTimeRange_stop(20000000);
    clip.setClipRect(platform::Rect{{10, 10}, {100, 100}});
    clip.setConvertCropSize(RECT{2, 4, 6, 8});
    clip.setHFlip(1);
    clip.setConvertRateAngle(270);
    clip.sourceData()->setAngle(90);
    // The subtitle file must exist when the export starts.
    QTemporaryDir subs;
    const QString srt = subs.filePath(QStringLiteral("a.srt"));
    QFile srtFile(srt);
    ASSERT_TRUE(srtFile.open(QIODevice::WriteOnly));
    srtFile.write("1\n00:00:00,500 --> 00:00:01,500\nHi\n");
    srtFile.close();
    auto subtitle = std::make_shared<SubtitleParam>();
    subtitle->setSubtitlePath(srt);
    subtitle->setFontColor(QColor()); // never chosen
    clip.setSubtitleParam(subtitle);

    ASSERT_EQ(configure(sources).code, MEDIA_OK);
    const Lines expected = {"input /videos/clip.mov", "audioIndex 3", "mainVolume 0.5",
                            // white, as the preview shows a subtitle never coloured
                            "subtitle " + srt.toStdString() + " 4294967040 4294967040", "effect 2",
                            "effect 7", "bcs 10 -5 20", "cut 10000000 20000000", "crop 2 4 6 8", "hflip 1",
                            "vflip 0", "rotate 360", "textCallback", "output /out/clip.mp4"};
    EXPECT_EQ(RecordingEngine::only({"input", "audioIndex", "mainVolume", "subtitle", "effect", "bcs", "cut",
                                     "crop", "hflip", "vflip", "rotate", "textCallback", "output"}),
              expected);
}

TEST(ClipExportJob, AudioStreamChoiceAndMissingRange)
{
    RecordingEngine::Installed engine;
    storeTitles({});
    ExportSources sources;
    sources.clip = makeClip();
    sources.audioItemIndex = -1; // the pop-up has no item and the clip no stream list
    ASSERT_EQ(configure(sources).code, MEDIA_OK);
    EXPECT_EQ(RecordingEngine::only({"audioIndex", "cut", "crop"}), Lines{"audioIndex -1"});

    RecordingEngine::reset();
    sources.clip->setAudioStreamInfos({std::make_shared<AudioStreamInfo>()});
    ASSERT_EQ(configure(sources).code, MEDIA_OK);
    EXPECT_EQ(RecordingEngine::count("audioIndex"), 0) << "an index past the list keeps the engine's default";
}

TEST(ClipExportJob, MusicArithmetic)
{
    struct Case
    {
        const char *what;
        float positionStart, positionEnd, pruneStart, pruneDuration, duration;
        bool repeat, prune, fadeIn, fadeOut;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"a shorter part without repeat ends early", 10, 70, 0, 20, 20, false, false, false, false,
         "music /m.mp3 0 20000000 10000000 30000000 0 0 0.5"},
        {"repeat fills the span", 10, 70, 0, 20, 20, true, false, true, false,
         "music /m.mp3 0 20000000 10000000 70000000 1000000 0 0.5"},
        {"pruned part", 0, 30, 5, 10, 40, true, true, false, true,
         "music /m.mp3 5000000 15000000 0 30000000 0 1000000 0.5"},
        {"unpruned source is the shorter of span and file", 0, 30, 0, 40, 25, false, false, false, false,
         "music /m.mp3 0 25000000 0 30000000 0 0 0.5"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        RecordingEngine::Installed engine;
        auto m = std::make_shared<MusicInfo>();
        m->setPath(QStringLiteral("/m.mp3"));
        m->setPositionStart(c.positionStart);
        m->setPositionEnd(c.positionEnd);
        m->setPruneStart(c.pruneStart);
        m->setPruneDiration(c.pruneDuration);
        m->setDuration(c.duration);
        m->setRepeat(c.repeat);
        m->setPrune(c.prune);
        m->setFadeIn(c.fadeIn);
        m->setFadeOut(c.fadeOut);
        m->setVolume(0.5f);
        ExportSources sources;
        sources.clip = makeClip();
        sources.musicSelecteds = {m};
        EXPECT_EQ(ClipExportJob(sources).addDubbingMusic(kJob), MEDIA_OK);
        EXPECT_EQ(RecordingEngine::only({"music"}), Lines{c.expected});
    }
}

TEST(ClipExportJob, MusicResultsAndOwnAudio)
{
    RecordingEngine::Installed engine;
    ExportSources sources;
    sources.clip = makeClip();
    sources.removeOriginalAudio = true;
    // No tracks: 1, and the clip's own audio is still dropped.
    EXPECT_EQ(ClipExportJob(sources).addDubbingMusic(kJob), 1);
    EXPECT_EQ(RecordingEngine::recorded(), Lines{"disableMainAudio"});

    RecordingEngine::reset();
    for (int i = 0; i < 2; ++i) {
        auto m = std::make_shared<MusicInfo>();
        m->setPath(QStringLiteral("/bad.mp3"));
        sources.musicSelecteds.push_back(m);
    }
    RecordingEngine::musicResult = MEDIA_ERR_INPUT;
    EXPECT_EQ(ClipExportJob(sources).addDubbingMusic(kJob), MEDIA_ERR_INPUT);
    EXPECT_EQ(RecordingEngine::count("music"), 1) << "a refused track ends the loop";
    EXPECT_EQ(RecordingEngine::count("disableMainAudio"), 1);

    // Through the set-up: the refusal is reported with its message and no output is set.
    RecordingEngine::reset();
    RecordingEngine::musicResult = MEDIA_ERR_INPUT;
    storeTitles({});
    const auto setUp = configure(sources);
    EXPECT_LE(setUp.code, 0);
    EXPECT_EQ(setUp.message, LanguageService::localizedStringForKey("showmessageTime7"));
    EXPECT_EQ(RecordingEngine::count("output"), 0);
}

TEST(ClipExportJob, OnlyTickedWatermarksEachOnceWithTheirOwnTimes)
{
    RecordingEngine::Installed engine;
    storeTitles({});
    const QString waterFolder = QString::fromStdString(fixture::freshFolder()) + "/Water";
    const auto item = [](qint64 kind, bool ticked) {
        auto w = std::make_shared<WaterParam>();
        w->setWaterType(kind);
        w->setSelected(ticked);
        w->setWaterPercentClipRect(platform::Rect{{0.125, 0.125}, {0.25, 0.5}});
        w->setStartTime(5);
        w->setDuration(10);
        return w;
    };
    auto text = item(WaterParam::Text, true);
    text->setWaterText(QStringLiteral("Hello"));
    text->setWaterFontSize(30);
    text->setWaterFontColor(QColor()); // none chosen
    auto unticked = item(WaterParam::File, false);
    unticked->setWaterImagePath(QStringLiteral("/pics/unticked.png"));
    auto picture = item(WaterParam::File, true);
    picture->setWaterImagePath(QStringLiteral("/pics/logo.png"));
    auto rendered = item(WaterParam::Text, true);
    QImage image(20, 10, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::red);
    rendered->setWaterImage(image);

    ExportSources sources;
    sources.clip = makeClip();
    sources.clip->setCutTimeRange_start(1000000);
    sources.clip->setCutTimeRange_stop(2000000);
    sources.waterMarkList = {text, unticked, picture, rendered};
    sources.videoSize = {1920, 1080};
    sources.watermarkViewWidth = 480; // the preview shows the picture at a quarter
    sources.waterFolder = waterFolder;
    ASSERT_EQ(configure(sources).code, MEDIA_OK);

    const QString renderedPath = waterFolder + "/waterImage_3.png";
    const Lines expected = {
        "textCallback",
        "text Hello 240 135 720 675 120 4294967040 5000000 15000000",
        "image /pics/logo.png 240 405 720 945 5000000 15000000",
        "image " + renderedPath.toStdString() + " 240 405 720 945 5000000 15000000",
    };
    EXPECT_EQ(RecordingEngine::only({"textCallback", "text", "image", "video"}), expected);
    EXPECT_EQ(text->waterFontColor(), QColor(Qt::white)) << "the item keeps the white it was sent with";
    EXPECT_EQ(rendered->waterImagePath(), renderedPath);
    EXPECT_EQ(QImage(renderedPath).size(), QSize(20, 10));
}

TEST(ClipExportJob, ATextPictureThatCannotBeWrittenFailsTheExportInsteadOfAnOldOne)
{
    RecordingEngine::Installed engine;
    storeTitles({});
    // The folder's place is taken by a file, where a stale picture of an earlier run "is".
    const QString blocked = QString::fromStdString(fixture::freshFolder()) + "/Water";
    QFile file(blocked);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    auto rendered = std::make_shared<WaterParam>();
    rendered->setWaterType(WaterParam::Text);
    rendered->setSelected(true);
    rendered->setWaterPercentClipRect(platform::Rect{{0.1, 0.1}, {0.2, 0.2}});
    QImage image(20, 10, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::red);
    rendered->setWaterImage(image);
    rendered->setWaterImagePath(blocked + "/waterImage_0.png");

    ExportSources sources;
    sources.clip = makeClip();
    sources.waterMarkList = {rendered};
    sources.videoSize = {1920, 1080};
    sources.waterFolder = blocked;
    const auto setUp = configure(sources);
    EXPECT_EQ(setUp.code, MEDIA_ERR_OUTPUT);
    EXPECT_EQ(setUp.message, LanguageService::localizedStringForKey("WatermarkSaveFailedString"));
    EXPECT_NE(setUp.message, QStringLiteral("WatermarkSaveFailedString")) << "the key has a text";
    EXPECT_TRUE(RecordingEngine::only({"image", "output"}).empty()) << "nothing burnt in, no output set";
}

TEST(ClipExportJob, RefusedInputOrOutputEndsTheSetUpWithItsCode)
{
    RecordingEngine::Installed engine;
    storeTitles({});
    ExportSources sources;
    sources.clip = makeClip();
    RecordingEngine::inputResult = MEDIA_ERR_INPUT;
    EXPECT_EQ(configure(sources).code, MEDIA_ERR_INPUT);
    EXPECT_EQ(RecordingEngine::recorded(), Lines{"input /videos/clip.mov"});

    RecordingEngine::reset();
    RecordingEngine::outputResult = MEDIA_ERR_OUTPUT;
    EXPECT_EQ(configure(sources).code, MEDIA_ERR_OUTPUT);
}

TEST(ClipExportJob, OutputNameSkipsTakenNames)
{
    ExportSources sources;
    sources.clip = makeClip(QStringLiteral("clip.mov"));
    sources.outputFolder = QString::fromStdString(fixture::freshFolder());
    const ClipExportJob job(sources);
    const QString folder = sources.outputFolder;
    for (const char *expected : {"clip.mp4", "clip(2).mp4", "clip(3).mp4"}) {
        const QString path = job.outputPath();
        EXPECT_EQ(path.toStdString(), (folder + "/" + expected).toStdString());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
}
