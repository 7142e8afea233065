// The editor driven as a user drives it: open it from the launcher's registry, add a clip, type a trim,
// choose a profile and an output folder, click Start, answer the finish dialog; the written file is
// probed with ffprobe and decoded.
#include "tests/editor/LoadedEditor.h"

#include "services/LanguageService.h"
#include "controls/NSProgressView.h"
#include "controls/PNQOpenAlert.h"
#include "controls/RDCutProgressView.h"
#include "editor/EditorExportController.h"
#include "toolkit/EditorOutputSettings.h"
#include "toolkit/OutputFolderChooser.h"
#include "model/FileData.h"
#include "platform/Application.h"
#include "platform/Dispatch.h"
#include "platform/PopUpButton.h"
#include "platform/UserDefaults.h"
#include "platform/Window.h"
#include "tests/support/ProbeDecoder.h"
#include "tests/support/FinishDialogWatch.h"
#include "tests/support/ProbeTool.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QTest>
#include <QTimer>

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

class EditorEndToEndTest : public LoadedEditorTest
{
protected:
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

    // Types `text` into a trim field and ends the edit with Return.
    static void type(platform::TextField *field, const QString &text)
    {
        QLineEdit *edit = field->lineEdit();
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
    }

    // Keeps or deletes 00:00:02.00 .. 00:00:07.00.
    void setTrimTwoToSeven()
    {
        type(editor->stopTimeFields().fields()[2], QStringLiteral("07"));
        type(editor->startTimeFields().fields()[2], QStringLiteral("02"));
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
        const int dialogs = dialogTexts.size();
        clickStart();
        EXPECT_TRUE(TestEnvironment::waitUntil([&] { return editor->convertstart(); }));
        EXPECT_TRUE(TestEnvironment::waitUntil([&] { return dialogTexts.size() > dialogs; }, kExportWaitMs))
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

    static int stampAt(const QString &path, double seconds)
    {
        const auto frame = fixture::decodeFrameAt(path.toStdString(), seconds);
        return frame ? fixture::readFrameIndex(*frame) : -2;
    }

    FinishDialogWatch m_dialogWatch;
    QStringList &dialogTexts = m_dialogWatch.texts;
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

} // namespace
