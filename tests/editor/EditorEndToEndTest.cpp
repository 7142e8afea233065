// The editor driven as a user drives it: open it from the launcher's registry, add a clip, type a trim,
// choose a profile and an output folder, click Start, answer the finish dialog; the written file is
// probed with ffprobe and decoded.
#include "tests/editor/LoadedEditor.h"

#include "controls/NSProgressView.h"
#include "controls/PNQOpenAlert.h"
#include "controls/RDCutProgressView.h"
#include "editor/EditorExportController.h"
#include "editor/tools/EffectTableCellView.h"
#include "editor/tools/EffectsTool.h"
#include "editor/tools/RDUICliper.h"
#include "editor/tools/RDWaterView.h"
#include "editor/tools/MusicTool.h"
#include "editor/tools/WatermarkTool.h"
#include "editor/tools/SubtitleTool.h"
#include "editor/tools/WaterMarkCellItemView.h"
#include "model/FileData.h"
#include "model/MusicInfo.h"
#include "model/SubtitleParam.h"
#include "model/WaterParam.h"
#include "platform/Application.h"
#include "platform/Dispatch.h"
#include "platform/PopUpButton.h"
#include "platform/Stepper.h"
#include "platform/UserDefaults.h"
#include "platform/Window.h"
#include "services/LanguageService.h"
#include "tests/support/FinishDialogWatch.h"
#include "tests/support/ProbeDecoder.h"
#include "tests/support/ProbeTool.h"

#include "toolkit/EditorOutputSettings.h"
#include "toolkit/OutputFolderChooser.h"
#include <QAbstractButton>
#include <QAbstractSlider>
#include <QScrollBar>
#include <QFile>
#include <QSlider>

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QTest>

namespace {

using namespace editortest;

constexpr double kOneFrame = 1.0 / 25 + 0.001; // of the source
constexpr int kExportWaitMs = 300000;

// 12 s, 160 x 90, 25 fps, with a tone: every frame stamped with its index.
QString twelveSeconds()
{
    fixture::Spec spec;
    spec.duration = 12;
    return QString::fromStdString(fixture::sharedFixture("twelve.mp4", spec));
}

// 2 s, 160 x 90, 25 fps, with a tone; the marked corner at the top left.
QString smallClipForTools()
{
    fixture::Spec spec;
    spec.duration = 2;
    return QString::fromStdString(fixture::sharedFixture("tools.mp4", spec));
}

class EditorEndToEndTest : public LoadedEditorTest
{
protected:
    CropTool &cropTool() { return editor->cropTool(); }

    // The probed size of the one video stream of `path` (0 x 0 when it has not exactly one).
    static std::pair<int, int> videoSizeOf(const QString &path)
    {
        const auto video = fixture::probe(path.toStdString()).ofType("video");
        return video.size() == 1 ? std::pair{video[0].width, video[0].height} : std::pair{0, 0};
    }

    // Answers every finish dialog the way a user does: reads it, then clicks OK.
    void SetUp() override { m_dialogWatch.start(); }
    void TearDown() override
    {
        m_dialogWatch.stop();
        LoadedEditorTest::TearDown();
    }

    // Opens the editor from the registry with the trim tool and adds `path` through the add-file button.
    void openAndAdd(const QString &path)
    {
        open(EditVideoWindowController::ToolTrim);
        TestEnvironment::scriptedPanels().answerOpenPanel({path});
        QTest::mouseClick(editor->addfileButton(), Qt::LeftButton);
        ASSERT_TRUE(TestEnvironment::waitUntil([&] { return editor->fileData() && editor->rdPlayer(); }));
        ASSERT_EQ(editor->fileData()->path(), path);
    }

    // Chooses the profile `name` of category `category` in the format chooser with real clicks.
    void chooseProfile(const QString &category, const QString &name)
    {
        OutputFormatChooser *chooser = editor->formatChooser();
        const int tab = chooser->functionList().indexOf(category);
        ASSERT_GE(tab, 0);
        chooser->actionFunctionItem(chooser->function_Items().at(tab));
        ASSERT_EQ(chooser->functionItemTitle(), category);
        const int item = chooser->functionItemChilds().indexOf(name);
        ASSERT_GE(item, 0);
        for (int page = 0; page < item / OutputFormatChooser::ProfilesPerPage; ++page)
            chooser->action_right_move_item_Btn(nullptr);
        QTest::mouseClick(chooser->itemButtons().at(item), Qt::LeftButton);
        ASSERT_EQ(editor->fileData()->targetData()->extension(), QStringLiteral("mp4"));
    }

    // The settings window's frame-size choice: the key is written, then the setting is re-read.
    void chooseFrameSize(const QString &size)
    {
        platform::UserDefaults::standard().setValue(
            EditorOutputSettings::keyForTitle(EditorOutputSettings::FrameSize,
                                              EditorOutputSettings::KeyFamily::Editor),
            size);
        editor->outputSettings()->settingChanged(2);
    }

    // "Other…" in the folder pop-up, answered with a fresh folder.
    QString chooseFreshOutputFolder()
    {
        const QString folder = QString::fromStdString(fixture::freshFolder());
        TestEnvironment::scriptedPanels().answerFolderPanel(folder);
        editor->folderChooser()->popUpButton()->chooseItemAtIndex(OutputFolderChooser::Other);
        EXPECT_EQ(editor->outputPath(), folder);
        return folder;
    }

