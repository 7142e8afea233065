#include "editor/EditorExportController.h"
#include "services/LanguageService.h"
#include "controls/NSProgressView.h"
#include "controls/PNQButton.h"
#include "editor/EditorExportHost.h"
#include "toolkit/EditorOutputSettings.h"
#include "model/FileData.h"
#include "model/SimpleData.h"
#include "model/SubtitleParam.h"
#include "model/WaterParam.h"
#include "platform/UserDefaults.h"
#include "profiles/ProfileLibrary.h"
#include "tests/support/RecordingEngine.h"
#include "tests/support/ProbeDecoder.h"
#include "tests/support/ProbeTool.h"
#include "tests/support/SharedFixtures.h"
#include "tests/support/TestEnvironment.h"

#include <QDir>

#include <gtest/gtest.h>

namespace {

struct Alert
{
    QString message;
    int tag;
    bool fromExportEnd;
};

// The window as the controller sees it.
class FakeHost : public EditorExportHost
{
public:
    std::shared_ptr<SimpleData> clip;
    ExportEditState state;
    ExportSources sources;
    bool music = false;
    bool closed = false;
    bool editEnabled = true;
    bool musicEnabled = true;
    bool removeEnabled = true;
    int pauses = 0;
    std::vector<Alert> alerts;
    NSProgressView bar;
    PNQButton button;

    std::shared_ptr<SimpleData> exportClip() const override { return clip; }
    ExportEditState exportEditState() const override { return state; }
    ExportSources exportSources() const override { return sources; }
    bool hasMusic() const override { return music; }
    NSProgressView *exportProgressView() const override { return const_cast<NSProgressView *>(&bar); }
    PNQButton *startExportBtn() const override { return const_cast<PNQButton *>(&button); }
    void pausePreview() override { ++pauses; }
    void enableEdit(bool e) override { editEnabled = e; }
    void enableMusicEdit(bool e) override { musicEnabled = e; }
    void setRemoveOriginalMusicEnabled(bool e) override { removeEnabled = e; }
    void showSimpleAlert(const QString &m, int tag, bool fromEnd) override
    {
        alerts.push_back({m, tag, fromEnd});
    }
    bool isExportHostClosed() const override { return closed; }
};

void clearTitles()
{
    for (int i = 0; i < EditorOutputSettings::TitleCount; ++i)
        platform::UserDefaults::standard().remove(EditorOutputSettings::keyForTitle(
            static_cast<EditorOutputSettings::Title>(i), EditorOutputSettings::KeyFamily::Editor));
}

std::shared_ptr<SimpleData> makeClip(const QString &path, float duration = 60)
{
    auto clip = std::make_shared<SimpleData>();
    clip->setPath(path);
    clip->setName(QStringLiteral("clip.mp4"));
    clip->setSourceData(std::make_shared<FileData>());
    clip->setTargetData(std::make_shared<FileData>());
    clip->sourceData()->setDuration(duration);
    clip->sourceData()->setWidth(160);
    clip->sourceData()->setHeight(90);
    clip->targetData()->setExtension(QStringLiteral("mp4"));
    return clip;
}

void setUpHost(FakeHost &host, const QString &path, const QString &folder)
{
    host.clip = makeClip(path);
    host.sources.outputFolder = folder;
    host.state.startFields = {0, 0, 10, 0};
    host.state.stopFields = {0, 0, 20, 0};
}

QString localized(const char *key)
{
    return LanguageService::localizedStringForKey(QString::fromUtf8(key));
}

} // namespace

TEST(EditorExportController, TrimFieldsGiveMicroseconds)
{
    EXPECT_DOUBLE_EQ(EditorExportController::fieldsToMicroseconds({0, 0, 10, 50}), 10500000.0);
    EXPECT_DOUBLE_EQ(EditorExportController::fieldsToMicroseconds({1, 2, 3, 4}), 3723040000.0);
}

