// The editor window: its starting tool, tool switching, layout, crop across relayouts, alerts and closing.
#include "editor/EditVideoWindowController.h"
#include "editor/EditorExportController.h"
#include "editor/EditorRegistration.h"
#include "toolkit/TimeFieldGroup.h"

#include "services/LanguageService.h"
#include "model/FileData.h"
#include "model/SimpleData.h"
#include "platform/Application.h"
#include "platform/NotificationCenter.h"
#include "platform/ScriptedPanels.h"
#include "platform/Timer.h"
#include "platform/Window.h"
#include "tests/support/RecordingEngine.h"
#include "tests/support/TestEnvironment.h"

#include <QPointer>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

using Editor = EditVideoWindowController;

// Counts "WillCloseNotification" and remembers whether an export was still running at that moment.
struct CloseListener : QObject
{
    int count = 0;
    bool exportRunningAtPost = false;
    QPointer<Editor> editor;
    CloseListener()
    {
        platform::NotificationCenter::defaultCenter().addObserver(
            this, QStringLiteral("WillCloseNotification"), nullptr, [this](const platform::Notification &) {
                ++count;
                if (editor)
                    exportRunningAtPost = editor->convertstart();
            });
    }
};

class EditorWindowTest : public ::testing::Test
{
protected:
    void TearDown() override
    {
        if (editor && editor->isWindowLoaded() && !editor->isClosed())
            editor->close();
        TestEnvironment::processDeferredDeletes();
        TestEnvironment::scriptedPanels().reset();
    }

    // Opens the editor the way the launcher does: by class name, with the tool bit as a Qt property.
    Editor *open(qint64 tool)
    {
        registerEditorWindowClass();
        auto *controller = platform::WindowController::create(QStringLiteral("EditVideoWindowController"));
        editor = qobject_cast<Editor *>(controller);
        EXPECT_NE(editor, nullptr);
        controller->setProperty("toolItemType", QVariant::fromValue<qint64>(tool));
        controller->makeKeyAndOrderFront();
        TestEnvironment::processEvents();
        return editor;
    }

    static std::shared_ptr<SimpleData> clip(int width, int height)
    {
        auto data = std::make_shared<SimpleData>();
        auto source = std::make_shared<FileData>();
        source->setWidth(width);
        source->setHeight(height);
        source->setDuration(10);
        data->setSourceData(source);
        return data;
    }

    static bool shown(QWidget *w) { return w && !w->isHidden(); }

    // Starts an export of a 0-5 s trim that the recording engine holds until it is stopped.
    void startHeldExport()
    {
        auto data = clip(160, 90);
        data->setPath(TestEnvironment::tempDir() + QStringLiteral("/held.mp4"));
        data->setName(QStringLiteral("held.mp4"));
        data->setTargetData(std::make_shared<FileData>());
        data->targetData()->setExtension(QStringLiteral("mp4"));
        editor->setFileData(data);
        editor->stopTimeFields().fields()[2]->setStringValue(QStringLiteral("05"));
        RecordingEngine::holdStart = true;
        editor->startExportAction();
        ASSERT_TRUE(editor->convertstart());
    }

    void resizeTo(double width, double height)
    {
        platform::Rect frame = editor->window()->frame();
        frame.size = platform::Size{width, height};
        editor->window()->setFrame(frame);
        TestEnvironment::processEvents();
    }

    QPointer<Editor> editor;
};

TEST_F(EditorWindowTest, StartingToolOpensItsPanelAndAnyOtherValueOpensTrim)
{
    const struct
    {
        qint64 asked;
        qint64 opened;
    } cases[] = {{1, 1},  {2, 2},  {4, 4},  {8, 8},  {16, 16}, {32, 32}, {64, 64},
                 {0, 1},  {3, 1},  {5, 1},  {6, 1},  {7, 1},   {9, 1},   {-1, 1}, {128, 1}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.asked);
        open(c.asked);
        ASSERT_TRUE(editor);
        EXPECT_EQ(editor->toolItemType(), c.opened);
        EXPECT_EQ(editor->oldToolItemType(), c.opened);
        for (qint64 tool : {1, 2, 4, 8, 16, 32, 64}) {
            EXPECT_EQ(shown(editor->panelView(tool)), tool == c.opened) << "panel of tool " << tool;
            EXPECT_EQ(editor->toolButton(tool)->selected(), tool == c.opened) << "button of tool " << tool;
            EXPECT_FALSE(editor->toolButton(tool)->isEnabled());
        }
        const bool music = c.opened == Editor::ToolMusic;
        EXPECT_EQ(shown(editor->musicRightView()), music);
        EXPECT_EQ(shown(editor->playerBackView()), !music);
        if (!music) {
            EXPECT_EQ(shown(editor->cutProgressView()), c.opened == Editor::ToolTrim);
            EXPECT_EQ(shown(editor->progressSlider()), c.opened != Editor::ToolTrim);
        }
        // The player bar's strip follows the preview into the music tool.
        EXPECT_EQ(editor->playerBottomChildView()->parentWidget(),
                  music ? editor->musicRightBottomView() : editor->playerBottomView());
        EXPECT_FALSE(editor->outputPath().isEmpty());
        editor->close();
        TestEnvironment::processDeferredDeletes();
        EXPECT_FALSE(editor) << "the closed editor releases itself";
    }
}