    // Keeps or deletes 00:00:02.00 .. 00:00:07.00.
    void setTrimTwoToSeven()
    {
        typeInto(editor->stopTimeFields().fields()[2], QStringLiteral("07"));
        typeInto(editor->startTimeFields().fields()[2], QStringLiteral("02"));
        EXPECT_DOUBLE_EQ(editor->cutTimeRange_start(), 2000000.0);
        EXPECT_DOUBLE_EQ(editor->cutTimeRange_stop(), 7000000.0);
    }

    void clickStart() { QTest::mouseClick(editor->startExportBtn(), Qt::LeftButton); }

    static QSet<QString> filesIn(const QString &folder)
    {
        const QStringList list = QDir(folder).entryList(QDir::Files | QDir::Hidden);
        return {list.begin(), list.end()};
    }

    // Clicks Start and waits for the finish dialog; returns the one file the export added to `folder`.
    QString exportInto(const QString &folder)
    {
        const QSet<QString> before = filesIn(folder);
        const qsizetype answered = dialogTexts.size();
        clickStart();
        EXPECT_TRUE(TestEnvironment::waitUntil([&] { return editor->convertstart(); }));
        EXPECT_TRUE(
            TestEnvironment::waitUntil([&] { return dialogTexts.size() > answered; }, kExportWaitMs))
            << "the finish dialog comes";
        if (!dialogTexts.isEmpty()) {
            EXPECT_EQ(dialogTexts.last(), QStringLiteral("Editfinishedstring"));
        }
        EXPECT_FALSE(editor->convertstart());
        EXPECT_FLOAT_EQ(editor->exportProgressView()->progress(), 1.0f);
        const QSet<QString> added = filesIn(folder) - before;
        EXPECT_EQ(added.size(), 1) << "the output and nothing else: "
                                   << QStringList(added.values()).join(' ').toStdString();
        return added.isEmpty() ? QString() : folder + '/' + *added.begin();
    }

    // The paused preview's picture, shown on the trim tab (where no overlay is laid over it).
    fixture::Image previewFrame()
    {
        editor->cutAction();
        TestEnvironment::processEvents();
        std::vector<uint8_t> bgra(2000 * 2000 * 4);
        int w = 2000, h = 2000;
        // A loaded machine can take a while to draw the edit: the comparison wants the new picture.
        EXPECT_TRUE(editor->rdPlayer()->waitUntilDrawn(kExportWaitMs)) << "the preview draws the edit";
        EXPECT_TRUE(editor->rdPlayer()->Snapshot(&w, &h, bgra.data()));
        return fixture::imageFromBgra(bgra, w, h);
    }

    // The mean of |a - b| over the colour bytes; 255 for pictures of different sizes.
    static double meanDifference(const fixture::Image &a, const fixture::Image &b)
    {
        if (a.width != b.width || a.height != b.height || a.rgb.empty())
            return 255;
        double sum = 0;
        for (size_t i = 0; i < a.rgb.size(); ++i)
            sum += std::abs(int(a.rgb[i]) - int(b.rgb[i]));
        return sum / double(a.rgb.size());
    }

    // The paused preview at 1 s and the frame the export writes there: same size, nearly the same
    // pixels. Returns the preview's picture.
    fixture::Image expectPreviewIsTheFile(const char *step, const QString &folder)
    {
        SCOPED_TRACE(step);
        seek(1.0);
        const fixture::Image shown = previewFrame();
        const QString out = exportInto(folder);
        const auto frame = fixture::decodeFrameAt(out.toStdString(), 1.0);
        EXPECT_TRUE(frame);
        if (!frame)
            return shown;
        EXPECT_EQ(shown.width, frame->width);
        EXPECT_EQ(shown.height, frame->height);
        EXPECT_LT(meanDifference(shown, *frame), 6.0) << "the preview is the file";
        m_lastExport = *frame;
        return shown;
    }
    fixture::Image m_lastExport;

