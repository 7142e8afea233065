// What every cutting tool takes in: the files the application itself writes (WebM and Opus, in any case
// of the extension), and the folder its open panel starts in.
#include "cutters/BatchCutterRegistration.h"
#include "cutters/BatchCutterWindowController.h"
#include "cutters/EasyCutterRegistration.h"
#include "cutters/EasyCutterWindowcontroller.h"
#include "cutters/SplitWindowController.h"
#include "cutters/SplitterRegistration.h"
#include "model/SimpleData.h"
#include "platform/ScriptedPanels.h"
#include "platform/UserDefaults.h"
#include "platform/Workspace.h"
#include "tests/support/SharedFixtures.h"
#include "tests/support/TestEnvironment.h"
#include "toolkit/ToolWindowController.h"

#include <QFile>
#include <QFileInfo>
#include <QPointer>

#include <gtest/gtest.h>

namespace {

// A WebM (VP9 and Opus) and an Opus file, copied into a fresh folder with upper-case extensions.
struct OwnOutputs
{
    OwnOutputs()
    {
        fixture::Spec video;
        video.videoCodec = "libvpx-vp9";
        video.audio[0].codec = "libopus";
        fixture::Spec sound;
        sound.hasVideo = false;
        sound.audio[0].codec = "libopus";
        webm = copy(fixture::sharedFixture("own.webm", video), "/Own.WEBM");
        opus = copy(fixture::sharedFixture("own.opus", sound), "/Own.Opus");
    }
    QString copy(const std::string &source, const char *name) const
    {
        const QString path = folder + QLatin1String(name);
        QFile::copy(QString::fromStdString(source), path);
        return path;
    }
    const QString folder = QString::fromStdString(fixture::freshFolder());
    QString webm;
    QString opus;
};

template <typename Controller> QPointer<Controller> openWindow(void (*registerClass)(), const char *className)
{
    registerClass();
    auto *controller = platform::WindowController::create(QString::fromLatin1(className));
    controller->makeKeyAndOrderFront();
    TestEnvironment::processEvents();
    return qobject_cast<Controller *>(controller);
}

template <typename Controller> void closeWindow(QPointer<Controller> &window)
{
    if (window && !window->isClosed())
        window->close();
    TestEnvironment::processDeferredDeletes();
}

class CutterInputsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        platform::UserDefaults::standard().remove(
            QString::fromLatin1(ToolWindowController::LastOpenFolderKey));
    }
    void TearDown() override { TestEnvironment::scriptedPanels().reset(); }

    // The folder the last open panel started in.
    static QString lastPanelFolder()
    {
        return TestEnvironment::scriptedPanels().openPanels().last().directory;
    }

    OwnOutputs files;
};

} // namespace

TEST_F(CutterInputsTest, EveryCutterTakesWebmAndOpusInAnyCase)
{
    for (const QString &path : {files.webm, files.opus}) {
        SCOPED_TRACE(path.toStdString());
        auto easy = openWindow<EasyCutterWindowcontroller>(registerEasyCutterWindowClass,
                                                           "EasyCutterWindowcontroller");
        ASSERT_TRUE(easy);
        TestEnvironment::scriptedPanels().answerOpenPanel({path});
        easy->addFileAction();
        ASSERT_TRUE(easy->fileData());
        EXPECT_EQ(easy->fileData()->path(), path);
        closeWindow(easy);

        auto splitter =
            openWindow<SplitWindowController>(registerSplitterWindowClass, "SplitWindowController");
        ASSERT_TRUE(splitter);
        TestEnvironment::scriptedPanels().answerOpenPanel({path});
        splitter->addFileAction();
        ASSERT_TRUE(splitter->fileData());
        EXPECT_EQ(splitter->fileData()->path(), path);
        closeWindow(splitter);
    }

    auto batch = openWindow<BatchCutterWindowController>(registerBatchCutterWindowClass,
                                                         "BatchCutterWindowController");
    ASSERT_TRUE(batch);
    TestEnvironment::scriptedPanels().answerOpenPanel({files.webm, files.opus});
    batch->addFileAction();
    TestEnvironment::processEvents();
    ASSERT_EQ(batch->fileList()->size(), 2);
    EXPECT_EQ(batch->fileList()->at(0)->path(), files.webm);
    EXPECT_EQ(batch->fileList()->at(1)->path(), files.opus);
    closeWindow(batch);
}

TEST_F(CutterInputsTest, TheOpenPanelStartsInTheLastFolderChosenElseVideos)
{
    const QString videos = platform::Workspace::standardFolder(platform::StandardFolder::Movies);
    auto easy =
        openWindow<EasyCutterWindowcontroller>(registerEasyCutterWindowClass, "EasyCutterWindowcontroller");
    TestEnvironment::scriptedPanels().answerOpenPanel({});
    easy->addFileAction();
    EXPECT_EQ(lastPanelFolder(), videos);
    TestEnvironment::scriptedPanels().answerOpenPanel({files.webm});
    easy->addFileAction();
    EXPECT_EQ(lastPanelFolder(), videos);
    closeWindow(easy);

    // Another tool opens where the user last chose from.
    auto splitter = openWindow<SplitWindowController>(registerSplitterWindowClass, "SplitWindowController");
    TestEnvironment::scriptedPanels().answerOpenPanel({});
    splitter->addFileAction();
    EXPECT_EQ(lastPanelFolder(), QFileInfo(files.webm).absolutePath());
    closeWindow(splitter);

    // A folder that has gone since falls back to Videos.
    platform::UserDefaults::standard().setValue(QString::fromLatin1(ToolWindowController::LastOpenFolderKey),
                                                files.folder + QStringLiteral("/gone"));
    auto batch = openWindow<BatchCutterWindowController>(registerBatchCutterWindowClass,
                                                         "BatchCutterWindowController");
    TestEnvironment::scriptedPanels().answerOpenPanel({});
    batch->addFileAction();
    EXPECT_EQ(lastPanelFolder(), videos);
    closeWindow(batch);
}