TEST_F(EditorWindowTest, TrimPanelFillsTheLeftColumnWithItsFieldsInside)
{
    open(Editor::ToolTrim);
    QWidget *panel = editor->panelView(Editor::ToolTrim);
    ASSERT_TRUE(panel && panel->isVisible());
    EXPECT_GT(panel->width(), 200) << "the panel was built before the column had a size";
    for (const TimeFieldGroup *group : {&editor->startTimeFields(), &editor->stopTimeFields()}) {
        for (platform::TextField *field : group->fields()) {
            const QRect inPanel(field->mapTo(panel, QPoint(0, 0)), field->size());
            EXPECT_TRUE(panel->rect().contains(inPanel));
        }
    }
}

TEST_F(EditorWindowTest, EditDefaultsAreWellDefinedBeforeAnyTool)
{
    open(Editor::ToolTrim);
    EXPECT_EQ(editor->effectsTool().volume(), 1.0);
    EXPECT_EQ(editor->effectsTool().brightness(), 0);
    EXPECT_EQ(editor->effectsTool().contrast(), 0);
    EXPECT_EQ(editor->effectsTool().saturation(), 0);
    EXPECT_EQ(editor->rotateTool().playerRotateAngle(), 0);
    EXPECT_EQ(editor->rotateTool().hFlip(), 0);
    EXPECT_EQ(editor->rotateTool().vFlip(), 0);
    EXPECT_TRUE(editor->cropTool().editVideoClipRect().isZero());
    const RECT margins = editor->cropTool().convertCropSize();
    EXPECT_EQ(margins.left | margins.top | margins.right | margins.bottom, 0);
    EXPECT_EQ(editor->subtitleParam(), nullptr);
    EXPECT_TRUE(editor->effectsTool().selectedEffectTypeIndexs().isEmpty());
    EXPECT_TRUE(editor->waterMarkList().isEmpty());
    EXPECT_TRUE(editor->musicList().isEmpty());
    EXPECT_FALSE(editor->effectsTool().effectTypes().isEmpty()) << "the effect list comes from the bundle";
    EXPECT_FALSE(editor->removeOriginalmusicBtn()->isEnabled());
    EXPECT_FALSE(editor->removeOriginalmusicBtn()->isChecked());
}

TEST_F(EditorWindowTest, OverlaysShowOnlyWithTheirTool)
{
    open(Editor::ToolTrim);
    editor->setFileData(clip(320, 180));
    editor->initPlayerCliper();
    editor->initWatermarkView();
    ASSERT_TRUE(editor->cliper());
    ASSERT_TRUE(editor->watermarkView());
    EXPECT_EQ(editor->videoSize(), (platform::Size{320, 180}));
    EXPECT_EQ(editor->cropTool().editVideoClipRect(), platform::makeRect(0, 0, 320, 180));
    // The overlays lie over the picture's rectangle, fitted into the preview.
    const platform::Rect fitted = platform::aspectFitRect(editor->videoSize(), editor->playerView()->bounds());
    EXPECT_EQ(editor->cliper()->frame(), fitted);
    EXPECT_EQ(editor->watermarkView()->frame(), fitted);

    for (qint64 tool : {4, 16, 8, 32, 2, 64, 1}) {
        SCOPED_TRACE(tool);
        switch (tool) {
        case 1: editor->cutAction(); break;
        case 2: editor->rotateAction(); break;
        case 4: editor->cropAction(); break;
        case 8: editor->effectAction(); break;
        case 16: editor->watermarkAction(); break;
        case 32: editor->subtitleAction(); break;
        default: editor->addmusicAction(); break;
        }
        EXPECT_EQ(shown(editor->cliper()), tool == Editor::ToolCrop);
        EXPECT_EQ(shown(editor->watermarkView()), tool == Editor::ToolWatermark);
    }
}

