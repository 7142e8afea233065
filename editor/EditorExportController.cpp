#include "editor/EditorExportController.h"

#include "services/LanguageService.h"
#include "controls/NSProgressView.h"
#include "controls/PNQButton.h"
#include "editor/DeleteSectionExport.h"
#include "editor/EditorExportHost.h"
#include "model/FileData.h"
#include "model/SimpleData.h"
#include "model/SubtitleParam.h"
#include "platform/Dispatch.h"
#include "platform/Format.h"
#include "platform/Log.h"

EditorExportController::EditorExportController(EditorExportHost &host)
    : m_host(host), m_alive(std::make_shared<EditorExportController *>(this))
{
}

EditorExportController::~EditorExportController()
{
    *m_alive = nullptr;
    // Stops a running job and removes the delete-section temporaries.
    m_job.reset();
    m_deleteExport.reset();
}

const ChainedExportJob *EditorExportController::runningChain() const
{
    if (m_job)
        return m_job.get();
    return m_deleteExport ? m_deleteExport->chain() : nullptr;
}

double EditorExportController::fieldsToMicroseconds(const std::array<int, 4> &fields)
{
    return ((fields[0] * 3600.0 + fields[1] * 60.0 + fields[2]) + fields[3] / 100.0) * 1000000.0;
}

void EditorExportController::startExportAction(PNQButton *)
{
    platform::log("%s", "-[EditVideoWindowController startExportAction:]");
    const auto clip = m_host.exportClip();
    if (!clip)
        return;
    m_host.pausePreview();
    if (m_convertstart)
        cancel();
    else
        start();
}

void EditorExportController::cancel()
{
    m_convertstart = false;
    if (m_job)
        m_job->cancel();
    if (m_deleteExport)
        m_deleteExport->cancel();
    restoreControls();
    if (PNQButton *button = m_host.startExportBtn())
        button->setContentTitle(LanguageService::localizedStringForKey("Start"));
}

void EditorExportController::restoreControls()
{
    m_host.enableMusicEdit(m_host.hasMusic());
    m_host.enableEdit(true);
    m_host.setRemoveOriginalMusicEnabled(true);
}

bool EditorExportController::start()
{
    const auto clip = m_host.exportClip();
    const ExportEditState state = m_host.exportEditState();
    const double start = fieldsToMicroseconds(state.startFields);
    const double stop = fieldsToMicroseconds(state.stopFields);
    // Both at 0 is the whole clip; deleting it would leave nothing.
    const bool wholeClip = start == 0 && stop == 0 && !state.deleteSection;
    if (!wholeClip && stop <= start) {
        m_host.showSimpleAlert(LanguageService::localizedStringForKey("showmessageTime3"), 2, false);
        return false;
    }

    auto subtitle = state.subtitleParam ? state.subtitleParam->copy() : std::make_shared<SubtitleParam>();
    if (state.captionColor.isValid())
        subtitle->setFontColor(state.captionColor);
    clip->setCutTimeRange_start(static_cast<qint64>(start));
    clip->setCutTimeRange_stop(static_cast<qint64>(stop));
    clip->setClipRect(state.editVideoClipRect);
    clip->setConvertCropSize(state.convertCropSize);
    clip->setConvertRateAngle(state.playerRotateAngle);
    clip->setKeepAspectratio(state.keepAspectratio);
    clip->setBrightness(state.brightness);
    clip->setContrast(state.contrast);
    clip->setSaturation(state.saturation);
    clip->setVolume(state.volume);
    clip->setVFlip(state.vFlip);
    clip->setHFlip(state.hFlip);
    clip->setEffectTypes(state.selectedEffectTypeIndexs);
    clip->setSubtitleParam(subtitle);
    clip->setIsTrimFanxuan(state.deleteSection);

    ExportSources sources = m_host.exportSources();
    sources.clip = clip;
    std::unique_ptr<DeleteSectionExport> deleteExport;
    if (state.deleteSection) {
        deleteExport = std::make_unique<DeleteSectionExport>(sources);
        if (deleteExport->isEmpty()) {
            m_host.showSimpleAlert(LanguageService::localizedStringForKey("showmessageTime3"), 2, false);
            return false;
        }
    }

    if (const auto &target = clip->targetData()) {
        const double sourceSeconds = clip->sourceData() ? clip->sourceData()->duration() : 0.0;
        double seconds = wholeClip ? sourceSeconds : (stop - start) / 1000000.0;
        if (state.deleteSection)
            seconds = sourceSeconds - seconds;
        target->setFileSize(static_cast<float>(
            static_cast<int64_t>(seconds * (target->bitrate() + target->a_bitrate()) * 0.125)));
    }

    setProgress(0);
    m_convertstart = true;
    if (PNQButton *button = m_host.startExportBtn())
        button->setContentTitle(LanguageService::localizedStringForKey("CancelexportTitle"));
    m_host.enableMusicEdit(false);
    m_host.enableEdit(false);
    m_host.setRemoveOriginalMusicEnabled(false);

    std::weak_ptr<EditorExportController *> alive = m_alive;
    const auto onProgress = [alive](double value) {
        const auto self = alive.lock();
        if (self && *self)
            (*self)->setProgress(value);
    };
    // The end is handled one turn later, outside the job's own code, which may then be released.
    const auto onFinish = [alive](const ChainedExportJob::Outcome &outcome) {
        platform::dispatchMain([alive, outcome] {
            const auto self = alive.lock();
            if (self && *self)
                (*self)->finished(outcome);
        });
    };

    m_job.reset();
    m_deleteExport = std::move(deleteExport);
    if (m_deleteExport) {
        m_deleteExport->start(onProgress, onFinish);
    } else {
        const ClipExportJob job(sources);
        const QString output = job.outputPath();
        clip->setExportPath(output);
        m_job = std::make_unique<ChainedExportJob>(std::vector<ChainedExportJob::Step>{
            job.step(output, platform::Timer::Common, [onProgress](double percent) {
                const double value = percent / 100.0;
                platform::log("progress:%f", static_cast<double>(static_cast<float>(value)));
                onProgress(value);
            })});
        m_job->start(onFinish);
    }
    return true;
}

void EditorExportController::setProgress(double value)
{
    if (NSProgressView *bar = m_host.exportProgressView())
        bar->setProgress(static_cast<float>(value));
}

void EditorExportController::finished(const ChainedExportJob::Outcome &outcome)
{
    // A later export may have replaced this one; only the running one's end counts.
    const ChainedExportJob *chain = runningChain();
    if (chain && chain->isRunning())
        return;
    m_job.reset();
    m_deleteExport.reset();
    if (m_host.isExportHostClosed())
        return;
    const bool wasRunning = m_convertstart;
    m_convertstart = false;
    restoreControls();
    setProgress(1.0);
    if (PNQButton *button = m_host.startExportBtn())
        button->setContentTitle(LanguageService::localizedStringForKey("Start"));
    if (!wasRunning || outcome.status == ChainedExportJob::Outcome::Cancelled)
        return;
    if (outcome.status == ChainedExportJob::Outcome::Succeeded) {
        m_host.showSimpleAlert(LanguageService::localizedStringForKey("OpenfileTitle"), 1, true);
    } else {
        const QString message =
            outcome.message.isEmpty() ? platform::qformat("error:%d", outcome.code) : outcome.message;
        m_host.showSimpleAlert(message, 2, true);
    }
}
