// A shipped profile picks a container and codecs: converting one source keeps its picture size and rate
// (the settings window shows "Keep original") with a bit rate scaled to it, a join never outgrows its
// largest clip, and what the user picks or saved is used as it stands.
#include "toolkit/EditorOutputSettings.h"

#include "model/FileData.h"
#include "model/SimpleData.h"
#include "platform/PopUpButton.h"
#include "platform/UserDefaults.h"
#include "profiles/SettingWindowController.h"
#include "services/LanguageService.h"
#include "toolkit/SourceProbe.h"
#include "tests/support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QPointer>

#include <gtest/gtest.h>

#include <map>
#include <memory>

namespace {

using Title = EditorOutputSettings::Title;
using Family = EditorOutputSettings::KeyFamily;
using Setting = SettingWindowController::Setting;

platform::UserDefaults &defaults()
{
    return platform::UserDefaults::standard();
}

QString key(Title title, Family family = Family::Editor)
{
    return EditorOutputSettings::keyForTitle(title, family);
}

std::shared_ptr<SimpleData> clipOf(int width, int height)
{
    auto clip = std::make_shared<SimpleData>();
    for (FileData *data : {clip->sourceData().get(), clip->targetData().get()}) {
        data->setWidth(width);
        data->setHeight(height);
        data->setDuration(10);
    }
    clip->sourceData()->setExist(1);
    clip->sourceData()->setFps(25);
    clip->sourceData()->setBitrate(1200);
    return clip;
}

void writeCustomProfile(const QString &name, const QByteArray &text)
{
    ASSERT_TRUE(QDir().mkpath(ProfileLibrary::customFolder()));
    QFile file(ProfileLibrary::customFolder() + u'/' + name + QStringLiteral(".pf"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
}

const QByteArray kCustomHd = "[Main]\nExtName=mp4\n[Parameter]\nvcodec=h264,{h264}\ns=1920x1080,{1920x1080,1280x720}\n"
                             "r=30,{25,30}\nb=5000,{1000,5000}\nacodec=aac,{aac}\nac=2,{2}\nar=48000,{48000}\nab=128,{128}\n";

class OutputSettingsKeepSourceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (Family family : {Family::Editor, Family::Joiner})
            for (int i = 0; i < EditorOutputSettings::TitleCount; ++i)
                defaults().remove(key(Title(i), family));
        QDir(ProfileLibrary::customFolder()).removeRecursively();
    }
    void TearDown() override
    {
        QDir(ProfileLibrary::customFolder()).removeRecursively();
        TestEnvironment::processDeferredDeletes();
    }

    // Chooses `name` of `category` as the format chooser does.
    static void apply(EditorOutputSettings &settings, const ProfileLibrary &library, const QString &category,
                      const QString &name)
    {
        settings.setFunctionItemTitle(category);
        settings.setFunctionItemChilds(library.getFunctionItemChildList(category));
        settings.setViewChildesPf(library.profilePath(category, name));
    }
};

// The bit rate each shipped video profile gives a 1280x720 source: its own figure scaled from its own
// frame size (1080p for most, 720p for avi, flv and wmv, 576 lines for mpg) to nearest choice.
const std::map<QString, QString> kBitRateFor720p = {
    {"avi(MPEG-4)", "4000"}, {"flv", "2500"},          {"mkv(H.264)", "2000"},  {"mkv(HEVC)", "1500"},
    {"mov(H.264)", "2000"},  {"mp4(H.264)", "2000"},   {"mp4(HEVC)", "1500"},   {"mpg(MPEG-2)", "15000"},
    {"webm(VP9)", "1500"},   {"wmv", "4000"},
};

TEST_F(OutputSettingsKeepSourceTest, EveryShippedVideoProfileKeepsA720pSourceAndScalesItsBitRate)
{
    const ProfileLibrary library = ProfileLibrary::editor();
    const QStringList names = library.getFunctionItemChildList(QStringLiteral("Video"));
    ASSERT_GT(names.size(), 1);
    const QString keep = LanguageService::localizedStringForKey("Keep_OriginalStringValue");
    for (const QString &name : names) {
        if (name == QLatin1String(ProfileLibrary::KeepOriginal))
            continue;
        SCOPED_TRACE(name.toStdString());
        ASSERT_TRUE(kBitRateFor720p.count(name)) << "a shipped profile without an expected bit rate";
        const QString bitRate = kBitRateFor720p.at(name);
        SetUp();
        auto clip = clipOf(1280, 720);
        EditorOutputSettings settings;
        settings.fileDataBlock = [clip] { return clip; };
        apply(settings, library, QStringLiteral("Video"), name);

        EXPECT_TRUE(settings.resolutionSelectTitle().isEmpty());
        EXPECT_TRUE(settings.framerateSelectTitle().isEmpty());
        EXPECT_FALSE(defaults().contains(key(Title::FrameSize)));
        EXPECT_FALSE(defaults().contains(key(Title::FrameRate)));
        EXPECT_EQ(defaults().string(key(Title::VideoBitRate)), bitRate);
        EXPECT_FALSE(defaults().string(key(Title::VideoCodec)).isEmpty()) << "the codec is the profile's";
        const FileData &target = *clip->targetData();
        EXPECT_EQ(QSize(target.width(), target.height()), QSize(1280, 720));
        EXPECT_EQ(target.fps(), 0) << "kept";
        EXPECT_EQ(QString::number(target.bitrate()), bitRate);

        QPointer<SettingWindowController> window =
            settings.makeSettingWindow(settings.functionItemChilds().indexOf(name) + 1, nullptr);
        ASSERT_TRUE(window);
        auto *size = window->popUpButton(Setting::FrameSize);
        auto *rate = window->popUpButton(Setting::FrameRate);
        EXPECT_EQ(size->indexOfSelectedItem(), 0);
        EXPECT_EQ(size->titleOfSelectedItem(), keep);
        EXPECT_EQ(rate->titleOfSelectedItem(), keep);
        EXPECT_EQ(window->popUpButton(Setting::VideoBitRate)->titleOfSelectedItem(), bitRate + " kbps");

        // The Default button gives the same defaults.
        defaults().setValue(key(Title::VideoBitRate), QStringLiteral("1"));
        window->actiondefaultBtn();
        EXPECT_FALSE(defaults().contains(key(Title::FrameSize)));
        EXPECT_FALSE(defaults().contains(key(Title::FrameRate)));
        EXPECT_EQ(defaults().string(key(Title::VideoBitRate)), bitRate);
        EXPECT_EQ(size->titleOfSelectedItem(), keep);

        // A size and a rate the user picks are used.
        size->chooseItemAtIndex(size->indexOfItemWithTitle(QStringLiteral("1920x1080")));
        rate->chooseItemAtIndex(rate->indexOfItemWithTitle(QStringLiteral("30 fps")));
        EXPECT_EQ(defaults().string(key(Title::FrameSize)), QStringLiteral("1920x1080"));
        EXPECT_EQ(defaults().string(key(Title::FrameRate)), QStringLiteral("30"));
        EXPECT_EQ(QSize(target.width(), target.height()), QSize(1920, 1080));
        EXPECT_EQ(target.fps(), 30);
        delete window;
    }
}

TEST_F(OutputSettingsKeepSourceTest, WithoutASourceTheBitRateIsTheProfilesOwn)
{
    EditorOutputSettings settings;
    apply(settings, ProfileLibrary::editor(), QStringLiteral("Video"), QStringLiteral("mp4(H.264)"));
    EXPECT_FALSE(defaults().contains(key(Title::FrameSize)));
    EXPECT_EQ(defaults().string(key(Title::VideoBitRate)), QStringLiteral("5000"));
}

TEST_F(OutputSettingsKeepSourceTest, ACustomProfileKeepsWhatWasSaved)
{
    writeCustomProfile(QStringLiteral("Mine"), kCustomHd);
    auto clip = clipOf(640, 360);
    EditorOutputSettings settings;
    settings.fileDataBlock = [clip] { return clip; };
    apply(settings, ProfileLibrary::editor(), QStringLiteral("Custom"), QStringLiteral("Mine"));

    EXPECT_EQ(defaults().string(key(Title::FrameSize)), QStringLiteral("1920x1080"));
    EXPECT_EQ(defaults().string(key(Title::FrameRate)), QStringLiteral("30"));
    EXPECT_EQ(defaults().string(key(Title::VideoBitRate)), QStringLiteral("5000"));
    EXPECT_EQ(clip->targetData()->width(), 1920);

    // The joiner's too.
    EditorOutputSettings joiner(ProfileLibrary::joiner(), Family::Joiner);
    joiner.clipsBlock = [clip] { return QList<std::shared_ptr<SimpleData>>{clip}; };
    apply(joiner, ProfileLibrary::joiner(), QStringLiteral("Custom"), QStringLiteral("Mine"));
    EXPECT_EQ(joiner.resolvedTitles()[Title::FrameSize], QStringLiteral("1920x1080"));
    EXPECT_EQ(joiner.resolvedTitles()[Title::VideoBitRate], QStringLiteral("5000"));
}

TEST_F(OutputSettingsKeepSourceTest, AStoredFullHdTitleIsReadAsItStands)
{
    // As a settings file of an earlier version left it.
    defaults().setValue(key(Title::FrameSize), QStringLiteral("1920x1080"));
    defaults().setValue(key(Title::FrameRate), QStringLiteral("30"));
    auto clip = clipOf(1280, 720);
    SourceProbe::fillTarget(*clip, SourceProbe::storedTitles());
    EXPECT_EQ(QSize(clip->targetData()->width(), clip->targetData()->height()), QSize(1920, 1080));
    EXPECT_EQ(clip->targetData()->fps(), 30);

    EditorOutputSettings settings;
    settings.fileDataBlock = [clip] { return clip; };
    settings.setFunctionItemTitle(QStringLiteral("Video"));
    settings.setFunctionItemChilds(ProfileLibrary::editor().getFunctionItemChildList(QStringLiteral("Video")));
    QPointer<SettingWindowController> window =
        settings.makeSettingWindow(settings.functionItemChilds().indexOf(QStringLiteral("mp4(H.264)")) + 1, nullptr);
    ASSERT_TRUE(window);
    EXPECT_EQ(window->popUpButton(Setting::FrameSize)->titleOfSelectedItem(), QStringLiteral("1920x1080"));
    EXPECT_EQ(window->popUpButton(Setting::FrameRate)->titleOfSelectedItem(), QStringLiteral("30 fps"));
    EXPECT_EQ(defaults().string(key(Title::FrameSize)), QStringLiteral("1920x1080")) << "opening rewrites nothing";
    delete window;
}

TEST_F(OutputSettingsKeepSourceTest, AJoinKeepsTheProfilesSizeButNeverAboveTheLargestClip)
{
    QList<std::shared_ptr<SimpleData>> clips = {clipOf(640, 360), clipOf(480, 360)};
    EditorOutputSettings joiner(ProfileLibrary::joiner(), Family::Joiner);
    joiner.clipsBlock = [&clips] { return clips; };
    apply(joiner, ProfileLibrary::joiner(), QStringLiteral("Video"), QStringLiteral("mp4(H.264)"));

    EXPECT_EQ(joiner.titles()[Title::FrameSize], QStringLiteral("1920x1080")) << "the profile's default stays";
    EXPECT_EQ(defaults().string(key(Title::FrameSize, Family::Joiner)), QStringLiteral("1920x1080"));
    auto resolved = joiner.resolvedTitles();
    EXPECT_EQ(resolved[Title::FrameSize], QStringLiteral("640x360"));
    EXPECT_EQ(resolved[Title::VideoBitRate], QStringLiteral("1000"));
    EXPECT_EQ(resolved[Title::FrameRate], QStringLiteral("30")) << "a join has one rate for all";

    clips.append(clipOf(1280, 720));
    EXPECT_EQ(joiner.resolvedTitles()[Title::FrameSize], QStringLiteral("1280x720"));
    clips.append(clipOf(3840, 2160));
    EXPECT_EQ(joiner.resolvedTitles()[Title::FrameSize], QStringLiteral("1920x1080"));
    EXPECT_EQ(joiner.resolvedTitles()[Title::VideoBitRate], QStringLiteral("5000"));

    // A size the user picks in the settings window stands, even above the clips.
    clips = {clipOf(640, 360)};
    defaults().setValue(key(Title::FrameSize, Family::Joiner), QStringLiteral("1920x1080"));
    joiner.settingChanged(2);
    EXPECT_EQ(joiner.resolvedTitles()[Title::FrameSize], QStringLiteral("1920x1080"));
    EXPECT_EQ(joiner.resolvedTitles()[Title::VideoBitRate], QStringLiteral("5000"));
    // The window's Default returns to the profile's size, held to the clips again.
    joiner.settingsReset();
    EXPECT_EQ(joiner.resolvedTitles()[Title::FrameSize], QStringLiteral("640x360"));
}

} // namespace
