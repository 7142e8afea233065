#include "platform/UserDefaults.h"

#include "platform/Log.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <sys/stat.h>

namespace platform {

namespace {

// QSettings writes an empty list as "@Invalid()", which reads back as an absent value; an empty list is
// kept as this marker instead, so that the key stays present.
const char *const EmptyListMarker = "@EmptyList()";

std::unique_ptr<UserDefaults> &standardStore()
{
    static std::unique_ptr<UserDefaults> store;
    return store;
}

QString &overriddenPath()
{
    static QString path;
    return path;
}

// QSettings opens its file for reading without asking what it is: a FIFO there blocks the start-up
// forever, and a directory or a device is no settings file either. Such an entry (or a link to one) is
// renamed aside, so that the store starts empty and its first write makes a regular file. Returns
// whether `path` is free for QSettings: absent, a regular file, or moved aside.
bool moveAsideUnlessRegular(const QString &path)
{
    struct stat info = {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0 || S_ISREG(info.st_mode))
        return true;
    QString aside = path + QStringLiteral(".not-a-file");
    for (int n = 2; QFileInfo::exists(aside) || QFileInfo(aside).isSymLink(); ++n)
        aside = path + QStringLiteral(".not-a-file-%1").arg(n);
    if (::rename(QFile::encodeName(path).constData(), QFile::encodeName(aside).constData()) == 0) {
        logWarning("the settings file %@ is not a regular file; it is moved to %@ and the defaults are used",
                   path, aside);
        return true;
    }
    logWarning("the settings file %@ is not a regular file and cannot be moved aside; the defaults are used "
               "and not kept",
               path);
    return false;
}

} // namespace

UserDefaults &UserDefaults::standard()
{
    auto &store = standardStore();
    if (!store)
        store = std::make_unique<UserDefaults>(storePath());
    return *store;
}

void UserDefaults::setStorePath(const QString &path)
{
    auto &store = standardStore();
    if (store)
        store->sync();
    overriddenPath() = path;
    store = std::make_unique<UserDefaults>(storePath());
}

QString UserDefaults::storePath()
{
    if (!overriddenPath().isEmpty())
        return overriddenPath();
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty())
        config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/video-workshop/video-workshop.ini");
}

UserDefaults::UserDefaults(const QString &path)
{
    if (moveAsideUnlessRegular(path)) {
        m_settings = std::make_unique<QSettings>(path, QSettings::IniFormat);
        return;
    }
    // What stays in the way is never opened: the store lives in a folder of its own for this run.
    m_fallbackFolder = std::make_unique<QTemporaryDir>();
    m_settings = std::make_unique<QSettings>(m_fallbackFolder->filePath(QStringLiteral("defaults.ini")),
                                             QSettings::IniFormat);
}

UserDefaults::~UserDefaults()
{
    m_settings->sync();
}

QString UserDefaults::path() const
{
    return m_settings->fileName();
}

bool UserDefaults::contains(const QString &key) const
{
    return m_settings->contains(key);
}

QVariant UserDefaults::value(const QString &key) const
{
    if (!m_settings->contains(key))
        return {};
    QVariant v = m_settings->value(key);
    if (v.typeId() == QMetaType::QString && v.toString() == QLatin1String(EmptyListMarker))
        return QStringList();
    return v;
}

QString UserDefaults::string(const QString &key) const
{
    const QVariant v = value(key);
    if (v.typeId() == QMetaType::QStringList) {
        const QStringList list = v.toStringList();
        return list.isEmpty() ? QString() : list.join(QLatin1Char(','));
    }
    return v.toString();
}

long long UserDefaults::integer(const QString &key) const
{
    const QVariant v = value(key);
    const QString text = v.toString().trimmed().toLower();
    if (text == QLatin1String("true") || text == QLatin1String("yes")) // a bool read back from the file
        return 1;
    bool ok = false;
    const long long n = v.toLongLong(&ok);
    if (ok)
        return n;
    const double d = v.toDouble(&ok); // "2.5" reads as 2, as the original platform does
    return ok ? static_cast<long long>(d) : 0;
}

double UserDefaults::doubleValue(const QString &key) const
{
    return value(key).toDouble();
}

bool UserDefaults::boolValue(const QString &key) const
{
    return integer(key) != 0;
}

QStringList UserDefaults::stringList(const QString &key) const
{
    const QVariant v = value(key);
    if (!v.isValid())
        return {};
    return v.toStringList();
}

void UserDefaults::setValue(const QString &key, const QVariant &value)
{
    if (!value.isValid()) {
        remove(key);
        return;
    }
    if (value.typeId() == QMetaType::QStringList && value.toStringList().isEmpty()) {
        m_settings->setValue(key, QLatin1String(EmptyListMarker));
        return;
    }
    if (value.typeId() == QMetaType::QVariantList && value.toList().isEmpty()) {
        m_settings->setValue(key, QLatin1String(EmptyListMarker));
        return;
    }
    m_settings->setValue(key, value);
}

void UserDefaults::remove(const QString &key)
{
    m_settings->remove(key);
}

bool UserDefaults::sync()
{
    m_settings->sync();
    return m_settings->status() == QSettings::NoError;
}

} // namespace platform
