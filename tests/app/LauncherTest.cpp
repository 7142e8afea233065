// The application object started offscreen: launcher hover texts, tool windows and the enabled state,
// the language switch and the About box.
#include "app/AboutUsWindowController.h"
#include "app/AppDelegate.h"
#include "services/LanguageService.h"
#include "app/MainMenu.h"
#include "app/ViewController.h"
#include "controls/PNQButton.h"
#include "controls/TextLabel.h"
#include "platform/Application.h"
#include "platform/Bundle.h"
#include "platform/Dispatch.h"
#include "platform/Log.h"
#include "platform/PopUpButton.h"
#include "platform/UserDefaults.h"
#include "platform/Window.h"
#include "platform/WindowController.h"
#include "tests/support/FifoWatchdog.h"
#include "tests/support/TestEnvironment.h"

#include <QApplication>
#include <QComboBox>
#include <QEnterEvent>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

#include <sys/stat.h>

namespace {

const QString kLanguageKey = QStringLiteral("AppLanguage");

QString text(const char *key)
{
    return LanguageService::localizedStringForKey(key);
}

QString textIn(const char *key, const char *folder)
{
    return platform::Bundle::main().localizedString(QString::fromLatin1(key), {}, QStringLiteral("Main"),
                                                    QString::fromLatin1(folder));
}

void enter(QWidget *widget)
{
    const QPointF p(1, 1);
    QEnterEvent event(p, p, widget->mapToGlobal(p));
    QCoreApplication::sendEvent(widget, &event);
}

void leave(QWidget *widget)
{
    QEvent event(QEvent::Leave);
    QCoreApplication::sendEvent(widget, &event);
}

void click(PNQButton *button)
{
    const QPoint centre(button->width() / 2, button->height() / 2);
    QMouseEvent press(QEvent::MouseButtonPress, centre, button->mapToGlobal(centre), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(button, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, centre, button->mapToGlobal(centre), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(button, &release);
}

// The visible top-level window with that title, or null.
platform::Window *visibleWindowTitled(const QString &title)
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        auto *window = qobject_cast<platform::Window *>(widget);
        if (window && window->isVisible() && window->windowTitle() == title)
            return window;
    }
    return nullptr;
}

class LauncherTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        platform::UserDefaults::standard().remove(kLanguageKey);
        LanguageService::setLanguage();
        m_delegate = std::make_unique<AppDelegate>();
        m_delegate->applicationDidFinishLaunching();
        m_delegate->mainWindow()->show();
        m_launcher = m_delegate->viewController();
    }

    void TearDown() override
    {
        m_delegate.reset();
        platform::UserDefaults::standard().remove(kLanguageKey);
        platform::UserDefaults::standard().remove(QString::fromLatin1(platform::UserDefaults::PreferredLanguagesKey));
        LanguageService::setLanguage();
        TestEnvironment::processDeferredDeletes();
    }

    // Every control the launcher disables while a tool window is open, with its name.
    std::vector<std::pair<QString, QWidget *>> launcherControls() const
    {
        std::vector<std::pair<QString, QWidget *>> controls;
        for (int i = 0; i < ViewController::ToolCount; ++i)
            controls.emplace_back(QStringLiteral("tool %1").arg(i), m_launcher->toolButton(ViewController::Tool(i)));
        controls.emplace_back(QStringLiteral("about"), m_launcher->aboutButton());
        controls.emplace_back(QStringLiteral("homepage"), m_launcher->homepageButton());
        controls.emplace_back(QStringLiteral("language list"), m_delegate->langeuagePopBtn());
        return controls;
    }

    std::unique_ptr<AppDelegate> m_delegate;
    ViewController *m_launcher = nullptr;
};

