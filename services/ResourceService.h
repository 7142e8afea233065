#pragma once
// The application's resources beyond texts: the settings bundle ("Settings.bundle" inside the main
// bundle's resources), which holds every image, the effect list and the output profiles; image loading
// by relative name ("Main/btnCrop_Normal.bmp"); the bundle's identifier and version. Main thread only.
#include <QImage>
#include <QString>

namespace platform {
class Bundle;
}

class ResourceService
{
public:
    // The settings bundle. Made on first use and kept; made again only when the main bundle's resources
    // are re-pointed (tests).
    static const platform::Bundle &resourceBundle();

    // The image `name` in the settings bundle, trying in order: the name as it stands, the name with
    // ".png", the name + "@3x.png", the name + "@2x.png". A null image when no try loads.
    static QImage imageWithfileName(const QString &name);
    // The image at exactly "Settings.bundle/" + `name` in the main bundle's resources, with no tries: a
    // name without its extension finds nothing. A null image when the file is missing or unreadable.
    static QImage imageWithfileNameExact(const QString &name);

    // "CFBundleIdentifier" of the main bundle.
    static QString getCurrentBundleIdentifier();
    // "CFBundleShortVersionString" of the main bundle.
    static QString getCurrentVersion();
};
