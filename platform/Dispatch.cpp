#include "platform/Dispatch.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThreadPool>

namespace platform {

void dispatchMain(std::function<void()> fn)
{
    QCoreApplication *app = QCoreApplication::instance();
    if (!app || !fn)
        return;
    // Queued even on the main thread, so the caller's current turn finishes before fn runs.
    QMetaObject::invokeMethod(app, std::move(fn), Qt::QueuedConnection);
}

void dispatchGlobal(std::function<void()> fn)
{
    if (fn)
        QThreadPool::globalInstance()->start(std::move(fn));
}

void waitForGlobalQueue()
{
    QThreadPool::globalInstance()->waitForDone();
}

} // namespace platform