    static int stampAt(const QString &path, double seconds)
    {
        const auto frame = fixture::decodeFrameAt(path.toStdString(), seconds);
        return frame ? fixture::readFrameIndex(*frame) : -2;
    }

private:
    FinishDialogWatch m_dialogWatch;

protected:
    QStringList &dialogTexts = m_dialogWatch.texts();
};

TEST_F(EditorEndToEndTest, KeepsThenDeletesTheTypedRangeInTheChosenProfile)
{
    const QString source = twelveSeconds();
    openAndAdd(source);
    chooseProfile(QStringLiteral("Video"), QStringLiteral("mp4(H.264)"));
    chooseFrameSize(QStringLiteral("640x360")); // the profile's smallest, for speed
    const QString folder = chooseFreshOutputFolder();
    setTrimTwoToSeven();
    const int alerts = TestEnvironment::scriptedPanels().alerts().size();
    const QString stem = QFileInfo(source).completeBaseName();
    const QString firstName = stem + QStringLiteral(".mp4"), secondName = stem + QStringLiteral("(2).mp4");

    // Keep 2 s .. 7 s.
    const QString kept = exportInto(folder);
    ASSERT_FALSE(kept.isEmpty());
    EXPECT_EQ(QFileInfo(kept).fileName().toStdString(), firstName.toStdString());
    const fixture::ProbeResult probe = fixture::probe(kept.toStdString());
    ASSERT_TRUE(probe.ok) << probe.error;
    EXPECT_NE(probe.formatName.find("mp4"), std::string::npos) << probe.formatName;
    EXPECT_NEAR(probe.duration, 5.0, kOneFrame);
    const auto video = probe.ofType("video");
    const auto audio = probe.ofType("audio");
    ASSERT_EQ(video.size(), 1u);
    ASSERT_EQ(audio.size(), 1u);
    EXPECT_EQ(video[0].codecName, "h264");
    EXPECT_EQ(video[0].width, 640);
    EXPECT_EQ(video[0].height, 360);
    EXPECT_EQ(audio[0].codecName, "aac");
    EXPECT_EQ(stampAt(kept, 0.0), 50) << "the first frame is the one at the trim start";
    EXPECT_EQ(editor->startTimeFields().seconds(), 2.0f) << "the typed range stays shown";
    EXPECT_EQ(editor->stopTimeFields().seconds(), 7.0f);

    // Delete the same range: the parts before and behind it, joined.
    editor->preferenceBtn()->chooseItemAtIndex(1);
    ASSERT_TRUE(editor->cutProgressView()->isFanxuan());
    const QString rest = exportInto(folder);
    ASSERT_FALSE(rest.isEmpty());
    EXPECT_EQ(QFileInfo(rest).fileName().toStdString(), secondName.toStdString());
    const fixture::ProbeResult restProbe = fixture::probe(rest.toStdString());
    ASSERT_TRUE(restProbe.ok) << restProbe.error;
    EXPECT_NEAR(restProbe.duration, 7.0, kOneFrame);
    ASSERT_EQ(restProbe.count("video"), 1);
    EXPECT_EQ(restProbe.ofType("video")[0].codecName, "h264");
    EXPECT_EQ(restProbe.count("audio"), 1);
    EXPECT_EQ(stampAt(rest, 0.0), 0);
    EXPECT_NEAR(stampAt(rest, 2.05), 176, 1) << "7 s of the source follows 2 s directly";
    EXPECT_TRUE(filesIn(folder) == (QSet<QString>{firstName, secondName}))
        << "no temporaries are left: " << QStringList(filesIn(folder).values()).join(' ').toStdString();

    EXPECT_EQ(TestEnvironment::scriptedPanels().alerts().size(), alerts) << "no error was shown";
    EXPECT_EQ(dialogTexts.size(), 2);
}

TEST_F(EditorEndToEndTest, StartThenStartAgainCancelsWithoutATrace)
{
    openAndAdd(twelveSeconds());
    chooseProfile(QStringLiteral("Video"), QStringLiteral("mp4(H.264)"));
    // The whole clip at the profile's own size: long enough that the cancel surely comes first.
    const QString folder = chooseFreshOutputFolder();
    const int alerts = TestEnvironment::scriptedPanels().alerts().size();

    clickStart();
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return editor->convertstart(); }));
    clickStart(); // the same button, now reading "CancelexportTitle"
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return !editor->convertstart(); }));
    EXPECT_EQ(editor->startExportBtn()->contentTitle(), LanguageService::localizedStringForKey("Start"));
    // The stopped job's end arrives later; it must show nothing and leave nothing.
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return !editor->exportController()->runningChain(); },
                                           kExportWaitMs));
    platform::waitForGlobalQueue();
    for (int i = 0; i < 10; ++i)
        TestEnvironment::processEvents();
    EXPECT_TRUE(dialogTexts.isEmpty()) << "no finish dialog";
    EXPECT_EQ(TestEnvironment::scriptedPanels().alerts().size(), alerts) << "no error";
    EXPECT_TRUE(filesIn(folder).isEmpty()) << QStringList(filesIn(folder).values()).join(' ').toStdString();
}

TEST_F(EditorEndToEndTest, ClosingDuringAnExportStopsItAndLeavesNothing)
{
    openAndAdd(twelveSeconds());
    chooseProfile(QStringLiteral("Video"), QStringLiteral("mp4(H.264)"));
    const QString folder = chooseFreshOutputFolder();
    const int alerts = TestEnvironment::scriptedPanels().alerts().size();

    clickStart();
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return editor->convertstart(); }));
    editor->close();
    TestEnvironment::processDeferredDeletes();
    EXPECT_FALSE(editor) << "the closed window is released";
    platform::waitForGlobalQueue();
    for (int i = 0; i < 10; ++i)
        TestEnvironment::processEvents();
    EXPECT_TRUE(dialogTexts.isEmpty());
    EXPECT_EQ(TestEnvironment::scriptedPanels().alerts().size(), alerts);
    EXPECT_TRUE(filesIn(folder).isEmpty()) << QStringList(filesIn(folder).values()).join(' ').toStdString();
}