TEST_F(EditorWindowTest, QuarterTurnedClipIsMeasuredHeightByWidth)
{
    open(Editor::ToolCrop);
    auto data = clip(320, 180);
    data->setConvertRateAngle(-90);
    editor->setFileData(data);
    editor->initPlayerCliper();
    EXPECT_EQ(editor->videoSize(), (platform::Size{180, 320}));
}

TEST_F(EditorWindowTest, LayoutFollowsTheWindowSize)
{
    open(Editor::ToolTrim);
    resizeTo(1000, 800);
    EXPECT_EQ(editor->window()->minSize(), (platform::Size{908, 780}));
    EXPECT_EQ(editor->contentBackGroundView()->frame(), platform::makeRect(4, 236, 992, 800 - 32 - 236));
    EXPECT_EQ(editor->contentLeftView()->frame(), platform::makeRect(8, 240, 240, 441));
    EXPECT_EQ(editor->contentRightView()->frame(), platform::makeRect(248, 240, 748, 441));
    EXPECT_EQ(editor->playerBackView()->frame(), platform::makeRect(253, 240, 736, 435));
    EXPECT_EQ(editor->musicRightView()->frame(), platform::makeRect(253, 240, 736, 435));
    EXPECT_EQ(editor->playerView()->frame(), platform::makeRect(0, 80, 736, 323));
    EXPECT_EQ(editor->playerBottomView()->frame(), platform::makeRect(0, 0, 736, 81));
    EXPECT_EQ(editor->musicRightPlayerView()->frame(), platform::makeRect(14, 90, 710, 345));
    EXPECT_EQ(editor->cutProgressView()->frame(), platform::makeRect(95, 35.5, 546, 30));
    EXPECT_EQ(editor->progressSlider()->frame(), platform::makeRect(95, 42, 546, 17));
    EXPECT_EQ(editor->totalTimeLabel()->frame(), platform::makeRect(646, 33.5, 80, 26));
    // The bar's strip keeps its x: its flexible margins keep it in the middle of the bar, also after a
    // visit to the music tool, whose bar is as wide.
    EXPECT_EQ(editor->playerBottomChildView()->frame(), platform::makeRect(188, 5, 360, 36));
    editor->addmusicAction();
    resizeTo(1100, 800);
    editor->cutAction();
    EXPECT_EQ(editor->playerBottomChildView()->frame(), platform::makeRect(238, 5, 360, 36));
    resizeTo(1000, 800);
    // Panels hang from the top of the tool column.
    EXPECT_EQ(editor->trimView()->frame().maxY(), 441 - 5);
    EXPECT_EQ(editor->musicContentView()->frame().maxY(), 240 + 441 - 5);
    const platform::Rect progress = editor->exportProgressView()->frame();
    EXPECT_EQ(progress.maxX(), 1000 - 158);
    EXPECT_EQ(editor->startExportBtn()->frame().maxX(), 1000 - 8);
}

TEST_F(EditorWindowTest, FullScreenNarrowsTheTopMarginAndItsExitOnlySetsTheMinimum)
{
    open(Editor::ToolTrim);
    resizeTo(1000, 800);
    auto &center = platform::NotificationCenter::defaultCenter();
    center.post(QString::fromLatin1(platform::NSWindowDidEnterFullScreenNotification), editor->window());
    EXPECT_EQ(editor->contentBackGroundView()->frame().height(), 800 - 8 - 236);
    center.post(QString::fromLatin1(platform::NSWindowDidExitFullScreenNotification), editor->window());
    EXPECT_EQ(editor->contentBackGroundView()->frame().height(), 800 - 8 - 236);
}

TEST_F(EditorWindowTest, AnotherWindowsResizeDoesNotRelayout)
{
    open(Editor::ToolTrim);
    platform::Window other;
    editor->contentLeftView()->setFrame(platform::makeRect(1, 2, 3, 4));
    platform::NotificationCenter::defaultCenter().post(QString::fromLatin1(platform::NSWindowDidResizeNotification),
                                                       &other);
    EXPECT_EQ(editor->contentLeftView()->frame(), platform::makeRect(1, 2, 3, 4));
}

