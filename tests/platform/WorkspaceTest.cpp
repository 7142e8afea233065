#include "platform/Workspace.h"
#include "platform/RecordingWorkspace.h"

#include "tests/support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace platform;

TEST(TestEnvironment, HomeAndXdgFoldersAreInsideTheTemporaryFolder)
{
    const QString temp = TestEnvironment::tempDir();
    ASSERT_FALSE(temp.isEmpty());
    ASSERT_TRUE(QFileInfo(temp).isDir());
    EXPECT_EQ(QDir::homePath(), TestEnvironment::homeDir());
    for (const char *name :
         {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"}) {
        const QString value = qEnvironmentVariable(name);
        EXPECT_TRUE(value.startsWith(temp + "/")) << name << " = " << value.toStdString();
        EXPECT_TRUE(QFileInfo(value).isDir()) << name;
    }
    struct stat info
    {
    };
    ASSERT_EQ(stat(qPrintable(qEnvironmentVariable("XDG_RUNTIME_DIR")), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    EXPECT_EQ(qEnvironmentVariable("QT_QPA_PLATFORM").isEmpty(), false);
}

TEST(TestEnvironment, StandardFoldersAreTheFakeUserFolders)
{
    const QString home = TestEnvironment::homeDir();
    EXPECT_EQ(Workspace::standardFolder(StandardFolder::Movies), home + "/Videos");
    EXPECT_EQ(Workspace::standardFolder(StandardFolder::Documents), home + "/Documents");
    EXPECT_EQ(Workspace::standardFolder(StandardFolder::Desktop), home + "/Desktop");
    for (auto folder : {StandardFolder::Movies, StandardFolder::Documents, StandardFolder::Desktop})
        EXPECT_TRUE(QFileInfo(Workspace::standardFolder(folder)).isDir());
}

TEST(RecordingWorkspace, RecordsRequestsAndOpensNothing)
{
    RecordingWorkspace &workspace = TestEnvironment::recordingWorkspace();
    ASSERT_EQ(&Workspace::instance(), &workspace);
    EXPECT_TRUE(workspace.calls().isEmpty()); // emptied before each test

    const QString movies = Workspace::standardFolder(StandardFolder::Movies);
    const QString file = movies + "/out.mp4";
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();

    EXPECT_TRUE(Workspace::instance().revealFile(file));
    EXPECT_FALSE(Workspace::instance().revealFile(movies + "/missing.mp4"));
    EXPECT_TRUE(Workspace::instance().openFolder(movies));
    EXPECT_FALSE(Workspace::instance().openFolder(file));
    EXPECT_TRUE(Workspace::instance().openUrl(QUrl("https://example.org/help")));

    EXPECT_EQ(workspace.revealedFiles(), QStringList({file, movies + "/missing.mp4"}));
    EXPECT_EQ(workspace.openedFolders(), QStringList({movies, file}));
    EXPECT_EQ(workspace.openedUrls(), QStringList({"https://example.org/help"}));
    ASSERT_EQ(workspace.calls().size(), 5);
    EXPECT_EQ(workspace.calls()[0].kind, RecordingWorkspace::Call::Kind::RevealFile);
    QFile::remove(file);
}
