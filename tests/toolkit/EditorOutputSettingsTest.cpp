#include "toolkit/EditorOutputSettings.h"

#include "model/FileData.h"
#include "model/SimpleData.h"
#include "platform/Application.h"
#include "platform/Dispatch.h"
#include "platform/PopUpButton.h"
#include "platform/UserDefaults.h"
#include "platform/Window.h"
#include "profiles/SettingWindowController.h"
#include "tests/support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QPointer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace {

using Title = EditorOutputSettings::Title;

platform::UserDefaults &defaults()
{
    return platform::UserDefaults::standard();
}

QString editorKey(Title title)
{
    return EditorOutputSettings::keyForTitle(title, EditorOutputSettings::KeyFamily::Editor);
}

const QString kProfile =
    QStringLiteral("[Main]\nExtName= \tmp4 "
                   "\n[Parameter]\nvcodec=h264,{h264,hevc}\ns=1280x720,{1920x1080,1280x720}\nr=25,{25,30}\n"
                   "b=2000,{1000,2000}\nacodec=aac,{aac,mp3}\nac=2(Stereo),{1,2(Stereo)}\nar=44100,{44100,"
                   "48000}\nab=128,{96,128}\n");
const QString kKeepOriginal =
    QStringLiteral("[Main]\nExtName=mkv\n[Parameter]\nvcodec=,{h264,hevc}\ns=,{1280x720}\nr=,{25}\nb=,{1000}"
                   "\nacodec=,{aac}\nac=,{1,2(Stereo)}\n"
                   "ar=,{48000}\nab=,{128}\n");
const QString kAudioProfile = QStringLiteral("[Main]\nExtName=mp3\n[Parameter]\nacodec=mp3,{mp3}\nac=1,{1,2("
                                             "Stereo)}\nar=22050,{22050}\nab=64,{64,96}\n");

class EditorOutputSettingsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (int i = 0; i < EditorOutputSettings::TitleCount; ++i)
            defaults().remove(editorKey(static_cast<Title>(i)));
        for (const char *key :
             {"resolutionSelectCustom-Width", "resolutionSelectCustom-Height", "bitSelectCustom-Value"})
            defaults().remove(QString::fromLatin1(key));
        QDir(ProfileLibrary::customFolder()).removeRecursively();

        auto &source = *clip->sourceData();
        source.setWidth(640);
        source.setHeight(360);
        source.setFps(29.97);
        source.setBitrate(900);
        source.setMetadata_vcodec(QStringLiteral("mpeg4"));
        source.setExtension(QStringLiteral("avi"));
        source.setA_codec(QStringLiteral("mp3"));
        source.setA_channel(6);
        source.setA_samplerate(32000);
        source.setA_bitrate(100);
        source.setDuration(60);
        clip->targetData()->setDuration(60);
        settings.fileDataBlock = [this] { return clip; };
    }
    void TearDown() override { QDir(ProfileLibrary::customFolder()).removeRecursively(); }

    QString write(const QString &name, const QString &text)
    {
        const QString path = dir.path() + u'/' + name;
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text.toUtf8());
        return path;
    }

    FileData &target() { return *clip->targetData(); }

    QTemporaryDir dir;
    std::shared_ptr<SimpleData> clip = std::make_shared<SimpleData>();
    EditorOutputSettings settings;
};

TEST_F(EditorOutputSettingsTest, AnEmptyPathAppliesTheDefaultProfile)
{
    settings.setFunctionItemTitle(QStringLiteral("Video"));
    settings.setViewChildesPf(QString());

    EXPECT_EQ(defaults().string(editorKey(Title::ExtName)), QStringLiteral("mkv"));
    EXPECT_EQ(defaults().string(editorKey(Title::VideoCodec)), QStringLiteral("hevc"));
    EXPECT_EQ(settings.vcodecs(), (QStringList{"hevc", "h264", "vp9", "mpeg4"}));
}

