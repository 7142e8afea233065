// The localisation tables: every language has the same keys, its own texts, and every key the code asks for.
#include "platform/Bundle.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>

#include <gtest/gtest.h>

#include <map>

namespace {

using Table = QHash<QString, QString>;

const QStringList kLanguages = {"en", "zh-Hans", "zh-Hant", "fr", "de", "ja", "es", "pt-PT", "ar"};

// Texts that are the same in every language: the language names (each in its own language), the
// snapshot formats (the code compares the chosen title with them), the application's name, and
// addresses.
const QSet<QString> kSameInEveryLanguage = {
    "LangeuageItem0", "LangeuageItem1", "LangeuageItem2", "LangeuageItem3", "LangeuageItem4",
    "LangeuageItem5", "LangeuageItem6", "LangeuageItem7", "LangeuageItem8",
    "png", "jpg", "bmp",
    "Title", "Ixy-de-Rz5.title",
    "supprotUrl", "homepageUrl", "email_address",
};

// Words that a language really spells as English does.
const std::map<QString, QSet<QString>> kSameAsEnglishIn = {
    {"fr", {"OKBtnTitle", "aboutVersionLabelstring", "outputFolderItemDocuments"}},
    {"de", {"OKBtnTitle", "aboutVersionLabelstring", "outputFolderItemMovies", "CodecLabelTitle"}},
    {"ja", {"OKBtnTitle"}},
    {"pt-PT", {"OKBtnTitle", "CodecLabelTitle"}},
};

// Keys the code builds at run time, so a scan of the sources cannot find them: the language list
// ("LangeuageItem%d") and the effect names of the effect list.
QStringList runtimeKeys()
{
    QStringList keys;
    for (int i = 0; i <= 8; ++i)
        keys << QStringLiteral("LangeuageItem%1").arg(i);
    keys << "effect_gray" << "effect_sepia" << "effect_negative" << "effect_blur" << "effect_sharpen"
         << "effect_emboss" << "effect_edge" << "effect_vignette" << "effect_oldfilm" << "effect_mosaic";
    return keys;
}

QString resourcesDir()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/Resources");
}

QString tablePath(const QString &language)
{
    return resourcesDir() + QStringLiteral("/%1.lproj/Main.strings").arg(language);
}

// Reads the nine tables; an unreadable table is a test failure, never a skip.
std::map<QString, Table> readTables()
{
    std::map<QString, Table> tables;
    EXPECT_TRUE(QDir(resourcesDir()).exists()) << "no resources folder at " << resourcesDir().toStdString();
    for (const QString &language : kLanguages) {
        const auto table = platform::Bundle::readStringsFile(tablePath(language));
        EXPECT_TRUE(table.has_value()) << "cannot read " << tablePath(language).toStdString();
        if (table)
            tables[language] = *table;
    }
    return tables;
}

QStringList sorted(const QSet<QString> &set)
{
    QStringList list(set.begin(), set.end());
    list.sort();
    return list;
}

// The printf-style placeholders of a text (%@, %d, %1$@ ...), in order.
QStringList placeholders(const QString &text)
{
    static const QRegularExpression re(QStringLiteral("%(?:\\d+\\$)?[-+ #0]*\\d*(?:\\.\\d+)?(?:l|ll|h)?[@dDiuUxXfFeEgGsScp%]"));
    QStringList found;
    for (auto it = re.globalMatch(text); it.hasNext();)
        found << it.next().captured(0);
    return found;
}

} // namespace

TEST(StringsTables, EveryLanguageHasTheEnglishKeysWithNonEmptyTexts)
{
    const auto tables = readTables();
    ASSERT_EQ(tables.size(), size_t(kLanguages.size()));
    const Table &english = tables.at("en");
    ASSERT_FALSE(english.isEmpty());
    const QStringList englishKeys = english.keys();
    const QSet<QString> englishSet(englishKeys.begin(), englishKeys.end());

    for (const auto &[language, table] : tables) {
        const QStringList keys = table.keys();
        const QSet<QString> set(keys.begin(), keys.end());
        EXPECT_TRUE((englishSet - set).isEmpty())
            << language.toStdString() << " lacks: " << sorted(englishSet - set).join(", ").toStdString();
        EXPECT_TRUE((set - englishSet).isEmpty())
            << language.toStdString() << " has keys English lacks: "
            << sorted(set - englishSet).join(", ").toStdString();
        // An empty text would vanish from the menus that leave out empty items.
        for (auto it = table.cbegin(); it != table.cend(); ++it)
            EXPECT_FALSE(it.value().trimmed().isEmpty()) << language.toStdString() << " " << it.key().toStdString();
    }
}

