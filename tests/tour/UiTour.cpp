// The application as a user meets it: the launcher and the editor shot to PNG in German and Arabic, and
// one editor session (start, load a clip, play, trim, export, close). See CMakeLists.txt for the command.
#include "app/AppDelegate.h"
#include "app/ViewController.h"
#include "controls/PNQButton.h"
#include "controls/PNQOpenAlert.h"
#include "editor/EditVideoWindowController.h"
#include "editor/tools/SubtitleTool.h"
#include "model/SubtitleParam.h"
#include "platform/Application.h"
#include "platform/PopUpButton.h"
#include "platform/ScriptedPanels.h"
#include "platform/Window.h"
#include "tests/support/FinishDialogWatch.h"
#include "tests/support/LauncherDriver.h"
#include "tests/support/SharedFixtures.h"
#include "tests/support/ScreenshotLanguages.h"
#include "tests/support/TestEnvironment.h"
#include "toolkit/OutputFolderChooser.h"
#include "toolkit/OutputFormatChooser.h"
#include "toolkit/TimeFieldGroup.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

namespace {

QString clip()
{
    fixture::Spec spec;
    spec.duration = 12;
    return QString::fromStdString(fixture::sharedFixture("tour.mp4", spec));
}

bool load(EditVideoWindowController *editor, const QString &path)
{
    TestEnvironment::scriptedPanels().answerOpenPanel({path});
    QTest::mouseClick(editor->addfileButton(), Qt::LeftButton);
    return TestEnvironment::waitUntil([&] { return editor->fileData() && editor->rdPlayer(); });
}

void note(const char *step)
{
    std::fprintf(stderr, "=== tour: %s\n", step);
}

TEST(Tour, Screenshots)
{
    const QString out = qEnvironmentVariable("VW_TOUR_OUT", QDir::tempPath());
    inScreenshotLanguages([&](const QString &code) {
        AppDelegate delegate;
        delegate.applicationDidFinishLaunching();
        delegate.mainWindow()->center();
        delegate.mainWindow()->makeKeyAndOrderFront();
        QTest::qWait(500);
        EXPECT_TRUE(delegate.mainWindow()->grab().save(out + "/launcher-" + code + ".png"));
        EditVideoWindowController *editor = openEditorFromLauncher(delegate);
        ASSERT_NE(editor, nullptr);
        QTest::qWait(500);
        EXPECT_TRUE(editor->window()->grab().save(out + "/editor-" + code + ".png"));
        ASSERT_TRUE(load(editor, clip()));
        QTest::mouseClick(editor->playPauseBtn(), Qt::LeftButton); // playing: the pause image
        QTest::qWait(1200);
        EXPECT_TRUE(editor->window()->grab().save(out + "/editor-loaded-" + code + ".png"));
        editor->close();
        TestEnvironment::processDeferredDeletes();
    }, {4, 8});
}

// Each tool window as it first opens, in English, German and Arabic: "tool-<n>-<language>.png".
TEST(Tour, EveryToolWindow)
{
    const QString out = qEnvironmentVariable("VW_TOUR_OUT", QDir::tempPath());
    inScreenshotLanguages([&](const QString &code) {
        AppDelegate delegate;
        delegate.applicationDidFinishLaunching();
        delegate.mainWindow()->makeKeyAndOrderFront();
        for (int tool = 0; tool < ViewController::ToolCount; ++tool) {
            PNQButton *button = delegate.viewController()->toolButton(ViewController::Tool(tool));
            button->mouseDownAction(button);
            platform::Window *opened = nullptr;
            TestEnvironment::waitUntil([&] {
                for (QWidget *w : QApplication::topLevelWidgets())
                    if (auto *window = qobject_cast<platform::Window *>(w);
                        window && window->isVisible() && window != delegate.mainWindow())
                        opened = window;
                return opened != nullptr;
            });
            ASSERT_NE(opened, nullptr) << tool;
            QTest::qWait(300);
            EXPECT_TRUE(opened->grab().save(out + QStringLiteral("/tool-%1-").arg(tool) + code + ".png"));
            opened->close();
            TestEnvironment::processEvents();
            TestEnvironment::processDeferredDeletes();
        }
    });
}

TEST(Tour, LoadPlayTrimExportClose)
{
    // Answers the finish dialog as a user does.
    QTimer okClicker;
    bool finished = false;
    okClicker.setInterval(50);
    QObject::connect(&okClicker, &QTimer::timeout, [&] {
        platform::Window *window = platform::Application::shared().modalWindow();
        auto *dialog = window ? qobject_cast<PNQOpenAlert *>(window->windowController()) : nullptr;
        if (dialog && dialog->okBtn()) {
            finished = true;
            QTest::mouseClick(dialog->okBtn(), Qt::LeftButton);
        }
    });
    okClicker.start();

    note("start");
    AppDelegate delegate;
    delegate.applicationDidFinishLaunching();
    delegate.mainWindow()->makeKeyAndOrderFront();
    QTest::qWait(300);
    QPointer<EditVideoWindowController> editor = openEditorFromLauncher(delegate);
    ASSERT_TRUE(editor);

    note("load");
    ASSERT_TRUE(load(editor, clip()));
    note("play");
    QTest::mouseClick(editor->playPauseBtn(), Qt::LeftButton);
    QTest::qWait(1500);
    QTest::mouseClick(editor->playPauseBtn(), Qt::LeftButton);

    note("trim");
    auto type = [](platform::TextField *field, const char *text) {
        field->lineEdit()->setFocus();
        field->lineEdit()->selectAll();
        QTest::keyClicks(field->lineEdit(), QString::fromLatin1(text));
        QTest::keyClick(field->lineEdit(), Qt::Key_Return);
    };
    type(editor->stopTimeFields().fields()[2], "07");
    type(editor->startTimeFields().fields()[2], "02");

    note("export");
    const QString folder = QString::fromStdString(fixture::freshFolder());
    TestEnvironment::scriptedPanels().answerFolderPanel(folder);
    editor->folderChooser()->popUpButton()->chooseItemAtIndex(OutputFolderChooser::Other);
    QTest::mouseClick(editor->startExportBtn(), Qt::LeftButton);
    EXPECT_TRUE(TestEnvironment::waitUntil([&] { return finished; }, 300000));
    EXPECT_EQ(QDir(folder).entryList(QDir::Files).size(), 1);

    note("close");
    editor->close();
    TestEnvironment::processDeferredDeletes();
    delegate.mainWindow()->close();
    TestEnvironment::processEvents();
    note("end");
}

// What a user's terminal shows during an ordinary session: nothing. Run by quiet-terminal.sh, which
// fails when anything reached standard error; so this test prints nothing there itself.
TEST(Tour, QuietSession)
{
    FinishDialogWatch finished;
    AppDelegate delegate;
    delegate.applicationDidFinishLaunching();
    delegate.mainWindow()->makeKeyAndOrderFront();
    QPointer<EditVideoWindowController> editor = openEditorFromLauncher(delegate);
    ASSERT_TRUE(editor);

    // Sound in mp3, whose decoder has its own things to say about timestamps.
    fixture::Spec spec;
    spec.duration = 8;
    spec.audio[0].codec = "libmp3lame";
    ASSERT_TRUE(load(editor, QString::fromStdString(fixture::sharedFixture("quiet.mp4", spec))));

    auto type = [](platform::TextField *field, const char *text) {
        field->lineEdit()->setFocus();
        field->lineEdit()->selectAll();
        QTest::keyClicks(field->lineEdit(), QString::fromLatin1(text));
        QTest::keyClick(field->lineEdit(), Qt::Key_Return);
    };
    type(editor->stopTimeFields().fields()[2], "05");
    type(editor->startTimeFields().fields()[2], "02");

    const QString folder = QString::fromStdString(fixture::freshFolder());
    TestEnvironment::scriptedPanels().answerFolderPanel(folder);
    editor->folderChooser()->popUpButton()->chooseItemAtIndex(OutputFolderChooser::Other);
    auto exportAs = [&](const QString &profile) {
        OutputFormatChooser *chooser = editor->formatChooser();
        const int tab = chooser->functionList().indexOf(QStringLiteral("Video"));
        ASSERT_GE(tab, 0);
        chooser->actionFunctionItem(chooser->function_Items().at(tab));
        const int item = chooser->functionItemChilds().indexOf(profile);
        ASSERT_GE(item, 0) << profile.toStdString();
        for (int page = 0; page < item / OutputFormatChooser::ProfilesPerPage; ++page)
            chooser->action_right_move_item_Btn(nullptr);
        QTest::mouseClick(chooser->itemButtons().at(item), Qt::LeftButton);
        const qsizetype answered = finished.texts().size();
        QTest::mouseClick(editor->startExportBtn(), Qt::LeftButton);
        ASSERT_TRUE(TestEnvironment::waitUntil([&] { return finished.texts().size() > answered; }, 300000));
        EXPECT_EQ(finished.texts().last(), QStringLiteral("Editfinishedstring")) << profile.toStdString();
    };
    exportAs(QStringLiteral("mp4(H.264)"));
    exportAs(QStringLiteral("mp4(HEVC)"));

    const QString srt = QDir(QString::fromStdString(fixture::freshFolder())).filePath("quiet.srt");
    QFile file(srt);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("1\n00:00:02,500 --> 00:00:04,000\nQuiet, please\n");
    file.close();
    SubtitleTool &tool = editor->subtitleTool();
    TestEnvironment::scriptedPanels().answerOpenPanel({srt});
    tool.subtitlePopUpBtn()->chooseItemAtIndex(tool.subtitlePopUpBtn()->numberOfItems() - 1);
    ASSERT_TRUE(editor->subtitleParam());
    EXPECT_EQ(editor->subtitleParam()->subtitlePath(), srt);
    TestEnvironment::processEvents();
    exportAs(QStringLiteral("mkv(HEVC)"));
    EXPECT_EQ(QDir(folder).entryList(QDir::Files).size(), 3);

    editor->close();
    TestEnvironment::processDeferredDeletes();
    delegate.mainWindow()->close();
    TestEnvironment::processEvents();
}

} // namespace
