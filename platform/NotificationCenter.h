#pragma once
// Posting events by name to whoever observes them.
//
// Observers are QObjects; a registration ends when its observer is destroyed, or by removeObserver().
// Delivery is synchronous on the main thread, in the order of registration. A post from another thread
// is queued to the main thread and delivered there on a later event-loop turn (so a centre posted to
// from other threads must outlive those deliveries; defaultCenter() always does).
//
// Where the original design passes a dictionary as a notification's object (for example
// "NSAddPfFileNotification" with "fileName" and "value"), post it as userInfo with a null object:
//   center.post("NSAddPfFileNotification", nullptr, {{"fileName", name}, {"value", value}});
#include <QObject>
#include <QString>
#include <QVariantMap>

#include <functional>
#include <memory>
#include <vector>

namespace platform {

struct Notification
{
    QString name;
    const void *object = nullptr; // the sender the notification is about, or nullptr
    QVariantMap userInfo;
};

class NotificationCenter
{
public:
    using Handler = std::function<void(const Notification &)>;

    // The process-wide centre (lives until exit; use it from the main thread).
    static NotificationCenter &defaultCenter();

    NotificationCenter();
    ~NotificationCenter();
    NotificationCenter(const NotificationCenter &) = delete;
    NotificationCenter &operator=(const NotificationCenter &) = delete;

    // Calls `handler` for every notification named `name` (empty = any name) whose object is `object`
    // (nullptr = any object). One observer may hold many registrations; the same triple twice delivers
    // twice, as on the original platform.
    void addObserver(QObject *observer, const QString &name, const void *object, Handler handler);
    // Ends every registration of `observer`.
    void removeObserver(QObject *observer);
    // Ends the registrations of `observer` for `name` (empty = any) and `object` (nullptr = any).
    void removeObserver(QObject *observer, const QString &name, const void *object = nullptr);

    // Delivers a notification to the matching registrations. A registration removed while a post is
    // being delivered (by a handler, or by an observer destroyed there) receives nothing more.
    void post(const QString &name, const void *object = nullptr, const QVariantMap &userInfo = {});
    void post(const Notification &notification);

    // Number of live registrations (for tests).
    int observerCount() const;

private:
    struct Registration;
    void deliver(const Notification &notification);
    std::vector<std::shared_ptr<Registration>> m_registrations;
};

} // namespace platform