TEST_F(EditorWindowTest, CollapsingTheChooserLowersTheMinimumAndHidesTheStrip)
{
    open(Editor::ToolTrim);
    resizeTo(1000, 800);
    OutputFormatChooser *chooser = editor->formatChooser();
    ASSERT_TRUE(chooser);
    chooser->setMainScreenHeight(700);
    chooser->showFunctionBtn()->mouseDownAction(chooser->showFunctionBtn());
    TestEnvironment::processEvents();
    ASSERT_TRUE(editor->isChooserCollapsed());
    EXPECT_EQ(editor->window()->minSize(), (platform::Size{908, 622}));
    EXPECT_EQ(editor->window()->frame().height(), 660);
    EXPECT_EQ(editor->contentBackGroundView()->frame().minY(), 85);
    EXPECT_EQ(editor->contentLeftView()->frame(), platform::makeRect(8, 90, 240, 660 - 209));
    EXPECT_TRUE(chooser->functionView()->isHidden());
    EXPECT_TRUE(chooser->functionItemScrollview()->isHidden());

    chooser->showFunctionBtn()->mouseDownAction(chooser->showFunctionBtn());
    TestEnvironment::processEvents();
    EXPECT_FALSE(editor->isChooserCollapsed());
    EXPECT_EQ(editor->window()->minSize(), (platform::Size{908, 780}));
    EXPECT_EQ(editor->window()->frame().height(), 800);
    EXPECT_EQ(editor->contentBackGroundView()->frame().minY(), 236);
    EXPECT_FALSE(chooser->functionView()->isHidden());
}

// The crop the user drew stays the same part of the picture through relayouts.
TEST_F(EditorWindowTest, CropSurvivesResizeFullScreenAndToolSwitches)
{
    open(Editor::ToolCrop);
    editor->setFileData(clip(640, 360));
    editor->initPlayerCliper();
    editor->cropAction();
    RDUICliper *cliper = editor->cliper();
    ASSERT_TRUE(cliper);
    const platform::Rect frame = cliper->frame();
    // The left half of the picture, less a quarter of its height at the bottom.
    cliper->setClipRect(platform::makeRect(0, frame.height() / 4, frame.width() / 2, frame.height() * 3 / 4));
    editor->cropTool().actionMoveEndForRDUICliperBlock(cliper, platform::Rect{}); // the drag's release
    editor->rotateAction();
    editor->cropAction();
    const RECT before = editor->cropTool().convertCropSize();
    EXPECT_EQ(before.left, 0);
    EXPECT_NEAR(before.right, 320, 2);
    EXPECT_NEAR(before.bottom, 90, 2);
    EXPECT_EQ(before.top, 0);

    auto expectKept = [&](const char *when) {
        SCOPED_TRACE(when);
        const RECT now = editor->cropTool().convertCropSize();
        EXPECT_NEAR(now.left, before.left, 2);
        EXPECT_NEAR(now.top, before.top, 2);
        EXPECT_NEAR(now.right, before.right, 2);
        EXPECT_NEAR(now.bottom, before.bottom, 2);
        EXPECT_NEAR(editor->cropTool().editVideoClipRect().width(), 320, 3);
        EXPECT_NEAR(editor->cropTool().editVideoClipRect().height(), 270, 3);
    };
    resizeTo(1300, 900);
    expectKept("after a resize");
    EXPECT_NE(cliper->frame(), frame) << "the overlay follows the bigger picture";
    platform::NotificationCenter::defaultCenter().post(
        QString::fromLatin1(platform::NSWindowDidEnterFullScreenNotification), editor->window());
    expectKept("after entering full screen");
    editor->addmusicAction();
    editor->cropAction();
    expectKept("after the music tool and back");
}

TEST_F(EditorWindowTest, NoCropStaysNoCropThroughRelayouts)
{
    open(Editor::ToolCrop);
    editor->setFileData(clip(640, 360));
    editor->initPlayerCliper();
    editor->cropAction();
    TestEnvironment::processEvents(); // the overlay draws once
    editor->rotateAction();
    resizeTo(1200, 850);
    editor->addmusicAction();
    editor->cutAction();
    const RECT margins = editor->cropTool().convertCropSize();
    EXPECT_EQ(margins.left | margins.top | margins.right | margins.bottom, 0);
    EXPECT_EQ(editor->cropTool().editVideoClipRect(), platform::makeRect(0, 0, 640, 360));
}

