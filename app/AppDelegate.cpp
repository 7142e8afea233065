#include "app/AppDelegate.h"

#include "app/InterimToolWindow.h"
#include "cutters/SplitterRegistration.h"
#include "services/LanguageService.h"
#include "app/MainMenu.h"
#include "app/ViewController.h"
#include "controls/PNQButton.h"
#include "cutters/EasyCutterRegistration.h"
#include "cutters/BatchCutterRegistration.h"
#include "editor/EditorRegistration.h"
#include "joiner/JoinnerRegistration.h"
#include "platform/Application.h"
#include "platform/FontAlias.h"
#include "platform/PopUpButton.h"
#include "platform/UserDefaults.h"
#include "platform/Window.h"
#include "platform/Workspace.h"

#include <QFontMetricsF>
#include <QGraphicsOpacityEffect>
#include <QMenu>

#include <algorithm>
#include <array>
#include <cmath>

using platform::makeRect;

namespace {

const QColor kAccent(33, 176, 235);
constexpr double kMainWidth = 700;
constexpr double kMainHeight = 520;

AppDelegate *&sharedSlot()
{
    static AppDelegate *delegate = nullptr;
    return delegate;
}

// The name of language n in its own language ("LangeuageItem0".."LangeuageItem8").
QString languageItemTitle(int n)
{
    const QString key = QStringLiteral("LangeuageItem%1").arg(n);
    return LanguageService::localizedStringForKey(key);
}

} // namespace

AppDelegate::AppDelegate(QObject *parent)
    : QObject(parent)
    , m_mainWindow(std::make_unique<platform::Window>(platform::Size{kMainWidth, kMainHeight}))
{
    sharedSlot() = this;
    registerEditorWindowClass();
    registerSplitterWindowClass();
    registerEasyCutterWindowClass();
    registerBatchCutterWindowClass();
    registerJoinnerWindowClass();
    InterimToolWindow::registerMissingToolWindows();

    platform::Window *window = m_mainWindow.get();
    window->setFixedSize(int(kMainWidth), int(kMainHeight));
    window->setTitlebarAppearsTransparent(true); // the header strip holds the menu and the language button
    m_viewController = new ViewController(window);

    m_mainMenu = new MainMenu(LanguageService::languageSetSize(), window->titlebarView());
    m_mainMenu->setGeometry(0, 0, int(kMainWidth) - 80, int(platform::Window::titlebarHeight));
    if (QMenu *application = m_mainMenu->itemWithTag(10)->menu()) {
        connect(MainMenu::itemWithTag(application, 100), &QAction::triggered, this,
                [this] { m_viewController->aboutAction(nullptr); });
        connect(MainMenu::itemWithTag(application, 200), &QAction::triggered, this,
                [] { platform::Application::shared().terminate(); });
    }
    for (QAction *entry : m_mainMenu->languageItems())
        connect(entry, &QAction::triggered, this, [this, entry] { changeLangeuage(entry); });
    platform::Application::shared().setMainWindow(window);
}

AppDelegate::~AppDelegate()
{
    if (sharedSlot() == this)
        sharedSlot() = nullptr;
}

AppDelegate *AppDelegate::sharedAppDelegate()
{
    return sharedSlot();
}

void AppDelegate::retitleMenus()
{
    for (QAction *item : m_mainMenu->actions()) {
        switch (MainMenu::tag(item)) {
        case 10:
            item->setText(LanguageService::localizedStringForKey("Ixy-de-Rz5.title"));
            // About and Quit sit in this item's own menu.
            if (QAction *about = MainMenu::itemWithTag(item->menu(), 100))
                about->setText(LanguageService::localizedStringForKey("5kV-Vb-QxS.title"));
            if (QAction *quit = MainMenu::itemWithTag(item->menu(), 200))
                quit->setText(LanguageService::localizedStringForKey("4sb-4s-VLi.title"));
            break;
        case 20:
            item->setText(LanguageService::localizedStringForKey("LanguageBtnTitle"));
            if (item->menu())
                item->menu()->setTitle(LanguageService::localizedStringForKey("LanguageBtnTitle"));
            break;
        case 30:
            item->setText(LanguageService::localizedStringForKey("FKE-Sm-Kum.title"));
            if (item->menu())
                item->menu()->setTitle(LanguageService::localizedStringForKey("FKE-Sm-Kum.title"));
            break;
        default:
            break;
        }
    }
    if (m_mainMenu->helpItemBtn())
        m_mainMenu->helpItemBtn()->setText(LanguageService::localizedStringForKey("HelpSupportItemTitle"));
}

