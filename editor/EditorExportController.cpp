#include "editor/EditorExportController.h"

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
#include "services/LanguageService.h"

EditorExportController::EditorExportController(EditorExportHost &host) : m_host(host), m_run(host) {}

EditorExportController::~EditorExportController() = default;

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
    if (m_run.isRunning())
        m_run.cancel();
    else
        start();
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
    // The settings of the whole export, as they stand at its start.
    sources.outputChoice = ClipExportJob::storedChoice();
    std::unique_ptr<DeleteSectionExport> deleteExport;
    if (state.deleteSection) {
        deleteExport = std::make_unique<DeleteSectionExport>(sources);
        if (deleteExport->isEmpty()) {
            // The times are in order; it is the section that is the whole clip.
            m_host.showSimpleAlert(LanguageService::localizedStringForKey("DeleteWholeClipString"), 2, false);
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

    m_run.begin([&](ExportRunController::Progress onProgress,
                    ExportRunController::Finish onFinish) -> std::unique_ptr<ExportRunController::Run> {
        if (deleteExport) {
            deleteExport->start(onProgress, onFinish);
            return std::move(deleteExport);
        }
        const ClipExportJob job(sources);
        const QString output = job.outputPath();
        clip->setExportPath(output);
        auto chain = std::make_unique<ChainedExportJob>(std::vector<ChainedExportJob::Step>{
            job.step(output, platform::Timer::Common, [onProgress](double percent) {
                const double value = percent / 100.0;
                platform::log("progress:%f", static_cast<double>(static_cast<float>(value)));
                onProgress(value);
            })});
        return ExportRunController::startChain(std::move(chain), onFinish);
    });
    return true;
}