// The edit tools' exports: the crop gives the size its margins give, a quarter turn keeps the crop and
// turns it with the picture, and a portrait picture in a 16:9 frame size is pillarboxed.
TEST_F(EditorEndToEndTest, CropAndQuarterTurnExportAsThePreviewShows)
{
    openAndAdd(smallClipForTools());
    chooseProfile(QStringLiteral("Video"), QStringLiteral("mp4(H.264)"));
    editor->setKeepAspectratio(true); // no forced frame size
    const QString folder = chooseFreshOutputFolder();

    // Width 100, height 60, 20 from the left, 10 from the top: margins 20, 10, 40, 20.
    cropTool().cropFromOverlayRect(editor->cliper()->getclipRectFrame());
    typeInto(cropTool().cropWidthField(), QStringLiteral("100"));
    typeInto(cropTool().cropHeightField(), QStringLiteral("60"));
    typeInto(cropTool().cropLeftField(), QStringLiteral("20"));
    typeInto(cropTool().cropTopField(), QStringLiteral("10"));
    const RECT m = editor->exportEditState().convertCropSize;
    ASSERT_EQ((std::array<int, 4>{m.left, m.top, m.right, m.bottom}), (std::array<int, 4>{20, 10, 40, 20}));
    const QString cropped = exportInto(folder);
    ASSERT_FALSE(cropped.isEmpty());
    EXPECT_EQ(videoSizeOf(cropped), (std::pair{100, 60}));

    // A quarter turn right keeps the crop: the file is the turned crop, 60 x 100, and so is the preview.
    editor->rotateAction();
    editor->rotateTool().rightRatioAction();
    TestEnvironment::processEvents();
    EXPECT_EQ(cropTool().cropWidthField()->stringValue(), QStringLiteral("60"));
    EXPECT_EQ(cropTool().cropHeightField()->stringValue(), QStringLiteral("100"));
    seek(1.0);
    const fixture::Image shown = previewFrame();
    EXPECT_EQ(shown.width, 60);
    EXPECT_EQ(shown.height, 100);
    const QString turned = exportInto(folder);
    ASSERT_FALSE(turned.isEmpty());
    EXPECT_EQ(videoSizeOf(turned), (std::pair{60, 100}));
    const auto frame = fixture::decodeFrameAt(turned.toStdString(), 1.0);
    const auto source = fixture::decodeFrameAt(smallClipForTools().toStdString(), 1.0);
    ASSERT_TRUE(frame && source);
    // The source's 100 x 60 at (20, 10), turned clockwise.
    fixture::Image expected(60, 100);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 60; ++x)
            expected.setPixel(x, y, source->pixel(20 + y, 10 + 59 - x));
    EXPECT_LT(meanDifference(*frame, expected), 8.0) << "the file holds the turned crop";
    EXPECT_LT(meanDifference(*frame, shown), 8.0) << "as the preview shows it";
}

TEST_F(EditorEndToEndTest, PortraitPictureInAWideFrameSizeIsPillarboxed)
{
    fixture::Spec spec;
    spec.width = 90;
    spec.height = 160;
    spec.duration = 1;
    openAndAdd(QString::fromStdString(fixture::sharedFixture("portrait-tools.mp4", spec)));
    chooseProfile(QStringLiteral("Video"), QStringLiteral("mp4(H.264)"));
    chooseFrameSize(QStringLiteral("640x360"));
    const QString folder = chooseFreshOutputFolder();
    const QString path = exportInto(folder);
    ASSERT_FALSE(path.isEmpty());
    EXPECT_EQ(videoSizeOf(path), (std::pair{640, 360}));
    const auto frame = fixture::decodeFrameAt(path.toStdString(), 0.5);
    ASSERT_TRUE(frame);
    // The picture is 360 * 90 / 160 = 202 wide in the middle; black bars of 219 on each side.
    EXPECT_LT(frame->mean(0, 0, 200, 360).luma(), 20) << "left bar";
    EXPECT_LT(frame->mean(440, 0, 200, 360).luma(), 20) << "right bar";
    EXPECT_GT(frame->mean(230, 200, 180, 150).luma(), 90) << "the grey picture, unstretched, in the middle";
    // The marker keeps its square shape at the picture's top-left: about 0.2 * 202 = 40 pixels wide.
    EXPECT_GT(frame->mean(222, 3, 34, 34).g, 180);
    EXPECT_LT(frame->mean(270, 3, 30, 30).g, 160) << "not stretched across";
}

// Rows (from the top) where the exported frame differs strongly from the source frame at `seconds`:
// the burnt-in text; -1 for both when nothing differs.
std::pair<int, int> changedRows(const QString &exported, const QString &source, double seconds)
{
    const auto out = fixture::decodeFrameAt(exported.toStdString(), seconds);
    const auto in = fixture::decodeFrameAt(source.toStdString(), seconds);
    if (!out || !in || out->width != in->width || out->height != in->height)
        return {-2, -2};
    return editortest::changedRows(*out, *in);
}

TEST_F(EditorEndToEndTest, SubtitleLandsWhereTheSliderShowsDuringItsCueOnly)
{
    openAndAdd(smallClipForTools()); // 160 x 90, 2 s
    chooseProfile(QStringLiteral("Video"), QStringLiteral("mp4(H.264)"));
    editor->setKeepAspectratio(true);
    const QString folder = chooseFreshOutputFolder();
    const QString srt = QDir(QString::fromStdString(fixture::freshFolder())).filePath("cue.srt");
    QFile file(srt);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("1\n00:00:00,800 --> 00:00:01,400\nHHHH\n");
    file.close();

    SubtitleTool &tool = editor->subtitleTool();
    TestEnvironment::scriptedPanels().answerOpenPanel({srt});
    tool.subtitlePopUpBtn()->chooseItemAtIndex(tool.subtitlePopUpBtn()->numberOfItems() - 1);
    ASSERT_EQ(editor->subtitleParam()->subtitlePath(), srt);

    // After a load the slider stands at the top with the default placement: it is moved to get there.
    tool.positionSlider()->setValue(0);
    tool.positionSlider()->setValue(tool.positionSlider()->maximum());
    const QString top = exportInto(folder);
    tool.positionSlider()->setValue(tool.positionSlider()->maximum() / 10);
    tool.positionSlider()->setValue(0);
    const QString bottom = exportInto(folder);
    ASSERT_FALSE(top.isEmpty());
    ASSERT_FALSE(bottom.isEmpty());

    const auto topRows = changedRows(top, smallClipForTools(), 1.0);
    const auto bottomRows = changedRows(bottom, smallClipForTools(), 1.0);
    ASSERT_GE(topRows.first, 0) << "the cue shows at 1 s";
    ASSERT_GE(bottomRows.first, 0);
    EXPECT_LT(topRows.second, 45) << "slider at the top: text in the upper half";
    EXPECT_GT(bottomRows.first, 45) << "slider at the bottom: text in the lower half";
    for (double t : {0.4, 1.8})
        for (const QString &out : {top, bottom})
            EXPECT_EQ(changedRows(out, smallClipForTools(), t).first, -1)
                << "no text outside the cue, at " << t;
}