void AppDelegate::applicationDidFinishLaunching()
{
    retitleMenus();
    const int setSize = LanguageService::languageSetSize();
    const QList<QAction *> languages = m_mainMenu->languageItems();
    for (int n = 0; n < languages.size(); ++n)
        languages[n]->setText(languageItemTitle(n));

    platform::Window *window = m_mainWindow.get();
    window->setTitlebarAppearsTransparent(true);
    window->setBackgroundColor(kAccent);
    window->setTitle(LanguageService::localizedStringForKey("Ixy-de-Rz5.title"));

    connect(m_mainMenu->helpItemBtn(), &QAction::triggered, this, [this] { showHelpAction(); });

    platform::View *strip = window->titlebarView();
    const double stripWidth = strip->frame().width();
    m_languageBtn = new PNQButton(makeRect(stripWidth - 70, 0, 60, platform::Window::titlebarHeight));
    m_languageBtn->setContentColor(QColor::fromRgbF(1, 1, 1, 1));
    m_languageBtn->setAutoresizingMask(47);
    setLanguageButtonTitle(LanguageService::localizedStringForKey("LanguageBtnTitle"));

    m_langeuagePopBtn = new platform::PopUpButton(m_languageBtn->bounds(), true);
    m_langeuagePopBtn->setAutoresizingMask(platform::View::WidthSizable | platform::View::HeightSizable);
    m_langeuagePopBtn->removeAllItems();
    m_langeuagePopBtn->addItemWithTitle(LanguageService::localizedStringForKey("LanguageBtnTitle"));
    for (int n = 0; n < setSize; ++n)
        m_langeuagePopBtn->addItemWithTitle(languageItemTitle(n));
    for (int i = 0; i < m_langeuagePopBtn->numberOfItems(); ++i) {
        const QString title = m_langeuagePopBtn->itemTitleAtIndex(i);
        m_langeuagePopBtn->setItemStyledTitle(
            i, platform::StyledTitle{title, platform::FontAlias::fontNamed(QStringLiteral(".AppleSystemUIFont"), 14, title),
                                     kAccent});
    }
    m_langeuagePopBtn->action = [this](platform::PopUpButton &) { langeuageAction(); };
    m_langeuagePopBtn->selectItemAtIndex(1 + int(LanguageService::storedLanguage()));

    // Invisible over the button: the user sees the button, and a click on it opens the list.
    m_languageBtn->addSubview(m_langeuagePopBtn);
    auto *invisible = new QGraphicsOpacityEffect(m_langeuagePopBtn);
    invisible->setOpacity(0);
    m_langeuagePopBtn->setGraphicsEffect(invisible);
    strip->addSubview(m_languageBtn);
    m_viewController->setLangeuagePopBtn(m_langeuagePopBtn);
}

// The button is 60 points wide, or as wide as its title needs, its right end 10 points from the strip's.
void AppDelegate::setLanguageButtonTitle(const QString &title)
{
    m_languageBtn->setContentTitle(title);
    const double width = std::max(60.0, std::ceil(QFontMetricsF(m_languageBtn->font()).horizontalAdvance(title)) + 16);
    const platform::Rect frame = m_languageBtn->frame();
    m_languageBtn->setFrame(makeRect(frame.maxX() - width, frame.minY(), width, frame.height()));
}

void AppDelegate::langeuageAction()
{
    setLange(m_langeuagePopBtn->indexOfSelectedItem() - 1);
}

void AppDelegate::changeLangeuage(QAction *sender)
{
    setLange(MainMenu::tag(sender) - 100);
}

QString AppDelegate::languageCode(qint64 n, int setSize)
{
    static const std::array<const char *, 9> nine = {"en", "zh_CN", "zh_HK", "fr", "de", "ja", "es", "pt", "ar"};
    static const std::array<const char *, 4> four = {"en", "zh_Hant", "fr", "ja"};
    if (setSize == 4)
        return QString::fromLatin1(n >= 0 && n < 4 ? four[size_t(n)] : "en");
    return QString::fromLatin1(n >= 0 && n < 9 ? nine[size_t(n)] : "en");
}

void AppDelegate::setLange(qint64 n)
{
    platform::UserDefaults &defaults = platform::UserDefaults::standard();
    defaults.setValue(QStringLiteral("AppLanguage"), n);
    const QString code = languageCode(n, LanguageService::languageSetSize());
    defaults.setValue(QString::fromLatin1(platform::UserDefaults::PreferredLanguagesKey), QStringList{code});
    defaults.sync();

    LanguageService::setLanguage();
    retitleMenus();
    setLanguageButtonTitle(LanguageService::localizedStringForKey("LanguageBtnTitle"));
    m_viewController->langeuageAction();
}

void AppDelegate::showHelpAction()
{
    platform::Workspace::instance().openUrl(QUrl(LanguageService::localizedStringForKey("supprotUrl")));
}
