// Entry point: the application object, its delegate and the main window with the launcher.
#include "app/AppDelegate.h"
#include "services/LanguageService.h"
#include "platform/Window.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication qtApp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("video-workshop"));
    LanguageService::setLanguage();

    AppDelegate delegate;
    delegate.applicationDidFinishLaunching();
    platform::Window *window = delegate.mainWindow();
    window->center();
    window->makeKeyAndOrderFront();
    const int result = qtApp.exec();
    delegate.applicationWillTerminate();
    return result;
}
