#include "platform/NotificationCenter.h"

#include <QCoreApplication>
#include <QPointer>
#include <QThread>

#include <algorithm>

namespace platform {

struct NotificationCenter::Registration
{
    QPointer<QObject> observer;
    QObject *observerKey = nullptr; // kept for matching after the QPointer has cleared
    QString name;
    const void *object = nullptr;
    Handler handler;
    QMetaObject::Connection destroyedConnection;
    bool removed = false;
};

NotificationCenter &NotificationCenter::defaultCenter()
{
    // Never destroyed: observers may be destroyed during static destruction, after the centre.
    static auto *center = new NotificationCenter;
    return *center;
}

NotificationCenter::NotificationCenter() = default;

NotificationCenter::~NotificationCenter()
{
    for (auto &r : m_registrations)
        QObject::disconnect(r->destroyedConnection);
}

void NotificationCenter::addObserver(QObject *observer, const QString &name, const void *object,
                                     Handler handler)
{
    if (!observer || !handler)
        return;
    auto r = std::make_shared<Registration>();
    r->observer = observer;
    r->observerKey = observer;
    r->name = name;
    r->object = object;
    r->handler = std::move(handler);
    // Direct connection: the registration must end before the observer's members are gone.
    r->destroyedConnection =
        QObject::connect(observer, &QObject::destroyed, [this, observer] { removeObserver(observer); });
    m_registrations.push_back(std::move(r));
}

void NotificationCenter::removeObserver(QObject *observer)
{
    removeObserver(observer, QString(), nullptr);
}

void NotificationCenter::removeObserver(QObject *observer, const QString &name, const void *object)
{
    auto matches = [&](const std::shared_ptr<Registration> &r) {
        return r->observerKey == observer && (name.isEmpty() || r->name == name) &&
               (!object || r->object == object);
    };
    for (auto &r : m_registrations) {
        if (matches(r)) {
            r->removed = true;
            QObject::disconnect(r->destroyedConnection);
        }
    }
    m_registrations.erase(std::remove_if(m_registrations.begin(), m_registrations.end(), matches),
                          m_registrations.end());
}

void NotificationCenter::post(const QString &name, const void *object, const QVariantMap &userInfo)
{
    post(Notification{name, object, userInfo});
}

void NotificationCenter::post(const Notification &notification)
{
    QCoreApplication *app = QCoreApplication::instance();
    if (app && QThread::currentThread() != app->thread()) {
        QMetaObject::invokeMethod(
            app, [this, notification] { deliver(notification); }, Qt::QueuedConnection);
        return;
    }
    deliver(notification);
}

void NotificationCenter::deliver(const Notification &notification)
{
    // A snapshot, so that handlers may add or remove registrations while we deliver.
    const auto snapshot = m_registrations;
    for (const auto &r : snapshot) {
        if (r->removed || !r->observer)
            continue;
        if (!r->name.isEmpty() && r->name != notification.name)
            continue;
        if (r->object && r->object != notification.object)
            continue;
        r->handler(notification);
    }
}

int NotificationCenter::observerCount() const
{
    return static_cast<int>(m_registrations.size());
}

} // namespace platform
