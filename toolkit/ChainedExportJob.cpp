#include "toolkit/ChainedExportJob.h"

#include "platform/Dispatch.h"
#include "platform/Format.h"
#include "platform/Log.h"
#include "services/LanguageService.h"

#include <QFileInfo>

#include <algorithm>

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
    // A Close during Start stops the job; the engine frees it once Start returns.
    for (Lane &lane : m_lanes) {
        if (lane.timer)
            lane.timer->invalidate();
        close(lane.index, lane.handle);
    }
}

void ChainedExportJob::start(std::function<void(const Outcome &)> finish)
{
    m_finish = std::move(finish);
    m_running = true;
    launch();
}

void ChainedExportJob::cancel()
{
    if (!m_running)
        return;
    m_cancelled = true;
    stopAll();
}

std::vector<int> ChainedExportJob::runningSteps() const
{
    std::vector<int> indices;
    for (const Lane &lane : m_lanes)
        indices.push_back(lane.index);
    return indices;
}

double ChainedExportJob::stepsDone() const
{
    double done = m_stepsEnded;
    for (const Lane &lane : m_lanes)
        done += lane.fraction;
    return done;
}

void ChainedExportJob::launch()
{
    // A step's own callbacks may lead back here; the outer call goes on with the loop.
    if (m_launching)
        return;
    m_launching = true;
    while (!m_cancelled && !m_failure && int(m_lanes.size()) < kMostAtOnce) {
        if (!m_lanes.empty() &&
            (!m_steps[m_lanes.back().index].parallel || m_api.idleCores() < kIdleCoresForASecondJob))
            break;
        const Step *step = stepAt(m_next);
        if (!step || (!m_lanes.empty() && !step->parallel))
            break;
        startStep(m_next++);
    }
    m_launching = false;
    if (!m_lanes.empty())
        return;
    // Nothing runs and nothing more may start: the end.
    if (m_cancelled)
        end({Outcome::Cancelled, MEDIA_ERR_STOPPED, {}, m_failures});
    else if (m_failure)
        end(*m_failure);
    else if (m_failures > 0)
        end({Outcome::Failed, m_lastFailure, {}, m_failures});
    else
        end({Outcome::Succeeded, MEDIA_OK, {}});
}

const ChainedExportJob::Step *ChainedExportJob::stepAt(int index)
{
    if (index < stepCount())
        return &m_steps[index];
    Step next;
    if (index > stepCount() || !m_supplier || !m_supplier(index, next))
        return nullptr;
    m_steps.push_back(std::move(next));
    return &m_steps.back();
}

bool ChainedExportJob::startStep(int index)
{
    const bool convert = m_steps[index].kind == Kind::Convert;
    const MEDIA_HANDLE handle = convert ? m_api.convertCreate() : m_api.joinCreate();
    if (!handle) {
        stepFailed(index, MEDIA_ERR_GENERIC, {});
        return false;
    }
    // A copy: the set-up may append steps, which moves the one it belongs to.
    const auto configure = m_steps[index].configure;
    const SetUp setUp = configure ? configure(handle) : SetUp{};
    if (setUp.code <= 0) {
        close(index, handle);
        stepFailed(index, setUp.code, setUp.message);
        return false;
    }
    if (m_cancelled || m_failure) { // the set-up's callbacks ended the run meanwhile
        close(index, handle);
        return false;
    }

    Lane lane;
    lane.index = index;
    lane.handle = handle;
    lane.timer = platform::Timer::scheduled(
        0.2, true, [this, handle](platform::Timer &) { poll(handle); }, m_steps[index].pollMode);
    m_lanes.push_back(lane);

    const auto startCall = convert ? m_api.convertStart : m_api.joinStart;
    std::weak_ptr<ChainedExportJob *> alive = m_alive;
    platform::dispatchGlobal([handle, startCall, alive] {
        const int result = startCall(handle);
        platform::dispatchMain([alive, handle, result] {
            const auto self = alive.lock();
            if (self && *self)
                (*self)->completed(handle, result);
        });
    });
    return true;
}