TEST(EditorExportController, InvalidRangeRefusesWithTheTimeAlert)
{
    RecordingEngine::Installed engine;
    FakeHost host;
    setUpHost(host, "/videos/clip.mp4", QString::fromStdString(fixture::freshFolder()));
    host.clip->setCutTimeRange_start(1);
    host.state.stopFields = host.state.startFields;
    host.state.brightness = 50;
    EditorExportController controller(host);
    controller.startExportAction();
    ASSERT_EQ(host.alerts.size(), 1u);
    EXPECT_EQ(host.alerts[0].message, localized("showmessageTime3"));
    EXPECT_EQ(host.alerts[0].tag, 2);
    EXPECT_FALSE(controller.convertstart());
    EXPECT_EQ(host.clip->brightness(), 0) << "nothing is copied from a refused start";
    EXPECT_EQ(host.clip->cutTimeRange_start(), 1);
    EXPECT_TRUE(RecordingEngine::recorded().empty());

    // Deleting the whole clip leaves nothing.
    host.alerts.clear();
    host.state.startFields = {0, 0, 0, 0};
    host.state.stopFields = {0, 1, 0, 0};
    host.state.deleteSection = true;
    controller.startExportAction();
    ASSERT_EQ(host.alerts.size(), 1u);
    EXPECT_EQ(host.alerts[0].message, localized("DeleteWholeClipString")) << "not a time-order message";
    EXPECT_NE(localized("DeleteWholeClipString"), QStringLiteral("DeleteWholeClipString"));
    EXPECT_FALSE(controller.convertstart());
}

TEST(EditorExportController, StartCopiesEditsAndSuccessShowsTheFinishDialogOnce)
{
    RecordingEngine::Installed engine;
    clearTitles();
    FakeHost host;
    setUpHost(host, "/videos/clip.mp4", QString::fromStdString(fixture::freshFolder()));
    host.state.startFields = {0, 0, 10, 50};
    host.state.stopFields = {0, 1, 10, 50};
    host.state.brightness = 12;
    host.state.playerRotateAngle = 90;
    host.state.keepAspectratio = true;
    host.state.selectedEffectTypeIndexs = {3};
    host.state.subtitleParam = std::make_shared<SubtitleParam>();
    host.state.captionColor = QColor(Qt::yellow);
    host.clip->targetData()->setBitrate(2000);
    host.clip->targetData()->setA_bitrate(128);
    RecordingEngine::holdStart = true;
    RecordingEngine::convertProgress = 50;
    EditorExportController controller(host);
    controller.startExportAction();

    EXPECT_TRUE(controller.convertstart());
    EXPECT_EQ(host.button.contentTitle(), localized("CancelexportTitle"));
    EXPECT_FALSE(host.editEnabled);
    EXPECT_FALSE(host.musicEnabled);
    EXPECT_FALSE(host.removeEnabled);
    EXPECT_EQ(host.clip->cutTimeRange_start(), 10500000);
    EXPECT_EQ(host.clip->cutTimeRange_stop(), 70500000);
    EXPECT_EQ(host.clip->brightness(), 12);
    EXPECT_EQ(host.clip->convertRateAngle(), 90);
    EXPECT_TRUE(host.clip->keepAspectratio());
    EXPECT_EQ(host.clip->effectTypes(), QList<int>{3});
    EXPECT_EQ(host.clip->subtitleParam()->fontColor(), QColor(Qt::yellow));
    EXPECT_EQ(host.clip->targetData()->fileSize(), 15960.0f); // 60 s x 2128 kbit/s / 8
    EXPECT_EQ(host.clip->exportPath(), host.sources.outputFolder + "/clip.mp4");

    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return host.bar.progress() > 0.4f; }));
    EXPECT_FLOAT_EQ(host.bar.progress(), 0.5f);
    RecordingEngine::successAfterStop = true; // held only to watch the progress
    RecordingEngine::stop(nullptr);
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return !controller.convertstart(); }));
    ASSERT_EQ(host.alerts.size(), 1u);
    EXPECT_EQ(host.alerts[0].tag, 1);
    EXPECT_TRUE(host.alerts[0].fromExportEnd);
    EXPECT_EQ(host.button.contentTitle(), localized("Start"));
    EXPECT_FLOAT_EQ(host.bar.progress(), 1.0f);
    EXPECT_TRUE(host.editEnabled);
    EXPECT_FALSE(host.musicEnabled) << "no music: its controls stay off";
    EXPECT_EQ(RecordingEngine::count("close"), 1);
    EXPECT_EQ(controller.runningChain(), nullptr);
}

