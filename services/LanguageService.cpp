#include "services/LanguageService.h"

#include "platform/Bundle.h"
#include "platform/UserDefaults.h"
#include "services/TextDirectionStyle.h"

#include <QApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <algorithm>
#include <array>
#include <memory>
#include <optional>

namespace {

const std::array<const char *, 9> kNineFolders = {"en", "zh-Hans", "zh-Hant", "fr", "de", "ja", "es", "pt-PT", "ar"};
const std::array<const char *, 9> kFourFolders = {"en", "zh-Hant", "fr", "ja", "en", "en", "en", "en", "en"};

const QString kTable = QStringLiteral("Main");

std::optional<int> &setSizeSlot()
{
    static std::optional<int> size;
    return size;
}

// The folder setLanguage() chose; lookups whose own folder is missing go there, like the platform's
// own lookups once a language bundle is attached to the main bundle.
QString &attachedFolder()
{
    static QString folder;
    return folder;
}

// Qt's catalogue of the chosen language, while one is installed.
std::unique_ptr<QTranslator> &qtTranslator()
{
    static std::unique_ptr<QTranslator> translator;
    return translator;
}

// Qt's own texts follow the chosen language. Its Arabic catalogue would also turn the whole layout
// right to left; the application's controls stay where they are placed, so the layout is set left to
// right for good and only the texts read in their own direction.
void loadQtCatalogue(const QString &folder)
{
    if (!QCoreApplication::instance())
        return;
    QGuiApplication::setLayoutDirection(Qt::LeftToRight);
    TextDirectionStyle::install();
    if (qtTranslator()) {
        QCoreApplication::removeTranslator(qtTranslator().get());
        qtTranslator().reset();
    }
    const QString locale = LanguageService::qtCatalogueLocale(folder);
    if (locale.isEmpty())
        return;
    auto translator = std::make_unique<QTranslator>();
    // "qt_<locale>" gathers the catalogues of Qt's modules (qtbase, qtmultimedia) for that language.
    if (!translator->load(QStringLiteral("qt_") + locale, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return;
    QCoreApplication::installTranslator(translator.get());
    qtTranslator() = std::move(translator);
}

bool folderExists(const QString &folder)
{
    return QFileInfo(platform::Bundle::main().resourcePath() + u'/' + folder + QStringLiteral(".lproj")).isDir();
}

} // namespace

long long LanguageService::storedLanguage()
{
    return std::clamp(storedLanguageNumber(), 0LL, 8LL);
}

long long LanguageService::storedLanguageNumber()
{
    return platform::UserDefaults::standard().integer(QStringLiteral("AppLanguage"));
}

int LanguageService::decideLanguageSetSize()
{
    // In a four-language localisation no folder has this key.
    const QString probe = QStringLiteral("LangeuageItem4");
    for (const char *folder : kNineFolders) {
        const QString name = QString::fromLatin1(folder);
        if (folderExists(name) && platform::Bundle::main().localizedString(probe, {}, kTable, name) != probe)
            return 9;
    }
    return 4;
}

int LanguageService::languageSetSize()
{
    auto &size = setSizeSlot();
    if (!size)
        size = decideLanguageSetSize();
    return *size;
}

QString LanguageService::languageFolder(long long n, int setSize)
{
    const auto index = static_cast<size_t>(std::clamp(n, 0LL, 8LL));
    return QString::fromLatin1(setSize == 4 ? kFourFolders[index] : kNineFolders[index]);
}

QString LanguageService::currentLanguageFolder()
{
    return languageFolder(storedLanguage(), languageSetSize());
}

void LanguageService::setLanguage()
{
    setSizeSlot() = decideLanguageSetSize();
    const QString folder = currentLanguageFolder();
    attachedFolder() = folderExists(folder) ? folder : QString();
    loadQtCatalogue(folder);
}

QString LanguageService::qtCatalogueLocale(const QString &folder)
{
    static const std::array<std::pair<const char *, const char *>, 8> locales = {{
        {"zh-Hans", "zh_CN"},
        {"zh-Hant", "zh_TW"},
        {"fr", "fr"},
        {"de", "de"},
        {"ja", "ja"},
        {"es", "es"},
        {"pt-PT", "pt_PT"},
        {"ar", "ar"},
    }};
    for (const auto &[name, locale] : locales)
        if (folder == QLatin1String(name))
            return QString::fromLatin1(locale);
    return {};
}

bool LanguageService::qtCatalogueLoaded()
{
    return qtTranslator() != nullptr;
}

QString LanguageService::languageName(const QString &code)
{
    const QLocale::Language language = QLocale::codeToLanguage(code.trimmed().toLower());
    if (language == QLocale::AnyLanguage || language == QLocale::C)
        return {};
    // Qt names a few languages by their most common country's variant; a track names the language only.
    static const std::array<std::pair<QLocale::Language, const char *>, 3> plainNames = {{
        {QLocale::English, "English"},
        {QLocale::Spanish, "español"},
        {QLocale::Chinese, "中文"},
    }};
    QString name = QLocale(language).nativeLanguageName();
    for (const auto &[plain, text] : plainNames)
        if (language == plain)
            name = QString::fromUtf8(text);
    // Native names of most languages begin in lower case ("français", "español"); a name stands alone here.
    return name.isEmpty() ? QLocale::languageToString(language) : name.left(1).toUpper() + name.mid(1);
}

QString LanguageService::localizedStringForKey(const QString &key)
{
    return localizedStringForKey(key, QString());
}

QString LanguageService::localizedStringForKey(const char *key)
{
    return localizedStringForKey(QString::fromUtf8(key), QString());
}

QString LanguageService::localizedStringForKey(const char *key, const QString &value)
{
    return localizedStringForKey(QString::fromUtf8(key), value);
}

QString LanguageService::localizedStringForKey(const QString &key, const QString &value)
{
    const platform::Bundle &bundle = platform::Bundle::main();
    const QString folder = currentLanguageFolder();
    if (folderExists(folder))
        return bundle.localizedString(key, value, kTable, folder);
    // The chosen folder is missing: the folder attached by setLanguage(), else the platform's own choice.
    return bundle.localizedString(key, QString(), kTable, attachedFolder());
}

bool LanguageService::isalaboLanguage()
{
    // The number as stored: every number past the last language counts as Arabic, the last one.
    return storedLanguageNumber() > 7;
}
