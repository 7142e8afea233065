#include "platform/Window.h"

#include "platform/NotificationCenter.h"
#include "platform/View.h"
#include "platform/WindowController.h"

#include "tests/support/TestEnvironment.h"

#include <QPointer>

#include <gtest/gtest.h>

using namespace platform;

namespace {

// Records the window notifications about one window, in order.
class WindowNotes : public QObject
{
public:
    explicit WindowNotes(const Window *window)
    {
        for (const char *name :
             {NSWindowDidResizeNotification, NSWindowWillStartLiveResizeNotification,
              NSWindowDidEndLiveResizeNotification, NSWindowWillEnterFullScreenNotification,
              NSWindowDidEnterFullScreenNotification, NSWindowDidExitFullScreenNotification,
              NSWindowWillCloseNotification}) {
            NotificationCenter::defaultCenter().addObserver(this, name, window,
                                                            [this](const Notification &n) { names << n.name; });
        }
    }
    int count(const char *name) const { return names.count(QString::fromLatin1(name)); }
    QStringList names;
};

class CountingController : public WindowController
{
public:
    static inline int loads = 0;

protected:
    void windowDidLoad() override { ++loads; }
};

} // namespace

TEST(Window, ContentViewFillsTheWindowBelowTheHeaderStrip)
{
    Window window(Size{400, 300});
    EXPECT_EQ(window.contentView()->frame(), makeRect(0, 0, 400, 300));
    window.setTitlebarAppearsTransparent(true);
    ASSERT_NE(window.titlebarView(), nullptr);
    EXPECT_EQ(window.contentView()->frame(), makeRect(0, 0, 400, 300 - Window::titlebarHeight));
    EXPECT_EQ(window.titlebarView()->frame(), makeRect(0, 300 - Window::titlebarHeight, 400, Window::titlebarHeight));
    window.setContentSize(Size{500, 350});
    EXPECT_EQ(window.contentView()->frame(), makeRect(0, 0, 500, 350 - Window::titlebarHeight));
    EXPECT_EQ(window.titlebarView()->frame().maxY(), 350);
}

TEST(Window, ResizeFromCodePostsDidResizeWithoutLiveResize)
{
    Window window(Size{400, 300});
    window.show();
    TestEnvironment::processEvents();
    WindowNotes notes(&window);
    window.setFrame(makeRect(window.frame().minX(), window.frame().minY(), 500, 320));
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return notes.count(NSWindowDidResizeNotification) > 0; }, 3000));
    EXPECT_EQ(notes.count(NSWindowWillStartLiveResizeNotification), 0);
    EXPECT_EQ(window.contentView()->frame(), makeRect(0, 0, 500, 320));
}

TEST(Window, UserResizeIsBracketedByLiveResizeNotifications)
{
    Window window(Size{400, 300});
    window.show();
    TestEnvironment::processEvents();
    WindowNotes notes(&window);
    window.resize(420, 310); // as a window manager's drag does, step by step
    TestEnvironment::processEvents();
    window.resize(440, 320);
    ASSERT_TRUE(TestEnvironment::waitUntil(
        [&] { return notes.count(NSWindowDidEndLiveResizeNotification) > 0; }, 5000));
    EXPECT_EQ(notes.names.first(), NSWindowWillStartLiveResizeNotification);
    EXPECT_EQ(notes.count(NSWindowWillStartLiveResizeNotification), 1);
    EXPECT_EQ(notes.count(NSWindowDidResizeNotification), 2);
    EXPECT_EQ(notes.names.last(), NSWindowDidEndLiveResizeNotification);
    EXPECT_EQ(window.contentView()->frame(), makeRect(0, 0, 440, 320));
}

TEST(Window, FullScreenTogglePostsInOrder)
{
    Window window(Size{400, 300});
    window.show();
    WindowNotes notes(&window);
    window.toggleFullScreen();
    window.toggleFullScreen();
    QStringList fullScreenNames;
    for (const QString &name : notes.names) {
        if (name.contains("FullScreen"))
            fullScreenNames << name;
    }
    EXPECT_EQ(fullScreenNames, (QStringList{NSWindowWillEnterFullScreenNotification, NSWindowDidEnterFullScreenNotification,
                                            NSWindowDidExitFullScreenNotification}));
}

TEST(Window, WillCloseIsPostedOncePerClose)
{
    Window window(Size{200, 100});
    WindowNotes notes(&window);
    window.close(); // never shown: nothing closes
    EXPECT_EQ(notes.count(NSWindowWillCloseNotification), 0);
    window.show();
    window.close();
    window.close();
    EXPECT_EQ(notes.count(NSWindowWillCloseNotification), 1);
    window.show();
    window.close();
    EXPECT_EQ(notes.count(NSWindowWillCloseNotification), 2);
}

TEST(WindowController, CreatesRegisteredClassesByName)
{
    WindowController::registerClass<CountingController>("CountingController");
    EXPECT_EQ(WindowController::create("NoSuchController"), nullptr);

    QPointer<WindowController> controller = WindowController::create("CountingController");
    ASSERT_NE(controller, nullptr);
    EXPECT_NE(dynamic_cast<CountingController *>(controller.data()), nullptr);
    EXPECT_EQ(controller->className(), "CountingController");

    CountingController::loads = 0;
    Window *window = controller->window();
    EXPECT_EQ(controller->window(), window);
    EXPECT_EQ(CountingController::loads, 1);
    EXPECT_EQ(window->windowController(), controller.data());

    // Open, it keeps itself alive; closed, it goes.
    controller->setTitle("Tool");
    controller->showWindow();
    TestEnvironment::processDeferredDeletes();
    ASSERT_FALSE(controller.isNull());
    EXPECT_EQ(window->title(), "Tool");
    controller->close();
    TestEnvironment::processDeferredDeletes();
    EXPECT_TRUE(controller.isNull());
}
