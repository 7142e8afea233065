#pragma once
// The application object: modal sessions, the main window, and quitting when the last window closes.
//
// runModal() runs a nested event loop for one window until stopModal()/stopModalWithCode() ends it or the
// user closes the window. Sessions nest; stopModal() ends the innermost one. While any session runs,
// Default-mode Timers hold their ticks (see Timer.h).
#include "platform/Window.h"

#include <QObject>
#include <QPointer>

#include <vector>

class QEventLoop;

namespace platform {

class Application : public QObject
{
    Q_OBJECT

public:
    // Results of runModal() besides the codes given to stopModalWithCode().
    enum ModalResponse {
        ModalResponseStop = -1000,     // stopModal()
        ModalResponseAbort = -1001,    // abortModal()
        ModalResponseClosed = -1003,   // the session's window was closed (by the user or by close())
    };

    // The one instance (created on first use; needs a QApplication and the main thread).
    static Application &shared();

    // Shows `window` application-modal and runs a nested loop until its session ends; returns the code.
    int runModal(Window *window);
    // End the innermost session with ModalResponseStop, ModalResponseAbort, or `code`. No effect outside
    // a session.
    void stopModal();
    void abortModal();
    void stopModalWithCode(int code);
    bool isModal() const { return !m_sessions.empty(); }
    // The window of the innermost session, or nullptr.
    Window *modalWindow() const;

    // The launcher's window, for the parts that place things relative to it.
    Window *mainWindow() const { return m_mainWindow; }
    void setMainWindow(Window *window) { m_mainWindow = window; }

    // True by default: closing the last visible window quits the application.
    void setTerminatesAfterLastWindowClosed(bool on);
    void terminate();

    // Called by Window when it closes: ends every session that runs for it with ModalResponseClosed.
    void windowDidClose(Window *window);

signals:
    void modalSessionStarted();
    // The last running session has ended (Default timers may fire again).
    void modalSessionsEnded();

private:
    Application();
    struct Session
    {
        QPointer<Window> window;
        QEventLoop *loop = nullptr;
        int code = ModalResponseStop;
        bool ended = false;
    };
    void endSession(Session &session, int code);

    std::vector<Session *> m_sessions; // innermost last
    QPointer<Window> m_mainWindow;
};

} // namespace platform
