#include "toolkit/ExportRunController.h"

#include "controls/NSProgressView.h"
#include "controls/PNQButton.h"
#include "platform/Dispatch.h"
#include "platform/Format.h"
#include "services/LanguageService.h"
#include "toolkit/ExportRunHost.h"

namespace {

class ChainRun : public ExportRunController::Run
{
public:
    explicit ChainRun(std::unique_ptr<ChainedExportJob> job) : m_job(std::move(job)) {}
    void cancel() override { m_job->cancel(); }
    const ChainedExportJob *chain() const override { return m_job.get(); }

private:
    std::unique_ptr<ChainedExportJob> m_job;
};

} // namespace

ExportRunController::ExportRunController(ExportRunHost &host)
    : m_host(host), m_alive(std::make_shared<ExportRunController *>(this))
{
}

ExportRunController::~ExportRunController()
{
    *m_alive = nullptr;
    m_run.reset();
}

std::unique_ptr<ExportRunController::Run>
ExportRunController::startChain(std::unique_ptr<ChainedExportJob> job, Finish finish)
{
    job->start(std::move(finish));
    return std::make_unique<ChainRun>(std::move(job));
}

void ExportRunController::begin(const Launch &launch)
{
    setProgress(0);
    m_running = true;
    m_cancelled = false;
    if (PNQButton *button = m_host.startExportBtn()) {
        m_idleTitle = button->contentTitle();
        button->setContentTitle(LanguageService::localizedStringForKey("CancelexportTitle"));
    }
    m_host.enableControlsForExport(false);

    std::weak_ptr<ExportRunController *> alive = m_alive;
    const Progress onProgress = [alive](double value) {
        const auto self = alive.lock();
        if (self && *self)
            (*self)->setProgress(value);
    };
    // The end is handled one turn later, outside the job's own code, which may then be released.
    const Finish onFinish = [alive](const ChainedExportJob::Outcome &outcome) {
        platform::dispatchMain([alive, outcome] {
            const auto self = alive.lock();
            if (self && *self)
                (*self)->finished(outcome);
        });
    };
    m_run.reset();
    m_run = launch(onProgress, onFinish);
    if (!m_run) {
        m_running = false;
        restore();
    }
}

void ExportRunController::cancel()
{
    if (m_running)
        m_cancelled = true;
    m_running = false;
    if (m_run)
        m_run->cancel();
    restore();
    if (m_cancelled)
        setProgress(0);
}

void ExportRunController::restore()
{
    m_host.enableControlsForExport(true);
    // The window's own title comes back, whichever key it was made from; a button without one reads
    // "Start".
    if (PNQButton *button = m_host.startExportBtn())
        button->setContentTitle(m_idleTitle.isEmpty() ? LanguageService::localizedStringForKey("Start")
                                                      : m_idleTitle);
}

void ExportRunController::setProgress(double value)
{
    if (NSProgressView *bar = m_host.exportProgressView())
        bar->setProgress(static_cast<float>(value));
}

void ExportRunController::finished(const ChainedExportJob::Outcome &outcome)
{
    // A later export may have replaced this one; only the running one's end counts.
    const ChainedExportJob *chain = runningChain();
    if (chain && chain->isRunning())
        return;
    m_run.reset();
    if (m_host.isExportHostClosed())
        return;
    const bool wasRunning = m_running;
    m_running = false;
    restore();
    if (m_cancelled)
        return;
    // Only a success shows a full bar; a failure or a stop never reads as complete.
    const bool succeeded = outcome.status == ChainedExportJob::Outcome::Succeeded;
    setProgress(succeeded ? 1.0 : 0.0);
    if (!wasRunning || outcome.status == ChainedExportJob::Outcome::Cancelled)
        return;
    if (succeeded) {
        m_host.showSimpleAlert(LanguageService::localizedStringForKey("OpenfileTitle"), 1, true);
    } else {
        const QString message =
            outcome.message.isEmpty() ? platform::qformat("error:%d", outcome.code) : outcome.message;
        m_host.showSimpleAlert(message, 2, true);
    }
}
