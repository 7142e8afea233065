#include "platform/Log.h"
#include "profiles/CustomProfileWriter.h"
#include "profiles/ProfileLibrary.h"
#include "profiles/ProfileReader.h"
#include "tests/support/TempResources.h"
#include "tests/profiles/ScopedDataHome.h"

#include <QDirIterator>

#include <gtest/gtest.h>

namespace {

// Every file under `root`, relative to it, sorted.
QStringList filesUnder(const QString &root)
{
    QStringList files;
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(QDir(root).relativeFilePath(it.next()));
    files.sort();
    return files;
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

const QStringList kLines = {"[Main]", "ExtName=mkv", "[Parameter]", "vcodec=hevc,{hevc,h264}", "s=custom={640x360}"};

class CustomProfileWriterTest : public ::testing::Test
{
protected:
    ScopedDataHome m_dataHome;
};

TEST_F(CustomProfileWriterTest, RoundTripReadsBackEveryLine)
{
    platform::LogCapture capture;
    ASSERT_TRUE(CustomProfileWriter::saveSettingForpf(kLines, QStringLiteral("My profile")));
    EXPECT_TRUE(capture.contains("没有文件夹,创建文件夹成功"));
    EXPECT_TRUE(capture.contains("保存成功"));

    const QString path = ProfileLibrary::customFolder() + QStringLiteral("/My profile.pf");
    EXPECT_EQ(fileBytes(path), kLines.join(u'\n').toUtf8() + '\n');
    EXPECT_EQ(ProfileReader::readProfileValue(QStringLiteral("Main"), QStringLiteral("ExtName"), path), QLatin1String("mkv"));
    EXPECT_EQ(ProfileReader::readProfileValue(QStringLiteral("Parameter"), QStringLiteral("s"), path),
              QLatin1String("custom={640x360}"));
    EXPECT_EQ(ProfileLibrary::editor().getFunctionItemChildList(QStringLiteral("Custom")), QStringList{"My profile"});

    // The same name again replaces the profile; the folder exists now.
    capture.clear();
    ASSERT_TRUE(CustomProfileWriter::saveSettingForpf({"[Main]", "ExtName=avi"}, QStringLiteral("My profile")));
    EXPECT_FALSE(capture.containsText("没有文件夹"));
    EXPECT_EQ(fileBytes(path), QByteArray("[Main]\nExtName=avi\n"));
}

TEST_F(CustomProfileWriterTest, RefusesNamesThatLeaveTheFolder)
{
    TempResources::writeFile(m_dataHome.path() + QStringLiteral("/video-workshop/keep.txt"), "user data");
    const QStringList before = filesUnder(m_dataHome.path());
    const QString names[] = {QString(), QStringLiteral("   "), QStringLiteral("a/b"), QStringLiteral("../keep"),
                             QStringLiteral("/tmp/evil"), QString::fromUtf8("a\0b", 3)};
    for (const QString &name : names) {
        SCOPED_TRACE(name.toStdString());
        EXPECT_FALSE(CustomProfileWriter::saveSettingForpf(kLines, name));
    }
    EXPECT_EQ(filesUnder(m_dataHome.path()), before);
    EXPECT_EQ(fileBytes(m_dataHome.path() + QStringLiteral("/video-workshop/keep.txt")), QByteArray("user data"));
}

TEST_F(CustomProfileWriterTest, FailedFolderCreationWritesNothing)
{
    // A file where the application's data folder should be.
    TempResources::writeFile(m_dataHome.path() + QStringLiteral("/video-workshop"), "in the way");
    platform::LogCapture capture;
    EXPECT_FALSE(CustomProfileWriter::saveSettingForpf(kLines, QStringLiteral("p")));
    EXPECT_TRUE(capture.contains("没有文件夹,创建文件夹失败"));
    EXPECT_EQ(filesUnder(m_dataHome.path()), QStringList{"video-workshop"});
}

TEST_F(CustomProfileWriterTest, FailedWriteReportsFailureAndKeepsWhatWasThere)
{
    // A folder named like the profile file cannot be replaced by it.
    ASSERT_TRUE(QDir().mkpath(ProfileLibrary::customFolder() + QStringLiteral("/busy.pf")));
    TempResources::writeFile(ProfileLibrary::customFolder() + QStringLiteral("/busy.pf/inside"), "x");
    platform::LogCapture capture;
    EXPECT_FALSE(CustomProfileWriter::saveSettingForpf(kLines, QStringLiteral("busy")));
    EXPECT_FALSE(capture.containsText("保存成功"));
    EXPECT_TRUE(capture.contains("创建文件失败") || capture.containsText("open: ")) << capture.lines().size();
    EXPECT_EQ(filesUnder(ProfileLibrary::customFolder()), QStringList{"busy.pf/inside"});
}

} // namespace