TEST_F(EditorOutputSettingsTest, AProfileFillsTitlesKeysAndTargetData)
{
    settings.setFunctionItemTitle(QStringLiteral("Video"));
    settings.setViewChildesPf(write(QStringLiteral("mp4.pf"), kProfile));

    EXPECT_EQ(settings.extNameSelectTitle(), QStringLiteral("mp4")) << "blanks and tabs around it go";
    EXPECT_EQ(settings.resolutions(), (QStringList{"1920x1080", "1280x720"}));
    EXPECT_EQ(defaults().string(editorKey(Title::AudioBitRate)), QStringLiteral("128"));
    EXPECT_EQ(target().width(), 1280);
    EXPECT_EQ(target().height(), 720);
    EXPECT_DOUBLE_EQ(target().fps(), 25);
    EXPECT_EQ(target().bitrate(), 2000);
    EXPECT_EQ(target().metadata_vcodec(), QStringLiteral("h264"));
    EXPECT_EQ(target().extension(), QStringLiteral("mp4"));
    EXPECT_EQ(target().a_codec(), QStringLiteral("aac"));
    EXPECT_EQ(target().a_channel(), 2) << "the number before (Stereo)";
    EXPECT_EQ(target().a_bitrate(), 128);
    EXPECT_EQ(target().a_samplerate(), 0) << "a profile does not set the sample rate";
    EXPECT_FLOAT_EQ(target().fileSize(), 60 * (2000 + 128) * 0.125f);
}

TEST_F(EditorOutputSettingsTest, KeepOriginalRemovesTheEightSettingKeysAndFallsBackToTheSource)
{
    settings.setFunctionItemTitle(QStringLiteral("Video"));
    settings.setViewChildesPf(write(QStringLiteral("mp4.pf"), kProfile));
    settings.setViewChildesPf(write(QStringLiteral("Keep Original.pf"), kKeepOriginal));

    for (int i = 1; i < EditorOutputSettings::TitleCount; ++i)
        EXPECT_FALSE(defaults().contains(editorKey(static_cast<Title>(i))))
            << editorKey(static_cast<Title>(i)).toStdString();
    EXPECT_EQ(defaults().string(editorKey(Title::ExtName)), QStringLiteral("mp4"));
    EXPECT_EQ(target().width(), 640);
    EXPECT_EQ(target().height(), 360);
    EXPECT_EQ(target().fps(), 0);
    EXPECT_EQ(target().bitrate(), 900);
    EXPECT_EQ(target().metadata_vcodec(), QStringLiteral("mpeg4"));
    EXPECT_EQ(target().a_codec(), QStringLiteral("mp3"));
    EXPECT_EQ(target().a_channel(), 6);
    EXPECT_EQ(target().a_bitrate(), 100);
}

TEST_F(EditorOutputSettingsTest, AnAudioProfileLeavesTheVideoPartAlone)
{
    settings.setFunctionItemTitle(QStringLiteral("Video"));
    settings.setViewChildesPf(write(QStringLiteral("mp4.pf"), kProfile));
    settings.setFunctionItemTitle(QStringLiteral("Audio"));
    settings.setViewChildesPf(write(QStringLiteral("mp3.pf"), kAudioProfile));

    EXPECT_EQ(settings.vcodecSelectTitle(), QStringLiteral("h264"));
    EXPECT_EQ(defaults().string(editorKey(Title::FrameSize)), QStringLiteral("1280x720"));
    EXPECT_EQ(target().width(), 1280);
    EXPECT_EQ(defaults().string(editorKey(Title::AudioCodec)), QStringLiteral("mp3"));
    EXPECT_EQ(target().a_channel(), 1);
    EXPECT_FLOAT_EQ(target().fileSize(), 60 * (2000 + 64) * 0.125f);
}

TEST_F(EditorOutputSettingsTest, WithoutAClipOnlyTitlesAndKeysChange)
{
    settings.fileDataBlock = nullptr;
    settings.setFunctionItemTitle(QStringLiteral("Video"));
    settings.setViewChildesPf(write(QStringLiteral("mp4.pf"), kProfile));
    defaults().setValue(editorKey(Title::FrameRate), QStringLiteral("50"));
    settings.settingChanged(4);

    EXPECT_EQ(defaults().string(editorKey(Title::VideoCodec)), QStringLiteral("h264"));
    EXPECT_EQ(settings.framerateSelectTitle(), QStringLiteral("25"))
        << "the callback does nothing without a clip";
    EXPECT_EQ(target().width(), 0);
}

