// An export of the editor is the file the user set up when pressing Start: what happens in the window
// while it runs does not reach it, and it never ends as a success without a subtitle or a watermark the
// engine could not be given.
#include "editor/ClipExportJob.h"
#include "model/FileData.h"
#include "model/SimpleData.h"
#include "model/SubtitleParam.h"
#include "model/WaterParam.h"
#include "platform/UserDefaults.h"
#include "tests/editor/LoadedEditor.h"
#include "tests/support/RecordingEngine.h"
#include "toolkit/EditorOutputSettings.h"

#include <QDir>
#include <QFile>

using namespace editortest;

namespace {

const MEDIA_HANDLE kJob = reinterpret_cast<MEDIA_HANDLE>(intptr_t(77));

QString titleKey(EditorOutputSettings::Title title)
{
    return EditorOutputSettings::keyForTitle(title, EditorOutputSettings::KeyFamily::Editor);
}

// A folder whose path is longer than the engine's 259-byte records hold (each name within 255 bytes).
QString longFolder()
{
    QString folder = QString::fromStdString(fixture::freshFolder());
    for (int i = 0; i < 3; ++i) {
        folder += QLatin1Char('/') + QString(100, QLatin1Char('a' + i));
        EXPECT_TRUE(QDir().mkpath(folder));
    }
    return folder;
}

QString writeSrt(const QString &folder)
{
    const QString path = folder + QStringLiteral("/cues.srt");
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("1\n00:00:00,500 --> 00:00:01,500\nHello\n");
    return path;
}

class EditorExportIntegrityTest : public LoadedEditorTest
{
protected:
    void TearDown() override
    {
        platform::UserDefaults::standard().remove(titleKey(EditorOutputSettings::VideoCodec));
        LoadedEditorTest::TearDown();
    }

    // Chooses `path` as the subtitle through the subtitle pop-up's load item.
    void chooseSubtitle(const QString &path)
    {
        TestEnvironment::scriptedPanels().answerOpenPanel({path});
        platform::PopUpButton *popUp = editor->subtitlePopUpBtn();
        popUp->chooseItemAtIndex(popUp->numberOfItems() - 1);
    }
};

} // namespace

TEST_F(EditorExportIntegrityTest, ChangesDuringADeleteSectionExportReachNeitherPart)
{
    RecordingEngine::Installed engine;
    auto &defaults = platform::UserDefaults::standard();
    openWith(smallClip()); // 2 s
    defaults.setValue(titleKey(EditorOutputSettings::VideoCodec), QStringLiteral("h264"));
    // Delete 0.5 .. 1.0: a part before and a part behind, joined by copying their streams.
    typeInto(editor->startTimeFields().fields()[3], QStringLiteral("50"));
    typeInto(editor->stopTimeFields().fields()[2], QStringLiteral("01"));
    editor->cutProgressView()->setIsFanxuan(true);
    const auto clip = editor->fileData();

    RecordingEngine::holdStart = true;
    editor->startExportAction();
    ASSERT_TRUE(TestEnvironment::waitUntil([] { return RecordingEngine::count("start") == 1; }));
    EXPECT_FALSE(editor->addfileButton()->isEnabled());
    EXPECT_FALSE(editor->formatChooser()->isEnabled());

    // Meanwhile another format is stored and a new clip asked for: neither may reach the export.
    defaults.setValue(titleKey(EditorOutputSettings::VideoCodec), QStringLiteral("mpeg4"));
    const auto panelsBefore = TestEnvironment::scriptedPanels().openPanels().size();
    TestEnvironment::scriptedPanels().answerOpenPanel({smallClip()});
    editor->addfileAction();
    EXPECT_EQ(editor->fileData(), clip) << "no clip is loaded while the export runs";
    EXPECT_EQ(TestEnvironment::scriptedPanels().openPanels().size(), panelsBefore) << "no panel is shown";

    // The part behind the section is set up after the first has ended.
    RecordingEngine::release(RecordingEngine::job(0), MEDIA_OK);
    ASSERT_TRUE(TestEnvironment::waitUntil([] { return RecordingEngine::count("start") == 2; }));
    EXPECT_EQ(RecordingEngine::only({"vcodec"}), (std::vector<std::string>{"vcodec h264", "vcodec h264"}))
        << "both parts are made with the settings of the start, or their join would not hold";

    editor->startExportAction(); // cancels
    ASSERT_TRUE(TestEnvironment::waitUntil([this] { return !editor->convertstart(); }));
    EXPECT_TRUE(editor->addfileButton()->isEnabled());
    EXPECT_TRUE(editor->formatChooser()->isEnabled());
}