TEST_F(EditorEndToEndTest, MusicSoundsOnlyInItsSpanRampingAndReplacesTheSource)
{
    fixture::Spec clipSpec;
    clipSpec.width = 64;
    clipSpec.height = 36;
    clipSpec.duration = 24;
    const QString clip = QString::fromStdString(fixture::sharedFixture("music-base.mp4", clipSpec));
    fixture::Spec toneSpec;
    toneSpec.hasVideo = false;
    toneSpec.duration = 3;
    toneSpec.audio[0].toneHz = 1000;
    const QString tone = QString::fromStdString(fixture::sharedFixture("tone1k.m4a", toneSpec));
    ASSERT_GT(fixture::audioRms(clip.toStdString(), 1, 9), 0.05) << "the source has its own sound";

    openAndAdd(clip);
    chooseProfile(QStringLiteral("Video"), QStringLiteral("mp4(H.264)"));
    editor->setKeepAspectratio(true);
    const QString folder = chooseFreshOutputFolder();
    MusicTool &music = editor->musicTool();
    music.addFiles({tone});
    ASSERT_EQ(music.musicList().size(), 1);
    typeInto(music.group(1).fields()[2], QStringLiteral("20"));
    typeInto(music.group(1).fields()[3], QStringLiteral("00"));
    typeInto(music.group(0).fields()[2], QStringLiteral("10"));
    music.repeatBox()->click();
    music.fadeInBox()->click();
    music.fadeOutBox()->click();
    music.removeOriginalBox()->click();
    const MusicInfo &track = *music.musicList().at(0);
    ASSERT_FLOAT_EQ(track.positionStart(), 10);
    ASSERT_FLOAT_EQ(track.positionEnd(), 20);

    const QString out = exportInto(folder);
    ASSERT_FALSE(out.isEmpty());
    const std::string path = out.toStdString();
    EXPECT_LT(fixture::audioRms(path, 0.5, 9.5), 0.005) << "the source's sound is gone";
    EXPECT_LT(fixture::audioRms(path, 20.5, 23.5), 0.005) << "nothing after the span";
    const double middle = fixture::audioRms(path, 12, 18);
    EXPECT_GT(middle, 0.05) << "the tone repeats through the span";
    EXPECT_LT(fixture::audioRms(path, 10.0, 10.25), middle * 0.7) << "fading in";
    EXPECT_LT(fixture::audioRms(path, 19.75, 20.0), middle * 0.7) << "fading out";
}

} // namespace

namespace {

// A plain picture of one colour, as a watermark file.
QString colourPicture(const QString &folder, const char *name, QColor colour)
{
    QImage image(40, 20, QImage::Format_ARGB32);
    image.fill(colour);
    const QString path = folder + '/' + name;
    image.save(path);
    return path;
}

// The record's rectangle in pixels of a width x height frame, top-left origin.
QRect pixelRect(const WaterParam &item, int width, int height)
{
    const platform::Rect p = item.waterPercentClipRect();
    return QRect(int(p.minX() * width), int((1 - p.maxY()) * height), int(p.width() * width),
                 int(p.height() * height));
}

// Pixels inside `r` (shrunk by two to stay off the coded edges) far from the fixture's grey.
int unlikeGrey(const fixture::Image &frame, const QRect &r)
{
    int count = 0;
    for (int y = r.top() + 2; y < r.bottom() - 1; ++y)
        for (int x = r.left() + 2; x < r.right() - 1; ++x) {
            const fixture::Rgb c = frame.pixel(x, y);
            if (std::abs(c.r - c.g) > 60 || std::abs(c.b - c.g) > 60 || c.g > 200)
                ++count;
        }
    return count;
}

} // namespace

