#pragma once
// A folder of resources: the application's main bundle, or a bundle inside it ("Settings.bundle", a
// "<lang>.lproj" folder).
//
// The main bundle's resources are <exe dir>/Resources in the build tree and
// <exe dir>/../share/video-workshop/Resources when installed. Any other bundle's resources are its own
// folder. Localised texts live in "<lang>.lproj/<table>.strings" files in the `"key" = "value";` format;
// they are read once per file and kept. Use from the main thread.
#include <QHash>
#include <QString>
#include <QVariant>

#include <optional>

namespace platform {

class Bundle
{
public:
    // The application's bundle.
    static Bundle &main();
    // The bundle at `path`, or nullopt when no such folder exists.
    static std::optional<Bundle> withPath(const QString &path);

    explicit Bundle(const QString &path);

    // The bundle's folder (for the main bundle, the executable's folder).
    QString bundlePath() const;
    // The folder that holds the bundle's resources.
    QString resourcePath() const;
    // Re-points the resources (tests, or a relocated installation).
    void setResourcePath(const QString &path);

    // The path of resource `name` with extension `type` (empty: `name` is used as it stands) in
    // `subdirectory` of the resources; empty when no such file or folder exists. `name` may hold a
    // relative path ("Main/btnCrop_Normal.bmp").
    QString pathForResource(const QString &name, const QString &type = {},
                            const QString &subdirectory = {}) const;

    // The text for `key` in `table` (default "Main") of the language folder `lprojFolder` ("fr" reads
    // "fr.lproj/<table>.strings"). With no folder given: the bundle's own "<table>.strings" when the
    // bundle is itself a language folder, else the folder of the first preferred language, else "en".
    // A missing key (or table) gives `value` when it is not empty, else the key itself.
    QString localizedString(const QString &key, const QString &value = {}, const QString &table = {},
                            const QString &lprojFolder = {}) const;

    // Reads a strings table: `"key" = "value";` pairs (single quotes work too) with \" \\ \n \t \r \'
    // and \Uxxxx escapes, /* */ and // comments, UTF-8 or UTF-16 (with a byte-order mark). Unquoted keys
    // and values of letters, digits and _ . - / : $ are taken too. nullopt when the file cannot be read or
    // is malformed (an empty path among them, refused without a word).
    static std::optional<QHash<QString, QString>> readStringsFile(const QString &path);
    // Reads an XML property list: dict -> QVariantMap, array -> QVariantList, string -> QString,
    // integer -> qlonglong, real -> double, true/false -> bool, date -> QDateTime, data -> QByteArray.
    // An invalid QVariant when the file cannot be read (an empty path among them, refused without a
    // word) or is not a property list, or nests arrays and dictionaries more than 256 deep (refused with a
    // log line, before the reader's stack runs out).
    static QVariant readPropertyList(const QString &path);

    // "org.videoworkshop.VideoWorkshop".
    static QString identifier();
    // The project's version ("0.1.0").
    static QString version();

private:
    QString m_bundlePath;
    QString m_resourcePath;
};

} // namespace platform
