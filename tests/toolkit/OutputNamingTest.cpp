#include "toolkit/OutputNaming.h"
#include "tests/support/TestEnvironment.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

QString freshDir(const QString &name)
{
    const QString dir = TestEnvironment::tempDir() + QStringLiteral("/naming-") + name;
    QDir(dir).removeRecursively();
    QDir().mkpath(dir);
    return dir;
}

void touch(const QString &path)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
}

} // namespace

TEST(OutputNaming, CountsFromTwoPastExistingNames)
{
    const QString dir = freshDir(QStringLiteral("count"));
    EXPECT_EQ(OutputNaming::availablePath(dir, QStringLiteral("clip"), QStringLiteral("mp4")),
              dir + "/clip.mp4");
    touch(dir + "/clip.mp4");
    EXPECT_EQ(OutputNaming::availablePath(dir, QStringLiteral("clip"), QStringLiteral("mp4")),
              dir + "/clip(2).mp4");
    touch(dir + "/clip(2).mp4");
    EXPECT_EQ(OutputNaming::availablePath(dir + "/", QStringLiteral("clip"), QStringLiteral("mp4")),
              dir + "/clip(3).mp4");
    // Another extension is another name.
    EXPECT_EQ(OutputNaming::availablePath(dir, QStringLiteral("clip"), QStringLiteral("mkv")),
              dir + "/clip.mkv");
}

TEST(OutputNaming, SkipsFoldersAndDanglingLinks)
{
    const QString dir = freshDir(QStringLiteral("kinds"));
    QDir().mkpath(dir + "/clip.mp4");
    ASSERT_TRUE(QFile::link(dir + "/nowhere", dir + "/clip(2).mp4"));
    EXPECT_EQ(OutputNaming::availablePath(dir, QStringLiteral("clip"), QStringLiteral("mp4")),
              dir + "/clip(3).mp4");
}

TEST(OutputNaming, KeepsOddBaseNamesWhole)
{
    const QString dir = freshDir(QStringLiteral("odd"));
    touch(dir + "/a.b(2).mp4");
    EXPECT_EQ(OutputNaming::availablePath(dir, QStringLiteral("a.b(2)"), QStringLiteral("mp4")),
              dir + "/a.b(2)(2).mp4");
    touch(dir + "/名前 x.mp4");
    EXPECT_EQ(OutputNaming::availablePath(dir, QStringLiteral("名前 x"), QStringLiteral("mp4")),
              dir + "/名前 x(2).mp4");
}
