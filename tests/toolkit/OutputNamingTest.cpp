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

TEST(OutputNaming, NumberedNamesGoOnAfterTheHighestNumberInTheFolder)
{
    struct Case
    {
        const char *name;
        QStringList present;  // entries already in the folder
        QStringList expected; // two names handed out in a row for "clip-split" + "mp4"
    };
    const Case cases[] = {
        {"empty", {}, {"clip-split1.mp4", "clip-split2.mp4"}},
        // A cancelled run of pieces side by side leaves a gap: the next run must not fill it.
        {"gap",
         {"clip-split1.mp4", "clip-split2.mp4", "clip-split4.mp4"},
         {"clip-split5.mp4", "clip-split6.mp4"}},
        {"only a high one", {"clip-split9.mp4"}, {"clip-split10.mp4", "clip-split11.mp4"}},
        {"folder and dangling link count",
         {"clip-split3.mp4/", "clip-split7.mp4@"},
         {"clip-split8.mp4", "clip-split9.mp4"}},
        // Other names that merely look alike are not ours.
        {"look-alikes",
         {"clip-split12.mkv", "clip-split-3.mp4", "clip-split+4.mp4", "clip-splitx5.mp4", "clip-split.mp4",
          "xclip-split6.mp4", "clip-split99999999999999999999999.mp4"},
         {"clip-split1.mp4", "clip-split2.mp4"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QString folder = freshDir(QStringLiteral("numbered"));
        for (QString entry : c.present) {
            if (entry.endsWith('/'))
                QDir().mkpath(folder + '/' + entry);
            else if (entry.endsWith('@'))
                ASSERT_TRUE(QFile::link(folder + "/nowhere", folder + '/' + entry.chopped(1)));
            else
                touch(folder + '/' + entry);
        }
        QSet<QString> reserved;
        EXPECT_EQ(OutputNaming::availableNumberedPath(folder + "/", "clip-split", "mp4", &reserved),
                  folder + '/' + c.expected[0]);
        // The first name is handed out but not yet written: the second comes after it.
        EXPECT_EQ(OutputNaming::availableNumberedPath(folder, "clip-split", "mp4", &reserved),
                  folder + '/' + c.expected[1]);
    }
}