TEST(EditorExportController, FailuresShowOneMessage)
{
    struct Case
    {
        const char *what;
        int startResult;
        int outputResult;
        QString message;
    };
    const std::vector<Case> cases = {
        {"start failure", MEDIA_ERR_ENCODER, MEDIA_OK, "error:-5"},
        {"a start result of 0", 0, MEDIA_OK, "error:0"},
        {"set-up failure", MEDIA_OK, MEDIA_ERR_OUTPUT, "error:-4"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        RecordingEngine::Installed engine;
        clearTitles();
        RecordingEngine::startResults = {c.startResult};
        RecordingEngine::outputResult = c.outputResult;
        FakeHost host;
        setUpHost(host, "/videos/clip.mp4", QString::fromStdString(fixture::freshFolder()));
        EditorExportController controller(host);
        controller.startExportAction();
        ASSERT_TRUE(TestEnvironment::waitUntil([&] { return !controller.convertstart(); }));
        TestEnvironment::processEvents();
        ASSERT_EQ(host.alerts.size(), 1u);
        EXPECT_EQ(host.alerts[0].message, c.message);
        EXPECT_EQ(host.alerts[0].tag, 2);
        EXPECT_EQ(host.button.contentTitle(), localized("Start"));
        EXPECT_TRUE(host.editEnabled);
        EXPECT_EQ(RecordingEngine::count("close"), 1) << "the job is closed on every path";
    }
}

TEST(EditorExportController, CancelShowsNothingAndRestoresAtOnce)
{
    for (const bool deleteSection : {false, true}) {
        SCOPED_TRACE(deleteSection ? "delete-section" : "plain");
        RecordingEngine::Installed engine;
        clearTitles();
        RecordingEngine::holdStart = true;
        FakeHost host;
        host.music = true;
        setUpHost(host, "/videos/clip.mp4", QString::fromStdString(fixture::freshFolder()));
        host.state.deleteSection = deleteSection;
        EditorExportController controller(host);
        controller.startExportAction();
        ASSERT_TRUE(TestEnvironment::waitUntil([] { return RecordingEngine::count("start") == 1; }));
        controller.startExportAction(); // the same button cancels
        EXPECT_FALSE(controller.convertstart());
        EXPECT_EQ(host.button.contentTitle(), localized("Start"));
        EXPECT_TRUE(host.editEnabled);
        EXPECT_TRUE(host.musicEnabled);
        EXPECT_EQ(RecordingEngine::count("stop"), 1);
        // Whether the stopped job reports the stop or success all the same, no dialog and no error follow.
        RecordingEngine::successAfterStop = deleteSection;
        ASSERT_TRUE(TestEnvironment::waitUntil([&] { return controller.runningChain() == nullptr; }));
        TestEnvironment::processEvents();
        EXPECT_TRUE(host.alerts.empty());
        EXPECT_EQ(RecordingEngine::count("start"), 1) << "no later part or join runs";
        EXPECT_EQ(QDir(host.sources.outputFolder).entryList(QDir::Files), QStringList());
    }
}

TEST(EditorExportController, NothingIsShownOnAClosedWindow)
{
    RecordingEngine::Installed engine;
    clearTitles();
    RecordingEngine::holdStart = true;
    FakeHost host;
    setUpHost(host, "/videos/clip.mp4", QString::fromStdString(fixture::freshFolder()));
    EditorExportController controller(host);
    controller.startExportAction();
    ASSERT_TRUE(TestEnvironment::waitUntil([] { return RecordingEngine::count("start") == 1; }));
    host.closed = true;
    RecordingEngine::successAfterStop = true;
    RecordingEngine::stop(nullptr);
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return controller.runningChain() == nullptr; }));
    TestEnvironment::processEvents();
    EXPECT_TRUE(host.alerts.empty());
    EXPECT_EQ(RecordingEngine::count("close"), 1);
}

// ---- with the real engine ----

