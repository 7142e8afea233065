#include "toolkit/ToolWindowController.h"

#include "controls/PNQButton.h"
#include "controls/PNQOpenAlert.h"
#include "platform/Application.h"
#include "platform/Dispatch.h"
#include "platform/Log.h"
#include "platform/NotificationCenter.h"
#include "platform/Panels.h"
#include "platform/UserDefaults.h"
#include "platform/Window.h"
#include "platform/Workspace.h"
#include "services/LanguageService.h"

#include <QFileInfo>
#include <QPointer>

ToolWindowController::ToolWindowController(QObject *parent) : platform::WindowController(parent)
{
    // The controller releases itself once its window has closed and its queued work has run.
    setReleasedWhenClosed(false);
}

ToolWindowController::~ToolWindowController()
{
    platform::NotificationCenter::defaultCenter().removeObserver(this);
}

QString ToolWindowController::startButtonTitleKey() const
{
    return QStringLiteral(VW_KEY("StartExportTitle"));
}

void ToolWindowController::observeClose()
{
    platform::NotificationCenter::defaultCenter().addObserver(
        this, QString::fromLatin1(platform::NSWindowWillCloseNotification), nullptr,
        [this](const platform::Notification &n) { closewindow(n); });
}

void ToolWindowController::closewindow(const platform::Notification &n)
{
    if (!isWindowLoaded() || n.object != window() || m_closed)
        return;
    m_closed = true;
    windowWillClose();
    platform::NotificationCenter::defaultCenter().post(QString::fromLatin1(WillCloseNotification));
    releaseWhenDone();
}

void ToolWindowController::closeAction(QObject *)
{
    close();
    platform::Application::shared().stopModal();
}

void ToolWindowController::showSimpleAlert(const QString &message, int tag, bool fromExportEnd)
{
    // A message that arrives while an export runs (a field check, say) must not disarm that export. The
    // progress poll belongs to the export's job and ends with it.
    if (!isExportRunning() || fromExportEnd) {
        if (PNQButton *button = startButton())
            button->setContentTitle(LanguageService::localizedStringForKey(startButtonTitleKey()));
    }
    platform::Window *win = isWindowLoaded() ? window() : nullptr;
    if (tag == 1) {
        PNQOpenAlert::showFinished(win, finishedMessageKey(), outputFolder());
        return;
    }
    platform::AlertRequest request;
    request.buttonTitles = {LanguageService::localizedStringForKey("OKBtnTitle")};
    request.messageText = win ? LanguageService::localizedStringForKey(win->title()) : QString();
    request.informativeText = message;
    request.style = platform::AlertRequest::Style::Warning;
    request.parent = win;
    platform::Panels::instance().runAlert(request);
}

QStringList ToolWindowController::chooseMediaFiles(const QStringList &allowedTypes, bool several)
{
    platform::OpenPanelRequest request;
    request.cancelTitle = LanguageService::localizedStringForKey("OpenPanelCancelTitle");
    request.prompt = LanguageService::localizedStringForKey("OpenPanelOpenTitle");
    request.allowsMultipleSelection = several;
    request.canChooseDirectories = false;
    request.canCreateDirectories = false;
    request.canChooseFiles = true;
    request.allowedExtensions = allowedTypes;
    // The list is what the panel shows first; the probe decides whether any other file is media.
    request.allowsOtherFileTypes = true;
    request.parent = isWindowLoaded() ? window() : nullptr;
    // Never the folder the application was started from: the user's last folder, else Videos.
    platform::UserDefaults &defaults = platform::UserDefaults::standard();
    const QString last = defaults.string(QString::fromLatin1(LastOpenFolderKey));
    request.directory = !last.isEmpty() && QFileInfo(last).isDir()
                            ? last
                            : platform::Workspace::standardFolder(platform::StandardFolder::Movies);
    const QStringList urls = platform::Panels::instance().runOpenPanel(request);
    if (!urls.isEmpty()) {
        platform::log("urls:%@", urls.join(QStringLiteral(", ")));
        defaults.setValue(QString::fromLatin1(LastOpenFolderKey), QFileInfo(urls.first()).absolutePath());
    }
    return urls;
}

void ToolWindowController::dispatchOnMain(std::function<void()> fn)
{
    ++m_pendingMainWork;
    QPointer<ToolWindowController> self(this);
    platform::dispatchMain([self, fn = std::move(fn)] {
        if (!self)
            return;
        --self->m_pendingMainWork;
        if (!self->m_closed)
            fn();
        self->releaseWhenDone();
    });
}

void ToolWindowController::releaseWhenDone()
{
    if (m_closed && m_pendingMainWork == 0)
        deleteLater();
}