TEST_F(LauncherTest, HoverShowsToolTextAndLeavingShowsIdleTextOneTurnLater)
{
    PNQButton *crop = m_launcher->cropButton();
    PNQButton *split = m_launcher->toolButton(ViewController::Split);
    EXPECT_EQ(m_launcher->descLabel1()->text(), text("Title") + text("viewController_normalDescLabelString"));

    enter(crop);
    EXPECT_EQ(m_launcher->descLabel1()->text(), ViewController::idleText()) << "the work is scheduled, not done";
    TestEnvironment::processEvents();
    EXPECT_EQ(m_launcher->descLabel1()->text(), text("Crop_PlaceholderString"));

    // Leaving over another tool button: the idle text, then that button's text.
    leave(crop);
    TestEnvironment::processEvents();
    EXPECT_EQ(m_launcher->descLabel1()->text(), ViewController::idleText());
    enter(split);
    TestEnvironment::processEvents();
    EXPECT_EQ(m_launcher->descLabel1()->text(), text("Split_PlaceholderString"));
}

TEST_F(LauncherTest, CropOpensEditorWithToolBitFourAndDisablesLauncherUntilItCloses)
{
    click(m_launcher->cropButton());
    TestEnvironment::processEvents();

    platform::Window *tool = visibleWindowTitled(text("Crop_Title"));
    ASSERT_NE(tool, nullptr);
    ASSERT_NE(tool->windowController(), nullptr);
    EXPECT_EQ(tool->windowController()->className(), QStringLiteral("EditVideoWindowController"));
    EXPECT_EQ(tool->windowController()->property("toolItemType").toLongLong(), 4);
    for (const auto &[name, control] : launcherControls())
        EXPECT_FALSE(control->isEnabled()) << name.toStdString();

    // Disabled buttons ignore clicks: no second tool window.
    click(m_launcher->toolButton(ViewController::Joinner));
    TestEnvironment::processEvents();
    EXPECT_EQ(visibleWindowTitled(text("Joinner_Title")), nullptr);

    tool->close();
    for (const auto &[name, control] : launcherControls())
        EXPECT_TRUE(control->isEnabled()) << name.toStdString();
}

struct ToolCase
{
    ViewController::Tool tool;
    const char *className;
    const char *titleKey;
    qint64 toolBit; // 0: not the editor
};

TEST_F(LauncherTest, EachToolButtonOpensItsWindowWithItsTitle)
{
    const ToolCase cases[] = {
        {ViewController::Effect, "EditVideoWindowController", "Effect_Title", 8},
        {ViewController::Subtitle, "EditVideoWindowController", "Subtitle_Title", 32},
        {ViewController::Watermark, "EditVideoWindowController", "Watermark_Title", 16},
        {ViewController::Joinner, "JoinnerWindowController", "Joinner_Title", 0},
        {ViewController::EasyCutter, "EasyCutterWindowcontroller", "EasyCut_Title", 0},
        {ViewController::BatchCutter, "BatchCutterWindowController", "BatchCut_Title", 0},
        {ViewController::AdvancedCutter, "EditVideoWindowController", "AdvancedCut_Title", 1},
        {ViewController::Rotate, "EditVideoWindowController", "Rotate_Title", 2},
        {ViewController::Music, "EditVideoWindowController", "AddMusic_Title", 64},
        {ViewController::Split, "SplitWindowController", "Split_Title", 0},
    };
    for (const ToolCase &c : cases) {
        SCOPED_TRACE(c.titleKey);
        click(m_launcher->toolButton(c.tool));
        TestEnvironment::processEvents();
        platform::Window *tool = visibleWindowTitled(text(c.titleKey));
        ASSERT_NE(tool, nullptr);
        EXPECT_EQ(tool->windowController()->className(), QString::fromLatin1(c.className));
        if (c.toolBit != 0) {
            EXPECT_EQ(tool->windowController()->property("toolItemType").toLongLong(), c.toolBit);
        }
        EXPECT_FALSE(m_launcher->toolButton(c.tool)->isEnabled());
        tool->close();
        EXPECT_TRUE(m_launcher->toolButton(c.tool)->isEnabled());
        TestEnvironment::processDeferredDeletes();
    }
}