TEST_F(EditorOutputSettingsTest, AChangeMaskUpdatesItsSettingAndTheEstimate)
{
    struct Case
    {
        int mask;
        QList<std::pair<QString, QString>> stored;
        std::function<void(EditorOutputSettings &, FileData &)> check;
    };
    const Case cases[] = {
        {1,
         {{"vcodec_SelectTitle", "vp9"}},
         [](EditorOutputSettings &s, FileData &t) {
             EXPECT_EQ(s.vcodecSelectTitle(), QStringLiteral("vp9"));
             EXPECT_EQ(t.metadata_vcodec(), QStringLiteral("h264")) << "the codec change leaves targetData";
         }},
        {2,
         {{"resolution_SelectTitle", "854x480"}, {"resolutionSelectCustom-Width", "1000.00"}},
         [](EditorOutputSettings &s, FileData &t) {
             EXPECT_EQ(s.resolutionSelectTitle(), QStringLiteral("854x480"));
             EXPECT_EQ(t.width(), 854);
             EXPECT_EQ(t.height(), 480);
             EXPECT_FALSE(defaults().contains(QStringLiteral("resolutionSelectCustom-Width")));
         }},
        {2,
         {{"resolution_SelectTitle", "Custom"}, {"resolutionSelectCustom-Height", "500.00"}},
         [](EditorOutputSettings &s, FileData &t) {
             EXPECT_EQ(s.resolutionSelectTitle(), QStringLiteral("1280x500"))
                 << "no custom width keeps the width";
             EXPECT_EQ(t.width(), 1280);
             EXPECT_EQ(t.height(), 500);
         }},
        {4,
         {{"framerate_SelectTitle", "29.97"}},
         [](EditorOutputSettings &, FileData &t) { EXPECT_DOUBLE_EQ(t.fps(), 29.97); }},
        {4,
         {},
         [](EditorOutputSettings &, FileData &t) { EXPECT_DOUBLE_EQ(t.fps(), 25) << "0 keeps the rate"; }},
        {8,
         {{"bitate_SelectTitle", "Custom"},
          {"bitSelectCustom-Value", "3500.00"},
          {"abitate_SelectTitle", "96"}},
         [](EditorOutputSettings &, FileData &t) {
             EXPECT_EQ(t.bitrate(), 3500);
             EXPECT_FLOAT_EQ(t.fileSize(), 60 * (3500 + 96) * 0.125f);
         }},
        {16,
         {},
         [](EditorOutputSettings &, FileData &t) {
             EXPECT_EQ(t.a_codec(), QStringLiteral("mp3")) << "the source's";
         }},
        {32,
         {{"achannel_SelectTitle", "1"}},
         [](EditorOutputSettings &, FileData &t) { EXPECT_EQ(t.a_channel(), 1); }},
        {64,
         {{"asamplerate_SelectTitle", "48000"}},
         [](EditorOutputSettings &, FileData &t) { EXPECT_EQ(t.a_samplerate(), 48000); }},
        {128,
         {{"bitate_SelectTitle", "1000"}, {"abitate_SelectTitle", "256"}},
         [](EditorOutputSettings &, FileData &t) {
             EXPECT_EQ(t.a_bitrate(), 256);
             EXPECT_EQ(t.bitrate(), 2000) << "the audio change leaves the video rate";
             EXPECT_FLOAT_EQ(t.fileSize(), 60 * (1000 + 256) * 0.125f);
         }},
        {128,
         {{"abitate_SelectTitle", "256"}},
         [](EditorOutputSettings &, FileData &t) {
             EXPECT_FLOAT_EQ(t.fileSize(), 60 * (900 + 256) * 0.125f)
                 << "a kept video rate counts as the source's";
         }},
        {3,
         {{"vcodec_SelectTitle", "vp9"}},
         [](EditorOutputSettings &s, FileData &) {
             EXPECT_EQ(s.vcodecSelectTitle(), QStringLiteral("h264")) << "not a single bit";
         }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.mask);
        SetUp();
        settings.setFunctionItemTitle(QStringLiteral("Video"));
        settings.setViewChildesPf(write(QStringLiteral("mp4.pf"), kProfile));
        for (int i = 1; i < EditorOutputSettings::TitleCount; ++i)
            defaults().remove(editorKey(static_cast<Title>(i)));
        for (const auto &[key, value] : c.stored)
            defaults().setValue(key, value);

        settings.settingChanged(c.mask);
        c.check(settings, target());
    }
}

