#pragma once
// The user's settings: a key/value store over a QSettings INI file,
// $XDG_CONFIG_HOME/video-workshop/video-workshop.ini (~/.config/... when the variable is unset).
//
// An absent key and a key holding an empty string are different: contains() tells them apart and
// value() is an invalid QVariant only for an absent key. Values are written at once to the QSettings
// object and reach the file on sync() or at exit. Use from the main thread.
//
// A path that holds something other than a regular file (a FIFO, a folder, a device, or a link to one)
// is renamed aside to "<path>.not-a-file" with a warning, and the store starts empty; so is a file above
// 4 MiB, to "<path>.too-large" (no settings file comes near it, and reading one would hold up the start).
// Nothing is deleted. When it cannot be moved, the store lives in a temporary file for this run only.
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>

class QSettings;
class QTemporaryDir;

namespace platform {

class UserDefaults
{
public:
    // The application's store (created on first use, at the path storePath()).
    static UserDefaults &standard();
    // Re-points standard() at another file (tests): the current store is synced and replaced.
    static void setStorePath(const QString &path);
    // The file standard() uses.
    static QString storePath();

    // A store over the given INI file (created on the first write).
    explicit UserDefaults(const QString &path);
    ~UserDefaults();
    UserDefaults(const UserDefaults &) = delete;
    UserDefaults &operator=(const UserDefaults &) = delete;

    QString path() const;

    bool contains(const QString &key) const;
    // The stored value, or an invalid QVariant when the key is absent.
    QVariant value(const QString &key) const;
    // The value as text; empty when absent.
    QString string(const QString &key) const;
    // The value as a number; 0 when absent or not a number.
    long long integer(const QString &key) const;
    double doubleValue(const QString &key) const;
    // true for true/1/"YES"/"true"; false when absent.
    bool boolValue(const QString &key) const;
    // The value as a list of strings (a single string becomes a list of one); empty when absent.
    QStringList stringList(const QString &key) const;

    // Stores `value`; an invalid QVariant removes the key.
    void setValue(const QString &key, const QVariant &value);
    void remove(const QString &key);
    // Writes pending changes to the file and reads changes made by others. Returns false on a write error.
    bool sync();

    // The key that holds the preferred-languages list (a list holding one language code).
    static constexpr const char *PreferredLanguagesKey = "PreferredLanguages";

private:
    std::unique_ptr<QTemporaryDir> m_fallbackFolder; // only when the path could not be used
    std::unique_ptr<QSettings> m_settings;
};

} // namespace platform
