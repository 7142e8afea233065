#include "cutters/EasyCutterExport.h"

#include "model/HelpClass.h"
#include "platform/Log.h"
#include "platform/TextField.h"
#include "toolkit/JoinPlan.h"
#include "toolkit/OutputNaming.h"
#include "toolkit/TimeFieldGroup.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <algorithm>
#include <cmath>

namespace {

QString extensionOf(const QString &source)
{
    return QFileInfo(source).suffix();
}

} // namespace

QString EasyCutterExport::cutBaseName(const Range &range)
{
    // The name of a cut shows the times its fields show: 1.15 s is "000001.15", not the ".14" of a
    // single-precision split.
    const auto name = [](double seconds) {
        int hours, minutes, secs, hundredths;
        TimeFieldGroup::split(seconds, hours, minutes, secs, hundredths);
        return QString::asprintf("%02d%02d%02d.%02d", hours, minutes, secs, hundredths);
    };
    return name(range.start) + QLatin1Char('-') + name(range.end);
}

int64_t EasyCutterExport::microseconds(double seconds)
{
    return std::llround(seconds * 1000000.0);
}

std::unique_ptr<ChainedExportJob> EasyCutterExport::perCut(const QString &source, const QList<Range> &cuts,
                                                           const QString &folder,
                                                           std::function<void(int)> cutStarts,
                                                           std::function<void(double)> progress)
{
    const int count = int(cuts.size());
    // Names handed out to cuts whose files are not written yet, and the chain whose progress is shown.
    auto reserved = std::make_shared<QSet<QString>>();
    auto chain = std::make_shared<const ChainedExportJob *>(nullptr);
    std::vector<ChainedExportJob::Step> steps;
    for (int index = 0; index < count; ++index) {
        const Range range = cuts.at(index);
        ChainedExportJob::Step step;
        step.kind = ChainedExportJob::Kind::Convert;
        step.parallel = true;
        step.inputs << source;
        step.configure = [=](MEDIA_HANDLE h) -> ChainedExportJob::SetUp {
            if (cutStarts)
                cutStarts(index);
            const EngineApi &api = EngineApi::current();
            const int input = api.convertSetInputMedia(h, source.toUtf8().constData());
            if (input < MEDIA_OK)
                return {input, {}};
            // An end of exactly 0 converts the whole source.
            if (range.end != 0) {
                const int cut = api.convertSetCutTime(h, microseconds(range.start), microseconds(range.end));
                if (cut < MEDIA_OK)
                    return {cut, {}};
            }
            QDir().mkpath(folder);
            const QString output =
                OutputNaming::availablePath(folder, cutBaseName(range), extensionOf(source), reserved.get());
            platform::log("outputFileurl:%@", output);
            return {api.convertSetOutputPath(h, output.toUtf8().constData()), {}};
        };
        step.progress = [=](double) {
            if (progress && *chain)
                progress((*chain)->stepsDone() / count);
        };
        steps.push_back(std::move(step));
    }
    auto job = std::make_unique<ChainedExportJob>(std::move(steps));
    *chain = job.get();
    return job;
}

std::unique_ptr<ChainedExportJob> EasyCutterExport::merged(const QString &source, const QList<Range> &cuts,
                                                           const QString &folder, double volume,
                                                           const QDateTime &when,
                                                           std::function<void(double)> progress)
{
    QList<JoinPlan::Piece> pieces;
    for (const Range &range : cuts) {
        // A negative time has no microsecond on the file: it counts from the start.
        pieces.append({source, uint64_t(std::max<int64_t>(0, microseconds(range.start))),
                       uint64_t(std::max<int64_t>(0, microseconds(range.end))), volume});
    }
    ChainedExportJob::Step step;
    step.kind = ChainedExportJob::Kind::Join;
    step.inputs << source;
    step.configure = [=](MEDIA_HANDLE h) {
        QDir().mkpath(folder);
        const QString output =
            OutputNaming::availablePath(folder, HelpClass::createFilename(when), extensionOf(source));
        platform::log("outputFileurl:%@", output);
        return JoinPlan::configure(h, JoinPlan::Settings{}, output, pieces);
    };
    step.progress = [progress](double percent) {
        if (progress)
            progress(percent / 100.0);
    };
    return std::make_unique<ChainedExportJob>(std::vector<ChainedExportJob::Step>{std::move(step)});
}
