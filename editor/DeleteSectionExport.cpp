#include "editor/DeleteSectionExport.h"

#include "toolkit/OutputNaming.h"
#include "model/FileData.h"
#include "model/SimpleData.h"
#include "platform/Log.h"

#include <QFile>

namespace {

// The trim fields hold hundredths: a part shorter than that is no part.
constexpr int64_t kSmallestPart = 10000;

double clipDurationUs(const SimpleData &clip)
{
    const float seconds = clip.sourceData() && clip.sourceData()->duration() > 0
                              ? clip.sourceData()->duration()
                              : (clip.targetData() ? clip.targetData()->duration() : 0.0f);
    return static_cast<double>(seconds) * 1000000.0;
}

} // namespace

DeleteSectionExport::DeleteSectionExport(ExportSources sources) : m_sources(std::move(sources))
{
    // Read once: the part behind the section starts later, and must get the settings the first got.
    if (!m_sources.outputChoice)
        m_sources.outputChoice = ClipExportJob::storedChoice();
    const SimpleData &clip = *m_sources.clip;
    const int64_t start = clip.cutTimeRange_start();
    const int64_t stop = clip.cutTimeRange_stop();
    // Without a section there is nothing to delete; converting both "parts" whole would double the clip.
    if (stop <= start)
        return;
    m_hasBefore = start >= kSmallestPart;
    m_hasBehind = clipDurationUs(clip) - static_cast<double>(stop) >= kSmallestPart;
}

DeleteSectionExport::~DeleteSectionExport()
{
    m_chain.reset();
    removeTemporaries();
}

double DeleteSectionExport::barValue(Phase phase, double percent, bool twoParts)
{
    const double part = percent / 100.0;
    if (!twoParts)
        return part;
    switch (phase) {
    case Phase::Before:
        return part / 3.0;
    case Phase::Behind:
        return part / 3.0 + 1.0 / 3.0;
    case Phase::Join:
        return part / 3.0 + 2.0 / 3.0;
    }
    return part;
}

ChainedExportJob::Step DeleteSectionExport::joinStep(std::function<void(double)> progress) const
{
    ChainedExportJob::Step s;
    s.kind = ChainedExportJob::Kind::Join;
    s.pollMode = platform::Timer::Common;
    const QString output = m_outputPath, before = m_beforePath, behind = m_behindPath;
    s.configure = [output, before, behind](MEDIA_HANDLE h) -> ChainedExportJob::SetUp {
        const EngineApi &api = EngineApi::current();
        if (const int r = api.joinSetOutputPath(h, output.toUtf8().constData()); r < 0) {
            platform::logWarning("errorcode:%d", r);
            return {r, {}};
        }
        for (const QString &part : {before, behind}) {
            if (api.joinAddMediaClip(h, part.toUtf8().constData(), 0, 0) == 0) {
                platform::logWarning("添加失败");
                return {MEDIA_ERR_INPUT, {}};
            }
        }
        for (auto set : {api.joinSetAudioCodec, api.joinSetVideoCodec}) {
            if (const int r = set(h, "copy"); r < 0) {
                platform::logWarning("errorcode:%d", r);
                return {r, {}};
            }
        }
        return {};
    };
    s.progress = [progress](double percent) {
        const double value = barValue(Phase::Join, percent);
        platform::log("progressjoin:%f", static_cast<double>(static_cast<float>(value)));
        if (progress)
            progress(value);
    };
    return s;
}

void DeleteSectionExport::start(std::function<void(double)> progress,
                                std::function<void(const ChainedExportJob::Outcome &)> finish)
{
    SimpleData &clip = *m_sources.clip;
    const ClipExportJob naming(m_sources);
    m_outputPath = naming.outputPath();
    clip.setExportPath(m_outputPath);
    const bool two = m_hasBefore && m_hasBehind;
    if (two) {
        m_beforePath = OutputNaming::availablePath(
            m_sources.outputFolder, QStringLiteral("befor_") + naming.baseName(), naming.extension());
        m_behindPath = OutputNaming::availablePath(
            m_sources.outputFolder, QStringLiteral("behand_") + naming.baseName(), naming.extension());
    }
    clip.setExportbeforPath(m_beforePath);
    clip.setExportbehandPath(m_behindPath);

    const auto partProgress = [progress, two](Phase phase) {
        return [progress, two, phase](double percent) {
            const double value = barValue(phase, percent, two);
            platform::log("progressbefor:%f", static_cast<double>(static_cast<float>(value)));
            if (progress)
                progress(value);
        };
    };
    std::vector<ChainedExportJob::Step> steps;
    const char *musicKey = VW_KEY("添加配乐失败");
    if (m_hasBefore) {
        const ClipExportJob part(m_sources, ClipExportJob::Part::Before);
        steps.push_back(part.step(two ? m_beforePath : m_outputPath, platform::Timer::Default,
                                  partProgress(Phase::Before), musicKey));
    }
    if (m_hasBehind) {
        const ClipExportJob part(m_sources, ClipExportJob::Part::Behind);
        steps.push_back(part.step(two ? m_behindPath : m_outputPath, platform::Timer::Default,
                                  partProgress(Phase::Behind), musicKey));
    }
    if (two)
        steps.push_back(joinStep(progress));

    m_chain = std::make_unique<ChainedExportJob>(std::move(steps));
    m_chain->start([this, finish](const ChainedExportJob::Outcome &outcome) {
        removeTemporaries();
        if (finish)
            finish(outcome);
    });
}

void DeleteSectionExport::cancel()
{
    if (m_chain)
        m_chain->cancel();
}

void DeleteSectionExport::removeTemporaries() const
{
    int n = 1;
    for (const QString &path : {m_beforePath, m_behindPath}) {
        QFile file(path);
        if (!path.isEmpty() && file.exists() && !file.remove())
            platform::logWarning(n == 1 ? "error1:%@" : "error2:%@", file.errorString());
        ++n;
    }
}