TEST_F(LauncherTest, FirstStartSelectsEnglishEntry)
{
    EXPECT_EQ(m_delegate->langeuagePopBtn()->indexOfSelectedItem(), 1);
    EXPECT_EQ(m_delegate->langeuagePopBtn()->numberOfItems(), 10);
    EXPECT_EQ(m_delegate->mainMenu()->itemWithTag(10)->text(), textIn("Ixy-de-Rz5.title", "en"));
    EXPECT_EQ(m_delegate->mainWindow()->title(), textIn("Ixy-de-Rz5.title", "en"));
}

TEST_F(LauncherTest, ChoosingTheListTitleKeepsTheLanguage)
{
    platform::PopUpButton *list = m_delegate->langeuagePopBtn();
    list->chooseItemAtIndex(5); // German
    ASSERT_EQ(platform::UserDefaults::standard().integer(kLanguageKey), 4);
    emit list->comboBox()->activated(0); // the title entry, reached by the keyboard
    EXPECT_EQ(platform::UserDefaults::standard().integer(kLanguageKey), 4);
    EXPECT_EQ(m_delegate->languageBtn()->contentTitle(), textIn("LanguageBtnTitle", "de"));
    EXPECT_EQ(m_launcher->caption(ViewController::Crop)->text(), textIn("tool_cropItemTitle", "de"));
}

TEST_F(LauncherTest, StoredLanguageOutsideTheListIsClampedToItsEnds)
{
    struct Case
    {
        int stored;
        int entry;
        const char *folder;
    };
    for (const Case c : {Case{-1, 1, "en"}, Case{9, 9, "ar"}, Case{12, 9, "ar"}}) {
        SCOPED_TRACE(c.stored);
        m_delegate.reset();
        platform::UserDefaults::standard().setValue(kLanguageKey, c.stored);
        LanguageService::setLanguage();
        m_delegate = std::make_unique<AppDelegate>();
        m_delegate->applicationDidFinishLaunching();
        m_launcher = m_delegate->viewController();
        EXPECT_EQ(m_delegate->langeuagePopBtn()->indexOfSelectedItem(), c.entry);
        EXPECT_EQ(m_delegate->languageBtn()->contentTitle(), textIn("LanguageBtnTitle", c.folder));
        EXPECT_EQ(m_launcher->caption(ViewController::Crop)->text(), textIn("tool_cropItemTitle", c.folder));
    }
}

TEST_F(LauncherTest, ChoosingListEntryThreeSwitchesToTraditionalChineseAtOnce)
{
    const QString titleBefore = m_delegate->mainWindow()->title();
    m_delegate->langeuagePopBtn()->chooseItemAtIndex(3);

    platform::UserDefaults &defaults = platform::UserDefaults::standard();
    EXPECT_EQ(defaults.integer(kLanguageKey), 2);
    EXPECT_EQ(defaults.stringList(QString::fromLatin1(platform::UserDefaults::PreferredLanguagesKey)),
              QStringList{QStringLiteral("zh_HK")});

    MainMenu *menu = m_delegate->mainMenu();
    QAction *application = menu->itemWithTag(10);
    EXPECT_EQ(application->text(), textIn("Ixy-de-Rz5.title", "zh-Hant"));
    EXPECT_EQ(MainMenu::itemWithTag(application->menu(), 100)->text(), textIn("5kV-Vb-QxS.title", "zh-Hant"));
    EXPECT_EQ(MainMenu::itemWithTag(application->menu(), 200)->text(), textIn("4sb-4s-VLi.title", "zh-Hant"));
    EXPECT_EQ(menu->itemWithTag(20)->menu()->title(), textIn("LanguageBtnTitle", "zh-Hant"));
    EXPECT_EQ(menu->itemWithTag(30)->text(), textIn("FKE-Sm-Kum.title", "zh-Hant"));
    EXPECT_EQ(m_delegate->languageBtn()->contentTitle(), textIn("LanguageBtnTitle", "zh-Hant"));

    EXPECT_EQ(m_launcher->caption(ViewController::Crop)->text(), textIn("tool_cropItemTitle", "zh-Hant"));
    EXPECT_EQ(m_launcher->caption(ViewController::Joinner)->text(), textIn("JoinnervideoWinTitle", "zh-Hant"));
    EXPECT_EQ(m_launcher->descLabel1()->text(),
              textIn("Title", "zh-Hant") + textIn("viewController_normalDescLabelString", "zh-Hant"));
    EXPECT_EQ(m_launcher->homepageButton()->contentTitle(), textIn("HomepageBtnTitle", "zh-Hant"));
    // The links are laid out again for the new widths: right-aligned, 5 points apart.
    const platform::Rect homepage = m_launcher->homepageButton()->frame();
    const platform::Rect about = m_launcher->aboutButton()->frame();
    EXPECT_DOUBLE_EQ(homepage.maxX(), m_launcher->frame().width() - 5);
    EXPECT_DOUBLE_EQ(about.maxX(), homepage.minX() - 5);

    EXPECT_EQ(m_delegate->mainWindow()->title(), titleBefore) << "the window title changes at the next start";
}