TEST_F(EditorOutputSettingsTest, TheDefaultButtonRereadsEverySettingOnce)
{
    settings.setFunctionItemTitle(QStringLiteral("Video"));
    settings.setViewChildesPf(write(QStringLiteral("mp4.pf"), kProfile));
    defaults().setValue(editorKey(Title::FrameSize), QStringLiteral("1920x1080"));
    defaults().setValue(editorKey(Title::VideoBitRate), QStringLiteral("4000"));
    defaults().setValue(editorKey(Title::AudioBitRate), QStringLiteral("320"));
    defaults().setValue(editorKey(Title::Channels), QStringLiteral("1"));

    settings.settingsReset();

    EXPECT_EQ(target().width(), 1920);
    EXPECT_EQ(target().bitrate(), 4000);
    EXPECT_EQ(target().a_bitrate(), 320);
    EXPECT_EQ(target().a_channel(), 1);
    EXPECT_FLOAT_EQ(target().fileSize(), 60 * (4000 + 320) * 0.125f);
}

TEST_F(EditorOutputSettingsTest, TheSettingsWindowIsSizedAndCentredByItsContent)
{
    platform::Window editor(platform::Size{1000, 800});
    editor.setFrame(platform::makeRect(100, 50, 1000, 800));
    const struct
    {
        const char *category;
        const char *frameSize;
        double width;
        double height;
    } cases[] = {{"Video", "1280x720", 360, 480}, {"Video", "Custom", 480, 480}, {"Audio", "", 360, 292}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.category);
        defaults().setValue(editorKey(Title::FrameSize), QString::fromLatin1(c.frameSize));
        settings.setFunctionItemTitle(QString::fromLatin1(c.category));
        settings.setFunctionItemChilds({QStringLiteral("Keep Original"), QStringLiteral("mp3")});

        QPointer<SettingWindowController> window = settings.makeSettingWindow(2, &editor);
        ASSERT_TRUE(window);
        EXPECT_EQ(
            window->window()->frame(),
            platform::makeRect(100 + (1000 - c.width) / 2, 50 + (800 - c.height) / 2, c.width, c.height));
        EXPECT_EQ(window->fileType(), QLatin1String(c.category) == QLatin1String("Audio") ? 2 : 1);
        EXPECT_FALSE(window->joinner());
        delete window;
    }
    EXPECT_EQ(settings.makeSettingWindow(3, &editor), nullptr) << "no profile at that position";
}

TEST_F(EditorOutputSettingsTest, TheSettingsWindowOfACustomProfileReadsTheCustomFile)
{
    ASSERT_TRUE(QDir().mkpath(ProfileLibrary::customFolder()));
    const QString mine = ProfileLibrary::customFolder() + QStringLiteral("/Mine.pf");
    QFile file(mine);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(kProfile.toUtf8());
    file.close();
    settings.setFunctionItemTitle(QStringLiteral("Custom"));
    settings.setFunctionItemChilds({QStringLiteral("Mine")});

    QPointer<SettingWindowController> window = settings.makeSettingWindow(1, nullptr);
    ASSERT_TRUE(window);
    EXPECT_EQ(window->pfPath(), mine);
    // The custom file offers h264 and hevc only; the default profile would offer vp9 too.
    const QStringList codecs = window->popUpButton(SettingWindowController::VideoCodec)->itemTitles();
    EXPECT_TRUE(codecs.contains(QStringLiteral("hevc")));
    EXPECT_FALSE(codecs.contains(QStringLiteral("vp9")));
    delete window;
}

