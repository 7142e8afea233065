#include "platform/Application.h"

#include "platform/Window.h"

#include <QApplication>
#include <QEventLoop>

#include <algorithm>

namespace platform {

Application &Application::shared()
{
    static Application *instance = new Application; // lives until exit, like the application itself
    return *instance;
}

Application::Application()
{
    QGuiApplication::setQuitOnLastWindowClosed(true);
}

int Application::runModal(Window *window)
{
    if (!window)
        return ModalResponseAbort;
    QEventLoop loop;
    Session session;
    session.window = window;
    session.loop = &loop;
    m_sessions.push_back(&session);

    const bool wasVisible = window->isVisible();
    const Qt::WindowModality oldModality = window->windowModality();
    if (wasVisible && oldModality != Qt::ApplicationModal)
        window->hide(); // modality only takes effect when the window is shown
    window->setWindowModality(Qt::ApplicationModal);
    window->show();
    window->raise();
    window->activateWindow();
    emit modalSessionStarted();

    // The window may have been closed, or the session stopped, while it was being shown.
    const int code = session.ended ? session.code : loop.exec();

    m_sessions.erase(std::remove(m_sessions.begin(), m_sessions.end(), &session), m_sessions.end());
    if (session.window)
        session.window->setWindowModality(oldModality);
    if (m_sessions.empty())
        emit modalSessionsEnded();
    return code;
}

void Application::endSession(Session &session, int code)
{
    if (session.ended)
        return;
    session.ended = true;
    session.code = code;
    session.loop->exit(code);
}

void Application::stopModal()
{
    stopModalWithCode(ModalResponseStop);
}

void Application::abortModal()
{
    stopModalWithCode(ModalResponseAbort);
}

void Application::stopModalWithCode(int code)
{
    // The innermost session that has not been ended yet.
    for (auto it = m_sessions.rbegin(); it != m_sessions.rend(); ++it) {
        if (!(*it)->ended) {
            endSession(**it, code);
            return;
        }
    }
}

Window *Application::modalWindow() const
{
    return m_sessions.empty() ? nullptr : m_sessions.back()->window.data();
}

void Application::setTerminatesAfterLastWindowClosed(bool on)
{
    QGuiApplication::setQuitOnLastWindowClosed(on);
}

void Application::terminate()
{
    for (auto it = m_sessions.rbegin(); it != m_sessions.rend(); ++it)
        endSession(**it, ModalResponseAbort);
    QCoreApplication::quit();
}

void Application::windowDidClose(Window *window)
{
    for (Session *session : m_sessions) {
        if (session->window == window)
            endSession(*session, ModalResponseClosed);
    }
}

} // namespace platform
