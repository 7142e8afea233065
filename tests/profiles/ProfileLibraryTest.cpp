#include "profiles/ProfileLibrary.h"
#include "platform/UserDefaults.h"
#include "services/LanguageService.h"
#include "tests/support/TempResources.h"
#include "tests/profiles/ScopedDataHome.h"

#include <gtest/gtest.h>

namespace {

class ProfileLibraryTest : public ::testing::Test
{
protected:
    void writeList(const QByteArray &content) { m_resources.write(QStringLiteral("Settings.bundle/functionFolder/pf.dat"), content); }
    void writeProfile(const QString &relative) { m_resources.write(QStringLiteral("Settings.bundle/functionFolder/") + relative, "[Main]\r\nExtName=mp4\r\n"); }

    ScopedDataHome m_dataHome;
    TempResources m_resources;
    ProfileLibrary m_library = ProfileLibrary::editor();
};

TEST_F(ProfileLibraryTest, CategoryListFollowsCountAndSkipsBlanks)
{
    const struct
    {
        const char *what;
        QByteArray content;
        QStringList expected;
    } cases[] = {
        {"Count 3 of 4", "[frmFormat]\r\nCount=3\r\nType1= Video \r\nType2=Audio\r\nType3 = Device\r\nType4=Web\r\n",
         {"Video", "Audio", "Device"}},
        {"file order, not key order", "[frmFormat]\r\nType2=B\r\nCount= 2\r\nType1=A\r\n", {"A", "B"}},
        {"blank and missing entries", "[frmFormat]\r\nCount=4\r\nType1=A\r\nType2=   \r\nType4=D\r\n", {"A", "D"}},
        {"huge Count", "[frmFormat]\r\nCount=2147483647\r\nType1=A\r\n", {"A"}},
        {"Count 0", "[frmFormat]\r\nCount=0\r\nType1=A\r\n", {}},
        {"negative Count", "[frmFormat]\r\nCount=-2\r\nType1=A\r\n", {}},
        {"no Count", "[frmFormat]\r\nType1=A\r\n", {}},
        {"other section", "[Main]\r\nCount=1\r\nType1=A\r\n", {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        writeList(c.content);
        EXPECT_EQ(m_library.getFunctionList(), c.expected);
    }
}

TEST_F(ProfileLibraryTest, MissingListGivesNoCategories)
{
    EXPECT_TRUE(m_library.getFunctionList().isEmpty());
    EXPECT_TRUE(m_library.displayedFunctionList().isEmpty());
}

TEST_F(ProfileLibraryTest, ListsProfilesWithKeepOriginalFirst)
{
    for (const char *name : {"Video/b.pf", "Video/Keep Original.pf", "Video/a.pf", "Video/a.png", "Video/b.txt",
                             "Video/c.PF", "Video/mkv(HEVC).pf", "Video/x.y.pf"})
        writeProfile(QString::fromLatin1(name));
    ASSERT_TRUE(QDir().mkpath(m_resources.path() + QStringLiteral("/Settings.bundle/functionFolder/Video/dir.pf")));
    EXPECT_EQ(m_library.getFunctionItemChildList(QStringLiteral("Video")),
              (QStringList{"Keep Original", "a", "b", "mkv(HEVC)", "x.y"}));
    EXPECT_TRUE(m_library.getFunctionItemChildList(QStringLiteral("Nothing")).isEmpty());
    EXPECT_EQ(m_library.defaultProfilePath(),
              m_resources.path() + QStringLiteral("/Settings.bundle/functionFolder/Video/mkv(HEVC).pf"));
    EXPECT_TRUE(ProfileLibrary::joiner().defaultProfilePath().isEmpty());
}

TEST_F(ProfileLibraryTest, CustomCategoryComesFromTheCustomFolder)
{
    writeList("[frmFormat]\r\nCount=1\r\nType1=Video\r\n");
    writeProfile(QStringLiteral("Custom/bundled.pf"));
    EXPECT_EQ(ProfileLibrary::customFolder(), m_dataHome.path() + QStringLiteral("/video-workshop/Custom"));

    // An empty custom folder shows no "Custom" category.
    ASSERT_TRUE(QDir().mkpath(ProfileLibrary::customFolder()));
    EXPECT_EQ(m_library.displayedFunctionList(), QStringList{"Video"});
    EXPECT_TRUE(m_library.getFunctionItemChildList(QStringLiteral("Custom")).isEmpty());

    TempResources::writeFile(ProfileLibrary::customFolder() + QStringLiteral("/mine.pf"), "[Main]\nExtName=avi\n");
    TempResources::writeFile(ProfileLibrary::customFolder() + QStringLiteral("/mine.png"), "png");
    EXPECT_EQ(m_library.displayedFunctionList(), (QStringList{"Custom", "Video"}));
    EXPECT_EQ(m_library.getFunctionItemChildList(QStringLiteral("Custom")), QStringList{"mine"});
    EXPECT_EQ(m_library.profilePath(QStringLiteral("Custom"), QStringLiteral("mine")),
              ProfileLibrary::customFolder() + QStringLiteral("/mine.pf"));
    EXPECT_EQ(m_library.iconPath(QStringLiteral("Custom"), QStringLiteral("mine")),
              ProfileLibrary::customFolder() + QStringLiteral("/mine.png"));
}

// Shipped categories and "Keep Original" show in the chosen language; format and custom names as they stand.
TEST(ProfileDisplayName, ShippedWordsAreTranslatedOtherNamesStay)
{
    platform::UserDefaults::standard().setValue(QStringLiteral("AppLanguage"), 3);
    LanguageService::setLanguage();
    EXPECT_EQ(ProfileLibrary::displayName(QStringLiteral("Keep Original")), QStringLiteral("Garder l'original"));
    EXPECT_EQ(ProfileLibrary::displayName(QStringLiteral("Video")), QString::fromUtf8("Vidéo"));
    EXPECT_EQ(ProfileLibrary::displayName(QStringLiteral("Audio")), QStringLiteral("Son"));
    EXPECT_EQ(ProfileLibrary::displayName(QStringLiteral("Custom")), QString::fromUtf8("Personnalisé"));
    for (const char *stays : {"mp4(H.264)", "My Video", "video", ""})
        EXPECT_EQ(ProfileLibrary::displayName(QString::fromUtf8(stays)), QString::fromUtf8(stays)) << stays;
    platform::UserDefaults::standard().remove(QStringLiteral("AppLanguage"));
    LanguageService::setLanguage();
}

} // namespace