TEST_F(EditorOutputSettingsTest, TheSettingsWindowReportsAChoiceIntoTargetData)
{
    settings.setFunctionItemTitle(QStringLiteral("Video"));
    settings.setFunctionItemChilds({QStringLiteral("mp4(H.264)")});
    settings.setViewChildesPf(write(QStringLiteral("mp4.pf"), kProfile));
    ASSERT_EQ(target().a_channel(), 2);

    QPointer<SettingWindowController> window = settings.makeSettingWindow(1, nullptr);
    ASSERT_TRUE(window);
    auto *channels = window->popUpButton(SettingWindowController::Channels);
    const int mono = channels->indexOfItemWithTitle(QStringLiteral("1"));
    ASSERT_GE(mono, 0);
    channels->chooseItemAtIndex(mono);

    EXPECT_EQ(defaults().string(editorKey(Title::Channels)), QStringLiteral("1"));
    EXPECT_EQ(settings.achannelSelectTitle(), QStringLiteral("1"));
    EXPECT_EQ(target().a_channel(), 1);
    delete window;
}

TEST_F(EditorOutputSettingsTest, TheSettingsWindowRunsModallyUntilClosed)
{
    settings.setFunctionItemTitle(QStringLiteral("Video"));
    settings.setFunctionItemChilds({QStringLiteral("mp4(H.264)")});
    bool ran = false;
    // Runs on the modal session's first turn, as a user closing the window.
    platform::dispatchMain([&] {
        auto *modal = platform::Application::shared().modalWindow();
        ran = modal != nullptr;
        if (modal)
            modal->close();
    });
    settings.actionEditsetting(1, nullptr);
    EXPECT_TRUE(ran);
    EXPECT_FALSE(platform::Application::shared().isModal());
    TestEnvironment::processDeferredDeletes();
}

TEST(EditorOutputSettingsKeys, TheJoinersCustomBitRateReadsInKbpsAndEachCallbackEndsWithTheRefresh)
{
    EditorOutputSettings joiner(ProfileLibrary::joiner(), EditorOutputSettings::KeyFamily::Joiner);
    auto clip = std::make_shared<SimpleData>();
    clip->sourceData()->setBitrate(900);
    clip->sourceData()->setDuration(10);
    joiner.clipsBlock = [clip] { return QList<std::shared_ptr<SimpleData>>{clip}; };
    int refreshes = 0;
    joiner.settingsAppliedBlock = [&] { ++refreshes; };
    defaults().setValue(QStringLiteral("bitateSelectTitle"), QStringLiteral("Custom"));
    defaults().setValue(QStringLiteral("abitateSelectTitle"), QStringLiteral("96"));
    defaults().setValue(QStringLiteral("bitSelectCustom-Value"), 2500);

    joiner.settingChanged(8);
    EXPECT_EQ(joiner.titles()[Title::VideoBitRate], QStringLiteral("2500 kbps"));
    EXPECT_EQ(clip->targetData()->bitrate(), 2500);
    EXPECT_EQ(refreshes, 1);

    // The restore pass has no custom branch: the stored title as it stands.
    joiner.settingsReset();
    EXPECT_EQ(joiner.titles()[Title::VideoBitRate], QStringLiteral("Custom"));
    EXPECT_EQ(clip->targetData()->bitrate(), 2500);
    EXPECT_EQ(refreshes, 2);
    for (const char *key : {"bitateSelectTitle", "abitateSelectTitle", "bitSelectCustom-Value"})
        defaults().remove(QString::fromLatin1(key));
}

TEST(EditorOutputSettingsKeys, TheJoinerFamilyWritesItsOwnKeys)
{
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/mp4.pf");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(kProfile.toUtf8());
    file.close();
    defaults().remove(QStringLiteral("vcodec_SelectTitle"));

    EditorOutputSettings joiner(ProfileLibrary::joiner(), EditorOutputSettings::KeyFamily::Joiner);
    joiner.setViewChildesPf(path);

    EXPECT_EQ(defaults().string(QStringLiteral("extNameSelectTitle")), QStringLiteral("mp4"));
    EXPECT_EQ(defaults().string(QStringLiteral("vcodecSelectTitle")), QStringLiteral("h264"));
    EXPECT_FALSE(defaults().contains(QStringLiteral("vcodec_SelectTitle")));
}

} // namespace
