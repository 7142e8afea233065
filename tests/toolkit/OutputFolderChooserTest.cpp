#include "toolkit/OutputFolderChooser.h"

#include "platform/PopUpButton.h"
#include "platform/Workspace.h"
#include "services/LanguageService.h"
#include "tests/support/TestEnvironment.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

// The window's place for the pop-up, sized before the chooser fills it.
struct Host : QWidget
{
    Host() { resize(200, 24); }
};

class OutputFolderChooserTest : public ::testing::Test
{
protected:
    void SetUp() override { QDir(OutputFolderChooser::defaultFolder()).removeRecursively(); }

    QString pick(const QString &name)
    {
        const QString path = picks.path() + u'/' + name;
        QDir().mkpath(path);
        return path;
    }

    QStringList fixedTitles() const { return chooser.outputPathTitles(); }
    platform::PopUpButton &popUp() { return *chooser.popUpButton(); }

    QTemporaryDir picks;
    Host host;
    OutputFolderChooser chooser{&host};
};

TEST_F(OutputFolderChooserTest, StartsOnTheDefaultFolderAndCreatesIt)
{
    const QString expected = platform::Workspace::standardFolder(platform::StandardFolder::Documents) + u'/' +
                             LanguageService::localizedStringForKey("Title");
    ASSERT_FALSE(QFileInfo::exists(expected));
    EXPECT_TRUE(chooser.outputPath().isEmpty());

    chooser.outputPopUpBtnAction(nullptr);

    EXPECT_EQ(chooser.outputPath(), expected);
    EXPECT_TRUE(QFileInfo(expected).isDir());
    EXPECT_EQ(popUp().numberOfItems(), OutputFolderChooser::FixedEntryCount);
    EXPECT_EQ(popUp().indexOfSelectedItem(), OutputFolderChooser::DefaultFolder);
    EXPECT_EQ(popUp().frame().size, (platform::Size{200, 24}));
}

TEST_F(OutputFolderChooserTest, OtherTakesTheChosenFolderAndACancelKeepsTheOldOne)
{
    chooser.outputPopUpBtnAction(nullptr);
    const QString picked = pick(QStringLiteral("Exports"));
    TestEnvironment::scriptedPanels().answerFolderPanel(picked);

    popUp().chooseItemAtIndex(OutputFolderChooser::Other);

    EXPECT_EQ(chooser.outputPath(), picked);
    EXPECT_EQ(popUp().itemTitles(), fixedTitles() + QStringList{QStringLiteral("Exports")});
    EXPECT_EQ(popUp().indexOfSelectedItem(), OutputFolderChooser::FixedEntryCount);
    const auto &requests = TestEnvironment::scriptedPanels().folderPanels();
    ASSERT_EQ(requests.size(), 1);
    EXPECT_EQ(requests[0].message, LanguageService::localizedStringForKey("Main_Sel_Dir_Hit"));
    EXPECT_EQ(requests[0].prompt, LanguageService::localizedStringForKey("OpenPanelOpenTitle"));
    EXPECT_EQ(requests[0].cancelTitle, LanguageService::localizedStringForKey("OpenPanelCancelTitle"));

    TestEnvironment::scriptedPanels().answerFolderPanel(QString());
    popUp().chooseItemAtIndex(OutputFolderChooser::Other);

    EXPECT_EQ(chooser.outputPath(), picked);
    EXPECT_EQ(popUp().numberOfItems(), OutputFolderChooser::FixedEntryCount + 1);
}

