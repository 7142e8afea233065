#include "platform/WindowController.h"

#include "platform/Window.h"

#include <QHash>

namespace platform {

namespace {

QHash<QString, WindowController::Factory> &registry()
{
    static QHash<QString, WindowController::Factory> factories;
    return factories;
}

} // namespace

WindowController::WindowController(QObject *parent)
    : QObject(parent)
{
}

WindowController::~WindowController() = default;

void WindowController::registerClass(const QString &className, Factory factory)
{
    registry().insert(className, std::move(factory));
}

bool WindowController::isRegistered(const QString &className)
{
    return registry().contains(className);
}

WindowController *WindowController::create(const QString &className)
{
    const auto it = registry().constFind(className);
    if (it == registry().constEnd() || !*it)
        return nullptr;
    WindowController *controller = (*it)();
    if (controller)
        controller->m_className = className;
    return controller;
}

std::unique_ptr<Window> WindowController::makeWindow()
{
    return std::make_unique<Window>();
}

Window *WindowController::window()
{
    if (!m_window) {
        m_window = makeWindow();
        m_window->setWindowController(this);
        connect(m_window.get(), &Window::didClose, this, &WindowController::windowClosed);
        windowDidLoad();
    }
    return m_window.get();
}

void WindowController::showWindow()
{
    makeKeyAndOrderFront();
}

void WindowController::makeKeyAndOrderFront()
{
    window()->makeKeyAndOrderFront();
}

void WindowController::center()
{
    window()->center();
}

void WindowController::setTitle(const QString &title)
{
    window()->setTitle(title);
}

void WindowController::setMinSize(Size size)
{
    window()->setMinSize(size);
}

void WindowController::toggleFullScreen()
{
    window()->toggleFullScreen();
}

void WindowController::close()
{
    if (m_window)
        m_window->close();
}

void WindowController::windowClosed()
{
    if (m_releasedWhenClosed)
        deleteLater();
}

} // namespace platform
