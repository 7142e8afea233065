// Entry point: the launcher window on the platform layer's application object.
#include "app/LanguageService.h"
#include "platform/Application.h"
#include "platform/Bundle.h"
#include "platform/View.h"
#include "platform/Window.h"

#include <QApplication>
#include <QLabel>

int main(int argc, char **argv)
{
    QApplication qtApp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("video-workshop"));
    LanguageService::setLanguage();

    platform::Window window(platform::Size{640, 400});
    window.setTitle(LanguageService::localizedStringForKey("Title"));
    window.setBackgroundColor(QColor(33, 176, 235));
    window.setTitlebarAppearsTransparent(true);
    auto *caption = new QLabel(LanguageService::localizedStringForKey("Title"), window.contentView());
    caption->setStyleSheet(QStringLiteral("color: white; font-size: 24px;"));
    caption->adjustSize();
    caption->move((640 - caption->width()) / 2, (400 - caption->height()) / 2);
    platform::Application::shared().setMainWindow(&window);
    window.center();
    window.makeKeyAndOrderFront();
    return qtApp.exec();
}
