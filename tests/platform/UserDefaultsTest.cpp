#include "platform/UserDefaults.h"

#include "platform/Log.h"
#include "tests/support/FifoWatchdog.h"
#include "tests/support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <memory>

using platform::UserDefaults;

TEST(UserDefaults, TellsAbsentFromEmptyAcrossAReload)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("defaults.ini");
    {
        UserDefaults defaults(path);
        EXPECT_FALSE(defaults.contains("AppLanguage"));
        EXPECT_FALSE(defaults.value("AppLanguage").isValid());
        EXPECT_EQ(defaults.integer("AppLanguage"), 0);
        defaults.setValue("vcodec_SelectTitle", QString(""));
        defaults.setValue("AppLanguage", 8);
        defaults.setValue("resolutionSelectCustom-Width", "1280");
        defaults.setValue("frameRate", 29.97);
        defaults.setValue("flag", true);
        defaults.setValue("emptyList", QStringList());
        defaults.setValue(UserDefaults::PreferredLanguagesKey, QStringList{"fr"});
        defaults.setValue("%@_selectFunctionOfsetIndex/with slash", 3);
        ASSERT_TRUE(defaults.sync());
    }
    // QSettings keeps parsed files per process; a copy under a new name makes the reload read the disk.
    ASSERT_TRUE(QFile::copy(path, dir.filePath("copy.ini")));
    UserDefaults reloaded(dir.filePath("copy.ini"));
    EXPECT_TRUE(reloaded.contains("vcodec_SelectTitle"));
    EXPECT_TRUE(reloaded.value("vcodec_SelectTitle").isValid());
    EXPECT_EQ(reloaded.string("vcodec_SelectTitle"), "");
    EXPECT_FALSE(reloaded.contains("jcodecSelectTitle"));
    EXPECT_EQ(reloaded.integer("AppLanguage"), 8);
    EXPECT_EQ(reloaded.integer("resolutionSelectCustom-Width"), 1280);
    EXPECT_DOUBLE_EQ(reloaded.doubleValue("frameRate"), 29.97);
    EXPECT_TRUE(reloaded.boolValue("flag"));
    EXPECT_FALSE(reloaded.boolValue("absent"));
    EXPECT_TRUE(reloaded.value("emptyList").isValid());
    EXPECT_TRUE(reloaded.stringList("emptyList").isEmpty());
    EXPECT_EQ(reloaded.stringList(UserDefaults::PreferredLanguagesKey), QStringList{"fr"});
    EXPECT_EQ(reloaded.integer("%@_selectFunctionOfsetIndex/with slash"), 3);
}

TEST(UserDefaults, RemoveAndInvalidValueMakeTheKeyAbsent)
{
    QTemporaryDir dir;
    UserDefaults defaults(dir.filePath("d.ini"));
    defaults.setValue("a", "x");
    defaults.setValue("b", "y");
    defaults.remove("a");
    defaults.setValue("b", QVariant());
    EXPECT_FALSE(defaults.contains("a"));
    EXPECT_FALSE(defaults.contains("b"));
}

TEST(UserDefaults, StandardStoreIsInsideTheTestFolderAndCanBeRepointed)
{
    ASSERT_FALSE(TestEnvironment::tempDir().isEmpty());
    EXPECT_TRUE(UserDefaults::standard().path().startsWith(TestEnvironment::tempDir()));

    const QString original = UserDefaults::storePath();
    QTemporaryDir dir;
    UserDefaults::setStorePath(dir.filePath("other.ini"));
    UserDefaults::standard().setValue("RepointProbe", 3);
    UserDefaults::standard().sync();
    EXPECT_TRUE(QFile::exists(dir.filePath("other.ini")));
    UserDefaults::setStorePath(original);
    EXPECT_FALSE(UserDefaults::standard().contains("RepointProbe"));
}

TEST(UserDefaults, SomethingOtherThanAFileAtThePathIsMovedAsideAndTheStoreStartsEmpty)
{
    enum Kind { Fifo, Folder, LinkToFifo, FifoWithAsideNameTaken };
    for (Kind kind : {Fifo, Folder, LinkToFifo, FifoWithAsideNameTaken}) {
        SCOPED_TRACE(kind);
        QTemporaryDir dir;
        const QString path = dir.filePath("defaults.ini");
        const QString fifo = kind == LinkToFifo ? dir.filePath("elsewhere") : path;
        QString aside = path + ".not-a-file";
        if (kind == Folder) {
            ASSERT_TRUE(QDir().mkdir(path));
        } else {
            ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        }
        if (kind == LinkToFifo) {
            ASSERT_TRUE(QFile::link(fifo, path));
        }
        if (kind == FifoWithAsideNameTaken) {
            QFile taken(aside);
            ASSERT_TRUE(taken.open(QIODevice::WriteOnly));
            aside = path + ".not-a-file-2";
        }

        platform::LogCapture log;
        FifoWatchdog watchdog(fifo.toStdString(), std::chrono::seconds(10));
        {
            UserDefaults defaults(path);
            EXPECT_FALSE(defaults.contains("AppLanguage"));
            defaults.setValue("AppLanguage", 3);
            EXPECT_TRUE(defaults.sync());
        }
        ASSERT_FALSE(watchdog.end()) << "the store blocked on the FIFO";
        EXPECT_TRUE(log.containsText("is not a regular file")) << "a warning names the trouble";
        EXPECT_TRUE(QFileInfo(path).isFile() && !QFileInfo(path).isSymLink()) << "a regular file is written";
        EXPECT_EQ(UserDefaults(path).integer("AppLanguage"), 3);
        EXPECT_TRUE(QFileInfo(aside).exists() || QFileInfo(aside).isSymLink()) << "moved, not deleted";
        if (kind == LinkToFifo) {
            EXPECT_TRUE(QFileInfo(aside).isSymLink()) << "the link is moved, not what it names";
        }
    }
}

TEST(UserDefaults, AHugeFileIsMovedAsideWholeAndTheStoreStartsEmpty)
{
    const struct
    {
        const char *name;
        qint64 size;
        bool movedAside;
    } cases[] = {
        {"at the limit", 4 * 1024 * 1024, false},
        {"five mebibytes", 5 * 1024 * 1024, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString path = dir.filePath("video-workshop.ini");
        QByteArray bytes = "[General]\nAppLanguage=7\nPadding=";
        bytes += QByteArray(c.size - bytes.size() - 1, 'x') + '\n';
        {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            ASSERT_EQ(file.write(bytes), c.size);
        }

        platform::LogCapture log;
        {
            UserDefaults defaults(path);
            EXPECT_EQ(defaults.integer("AppLanguage"), c.movedAside ? 0 : 7);
            if (c.movedAside) {
                defaults.setValue("Written", 1);
                EXPECT_TRUE(defaults.sync());
            }
        }
        EXPECT_EQ(log.containsText("is larger than"), c.movedAside) << "a warning names the trouble";
        const QString aside = path + ".too-large";
        EXPECT_EQ(QFileInfo(aside).size(), c.movedAside ? c.size : 0) << "moved whole, never deleted";
        if (c.movedAside) {
            EXPECT_EQ(UserDefaults(path).integer("Written"), 1) << "a fresh file is written";
            EXPECT_LT(QFileInfo(path).size(), 1024);
        }
    }
}
