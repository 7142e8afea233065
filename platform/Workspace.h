#pragma once
// The desktop's services for files and links: opening a link or a folder in another program, showing a
// file in the file manager, and the user's standard folders.
//
// The application uses Workspace::instance(); the test main installs RecordingWorkspace, which opens
// nothing. Use from the main thread.
#include <QString>
#include <QUrl>

namespace platform {

enum class StandardFolder { Movies, Documents, Desktop };

class Workspace
{
public:
    virtual ~Workspace() = default;

    // The workspace in use; never null (a QtWorkspace is made on first use when none was installed).
    static Workspace &instance();
    // Installs `workspace` (not owned; it must outlive its use). nullptr returns to the default.
    static void setInstance(Workspace *workspace);

    // The user's folder of that kind, from the XDG user folders (Movies is the Videos folder), without
    // a trailing slash. Never empty: falls back to the home folder's "Videos", "Documents", "Desktop".
    static QString standardFolder(StandardFolder folder);

    // Opens `url` in the desktop's program for it. false when nothing could be asked to open it.
    virtual bool openUrl(const QUrl &url) = 0;
    // Opens the folder `path` in the file manager. false when it is no folder.
    virtual bool openFolder(const QString &path) = 0;
    // Shows `path` selected in the file manager (or, failing that, opens its folder). false when the
    // path does not exist.
    virtual bool revealFile(const QString &path) = 0;
};

} // namespace platform
