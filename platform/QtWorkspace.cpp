#include "platform/QtWorkspace.h"

#include "platform/Log.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDesktopServices>
#include <QFileInfo>

namespace platform {

bool QtWorkspace::openUrl(const QUrl &url)
{
    if (!url.isValid())
        return false;
    return QDesktopServices::openUrl(url);
}

bool QtWorkspace::openFolder(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isDir())
        return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(info.absoluteFilePath()));
}

bool QtWorkspace::revealFile(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return false;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected()) {
        QDBusMessage call = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
            QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
        call << QStringList{QUrl::fromLocalFile(info.absoluteFilePath()).toString()} << QString();
        // A bounded wait: a file manager that is started for the call needs a moment.
        const QDBusMessage reply = bus.call(call, QDBus::Block, 5000);
        if (reply.type() == QDBusMessage::ReplyMessage)
            return true;
        logWarning("revealFile: %@", reply.errorMessage());
    }
    return openFolder(info.isDir() ? info.absoluteFilePath() : info.absolutePath());
}

} // namespace platform
