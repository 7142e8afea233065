#include "services/LanguageService.h"

#include "platform/Bundle.h"
#include "platform/UserDefaults.h"

#include <QFileInfo>

#include <algorithm>
#include <array>
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

bool folderExists(const QString &folder)
{
    return QFileInfo(platform::Bundle::main().resourcePath() + u'/' + folder + QStringLiteral(".lproj")).isDir();
}

long long storedLanguage()
{
    return platform::UserDefaults::standard().integer(QStringLiteral("AppLanguage"));
}

} // namespace

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
    return currentLanguageFolder() == QLatin1String("ar");
}
