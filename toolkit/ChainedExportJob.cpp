#include "toolkit/ChainedExportJob.h"

#include "platform/Dispatch.h"
#include "platform/Format.h"
#include "platform/Log.h"
#include "services/LanguageService.h"

#include <QFileInfo>

namespace {

// What the user is told when a job could not read its input: which files.
QString unreadableInputMessage(const QStringList &inputs)
{
    QStringList names;
    for (const QString &path : inputs)
        names << QFileInfo(path).fileName();
    return platform::qformat(LanguageService::localizedStringForKey("exportInputUnreadableString"),
                             names.join(QStringLiteral(", ")).toStdString());
}

} // namespace

ChainedExportJob::ChainedExportJob(std::vector<Step> steps)
    : m_steps(std::move(steps)), m_api(EngineApi::current()),
      m_alive(std::make_shared<ChainedExportJob *>(this))
{
}

ChainedExportJob::ChainedExportJob(StepSupplier supplier)
    : m_supplier(std::move(supplier)), m_api(EngineApi::current()),
      m_alive(std::make_shared<ChainedExportJob *>(this))
{
}

ChainedExportJob::~ChainedExportJob()
{
    *m_alive = nullptr;
    stopTimer();
    // A Close during Start stops the job; the engine frees it once Start returns.
    closeHandle();
}

void ChainedExportJob::start(std::function<void(const Outcome &)> finish)
{
    m_finish = std::move(finish);
    m_running = true;
    m_index = 0;
    runStep();
}

void ChainedExportJob::cancel()
{
    if (!m_running)
        return;
    m_cancelled = true;
    stopTimer();
    if (m_handle) {
        if (m_steps[m_index].kind == Kind::Convert)
            m_api.convertStop(m_handle);
        else
            m_api.joinStop(m_handle);
    }
}

void ChainedExportJob::runStep()
{
    if (m_cancelled) {
        end({Outcome::Cancelled, MEDIA_ERR_STOPPED, {}});
        return;
    }
    if (m_index >= static_cast<int>(m_steps.size())) {
        Step next;
        if (!m_supplier || !m_supplier(m_index, next)) {
            if (m_failures > 0)
                end({Outcome::Failed, m_lastFailure, {}, m_failures});
            else
                end({Outcome::Succeeded, MEDIA_OK, {}});
            return;
        }
        m_steps.push_back(std::move(next));
    }
    const Step &step = m_steps[m_index];
    const bool convert = step.kind == Kind::Convert;
    m_handle = convert ? m_api.convertCreate() : m_api.joinCreate();
    if (!m_handle) {
        stepFailed(MEDIA_ERR_GENERIC, {});
        return;
    }
    const SetUp setUp = step.configure ? step.configure(m_handle) : SetUp{};
    if (setUp.code <= 0) {
        closeHandle();
        stepFailed(setUp.code, setUp.message);
        return;
    }

    stopTimer();
    const auto progress = step.progress;
    m_timer = platform::Timer::scheduled(
        0.2, true,
        [this, convert, progress](platform::Timer &) {
            if (!m_handle || !progress)
                return;
            progress(convert ? m_api.convertGetProgress(m_handle) : m_api.joinGetProgress(m_handle));
        },
        step.pollMode);

    const MEDIA_HANDLE handle = m_handle;
    const auto startCall = convert ? m_api.convertStart : m_api.joinStart;
    std::weak_ptr<ChainedExportJob *> alive = m_alive;
    platform::dispatchGlobal([handle, startCall, alive] {
        const int result = startCall(handle);
        platform::dispatchMain([alive, result] {
            const auto self = alive.lock();
            if (self && *self)
                (*self)->completed(result);
        });
    });
}

void ChainedExportJob::completed(int result)
{
    const bool convert = m_steps[m_index].kind == Kind::Convert;
    stopTimer();
    const bool ok = convert ? result > 0 : result >= 0;
    // A copy: the hook may append steps, which moves the one it belongs to.
    const auto succeeded = m_steps[m_index].succeeded;
    if (ok && !m_cancelled && succeeded && m_handle)
        succeeded(m_handle);
    closeHandle();
    if (m_cancelled) {
        end({Outcome::Cancelled, result, {}});
        return;
    }
    if (!ok) {
        const QStringList &inputs = m_steps[m_index].inputs;
        stepFailed(result, result == MEDIA_ERR_INPUT && !inputs.isEmpty() ? unreadableInputMessage(inputs)
                                                                          : QString());
        return;
    }
    if (m_steps[m_index].ended)
        m_steps[m_index].ended(true, result);
    ++m_index;
    runStep();
}

void ChainedExportJob::stepFailed(int code, const QString &message)
{
    const Step &step = m_steps[m_index];
    if (step.ended)
        step.ended(false, code);
    if (!step.mayFail) {
        end({Outcome::Failed, code, message, m_failures});
        return;
    }
    ++m_failures;
    m_lastFailure = code;
    ++m_index;
    runStep();
}

void ChainedExportJob::closeHandle()
{
    if (!m_handle)
        return;
    const bool convert = m_steps[m_index].kind == Kind::Convert;
    const int r = convert ? m_api.convertClose(m_handle) : m_api.joinClose(m_handle);
    m_handle = nullptr;
    if (r <= 0)
        platform::log(convert ? "apiMediaConvertClose:%d" : "apiMediaJoinClose:%d", r);
}

void ChainedExportJob::stopTimer()
{
    if (m_timer)
        m_timer->invalidate();
    m_timer.reset();
}

void ChainedExportJob::end(const Outcome &outcome)
{
    stopTimer();
    m_running = false;
    // The finish callback may destroy this object; nothing is touched after it.
    auto finish = std::move(m_finish);
    m_finish = nullptr;
    if (finish)
        finish(outcome);
}
