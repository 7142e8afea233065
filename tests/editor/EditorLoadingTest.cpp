// Loading a clip: the probe into the clip record, the thumbnail, the audio streams, refused files.
#include "tests/editor/LoadedEditor.h"

#include "services/LanguageService.h"
#include "services/ResourceService.h"
#include "toolkit/SourceProbe.h"
#include "model/AudioStreamInfo.h"
#include "model/FileData.h"
#include "model/SimpleData.h"

#include <QFileInfo>

namespace {

using namespace editortest;
using Editor = EditVideoWindowController;

QString twoStreamClip()
{
    fixture::Spec spec;
    spec.width = 1920;
    spec.height = 1080;
    spec.duration = 1.0;
    spec.audio = {fixture::AudioTrack{48000, 2, 440, 0.3, "Commentary", "eng"},
                  fixture::AudioTrack{44100, 1, 660, 0.3, "", "fre"}};
    return QString::fromStdString(fixture::sharedFixture("hd-two-audio.mkv", spec));
}

QString portraitClip()
{
    fixture::Spec spec;
    spec.width = 180;
    spec.height = 320;
    spec.duration = 0.4;
    return QString::fromStdString(fixture::sharedFixture("portrait.mp4", spec));
}

QString audioOnlyFile()
{
    fixture::Spec spec;
    spec.hasVideo = false;
    spec.duration = 1.0;
    return QString::fromStdString(fixture::sharedFixture("sound.m4a", spec));
}

QString corruptFile()
{
    const std::string path = fixture::freshFolder() + "/broken.mp4";
    EXPECT_TRUE(fixture::makeGarbageFile(path, 64 * 1024));
    return QString::fromStdString(path);
}

class EditorLoadingTest : public LoadedEditorTest
{
};

TEST_F(EditorLoadingTest, HdClipWithTwoAudioStreamsProbesIntoTheRecord)
{
    const QString path = twoStreamClip();
    open(Editor::ToolCrop);
    ASSERT_TRUE(choose(path));
    const SimpleData &clip = *editor->fileData();
    const FileData &source = *clip.sourceData();
    EXPECT_EQ(source.width(), 1920);
    EXPECT_EQ(source.height(), 1080);
    EXPECT_EQ(source.fps(), 25.0);
    EXPECT_NE(source.exist(), 0);
    EXPECT_EQ(source.metadata_vcodec(), QStringLiteral("h264"));
    EXPECT_NEAR(source.duration(), 1.0, 0.1);
    EXPECT_FLOAT_EQ(source.fileSize(), float(double(QFileInfo(path).size()) / 1000000.0));
    EXPECT_GT(source.bitrate(), 0);
    EXPECT_LT(source.bitrate(), 100000) << "kbit/s, not bit/s";
    // The first audio stream goes into the a_ fields.
    EXPECT_EQ(source.a_channel(), 2);
    EXPECT_EQ(source.a_samplerate(), 48000);
    EXPECT_EQ(source.a_title(), QStringLiteral("Commentary"));
    EXPECT_EQ(source.a_codec(), QStringLiteral("aac"));
    EXPECT_EQ(source.extension(), QStringLiteral("mkv"));
    EXPECT_EQ(clip.name(), QStringLiteral("fixture-hd-two-audio.mkv"));
    EXPECT_EQ(clip.thumbImage().size(), QSize(320, 180));
    // No size title stored: the target keeps the source's size.
    EXPECT_EQ(clip.targetData()->width(), 1920);
    EXPECT_EQ(clip.targetData()->height(), 1080);

    ASSERT_EQ(clip.audioStreamInfos().size(), 2);
    EXPECT_EQ(clip.audioStreamInfos()[1]->sample(), 44100);
    EXPECT_EQ(clip.audioStreamInfos()[1]->channel(), 1);
    EXPECT_EQ(editor->audiochanelPopBtn()->itemTitles(),
              (QStringList{QStringLiteral("Commentary (2 ch, 48 kHz)"), QString::fromUtf8("Français (1 ch, 44.1 kHz)")}));

    EXPECT_EQ(editor->scrLabel()->stringValue(), path);
    EXPECT_EQ(editor->filePath(), path);
    EXPECT_EQ(editor->toolItemType(), Editor::ToolCrop) << "the tool shown before is shown again";
    for (PNQButton *button : editor->toolButtons())
        EXPECT_TRUE(button->isEnabled());
    EXPECT_EQ(texts(editor->startTimeFields()), QStringList(4, QStringLiteral("00")));
}

TEST_F(EditorLoadingTest, ThumbnailsAre180HighAndKeepTheAspect)
{
    const struct
    {
        int w, h, thumb;
    } cases[] = {
        {1920, 1080, 320}, {1280, 720, 320}, {640, 480, 240}, {720, 576, 225},
        {1080, 1920, 101}, {0, 1080, 0},     {1920, 0, 0},    {65535, 1, SourceProbe::maxThumbnailWidth}};
    for (const auto &c : cases)
        EXPECT_EQ(SourceProbe::thumbnailWidth(c.w, c.h), c.thumb) << c.w << " x " << c.h;

    open();
    ASSERT_TRUE(choose(portraitClip()));
    EXPECT_EQ(editor->fileData()->thumbImage().size(), QSize(101, 180));

    // A source without a picture shows the music picture of the bundle.
    const auto sound = Editor::probeSource(audioOnlyFile());
    ASSERT_TRUE(sound);
    const QImage music = ResourceService::imageWithfileName("Resources/defaultMusicZoom.png");
    ASSERT_FALSE(music.isNull());
    EXPECT_EQ(sound->thumbImage(), music);
    EXPECT_EQ(Editor::probeSource(portraitClip())->thumbImage().size(), QSize(101, 180));
}

TEST_F(EditorLoadingTest, RefusedFilesAlertAndKeepTheLoadedClip)
{
    const QString good = smallClip();
    openWith(good);
    const auto clip = editor->fileData();
    const RDMoviePlayer *player = editor->rdPlayer().get();
    const QString expected = LanguageService::localizedStringForKey("Pleaseselectedvideo'sfilestring");
    for (const QString &bad : {audioOnlyFile(), corruptFile()}) {
        SCOPED_TRACE(bad.toStdString());
        TestEnvironment::scriptedPanels().answerAlert(0);
        EXPECT_FALSE(choose(bad));
        ASSERT_FALSE(TestEnvironment::scriptedPanels().alerts().isEmpty());
        EXPECT_EQ(TestEnvironment::scriptedPanels().alerts().last().informativeText, expected);
        EXPECT_EQ(editor->fileData(), clip);
        EXPECT_EQ(editor->rdPlayer().get(), player);
        EXPECT_EQ(editor->filePath(), good);
        EXPECT_EQ(editor->scrLabel()->stringValue(), good);
    }
    EXPECT_EQ(TestEnvironment::scriptedPanels().alerts().size(), 2);
}

TEST_F(EditorLoadingTest, CancelledPanelChangesNothing)
{
    open();
    TestEnvironment::scriptedPanels().answerOpenPanel({});
    editor->addfileAction();
    EXPECT_FALSE(editor->fileData());
    EXPECT_FALSE(editor->rdPlayer());
    EXPECT_TRUE(TestEnvironment::scriptedPanels().alerts().isEmpty());
    ASSERT_EQ(TestEnvironment::scriptedPanels().openPanels().size(), 1);
    EXPECT_EQ(TestEnvironment::scriptedPanels().openPanels()[0].allowedExtensions,
              SourceProbe::allowedFileTypes());
    EXPECT_TRUE(TestEnvironment::scriptedPanels().openPanels()[0].allowsOtherFileTypes);
}

TEST_F(EditorLoadingTest, AnotherClipStartsWithoutTheOldCropAndMusic)
{
    openWith(smallClip());
    editor->cropTool().setEditVideoClipRect(platform::makeRect(10, 16, 50, 40));
    editor->setMusicList({std::make_shared<MusicInfo>()});
    ASSERT_TRUE(choose(portraitClip()));
    const RECT margins = editor->fileData()->convertCropSize();
    EXPECT_EQ(margins.left + margins.top + margins.right + margins.bottom, 0);
    EXPECT_EQ(editor->cropTool().editVideoClipRect(), platform::makeRect(0, 0, 180, 320));
    EXPECT_TRUE(editor->musicList().isEmpty());
}

} // namespace