TEST_F(EditorEndToEndTest, WatermarksOfEachKindShowInTheirWindowsAsThePreviewShows)
{
    fixture::Spec mainSpec;
    mainSpec.width = 320;
    mainSpec.height = 180;
    mainSpec.duration = 6;
    mainSpec.stamp = false;
    mainSpec.marker = false;
    const QString main = QString::fromStdString(fixture::sharedFixture("wm-main.mp4", mainSpec));
    fixture::Spec blueSpec = mainSpec;
    blueSpec.background = fixture::Rgb{0, 0, 255};
    blueSpec.audio = {};
    const QString blue = QString::fromStdString(fixture::sharedFixture("wm-blue.mp4", blueSpec));
    openAndAdd(main);
    chooseProfile(QStringLiteral("Video"), QStringLiteral("mp4(H.264)"));
    editor->setKeepAspectratio(true);
    const QString folder = chooseFreshOutputFolder();
    editor->watermarkAction();
    TestEnvironment::processEvents();
    WatermarkTool &tool = editor->watermarkTool();
    RDWaterView *overlay = editor->watermarkView();
    ASSERT_TRUE(overlay);
    const double W = overlay->frame().width(), H = overlay->frame().height();

    // Places the edited watermark over the given fractions of the picture, as a drag ends there, and
    // (a size of 0 keeps the size) and types its window start .. start + length (whole seconds and
    // hundredths).
    auto place = [&](double x, double y, double w, double h, int start, int startCs, int length,
                     int lengthCs) {
        const platform::Rect now = overlay->getclipRectFrame();
        overlay->setClipRect(
            platform::makeRect(x * W, y * H, w > 0 ? w * W : now.width(), h > 0 ? h * H : now.height()));
        tool.actionMouseMoveEndForWaterViewBlock(overlay, platform::Rect{});
        const auto s = tool.timeGroup(WatermarkTool::Start).fields();
        typeInto(s[2], QString::number(start));
        typeInto(s[3], QString::number(startCs));
        const auto d = tool.timeGroup(WatermarkTool::Duration).fields();
        typeInto(d[2], QString::number(length));
        typeInto(d[3], QString::number(lengthCs));
    };
    // A red picture 0.5 .. 2 s at the top left, a text 2.5 .. 4 s in the middle, the blue video at half
    // transparency 4 .. 5.5 s at the bottom right, and an unticked green picture over all of it.
    ASSERT_TRUE(tool.addFile(colourPicture(folder, "red.png", Qt::red)));
    place(0.05, 0.6, 0.25, 0.3, 0, 50, 1, 50);
    tool.addTextAction();
    place(0.3, 0.4, 0, 0, 2, 50, 1, 50); // the text keeps the size it was measured to
    ASSERT_TRUE(tool.addFile(blue));
    place(0.7, 0.1, 0.25, 0.3, 4, 0, 1, 50);
    typeInto(tool.alphaField(), QStringLiteral("50"));
    ASSERT_TRUE(tool.addFile(colourPicture(folder, "green.png", Qt::green)));
    place(0, 0, 1, 1, 0, 0, 6, 0);
    tool.cells().at(3)->toggleCheck();
    const auto list = editor->waterMarkList();
    ASSERT_EQ(list.size(), 4);
    EXPECT_FLOAT_EQ(list[0]->startTime(), 0.5f);
    EXPECT_FLOAT_EQ(list[0]->duration(), 1.5f);
    EXPECT_FLOAT_EQ(list[2]->startTime(), 4.0f);
    EXPECT_EQ(list[2]->waterAlph(), 50);
    EXPECT_FALSE(list[3]->selected());

    // The preview at 1 s, every ticked watermark drawn by the player.
    seek(1.0);
    editor->cutAction(); // off the watermark tab: the player draws the edited row too
    TestEnvironment::processEvents();
    EXPECT_EQ(tool.previewRecords().images.size() + tool.previewRecords().texts.size(), 2u);
    EXPECT_EQ(tool.previewRecords().videos.size(), 1u);
    std::vector<uint8_t> bgra(320 * 180 * 4);
    int sw = 320, sh = 180;
    ASSERT_TRUE(editor->rdPlayer()->Snapshot(&sw, &sh, bgra.data()));
    ASSERT_EQ(sw, 320);
    const fixture::Image preview = fixture::imageFromBgra(bgra, sw, sh);

    const QString out = exportInto(folder);
    ASSERT_FALSE(out.isEmpty());
    const QRect red = pixelRect(*list[0], 320, 180);
    const QRect text = pixelRect(*list[1], 320, 180);
    const QRect video = pixelRect(*list[2], 320, 180);
    struct Moment
    {
        double t;
        bool red, text, video;
    } moments[] = {{0.2, false, false, false},
                   {1.0, true, false, false},
                   {3.0, false, true, false},
                   {4.8, false, false, true},
                   {5.8, false, false, false}};
    for (const Moment &m : moments) {
        SCOPED_TRACE(m.t);
        const auto frame = fixture::decodeFrameAt(out.toStdString(), m.t);
        ASSERT_TRUE(frame);
        const fixture::MeanColor r = frame->mean(red.x() + 2, red.y() + 2, red.width() - 4, red.height() - 4);
        if (m.red) {
            EXPECT_GT(r.r, 200);
            EXPECT_LT(r.g, 60);
        } else {
            EXPECT_LT(std::abs(r.r - r.g), 30) << "no red and no green outside its window";
        }
        EXPECT_EQ(unlikeGrey(*frame, text) > 10, m.text);
        const fixture::MeanColor v =
            frame->mean(video.x() + 2, video.y() + 2, video.width() - 4, video.height() - 4);
        if (m.video) {
            // Half blue over the grey: blue well above, red and green well below the grey.
            EXPECT_GT(v.b - v.r, 80);
            EXPECT_LT(v.b - v.r, 200);
        } else {
            EXPECT_LT(std::abs(v.b - v.r), 30);
        }
        // The unticked green never shows.
        EXPECT_LT(frame->mean(0, 0, 320, 180).g - frame->mean(0, 0, 320, 180).r, 30);
    }
    // The preview at 1 s and the exported frame agree inside the picture's rectangle.
    const auto at1 = fixture::decodeFrameAt(out.toStdString(), 1.0);
    ASSERT_TRUE(at1);
    const fixture::MeanColor shown =
        preview.mean(red.x() + 2, red.y() + 2, red.width() - 4, red.height() - 4);
    const fixture::MeanColor written = at1->mean(red.x() + 2, red.y() + 2, red.width() - 4, red.height() - 4);
    EXPECT_NEAR(shown.r, written.r, 20);
    EXPECT_NEAR(shown.g, written.g, 20);
    EXPECT_NEAR(shown.b, written.b, 20);
    EXPECT_GT(red.width() * red.height(), 400) << "the rectangle is large enough to measure";
}

