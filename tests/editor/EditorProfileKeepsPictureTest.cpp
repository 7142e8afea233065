// Choosing a shipped profile in the editor picks a container and codecs: the export keeps the clip's
// picture size and frame rate, and a size picked in the settings window (opened with the profile's gear)
// is used. The written files are probed with ffprobe.
#include "tests/editor/LoadedEditor.h"

#include "platform/Application.h"
#include "platform/PopUpButton.h"
#include "platform/Window.h"
#include "profiles/SettingWindowController.h"
#include "tests/support/FinishDialogWatch.h"
#include "tests/support/ProbeTool.h"
#include "toolkit/OutputFolderChooser.h"
#include "toolkit/OutputFormatChooser.h"

#include <QDir>
#include <QTimer>

namespace {

using namespace editortest;

constexpr int kExportWaitMs = 300000;

// 1 s, 640 x 360, 25 fps, with a tone.
QString clip360p()
{
    fixture::Spec spec;
    spec.width = 640;
    spec.height = 360;
    spec.duration = 1;
    return QString::fromStdString(fixture::sharedFixture("keep-640x360.mp4", spec));
}

class EditorProfileKeepsPictureTest : public LoadedEditorTest
{
protected:
    void SetUp() override { m_dialogWatch.start(); }
    void TearDown() override
    {
        m_dialogWatch.stop();
        LoadedEditorTest::TearDown();
    }

    // Clicks the profile `name` of the "Video" category in the format chooser.
    void chooseProfile(const QString &name)
    {
        OutputFormatChooser *chooser = editor->formatChooser();
        const int tab = chooser->functionList().indexOf(QStringLiteral("Video"));
        ASSERT_GE(tab, 0);
        chooser->actionFunctionItem(chooser->function_Items().at(tab));
        m_item = chooser->functionItemChilds().indexOf(name);
        ASSERT_GE(m_item, 0);
        for (int page = 0; page < m_item / OutputFormatChooser::ProfilesPerPage; ++page)
            chooser->action_right_move_item_Btn(nullptr);
        QTest::mouseClick(chooser->itemButtons().at(m_item), Qt::LeftButton);
    }

    // Clicks the chosen profile's gear and, in the settings window it runs, picks `size` in the frame-size
    // menu (the second of the window's menus) and closes the window.
    void pickFrameSizeInSettingsWindow(const QString &size)
    {
        QString picked;
        QTimer watch; // acts once the settings window runs modally
        watch.setInterval(20);
        QObject::connect(&watch, &QTimer::timeout, [&] {
            platform::Window *modal = platform::Application::shared().modalWindow();
            if (!modal || !qobject_cast<SettingWindowController *>(modal->windowController()))
                return;
            watch.stop();
            for (platform::PopUpButton *menu : modal->findChildren<platform::PopUpButton *>()) {
                if (const int index = menu->indexOfItemWithTitle(size); index >= 0) {
                    menu->chooseItemAtIndex(index);
                    picked = menu->titleOfSelectedItem();
                    break;
                }
            }
            modal->close();
        });
        watch.start();
        QTest::mouseClick(editor->formatChooser()->gearButtons().at(m_item), Qt::LeftButton);
        ASSERT_TRUE(TestEnvironment::waitUntil([&] { return !picked.isEmpty() && !platform::Application::shared().isModal(); }));
        ASSERT_EQ(picked, size);
        ASSERT_FALSE(platform::Application::shared().isModal());
    }

    QString chooseFreshOutputFolder()
    {
        const QString folder = QString::fromStdString(fixture::freshFolder());
        TestEnvironment::scriptedPanels().answerFolderPanel(folder);
        editor->folderChooser()->popUpButton()->chooseItemAtIndex(OutputFolderChooser::Other);
        return folder;
    }

    // Clicks Start, waits for the finish dialog, and returns the one file added to `folder`.
    QString exportInto(const QString &folder)
    {
        const QStringList before = QDir(folder).entryList(QDir::Files);
        const qsizetype answered = m_dialogWatch.texts().size();
        QTest::mouseClick(editor->startExportBtn(), Qt::LeftButton);
        EXPECT_TRUE(TestEnvironment::waitUntil([&] { return m_dialogWatch.texts().size() > answered; }, kExportWaitMs));
        QStringList added = QDir(folder).entryList(QDir::Files);
        for (const QString &name : before)
            added.removeAll(name);
        EXPECT_EQ(added.size(), 1);
        return added.isEmpty() ? QString() : folder + u'/' + added.first();
    }

    FinishDialogWatch m_dialogWatch;
    int m_item = -1;
};

TEST_F(EditorProfileKeepsPictureTest, AChosenFormatKeepsTheClipsSizeAndRateUnlessASizeIsPicked)
{
    const struct
    {
        const char *profile;
        const char *codec;
    } cases[] = {{"mp4(H.264)", "h264"}, {"mkv(HEVC)", "hevc"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.profile);
        openWith(clip360p());
        chooseProfile(QString::fromLatin1(c.profile));
        const QString folder = chooseFreshOutputFolder();

        const fixture::ProbeResult kept = fixture::probe(exportInto(folder).toStdString());
        ASSERT_TRUE(kept.ok) << kept.error;
        ASSERT_EQ(kept.count("video"), 1);
        const fixture::ProbeStream video = kept.ofType("video")[0];
        EXPECT_EQ(video.codecName, c.codec);
        EXPECT_EQ(video.width, 640);
        EXPECT_EQ(video.height, 360);
        EXPECT_DOUBLE_EQ(video.avgFrameRate, 25);
        EXPECT_NEAR(kept.duration, 1.0, 0.1) << "no frames added";

        pickFrameSizeInSettingsWindow(QStringLiteral("1280x720"));
        const fixture::ProbeResult picked = fixture::probe(exportInto(folder).toStdString());
        ASSERT_TRUE(picked.ok) << picked.error;
        ASSERT_EQ(picked.count("video"), 1);
        EXPECT_EQ(picked.ofType("video")[0].width, 1280);
        EXPECT_EQ(picked.ofType("video")[0].height, 720);
        EXPECT_DOUBLE_EQ(picked.ofType("video")[0].avgFrameRate, 25);

        editor->close();
        TestEnvironment::processDeferredDeletes();
    }
}

} // namespace
