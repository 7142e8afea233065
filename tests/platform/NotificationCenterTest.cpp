#include "platform/NotificationCenter.h"

#include "tests/support/TestEnvironment.h"

#include <QThread>

#include <gtest/gtest.h>

#include <memory>

using platform::Notification;
using platform::NotificationCenter;

TEST(NotificationCenter, DeliversOnlyToMatchingNameAndObject)
{
    NotificationCenter center;
    QObject observer;
    int windowA = 0, windowB = 0;
    QStringList byName, anyObject, anything;
    center.addObserver(&observer, "NSWindowWillCloseNotification", &windowA,
                       [&](const Notification &n) { byName << n.name; });
    center.addObserver(&observer, "NSWindowWillCloseNotification", nullptr,
                       [&](const Notification &n) { anyObject << n.name; });
    center.addObserver(&observer, QString(), nullptr, [&](const Notification &n) { anything << n.name; });

    center.post("NSWindowWillCloseNotification", &windowB);
    center.post("NSWindowWillCloseNotification", &windowA);
    center.post("WillCloseNotification");

    EXPECT_EQ(byName, QStringList{"NSWindowWillCloseNotification"});
    EXPECT_EQ(anyObject.size(), 2);
    EXPECT_EQ(anything.size(), 3);
}

TEST(NotificationCenter, CarriesADictionary)
{
    NotificationCenter center;
    QObject observer;
    QVariantMap received;
    center.addObserver(&observer, "NSAddPfFileNotification", nullptr,
                       [&](const Notification &n) { received = n.userInfo; });
    center.post("NSAddPfFileNotification", nullptr, {{"fileName", "  "}, {"value", "custom={640x480}"}});
    EXPECT_EQ(received.value("fileName").toString(), "  ");
    EXPECT_EQ(received.value("value").toString(), "custom={640x480}");
}

TEST(NotificationCenter, DestroyedObserverGetsNothingMore)
{
    NotificationCenter center;
    int calls = 0;
    auto observer = std::make_unique<QObject>();
    center.addObserver(observer.get(), "Tick", nullptr, [&](const Notification &) { ++calls; });
    center.post("Tick");
    observer.reset();
    center.post("Tick");
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(center.observerCount(), 0);
}

TEST(NotificationCenter, ObserverRemovedDuringDeliveryIsSkipped)
{
    // The first handler destroys the second observer; the second must not run on a dead object.
    NotificationCenter center;
    QObject first;
    auto second = std::make_unique<QObject>();
    int secondCalls = 0;
    center.addObserver(&first, "Close", nullptr, [&](const Notification &) { second.reset(); });
    center.addObserver(second.get(), "Close", nullptr, [&](const Notification &) { ++secondCalls; });
    center.post("Close");
    EXPECT_EQ(secondCalls, 0);
}

TEST(NotificationCenter, RemoveObserverByNameKeepsTheOthers)
{
    NotificationCenter center;
    QObject observer;
    int a = 0, b = 0;
    center.addObserver(&observer, "A", nullptr, [&](const Notification &) { ++a; });
    center.addObserver(&observer, "B", nullptr, [&](const Notification &) { ++b; });
    center.removeObserver(&observer, "A");
    center.post("A");
    center.post("B");
    EXPECT_EQ(a, 0);
    EXPECT_EQ(b, 1);
    center.removeObserver(&observer);
    center.post("B");
    EXPECT_EQ(b, 1);
}

TEST(NotificationCenter, PostFromAWorkerArrivesOnTheMainThread)
{
    NotificationCenter &center = NotificationCenter::defaultCenter();
    QObject observer;
    QThread *deliveredOn = nullptr;
    center.addObserver(&observer, "FromWorker", nullptr,
                       [&](const Notification &) { deliveredOn = QThread::currentThread(); });
    std::unique_ptr<QThread> worker(QThread::create([&] { center.post("FromWorker"); }));
    worker->start();
    worker->wait();
    EXPECT_TRUE(TestEnvironment::waitUntil([&] { return deliveredOn != nullptr; }));
    EXPECT_EQ(deliveredOn, QThread::currentThread());
}