namespace {

// How far `half` lies from `before` towards `full`, over the pixels where `full` differs clearly from
// `before` (a watermark's blend: 0 invisible, 1 opaque); -1 when no pixel differs enough.
double blendOf(const fixture::Image &before, const fixture::Image &full, const fixture::Image &half)
{
    if (before.rgb.size() != full.rgb.size() || before.rgb.size() != half.rgb.size())
        return -1;
    double sum = 0;
    int count = 0;
    for (size_t i = 0; i + 2 < before.rgb.size(); i += 3) {
        const int b = before.rgb[i] + before.rgb[i + 1] + before.rgb[i + 2];
        const int f = full.rgb[i] + full.rgb[i + 1] + full.rgb[i + 2];
        const int h = half.rgb[i] + half.rgb[i + 1] + half.rgb[i + 2];
        if (f - b > 240) {
            sum += double(h - b) / double(f - b);
            ++count;
        }
    }
    return count > 20 ? sum / count : -1;
}

} // namespace

// A user's sequence through the window on a stamped clip; after every step the paused preview is the
// frame the export writes: crop, turn, text and picture watermarks, subtitle, effect, turn, mirror,
// reset, and a new clip.
TEST_F(EditorEndToEndTest, EveryEditAddsUpAndThePreviewIsTheFileAfterEachStep)
{
    fixture::Spec spec;
    spec.width = 320;
    spec.height = 180;
    const QString clip = QString::fromStdString(fixture::sharedFixture("walk.mp4", spec));
    openAndAdd(clip);
    chooseProfile(QStringLiteral("Video"), QStringLiteral("mp4(H.264)"));
    editor->setKeepAspectratio(true);
    const QString folder = chooseFreshOutputFolder();
    const QString srt = QDir(QString::fromStdString(fixture::freshFolder())).filePath("walk.srt");
    QFile file(srt);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("1\n00:00:00,000 --> 00:00:02,000\nHHHH\n");
    file.close();

    // Crop 240 x 140, 40 from the left and 20 from the top.
    editor->cropAction();
    typeInto(cropTool().cropWidthField(), QStringLiteral("240"));
    typeInto(cropTool().cropHeightField(), QStringLiteral("140"));
    typeInto(cropTool().cropLeftField(), QStringLiteral("40"));
    typeInto(cropTool().cropTopField(), QStringLiteral("20"));
    EXPECT_EQ(expectPreviewIsTheFile("crop", folder).width, 240);

    editor->rotateAction();
    editor->rotateTool().rightRatioAction();
    const fixture::Image turned = expectPreviewIsTheFile("turn right", folder);
    EXPECT_EQ(turned.width, 140) << "the crop is kept, turned";
    EXPECT_EQ(turned.height, 240);

    // A large text, first opaque (the reference), then at 50 % transparency.
    editor->watermarkAction();
    WatermarkTool &marks = editor->watermarkTool();
    marks.addTextAction();
    QFont big(QStringLiteral("DejaVu Sans"));
    big.setPixelSize(40);
    big.setBold(true);
    TestEnvironment::scriptedPanels().answerFontPanel(big);
    marks.actionwaterFontBtn();
    // In the middle of the picture, inside the crop.
    RDWaterView *overlay = editor->watermarkView();
    const platform::Rect t = overlay->getclipRectFrame();
    overlay->setClipRect(platform::makeRect((overlay->frame().width() - t.width()) / 2,
                                            (overlay->frame().height() - t.height()) / 2, t.width(), t.height()));
    marks.actionMouseMoveEndForWaterViewBlock(overlay, platform::Rect{});
    TestEnvironment::processEvents();
    seek(1.0);
    const fixture::Image opaque = previewFrame();
    editor->watermarkAction();
    marks.setTransparency(50);
    TestEnvironment::processEvents();
    const fixture::Image half = expectPreviewIsTheFile("text watermark at 50 %", folder);
    const double shownBlend = blendOf(turned, opaque, half);
    EXPECT_NEAR(shownBlend, 0.5, 0.1) << "the preview applies the transparency once";
    EXPECT_NEAR(blendOf(turned, opaque, m_lastExport), 0.5, 0.12) << "and so does the file";

    editor->watermarkAction();
    ASSERT_TRUE(marks.addFile(colourPicture(folder, "walk-red.png", Qt::red)));
    TestEnvironment::processEvents();
    expectPreviewIsTheFile("picture watermark", folder);

    editor->subtitleAction();
    SubtitleTool &subtitles = editor->subtitleTool();
    TestEnvironment::scriptedPanels().answerOpenPanel({srt});
    subtitles.subtitlePopUpBtn()->chooseItemAtIndex(subtitles.subtitlePopUpBtn()->numberOfItems() - 1);
    ASSERT_EQ(editor->subtitleParam()->subtitlePath(), srt);
    expectPreviewIsTheFile("subtitle", folder);

    editor->effectAction();
    EffectsTool &effects = editor->effectsTool();
    ASSERT_FALSE(effects.effectTableCells().isEmpty());
    effects.toggleEffect(effects.effectTableCells().first(), 0);
    ASSERT_EQ(effects.selectedEffectTypeIndexs().size(), 1);
    expectPreviewIsTheFile("effect", folder);

    editor->rotateAction();
    editor->rotateTool().rightRatioAction();
    EXPECT_EQ(expectPreviewIsTheFile("turn again", folder).width, 240);
    editor->rotateTool().horizontalMirrorAction();
    const fixture::Image mirrored = expectPreviewIsTheFile("mirror", folder);
    EXPECT_EQ(mirrored.width, 240);
    EXPECT_EQ(mirrored.height, 140);

    // Reset: the untouched picture everywhere, no ghosts.
    editor->resetRotateTouchUp();
    TestEnvironment::processEvents();
    EXPECT_TRUE(editor->waterMarkList().isEmpty());
    EXPECT_EQ(subtitles.subtitlePopUpBtn()->indexOfSelectedItem(), 0) << "the pop-up names no file";
    EXPECT_TRUE(editor->subtitleParam()->subtitlePath().isEmpty());
    EXPECT_FALSE(cropTool().hasCrop());
    EXPECT_EQ(cropTool().cropWidthField()->stringValue(), QStringLiteral("320"));
    const fixture::Image reset = expectPreviewIsTheFile("reset", folder);
    EXPECT_EQ(reset.width, 320);
    EXPECT_EQ(reset.height, 180);
    // The effect stays (it is not the rotate panel's); only the picture's shape and overlays are back.
    EXPECT_EQ(effects.selectedEffectTypeIndexs().size(), 1);

    // A new clip: neutral, as its export is.
    ASSERT_TRUE(choose(smallClipForTools()));
    EXPECT_TRUE(effects.selectedEffectTypeIndexs().isEmpty());
    const fixture::Image fresh = expectPreviewIsTheFile("new clip", folder);
    const auto source = fixture::decodeFrameAt(smallClipForTools().toStdString(), 1.0);
    ASSERT_TRUE(source);
    EXPECT_LT(meanDifference(fresh, *source), 6.0) << "no effect of the old clip";
    int greenest = 0;
    for (size_t i = 0; i + 2 < fresh.rgb.size(); i += 3)
        greenest = std::max(greenest, int(fresh.rgb[i + 1]) - int(fresh.rgb[i]));
    EXPECT_GT(greenest, 150) << "the marked corner keeps its colour: the old clip's grey effect is gone";
}

