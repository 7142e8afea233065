#include "platform/FontAlias.h"

#include <QFontDatabase>

#include <gtest/gtest.h>

using namespace platform;

TEST(FontAlias, EveryAliasIsAnInstalledFamilyThatCoversItsScript)
{
    struct Case
    {
        const char *name;
        QString sample; // letters the alias exists for
    };
    const Case cases[] = {
        {".AppleSystemUIFont", "Video Workshop"},
        {"Tahoma", "Äußerst"},
        {"Verdana", "Été"},
        {"Muna", QString::fromUtf8("مرحبا بالعالم")},
        {"Songti SC", QString::fromUtf8("字幕")},
        {"Songti TC Regular", QString::fromUtf8("視頻")},
    };
    const QStringList installed = QFontDatabase::families();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QString family = FontAlias::familyForName(c.name);
        ASSERT_FALSE(family.isEmpty());
        EXPECT_TRUE(installed.contains(family, Qt::CaseInsensitive)) << family.toStdString();
        EXPECT_TRUE(FontAlias::familyCovers(family, c.sample)) << family.toStdString();
    }
}

TEST(FontAlias, AskedWithATextNeverAnswersAFamilyWithoutItsScript)
{
    const QString chinese = QString::fromUtf8("中文字幕");
    const QString arabic = QString::fromUtf8("ترجمة");
    EXPECT_FALSE(FontAlias::familyCovers("DejaVu Sans", chinese)); // the premise of this test
    EXPECT_TRUE(FontAlias::familyCovers(FontAlias::familyForName(".AppleSystemUIFont", chinese), chinese));
    EXPECT_TRUE(FontAlias::familyCovers(FontAlias::familyForName("Songti SC", arabic), arabic));
    const auto font = FontAlias::fontNamed("Tahoma", 13, chinese);
    ASSERT_TRUE(font.has_value());
    EXPECT_TRUE(FontAlias::familyCovers(font->family(), chinese));
}

TEST(FontAlias, UnknownNamesGiveNothing)
{
    EXPECT_TRUE(FontAlias::familyForName("No Such Face 123").isEmpty());
    EXPECT_FALSE(FontAlias::fontNamed("No Such Face 123", 12).has_value());
    EXPECT_FALSE(FontAlias::systemFont(13).family().isEmpty());
}

TEST(FontAlias, ListsTheSystemFontFiles)
{
    const QStringList files = FontAlias::systemFontFiles();
    ASSERT_FALSE(files.isEmpty());
    EXPECT_TRUE(std::any_of(files.begin(), files.end(), [](const QString &f) { return f.contains("DejaVuSans"); }));
}