TEST(StringsTables, OtherLanguagesAreTranslatedExceptTextsThatStayTheSame)
{
    const auto tables = readTables();
    ASSERT_EQ(tables.size(), size_t(kLanguages.size()));
    const Table &english = tables.at("en");

    for (const auto &[language, table] : tables) {
        if (language == "en")
            continue;
        const auto cognates = kSameAsEnglishIn.find(language);
        for (auto it = table.cbegin(); it != table.cend(); ++it) {
            const QString &key = it.key();
            if (!english.contains(key) || it.value() != english.value(key))
                continue;
            const bool allowed = kSameInEveryLanguage.contains(key)
                || (cognates != kSameAsEnglishIn.end() && cognates->second.contains(key));
            EXPECT_TRUE(allowed) << language.toStdString() << " copies the English text of " << key.toStdString()
                                 << ": \"" << it.value().toStdString() << "\"";
        }
        // The other way round: a text that must stay the same has not been translated.
        for (const QString &key : kSameInEveryLanguage)
            EXPECT_EQ(table.value(key), english.value(key)) << language.toStdString() << " " << key.toStdString();
    }
}

TEST(StringsTables, FixedTextsKeepTheirContract)
{
    const auto tables = readTables();
    ASSERT_EQ(tables.size(), size_t(kLanguages.size()));
    for (const auto &[language, table] : tables) {
        const std::string lang = language.toStdString();
        // The snapshot code compares the chosen format's title with these very texts.
        for (const char *format : {"png", "jpg", "bmp"})
            EXPECT_EQ(table.value(format), QString::fromLatin1(format)) << lang;
        // Our own placeholder addresses, never anyone else's.
        EXPECT_TRUE(table.value("supprotUrl").startsWith("https://www.example.org/")) << lang;
        EXPECT_TRUE(table.value("homepageUrl").startsWith("https://www.example.org/")) << lang;
        EXPECT_TRUE(table.value("email_address").endsWith("@example.org")) << lang;
        EXPECT_FALSE(table.value("email_address").contains(':')) << lang << ": the mail link adds its own scheme";
        // "Title" names the default output folder under Documents.
        const QString title = table.value("Title");
        EXPECT_FALSE(title.contains('/') || title == "." || title == "..") << lang;
    }
}

TEST(StringsTables, TranslationsKeepTheEnglishPlaceholders)
{
    const auto tables = readTables();
    ASSERT_EQ(tables.size(), size_t(kLanguages.size()));
    const Table &english = tables.at("en");
    for (const auto &[language, table] : tables)
        for (auto it = english.cbegin(); it != english.cend(); ++it)
            EXPECT_EQ(placeholders(table.value(it.key())), placeholders(it.value()))
                << language.toStdString() << " " << it.key().toStdString();
}

TEST(StringsTables, EveryKeyTheCodeAsksForExistsInEveryLanguage)
{
    const auto tables = readTables();
    ASSERT_EQ(tables.size(), size_t(kLanguages.size()));

    // key -> the first source file that asks for it
    QHash<QString, QString> used;
    const QDir source(QStringLiteral(VW_SOURCE_DIR));
    ASSERT_TRUE(source.exists()) << VW_SOURCE_DIR;
    static const QRegularExpression call(
        QStringLiteral(R"re((?:localizedStringForKey|VW_KEY)\(\s*(?:QStringLiteral\(\s*|QLatin1String\(\s*|u)?"([^"]+)")re"));
    int filesScanned = 0;
    for (const char *folder : {"app", "services", "model", "controls", "profiles", "toolkit", "editor", "joiner", "cutters"}) {
        QDirIterator files(source.filePath(QString::fromLatin1(folder)), {"*.cpp", "*.h"}, QDir::Files,
                           QDirIterator::Subdirectories);
        while (files.hasNext()) {
            QFile file(files.next());
            ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
            ++filesScanned;
            const QString text = QString::fromUtf8(file.readAll());
            for (auto it = call.globalMatch(text); it.hasNext();) {
                const QString key = it.next().captured(1);
                if (!used.contains(key))
                    used.insert(key, source.relativeFilePath(file.fileName()));
            }
        }
    }
    EXPECT_GT(filesScanned, 0) << "no sources found under " << VW_SOURCE_DIR;

    for (const QString &key : runtimeKeys())
        if (!used.contains(key))
            used.insert(key, QStringLiteral("(built at run time)"));

    // The effect list names its effects by key.
    const QString effects = resourcesDir() + QStringLiteral("/Settings.bundle/EffectList.plist");
    if (QFile::exists(effects)) {
        const QVariant list = platform::Bundle::readPropertyList(effects);
        ASSERT_TRUE(list.canConvert<QVariantList>()) << effects.toStdString();
        for (const QVariant &entry : list.toList()) {
            const QString name = entry.toMap().value("EffectName").toString();
            EXPECT_FALSE(name.isEmpty()) << "an effect without a name in " << effects.toStdString();
            if (!name.isEmpty() && !used.contains(name))
                used.insert(name, QStringLiteral("Settings.bundle/EffectList.plist"));
        }
    }

    for (const auto &[language, table] : tables)
        for (auto it = used.cbegin(); it != used.cend(); ++it)
            EXPECT_TRUE(table.contains(it.key()))
                << language.toStdString() << " lacks \"" << it.key().toStdString() << "\" used in "
                << it.value().toStdString();
}