TEST_F(OutputFolderChooserTest, KeepsOnlyTheLatestPickedFolderAndRecreatesItWhenChosenAgain)
{
    chooser.outputPopUpBtnAction(nullptr);
    TestEnvironment::scriptedPanels().answerFolderPanel(pick(QStringLiteral("First")));
    popUp().chooseItemAtIndex(OutputFolderChooser::Other);
    const QString second = pick(QStringLiteral("Second"));
    TestEnvironment::scriptedPanels().answerFolderPanel(second);
    popUp().chooseItemAtIndex(OutputFolderChooser::Other);
    EXPECT_EQ(popUp().itemTitles(), fixedTitles() + QStringList{QStringLiteral("Second")});

    ASSERT_TRUE(QDir(second).removeRecursively());
    popUp().chooseItemAtIndex(OutputFolderChooser::FixedEntryCount);

    EXPECT_EQ(chooser.outputPath(), second);
    EXPECT_TRUE(QFileInfo(second).isDir());
    EXPECT_EQ(popUp().itemTitles(), fixedTitles() + QStringList{QStringLiteral("Second")});
    EXPECT_EQ(popUp().titleOfSelectedItem(), QStringLiteral("Second"));
}

TEST_F(OutputFolderChooserTest, StandardEntriesTakeTheirFolderAndDropThePickedOne)
{
    const struct
    {
        OutputFolderChooser::Entry entry;
        platform::StandardFolder folder;
    } cases[] = {
        {OutputFolderChooser::Movies, platform::StandardFolder::Movies},
        {OutputFolderChooser::Documents, platform::StandardFolder::Documents},
        {OutputFolderChooser::Desktop, platform::StandardFolder::Desktop},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(static_cast<int>(c.entry));
        TestEnvironment::scriptedPanels().answerFolderPanel(pick(QStringLiteral("Elsewhere")));
        popUp().chooseItemAtIndex(OutputFolderChooser::Other);
        ASSERT_EQ(popUp().numberOfItems(), OutputFolderChooser::FixedEntryCount + 1);

        popUp().chooseItemAtIndex(c.entry);

        const QString folder = platform::Workspace::standardFolder(c.folder);
        EXPECT_EQ(chooser.outputPath(), folder);
        // The pop-up shows the folder's own name: the entry when the names agree, else an item of its own.
        EXPECT_EQ(popUp().titleOfSelectedItem(), QFileInfo(folder).fileName());
        EXPECT_FALSE(popUp().itemTitles().contains(QStringLiteral("Elsewhere")));
    }
}

TEST_F(OutputFolderChooserTest, APickedFolderNamedLikeTheDefaultOneLeadsToTheDefaultFolder)
{
    const QString lookalike = pick(LanguageService::localizedStringForKey("Title"));
    TestEnvironment::scriptedPanels().answerFolderPanel(lookalike);
    popUp().chooseItemAtIndex(OutputFolderChooser::Other);
    EXPECT_EQ(chooser.outputPath(), lookalike);

    popUp().chooseItemAtIndex(OutputFolderChooser::FixedEntryCount);

    EXPECT_EQ(chooser.outputPath(), OutputFolderChooser::defaultFolder());
    EXPECT_TRUE(QFileInfo(OutputFolderChooser::defaultFolder()).isDir());
}

TEST_F(OutputFolderChooserTest, RevealsOnlyAnExistingOutputFolder)
{
    auto &workspace = TestEnvironment::recordingWorkspace();
    EXPECT_FALSE(chooser.revealOutputPath());
    EXPECT_TRUE(workspace.calls().isEmpty());

    chooser.outputPopUpBtnAction(nullptr);
    EXPECT_TRUE(chooser.revealOutputPath());
    EXPECT_EQ(workspace.revealedFiles(), QStringList{chooser.outputPath()});
}

TEST_F(OutputFolderChooserTest, ReportsEachNewFolder)
{
    QStringList reported;
    chooser.outputPathChanged = [&](const QString &path) { reported.append(path); };
    chooser.outputPopUpBtnAction(nullptr);
    TestEnvironment::scriptedPanels().answerFolderPanel(QString());
    popUp().chooseItemAtIndex(OutputFolderChooser::Other);
    popUp().chooseItemAtIndex(OutputFolderChooser::Desktop);

    EXPECT_EQ(reported,
              (QStringList{OutputFolderChooser::defaultFolder(),
                           platform::Workspace::standardFolder(platform::StandardFolder::Desktop)}));
}

} // namespace
