#include "platform/Application.h"

#include "platform/Timer.h"
#include "platform/Window.h"

#include "tests/support/TestEnvironment.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(Application, DefaultTimersWaitWhileAModalSessionRunsCommonTimersDoNot)
{
    Application &app = Application::shared();
    Window dialog(Size{200, 100});
    int defaultTicks = 0;
    int defaultTicksDuringModal = -1;
    int commonTicks = 0;
    auto defaultTimer = Timer::scheduled(0.01, true, [&](Timer &) { ++defaultTicks; });
    auto commonTimer = Timer::scheduled(
        0.01, true,
        [&](Timer &t) {
            if (++commonTicks == 5) {
                defaultTicksDuringModal = defaultTicks;
                t.invalidate();
                app.stopModal();
            }
        },
        Timer::Common);

    const int code = app.runModal(&dialog);
    EXPECT_EQ(code, Application::ModalResponseStop);
    EXPECT_EQ(commonTicks, 5);
    EXPECT_EQ(defaultTicksDuringModal, 0);
    EXPECT_FALSE(app.isModal());
    // The held tick fires once the session is over.
    EXPECT_TRUE(TestEnvironment::waitUntil([&] { return defaultTicks > 0; }, 3000));
    defaultTimer->invalidate();
    EXPECT_FALSE(commonTimer->isValid());
}

TEST(Application, ModalSessionsNestAndAClosedWindowEndsItsSession)
{
    Application &app = Application::shared();
    Window outer(Size{300, 200});
    Window inner(Size{200, 100});
    int innerCode = 0;
    Window *modalInsideInner = nullptr;
    Window *modalAfterInner = nullptr;

    Timer::scheduled(
        0.01, false,
        [&](Timer &) {
            Timer::scheduled(
                0.01, false,
                [&](Timer &) {
                    modalInsideInner = app.modalWindow();
                    app.stopModalWithCode(7); // ends the inner session only
                },
                Timer::Common);
            innerCode = app.runModal(&inner);
            modalAfterInner = app.modalWindow();
            outer.close(); // as the user closing the window
        },
        Timer::Common);

    const int outerCode = app.runModal(&outer);
    EXPECT_EQ(innerCode, 7);
    EXPECT_EQ(modalInsideInner, &inner);
    EXPECT_EQ(modalAfterInner, &outer);
    EXPECT_EQ(outerCode, Application::ModalResponseClosed);
    EXPECT_FALSE(app.isModal());
}

TEST(Timer, OneShotFiresOnceAndRepeatingStopsWhenInvalidatedInItsCallback)
{
    int once = 0;
    std::weak_ptr<Timer> oneShot = Timer::scheduled(0.005, false, [&](Timer &) { ++once; }, Timer::Common);
    int repeats = 0;
    auto repeating = Timer::scheduled(0.005, true, [&](Timer &t) {
        if (++repeats == 3)
            t.invalidate();
    });
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return repeats == 3 && once == 1; }, 3000));
    TestEnvironment::waitUntil([] { return false; }, 60); // room for wrong extra ticks
    EXPECT_EQ(once, 1);
    EXPECT_EQ(repeats, 3);
    EXPECT_FALSE(repeating->isValid());
    TestEnvironment::processEvents();
    EXPECT_TRUE(oneShot.expired()); // nobody held it: released after it fired
}