std::vector<ChainedExportJob::Lane>::iterator ChainedExportJob::laneOf(MEDIA_HANDLE handle)
{
    return std::find_if(m_lanes.begin(), m_lanes.end(), [&](const Lane &l) { return l.handle == handle; });
}

void ChainedExportJob::poll(MEDIA_HANDLE handle)
{
    const auto lane = laneOf(handle);
    if (lane == m_lanes.end())
        return;
    const Step &step = m_steps[lane->index];
    const double percent =
        step.kind == Kind::Convert ? m_api.convertGetProgress(handle) : m_api.joinGetProgress(handle);
    lane->fraction = std::max(lane->fraction, std::clamp(percent / 100.0, 0.0, 1.0));
    // A copy: the callback may append steps, which moves the one it belongs to.
    if (const auto progress = step.progress)
        progress(percent);
    // Cores may have come free since the last job started.
    if (int(m_lanes.size()) < kMostAtOnce)
        launch();
}

void ChainedExportJob::completed(MEDIA_HANDLE handle, int result)
{
    const auto found = laneOf(handle);
    if (found == m_lanes.end())
        return;
    const Lane lane = *found;
    m_lanes.erase(found);
    if (lane.timer)
        lane.timer->invalidate();
    const Step &step = m_steps[lane.index];
    const bool ok = step.kind == Kind::Convert ? result > 0 : result >= 0;
    if (step.kind == Kind::Join && result < 0)
        platform::log("errorcode:%d", result);
    const bool stopped = m_cancelled || m_failure;
    // Copies: the hook may append steps, which moves the one it belongs to.
    const auto succeeded = step.succeeded;
    const auto ended = step.ended;
    const QStringList inputs = step.inputs;
    if (ok && !stopped && succeeded)
        succeeded(lane.handle);
    close(lane.index, lane.handle);
    if (!stopped) {
        if (!ok) {
            stepFailed(lane.index, result,
                       result == MEDIA_ERR_INPUT && !inputs.isEmpty() ? unreadableInputMessage(inputs)
                                                                      : QString());
        } else {
            ++m_stepsEnded;
            if (ended)
                ended(true, result);
        }
    }
    launch();
}

void ChainedExportJob::stepFailed(int index, int code, const QString &message)
{
    ++m_stepsEnded;
    const bool mayFail = m_steps[index].mayFail;
    const auto ended = m_steps[index].ended;
    if (ended)
        ended(false, code);
    if (!mayFail) {
        m_failure = std::make_unique<Outcome>(Outcome{Outcome::Failed, code, message, m_failures});
        // The steps running beside it are stopped; the chain ends once they are back.
        stopAll();
        return;
    }
    ++m_failures;
    m_lastFailure = code;
}

void ChainedExportJob::stopAll()
{
    for (Lane &lane : m_lanes) {
        if (lane.timer)
            lane.timer->invalidate();
        lane.timer.reset();
        if (m_steps[lane.index].kind == Kind::Convert)
            m_api.convertStop(lane.handle);
        else
            m_api.joinStop(lane.handle);
    }
}

void ChainedExportJob::close(int index, MEDIA_HANDLE handle)
{
    const bool convert = m_steps[index].kind == Kind::Convert;
    const int r = convert ? m_api.convertClose(handle) : m_api.joinClose(handle);
    if (r <= 0)
        platform::log(convert ? "apiMediaConvertClose:%d" : "apiMediaJoinClose:%d", r);
}

void ChainedExportJob::end(Outcome outcome)
{
    m_running = false;
    // The finish callback may destroy this object; nothing is touched after it.
    auto finish = std::move(m_finish);
    m_finish = nullptr;
    if (finish)
        finish(outcome);
}
