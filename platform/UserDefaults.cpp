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

// No settings file of ours comes near this size; QSettings would read and parse all of it before the
// first window shows (seconds, and many times its size in memory).
constexpr qint64 MaxSettingsBytes = 4 * 1024 * 1024;

// QSettings opens its file for reading without asking what it is: a FIFO there blocks the start-up
// forever, and a directory or a device is no settings file either; a huge file delays the start and
// takes memory for nothing. Such an entry (or a link to one) is renamed aside, never deleted, so that the
// store starts empty and its first write makes a regular file. Returns whether `path` is free for
// QSettings: absent, a regular file of a sane size, or moved aside.
bool moveAsideUnlessUsable(const QString &path)
{
    struct stat info = {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return true;
    const bool regular = S_ISREG(info.st_mode);
    if (regular && info.st_size <= MaxSettingsBytes)
        return true;
    const QString suffix = regular ? QStringLiteral(".too-large") : QStringLiteral(".not-a-file");
    QString aside = path + suffix;
    for (int n = 2; QFileInfo::exists(aside) || QFileInfo(aside).isSymLink(); ++n)
        aside = path + suffix + QStringLiteral("-%1").arg(n);
    const bool moved =
        ::rename(QFile::encodeName(path).constData(), QFile::encodeName(aside).constData()) == 0;
    if (moved && regular)
        logWarning(
            "the settings file %@ is larger than %lld bytes; it is moved to %@ and the defaults are used",
            path, static_cast<long long>(MaxSettingsBytes), aside);
    else if (moved)
        logWarning("the settings file %@ is not a regular file; it is moved to %@ and the defaults are used",
                   path, aside);
    else if (regular)
        logWarning("the settings file %@ is larger than %lld bytes and cannot be moved aside; the defaults "
                   "are used and not kept",
                   path, static_cast<long long>(MaxSettingsBytes));
    else
        logWarning("the settings file %@ is not a regular file and cannot be moved aside; the defaults are "
                   "used and not kept",
                   path);
    return moved;
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
    if (moveAsideUnlessUsable(path)) {
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