TEST_F(LauncherTest, LanguageMenuEntryStoresItsNumberAndCode)
{
    QAction *japanese = MainMenu::itemWithTag(m_delegate->mainMenu()->itemWithTag(20)->menu(), 105);
    ASSERT_NE(japanese, nullptr);
    japanese->trigger();
    EXPECT_EQ(platform::UserDefaults::standard().integer(kLanguageKey), 5);
    EXPECT_EQ(platform::UserDefaults::standard().stringList(QString::fromLatin1(platform::UserDefaults::PreferredLanguagesKey)),
              QStringList{QStringLiteral("ja")});
    EXPECT_EQ(m_launcher->caption(ViewController::Crop)->text(), textIn("tool_cropItemTitle", "ja"));
}

TEST(AppDelegate, LanguageCodesOfBothSets)
{
    struct Case
    {
        qint64 n;
        int setSize;
        const char *code;
    };
    const Case cases[] = {{0, 9, "en"}, {1, 9, "zh_CN"}, {2, 9, "zh_HK"}, {3, 9, "fr"},   {4, 9, "de"},
                          {5, 9, "ja"}, {6, 9, "es"},    {7, 9, "pt"},    {8, 9, "ar"},   {9, 9, "en"},
                          {-1, 9, "en"}, {1, 4, "zh_Hant"}, {2, 4, "fr"}, {3, 4, "ja"}, {4, 4, "en"}};
    for (const Case &c : cases)
        EXPECT_EQ(AppDelegate::languageCode(c.n, c.setSize), QString::fromLatin1(c.code)) << c.n << " of " << c.setSize;
}

TEST_F(LauncherTest, HomepageLinkOpensHomepageOneTurnLater)
{
    platform::LogCapture log;
    click(m_launcher->homepageButton());
    EXPECT_TRUE(log.contains("select homepage"));
    EXPECT_TRUE(TestEnvironment::recordingWorkspace().openedUrls().isEmpty());
    TestEnvironment::processEvents();
    EXPECT_EQ(TestEnvironment::recordingWorkspace().openedUrls(), QStringList{text("homepageUrl")});
}

TEST_F(LauncherTest, HelpEntryOpensSupportPage)
{
    m_delegate->mainMenu()->helpItemBtn()->trigger();
    EXPECT_EQ(TestEnvironment::recordingWorkspace().openedUrls(), QStringList{text("supprotUrl")});
}

// Runs the About box from the launcher; `whileOpen` acts on it while its modal run is going.
void runAbout(ViewController *launcher, const std::function<void(AboutUsWindowController *)> &whileOpen)
{
    bool acted = false;
    platform::dispatchMain([&] {
        platform::Window *window = platform::Application::shared().modalWindow();
        ASSERT_NE(window, nullptr);
        auto *about = qobject_cast<AboutUsWindowController *>(window->windowController());
        ASSERT_NE(about, nullptr);
        acted = true;
        whileOpen(about);
    });
    launcher->aboutAction(nullptr);
    EXPECT_TRUE(acted);
    EXPECT_FALSE(platform::Application::shared().isModal());
}