namespace {

// The controls a user edits with inside `view` (buttons, sliders, pop-ups, steppers, editable fields,
// check-box rows), the view itself included when it is one.
QList<QWidget *> editControlsIn(QWidget *view)
{
    QList<QWidget *> controls;
    if (!view)
        return controls;
    QList<QWidget *> all = view->findChildren<QWidget *>();
    all.prepend(view);
    for (QWidget *w : all) {
        if (qobject_cast<QScrollBar *>(w))
            continue; // scrolling a list changes nothing
        auto *field = qobject_cast<platform::TextField *>(w);
        if ((field && field->isEditable()) || qobject_cast<PNQButton *>(w) || qobject_cast<QAbstractButton *>(w) ||
            qobject_cast<QAbstractSlider *>(w) || qobject_cast<platform::PopUpButton *>(w) ||
            qobject_cast<platform::Stepper *>(w) || qobject_cast<RDProgressSlider *>(w) ||
            qobject_cast<EffectTableCellView *>(w) || qobject_cast<RDUICliper *>(w) ||
            qobject_cast<RDWaterView *>(w))
            controls.append(w);
    }
    return controls;
}

bool isLive(QWidget *w)
{
    if (auto *slider = qobject_cast<RDProgressSlider *>(w))
        return slider->isEnabled() && !slider->disable();
    if (auto *cell = qobject_cast<EffectTableCellView *>(w))
        return cell->isEnabled() && cell->enable();
    if (auto *overlay = qobject_cast<RDWaterView *>(w))
        return overlay->enabled(); // it keeps the hover cursor, so it stays a live widget

    return w->isEnabled();
}

QString nameOf(QWidget *w)
{
    QString name = QString::fromLatin1(w->metaObject()->className());
    for (QWidget *p = w->parentWidget(); p; p = p->parentWidget())
        name += QLatin1Char('<') + QString::fromLatin1(p->metaObject()->className());
    return name;
}

} // namespace

TEST_F(EditorEndToEndTest, EveryEditControlIsOffWhileAnExportRunsAndBackAfter)
{
    openAndAdd(twelveSeconds());
    chooseProfile(QStringLiteral("Video"), QStringLiteral("mp4(H.264)"));
    chooseFreshOutputFolder();
    // A picture watermark, so that its panel's controls are live too.
    ASSERT_TRUE(editor->watermarkTool().addFile(colourPicture(QString::fromStdString(fixture::freshFolder()),
                                                              "live.png", Qt::red)));
    QList<QWidget *> controls;
    for (QWidget *panel : std::initializer_list<QWidget *>{
             editor->trimView(), editor->cropView(), editor->kxfxView(), editor->waterView(),
             editor->captionView(), editor->adjustView(), editor->musicContentView(), editor->cliper(),
             editor->watermarkView()})
        controls += editControlsIn(panel);
    QList<QWidget *> liveBefore;
    for (QWidget *w : controls)
        if (isLive(w))
            liveBefore.append(w);
    ASSERT_GT(liveBefore.size(), 30) << "the panels' controls are found";

    clickStart();
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return editor->convertstart(); }));
    // Switching tools while it runs brings nothing back.
    for (auto open : {&EditVideoWindowController::addmusicAction, &EditVideoWindowController::watermarkAction,
                      &EditVideoWindowController::cropAction})
        (editor.data()->*open)(nullptr);
    for (QWidget *w : controls)
        EXPECT_FALSE(isLive(w)) << nameOf(w).toStdString();

    clickStart(); // cancels
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return !editor->convertstart(); }));
    TestEnvironment::processEvents();
    for (QWidget *w : liveBefore)
        EXPECT_TRUE(isLive(w)) << nameOf(w).toStdString();
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return !editor->exportController()->runningChain(); },
                                           kExportWaitMs));
}
