#pragma once
// The application's delegate: loads the main interface (the main window with the launcher as its content
// and the main menu in its header strip), finishes the start (menu titles, the window's look, the language
// button with its pull-down list at the right end of the header strip), and switches the interface
// language while the application runs.
//
// A language change stores the number under "AppLanguage", writes the language's code as the only entry
// of "PreferredLanguages" (both in the standard user defaults, at once; no other program is run), and
// re-titles the menus, the language button and the launcher at once; the main window's title and the
// list's entries change at the next start. The list marks the language in use (a tick, and its name in
// bold) and opens inside the main window. Main thread only.
#include <QObject>

#include <memory>

class MainMenu;
class PNQButton;
class QAction;
class ViewController;

namespace platform {
class PopUpButton;
class Window;
} // namespace platform

class AppDelegate : public QObject
{
    Q_OBJECT

public:
    // Makes the main interface (not shown yet). One delegate exists at a time.
    explicit AppDelegate(QObject *parent = nullptr);
    ~AppDelegate() override;

    // The delegate alive now, or null.
    static AppDelegate *sharedAppDelegate();

    // Titles the menus, styles the main window, adds the language button and list. Does not show the window.
    void applicationDidFinishLaunching();

    // The pull-down list's action: the chosen entry minus 1 (entry 0 is the list's title).
    void langeuageAction();
    // A language menu entry's action: its tag minus 100.
    void changeLangeuage(QAction *sender);
    // Switches the interface language to number `n` (see above).
    void setLange(qint64 n);
    // Opens the support page ("supprotUrl") in the desktop's browser.
    void showHelpAction();
    bool applicationShouldTerminateAfterLastWindowClosed() const { return true; }
    void applicationWillTerminate() {}

    // The code written as preferred language for language `n` in a set of `setSize` (9 or 4) languages:
    // en zh_CN zh_HK fr de ja es pt ar, or en zh_Hant fr ja; "en" for any other number.
    static QString languageCode(qint64 n, int setSize);

    platform::Window *mainWindow() const { return m_mainWindow.get(); }
    MainMenu *mainMenu() const { return m_mainMenu; }
    ViewController *viewController() const { return m_viewController; }
    PNQButton *languageBtn() const { return m_languageBtn; }
    platform::PopUpButton *langeuagePopBtn() const { return m_langeuagePopBtn; }

protected:
    // Keeps the language list's pop-up inside the main window when it opens.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void retitleMenus();
    void markCurrentLanguage();
    void setLanguageButtonTitle(const QString &title);

    std::unique_ptr<platform::Window> m_mainWindow;
    MainMenu *m_mainMenu = nullptr;
    ViewController *m_viewController = nullptr;
    PNQButton *m_languageBtn = nullptr;
    platform::PopUpButton *m_langeuagePopBtn = nullptr;
};
