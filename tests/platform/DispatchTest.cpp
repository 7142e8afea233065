#include "platform/Dispatch.h"

#include "tests/support/TestEnvironment.h"

#include <QCoreApplication>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

using namespace platform;

TEST(Dispatch, MainRunsOnALaterTurnInOrder)
{
    std::vector<int> order;
    dispatchMain([&] { order.push_back(1); });
    dispatchMain([&] { order.push_back(2); });
    EXPECT_TRUE(order.empty()); // never synchronous, even from the main thread
    TestEnvironment::processEvents();
    EXPECT_EQ(order, (std::vector<int>{1, 2}));
}

TEST(Dispatch, MainFromAWorkerRunsOnTheMainThread)
{
    std::atomic<QThread *> workerThread{nullptr};
    QThread *ranOn = nullptr;
    dispatchGlobal([&] {
        workerThread = QThread::currentThread();
        dispatchMain([&] { ranOn = QThread::currentThread(); });
    });
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return ranOn != nullptr; }, 5000));
    EXPECT_EQ(ranOn, QCoreApplication::instance()->thread());
    EXPECT_NE(workerThread.load(), QCoreApplication::instance()->thread());
}