TEST_F(LauncherTest, AboutBoxOpensCentredOverLauncherAndEndsOnOk)
{
    const platform::Rect launcher = m_delegate->mainWindow()->frame();
    runAbout(m_launcher, [&](AboutUsWindowController *about) {
        const platform::Rect frame = about->window()->frame();
        EXPECT_DOUBLE_EQ(frame.width(), 480);
        EXPECT_DOUBLE_EQ(frame.height(), 270);
        // Within the few points that a shown window's frame margins move it by (Window::setFrame() places the
        // frame, frame() reads the client area).
        EXPECT_NEAR(frame.midX(), launcher.midX(), 3);
        EXPECT_NEAR(frame.midY(), launcher.midY(), 3);
        EXPECT_EQ(about->aboutTitleLabel()->text(), text("Title"));
        EXPECT_EQ(about->okBtn()->contentTitle(), text("OKBtnTitle"));
        click(about->okBtn());
    });
}

TEST_F(LauncherTest, AboutBoxEndsOnCloseButtonAndItsLinksOpenUrls)
{
    runAbout(m_launcher, [](AboutUsWindowController *about) {
        click(about->middleLeftContentLabel());
        click(about->middleRightContentLabel());
        about->window()->close();
    });
    const QStringList urls = TestEnvironment::recordingWorkspace().openedUrls();
    ASSERT_EQ(urls.size(), 2);
    EXPECT_EQ(urls[0], text("homepageUrl"));
    EXPECT_EQ(QUrl(urls[1]).toString(QUrl::FullyEncoded),
              QStringLiteral("mailto:") + text("email_address") + QStringLiteral("?Subject=%20&body=%20"));
}

TEST(AboutUsWindowController, MailUrlEncodesEveryPartOfTheAddress)
{
    struct Case
    {
        const char *address;
        const char *url;
    };
    const Case cases[] = {
        {"support@example.org", "mailto:support@example.org?Subject=%20&body=%20"},
        {"sup port@example.org", "mailto:sup%20port@example.org?Subject=%20&body=%20"},
        {"a&b?c#d@example.org", "mailto:a%26b%3Fc%23d@example.org?Subject=%20&body=%20"},
        {"", "mailto:?Subject=%20&body=%20"},
    };
    for (const Case &c : cases) {
        const QUrl url = AboutUsWindowController::mailUrl(QString::fromUtf8(c.address));
        EXPECT_TRUE(url.isValid()) << c.address;
        EXPECT_EQ(url.toString(QUrl::FullyEncoded), QString::fromLatin1(c.url)) << c.address;
        EXPECT_EQ(url.query(QUrl::FullyDecoded), QStringLiteral("Subject= &body= ")) << c.address;
    }
}

// A FIFO where the settings file belongs once hung the start-up in QSettings: the launcher comes up with
// the defaults, and the first setting written makes a regular file there.
TEST(AppStart, StartsWithTheDefaultsWhenTheSettingsFileIsAFifo)
{
    const QString original = platform::UserDefaults::storePath();
    QTemporaryDir dir;
    const QString fifo = dir.filePath("video-workshop.ini");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    {
        FifoWatchdog watchdog(fifo.toStdString(), std::chrono::seconds(10));
        platform::UserDefaults::setStorePath(fifo);
        LanguageService::setLanguage();
        AppDelegate delegate;
        delegate.applicationDidFinishLaunching();
        delegate.mainWindow()->show();
        TestEnvironment::processEvents();
        ASSERT_FALSE(watchdog.end()) << "the start-up blocked on the FIFO";
        EXPECT_TRUE(delegate.mainWindow()->isVisible());
        EXPECT_EQ(delegate.viewController()->descLabel1()->text(),
                  text("Title") + text("viewController_normalDescLabelString"));
        platform::UserDefaults::standard().setValue(kLanguageKey, 0);
        EXPECT_TRUE(platform::UserDefaults::standard().sync());
        EXPECT_TRUE(QFileInfo(fifo).isFile());
        EXPECT_TRUE(QFileInfo::exists(fifo + ".not-a-file"));
    }
    TestEnvironment::processDeferredDeletes();
    platform::UserDefaults::setStorePath(original);
    LanguageService::setLanguage();
}

} // namespace
