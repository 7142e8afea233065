#include "profiles/ProfileLibrary.h"

#include "platform/Bundle.h"
#include "platform/NumberScan.h"
#include "profiles/ProfileReader.h"
#include "profiles/ProfileValue.h"
#include "services/LanguageService.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>

namespace {

// More categories than any window could show means a damaged "pf.dat".
constexpr int kMaxCategories = 1000;

const QString kSection = QStringLiteral("frmFormat");

// The names shipped with the application that are words, not formats, and their keys in the tables.
const std::pair<const char *, const char *> kDisplayKeys[] = {
    {"Keep Original", VW_KEY("ProfileKeepOriginalTitle")},
    {"Video", VW_KEY("ProfileCategoryVideoTitle")},
    {"Audio", VW_KEY("ProfileCategoryAudioTitle")},
    {"Custom", VW_KEY("ProfileCategoryCustomTitle")},
};

} // namespace

ProfileLibrary::ProfileLibrary(const QString &folder)
    : m_folder(folder)
{
}

QString ProfileLibrary::displayName(const QString &name)
{
    for (const auto &[stored, key] : kDisplayKeys)
        if (name == QLatin1String(stored))
            return LanguageService::localizedStringForKey(key, name);
    return name;
}

ProfileLibrary ProfileLibrary::editor()
{
    return ProfileLibrary(QStringLiteral("Settings.bundle/functionFolder"));
}

ProfileLibrary ProfileLibrary::joiner()
{
    return ProfileLibrary(QStringLiteral("Settings.bundle/pf_join"));
}

QString ProfileLibrary::folder() const
{
    return m_folder;
}

QStringList ProfileLibrary::getFunctionList() const
{
    const QString listPath = platform::Bundle::main().pathForResource(m_folder + QStringLiteral("/pf.dat"));
    QStringList names;
    if (listPath.isEmpty())
        return names;
    const int count = std::min(platform::scanInt(ProfileReader::readProfileValue(kSection, QStringLiteral("Count"), listPath)),
                               kMaxCategories);
    for (int i = 1; i <= count; ++i) {
        const QString value = ProfileReader::readProfileValue(kSection, QStringLiteral("Type%1").arg(i), listPath);
        const auto name = ProfileValue::new_startAndendnospaceString(value);
        if (name && !name->isEmpty())
            names.append(*name);
    }
    return names;
}

QStringList ProfileLibrary::displayedFunctionList() const
{
    QStringList names = getFunctionList();
    if (customFolderHasEntries())
        names.prepend(QString::fromLatin1(CustomCategory));
    return names;
}

QStringList ProfileLibrary::getFunctionItemChildList(const QString &category) const
{
    QString folderPath;
    if (category == QLatin1String(CustomCategory))
        folderPath = customFolder();
    else if (const QString base = platform::Bundle::main().pathForResource(m_folder); !base.isEmpty())
        folderPath = base + u'/' + category;
    QStringList names;
    if (folderPath.isEmpty())
        return names;
    // Sorted by name so that the strip reads the same on every file system.
    const QFileInfoList entries = QDir(folderPath).entryInfoList(QDir::Files, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo &entry : entries) {
        if (entry.suffix() != QLatin1String("pf"))
            continue;
        const QString name = entry.completeBaseName();
        if (name == QLatin1String(KeepOriginal))
            names.prepend(name);
        else
            names.append(name);
    }
    return names;
}

QString ProfileLibrary::profilePath(const QString &category, const QString &name) const
{
    if (category == QLatin1String(CustomCategory)) {
        const QString custom = customFolder() + u'/' + name + QStringLiteral(".pf");
        if (QFileInfo(custom).isFile())
            return custom;
    }
    return platform::Bundle::main().pathForResource(m_folder + u'/' + category + u'/' + name, QStringLiteral("pf"));
}

QString ProfileLibrary::iconPath(const QString &category, const QString &name) const
{
    if (category == QLatin1String(CustomCategory) && name != QLatin1String(KeepOriginal)) {
        const QString custom = customFolder() + u'/' + name + QStringLiteral(".png");
        return QFileInfo(custom).isFile() ? custom : QString();
    }
    return platform::Bundle::main().pathForResource(m_folder + u'/' + category + u'/' + name, QStringLiteral("png"));
}

QString ProfileLibrary::defaultProfilePath() const
{
    return platform::Bundle::main().pathForResource(m_folder + QStringLiteral("/Video/mkv(HEVC).pf"));
}

QString ProfileLibrary::customFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/video-workshop/Custom");
}

bool ProfileLibrary::customFolderHasEntries()
{
    const QDir dir(customFolder());
    return dir.exists() && !dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System).isEmpty();
}
