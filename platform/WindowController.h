#pragma once
// Owns one Window and builds its contents; tool windows are controllers created by class name.
//
// window() makes the window on first use (makeWindow(), then windowDidLoad() once). A controller keeps
// itself alive while its window is open and deletes itself (deleteLater) after the window closes, unless
// setReleasedWhenClosed(false) (required for a controller not made with new); hold it in a QPointer when
// it may outlive your reference. A controller whose window never opened is deleted by its creator.
#include "platform/Geometry.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

namespace platform {

class Window;

class WindowController : public QObject
{
    Q_OBJECT

public:
    using Factory = std::function<WindowController *()>;

    explicit WindowController(QObject *parent = nullptr);
    ~WindowController() override;

    // Registers a factory under a class name (a later registration of the same name replaces it).
    static void registerClass(const QString &className, Factory factory);
    template <class T>
    static void registerClass(const QString &className)
    {
        registerClass(className, [] { return new T; });
    }
    static bool isRegistered(const QString &className);
    // A new controller of that class (its className() is set), or nullptr for an unknown name.
    static WindowController *create(const QString &className);
    QString className() const { return m_className; }

    Window *window();
    bool isWindowLoaded() const { return m_window != nullptr; }

    void showWindow();
    void makeKeyAndOrderFront();
    void center();
    void setTitle(const QString &title);
    void setMinSize(Size size);
    void toggleFullScreen();
    // Closes the window (posting NSWindowWillCloseNotification as a user's close does).
    void close();

    bool releasedWhenClosed() const { return m_releasedWhenClosed; }
    void setReleasedWhenClosed(bool on) { m_releasedWhenClosed = on; }

protected:
    // Makes the window; the default is an 800 x 600 Window.
    virtual std::unique_ptr<Window> makeWindow();
    // Called once, right after the window has been made.
    virtual void windowDidLoad() {}

private:
    void windowClosed();

    std::unique_ptr<Window> m_window;
    QString m_className;
    bool m_releasedWhenClosed = true;
};

} // namespace platform
