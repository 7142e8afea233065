#include "app/InterimToolWindow.h"

#include "platform/NotificationCenter.h"
#include "platform/Window.h"

namespace {

const char *const kToolClassNames[] = {"EditVideoWindowController", "JoinnerWindowController",
                                       "EasyCutterWindowcontroller", "BatchCutterWindowController",
                                       "SplitWindowController"};

} // namespace

InterimToolWindow::InterimToolWindow(QObject *parent)
    : platform::WindowController(parent)
{
}

InterimToolWindow::~InterimToolWindow() = default;

void InterimToolWindow::registerMissingToolWindows()
{
    for (const char *name : kToolClassNames) {
        const QString className = QString::fromLatin1(name);
        if (!isRegistered(className))
            registerClass<InterimToolWindow>(className);
    }
}

std::unique_ptr<platform::Window> InterimToolWindow::makeWindow()
{
    return std::make_unique<platform::Window>(platform::Size{640, 400});
}

void InterimToolWindow::windowDidLoad()
{
    platform::Window *own = window();
    platform::NotificationCenter::defaultCenter().addObserver(
        this, QString::fromLatin1(platform::NSWindowWillCloseNotification), own, [](const platform::Notification &) {
            platform::NotificationCenter::defaultCenter().post(QString::fromLatin1(WillCloseNotification));
        });
}
