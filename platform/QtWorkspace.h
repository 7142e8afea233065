#pragma once
// The Workspace of the running application: QDesktopServices for links and folders, the freedesktop
// file manager's D-Bus interface (org.freedesktop.FileManager1.ShowItems) for revealing a file.
#include "platform/Workspace.h"

namespace platform {

class QtWorkspace : public Workspace
{
public:
    bool openUrl(const QUrl &url) override;
    bool openFolder(const QString &path) override;
    bool revealFile(const QString &path) override;
};

} // namespace platform
