#include "services/ResourceService.h"

#include "platform/Bundle.h"

#include <QDir>
#include <QFileInfo>

#include <memory>

namespace {

const QString kSettingsBundle = QStringLiteral("Settings.bundle");

// An existing file only: QImage would otherwise try appending image suffixes to a name without one.
QImage loadFile(const QString &path)
{
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return {};
    return QImage(path);
}

} // namespace

const platform::Bundle &ResourceService::resourceBundle()
{
    static std::unique_ptr<platform::Bundle> bundle;
    const QString path = QDir::cleanPath(platform::Bundle::main().resourcePath() + u'/' + kSettingsBundle);
    if (!bundle || bundle->bundlePath() != path)
        bundle = std::make_unique<platform::Bundle>(path);
    return *bundle;
}

QImage ResourceService::imageWithfileName(const QString &name)
{
    const platform::Bundle &bundle = resourceBundle();
    const QString png = QStringLiteral("png");
    for (const auto &[base, type] : {std::pair{name, QString()}, std::pair{name, png},
                                     std::pair{name + QStringLiteral("@3x"), png},
                                     std::pair{name + QStringLiteral("@2x"), png}}) {
        QImage image = loadFile(bundle.pathForResource(base, type));
        if (!image.isNull())
            return image;
    }
    return {};
}

QImage ResourceService::imageWithfileNameExact(const QString &name)
{
    return loadFile(platform::Bundle::main().resourcePath() + u'/' + kSettingsBundle + u'/' + name);
}

QString ResourceService::getCurrentBundleIdentifier()
{
    return platform::Bundle::identifier();
}

QString ResourceService::getCurrentVersion()
{
    return platform::Bundle::version();
}
