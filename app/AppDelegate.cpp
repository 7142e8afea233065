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

#include <QAbstractItemView>
#include <QComboBox>
#include <QEvent>
#include <QFontMetricsF>
#include <QGraphicsOpacityEffect>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>

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

// The mark of the language in use in the list, and a blank of the same size that keeps the other
// entries' names in line with it.
QPixmap languageMark(bool current)
{
    QPixmap mark(14, 14);
    mark.fill(Qt::transparent);
    if (!current)
        return mark;
    QPainter painter(&mark);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(kAccent, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QPainterPath tick;
    tick.moveTo(2, 7.5);
    tick.lineTo(5.5, 11);
    tick.lineTo(12, 3);
    painter.drawPath(tick);
    return mark;
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
    markCurrentLanguage();
    m_langeuagePopBtn->comboBox()->view()->window()->installEventFilter(this);

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

void AppDelegate::markCurrentLanguage()
{
    const QList<QAction *> entries = m_mainMenu->languageItems();
    for (int n = 0; n < entries.size(); ++n) {
        entries[n]->setCheckable(true);
        entries[n]->setChecked(n == LanguageService::storedLanguage());
    }
    if (!m_langeuagePopBtn)
        return;
    QComboBox *list = m_langeuagePopBtn->comboBox();
    const int current = 1 + int(LanguageService::storedLanguage());
    for (int i = 1; i < list->count(); ++i) {
        list->setItemIcon(i, QIcon(languageMark(i == current)));
        QFont font = m_langeuagePopBtn->itemStyledTitle(i).font.value_or(list->font());
        font.setBold(i == current);
        list->setItemData(i, font, Qt::FontRole);
    }
}

bool AppDelegate::eventFilter(QObject *watched, QEvent *event)
{
    auto *popup = qobject_cast<QWidget *>(watched);
    if (popup && event->type() == QEvent::Show && m_mainWindow) {
        // Qt keeps a pop-up on the screen, not in its window: at the window's right end the list of
        // language names (long in some languages) would run past the edge.
        const QRect inside = m_mainWindow->geometry();
        QRect shown = popup->geometry();
        shown.setWidth(std::min(shown.width(), inside.width()));
        shown.setHeight(std::min(shown.height(), inside.height()));
        shown.moveRight(std::min(shown.right(), inside.right()));
        shown.moveLeft(std::max(shown.left(), inside.left()));
        shown.moveBottom(std::min(shown.bottom(), inside.bottom()));
        shown.moveTop(std::max(shown.top(), inside.top()));
        if (shown != popup->geometry())
            popup->setGeometry(shown);
    }
    return QObject::eventFilter(watched, event);
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
    markCurrentLanguage();
    m_viewController->langeuageAction();
}

void AppDelegate::showHelpAction()
{
    platform::Workspace::instance().openUrl(QUrl(LanguageService::localizedStringForKey("supprotUrl")));
}
