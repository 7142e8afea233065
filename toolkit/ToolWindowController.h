#pragma once
// The base of every tool window (editor, joiner, cutters, splitter): the one message routine and the
// one way of closing.
//
// showSimpleAlert(): tag 1 shows the finish dialog (PNQOpenAlert::showFinished with finishedMessageKey()
// and outputFolder(); the message is not shown), any other tag a plain warning alert with `message` as
// its informative text and the window's title as its heading. Unless an export runs and the call does
// not come from that export's own end (`fromExportEnd`), the start button's title is reset first, so a
// message during an export leaves the export's controls alone.
//
// Closing: once windowDidLoad() has called observeClose(), the close of this window (and only this one)
// calls windowWillClose() (cancel the export, tear the players down), then posts WillCloseNotification
// (no object) once. The controller keeps itself alive until its window has closed and the last piece
// of work queued with dispatchOnMain() has run; such work never runs once the window has closed.
// Main thread only.
#include "platform/WindowController.h"

#include <QString>
#include <QStringList>

#include <functional>

class PNQButton;

namespace platform {
struct Notification;
}

class ToolWindowController : public platform::WindowController
{
    Q_OBJECT

public:
    // Posted (no object) when a tool window closes; the launcher listens for it.
    static constexpr const char *WillCloseNotification = "WillCloseNotification";
    // The user-defaults key of the folder the add-file panels last chose from.
    static constexpr const char *LastOpenFolderKey = "lastOpenPanelFolder";

    explicit ToolWindowController(QObject *parent = nullptr);
    ~ToolWindowController() override;

    virtual void showSimpleAlert(const QString &message, int tag, bool fromExportEnd = false);
    // Closes the window, then ends the application's modal loop.
    void closeAction(QObject *sender = nullptr);
    // The window-close handler (every window's close reaches it; only this window's counts).
    void closewindow(const platform::Notification &notification);

    // Runs `fn` one event-loop turn later on the main thread, unless the window has closed by then; the
    // controller stays alive until it has run.
    void dispatchOnMain(std::function<void()> fn);
    int pendingMainWork() const { return m_pendingMainWork; }
    bool isClosed() const { return m_closed; }

protected:
    // The add-file panel over this window: media files of `allowedTypes`, several when `several`; the
    // chosen paths, empty on cancel (logged "urls:%@"). The panel opens in the folder last chosen from
    // (shared by every tool window, LastOpenFolderKey), else in the Videos folder; a choice stores its
    // folder.
    QStringList chooseMediaFiles(const QStringList &allowedTypes, bool several);
    // Call once from windowDidLoad(): from then on this window's close reaches closewindow().
    void observeClose();
    // Runs once when the window closes, before WillCloseNotification is posted.
    virtual void windowWillClose() {}
    // What the message routine needs of the window.
    virtual bool isExportRunning() const { return false; }
    virtual PNQButton *startButton() const { return nullptr; }
    // The key of the start button's title that the message routine restores.
    virtual QString startButtonTitleKey() const;
    // The key of the finish dialog's text ("Editfinishedstring", ...).
    virtual QString finishedMessageKey() const = 0;
    // The folder the finish dialog opens.
    virtual QString outputFolder() const { return QString(); }

private:
    void releaseWhenDone();

    int m_pendingMainWork = 0;
    bool m_closed = false;
};