namespace {

std::string sixtySeconds()
{
    fixture::Spec spec;
    spec.duration = 60;
    return fixture::sharedFixture("sixty.mp4", spec);
}

void runToEnd(FakeHost &host, EditorExportController &controller)
{
    controller.startExportAction();
    ASSERT_TRUE(controller.convertstart());
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return !controller.convertstart(); }, 180000));
    ASSERT_EQ(host.alerts.size(), 1u);
    ASSERT_EQ(host.alerts[0].tag, 1) << host.alerts[0].message.toStdString();
}

} // namespace

TEST(EditorExportController, KeepsTheRangeInTheProfilesFormat)
{
    EditorOutputSettings settings;
    settings.setFunctionItemTitle(QStringLiteral("Video"));
    settings.setViewChildesPf(
        ProfileLibrary::editor().profilePath(QStringLiteral("Video"), QStringLiteral("mp4(H.264)")));
    // The profile's own size is large; a smaller one of its choices keeps the test quick.
    platform::UserDefaults::standard().setValue(QStringLiteral("resolution_SelectTitle"),
                                                QStringLiteral("640x360"));
    FakeHost host;
    setUpHost(host, QString::fromStdString(sixtySeconds()), QString::fromStdString(fixture::freshFolder()));
    EditorExportController controller(host);
    runToEnd(host, controller);

    const fixture::ProbeResult probe = fixture::probe(host.clip->exportPath().toStdString());
    ASSERT_TRUE(probe.ok) << probe.error;
    EXPECT_NE(probe.formatName.find("mp4"), std::string::npos) << probe.formatName;
    EXPECT_NEAR(probe.duration, 10.0, 0.04 + 0.001) << "one frame of the source";
    const auto video = probe.ofType("video");
    const auto audio = probe.ofType("audio");
    ASSERT_EQ(video.size(), 1u);
    ASSERT_EQ(audio.size(), 1u);
    EXPECT_EQ(video[0].codecName, "h264");
    EXPECT_EQ(video[0].width, 640);
    EXPECT_EQ(video[0].height, 360);
    EXPECT_NEAR(video[0].avgFrameRate, 25, 0.01) << "the source's rate: the profile names none for one source";
    EXPECT_EQ(audio[0].codecName, "aac");
    EXPECT_EQ(audio[0].channels, 2);
    EXPECT_EQ(audio[0].sampleRate, 48000);
    // The first frame is the one shown at 10 s.
    const auto indices = fixture::decodeAllFrameIndices(host.clip->exportPath().toStdString());
    ASSERT_FALSE(indices.empty());
    EXPECT_NEAR(indices.front(), 250, 1);
}

TEST(EditorExportController, OnlyTickedTextWatermarksAreDrawn)
{
    clearTitles();
    const std::string source = sixtySeconds();
    const auto exportWith = [&](bool ticked) {
        FakeHost host;
        setUpHost(host, QString::fromStdString(source), QString::fromStdString(fixture::freshFolder()));
        host.state.startFields = {0, 0, 0, 0};
        host.state.stopFields = {0, 0, 2, 0};
        auto text = std::make_shared<WaterParam>();
        text->setWaterType(WaterParam::Text);
        text->setSelected(ticked);
        text->setWaterText(QStringLiteral("█████"));
        text->setWaterFontName(QStringLiteral("DejaVu Sans"));
        text->setWaterFontSize(40);
        text->setWaterFontColor(QColor(255, 0, 0));
        text->setWaterPercentClipRect(platform::Rect{{0.0, 0.3}, {1.0, 0.5}});
        text->setDuration(60);
        host.sources.waterMarkList = {text};
        host.sources.videoSize = {160, 90};
        host.sources.watermarkViewWidth = 160;
        EditorExportController controller(host);
        runToEnd(host, controller);
        return fixture::decodeFrameAt(host.clip->exportPath().toStdString(), 1.0);
    };
    const auto countRed = [](const fixture::Image &image) {
        int red = 0;
        for (int y = 0; y < image.height; ++y)
            for (int x = 0; x < image.width; ++x) {
                const fixture::Rgb p = image.pixel(x, y);
                red += p.r > 180 && p.g < 80 && p.b < 80;
            }
        return red;
    };
    const auto drawn = exportWith(true);
    const auto plain = exportWith(false);
    ASSERT_TRUE(drawn && plain);
    EXPECT_GT(countRed(*drawn), 200);
    EXPECT_EQ(countRed(*plain), 0);
}