TEST_F(EditorWindowTest, AlertResetsTheExportControlsOnlyWhenNoExportRunsOrAtItsEnd)
{
    const struct
    {
        bool running;
        bool fromExportEnd;
        bool reset;
    } cases[] = {{false, false, true}, {true, false, false}, {true, true, true}};
    RecordingEngine::Installed engine;
    open(Editor::ToolTrim);
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.running << c.fromExportEnd);
        if (c.running)
            startHeldExport();
        editor->startExportBtn()->setContentTitle(QStringLiteral("busy"));
        TestEnvironment::scriptedPanels().answerAlert(0);
        editor->showSimpleAlert(QStringLiteral("the field is wrong"), 2, c.fromExportEnd);
        EXPECT_EQ(editor->startExportBtn()->contentTitle() != QStringLiteral("busy"), c.reset);
        EXPECT_EQ(editor->convertstart(), c.running) << "an alert never stops the export";
        const platform::AlertRequest &alert = TestEnvironment::scriptedPanels().alerts().last();
        EXPECT_EQ(alert.informativeText, QStringLiteral("the field is wrong"));
        EXPECT_EQ(alert.buttonTitles, QStringList{LanguageService::localizedStringForKey("OKBtnTitle")});
        if (c.running) {
            editor->startExportAction(); // the same button cancels
            ASSERT_TRUE(
                TestEnvironment::waitUntil([&] { return !editor->exportController()->runningChain(); }));
            RecordingEngine::stopAsked = false;
        }
    }
}

TEST_F(EditorWindowTest, TagOneShowsTheFinishDialogInsteadOfAnAlert)
{
    open(Editor::ToolTrim);
    const int alertsBefore = TestEnvironment::scriptedPanels().alerts().size();
    bool dialogShown = false;
    QTimer::singleShot(0, [&] {
        if (platform::Window *dialog = platform::Application::shared().modalWindow()) {
            dialogShown = true;
            dialog->close();
        }
    });
    editor->showSimpleAlert(QStringLiteral("OpenfileTitle"), 1, true);
    EXPECT_TRUE(dialogShown);
    EXPECT_EQ(TestEnvironment::scriptedPanels().alerts().size(), alertsBefore);
    EXPECT_TRUE(TestEnvironment::recordingWorkspace().revealedFiles().isEmpty())
        << "closing the dialog without the box ticked opens nothing";
}

TEST_F(EditorWindowTest, ClosingCancelsTheExportThenPostsOnce)
{
    CloseListener listener;
    open(Editor::ToolTrim);
    listener.editor = editor;
    RecordingEngine::Installed engine;
    startHeldExport();
    platform::Window unrelated;
    unrelated.show();
    unrelated.close();
    EXPECT_EQ(listener.count, 0) << "another window's close is not the editor's";
    EXPECT_FALSE(editor->isClosed());

    editor->close();
    EXPECT_EQ(listener.count, 1);
    EXPECT_FALSE(listener.exportRunningAtPost) << "the export is cancelled before the launcher hears of it";
    EXPECT_EQ(RecordingEngine::count("stop"), 1) << "the engine job is stopped";
    // A second close notification for the same window changes nothing.
    platform::NotificationCenter::defaultCenter().post(QString::fromLatin1(platform::NSWindowWillCloseNotification),
                                                       editor->window());
    EXPECT_EQ(listener.count, 1);
    TestEnvironment::processDeferredDeletes();
    EXPECT_FALSE(editor);
}

TEST_F(EditorWindowTest, WorkQueuedBeforeCloseNeverTouchesTheClosedWindow)
{
    open(Editor::ToolCrop);
    for (PNQButton *button : editor->toolButtons())
        button->setEnabled(true);
    bool ran = false;
    editor->dispatchOnMain([&ran] { ran = true; });
    // A click on a tool button queues its switch.
    PNQButton *trim = editor->toolButton(Editor::ToolTrim);
    trim->mouseDownAction(trim);
    EXPECT_EQ(editor->pendingMainWork(), 2);
    editor->close();
    EXPECT_TRUE(editor) << "alive while its queued work waits";
    TestEnvironment::processDeferredDeletes();
    EXPECT_FALSE(ran);
    EXPECT_FALSE(editor);
}

TEST_F(EditorWindowTest, ToolButtonClickSwitchesOnTheNextTurn)
{
    open(Editor::ToolTrim);
    PNQButton *effect = editor->toolButton(Editor::ToolEffect);
    effect->mouseDownAction(effect);
    EXPECT_EQ(editor->toolItemType(), Editor::ToolTrim);
    TestEnvironment::processEvents();
    EXPECT_EQ(editor->toolItemType(), Editor::ToolEffect);
    EXPECT_TRUE(shown(editor->kxfxView()));
}

} // namespace