TEST_F(EditorExportIntegrityTest, ASubtitleWhosePathTheEngineCannotHoldIsRefused)
{
    RecordingEngine::Installed engine;
    openWith(smallClip(), EditVideoWindowController::ToolSubtitle);
    const QString shortPath = writeSrt(QString::fromStdString(fixture::freshFolder()));
    const QString longPath = writeSrt(longFolder());
    ASSERT_GT(longPath.toUtf8().size(), 259);

    // Chosen: refused at once with its message; the subtitle in use stays.
    chooseSubtitle(shortPath);
    ASSERT_EQ(editor->subtitleParam()->subtitlePath(), shortPath);
    TestEnvironment::scriptedPanels().answerAlert(0);
    chooseSubtitle(longPath);
    ASSERT_FALSE(TestEnvironment::scriptedPanels().alerts().isEmpty());
    EXPECT_EQ(TestEnvironment::scriptedPanels().alerts().last().messageText,
              LanguageService::localizedStringForKey("SubtitlePathTooLongMessage"));
    EXPECT_EQ(editor->subtitleParam()->subtitlePath(), shortPath);
    EXPECT_EQ(editor->subtitlePopUpBtn()->indexOfSelectedItem(), 1);

    // One that got into the record all the same fails the export with the message: no file without it.
    editor->subtitleParam()->setSubtitlePath(longPath);
    TestEnvironment::scriptedPanels().answerAlert(0);
    const int alertsBefore = int(TestEnvironment::scriptedPanels().alerts().size());
    editor->startExportAction();
    ASSERT_TRUE(TestEnvironment::waitUntil(
        [&] { return TestEnvironment::scriptedPanels().alerts().size() > alertsBefore; }));
    ASSERT_TRUE(TestEnvironment::waitUntil([this] { return !editor->convertstart(); }));
    EXPECT_EQ(RecordingEngine::count("start"), 0);
    EXPECT_EQ(TestEnvironment::scriptedPanels().alerts().last().informativeText,
              LanguageService::localizedStringForKey("SubtitlePathTooLongMessage"));
}

TEST(ClipExportJobPaths, AWatermarkWhosePathTheEngineCannotHoldFailsTheSetUp)
{
    RecordingEngine::Installed engine;
    const QString folder = longFolder();
    auto clip = std::make_shared<SimpleData>();
    clip->setName(QStringLiteral("clip.mp4"));
    clip->setPath(QStringLiteral("/videos/clip.mp4"));
    clip->setSourceData(std::make_shared<FileData>());
    clip->setTargetData(std::make_shared<FileData>());
    clip->targetData()->setExtension(QStringLiteral("mp4"));

    const auto watermark = [](qint64 kind) {
        auto w = std::make_shared<WaterParam>();
        w->setWaterType(kind);
        w->setSelected(true);
        w->setWaterPercentClipRect(platform::Rect{{0.1, 0.1}, {0.2, 0.2}});
        w->setDuration(1);
        return w;
    };
    auto picture = watermark(WaterParam::File);
    picture->setWaterImagePath(folder + QStringLiteral("/logo.png"));
    auto rendered = watermark(WaterParam::Text);
    QImage text(20, 10, QImage::Format_ARGB32_Premultiplied);
    text.fill(Qt::red);
    rendered->setWaterImage(text);

    const struct
    {
        const char *name;
        std::shared_ptr<WaterParam> item;
        QString waterFolder;
    } cases[] = {
        {"a picture chosen in a deep folder", picture, QString::fromStdString(fixture::freshFolder())},
        {"a rendered text in a deep Water folder", rendered, folder + QStringLiteral("/Water")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        RecordingEngine::reset();
        ExportSources sources;
        sources.clip = clip;
        sources.videoSize = platform::Size{160, 90};
        sources.watermarkViewWidth = 160;
        sources.waterMarkList = {c.item};
        sources.waterFolder = c.waterFolder;
        const auto setUp = ClipExportJob(sources).configure(kJob, "/out/clip.mp4");
        EXPECT_LE(setUp.code, 0);
        EXPECT_EQ(setUp.message, LanguageService::localizedStringForKey("WatermarkPathTooLongMessage"));
        EXPECT_EQ(RecordingEngine::count("output"), 0) << "the job never gets as far as its output";
    }
}
